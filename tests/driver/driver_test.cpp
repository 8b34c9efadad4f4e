// Identification: how the driver's answers become the board identity, and
// the exact requests that get them; gamma tables sent and read back; the
// monitor's mode records.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/app_state.h"
#include "driver/board_identity.h"
#include "driver/driver_escape.h"
#include "driver/mode_records.h"
#include "gamma/gamma_table.h"
#include "support/applet_fixture.h"
#include "support/board_builder.h"

namespace {

using vcatest::AddMode;
using vcatest::AppletTest;
using vcatest::MakeBoard;
using vcatest::Words;

class IdentifyTest : public AppletTest {};

// The board and monitor answers decoded; at the first unsupported answer
// identification stops asking, and only success sets the driver key path.
TEST_F(IdentifyTest, DecodesTheBoardAndMonitorAnswers) {
    const struct {
        const char* what;
        bool privateEscape;
        std::uint32_t boardAnswer, monitorAnswer;
        int result;
        std::uint32_t boardCode, textureMemory, optionFlag, monitorCode, reported, secondScreen, granularity;
        std::size_t requests;
    } cases[] = {
        {"DDC monitor on a dual board", true, 205, 99 | 0x10000, 1, 205, 0, 0, 17, 17, 0x10000, 4, 5},
        {"206 with both flags", true, 206 | 0x3000000, 17, 1, 206, 0x2000000, 0x1000000, 17, 17, 0, 8, 5},
        {"204 is not granular", true, 204, 20, 1, 204, 0, 0, 20, 20, 0, 0, 5},
        {"207", true, 207, 21, 1, 207, 0, 0, 21, 21, 0, 4, 5},
        {"210", true, 210 | 0x2000000, 27 | 0x10000, 1, 210, 0x2000000, 0, 27, 27, 0x10000, 4, 5},
        {"high bits do not hide the code", true, 0xFFFF0000u | 203, 0xFFFF0000u | 19, 1, 203, 0x2000000, 0x1000000,
         19, 19, 0x10000, 0, 5},
        {"board 208 unsupported", true, 208, 17, -1, 208, 0, 0, 0, 0, 0, 0, 2},
        {"board 200 unsupported", true, 200 | 0x2000000, 17, -1, 200, 0x2000000, 0, 0, 0, 0, 0, 2},
        {"monitor 18 unsupported", true, 205, 18 | 0x10000, -10, 205, 0, 0, 18, 18, 0x10000, 0, 3},
        {"no private escape", false, 205, 17, -11, 0, 0, 0, 0, 0, 0, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boardsim::Profile profile = MakeBoard(c.boardAnswer, c.monitorAnswer);
        profile.privateEscape = c.privateEscape;
        boardsim::Install(profile);
        vca::boardIdentity = {1, 1, 1, 1, 1, 1};  // identification must clear stale fields
        vca::reportedMonitorCode = 0;
        vca::driverKeyPath[0] = u'\0';
        EXPECT_EQ(vca::IdentifyBoard(), c.result);
        const vca::BoardIdentity& id = vca::boardIdentity;
        EXPECT_EQ((std::vector<std::uint32_t>{id.boardCode, id.textureMemory, id.optionFlag, id.monitorCode,
                                              vca::reportedMonitorCode, id.secondScreen, id.pixelGranularity}),
                  (std::vector<std::uint32_t>{c.boardCode, c.textureMemory, c.optionFlag, c.monitorCode, c.reported,
                                              c.secondScreen, c.granularity}));
        EXPECT_EQ(boardsim::RequestLog().size(), c.requests);
        EXPECT_EQ(vca::driverKeyPath[0] != u'\0', c.result == 1);
        EXPECT_EQ(host::DcAcquireCount(), host::DcReleaseCount());
    }
}

TEST_F(IdentifyTest, SendsExactRequestsAndReadsBothGammaTables) {
    boardsim::Profile profile = MakeBoard(205 | 0x2000000, 99 | 0x10000);
    profile.screens[0].gamma = vcatest::FilledGamma(10, 111);
    profile.screens[1].gamma = vcatest::FilledGamma(10, 222);
    boardsim::Install(profile);
    ASSERT_EQ(vca::IdentifyBoard(), 1);

    const auto& log = boardsim::RequestLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].escape, 8);
    EXPECT_EQ(log[0].input, std::vector<std::uint8_t>({'N', 'R', 'V', 'A'}));
    EXPECT_EQ(log[1].escape, vca::kPrivateEscape);
    EXPECT_EQ(log[1].input, Words({3}));
    EXPECT_EQ(log[1].outSize, 0);
    EXPECT_EQ(log[2].input, Words({7}));
    for (int i : {3, 4}) {
        EXPECT_EQ(log[i].escape, vca::kPrivateEscape);
        EXPECT_EQ(log[i].input, Words({9})) << "the read carries no screen selector";
        EXPECT_EQ(log[i].outSize, 1544);
    }
    EXPECT_EQ(vca::currentGamma[0].table.header, 10u);
    EXPECT_EQ(vca::currentGamma[0].table.channel[2][255], 111);
    EXPECT_EQ(vca::currentGamma[1].table.channel[0][0], 222);
}

