// The mode table: the monitor filter, the DDC monitor, the fallback table,
// the pixel-format figures and every out-of-memory path (the grouping and
// the order are compared with the plain build in the differential test).
#include <gtest/gtest.h>

#include "base/app_state.h"
#include "applet/startup.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "modes/mode_building.h"
#include "modes/mode_controls.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_table.h"
#include "timingdb/monitor_catalogue.h"
#include "support/machine_fixture.h"
#include "timingdb/database_loader.h"
#include "applet/reset.h"

namespace {

using vcatest::StandardMonitors;
using vcatest::TimingFile;

// VESA timings: pixel clock, h total, active, sync, front porch, v total,
// active, sync, front porch.
const char* const k640x480at60 = "25.175 800 640 96 16 525 480 2 10";
const char* const k640x480at75 = "31.5 840 640 64 16 500 480 3 1";
const char* const k800x600at60 = "40 1056 800 128 40 628 600 4 1";
const char* const k800x600at75 = "49.5 1056 800 80 16 625 600 3 1";
const char* const k1024x768at60 = "65 1344 1024 136 24 806 768 6 3";
const char* const k1024x768at75 = "78.75 1312 1024 96 16 800 768 3 1";

class ModeTableTest : public vcatest::MachineTest {};

TEST(MonitorFilter, HorizontalFrequencyBoundsAreInclusive) {
    using R = vca::FilterResult;
    struct Case { double hfmin, hfmax; int hfreq; R result; } cases[] = {
        {30, 64, 64, R::kPass}, {30, 64, 65, R::kAboveHfMax}, {30, 64, 30, R::kPass}, {30, 64, 29, R::kBelowHfMin},
        {30, 64, 0, R::kPass},  {0, 0, 200, R::kPass},        {30, 0, 40, R::kAboveHfMax},
    };
    for (const auto& c : cases) {
        vca::MonitorEntry monitor{};
        monitor.limits[vca::kHfMin] = c.hfmin;
        monitor.limits[vca::kHfMax] = c.hfmax;
        vca::TimingEntry candidate{};
        candidate.xres = 640;
        candidate.refresh = 60;
        candidate.hfreq = static_cast<std::uint16_t>(c.hfreq);
        EXPECT_EQ(vca::CheckMonitorFilter(candidate, monitor).result, c.result) << c.hfmax << " " << c.hfreq;
    }
}

TEST_F(ModeTableTest, TheDdcMonitorOffersScreen0sModesAtTheirHighestRate) {
    boardsim::Profile board = vcatest::MakeBoard(205, 99);
    for (auto [w, h, r] : {std::tuple{640, 480, 60}, {640, 480, 75}, {800, 600, 60}, {1024, 768, 60}, {1024, 768, 75}})
        vcatest::AddMode(board, 0, w, h, r);
    vcatest::AddMode(board, 1, 800, 600, 75);  // screen 1 does not count
    UseBoard(board);
    WriteDatabase(TimingFile(StandardMonitors(), {},
                             {k1024x768at75, k1024x768at60, k800x600at75, k800x600at60, k640x480at75, k640x480at60}));
    ASSERT_EQ(Build(u"DDC Monitor"), 1);
    EXPECT_EQ(TableText(), "640x480 75; 800x600 60; 1024x768 75");
    EXPECT_EQ(TableText(vca::ddcFullRates), "640x480 60,75; 800x600 60; 1024x768 60,75");

    // Another monitor gets every rate; the DDC copy stays to the final release.
    vca::CopyText(vca::workingSettings.Description, u"Generic multi-sync monitor");
    ASSERT_EQ(vca::ChooseMonitorAndBuildModes(), 1);
    EXPECT_EQ(TableText(), "640x480 60,75; 800x600 60,75; 1024x768 60,75");
    EXPECT_EQ(TableText(vca::ddcFullRates), "640x480 60,75; 800x600 60; 1024x768 60,75");
}

TEST_F(ModeTableTest, UnusableDatabasesGiveTheFallbackTable) {
    const std::string path = "C:\\WINDOWS\\system32\\revid.dat";
    struct Case {
        std::string text;  // empty: no file
        std::uint32_t board;
        std::string message;  // the table builder's message
        bool invalid;
    } cases[] = {
        {"", 201, "", false},
        {TimingFile(StandardMonitors(), {{1024, 768, 60}}) + "tag MS\ntype bogus\n", 201,
         "The display modes of the timing database cannot be read from " + path + ". The error is on line 18.", true},
        {TimingFile(StandardMonitors(), {}, {"25.175 800 640 96 16 525 480 2"}), 205,
         "The display modes of the timing database cannot be read from " + path + ". The error is on line 18.", true},
        {TimingFile(StandardMonitors(), {{1024, 768, 60, false, 0, "LM"}}), 201,
         "No display mode in " + path + " suits this board and monitor. A single 640 x 480 mode will be used. ", false},
        {TimingFile(StandardMonitors(), {}, {"25.175 800 642 96 16 525 480 2 10"}), 205,  // width off the granularity
         "No display mode in " + path + " suits this board and monitor. A single 640 x 480 mode will be used. ", false},
    };
    for (const auto& c : cases) {
        vca::ResetAppletState();
        host::Reset();
        host::MapDriveC(drive.root());
        vca::InitApplet(host::AppletModule());
        host::OverrideString(0x0409, 3, std::u16string(70, u'C'));
        UseBoard(vcatest::MakeBoard(c.board, 17));
        WriteDatabase(c.text);
        host::FailFileOpen(c.text.empty());
        ASSERT_EQ(Build(), 1) << c.message;
        EXPECT_EQ(TableText(), "640x480 60") << c.message;
        EXPECT_TRUE(vca::ModeTableIsFallback()) << c.message;
        EXPECT_EQ(vca::maxRateCount, 10u) << c.message;
        EXPECT_EQ(vca::databaseInvalid, c.invalid) << c.message;
        if (!c.message.empty()) {
            EXPECT_EQ(vcatest::Utf8(host::MessageBoxes().back().text), c.message);
            // The builder reads its caption with room for 59 characters.
            EXPECT_EQ(host::MessageBoxes().back().caption, std::u16string(59, u'C'));
        }

        // A failed query holds for the rest of the run: the built-in
        // catalogue and the fallback table, without a look at the file.
        const std::size_t shown = host::MessageBoxes().size();
        ASSERT_EQ(vca::ChooseMonitorAndBuildModes(), 1) << c.message;
        EXPECT_EQ(TableText(), "640x480 60") << c.message;
        if (c.invalid || c.text.empty()) {
            EXPECT_EQ(vcatest::Utf8(vca::workingSettings.Description), "Multi-sync Monitor") << c.message;
            EXPECT_EQ(host::MessageBoxes().size(), shown) << c.message;
        }
    }
}

TEST(PixelFormat, FiguresFollowTheBoardAndTheTileTest) {
    struct Case {
        std::uint32_t board, texture;
        std::uint16_t granularity;
        std::uint32_t width, height;
        std::vector<std::uint16_t> figures;
    } cases[] = {
        {201, 0, 0, 1280, 1024, {0, 0, 1, 24}}, {203, 1, 0, 1280, 1024, {8, 0, 8, 32}},
        {204, 1, 0, 1280, 1024, {0, 0, 4, 24}}, {205, 0, 4, 1024, 768, {8, 8, 8, 32}},
        {205, 1, 4, 1280, 1024, {0, 6, 4, 24}}, {206, 0, 8, 1600, 1200, {8, 8, 8, 32}},
        {206, 0, 8, 1282, 1024, {0, 6, 4, 24}}, {210, 0, 4, 1408, 8, {8, 8, 8, 32}},
        {210, 0, 4, 1412, 8, {0, 6, 4, 24}},    {206, 0, 8, 256, 2056, {0, 6, 4, 24}},
        {0, 0, 0, 640, 480, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        vca::boardIdentity.boardCode = c.board;
        vca::boardIdentity.textureMemory = c.texture ? vca::kTextureMemoryBit : 0;
        vca::boardIdentity.pixelGranularity = c.granularity;
        std::uint32_t none[] = {0};
        vca::ModeEntry mode{0, c.width, c.height, 32, none, 0, 0, none, {9, 9, 9, 9}};
        vca::FinishModeTable(&mode, 1);
        EXPECT_EQ(std::vector<std::uint16_t>(mode.pixelFormat, mode.pixelFormat + 4), c.figures)
            << c.board << " " << c.width << "x" << c.height;
    }
    vca::boardIdentity = vca::BoardIdentity{};
}

// Every allocation of a rebuild for a monitor (built-in catalogue, table,
// views, descriptions) fails in turn: the process ends after message 82 with
// every table released; the descriptions go without a message. Nothing leaks.
TEST_F(ModeTableTest, EveryAllocationFailureIsHandledWithoutLeaks) {
    boardsim::Profile ddcBoard = vcatest::MakeBoard(205, 99 | vca::kSecondScreenBit);
    vcatest::AddMode(ddcBoard, 0, 640, 480, 60);
    vcatest::AddMode(ddcBoard, 0, 1024, 768, 75);
    struct Setup { boardsim::Profile board; std::string text; std::u16string monitor; } setups[] = {
        {vcatest::MakeBoard(201, 17),
         TimingFile(StandardMonitors(), {{640, 480, 60}, {640, 480, 72}, {1024, 384, 120, true}}), u""},
        {ddcBoard, TimingFile(StandardMonitors(), {}, {k640x480at60, k640x480at75, k1024x768at75}), u"DDC Monitor"},
        {vcatest::MakeBoard(201, 17), TimingFile(StandardMonitors(), {{640, 480, 60, false, 0, "LM"}}), u""},
        {vcatest::MakeBoard(201, 17), "", u""},  // an unusable database: the built-in catalogue
    };
    for (const auto& s : setups) {
        WriteDatabase(s.text);
        for (int n = 1;; ++n) {
            SCOPED_TRACE(vcatest::Utf8(s.monitor) + " allocation " + std::to_string(n));
            vca::ResetAppletState();
            vca::InitApplet(host::AppletModule());
            UseBoard(s.board);
            ASSERT_EQ(vca::IdentifyBoard(), 1);
            vca::CopyText(vca::workingSettings.Description, s.monitor);
            ASSERT_EQ(vca::LoadTimingDatabase(), 1);
            const std::size_t boxes = host::MessageBoxes().size();
            const int armedAt = host::AllocationCount();
            host::FailNthAllocation(n);
            bool ended = false;
            try {
                vca::RebuildTablesForMonitor();
            } catch (const platform::ProcessExit& exit) {
                EXPECT_EQ(exit.code, -1);
                EXPECT_EQ(vca::modeTable, nullptr);
                EXPECT_EQ(vca::monitorCatalogue, nullptr);
                EXPECT_EQ(host::OutstandingAllocations(), 0);
                ended = true;
            }
            host::FailNthAllocation(0);
            const int used = host::AllocationCount() - armedAt;
            std::size_t stops = 0;
            for (std::size_t i = boxes; i < host::MessageBoxes().size(); ++i) stops += host::MessageBoxes()[i].type == 16;
            EXPECT_EQ(stops, ended ? 1u : 0u);
            const bool done = !ended && vca::descriptionsValid;
            vca::ReleaseAllTables();
            EXPECT_EQ(host::OutstandingAllocations(), 0);
            if (done) {
                // No failure was swallowed: this run never reached its n-th allocation.
                EXPECT_LT(used, n);
                break;
            }
        }
    }
}

}  // namespace
