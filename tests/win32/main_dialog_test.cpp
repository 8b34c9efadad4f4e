// The real main dialog, opened through CPL_DBLCLK and used as a person
// would: scroll bar, lists, boxes and buttons, then OK or Cancel, with what
// the driver was sent and what the registry holds afterwards.
#include <gtest/gtest.h>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;

// The dual-screen box, its two arrangements, the two preference buttons
// and their two labels, as States() shows them.
std::string DualControls(HWND dialog) {
    return States(dialog, {IDC_MAIN_DUAL_SCREEN, IDC_MAIN_ARRANGEMENT_1, IDC_MAIN_ARRANGEMENT_2,
                           IDC_MAIN_PREFERENCE_SET, IDC_MAIN_PREFERENCE_CLEAR, IDC_MAIN_ARRANGEMENT_LABEL,
                           IDC_MAIN_OPTION_LABEL});
}
const std::string kOneScreen = "o------", kSideBySide = "xxooxoo", kStacked = "xoxoxoo";

TEST(MainDialog, TheScrollBarTheListsAndTheDualScreenBoxChooseWhatOkSaves) {
    AppletSession session("board205-dual-ddc.profile");
    const std::wstring pixels = L" " + session.ResourceString(10);
    const COLORREF grayText = GetSysColor(COLOR_GRAYTEXT);
    std::vector<std::wstring> rates;
    session.DoubleClick([&](HWND dialog) {
        EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), RGB(0x84, 0x82, 0x84)) << "while the dialog is open";
        HMENU menu = GetSystemMenu(dialog, FALSE);
        EXPECT_TRUE(GetMenuItemCount(menu) == 2 && GetMenuItemID(menu, 0) == SC_MOVE &&
                    GetMenuItemID(menu, 1) == SC_CLOSE) << "Move and Close only";
        EXPECT_EQ(Text(dialog, IDC_MAIN_BOARD_LINE),
                  session.ResourceString(8) + session.ResourceString(30) + session.ResourceString(1210) + L" " +
                      session.ResourceString(1212) + L"-T");
        EXPECT_EQ(Text(dialog, IDC_MAIN_CAPABILITY_LINE), session.ResourceString(55));
        EXPECT_FALSE(Enabled(dialog, IDC_MAIN_MONITOR_TIMINGS)) << "not the DDC monitor";
        EXPECT_EQ(DualControls(dialog), kOneScreen);

        // A Lumaris monitor on a driver that reports a generic one: the
        // monitor fixes the rate. Only the DDC monitor has timings to show.
        Choose(dialog, IDC_MAIN_MONITOR, L"Norvane Lumaris 21-inch monitor");
        EXPECT_EQ(Items(dialog, IDC_MAIN_REFRESH), std::vector<std::wstring>{session.ResourceString(86)});
        EXPECT_EQ(Text(dialog, IDC_MAIN_CAPABILITY_LINE), L"Norvane Lumaris 21-inch monitor");
        Choose(dialog, IDC_MAIN_MONITOR, L"DDC Monitor");
        EXPECT_TRUE(Enabled(dialog, IDC_MAIN_MONITOR_TIMINGS));
        Choose(dialog, IDC_MAIN_MONITOR, L"Generic multi-sync monitor");
        EXPECT_EQ(Text(dialog, IDC_MAIN_CAPABILITY_LINE), session.ResourceString(55));
        EXPECT_FALSE(Enabled(dialog, IDC_MAIN_MONITOR_TIMINGS));

        // The thumb past the right end: the last entry; past the left end:
        // the first, with its rates.
        Scroll(dialog, IDC_MAIN_RESOLUTION_SCROLL, SB_THUMBTRACK, 400);
        EXPECT_EQ(Text(dialog, IDC_MAIN_RESOLUTION_TEXT), L"1280 x 1024" + pixels);
        for (int i = 0; i < 12; ++i) Scroll(dialog, IDC_MAIN_RESOLUTION_SCROLL, SB_LINELEFT);
        EXPECT_EQ(ScrollPosition(dialog, IDC_MAIN_RESOLUTION_SCROLL), 1);
        EXPECT_EQ(Text(dialog, IDC_MAIN_RESOLUTION_TEXT), L"640 x 480" + pixels);
        EXPECT_EQ(Items(dialog, IDC_MAIN_REFRESH),
                  (std::vector<std::wstring>{L"60 Hz.", L"72 Hz.", L"75 Hz.", L"85 Hz."}));

        // The dual-screen box remembers the arrangement it switched off.
        Click(dialog, IDC_MAIN_DUAL_SCREEN);
        EXPECT_EQ(DualControls(dialog), kSideBySide);
        Click(dialog, IDC_MAIN_ARRANGEMENT_2);
        EXPECT_EQ(DualControls(dialog), kStacked);
        Click(dialog, IDC_MAIN_DUAL_SCREEN);
        EXPECT_EQ(DualControls(dialog), kOneScreen);
        Click(dialog, IDC_MAIN_DUAL_SCREEN);
        EXPECT_EQ(DualControls(dialog), kStacked);

        // The refresh list's choice, not its first line, is what OK saves.
        rates = Items(dialog, IDC_MAIN_REFRESH);
        ASSERT_GT(rates.size(), 1u);
        Choose(dialog, IDC_MAIN_REFRESH, rates.back());
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // Enter: nothing
        EXPECT_TRUE(IsWindowVisible(dialog));
        Click(dialog, IDC_MAIN_OK);
        EXPECT_FALSE(IsWindowVisible(dialog));
    });
    EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), grayText) << "restored when the dialog ends";
    EXPECT_EQ(session.Boxes(), std::vector<std::wstring>{session.ResourceString(20)});
    const KeySnapshot key = session.ReadKey();
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.XResolution"), 640u);
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.YResolution"), 960u) << "stacked screens double the height";
    EXPECT_EQ(StoredNumber(key, L"DefaultSettings.DualScreen"), 2u);
    EXPECT_EQ(std::to_wstring(StoredNumber(key, L"DefaultSettings.VRefresh")) + L" Hz.", rates.back());
    const StoredValue& monitor = key.at(L"DefaultSettings.Description");
    EXPECT_EQ(monitor.first, DWORD(REG_MULTI_SZ));
    EXPECT_EQ(reinterpret_cast<const wchar_t*>(monitor.second.data()), std::wstring(L"Generic multi-sync monitor"));
}

