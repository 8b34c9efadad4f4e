// The monitor's reported modes through escape 4352: what each kind of driver
// answer leaves in a screen's mode record state.
#include <gtest/gtest.h>

#include "base/app_state.h"
#include "driver/board_identity.h"
#include "driver/driver_escape.h"
#include "driver/mode_records.h"
#include "support/applet_fixture.h"
#include "support/board_builder.h"

namespace {

using vcatest::AddMode;
using vcatest::MakeBoard;
using vcatest::Words;

class ModeRecordsTest : public vcatest::AppletTest {};

void ExpectDefaultBlock(int screen) {
    const vca::ModeRecordState& state = vca::modeRecords[screen];
    ASSERT_NE(state.block, nullptr);
    EXPECT_EQ(state.count, 1u);
    EXPECT_EQ(state.firstRecord, state.block + 120);
    for (int i = 0; i < 120; ++i) ASSERT_EQ(state.block[i], 0) << "identification byte " << i;
    EXPECT_EQ(vca::ModeRecordWord(screen, 0, 0), 640u);
    EXPECT_EQ(vca::ModeRecordWord(screen, 0, 1), 480u);
    EXPECT_EQ(vca::ModeRecordWord(screen, 0, 2), 60u);
    for (int w = 3; w < 13; ++w) EXPECT_EQ(vca::GetWord(state.firstRecord, w), 0u);
}

TEST_F(ModeRecordsTest, ReadsTheDriversRecordsWithExactRequests) {
    boardsim::Profile profile = MakeBoard(205, 99 | 0x10000);
    AddMode(profile, 1, 1280, 1024, 75);
    AddMode(profile, 1, 1024, 768, 85);
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
        EXPECT_EQ(vca::modeRecords[0].status, c.status);
        EXPECT_EQ(boardsim::RequestLog().size(), c.requests);
        ExpectDefaultBlock(0);
        EXPECT_EQ(host::DcAcquireCount(), host::DcReleaseCount());
    }
}

TEST_F(ModeRecordsTest, ALargeHonestCountIsFetchedAndASecondQueryReplacesTheBlock) {
    boardsim::Profile profile = MakeBoard(205, 17);
    for (std::uint32_t i = 0; i < 4096; ++i) AddMode(profile, 0, 640 + i, 480, 60);
    boardsim::Install(profile);
    ASSERT_EQ(vca::QueryModeRecords(0), 1);
    ASSERT_EQ(vca::QueryModeRecords(0), 1);
    EXPECT_EQ(vca::modeRecords[0].status, vca::kRecordsFromDriver);
    EXPECT_EQ(vca::ModeRecordWord(0, 4095, 0), 640u + 4095u);
    EXPECT_EQ(host::OutstandingAllocations(), 1);
    vca::ReleaseModeRecords(0);
    EXPECT_EQ(host::OutstandingAllocations(), 0);
    EXPECT_EQ(vca::modeRecords[0].block, nullptr);
}

}  // namespace
