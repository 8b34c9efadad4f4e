// The real main dialog, opened through CPL_DBLCLK and used as a person
// would: scroll bar, lists, boxes and buttons, then OK or Cancel, with what
// the driver was sent and what the registry holds afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;

// The four rows of dual-screen control states.
struct DualState {
    bool boxEnabled, boxChecked, arrangementEnabled, first, second, optionEnabled, optionSet, optionClear;
};

void ExpectDualState(HWND dialog, const DualState& want, const char* where) {
    SCOPED_TRACE(where);
    EXPECT_EQ(Enabled(dialog, IDC_MAIN_DUAL_SCREEN), want.boxEnabled);
    EXPECT_EQ(Checked(dialog, IDC_MAIN_DUAL_SCREEN), want.boxChecked);
    for (int id : {IDC_MAIN_ARRANGEMENT_1, IDC_MAIN_ARRANGEMENT_2, IDC_MAIN_ARRANGEMENT_LABEL})
        EXPECT_EQ(Enabled(dialog, id), want.arrangementEnabled) << id;
    EXPECT_EQ(Checked(dialog, IDC_MAIN_ARRANGEMENT_1), want.first);
    EXPECT_EQ(Checked(dialog, IDC_MAIN_ARRANGEMENT_2), want.second);
    for (int id : {IDC_MAIN_PREFERENCE_SET, IDC_MAIN_PREFERENCE_CLEAR, IDC_MAIN_OPTION_LABEL})
        EXPECT_EQ(Enabled(dialog, id), want.optionEnabled) << id;
    EXPECT_EQ(Checked(dialog, IDC_MAIN_PREFERENCE_SET), want.optionSet);
    EXPECT_EQ(Checked(dialog, IDC_MAIN_PREFERENCE_CLEAR), want.optionClear);
}

constexpr DualState kOneScreenChosen{true, false, false, false, false, false, false, false};
constexpr DualState kSideBySide{true, true, true, true, false, true, false, true};
constexpr DualState kStacked{true, true, true, false, true, true, false, true};

