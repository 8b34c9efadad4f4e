// The simulated driver answers the escapes as the board's driver does,
// byte for byte, and refuses what the applet must survive.
#include <gtest/gtest.h>

#include <climits>
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
    void TearDown() override { boardsim::Uninstall(); }
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
    const boardsim::LiveState& live = boardsim::Live();
    EXPECT_EQ(live.contrast, 0x4664u);
    EXPECT_EQ(live.option[2], 4u);

    auto readAnswers = [](const boardsim::GammaBytes& expected) {
        const Answer a = Send(kNrva, Words({9}), 1544);
        ASSERT_EQ(a.result, 1);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), a.out.begin()));
    };
    const boardsim::GammaBytes linear = boardsim::ComputeGamma(1.0), dark = boardsim::ComputeGamma(2.2);
    readAnswers(linear);
    readAnswers(dark);
    EXPECT_EQ(Send(kNrva, Words({9}), 1543).result, 0) << "an unanswered read keeps the turn";
    readAnswers(linear);

    // The header's screen bit picks the screen; the screen's next read
    // answers the table without the bit.
    const boardsim::GammaBytes sent = boardsim::ComputeGamma(0.7, 0x1000A);
    EXPECT_EQ(Send(kNrva, SetGamma(sent), 0).result, 1);
    EXPECT_TRUE(live.gammaSet[1] && !live.gammaSet[0]);
    EXPECT_EQ(live.gamma[1], sent);
    readAnswers(boardsim::ComputeGamma(0.7, 10));
}

TEST_F(EscapeTest, ModeRecordRequestsAnswerTheScreensBlock) {
    EXPECT_EQ(Send(4352, Mode(0, 0x20017, 0, 0), 0).result, 1);
    EXPECT_EQ(Send(4352, Mode(0x20017, 120, 52, 0), 4).out, Words({2}));
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

}  // namespace
