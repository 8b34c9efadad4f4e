// "{ name=value ... }" blocks: value kinds, their limits, and where the
// cursor and the line counter end up.
#include <string>

#include "reader_support.h"
#include "timingdb/field_block.h"

namespace {

using timingtest::ReaderTest;

TEST_F(ReaderTest, FieldBlocksReadEachKindAndRejectMalformedOnes) {
    const std::string tag63(63, 't'), word95(95, 'w');
    struct Case {
        std::string text;
        bool tagRequired;
        int result;
        std::ptrdiff_t end;  // cursor afterwards
        int lines;
        std::string given;  // the fields given, "name=value|...", up to the failing one
    } cases[] = {
        {"{ }x", false, 0, 3, 0, ""},
        {" { }", true, 1, 0, 0, ""},
        {"{ tag=mon1 desc=\"A b\" n=0x10 r=1.5 b=TRUE w=x}y }", true, 0, 49, 0,
         "tag=mon1|desc=A b|n=16|r=1.50|b=1|w=x}y"},
        {"{\n w=end\n desc=\"two\nlines\" }", false, 0, 28, 3, "desc=two\nlines|w=end"},
        {"{ tag=" + tag63 + " w=" + word95 + " }", false, 0, 169, 0, "tag=" + tag63 + "|w=" + word95},
        {"{ tag=" + tag63 + "t }", false, 1, 0, 0, "tag="},
        {"{ w=" + word95 + "w }", false, 1, 0, 0, "w="},
        {"{ b=maybe }", false, 1, 0, 0, "b="},
        {"{ n = 5 }", false, 1, 0, 0, ""},
        {"{ HFMAX=1 }", false, 1, 3, 0, ""},
        {"{ desc=A }", false, 1, 0, 0, "desc="},
        {"{ n=123456789012345678901234567890123 }", false, 1, 0, 0, "n=0"},
    };
    for (const auto& c : cases) {
        const std::pair<const char*, std::uint32_t> kinds[] = {
            {"tag", vca::kFieldTag | (c.tagRequired ? vca::kFieldRequired : 0)}, {"desc", vca::kFieldQuoted},
            {"n", vca::kFieldInteger}, {"r", vca::kFieldReal}, {"b", vca::kFieldBoolean}, {"w", 0}};
        vca::FieldSpec fields[6];
        for (int i = 0; i < 6; ++i) vca::SetField(fields[i], kinds[i].first, kinds[i].second);
        vca::timingLineCounter = 1;
        const char* cursor = c.text.c_str();
        EXPECT_EQ(vca::ParseFieldBlock(cursor, fields, 6), c.result) << c.text;
        EXPECT_EQ(cursor - c.text.c_str(), c.end) << c.text;
        EXPECT_EQ(vca::timingLineCounter, 1 + c.lines) << c.text;
        std::string given;
        for (const vca::FieldSpec& f : fields) {
            if (!(f.kind & vca::kFieldSeen)) continue;
            given += std::string(given.empty() ? "" : "|") + f.name + "=";
            if (f.kind & (vca::kFieldInteger | vca::kFieldBoolean)) given += std::to_string(f.intValue);
            else if (f.kind & vca::kFieldReal) given += std::to_string(f.realValue).substr(0, 4);
            else given += f.text;
        }
        if (c.result == 0 || !c.given.empty()) {
            EXPECT_EQ(c.result == 0 ? given : given.substr(0, c.given.size()), c.given) << c.text;
        }
    }
}

}  // namespace
