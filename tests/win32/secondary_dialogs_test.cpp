// The main dialog's secondary dialogs, opened by their buttons in the real
// applet and driven as a user would: board options, confirmation, board
// information, all modes and monitor timings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;

const char* kDualDdc = "tests/data/boards/timings-dual-ddc.profile";

// The board option requests of the driver's log, as "option value".
std::vector<std::string> OptionRequests(const std::vector<std::string>& log) {
    std::vector<std::string> requests;
    for (const std::string& line : log) {
        // NRVA set-option in 12 bytes [00020011 0000000N VVVVVVVV] out 0 -> 1
        std::size_t words = line.find("set-option in 12 bytes [00020011 ");
        if (words == std::string::npos) continue;
        std::size_t at = line.find(' ', words + 33);
        unsigned long option = std::stoul(line.substr(words + 33, 8), nullptr, 16);
        unsigned long value = std::stoul(line.substr(at + 1, 8), nullptr, 16);
        requests.push_back(std::to_string(option) + " " + std::to_string(value));
    }
    return requests;
}

TEST(BoardOptionsDialog, SendsEachClickAtOnceCancelTakesBothBackOkKeeps) {
    AppletSession session(kDualDdc);
    session.SetDword(L"DefaultSettings.Preferences", 2);  // option 1 off, option 2 off
    std::vector<std::string> onClick, onCancel, onKeep;
    bool boxStartsCleared = false, secondBoxHidden = false, mainDisabled = false;
    session.DoubleClick([&](HWND main) {
        session.ExpectDialog([&](HWND options) {
            boxStartsCleared = !Checked(options, IDC_OPTIONS_PREFERENCE2);
            secondBoxHidden = !Visible(options, IDC_OPTIONS_PREFERENCE4) &&
                              !Enabled(options, IDC_OPTIONS_PREFERENCE4);
            mainDisabled = !IsWindowEnabled(main);
            session.ClearDriverLog();
            Click(options, IDC_OPTIONS_PREFERENCE2);
            onClick = OptionRequests(session.DriverLog());
            session.ClearDriverLog();
            Click(options, IDCANCEL);
            onCancel = OptionRequests(session.DriverLog());
        });
        Click(main, IDC_MAIN_BOARD_OPTIONS);
        EXPECT_TRUE(IsWindowEnabled(main));

        // Cancel left the working settings alone; this time OK keeps the click.
        session.ExpectDialog([&](HWND options) {
            EXPECT_FALSE(Checked(options, IDC_OPTIONS_PREFERENCE2));
            session.ClearDriverLog();
            Click(options, IDC_OPTIONS_PREFERENCE2);
            Click(options, IDOK);
            onKeep = OptionRequests(session.DriverLog());
        });
        Click(main, IDC_MAIN_BOARD_OPTIONS);
        Click(main, IDC_MAIN_OK);
    });
    EXPECT_TRUE(boxStartsCleared);
    EXPECT_TRUE(secondBoxHidden);
    EXPECT_TRUE(mainDisabled);
    EXPECT_EQ(onClick, (std::vector<std::string>{"1 0"}));
    EXPECT_EQ(onCancel, (std::vector<std::string>{"1 2", "2 0"}));
    EXPECT_EQ(onKeep, (std::vector<std::string>{"1 0"}));
    EXPECT_EQ(StoredNumber(session.ReadKey(), L"DefaultSettings.Preferences"), 0u);
}

TEST(ConfirmSettingsDialog, EscapeGoesBackWithoutSavingAndGoOnSaves) {
    AppletSession session("no-driver.profile");
    session.SetDword(L"DefaultSettings.DualScreen", 1);
    std::wstring listed;
    int menuItems = 0;
    bool stillOpen = false, savedNothing = false;
    session.DoubleClick([&](HWND main) {
        const KeySnapshot before = session.ReadKey();
        session.ExpectDialog([&](HWND confirm) {
            listed = Text(confirm, IDC_CONFIRM_LIST);
            menuItems = GetMenuItemCount(GetSystemMenu(confirm, FALSE));  // Move and Close
            SendMessageW(confirm, WM_COMMAND, IDCANCEL, 0);  // the Escape key
        });
        Click(main, IDC_MAIN_OK);
        stillOpen = IsWindowVisible(main) && IsWindowEnabled(main);
        savedNothing = session.ReadKey() == before;
        session.ExpectDialog([&](HWND confirm) { Click(confirm, IDOK); });
        Click(main, IDC_MAIN_OK);
    });
    EXPECT_EQ(listed, session.ResourceString(27));
    EXPECT_EQ(menuItems, 2);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(savedNothing);
    EXPECT_EQ(StoredNumber(session.ReadKey(), L"DefaultSettings.DualScreen"), 1u);
}