TEST_F(IdentifyTest, GammaTablesGoToTheirScreenAndComeBackOnlyFromAPositiveAnswer) {
    boardsim::Install(MakeBoard(205, 17 | 0x10000));
    ASSERT_EQ(vca::IdentifyBoard(), 1);
    vca::GammaTable table{};
    table.header = 10;
    for (int i = 0; i < 256; ++i) table.channel[0][i] = table.channel[1][i] = table.channel[2][i] = i * 4;
    for (int screen : {0, 1}) {
        boardsim::ClearRequestLog();
        vca::DriverEscape(vca::kOpSetGammaTable, screen, &table);
        ASSERT_EQ(boardsim::RequestLog().size(), 1u);
        const auto& request = boardsim::RequestLog()[0];
        ASSERT_EQ(request.input.size(), 1544u);
        EXPECT_EQ(vcatest::WordAt(request.input, 0), 8u);
        EXPECT_EQ(vcatest::WordAt(request.input, 1), screen ? 0x1000Au : 10u);
        EXPECT_EQ(std::memcmp(request.input.data() + 8, &table.channel, sizeof table.channel), 0);
        EXPECT_EQ(table.header, 10u) << "the caller's table keeps its header";
        EXPECT_TRUE(boardsim::Live().gammaSet[screen]);
    }

    boardsim::Profile profile = MakeBoard(205, 17);
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

TEST(BoardName, ChoosesTheStringByBoardOptionAndTexture) {
    struct Case { std::uint32_t board, option, texture, string; } cases[] = {
        {205, 0, 0, 1210}, {206, 0x1000000, 0x2000000, 1210}, {207, 0, 0, 1214},
        {210, 0x1000000, 0, 1214}, {201, 0, 0, 62}, {204, 0, 0, 61},
        {202, 0x1000000, 0, 64}, {204, 0x1000000, 0, 63}, {203, 0, 0x2000000, 67},
        {204, 0, 0x2000000, 76}, {201, 0x1000000, 0x2000000, 66}, {204, 0x1000000, 0x2000000, 65},
        {0, 0, 0, 62},
    };
    for (const auto& c : cases) {
        vca::BoardIdentity identity{};
        identity.boardCode = c.board;
        identity.optionFlag = c.option;
        identity.textureMemory = c.texture;
        EXPECT_EQ(vca::BoardNameStringId(identity), c.string)
            << c.board << " option " << c.option << " texture " << c.texture;
    }
}

// The monitor's reported modes through escape 4352: what each kind of driver
// answer leaves in a screen's mode record state.
using ModeRecordsTest = AppletTest;

// Screen 0 offers as many records as any monitor may: all are fetched, and
// a second query replaces the block.
TEST_F(ModeRecordsTest, ReadsTheDriversRecordsWithExactRequestsAndALargeHonestCount) {
    boardsim::Profile profile = MakeBoard(205, 99 | 0x10000);
    AddMode(profile, 1, 1280, 1024, 75);
    AddMode(profile, 1, 1024, 768, 85);
    for (std::uint32_t i = 0; i < 4096; ++i) AddMode(profile, 0, 640 + i, 480, 60);
    profile.screens[1].edid[0] = 0x34;  // manufacturer code, first byte
    profile.screens[1].edid[11] = 3;    // EDID revision
    boardsim::Install(profile);

    ASSERT_EQ(vca::QueryModeRecords(1), 1);
    const vca::ModeRecordState& state = vca::modeRecords[1];
    EXPECT_EQ(state.status, vca::kRecordsFromDriver);
    EXPECT_EQ(state.count, 2u);
    EXPECT_EQ(state.block[0], 0x34);
    EXPECT_EQ(state.block[11], 3);
    EXPECT_EQ(vca::ModeRecordWord(1, 0, 0), 1280u);
    EXPECT_EQ(vca::ModeRecordWord(1, 1, 2), 85u);
    EXPECT_EQ(vca::ModeRecordWord(1, 2, 0), 0u) << "past the last record";

    const auto& log = boardsim::RequestLog();
    ASSERT_EQ(log.size(), 3u);
    for (const auto& request : log) EXPECT_EQ(request.escape, 4352);
    EXPECT_EQ(log[0].input, Words({0, 0, 0, 0, 0x20017, 0, 0}));
    EXPECT_EQ(log[0].outSize, 0);
    EXPECT_EQ(log[1].input, Words({0x20017, 0, 0, 0, 120, 52, 1}));
    EXPECT_EQ(log[1].outSize, 4);
    EXPECT_EQ(log[2].input, Words({0x20018, 0, 0, 0, 2, 1, 1}));
    EXPECT_EQ(log[2].outSize, 120 + 52 * 2);

    ASSERT_EQ(vca::QueryModeRecords(0), 1);
    ASSERT_EQ(vca::QueryModeRecords(0), 1);
    EXPECT_EQ(vca::modeRecords[0].status, vca::kRecordsFromDriver);
    EXPECT_EQ(vca::ModeRecordWord(0, 4095, 0), 640u + 4095u);
    EXPECT_EQ(host::OutstandingAllocations(), 2);
    vca::ReleaseModeRecords(0);
    EXPECT_EQ(host::OutstandingAllocations(), 1);
    EXPECT_EQ(vca::modeRecords[0].block, nullptr);
}

TEST_F(ModeRecordsTest, EveryFailingDriverLeavesTheDefaultBlock) {
    struct Case {
        const char* what;
        bool noDriver;
        void (*arrange)(boardsim::Profile&);
        int status;
        std::size_t requests;
    } cases[] = {
        {"no escape 4352, driver present", false, [](boardsim::Profile& p) { p.modeRecordEscape = false; }, 5, 1},
        {"no escape 4352, no-driver mode", true, [](boardsim::Profile& p) { p.modeRecordEscape = false; }, 2, 1},
        {"probe refused", false, [](boardsim::Profile& p) { p.refuseProbe = true; }, 5, 1},
        {"no records", false, [](boardsim::Profile&) {}, 2, 2},
        {"count refused", false, [](boardsim::Profile& p) { AddMode(p, 0, 800, 600, 60); p.refuseCount = true; }, 2, 2},
        {"fetch refused", false, [](boardsim::Profile& p) { AddMode(p, 0, 800, 600, 60); p.refuseFetch = true; }, 5, 3},
        {"hostile count", false, [](boardsim::Profile& p) { p.overrideCount = true; p.countAnswer = 0x7FFFFFFF; }, 5, 2},
        {"count beyond any monitor", false, [](boardsim::Profile& p) { p.overrideCount = true; p.countAnswer = 4097; }, 5, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boardsim::Profile profile = MakeBoard(205, 17);
        c.arrange(profile);
        boardsim::Install(profile);
        vca::driverAbsent = c.noDriver;
        ASSERT_EQ(vca::QueryModeRecords(0), 1);
        const vca::ModeRecordState& state = vca::modeRecords[0];
        EXPECT_EQ(state.status, c.status);
        EXPECT_EQ(boardsim::RequestLog().size(), c.requests);
        // The default block: no identification bytes and one 640 x 480 record at 60 Hz.
        ASSERT_NE(state.block, nullptr);
        EXPECT_EQ(state.count, 1u);
        EXPECT_EQ(state.firstRecord, state.block + 120);
        for (int i = 0; i < 120; ++i) ASSERT_EQ(state.block[i], 0) << "identification byte " << i;
        const std::uint32_t defaultRecord[13] = {640, 480, 60};
        for (int w = 0; w < 13; ++w) EXPECT_EQ(vca::GetWord(state.firstRecord, w), defaultRecord[w]) << "word " << w;
        EXPECT_EQ(host::DcAcquireCount(), host::DcReleaseCount());
    }
}

}  // namespace
