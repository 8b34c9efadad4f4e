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

TEST_F(ReaderTest, TheSampleDatabaseReadsCleanly) {
    const std::string text =
        "; example timing database\nversion 3\ndisplay {\n {\n  tag=mon1\n  desc=\"Example 17-inch multisync\"\n"
        "  hfmin=30.0 hfmax=82.0\n  vfmin=50.0 vfmax=120.0\n }\n}\ntag mon1\ntype timing\nhfreq 80\n"
        "flags { ilace=false monid=0x12 }\ndata {\n135.0\n1688\n1280\n144\n16\n1066\n1024\n3\n1\n}\n"
        "tag mon1\ntype glm\nxres 1280\nyres 1024\nrefresh 75\nflags { stereo=false }\ndata {\n}\n";
    for (bool crlf : {false, true}) {
        vca::TimingCheckResult check = Check(crlf ? Crlf(text) : text);
        ASSERT_EQ(check.result, 0) << host::Diagnostics();
        EXPECT_EQ(host::Diagnostics(), "");
        EXPECT_EQ(db.version, 3);
        ASSERT_EQ(check.records.size(), 2u);
        EXPECT_EQ(check.records[0].monid, 0x12u);
        EXPECT_EQ(check.records[0].hfreq, 80u);
        EXPECT_EQ(check.records[1].flags, vca::TF_FSEL);
        ASSERT_EQ(check.timings.size(), 1u);
        EXPECT_EQ(Values(check.timings[0]), "135 1688 1280 144 16 1066 1024 3 1");
        EXPECT_EQ(check.timings[0].monid, 0x12u);
    }
}

TEST_F(ReaderTest, TimingValueLinesReadOrFailOnTheirOwnLine) {
    // The data block's "{" is on line 8; its first value line is line 9.
    const std::string head = "version 1\ndisplay {\n { tag=m desc=\"M\" }\n}\ntag m\ntype timing\nhfreq 7\ndata {\n";
    struct Case {
        std::string block;
        int errorLine;  // 0: the block reads
        std::string values;
    } cases[] = {
        {"135.0\n1688\n1280\n144\n16\n1066\n1024\n3\n1\n}", 0, "135 1688 1280 144 16 1066 1024 3 1"},
        {"  25.175 ; pixel clock\n800\n 640\t\n96\n16\n525.5\n480\n2\n10.5\n}", 0, "25.175 800 640 96 16 525.5 480 2 10.5"},
        {"\n;\n1.9\n1 2\n.\n..5\n1234567890123456789\n2\n3\n4\n}", 0, "0 0 1 1 0 0 2147483647 2 3"},
        {"1\n2\n3\n4\n5\n6\n7\n8\n9\n10\nanything\n}", 0, "1 2 3 4 5 6 7 8 9"},
        {"1\n2\n3\n4\n5\n6\n7\n8\n}", 17, ""},
        {"1\n2\n-1\n4\n5\n6\n7\n8\n9\n}", 11, ""},
        {"1\n2\n3\n4\n5\n6\n7\n12345678901234567890\n9\n}", 16, ""},
        {"1\n2\n3\n4\n5 x\n6\n7\n8\n9\n}", 13, ""},
    };
    for (const auto& c : cases) {
        for (bool crlf : {false, true}) {
            std::string text = head + c.block + "\n";
            vca::TimingCheckResult check = Check(crlf ? Crlf(text) : text);
            ASSERT_EQ(check.records.size(), 1u) << text << host::Diagnostics();
            EXPECT_EQ(check.records[0].line, 8) << text;
            if (c.errorLine == 0) {
                ASSERT_EQ(check.result, 0) << text;
                EXPECT_EQ(Values(check.timings[0]), c.values) << text;
                EXPECT_EQ(check.timings[0].hfreq, 7u);
            } else {
                EXPECT_EQ(check.stage, vca::TimingCheckStage::kData) << text;
                EXPECT_EQ(check.errorLine, c.errorLine) << text;
            }
        }
    }
}

}  // namespace
