// The simulated driver's answers byte for byte, what it does with requests
// it refuses or does not understand, and its request log.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <vector>

#include "boardsim/boardsim.h"
#include "support/board_builder.h"

namespace {

using vcatest::Words;
using Bytes = std::vector<std::uint8_t>;

constexpr int kNrva = boardsim::kPrivateEscape;
constexpr std::uint8_t kUnwritten = 0xAA;

struct Answer {
    int result;
    Bytes out;
    bool Untouched() const { return std::count(out.begin(), out.end(), kUnwritten) == std::ptrdiff_t(out.size()); }
};

// Input and output of exactly the given sizes on the heap, so that the
// sanitizer catches any byte touched past them; the output starts kUnwritten.
Answer Send(int escape, const Bytes& input, int outSize) {
    Bytes in(input.begin(), input.end());
    Bytes out(static_cast<std::size_t>(std::max(outSize, 0)), kUnwritten);
    const int result = boardsim::Escape(escape, static_cast<int>(in.size()), in.empty() ? nullptr : in.data(),
                                        outSize, out.empty() ? nullptr : out.data());
    return {result, out};
}

Bytes Mode(std::uint32_t function, std::uint32_t a1, std::uint32_t a2, std::uint32_t a3) {
    return Words({function, 0, 0, 0, a1, a2, a3});
}

Bytes SetGamma(const boardsim::GammaBytes& table) {
    Bytes request = Words({8});
    request.insert(request.end(), table.begin(), table.end());
    return request;
}

boardsim::Profile TwoScreenBoard() {
    boardsim::Profile p = vcatest::MakeBoard(0x020000CD, 0x10063);
    p.screens[0].gamma = boardsim::ComputeGamma(1.0);
    p.screens[1].gamma = boardsim::ComputeGamma(2.2);
    for (std::size_t i = 0; i < 120; ++i) p.screens[0].edid[i] = static_cast<std::uint8_t>(i + 1);
    vcatest::AddMode(p, 0, 1280, 1024, 75);
    vcatest::AddMode(p, 0, 1600, 1200, 60);
    p.screens[0].records[1].words[12] = 0xDEADBEEF;
    vcatest::AddMode(p, 1, 1024, 768, 85);
    return p;
}

class EscapeTest : public ::testing::Test {
protected:
    void SetUp() override { boardsim::Install(TwoScreenBoard()); }
    void TearDown() override {
        boardsim::SetLogFile("");
        boardsim::Uninstall();
    }
};

TEST_F(EscapeTest, IdentificationQueriesAnswerFromTheProfile) {
    struct Case {
        bool installed, privateEscape, modeEscape;
        std::uint32_t board;
        int supportPrivate, support4352, boardResult, monitorResult;
    } cases[] = {
        {true, true, true, 0x030000CE, 1, 1, 0x030000CE, 0x10063},
        {true, true, false, 0x80000001, 1, 0, INT_MIN + 1, 0x10063},
        {true, false, true, 205, 0, 1, 0, 0},
        {false, true, true, 205, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        boardsim::Profile p = vcatest::MakeBoard(c.board, 0x10063);
        p.privateEscape = c.privateEscape;
        p.modeRecordEscape = c.modeEscape;
        boardsim::Install(p);
        if (!c.installed) boardsim::Uninstall();
        EXPECT_EQ(Send(8, Words({0x4156524E}), 0).result, c.supportPrivate);
        EXPECT_EQ(Send(8, Words({4352}), 0).result, c.support4352);
        EXPECT_EQ(Send(8, Words({8}), 0).result, 0);
        EXPECT_EQ(Send(kNrva, Words({3}), 0).result, c.boardResult);
        EXPECT_EQ(Send(kNrva, Words({7}), 0).result, c.monitorResult);
    }
}

TEST_F(EscapeTest, SetRequestsChangeTheLiveStateAndGammaReadsAlternateScreens) {
    EXPECT_EQ(Send(kNrva, Words({0x20002, 0x4664}), 0).result, 1);
    EXPECT_EQ(Send(kNrva, Words({0x20011, 2, 4}), 0).result, 1);
    EXPECT_EQ(Send(kNrva, Words({0x20011, 1, 2}), 0).result, 1);
    const boardsim::LiveState& live = boardsim::Live();
    EXPECT_TRUE(live.contrastSet && live.optionSet[1] && live.optionSet[2]);
    EXPECT_EQ(live.contrast, 0x4664u);
    EXPECT_EQ(live.option[1], 2u);
    EXPECT_EQ(live.option[2], 4u);

    auto readAnswers = [](const boardsim::GammaBytes& expected) {
        const Answer a = Send(kNrva, Words({9}), 1544);
        ASSERT_EQ(a.result, 1);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), a.out.begin()));
        EXPECT_EQ(Bytes(a.out.begin() + 1540, a.out.end()), Bytes(4, 0));
    };
    const boardsim::GammaBytes linear = boardsim::ComputeGamma(1.0), dark = boardsim::ComputeGamma(2.2);
    readAnswers(linear);
    readAnswers(dark);
    EXPECT_EQ(Send(kNrva, Words({9}), 1543).result, 0) << "an unanswered read keeps the turn";
    readAnswers(linear);

    // The header's screen bit picks the screen; the live state keeps the
    // table as sent, and the screen's next read answers it without the bit.
    const boardsim::GammaBytes sent = boardsim::ComputeGamma(0.7, 0x1000A);
    EXPECT_EQ(Send(kNrva, SetGamma(sent), 0).result, 1);
    EXPECT_TRUE(live.gammaSet[1] && !live.gammaSet[0]);
    EXPECT_EQ(live.gamma[1], sent);
    readAnswers(boardsim::ComputeGamma(0.7, 10));
    EXPECT_EQ(Send(kNrva, SetGamma(boardsim::ComputeGamma(3.0, 0xFFFEFFFF)), 0).result, 1);
    EXPECT_TRUE(live.gammaSet[0]);
    readAnswers(boardsim::ComputeGamma(3.0, 0xFFFEFFFF));
    EXPECT_EQ(live.gammaReads, 5);

    boardsim::Profile refusing = TwoScreenBoard();
    refusing.refuseGammaRead = true;
    boardsim::Install(refusing);
    EXPECT_FALSE(live.contrastSet || live.gammaSet[0] || live.gammaSet[1]) << "Install resets the live state";
    const Answer refused = Send(kNrva, Words({9}), 1544);
    EXPECT_EQ(refused.result, 0);
    EXPECT_TRUE(refused.Untouched());
}

