// The header: numbers, and the version and DISPLAY section with its
// "{ name=value ... }" monitor blocks, found by keyword among comment lines.
#include <string>

#include "reader_support.h"

namespace {

using timingtest::ReaderTest;

TEST_F(ReaderTest, NumbersReadTheirLongestPrefixAndReportNonDigits) {
    const char* notDigitA = "parse error: not digit: 'a' ParseIntData\n";
    struct Case {
        const char* text;  // the parser starts after the first character
        bool real;
        double value;
        int status;
        std::ptrdiff_t end;
        const char* diagnostic;
        int errorLine;
    } cases[] = {
        {" 0x1F}", false, 31, vca::kValueOk, 5, "", 0},
        {" -5 ", false, -5, vca::kValueOk, 3, "", 0},
        {" 99999999999", false, 2147483647, vca::kValueOk, 12, "", 0},
        {" 0xFFFFFFFF", false, -1, vca::kValueOk, 11, "", 0},
        {" 12345678901234567890123456789012", false, 0, vca::kValueTooLong, 1, "", 0},
        {" abc", false, 0, vca::kValueNotDigit, 1, notDigitA, 1},
        {"=\n\nabc", false, 0, vca::kValueNotDigit, 3, notDigitA, 2},  // starts a line: the line before
        {" ", false, 0, vca::kValueNotDigit, 1, "parse error: not digit: '' ParseIntData\n", 1},
        {" .5", true, 0.5, vca::kValueOk, 3, "", 0},
        {" \n -2}", true, -2.0, vca::kValueOk, 5, "", 0},
        {"=\nx", true, 0.0, vca::kValueNotDigit, 2, "parse error:  not digit 'x' ParseIntData\n", 2},
        {" 0.000000000000000000000000000001", true, 0.0, vca::kValueTooLong, 1, "", 0},
    };
    for (const auto& c : cases) {
        host::Reset();
        vca::ResetTimingReaderState();
        const char* cursor = c.text + 1;
        std::int32_t integer = 12345;
        double real = 7.0;
        int status = c.real ? vca::ParseFloatData(cursor, &real) : vca::ParseIntData(cursor, vca::kIntDecimal, &integer);
        EXPECT_EQ(status, c.status) << c.text;
        EXPECT_DOUBLE_EQ(c.real ? real : integer, c.value) << c.text;
        EXPECT_EQ(cursor - c.text, c.end) << c.text;
        EXPECT_EQ(host::Diagnostics(), c.diagnostic) << c.text;
        EXPECT_EQ(vca::timingErrorLine, c.errorLine) << c.text;
    }
}

std::string Blocks(int count, int distinctTags) {
    std::string text = "version 3\ndisplay {\n";
    for (int i = 0; i < count; ++i)
        text += " { tag=t" + std::to_string(i % distinctTags) + " desc=\"M" + std::to_string(i) + "\" }\n";
    return text + "}";
}

TEST_F(ReaderTest, HeadersAreAcceptedOrRejectedWithTheirLineAndDiagnostic) {
    const char* syntax = "DISPLAY section syntax error\n";
    const std::string tag63(63, 't'), desc95(95, 'd');
    struct Case {
        std::string text;
        int result;
        int line;  // of the error, or where the record part starts
        std::string diagnostics;
        std::uint32_t tags, entries;
    } cases[] = {
        {"; db\n ;\nversion 3\ndisplay {\n {\n  tag=mon1\n  desc=\"M\"\n }\n}\n", 0, 9, "", 1, 1},
        {"version 2\r\ndisplay {\r\n { tag=a desc=\"x\" }\r\n}\r\ntag a", 0, 4, "", 1, 1},
        {"DISPLAY { {tag=a desc=\"x\" HFMAX=80} } VERSION\n\n -7;", 0, 3, "", 1, 1},
        // A tag holds up to 63 characters, a quoted string up to 95 and its line ends.
        {"version 3\ndisplay {\n { tag=" + tag63 + " desc=\"" + desc95 + "\" }\n { desc=\"two\nlines\" tag=b }\n}", 0, 6,
         "", 2, 2},
        {"version 3\ndisplay { { tag=" + tag63 + "t desc=\"x\" } }", 1, 2, syntax, 0, 0},
        {"version 3\ndisplay { { tag=a desc=\"" + desc95 + "d\" } }", 1, 2, syntax, 0, 0},
        {"version 3\ndisplay { { tag=a desc=x } }", 1, 2, syntax, 0, 0},
        {"version 3\ndisplay { { tag=a } }", 1, 2, syntax, 0, 0},
        {Blocks(19, 19), 0, 22, "", 19, 19},
        {Blocks(20, 5), 0, 23, "", 5, 20},
        {Blocks(20, 20), 1, 22, "TAGS: limit reached\n", 19, 19},
        {Blocks(21, 3), 1, 23, syntax, 3, 20},
        {"versions 3\ndisplay { {tag=a desc=\"x\"} }", 1, 1, "", 0, 0},
        {"version=3\ndisplay { {tag=a desc=\"x\"} }", 1, 1, "parse error: not digit: '=' ParseIntData\n", 0, 0},
        {"version 3\ndisplay {\n { tag=a desc=\"x\"\n   hfmax = 80 }\n}", 1, 4, syntax, 0, 0},
        // A string that never closes is reported on the line where it opens.
        {"version 3\ndisplay {\n { tag=a desc=\"x\n\n", 1, 3, syntax, 0, 0},
        {"version 3\ndisplay {\n { tag=a desc=\"x\"\n hfmax=60 hfmin=60\n }\n}", 99, 5, "", 1, 0},
        {"version 3\ndisplay {\n { tag=a desc=\"x\" vfmax=0 vfmin=0 }\n}", 99, 3, "", 1, 0},
        {"version 3\ndisplay {\n}", 1, 3, syntax, 0, 0},
        {"version 3\ndisplay {}", 1, 1, syntax, 0, 0},  // just after a "{": the line before
        {"version 3\ndisplay {\n { tag=a desc=\"x\" } ; comment\n}", 1, 3, syntax, 1, 1},
        {"version 3\n\n; nothing more\n", 1, 4, "", 0, 0},
        {"display { {tag=a desc=\"x\"} }\n; the text ends in this comment", 1, 2, "", 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseHeader(c.text), c.result) << c.text;
        EXPECT_EQ(c.result == 0 ? db.recordLine : vca::timingErrorLine, c.line) << c.text;
        EXPECT_EQ(host::Diagnostics(), c.diagnostics) << c.text;
        EXPECT_EQ(db.tagCount, c.tags) << c.text;
        std::uint32_t entries = 0;
        for (const vca::DISPENTRY* e = db.entries; e; e = e->next) ++entries;
        EXPECT_EQ(entries, c.entries) << c.text;
        vca::ReleaseTimingDatabase(&db);
        EXPECT_EQ(host::OutstandingAllocations(), 0) << c.text;
    }
}

}  // namespace