// Defaults sends full contrast at once and Cancel (the system menu's Close)
// takes it back without writing; once OK has stored the defaults, OK without
// changes says nothing. A GDI object or DC left behind by an opening grows
// the count every time.
TEST(MainDialog, DefaultsResetsTheDriverCancelTakesItBackAndEveryOpeningReleasesItsGdiObjects) {
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
        EXPECT_EQ(DualControls(dialog), kOneScreen);
        EXPECT_EQ(session.Sent("set-contrast"), (Requests{{0x20002, 0x6464}}));  // 100 on both screens
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        PumpFor(100);
        EXPECT_FALSE(IsWindowVisible(dialog));
    });
    EXPECT_EQ(session.Sent("set-contrast"), (Requests{{0x20002, 0x5A50}})) << "the loaded contrasts back";
    EXPECT_TRUE(session.Boxes().empty());
    EXPECT_TRUE(session.ReadKey() == opened) << "Cancel wrote to the registry";

    std::vector<DWORD> counts;
    for (int run = 0; run < 3; ++run) {
        session.DoubleClick([&](HWND dialog) {
            Click(dialog, IDC_MAIN_DEFAULTS);
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Scroll(dialog, IDC_MAIN_RESOLUTION_SCROLL, SB_LINELEFT);
            Click(dialog, IDC_MAIN_DUAL_SCREEN);
            Click(dialog, IDC_MAIN_DUAL_SCREEN);
            Click(dialog, IDC_MAIN_OK);
        });
        counts.push_back(GdiObjects());
        EXPECT_EQ(session.Boxes().size(), 1u) << "only the first OK changed the mode: 640 x 480 at 60 Hz";
    }
    EXPECT_EQ(counts[1], counts[2]) << "objects left behind by each opening";
}

TEST(MainDialog, StereoStaysOnWhenEveryModeIsStereoOnly) {
    AppletSession session("board201.profile");
    session.UseDatabase("tests/data/modes/stereo-only.dat");
    session.DoubleClick([&](HWND dialog) {
        EXPECT_EQ(States(dialog, {IDC_MAIN_STEREO}), "x");
        Click(dialog, IDC_MAIN_STEREO);
        EXPECT_EQ(States(dialog, {IDC_MAIN_STEREO}), "x") << "the box is checked again";
        Click(dialog, IDC_MAIN_DEFAULTS);
        EXPECT_EQ(States(dialog, {IDC_MAIN_STEREO}), "x");
        // 640 x 480 is not offered: the nearest listed resolution.
        EXPECT_EQ(Text(dialog, IDC_MAIN_RESOLUTION_TEXT), L"1024 x 768 " + session.ResourceString(10));
        EXPECT_EQ(Items(dialog, IDC_MAIN_REFRESH), std::vector<std::wstring>{L"120 Hz."});
        Click(dialog, IDC_MAIN_OK);
    });
    // Defaults found nothing else to offer: the saved mode is the loaded one.
    EXPECT_EQ(session.Boxes(), std::vector<std::wstring>{session.ResourceString(1202)});
    EXPECT_EQ(StoredNumber(session.ReadKey(), L"DefaultSettings.Stereo"), 1u);
}

}  // namespace