TEST(MainDialog, ScrollAndDualScreenChooseTheModeThatOkSaves) {
    AppletSession session("board205-dual-ddc.profile");
    std::wstring pixels = session.ResourceString(10);
    const COLORREF grayText = GetSysColor(COLOR_GRAYTEXT);
    session.DoubleClick([&](HWND dialog) {
        EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), RGB(0x84, 0x82, 0x84)) << "while the dialog is open";
        HMENU menu = GetSystemMenu(dialog, FALSE);
        ASSERT_EQ(GetMenuItemCount(menu), 2) << "Move and Close only";
        EXPECT_EQ(GetMenuItemID(menu, 0), UINT(SC_MOVE));
        EXPECT_EQ(GetMenuItemID(menu, 1), UINT(SC_CLOSE));
        EXPECT_EQ(Text(dialog, IDC_MAIN_BOARD_LINE),
                  session.ResourceString(8) + session.ResourceString(30) + session.ResourceString(1210) + L" " +
                      session.ResourceString(1212) + L"-T");
        EXPECT_EQ(Text(dialog, IDC_MAIN_CAPABILITY_LINE), session.ResourceString(55));
        EXPECT_FALSE(Enabled(dialog, IDC_MAIN_MONITOR_TIMINGS)) << "not the DDC monitor";
        ExpectDualState(dialog, kOneScreenChosen, "opened");

        // Past the left end: the first entry; past the right end: the last.
        for (int i = 0; i < 12; ++i) Scroll(dialog, IDC_MAIN_RESOLUTION_SCROLL, SB_LINELEFT);
        EXPECT_EQ(ScrollPosition(dialog, IDC_MAIN_RESOLUTION_SCROLL), 1);
        EXPECT_EQ(Text(dialog, IDC_MAIN_RESOLUTION_TEXT), L"640 x 480 " + pixels);
        EXPECT_EQ(ComboItems(dialog, IDC_MAIN_REFRESH),
                  (std::vector<std::wstring>{L"60 Hz.", L"72 Hz.", L"75 Hz.", L"85 Hz."}));
        Scroll(dialog, IDC_MAIN_RESOLUTION_SCROLL, SB_THUMBTRACK, 400);
        EXPECT_EQ(Text(dialog, IDC_MAIN_RESOLUTION_TEXT), L"1280 x 1024 " + pixels);
        EXPECT_EQ(ScrollPosition(dialog, IDC_MAIN_RESOLUTION_SCROLL), 6);
        Scroll(dialog, IDC_MAIN_RESOLUTION_SCROLL, SB_PAGELEFT);  // a page is one entry
        EXPECT_EQ(Text(dialog, IDC_MAIN_RESOLUTION_TEXT), L"1280 x 960 " + pixels);
        Scroll(dialog, IDC_MAIN_RESOLUTION_SCROLL, SB_ENDSCROLL);
        EXPECT_EQ(ScrollPosition(dialog, IDC_MAIN_RESOLUTION_SCROLL), 5);

        // The dual-screen box remembers the arrangement it switched off.
        Click(dialog, IDC_MAIN_DUAL_SCREEN);
        ExpectDualState(dialog, kSideBySide, "box checked");
        Click(dialog, IDC_MAIN_ARRANGEMENT_2);
        ExpectDualState(dialog, kStacked, "stacked chosen");
        Click(dialog, IDC_MAIN_DUAL_SCREEN);
        ExpectDualState(dialog, kOneScreenChosen, "box cleared");
        Click(dialog, IDC_MAIN_DUAL_SCREEN);
        ExpectDualState(dialog, kStacked, "box checked again");

        SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // Enter: nothing
        EXPECT_TRUE(IsWindowVisible(dialog));
        Click(dialog, IDC_MAIN_OK);
        EXPECT_FALSE(IsWindowVisible(dialog));
    });
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), grayText) << "restored when the dialog ends";
    ASSERT_EQ(session.Boxes().size(), 1u);
    EXPECT_EQ(session.Boxes()[0], session.ResourceString(20));
    KeySnapshot key = session.ReadKey();
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.XResolution"), 1280u);
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.YResolution"), 1920u) << "stacked screens double the height";
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.DualScreen"), 2u);
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.VRefresh"), 60u);
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.BitsPerPel"), 32u);
}

int ItemNamed(HWND dialog, int id, const std::wstring& name) {
    std::vector<std::wstring> items = ComboItems(dialog, id);
    auto found = std::find(items.begin(), items.end(), name);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

TEST(MainDialog, AMonitorChangeRebuildsTheModesAndTheRefreshChoice) {
    AppletSession session("board205-dual-ddc.profile");
    session.DoubleClick([&](HWND dialog) {
        const int lumaris = ItemNamed(dialog, IDC_MAIN_MONITOR, L"Norvane Lumaris 21-inch monitor");
        const int generic = ItemNamed(dialog, IDC_MAIN_MONITOR, L"Generic multi-sync monitor");
        const int ddc = ItemNamed(dialog, IDC_MAIN_MONITOR, L"DDC Monitor");
        ASSERT_GE(lumaris, 0);
        ASSERT_GE(generic, 0);
        ASSERT_GE(ddc, 0);
        // A Lumaris monitor on a driver that reports a generic one: the
        // monitor fixes the rate.
        SelectComboItem(dialog, IDC_MAIN_MONITOR, lumaris);
        EXPECT_EQ(ComboItems(dialog, IDC_MAIN_REFRESH), std::vector<std::wstring>{session.ResourceString(86)});
        EXPECT_EQ(Text(dialog, IDC_MAIN_CAPABILITY_LINE), L"Norvane Lumaris 21-inch monitor");
        EXPECT_FALSE(Enabled(dialog, IDC_MAIN_MONITOR_TIMINGS));
        SelectComboItem(dialog, IDC_MAIN_MONITOR, generic);
        std::vector<std::wstring> rates = ComboItems(dialog, IDC_MAIN_REFRESH);
        ASSERT_FALSE(rates.empty());
        EXPECT_EQ(rates[0].substr(rates[0].size() - 4), L" Hz.");
        EXPECT_EQ(Text(dialog, IDC_MAIN_CAPABILITY_LINE), session.ResourceString(55));
        SelectComboItem(dialog, IDC_MAIN_MONITOR, ddc);
        EXPECT_TRUE(Enabled(dialog, IDC_MAIN_MONITOR_TIMINGS));
        // The refresh list's choice is what OK saves.
        const int last = static_cast<int>(ComboItems(dialog, IDC_MAIN_REFRESH).size()) - 1;
        SelectComboItem(dialog, IDC_MAIN_REFRESH, last);
        std::wstring chosen = ComboItems(dialog, IDC_MAIN_REFRESH)[last];
        Click(dialog, IDC_MAIN_OK);
        KeySnapshot key = session.ReadKey();
        EXPECT_EQ(std::to_wstring(StoredNumber(key, L"DefaultSettings.VRefresh")) + L" Hz.", chosen);
        const StoredValue& monitor = key[L"DefaultSettings.Description"];
        EXPECT_EQ(monitor.type, DWORD(REG_MULTI_SZ));
        EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(monitor.bytes.data())), L"DDC Monitor");
    });
    EXPECT_EQ(session.Boxes(), std::vector<std::wstring>{session.ResourceString(20)});
}

