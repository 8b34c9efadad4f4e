// The gamma tables sent to each screen and read back, byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "driver/board_identity.h"
#include "driver/driver_escape.h"
#include "gamma/gamma_table.h"
#include "support/applet_fixture.h"
#include "support/board_builder.h"

namespace {

using vcatest::WordAt;

class DriverEscapeTest : public vcatest::AppletTest {
protected:
    void SetUp() override {
        AppletTest::SetUp();
        boardsim::Install(vcatest::MakeBoard(205, 17 | 0x10000));
        ASSERT_EQ(vca::IdentifyBoard(), 1);
    }
};

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