TEST(BoardInfoDialog, ShowsTheHardwareTextsAndClosesOnlyThroughItsButton) {
    AppletSession session(kDualDdc);
    std::vector<std::wstring> texts;
    bool ignoredEscapeAndClose = false, closed = false;
    DWORD gdiBefore = 0, gdiAfter = 0;
    session.DoubleClick([&](HWND main) {
        session.ExpectDialog([&](HWND info) {
            for (int id : {IDC_INFO_COMPANY, IDC_INFO_VERSION, IDC_INFO_DRIVER_FILES, IDC_INFO_CHIP,
                           IDC_INFO_DAC, IDC_INFO_ADAPTER, IDC_INFO_BOARD, IDC_INFO_MEMORY})
                texts.push_back(Text(info, id));
            SendMessageW(info, WM_COMMAND, IDCANCEL, 0);
            SendMessageW(info, WM_SYSCOMMAND, SC_CLOSE, 0);
            ignoredEscapeAndClose = IsWindowVisible(info) != FALSE;
            Click(info, IDOK);
            closed = !IsWindowVisible(info);
        });
        gdiBefore = GdiObjects();
        Click(main, IDC_MAIN_BOARD_INFO);
        gdiAfter = GdiObjects();
    });
    EXPECT_EQ(texts, (std::vector<std::wstring>{
                         L"Norvane Corporation", L"03.05.03.02", L"vqxiocd.dll rediruv.dll rediruv.sys vqxidma.sys",
                         L"Norvane RZ3", L"Integrated RAMDAC", L"Norvane Razor 3D",
                         session.ResourceString(1220),  // the board family
                         L"16 " + session.ResourceString(1216)}));
    EXPECT_TRUE(ignoredEscapeAndClose);
    EXPECT_TRUE(closed);
    EXPECT_EQ(gdiAfter, gdiBefore);
}

TEST(AllModesDialog, DoubleClickTakesAStackedModeIntoTheMainDialog) {
    AppletSession session(kDualDdc);
    std::vector<std::wstring> lines;
    bool escapeIgnored = false;
    session.DoubleClick([&](HWND main) {
        ASSERT_FALSE(Checked(main, IDC_MAIN_DUAL_SCREEN));
        // Nothing selected: Use Mode closes and changes nothing.
        session.ExpectDialog([&](HWND modes) {
            lines = ListItems(modes, IDC_ALL_MODES_LIST);
            SendMessageW(modes, WM_COMMAND, IDCANCEL, 0);
            escapeIgnored = IsWindowVisible(modes) != FALSE;
            Click(modes, IDC_ALL_MODES_TAKE);
            EXPECT_FALSE(IsWindowVisible(modes));
        });
        Click(main, IDC_MAIN_ALL_MODES);
        EXPECT_FALSE(Checked(main, IDC_MAIN_DUAL_SCREEN));
        EXPECT_TRUE(IsWindowEnabled(main));

        // The lines come once per arrangement: single, side by side, stacked.
        // This one is 1024 x 768 on each of two stacked screens at 70 Hz,
        // neither the stored rate nor the entry's first one.
        ASSERT_EQ(lines.size() % 3, 0u);
        const std::wstring picked = L"1024 x 1536, " + session.ResourceString(44) + L", 70 Hz.";
        const int stacked = static_cast<int>(std::find(lines.begin(), lines.end(), picked) - lines.begin());
        ASSERT_GE(stacked, static_cast<int>(lines.size() / 3 * 2)) << "not a stacked line";
        ASSERT_LT(stacked, static_cast<int>(lines.size()));
        session.ExpectDialog([&](HWND modes) {
            DoubleClickListItem(modes, IDC_ALL_MODES_LIST, stacked);
            EXPECT_FALSE(IsWindowVisible(modes));
        });
        Click(main, IDC_MAIN_ALL_MODES);
        EXPECT_TRUE(Checked(main, IDC_MAIN_DUAL_SCREEN));
        EXPECT_FALSE(Checked(main, IDC_MAIN_ARRANGEMENT_1));
        EXPECT_TRUE(Checked(main, IDC_MAIN_ARRANGEMENT_2));
        EXPECT_TRUE(Enabled(main, IDC_MAIN_PREFERENCE_SET));
        EXPECT_TRUE(Enabled(main, IDC_MAIN_PREFERENCE_CLEAR));
        EXPECT_TRUE(Checked(main, IDC_MAIN_PREFERENCE_CLEAR));
        EXPECT_TRUE(Enabled(main, IDC_MAIN_ARRANGEMENT_LABEL));
        EXPECT_EQ(Text(main, IDC_MAIN_RESOLUTION_TEXT), L"1024 x 768 " + session.ResourceString(10));
        const int chosen = ComboSelection(main, IDC_MAIN_REFRESH);
        ASSERT_GE(chosen, 0);
        EXPECT_EQ(ComboItems(main, IDC_MAIN_REFRESH)[chosen], L"70 Hz.");
    });
    EXPECT_TRUE(escapeIgnored);
}

// What the monitor timings dialog shows for the screen it shows.
struct ScreenView {
    std::wstring status;
    bool noticeShown;
    std::vector<std::wstring> identification;  // manufacturer .. revision
    std::vector<std::wstring> lines;
};