TEST(MainDialog, EveryOpeningReleasesTheBitmapAndDeviceContextsItTook) {
    AppletSession session("board205-dual-ddc.profile");
    std::vector<DWORD> counts;
    for (int run = 0; run < 3; ++run) {
        session.DoubleClick([](HWND dialog) {
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Scroll(dialog, IDC_MAIN_RESOLUTION_SCROLL, SB_LINELEFT);
            Click(dialog, IDC_MAIN_DUAL_SCREEN);
        });
        counts.push_back(GdiObjects());
        std::printf("opening %d: %.0f ms from CPL_DBLCLK to the dialog\n", run + 1,
                    session.LastOpeningSeconds() * 1000);
    }
    EXPECT_EQ(counts[1], counts[2]) << "objects left behind by each opening";
}

std::vector<std::string> ContrastRequests(const std::vector<std::string>& log) {
    std::vector<std::string> found;
    for (const std::string& line : log)
        if (line.find("00020002") != std::string::npos) found.push_back(line);
    return found;
}

TEST(MainDialog, DefaultsResetsTheDriverAndCancelTakesItBackWithoutWriting) {
    AppletSession session("board205-dual-ddc.profile");
    session.SetDword(L"DefaultSettings.Contrast0", 80);
    session.SetDword(L"DefaultSettings.Contrast1", 90);
    KeySnapshot opened;
    session.DoubleClick([&](HWND dialog) {
        opened = session.ReadKey();
        session.ClearDriverLog();
        Click(dialog, IDC_MAIN_DUAL_SCREEN);
        Click(dialog, IDC_MAIN_DEFAULTS);
        EXPECT_EQ(Text(dialog, IDC_MAIN_RESOLUTION_TEXT), L"640 x 480 " + session.ResourceString(10));
        ExpectDualState(dialog, kOneScreenChosen, "after Defaults");
        std::vector<std::string> sent = ContrastRequests(session.DriverLog());
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_NE(sent[0].find("00006464"), std::string::npos) << sent[0];
        session.ClearDriverLog();
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // Close in the system menu cancels
        PumpFor(100);
        EXPECT_FALSE(IsWindowVisible(dialog));
    });
    std::vector<std::string> sent = ContrastRequests(session.DriverLog());
    ASSERT_EQ(sent.size(), 1u) << "Cancel puts the loaded contrasts back";
    EXPECT_NE(sent[0].find("00005A50"), std::string::npos) << sent[0];
    EXPECT_TRUE(session.Boxes().empty());
    EXPECT_TRUE(session.ReadKey() == opened) << "Cancel wrote to the registry";
}

