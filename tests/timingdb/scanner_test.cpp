// The number parsers of the timing reader. (Keywords are found in the
// header tests; token comparison is checked against its definition in
// reader_speed_equivalence_test.cpp.)
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

}  // namespace