TEST_F(EscapeTest, ModeRecordRequestsAnswerTheScreensBlock) {
    EXPECT_EQ(Send(4352, Mode(0, 0x20017, 0, 0), 0).result, 1);
    const Answer count0 = Send(4352, Mode(0x20017, 120, 52, 0), 4);
    EXPECT_EQ(count0.result, 1);
    EXPECT_EQ(count0.out, Words({2}));
    EXPECT_EQ(Send(4352, Mode(0x20017, 120, 52, 1), 4).out, Words({1}));

    const Answer fetch = Send(4352, Mode(0x20018, 2, 0, 0), 120 + 2 * 52);
    EXPECT_EQ(fetch.result, 1);
    Bytes expected(boardsim::InstalledProfile().screens[0].edid.begin(),
                   boardsim::InstalledProfile().screens[0].edid.end());
    for (const Bytes& record : {Words({1280, 1024, 75, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
                                Words({1600, 1200, 60, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xDEADBEEF})})
        expected.insert(expected.end(), record.begin(), record.end());
    EXPECT_EQ(fetch.out, expected);

    // More records than the screen holds: the rest are zero, and the output
    // past the block keeps its bytes.
    const Answer more = Send(4352, Mode(0x20018, 3, 1, 1), 120 + 3 * 52 + 8);
    EXPECT_EQ(more.result, 1);
    EXPECT_EQ(Bytes(more.out.begin(), more.out.begin() + 120), Bytes(120, 0));
    EXPECT_EQ(Bytes(more.out.begin() + 120, more.out.begin() + 124), Words({1024}));
    EXPECT_EQ(Bytes(more.out.begin() + 172, more.out.begin() + 276), Bytes(104, 0));
    EXPECT_EQ(Bytes(more.out.begin() + 276, more.out.end()), Bytes(8, kUnwritten));
}

TEST_F(EscapeTest, RefusalsAndOverriddenCounts) {
    struct Case {
        const char* what;
        void (*arrange)(boardsim::Profile&);
        int probe, count;
        Bytes countOut;
        int fetch;
    } cases[] = {
        {"not offered", [](boardsim::Profile& p) { p.modeRecordEscape = false; }, 0, 0, Bytes(4, kUnwritten), 0},
        {"probe refused", [](boardsim::Profile& p) { p.refuseProbe = true; }, 0, 1, Words({2}), 1},
        {"count refused", [](boardsim::Profile& p) { p.refuseCount = true; }, 1, 0, Bytes(4, kUnwritten), 1},
        {"fetch refused", [](boardsim::Profile& p) { p.refuseFetch = true; }, 1, 1, Words({2}), 0},
        {"hostile count", [](boardsim::Profile& p) { p.overrideCount = true; p.countAnswer = 0x7FFFFFFF; }, 1, 1, Words({0x7FFFFFFF}), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boardsim::Profile p = TwoScreenBoard();
        c.arrange(p);
        boardsim::Install(p);
        EXPECT_EQ(Send(4352, Mode(0, 0x20017, 0, 0), 0).result, c.probe);
        const Answer count = Send(4352, Mode(0x20017, 120, 52, 0), 4);
        EXPECT_EQ(count.result, c.count);
        EXPECT_EQ(count.out, c.countOut);
        const Answer fetch = Send(4352, Mode(0x20018, 2, 0, 0), 224);
        EXPECT_EQ(fetch.result, c.fetch);
        EXPECT_EQ(fetch.Untouched(), c.fetch != 1);
    }
}

TEST_F(EscapeTest, MalformedOrUnanswerableRequestsStayInsideTheirBuffers) {
    Bytes shortGamma = SetGamma(boardsim::ComputeGamma(1.0));
    shortGamma.pop_back();
    struct Case {
        int escape;
        Bytes input;
        int outSize, expected;
    } cases[] = {
        {8, {}, 0, -1}, {8, {'N', 'R', 'V'}, 0, -1}, {kNrva, {3, 0, 0}, 16, -1}, {kNrva, Words({4}), 16, -1},
        {kNrva, {2, 0, 2, 0, 0x64, 0x46, 0}, 0, -1}, {kNrva, Words({0x20011, 1}), 0, -1},
        {kNrva, Words({0x20011, 0, 2}), 0, -1}, {kNrva, Words({0x20011, 3, 2}), 0, -1},
        {kNrva, shortGamma, 0, -1}, {kNrva, Words({9}), 0, 0}, {kNrva, Words({9}), 1540, 0},
        {4352, Words({0x20017, 0, 0, 0, 120, 52}), 4, -1}, {4352, Words({0x20017, 0, 1, 0, 120, 52, 0}), 4, -1},
        {4352, Mode(0x20019, 120, 52, 0), 4, -1}, {4352, Mode(0, 0x20018, 0, 0), 0, -1},
        {4352, Mode(0x20017, 120, 52, 2), 4, -1}, {4352, Mode(0x20017, 120, 48, 0), 4, -1},
        {4352, Mode(0x20017, 120, 52, 0), 3, 0}, {4352, Mode(0x20018, 1, 0, 1), 172, -1},
        {4352, Mode(0x20018, 1, 2, 2), 172, -1}, {4352, Mode(0x20018, 0, 0, 0), -1, 0},
        {4352, Mode(0x20018, 0, 0, 0), 119, 0}, {4352, Mode(0x20018, 2, 0, 0), 223, 0},
        {4352, Mode(0x20018, 0x7FFFFFFF, 0, 0), 4096, 0},
        // 52 x 82595525 wraps to 4 in 32 bits: 124 bytes are no room for it.
        {4352, Mode(0x20018, 82595525, 0, 0), 124, 0}, {4353, Mode(0x20017, 120, 52, 0), 4, 0},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Answer a = Send(cases[i].escape, cases[i].input, cases[i].outSize);
        EXPECT_EQ(a.result, cases[i].expected) << "case " << i;
        EXPECT_TRUE(a.Untouched()) << "case " << i;
    }
    const boardsim::LiveState& live = boardsim::Live();
    EXPECT_FALSE(live.contrastSet || live.gammaSet[0] || live.gammaSet[1] || live.optionSet[1] || live.optionSet[2]);
    EXPECT_EQ(live.gammaReads, 0);
}

TEST_F(EscapeTest, LogsEveryRequestAndWritesItsLineToTheLogFile) {
    const std::string path = (std::filesystem::temp_directory_path() / "boardsim-escape-test.log").string();
    std::filesystem::remove(path);
    boardsim::SetLogFile(path);
    Send(8, Words({0x4156524E}), 0);
    Send(kNrva, Words({3}), 0);
    Send(kNrva, SetGamma(boardsim::ComputeGamma(1.0, 0x1000A)), 0);
    Send(kNrva, {9, 0, 0, 0, 1, 2}, 0);
    Send(4352, Mode(0x20017, 120, 52, 0), 4);
    boardsim::Uninstall();
    Send(-5, {}, -1);
    boardsim::SetLogFile("");
    Send(kNrva, Words({7}), 0);

    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    std::filesystem::remove(path);
    const std::vector<std::string> expected = {
        "QUERYESCSUPPORT query-support in 4 bytes [4156524E] out 0 -> 1",
        "NRVA board-query in 4 bytes [00000003] out 0 -> 33554637",
        "NRVA set-gamma in 1544 bytes [00000008 0001000A 00040000 000C0008 00140010 001C0018 00240020 "
        "002C0028 ... 386 words] out 0 -> 1",
        "NRVA read-gamma in 6 bytes [00000009 +2 bytes] out 0 -> 0",
        "4352 count in 28 bytes [00020017 00000000 00000000 00000000 00000078 00000034 00000000] out 4 -> 1",
        "escape -5 short in 0 bytes [] out -1 -> 0",
    };
    EXPECT_EQ(lines, expected);

    // Uninstall emptied the log; what came after it is kept in memory.
    ASSERT_EQ(boardsim::RequestLog().size(), 2u);
    EXPECT_EQ(boardsim::FormatRequest(boardsim::RequestLog()[1]), "NRVA monitor-query in 4 bytes [00000007] out 0 -> 0");
}

}  // namespace
