// The simulated driver answers the identification and gamma escapes as the
// board's driver does. Its mode records and refusals are checked through
// the applet's own requests, in the driver tests.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "boardsim/boardsim.h"
#include "support/board_builder.h"

namespace {

using vcatest::Words;
using Bytes = std::vector<std::uint8_t>;

constexpr int kNrva = boardsim::kPrivateEscape;
struct Answer {
    int result;
    Bytes out;
};

// Input and output of exactly the given sizes on the heap, so that the
// sanitizer catches any byte touched past them.
Answer Send(int escape, const Bytes& input, int outSize) {
    Bytes in(input.begin(), input.end());
    Bytes out(static_cast<std::size_t>(std::max(outSize, 0)), 0xAA);
    const int result = boardsim::Escape(escape, static_cast<int>(in.size()), in.empty() ? nullptr : in.data(),
                                        outSize, out.empty() ? nullptr : out.data());
    return {result, out};
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

}  // namespace
