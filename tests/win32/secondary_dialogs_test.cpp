// The main dialog's secondary dialogs, opened by their buttons in the real
// applet and driven as a user would: board options, confirmation, board
// information, all modes and monitor timings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;
using Texts = std::vector<std::wstring>;

const char* kDualDdc = "tests/data/boards/timings-dual-ddc.profile";

// Board options: a click is sent at once; the first time Cancel sends both
// options back, the second time OK keeps the click. Board information: the
// hardware texts, and only its button closes it.
TEST(BoardDialogs, OptionsSendEachClickAtOnceCancelTakesBothBackOkKeepsAndInformationShowsTheHardware) {
    AppletSession session(kDualDdc);
    session.SetDword(L"DefaultSettings.Preferences", 2);  // option 1 off, option 2 off
    session.DoubleClick([&](HWND main) {
        for (int close : {IDCANCEL, IDOK}) {
            session.Open(main, IDC_MAIN_BOARD_OPTIONS, [&](HWND options) {
                EXPECT_EQ(States(options, {IDC_OPTIONS_PREFERENCE2, IDC_OPTIONS_PREFERENCE4}), "o-");
                EXPECT_FALSE(Visible(options, IDC_OPTIONS_PREFERENCE4));
                Click(options, IDC_OPTIONS_PREFERENCE2);
                EXPECT_EQ(session.Sent("set-option"), (Requests{{0x20011, 1, 0}}));
                Click(options, close);
                EXPECT_EQ(session.Sent("set-option"),
                          close == IDOK ? Requests{} : (Requests{{0x20011, 1, 2}, {0x20011, 2, 0}}));
            });
        }

        const DWORD before = GdiObjects();
        session.Open(main, IDC_MAIN_BOARD_INFO, [&](HWND info) {
            Texts texts;
            for (int id : {IDC_INFO_COMPANY, IDC_INFO_VERSION, IDC_INFO_DRIVER_FILES, IDC_INFO_CHIP, IDC_INFO_DAC,
                           IDC_INFO_ADAPTER, IDC_INFO_BOARD, IDC_INFO_MEMORY})
                texts.push_back(Text(info, id));
            EXPECT_EQ(texts, (Texts{L"Norvane Corporation", L"03.05.03.02",
                                    L"vqxiocd.dll rediruv.dll rediruv.sys vqxidma.sys", L"Norvane RZ3",
                                    L"Integrated RAMDAC", L"Norvane Razor 3D",
                                    session.ResourceString(1220),  // the board family
                                    L"16 " + session.ResourceString(1216)}));
            SendMessageW(info, WM_COMMAND, IDCANCEL, 0);
            SendMessageW(info, WM_SYSCOMMAND, SC_CLOSE, 0);
            EXPECT_TRUE(IsWindowVisible(info)) << "Escape and Close are ignored";
            Click(info, IDOK);
            EXPECT_FALSE(IsWindowVisible(info));
        });
        EXPECT_EQ(GdiObjects(), before);
        Click(main, IDC_MAIN_OK);
    });
    EXPECT_EQ(StoredNumber(session.ReadKey(), L"DefaultSettings.Preferences"), 0u);
}

TEST(ConfirmSettingsDialog, WithoutADriverOkAsksFirstEscapeGoesBackWithoutSavingGoOnSaves) {
    AppletSession session("no-driver.profile");
    session.SetDword(L"DefaultSettings.DualScreen", 1);
    session.DoubleClick([&](HWND main) {
        // The main dialog without a driver: the notice, gamma and timings off.
        EXPECT_EQ(Text(main, IDC_MAIN_NO_DRIVER), session.ResourceString(9));
        EXPECT_EQ(Text(main, IDC_MAIN_BOARD_LINE), session.ResourceString(23));
        EXPECT_EQ(Text(main, IDC_MAIN_CAPABILITY_LINE), session.ResourceString(56));
        EXPECT_EQ(States(main, {IDC_MAIN_GAMMA, IDC_MAIN_MONITOR_TIMINGS, IDC_MAIN_DUAL_SCREEN}), "--x");
        EXPECT_TRUE(Enabled(main, IDC_MAIN_STEREO_GROUP));

        const KeySnapshot before = session.ReadKey();
        session.Open(main, IDC_MAIN_OK, [&](HWND confirm) {
            EXPECT_EQ(Text(confirm, IDC_CONFIRM_LIST), session.ResourceString(27));
            EXPECT_EQ(GetMenuItemCount(GetSystemMenu(confirm, FALSE)), 2);  // Move and Close
            SendMessageW(confirm, WM_COMMAND, IDCANCEL, 0);                 // the Escape key
        });
        EXPECT_TRUE(IsWindowVisible(main));
        EXPECT_TRUE(session.ReadKey() == before);
        session.Open(main, IDC_MAIN_OK, [&](HWND confirm) { Click(confirm, IDOK); });
    });
    EXPECT_EQ(StoredNumber(session.ReadKey(), L"DefaultSettings.DualScreen"), 1u);
}

