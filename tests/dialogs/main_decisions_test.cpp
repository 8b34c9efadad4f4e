// The decisions behind the main dialog's controls, on hand-made views and
// catalogues: nearest resolution, scroll codes, nearest refresh, monitor
// list and monitor codes, placement, and what OK, Cancel and Defaults decide;
// the monitor timings' lines and the confirmation's list of settings.
#include <gtest/gtest.h>

#include "base/app_state.h"
#include "applet/startup.h"
#include "base/text.h"
#include "boardsim/boardsim.h"
#include "dialogs/confirmation.h"
#include "dialogs/confirmation_text.h"
#include "dialogs/main_session.h"
#include "dialogs/window_arithmetic.h"
#include "driver/board_identity.h"
#include "gamma/gamma_table.h"
#include "modes/mode_building.h"
#include "modes/mode_controls.h"
#include "modes/mode_table.h"
#include "modes/timing_lines.h"
#include "timingdb/monitor_catalogue.h"
#include "support/applet_fixture.h"
#include "support/board_builder.h"

namespace {

using namespace vca;

std::uint32_t kRates[] = {60, 72, 75, 85, 0};
std::uint32_t kNoRates[] = {0};

ModeViewEntry Entry(std::uint32_t width, std::uint32_t height, std::uint16_t tag = 0) {
    return ModeViewEntry{tag, width, height, 32, kRates, {0, 0, 0, 0}};
}

class MainDecisions : public vcatest::AppletTest {
protected:
    void UseView(std::vector<ModeViewEntry> entries) {
        view_ = std::move(entries);
        view_.push_back(ModeViewEntry{0, 0, 0, 0, kNoRates, {0, 0, 0, 0}});
        activeView = view_.data();
    }
    void TearDown() override {
        activeView = monoView;  // the state's own empty view comes back with the reset
        ResetModeViewState();
        vcatest::AppletTest::TearDown();
    }
    std::vector<ModeViewEntry> view_;
};

TEST_F(MainDecisions, TheNearestListedResolutionIsTheWidestNotWiderOrTheFirst) {
    struct Case { std::uint32_t x, y, wantX, wantY; } cases[] = {
        {1280, 1024, 1280, 960},  // same width, not taller
        {1280, 900, 1024, 768},   // same width but taller: the entry before
        {1920, 1200, 640, 480},   // nothing that wide: the first entry
        {600, 400, 640, 480},     // the first entry is already at least as wide
        {1600, 1200, 1600, 1200},
    };
    UseView({Entry(640, 480), Entry(1024, 768), Entry(1280, 960), Entry(1600, 1200)});
    for (const Case& c : cases) {
        workingSettings.XResolution = c.x;
        workingSettings.YResolution = c.y;
        EnsureResolutionListed();
        EXPECT_EQ(workingSettings.XResolution, c.wantX) << c.x << "x" << c.y;
        EXPECT_EQ(workingSettings.YResolution, c.wantY) << c.x << "x" << c.y;
        EXPECT_GE(FindCurrentResolution(), 0);
    }
}

TEST_F(MainDecisions, ScrollCodesMoveOneEntryAndTheThumbSetsThePosition) {
    struct Case { std::int32_t position; unsigned code, thumb; std::int32_t want; } cases[] = {
        {3, kScrollLineLeft, 0, 2},      {3, kScrollPageLeft, 0, 2},     {3, kScrollLineRight, 0, 4},
        {3, kScrollPageRight, 0, 4},     {3, kScrollThumbTrack, 9, 6},   {3, kScrollThumbPosition, 0, 1},
        {3, kScrollEnd, 0, 3},           {1, kScrollLineLeft, 0, 1},     {6, kScrollLineRight, 0, 6},
        {3, kScrollThumbTrack, 0xFFFF, 6},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampScrollPosition(ApplyScrollCode(c.position, c.code, c.thumb), 6), c.want)
            << c.position << " code " << c.code;
    EXPECT_EQ(ClampScrollPosition(-5, 0), 1) << "an empty view still clamps to a position";
}

TEST_F(MainDecisions, TheRefreshFollowingAResolutionChangeIsTheSameOrTheNearestBelow) {
    maxRateCount = 4;
    for (auto [wanted, want] : std::vector<std::pair<std::uint32_t, std::uint32_t>>{
             {70, 60}, {90, 85}, {50, 60}, {75, 75}, {0, 60}})
        EXPECT_EQ(NearestRefresh(kRates, wanted), want) << wanted;
    maxRateCount = 2;
    EXPECT_EQ(NearestRefresh(kRates, 85), 72u) << "no rate past the longest list is read";
    EXPECT_EQ(NearestRefresh(kNoRates, 60), 0u);
    EXPECT_EQ(LeadingNumber(u"85 Hz."), 85u);
    EXPECT_EQ(LeadingNumber(u"Set by the monitor"), 0u);
}

MonitorEntry Monitor(const char16_t* name, const char16_t* tag, std::uint16_t tagIndex) {
    MonitorEntry entry{};
    CopyText(entry.name, name);
    CopyText(entry.tagName, tag);
    entry.tagIndex = tagIndex;
    return entry;
}

TEST_F(MainDecisions, Board204OffersNoLumarisMonitorAndTheListChoosesByNameOrByTag) {
    std::vector<MonitorEntry> catalogue = {Monitor(u"Generic", u"MS", 1), Monitor(u"Lumaris 21", u"LM", 2),
                                           Monitor(u"Lumaris 19", u"lm", 2), Monitor(u"Studio", u"ST", 3),
                                           MonitorEntry{}};
    monitorCatalogue = catalogue.data();
    boardIdentity.boardCode = 204;
    EXPECT_EQ(OfferedMonitors(), (std::vector<std::uint32_t>{0, 3}));
    boardIdentity.boardCode = 205;
    std::vector<std::uint32_t> offered = OfferedMonitors();
    EXPECT_EQ(offered.size(), 4u);

    struct Case {
        const char16_t* stored;
        std::uint16_t currentTag;
        std::int32_t wantItem;
        const char16_t* wantName;
        std::uint32_t wantCode;
    } cases[] = {
        {u"", 1, 0, u"", 17},                   // nothing stored: the first monitor, name left empty
        {u"Lumaris 21", 1, 1, u"Lumaris 21", 17},
        {u"Studio", 1, 3, u"Studio", 0},        // a database's own tag: monitor code 0
        {u"generic", 1, 0, u"Generic", 17},     // not in the list (case counts): by the current mode's tag
        {u"Gone", 9, -1, u"", 17},              // no monitor has that tag
    };
    UseView({Entry(1024, 768, 1)});
    workingSettings.XResolution = 1024;
    workingSettings.YResolution = 768;
    for (const Case& c : cases) {
        boardIdentity.monitorCode = 17;
        CopyText(loadedSettings.Description, c.stored);
        view_[0].tag = c.currentTag;
        EXPECT_EQ(ChooseInitialMonitor(offered), c.wantItem) << vcatest::Utf8(c.stored);
        EXPECT_EQ(std::u16string(loadedSettings.Description), c.wantName) << vcatest::Utf8(c.stored);
        EXPECT_EQ(boardIdentity.monitorCode, c.wantCode) << vcatest::Utf8(c.stored);
    }
    monitorCatalogue = nullptr;
}

TEST_F(MainDecisions, AMonitorChangeMovesTheMonitorCodeByTheChosenTag) {
    struct Case { const char16_t* tag; std::uint32_t reported, before; std::uint32_t want, wantFixed; } cases[] = {
        {u"MS", 20, 20, 17, 0}, {u"ms", 17, 0, 17, 0},  {u"MS", 27, 0, 0, 0}, {u"ST", 20, 20, 0, 0},
        {u"LM", 20, 0, 20, 0},  {u"lm", 17, 17, 0, 1}, {u"LM", 19, 5, 0, 1},
    };
    for (const Case& c : cases) {
        reportedMonitorCode = c.reported;
        boardIdentity.monitorCode = c.before;
        fixedRefresh = 0;
        MonitorCodeForRebuild(ApplyMonitorTag(c.tag));
        EXPECT_EQ(boardIdentity.monitorCode, c.want) << vcatest::Utf8(c.tag) << " reported " << c.reported;
        EXPECT_EQ(fixedRefresh, c.wantFixed) << vcatest::Utf8(c.tag) << " reported " << c.reported;
    }
    fixedRefresh = 1;
    ApplyMonitorTag(u"MS");
    EXPECT_EQ(fixedRefresh, 0u) << "a multi-sync choice clears the fixed refresh";
}

TEST_F(MainDecisions, DialogsPlaceThemselvesByTheCentringRules) {
    auto xy = [](WindowOrigin o) { return std::make_pair(o.x, o.y); };
    EXPECT_EQ(xy(CentreOnScreenOrigin(1280, 1024, 500, 300)), std::make_pair(392, 362));
    EXPECT_EQ(xy(CentreOnScreenOrigin(1024, 768, 492, 300)), std::make_pair(264, 234)) << "270 down to a multiple of 8";
    EXPECT_EQ(xy(CentreOnScreenOrigin(400, 300, 501, 401)), std::make_pair(-48, -50)) << "-101 / 2 + 4 = -46, down to 8";
    EXPECT_EQ(xy(CentreOverOrigin({100, 50, 600, 450}, {0, 0, 300, 200}, 10, 30)), std::make_pair(200, 150));
    EXPECT_EQ(xy(CentreOverOrigin({100, 50, 600, 450}, {0, 0, 500, 500}, 10, -40)), std::make_pair(110, 10))
        << "equal widths and a taller dialog: the fallbacks";
    // Side by side the one picture is screen 0; with one screen no picture selects.
    const ScreenPictures pictures{1140, 1138, 1139};
    EXPECT_EQ(ScreenOfPicture(pictures, 1, 1140), 0);
    EXPECT_EQ(ScreenOfPicture(pictures, 0, 1139), -1);
}

TEST_F(MainDecisions, ConfirmationAndTheChangedMessageLookAtTheRightFields) {
    DisplaySettings saved{};
    saved.XResolution = 1280;
    saved.BitsPerPel = 32;
    EXPECT_TRUE(ComputeConfirmationFlags(saved, 17).wideResolution);
    EXPECT_FALSE(ComputeConfirmationFlags(saved, 20).wideResolution);
    saved.XResolution = 1152;
    EXPECT_FALSE(ConfirmationNeeded(saved, ComputeConfirmationFlags(saved, 19)));
    saved.BitsPerPel = 16;
    EXPECT_TRUE(ComputeConfirmationFlags(saved, 0).lowDepth);
    saved.BitsPerPel = 24;
    saved.DualScreen = 1;
    EXPECT_TRUE(ConfirmationNeeded(saved, ComputeConfirmationFlags(saved, 0)));

    // Every field of the mode and the monitor counts as a change; the board options do not.
    const std::pair<void (*)(DisplaySettings&), bool> changes[] = {
        {[](DisplaySettings& s) { s.Preference2 = 2, s.Preference4 = 4; }, false},
        {[](DisplaySettings& s) { CopyText(s.Description, u"Generic"); }, true},
        {[](DisplaySettings& s) { s.Preference1 = 1; }, true},  {[](DisplaySettings& s) { s.VRefresh = 75; }, true},
        {[](DisplaySettings& s) { s.BitsPerPel = 32; }, true},  {[](DisplaySettings& s) { s.DualScreen = 2; }, true},
        {[](DisplaySettings& s) { s.Stereo = 1; }, true},       {[](DisplaySettings& s) { s.XResolution = 1280; }, true},
        {[](DisplaySettings& s) { s.YResolution = 1024; }, true},
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        DisplaySettings loaded = saved;
        changes[i].first(loaded);
        EXPECT_EQ(ModeOrMonitorChanged(saved, loaded), changes[i].second) << "change " << i;
    }
}

TEST_F(MainDecisions, TimingLinesListEveryRateOfEveryEntryInOrder) {
    InitApplet(host::AppletModule());
    const vca::TimingLineWords words = vca::LoadTimingLineWords();

    std::uint32_t large[] = {60, 75, 0};
    std::uint32_t small[] = {60, 72, 75, 85, 0};  // longer than the longest list counted
    std::uint32_t orphan[] = {60, 0};
    vca::ModeEntry entries[4] = {};
    entries[0].width = 1280, entries[0].height = 1024, entries[0].monoRates = large;
    entries[1].width = 0, entries[1].height = 480, entries[1].monoRates = orphan;  // adds nothing
    entries[2].width = 640, entries[2].height = 480, entries[2].monoRates = small;
    entries[3].width = 10000, entries[3].height = 8000, entries[3].monoRates = large;  // not counted

    const std::vector<std::u16string> lines = vca::TimingLines(entries, 3, 3, words);
    std::vector<std::string> text;
    for (const auto& line : lines) text.push_back(vcatest::Utf8(line));
    EXPECT_EQ(text, (std::vector<std::string>{
                        "1280 x 1024 pixels, 32-bit True Color, 60 Hz",
                        "1280 x 1024 pixels, 32-bit True Color, 75 Hz",
                        " 640 x  480 pixels, 32-bit True Color, 60 Hz",
                        " 640 x  480 pixels, 32-bit True Color, 72 Hz",
                        " 640 x  480 pixels, 32-bit True Color, 75 Hz",
                    }));

    // The DDC copy is listed over the entries it had when it was taken, not
    // over the entries a view counts later; without a copy nothing is listed.
    EXPECT_TRUE(vca::DdcTimingLines(words).empty());
    ASSERT_TRUE(vca::InstallModeTable(2));
    for (std::uint32_t i = 0; i <= 2; ++i) vca::modeTable[i].monoRates = vca::AllocateRateList(3);
    vca::modeTable[0].width = 800, vca::modeTable[0].height = 600, vca::modeTable[0].monoRates[0] = 75;
    vca::modeTable[1].width = 1024, vca::modeTable[1].height = 768, vca::modeTable[1].monoRates[0] = 60;
    vca::modeTable[1].monoRates[1] = 70;
    ASSERT_TRUE(vca::CopyDdcFullRates(2));
    vca::maxRateCount = 2;
    vca::modeCount = 1;
    EXPECT_EQ(vca::DdcTimingLines(words).size(), 3u);
    vca::ReleaseAllTables();
    EXPECT_TRUE(vca::DdcTimingLines(words).empty());
}

TEST_F(MainDecisions, ConfirmationListsTheSettingsThatHoldInOrder) {
    InitApplet(host::AppletModule());
    host::OverrideString(0x0409, 27, u"two screens");
    host::OverrideString(0x0409, 24, u"wide");
    host::OverrideString(0x0409, 25, u"stereo");
    host::OverrideString(0x0409, 33, u"16 bits");
    struct Case {
        std::uint32_t dualScreen;
        vca::ConfirmationFlags flags;  // wide, stereo, low depth
        const char* expected;
    } cases[] = {
        {1, {false, false, true}, "two screens, 16 bits"},
        {2, {true, true, true}, "two screens, wide, stereo, 16 bits"},
        {0, {false, true, false}, "stereo"},
        {0, {false, false, false}, ""},
    };
    for (const Case& c : cases) {
        vca::DisplaySettings toSave{};
        toSave.DualScreen = c.dualScreen;
        EXPECT_EQ(vcatest::Utf8(vca::ConfirmationListText(toSave, c.flags)), c.expected) << c.expected;
    }

    // Each item is loaded with room for 64 units.
    host::OverrideString(0x0409, 25, std::u16string(100, u's'));
    vca::DisplaySettings single{};
    EXPECT_EQ(vca::ConfirmationListText(single, {false, true, false}), std::u16string(63, u's'));
}

// What Defaults and Cancel send, read from the simulated driver's log.
TEST_F(MainDecisions, DefaultsSendsOnlyWhatIsNotDefaultAndCancelPutsTheLoadedValuesBack) {
    boardsim::Install(vcatest::MakeBoard(205 | kTextureMemoryBit, 17 | kSecondScreenBit));
    boardIdentity.boardCode = 205;
    boardIdentity.secondScreen = kSecondScreenBit;
    for (ScreenGamma& g : currentGamma) {
        g.Contrast = 100;
        g.GammaDataSource = 3;
        MakeLinearTable(&g.table);
    }
    savedGamma[0] = currentGamma[0];
    savedGamma[1] = currentGamma[1];
    boardsim::ClearRequestLog();
    const auto logged = [] {
        std::vector<std::string> lines;
        for (const auto& request : boardsim::RequestLog()) lines.push_back(boardsim::FormatRequest(request));
        return lines;
    };

    ResetDriverToDefaults();
    EXPECT_TRUE(logged().empty()) << logged()[0];
    EXPECT_FALSE(gammaChanged);

    currentGamma[0].Contrast = 80;
    currentGamma[1].Contrast = 90;
    savedGamma[0] = currentGamma[0];
    savedGamma[1] = currentGamma[1];
    savedGamma[1].GammaDataSource = 1;
    workingSettings.Preference2 = 2;
    ResetDriverToDefaults();
    std::vector<std::string> sent = logged();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_NE(sent[0].find("set-option"), std::string::npos) << sent[0];
    EXPECT_NE(sent[1].find("00006464"), std::string::npos) << sent[1];
    EXPECT_EQ(savedGamma[0].Contrast, 100);
    EXPECT_TRUE(gammaChanged);
    EXPECT_EQ(workingSettings.Preference2, 0u);

    boardsim::ClearRequestLog();
    RestoreDriverOnCancel();
    sent = logged();
    ASSERT_EQ(sent.size(), 3u) << "contrast, then both screens' tables";
    EXPECT_NE(sent[0].find("00005A50"), std::string::npos) << sent[0];
    EXPECT_EQ(savedGamma[1].GammaDataSource, 3u) << "the saved pair is the loaded pair again";
    EXPECT_EQ(savedGamma[0].Contrast, 80);
}

}  // namespace
