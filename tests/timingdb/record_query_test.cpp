// The record part: keyword lines, FLAGS blocks, data blocks, query masks,
// and the line numbers of errors in LF and CR LF files.
#include <string>
#include <vector>

#include "reader_support.h"

namespace {

using timingtest::Crlf;
using timingtest::kHeader;
using timingtest::ReaderTest;

const std::string kGlm = "tag mon1\ntype glm\nxres 640\nyres 480\nrefresh 60\nflags { }\ndata {\n}\n";
vca::TimingEntry Pattern(std::uint16_t tag, std::uint16_t type, std::uint32_t monid = 0) {
    vca::TimingEntry pattern{};
    pattern.tag = tag;
    pattern.type = type;
    pattern.monid = monid;
    return pattern;
}

const std::string kTiming = "tag mon2\ntype timing\ndata {\n25.175\n800\n640\n96\n16\n525\n480\n2\n10\n}\n";

TEST_F(ReaderTest, RecordErrorsGiveTheirDiagnosticAndLineInLfAndCrLfFiles) {
    // The record part starts on line 5; its first record on line 6.
    const char* kNotDigit = "parse error: not digit: 'a' ParseIntData\n";
    struct Case {
        std::string records;
        int result;
        int errorLine;
        std::string diagnostics;  // of the LF file
    } cases[] = {
        {kGlm + kTiming + "; the end\n", 0, 0, ""},
        {kGlm + "xres abc\n" + kGlm, 0, 0, std::string(kNotDigit) + kNotDigit},  // once per pass
        {"tag mon1\ntype glm\nxres 1\nyres 1\nrefresh 1\nflags {}\ndata ; a\n ; b\n {\n}\n" + kGlm, 0, 0, ""},
        {"TAG Mon1\ntype vqx/gli\nxres 1\nyres 1\nrefresh 1\nflags {}\ndata {\n}", 0, 0, ""},
        {"tag mon3 ; x\ntype glm\n", 1, 6, "Invalid Tag \"mon3 ; x\ntyp\"\n"},
        {kGlm + "tag\nmon3\n", 1, 14, "Invalid Tag \"mon3\n\"\n"},
        {"tag mon1\ntype vga 1234\n", 1, 7, "Invalid type \"vga 1234\"\n"},
        {"tag mon2\ntype timing\nflags {ilace=true}\ndata {\n}", 1, 8, "Invalid FLAGS specified \"{ilace=true}\"\n"},
        {"tag mon1\ntype glm\nflags\n{ wire=123456789012345678901234567890123 }\n", 1, 9,
         "Invalid FLAGS specified \"{ wire=12345\"\n"},
        {"tag mon1\ndata x\n", 1, 7, "Invalid DATA syntax\n"},
        {"tag mon1\ndata {\n}\n", 1, 7, "Syntax error: missing TYPE\n"},
        {"tag mon1\ntype glm\nxres 640\nyres 480\nflags {}\ndata {\n}\n", 1, 11, "TYPE = GL*: Missing keywords\n"},
        {"tag mon1\ntype glm\nxres 640\nyres 480\nrefresh 60\ndata {\n}\n", 1, 11, "TYPE = GL*: Missing keywords\n"},
        {kGlm + "type timing\ndata {\n}\n", 1, 15, "TYPE = TIMING: Missing keywords\n"},
        {kGlm + "tag mon2\ntype glm\nxres 1\nyres 1\nrefresh 1\nflags {}\ndata {\n\n", 1, 22,
         "Unexpected end of buffer\n"},
        {kGlm + "\nmode 640x480\n", 1, 15, ""},
        {kGlm + "; a comment without its line end", 1, 14, ""},
    };
    for (const auto& c : cases) {
        for (bool crlf : {false, true}) {
            std::string text = kHeader + c.records;
            if (crlf) text = Crlf(text);
            vca::TimingCheckResult check = Check(text);
            EXPECT_EQ(check.result, c.result) << text;
            if (c.result != 0) {
                EXPECT_EQ(check.stage, vca::TimingCheckStage::kRecords) << text;
                EXPECT_EQ(check.errorLine, c.errorLine) << text;
            }
            if (!crlf) {
                EXPECT_EQ(host::Diagnostics(), c.diagnostics) << text;
            }
        }
    }
}

TEST_F(ReaderTest, FlagsBlocksSetFlagBitsAndMonitorId) {
    struct Case { std::string type; std::string flagLines; std::uint32_t flags; std::uint32_t monid; } cases[] = {
        {"glm", "flags { }", vca::TF_FSEL, 0},
        {"vqx/gli", "flags { stereo=true hexdata=TRUE }", vca::TF_FSEL | vca::TF_STEREO | vca::TF_HEXDATA, 0},
        {"glm", "flags { fsel=false stereo=false hspos=true vspos=false }", 0, 0},
        {"glm", "flags { wire=4 monid=0x12345 }", vca::TF_FSEL | vca::TF_4WIRE | vca::TF_MONID, 0x2345},
        {"glm", "flags { wire=4 }\nflags { stereo=true wire=3 }", vca::TF_FSEL | vca::TF_STEREO, 0},
        {"timing", "flags { ilace=true fss=true css=true }", vca::TF_INTERLACED | vca::TF_FSS | vca::TF_CSS, 0},
        {"timing", "flags { ilace=true monid=7 }\nflags { wire=4 }",
         vca::TF_INTERLACED | vca::TF_MONID | vca::TF_4WIRE, 0},
    };
    for (const auto& c : cases) {
        std::string text = kHeader + "tag mon1\ntype " + c.type + "\nxres 1\nyres 1\nrefresh 1\n" + c.flagLines +
                           "\ndata {\n1\n2\n3\n4\n5\n6\n7\n8\n9\n}\n";
        vca::TimingCheckResult check = Check(text);
        ASSERT_EQ(check.result, 0) << text << host::Diagnostics();
        ASSERT_EQ(check.records.size(), 1u);
        EXPECT_EQ(check.records[0].flags, c.flags) << c.flagLines;
        EXPECT_EQ(check.records[0].monid, c.monid) << c.flagLines;
    }
}

TEST_F(ReaderTest, QueriesReturnTheRecordsMatchingEveryMaskBit) {
    const std::string text = kHeader + "; records\n" + kGlm +                             // 0: mon1 glm
                             "tag mon1\ntype glm\nxres 1\nyres 1\nrefresh 1\nflags { stereo=true monid=5 }\ndata {\n}\n" +
                             kTiming +                                                   // 2: mon2 timing, no flags
                             "tag mon2\ntype timing\nflags { monid=5 }\ndata {\n1\n1\n1\n1\n1\n1\n1\n1\n1\n}\n";
    ASSERT_EQ(ParseHeader(text), 0);
    struct Case {
        std::uint32_t mask;
        vca::TimingEntry pattern;
        std::vector<int> lines;  // of the records returned, in file order
    } cases[] = {
        {vca::QM_ALL, {}, {13, 21, 25, 39}},
        {vca::QM_ALL | vca::QM_TYPE, Pattern(0, 9), {13, 21, 25, 39}},
        {vca::QM_TAG | vca::QM_TYPE, Pattern(1, 2), {25, 39}},
        {vca::QM_TAG, Pattern(0, 0), {13, 21}},
        {vca::QM_STEREO, {}, {13, 39}},
        {vca::QM_MONID | vca::QM_TYPE, Pattern(0, 2, 5), {39}},
        {vca::QM_TYPE | 0x100, Pattern(0, 1), {}},
    };
    for (const auto& c : cases) {
        for (int pass = 0; pass < 2; ++pass) {
            std::uint32_t count = 99;
            ASSERT_EQ(vca::CountTimingEntries(text.c_str(), db, c.pattern, c.mask, &count), 0);
            ASSERT_EQ(count, c.lines.size()) << c.mask;
            std::vector<vca::TimingEntry> entries(count + 1);
            ASSERT_EQ(vca::FetchTimingEntries(text.c_str(), db, c.pattern, c.mask, entries.data(), count), 0);
            for (std::uint32_t i = 0; i < count; ++i) EXPECT_EQ(entries[i].line, c.lines[i]) << c.mask;
        }
    }
    std::uint32_t count = 99;
    vca::TimingEntry entries[3];
    EXPECT_EQ(vca::FetchTimingEntries(text.c_str(), db, {}, vca::QM_ALL, entries, 3), 1);
    EXPECT_EQ(vca::CountTimingEntries(text.c_str(), db, {}, 0, &count), 1);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(host::Diagnostics(), "NULL query mask\n");
}

TEST_F(ReaderTest, AnLfFileCountsTheSameLinesAsItsCrLfTwin) {
    std::string records;
    for (int i = 0; i < 9; ++i) records += (i % 2 ? kGlm : kTiming);
    const std::string text = kHeader + records + "tag mon1\ntype glm\nxres 640\nyres 480\nbad line\n";
    const std::string badValue = kHeader + records + "tag mon2\ntype timing\ndata {\n1\n2\n3\n4\nx\n6\n7\n8\n9\n}\n";
    for (bool crlf : {false, true}) {
        vca::TimingCheckResult check = Check(crlf ? Crlf(text) : text);
        EXPECT_EQ(check.errorLine, 5 + 4 * 8 + 5 * 13 + 5) << crlf;
        check = Check(crlf ? Crlf(badValue) : badValue);
        EXPECT_EQ(check.stage, vca::TimingCheckStage::kData);
        EXPECT_EQ(check.errorLine, 5 + 4 * 8 + 5 * 13 + 8) << crlf;
        ASSERT_EQ(check.records.size(), 10u);
        EXPECT_EQ(check.records[9].line, 5 + 4 * 8 + 5 * 13 + 3) << crlf;
    }
}

}  // namespace
