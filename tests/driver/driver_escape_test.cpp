// The live requests: contrast, gamma tables and board options, byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "driver/board_identity.h"
#include "driver/driver_escape.h"
#include "gamma/gamma_table.h"
#include "support/applet_fixture.h"
#include "support/board_builder.h"

namespace {

using vcatest::WordAt;
using vcatest::Words;

class DriverEscapeTest : public vcatest::AppletTest {
protected:
    void SetUp() override {
        AppletTest::SetUp();
        boardsim::Install(vcatest::MakeBoard(205, 17 | 0x10000));
        ASSERT_EQ(vca::IdentifyBoard(), 1);
    }
};

// Options go only to a supported board; contrast goes out regardless, and
// operations the driver does not know send nothing.
TEST_F(DriverEscapeTest, ContrastAndOptionsCarryTheirWords) {
    const struct { int operation; std::uint32_t board, value; std::vector<std::uint8_t> sent; } cases[] = {
        {vca::kOpSetContrast, 205, (70u << 8) | 100u, Words({0x20002, 0x4664})},
        {vca::kOpSetOption1, 205, 2, Words({0x20011, 1, 2})},
        {vca::kOpSetOption2, 205, 4, Words({0x20011, 2, 4})},
        {vca::kOpSetOption2, 0, 4, {}},
        {vca::kOpSetContrast, 0, 0x6464, Words({0x20002, 0x6464})},
        {6, 205, 2, {}},
    };
    for (const auto& c : cases) {
        boardsim::ClearRequestLog();
        vca::boardIdentity.boardCode = c.board;
        std::uint32_t value = c.value;
        vca::DriverEscape(c.operation, 0, &value);
        ASSERT_EQ(boardsim::RequestLog().size(), c.sent.empty() ? 0u : 1u) << c.operation;
        if (!c.sent.empty()) {
            EXPECT_EQ(boardsim::RequestLog()[0].input, c.sent) << c.operation;
        }
    }
    EXPECT_EQ(boardsim::Live().contrast, 0x6464u);
    EXPECT_EQ(boardsim::Live().option[2], 4u);
}

TEST_F(DriverEscapeTest, GammaTablesGoToTheirScreenAndComeBackOnlyFromAPositiveAnswer) {
    vca::GammaTable table{};
    table.header = 10;
    for (int i = 0; i < 256; ++i) table.channel[0][i] = table.channel[1][i] = table.channel[2][i] = i * 4;
    for (int screen : {0, 1}) {
        boardsim::ClearRequestLog();
        vca::DriverEscape(vca::kOpSetGammaTable, screen, &table);
        ASSERT_EQ(boardsim::RequestLog().size(), 1u);
        const auto& request = boardsim::RequestLog()[0];
        ASSERT_EQ(request.input.size(), 1544u);
        EXPECT_EQ(WordAt(request.input, 0), 8u);
        EXPECT_EQ(WordAt(request.input, 1), screen ? 0x1000Au : 10u);
        EXPECT_EQ(std::memcmp(request.input.data() + 8, &table.channel, sizeof table.channel), 0);
        EXPECT_EQ(table.header, 10u) << "the caller's table keeps its header";
        EXPECT_TRUE(boardsim::Live().gammaSet[screen]);
    }

    boardsim::Profile profile = vcatest::MakeBoard(205, 17);
    profile.screens[0].gamma = vcatest::FilledGamma(10, 500);
    for (bool refused : {false, true}) {
        profile.refuseGammaRead = refused;
        boardsim::Install(profile);
        vca::GammaTable read{};
        read.header = 77;
        vca::DriverEscape(vca::kOpReadGammaTable, 0, &read);
        EXPECT_EQ(read.header, refused ? 77u : 10u);
        EXPECT_EQ(read.channel[2][255], refused ? 0 : 500);
    }
}

}  // namespace
