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
        boardsim::ClearRequestLog();
    }
    const boardsim::Request& Only() {
        EXPECT_EQ(boardsim::RequestLog().size(), 1u);
        return boardsim::RequestLog().back();
    }
};

TEST_F(DriverEscapeTest, ContrastAndOptionsCarryTheirWords) {
    std::uint32_t contrast = (70u << 8) | 100u;
    vca::DriverEscape(vca::kOpSetContrast, 1, &contrast);
    EXPECT_EQ(Only().input, Words({0x20002, 0x4664}));
    EXPECT_EQ(boardsim::Live().contrast, 0x4664u);

    struct Case {
        int operation;
        std::uint32_t value, option;
    } cases[] = {{vca::kOpSetOption1, 2, 1}, {vca::kOpSetOption1, 0, 1}, {vca::kOpSetOption2, 4, 2}};
    for (const auto& c : cases) {
        boardsim::ClearRequestLog();
        std::uint32_t value = c.value;
        vca::DriverEscape(c.operation, 0, &value);
        EXPECT_EQ(Only().input, Words({0x20011, c.option, c.value}));
        EXPECT_EQ(boardsim::Live().option[c.option], c.value);
    }
}

TEST_F(DriverEscapeTest, GammaTableOfScreenOneIsMarkedInTheCopyOnly) {
    vca::GammaTable table{};
    table.header = 10;
    for (int i = 0; i < 256; ++i) table.channel[0][i] = table.channel[1][i] = table.channel[2][i] = i * 4;

    for (int screen : {0, 1}) {
        boardsim::ClearRequestLog();
        vca::DriverEscape(vca::kOpSetGammaTable, screen, &table);
        const auto& request = Only();
        ASSERT_EQ(request.input.size(), 1544u);
        EXPECT_EQ(WordAt(request.input, 0), 8u);
        EXPECT_EQ(WordAt(request.input, 1), screen ? 0x1000Au : 10u);
        EXPECT_EQ(std::memcmp(request.input.data() + 8, &table.channel, sizeof table.channel), 0);
        EXPECT_EQ(table.header, 10u) << "the caller's table keeps its header";
        EXPECT_TRUE(boardsim::Live().gammaSet[screen]);
    }
}

TEST_F(DriverEscapeTest, NothingIsSentForOptionsWithoutABoardOrForUnknownOperations) {
    vca::boardIdentity.boardCode = 0;
    std::uint32_t value = 2;
    vca::DriverEscape(vca::kOpSetOption1, 0, &value);
    vca::DriverEscape(vca::kOpSetOption2, 0, &value);
    for (int operation : {0, 6, -1, 100}) vca::DriverEscape(operation, 0, &value);
    EXPECT_TRUE(boardsim::RequestLog().empty());
    // Contrast and gamma still go out without a board: they simply have no effect.
    vca::DriverEscape(vca::kOpSetContrast, 0, &value);
    EXPECT_EQ(boardsim::RequestLog().size(), 1u);
}

TEST_F(DriverEscapeTest, ReadGammaCopiesOnlyAPositiveAnswer) {
    boardsim::Profile profile = vcatest::MakeBoard(205, 17);
    profile.screens[0].gamma = vcatest::FilledGamma(10, 500);
    boardsim::Install(profile);
    vca::GammaTable table{};
    vca::DriverEscape(vca::kOpReadGammaTable, 0, &table);
    EXPECT_EQ(table.header, 10u);
    EXPECT_EQ(table.channel[2][255], 500);

    profile.refuseGammaRead = true;
    boardsim::Install(profile);
    vca::GammaTable untouched{};
    untouched.header = 77;
    vca::DriverEscape(vca::kOpReadGammaTable, 0, &untouched);
    EXPECT_EQ(untouched.header, 77u);
    EXPECT_EQ(untouched.channel[0][0], 0);
}

}  // namespace