ScreenView Look(HWND timings) {
    ScreenView view{Text(timings, IDC_TIMINGS_STATUS), Visible(timings, IDC_TIMINGS_NO_RECORDS), {},
                    ListItems(timings, IDC_TIMINGS_LIST)};
    for (int id = IDC_TIMINGS_MANUFACTURER; id <= IDC_TIMINGS_REVISION; ++id)
        view.identification.push_back(Text(timings, id));
    return view;
}

// "%4ld x %4ld %s, %s, %ld %s" with the library's words.
std::wstring TimingLine(AppletSession& session, int width, int height, int rate) {
    wchar_t line[200];
    swprintf(line, 200, L"%4d x %4d %ls, %ls, %d %ls", width, height, session.ResourceString(10).c_str(),
             session.ResourceString(44).c_str(), rate, session.ResourceString(11).c_str());
    return line;
}

TEST(MonitorTimingsDialog, ShowsEachScreenOfTwoByItsPicture) {
    AppletSession session(kDualDdc);
    session.SetString(L"DefaultSettings.Description", L"DDC Monitor");
    session.SetDword(L"DefaultSettings.DualScreen", 2);
    ScreenView first, hiddenClick, second, back;
    bool sidePictureHidden = false, closesOnlyByButton = false;
    DWORD gdiBefore = 0, gdiAfter = 0;
    session.DoubleClick([&](HWND main) {
        ASSERT_TRUE(Enabled(main, IDC_MAIN_MONITOR_TIMINGS));
        session.ExpectDialog([&](HWND timings) {
            sidePictureHidden = !Visible(timings, IDC_TIMINGS_PICTURE_SIDE) &&
                                !Enabled(timings, IDC_TIMINGS_PICTURE_SIDE);
            first = Look(timings);
            ClickAt(timings, IDC_TIMINGS_PICTURE_SCREEN1);
            second = Look(timings);
            ClickAt(timings, IDC_TIMINGS_PICTURE_SIDE);  // not a picture when stacked
            hiddenClick = Look(timings);
            ClickAt(timings, IDC_TIMINGS_PICTURE_STACKED);
            back = Look(timings);
            SendMessageW(timings, WM_COMMAND, IDCANCEL, 0);
            closesOnlyByButton = IsWindowVisible(timings) != FALSE;
            Click(timings, IDOK);
        });
        gdiBefore = GdiObjects();
        Click(main, IDC_MAIN_MONITOR_TIMINGS);
        gdiAfter = GdiObjects();
    });
    const std::vector<std::wstring> lines = {
        TimingLine(session, 640, 480, 60),   TimingLine(session, 640, 480, 75),
        TimingLine(session, 1024, 768, 60),  TimingLine(session, 1280, 1024, 60),
        TimingLine(session, 1280, 1024, 75),
    };
    EXPECT_TRUE(sidePictureHidden);
    EXPECT_EQ(first.status, session.ResourceString(6));
    EXPECT_FALSE(first.noticeShown);
    EXPECT_EQ(first.identification,
              (std::vector<std::wstring>{L"ABC", L"20513", L"8317245", L"1997", L"1", L"3"}));
    EXPECT_EQ(first.lines, lines);
    EXPECT_EQ(second.identification,
              (std::vector<std::wstring>{L"NRV", L"4660", L"42", L"2001", L"1", L"2"}));
    EXPECT_EQ(second.lines, lines);
    EXPECT_EQ(hiddenClick.identification, second.identification);
    EXPECT_EQ(back.identification, first.identification);
    EXPECT_TRUE(closesOnlyByButton);
    EXPECT_GT(gdiBefore, 0u);
    EXPECT_EQ(gdiAfter, gdiBefore);
}

ScreenView SingleScreenTimings(AppletSession& session) {
    session.SetString(L"DefaultSettings.Description", L"DDC Monitor");
    ScreenView view;
    session.DoubleClick([&](HWND main) {
        session.ExpectDialog([&](HWND timings) {
            view = Look(timings);
            Click(timings, IDOK);
        });
        Click(main, IDC_MAIN_MONITOR_TIMINGS);
    });
    return view;
}

TEST(MonitorTimingsDialog, ScreenWhoseDriverFailedShowsTheDefaultBlock) {
    AppletSession session("tests/data/boards/timings-ddc-refused.profile");
    ScreenView view = SingleScreenTimings(session);
    EXPECT_EQ(view.status, session.ResourceString(5));
    EXPECT_TRUE(view.noticeShown);
    EXPECT_EQ(view.identification, (std::vector<std::wstring>{L"@@@", L"0", L"0", L"1990", L"0", L"0"}));
    EXPECT_EQ(view.lines, (std::vector<std::wstring>{TimingLine(session, 640, 480, 60)}));
}

TEST(MonitorTimingsDialog, ScreenWithoutDdcDataShowsNothingButItsStatus) {
    AppletSession session("tests/data/boards/timings-ddc-silent.profile");
    ScreenView view = SingleScreenTimings(session);
    EXPECT_EQ(view.status, session.ResourceString(2));
    EXPECT_TRUE(view.noticeShown);
    EXPECT_EQ(view.identification, std::vector<std::wstring>(6));
    EXPECT_TRUE(view.lines.empty());
}

}  // namespace
