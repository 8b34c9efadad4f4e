// The nine raster values of "timing" records.
#include <string>

#include "reader_support.h"

namespace {

using timingtest::Crlf;
using timingtest::ReaderTest;

std::string Values(const vca::TimingCandidate& t) {
    char text[200];
    std::snprintf(text, sizeof text, "%g %u %u %u %u %g %u %u %g", t.pixelClock, t.hTotal, t.hActive, t.hSync,
                  t.hFrontPorch, t.vTotal, t.vActive, t.vSync, t.vFrontPorch);
    return text;
}

TEST_F(ReaderTest, TimingValueLinesReadOrFailOnTheirOwnLine) {
    // The data block's "{" is on line 9; its first value line is line 10.
    const std::string head =
        "version 1\ndisplay {\n { tag=m desc=\"M\" }\n}\ntag m\ntype timing\nhfreq 7\nflags { monid=0x12 }\ndata {\n";
    struct Case {
        std::string block;
        int errorLine;  // 0: the block reads
        std::string values;
    } cases[] = {
        {"135.0\n1688\n1280\n144\n16\n1066\n1024\n3\n1\n}", 0, "135 1688 1280 144 16 1066 1024 3 1"},
        {"  25.175 ; pixel clock\n800\n 640\t\n96\n16\n525.5\n480\n2\n10.5\n}", 0, "25.175 800 640 96 16 525.5 480 2 10.5"},
        {"\n;\n1.9\n1 2\n.\n..5\n1234567890123456789\n2\n3\n4\n}", 0, "0 0 1 1 0 0 2147483647 2 3"},
        {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\nanything\n}", 0, "1 2 3 4 5 6 7 8 9"},
        {"1\n2\n3\n4\n5\n6\n7\n8\n}", 18, ""},
        {"1\n2\n-1\n4\n5\n6\n7\n8\n9\n}", 12, ""},
        {"1\n2\n3\n4\n5\n6\n7\n12345678901234567890\n9\n}", 17, ""},
        {"1\n2\n3\n4\n5 x\n6\n7\n8\n9\n}", 14, ""},
    };
    for (const auto& c : cases) {
        for (bool crlf : {false, true}) {
            std::string text = head + c.block + "\n";
            vca::TimingCheckResult check = Check(crlf ? Crlf(text) : text);
            ASSERT_EQ(check.records.size(), 1u) << text << host::Diagnostics();
            EXPECT_EQ(check.records[0].line, 9) << text;
            if (c.errorLine == 0) {
                ASSERT_EQ(check.result, 0) << text;
                EXPECT_EQ(Values(check.timings[0]), c.values) << text;
                EXPECT_EQ(check.timings[0].hfreq, 7u);
                EXPECT_EQ(check.timings[0].monid, 0x12u);
            } else {
                EXPECT_EQ(check.stage, vca::TimingCheckStage::kData) << text;
                EXPECT_EQ(check.errorLine, c.errorLine) << text;
            }
        }
    }
}

}  // namespace
