// A large generated database reads in time proportional to its size.
#include <chrono>
#include <string>

#include "reader_support.h"

namespace {

using timingtest::ReaderTest;

// About `bytes` of records after the usual header: "glm" records and
// "timing" records in turn.
std::string LargeDatabase(std::size_t bytes) {
    std::string text = timingtest::kHeader;
    text.reserve(bytes + 256);
    for (int i = 0; text.size() < bytes; ++i) {
        std::string n = std::to_string(640 + i % 1000);
        text += "tag mon1\ntype glm\nxres " + n + "\nyres 480\nrefresh 60 ; comment\nflags { stereo=true }\ndata {\n}\n";
        text += "tag MON2\r\ntype timing\r\nflags { monid=" + n + " }\r\ndata\r\n; note\r\n{\r\n25.175\r\n" + n +
                "\r\n640\r\n96\r\n16\r\n525\r\n480\r\n2\r\n10\r\n}\r\n";
    }
    return text;
}

TEST_F(ReaderTest, TenMegabytesCheckInLinearTime) {
    const std::string text = LargeDatabase(10u << 20);
    auto start = std::chrono::steady_clock::now();
    vca::TimingCheckResult check = Check(text);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("seconds", std::to_string(seconds));
    ASSERT_EQ(check.result, 0) << host::Diagnostics();
    EXPECT_GT(check.records.size(), 100000u);
    EXPECT_EQ(check.timings.size() * 2, check.records.size());
    // Measured at about 0.1 s in a release build; sanitizers slow it several
    // times, so the bound only catches work that grows faster than the text.
    EXPECT_LT(seconds, 5.0);
}

}  // namespace