TEST(MainDialog, DefaultsSendsNothingWhenEverythingIsDefaultAndOkWithoutChangesIsSilent) {
    AppletSession session("board205-dual-ddc.profile");
    session.DoubleClick([&](HWND dialog) {
        session.ClearDriverLog();
        Click(dialog, IDC_MAIN_DEFAULTS);
        EXPECT_TRUE(session.DriverLog().empty()) << session.DriverLog()[0];
        Click(dialog, IDC_MAIN_OK);
    });
    // Defaults chose 640 x 480 at 60 Hz: a mode change.
    ASSERT_EQ(session.Boxes().size(), 1u);
    session.DoubleClick([&](HWND dialog) { Click(dialog, IDC_MAIN_OK); });
    EXPECT_EQ(session.Boxes().size(), 1u) << "nothing changed, nothing to say";
}

TEST(MainDialog, AReadOnlyKeyWarnsAtTheFirstOpeningAndAtOkAndSavesNothing) {
    {
        // A first start writes every default: a complete key.
        AppletSession first("board205-dual-ddc.profile");
        first.DoubleClick([](HWND dialog) { Click(dialog, IDC_MAIN_OK); });
        first.MakeKeyReadOnly();
    }
    AppletSession session("board205-dual-ddc.profile", true);
    KeySnapshot before = session.ReadKey();
    session.DoubleClick([&](HWND dialog) {
        Scroll(dialog, IDC_MAIN_RESOLUTION_SCROLL, SB_LINERIGHT);
        Click(dialog, IDC_MAIN_OK);
    });
    session.DoubleClick([&](HWND dialog) { Click(dialog, IDC_MAIN_OK); });
    std::wstring warning = session.ResourceString(29);
    EXPECT_EQ(session.Boxes(), (std::vector<std::wstring>{warning, warning, warning}))
        << "the second opening does not warn again";
    EXPECT_TRUE(session.ReadKey() == before);
}

TEST(MainDialog, StereoStaysOnWhenEveryModeIsStereoOnly) {
    AppletSession session("board201.profile");
    session.UseDatabase("tests/data/modes/stereo-only.dat");
    session.DoubleClick([&](HWND dialog) {
        EXPECT_TRUE(Enabled(dialog, IDC_MAIN_STEREO));
        EXPECT_TRUE(Checked(dialog, IDC_MAIN_STEREO));
        Click(dialog, IDC_MAIN_STEREO);
        EXPECT_TRUE(Checked(dialog, IDC_MAIN_STEREO)) << "the box is checked again";
        Click(dialog, IDC_MAIN_DEFAULTS);
        EXPECT_TRUE(Checked(dialog, IDC_MAIN_STEREO));
        // 640 x 480 is not offered: the nearest listed resolution.
        EXPECT_EQ(Text(dialog, IDC_MAIN_RESOLUTION_TEXT), L"1024 x 768 " + session.ResourceString(10));
        EXPECT_EQ(ComboItems(dialog, IDC_MAIN_REFRESH), std::vector<std::wstring>{L"120 Hz."});
        Click(dialog, IDC_MAIN_OK);
    });
    // Defaults found nothing else to offer: the saved mode is the loaded one.
    EXPECT_EQ(session.Boxes(), std::vector<std::wstring>{session.ResourceString(1202)});
    EXPECT_EQ(StoredNumber(session.ReadKey(), L"DefaultSettings.Stereo"), 1u);
}

TEST(MainDialog, WithoutADriverTheNoticeShowsAndGammaAndTimingsAreOff) {
    AppletSession session("no-driver.profile");
    session.DoubleClick([&](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_MAIN_NO_DRIVER), session.ResourceString(9));
        EXPECT_EQ(Text(dialog, IDC_MAIN_BOARD_LINE), session.ResourceString(23));
        EXPECT_EQ(Text(dialog, IDC_MAIN_CAPABILITY_LINE), session.ResourceString(56));
        EXPECT_FALSE(Enabled(dialog, IDC_MAIN_GAMMA));
        EXPECT_FALSE(Enabled(dialog, IDC_MAIN_MONITOR_TIMINGS));
        EXPECT_TRUE(Enabled(dialog, IDC_MAIN_DUAL_SCREEN));
        EXPECT_TRUE(Enabled(dialog, IDC_MAIN_STEREO_GROUP));
    });
}

}  // namespace