TEST(AllModesDialog, DoubleClickTakesAStackedModeIntoTheMainDialog) {
    AppletSession session(kDualDdc);
    session.DoubleClick([&](HWND main) {
        ASSERT_EQ(States(main, {IDC_MAIN_DUAL_SCREEN}), "o");
        // Escape is ignored; Use Mode with nothing selected closes and changes nothing.
        session.Open(main, IDC_MAIN_ALL_MODES, [&](HWND modes) {
            SendMessageW(modes, WM_COMMAND, IDCANCEL, 0);
            EXPECT_TRUE(IsWindowVisible(modes));
            Click(modes, IDC_ALL_MODES_TAKE);
            EXPECT_FALSE(IsWindowVisible(modes));
        });
        EXPECT_EQ(States(main, {IDC_MAIN_DUAL_SCREEN}), "o");

        // 1024 x 768 on each of two stacked screens at 70 Hz: neither the
        // stored rate nor the entry's first one.
        session.Open(main, IDC_MAIN_ALL_MODES, [&](HWND modes) {
            Choose(modes, IDC_ALL_MODES_LIST, L"1024 x 1536, 32-bit True Color, 70 Hz.");
        });
        EXPECT_EQ(States(main, {IDC_MAIN_DUAL_SCREEN, IDC_MAIN_ARRANGEMENT_1, IDC_MAIN_ARRANGEMENT_2}), "xox");
        EXPECT_EQ(Text(main, IDC_MAIN_RESOLUTION_TEXT), L"1024 x 768 " + session.ResourceString(10));
        EXPECT_EQ(Text(main, IDC_MAIN_REFRESH), L"70 Hz.");  // the list's selection
    });
}

// What the monitor timings dialog shows: its status, "notice" when the
// no-records notice shows, the six identification fields, then how many
// lines it lists and the first of them.
Texts Shown(HWND timings) {
    Texts shown{Text(timings, IDC_TIMINGS_STATUS), Visible(timings, IDC_TIMINGS_NO_RECORDS) ? L"notice" : L""};
    for (int id = IDC_TIMINGS_MANUFACTURER; id <= IDC_TIMINGS_REVISION; ++id) shown.push_back(Text(timings, id));
    const Texts lines = Items(timings, IDC_TIMINGS_LIST);
    shown.push_back(std::to_wstring(lines.size()) + L" lines" + (lines.empty() ? L"" : L" from " + lines[0]));
    return shown;
}

TEST(MonitorTimingsDialog, ShowsEachScreenOfTwoByItsPicture) {
    AppletSession session(kDualDdc);
    session.SetString(L"DefaultSettings.Description", L"DDC Monitor");
    session.SetDword(L"DefaultSettings.DualScreen", 2);
    const std::wstring listed = L"5 lines from  640 x  480 pixels, 32-bit True Color, 60 Hz";
    const Texts first = {session.ResourceString(6), L"", L"ABC", L"20513", L"8317245", L"1997", L"1", L"3", listed};
    const Texts second = {session.ResourceString(6), L"", L"NRV", L"4660", L"42", L"2001", L"1", L"2", listed};
    session.DoubleClick([&](HWND main) {
        const DWORD before = GdiObjects();
        EXPECT_GT(before, 0u);
        session.Open(main, IDC_MAIN_MONITOR_TIMINGS, [&](HWND timings) {
            EXPECT_FALSE(Visible(timings, IDC_TIMINGS_PICTURE_SIDE) || Enabled(timings, IDC_TIMINGS_PICTURE_SIDE));
            EXPECT_EQ(Shown(timings), first);
            ClickAt(timings, IDC_TIMINGS_PICTURE_SCREEN1);
            EXPECT_EQ(Shown(timings), second);
            ClickAt(timings, IDC_TIMINGS_PICTURE_SIDE);  // not a picture when stacked
            EXPECT_EQ(Shown(timings), second);
            ClickAt(timings, IDC_TIMINGS_PICTURE_STACKED);
            EXPECT_EQ(Shown(timings), first);
            SendMessageW(timings, WM_COMMAND, IDCANCEL, 0);
            EXPECT_TRUE(IsWindowVisible(timings)) << "Escape is ignored";
        });
        EXPECT_EQ(GdiObjects(), before);
    });
}

// A screen without records shows its status and the notice: a monitor
// without DDC data (status 2) lists nothing, a driver that refuses the
// records (status 5) the default block and its one mode.
TEST(MonitorTimingsDialog, AScreenWithoutRecordsShowsItsStatusAndTheNotice) {
    for (const char* profile : {"silent", "refused"}) {
        AppletSession session(std::string("tests/data/boards/timings-ddc-") + profile + ".profile");
        session.SetString(L"DefaultSettings.Description", L"DDC Monitor");
        const Texts expected =
            profile[0] == 'r' ? Texts{session.ResourceString(5), L"notice", L"@@@", L"0", L"0", L"1990", L"0", L"0",
                                      L"1 lines from  640 x  480 pixels, 32-bit True Color, 60 Hz"}
                              : Texts{session.ResourceString(2), L"notice", L"", L"", L"", L"", L"", L"", L"0 lines"};
        session.DoubleClick([&](HWND main) {
            session.Open(main, IDC_MAIN_MONITOR_TIMINGS, [&](HWND timings) { EXPECT_EQ(Shown(timings), expected); });
        });
    }
}

}  // namespace
