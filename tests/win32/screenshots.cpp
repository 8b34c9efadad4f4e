// Pictures of the dialogs for the documentation, taken when VCA_SCREENSHOTS
// names a folder (scripts/screenshots sets it); skipped otherwise.
#include <gtest/gtest.h>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;

// Opens the main dialog on a board with a stored monitor and runs `steps`.
void WithMainDialog(const char* profile, const wchar_t* monitor, Script steps) {
    if (ScreenshotFolder().empty()) GTEST_SKIP() << "VCA_SCREENSHOTS names no folder";
    AppletSession session(profile);
    if (monitor) session.SetString(L"DefaultSettings.Description", monitor);
    session.DoubleClick(steps);
}

void Save(HWND window, const wchar_t* file) {
    ShowWindow(window, SW_SHOW);  // a dialog is shown only when its loop first goes idle
    EXPECT_TRUE(SaveWindowPicture(window, ScreenshotFolder() + L"\\" + file));
}

// Saves the main dialog, or opens a secondary dialog with `button`, saves
// it and closes it with `close`.
void Secondary(HWND main, int button, const wchar_t* file, int close, AppletSession* session) {
    session->ExpectDialog([file, close](HWND dialog) {
        Save(dialog, file);
        PostMessageW(dialog, WM_COMMAND, close, 0);
    });
    Click(main, button);
}

TEST(Screenshots, MainDialogOfADualBoardWithADdcMonitor) {
    WithMainDialog("board205-dual-ddc.profile", L"DDC Monitor", [](HWND dialog) { Save(dialog, L"main-dialog.bmp"); });
}

TEST(Screenshots, MainDialogOfBoard204WithALumarisMonitor) {
    WithMainDialog("board204-lumaris.profile", L"Norvane Lumaris 21-inch monitor",
                   [](HWND dialog) { Save(dialog, L"main-dialog-board204.bmp"); });
}

TEST(Screenshots, MainDialogWithoutADriver) {
    WithMainDialog("no-driver.profile", nullptr, [](HWND dialog) { Save(dialog, L"main-dialog-no-driver.bmp"); });
}

// Taken when the user locale is German: scripts/screenshots runs the German
// scenes a second time in the de_DE locale (Wine's user locale is the Unix
// locale of the process), and the applet then loads vca0407.dll.
TEST(Screenshots, GermanMainDialog) {
    if (PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) != LANG_GERMAN)
        GTEST_SKIP() << "the user locale is not German";
    WithMainDialog("board205-dual-ddc.profile", L"DDC Monitor", [](HWND dialog) { Save(dialog, L"main-dialog-de.bmp"); });
}

TEST(Screenshots, SecondaryDialogs) {
    if (ScreenshotFolder().empty()) GTEST_SKIP() << "VCA_SCREENSHOTS names no folder";
    AppletSession session("tests/data/boards/timings-dual-ddc.profile");
    session.SetString(L"DefaultSettings.Description", L"DDC Monitor");
    session.DoubleClick([&](HWND main) {
        Secondary(main, IDC_MAIN_BOARD_OPTIONS, L"board-options.bmp", IDCANCEL, &session);
        Secondary(main, IDC_MAIN_BOARD_INFO, L"board-information.bmp", IDOK, &session);
        Secondary(main, IDC_MAIN_ALL_MODES, L"all-modes.bmp", IDC_ALL_MODES_CLOSE, &session);
        Secondary(main, IDC_MAIN_MONITOR_TIMINGS, L"monitor-timings.bmp", IDOK, &session);
        Click(main, IDC_MAIN_DUAL_SCREEN);
        Secondary(main, IDC_MAIN_MONITOR_TIMINGS, L"monitor-timings-dual.bmp", IDOK, &session);
    });
}

TEST(Screenshots, GammaForOneAndTwoScreens) {
    if (ScreenshotFolder().empty()) GTEST_SKIP() << "VCA_SCREENSHOTS names no folder";
    AppletSession session("board205-dual-ddc.profile");
    session.DoubleClick([&](HWND main) {
        Secondary(main, IDC_MAIN_GAMMA, L"gamma.bmp", IDCANCEL, &session);
        Click(main, IDC_MAIN_DUAL_SCREEN);
        session.ExpectDialog([](HWND gamma) {
            Click(gamma, IDC_GAMMA_VALUE);
            Save(gamma, L"gamma-two-screens.bmp");
            PostMessageW(gamma, WM_COMMAND, IDCANCEL, 0);
        });
        Click(main, IDC_MAIN_GAMMA);
    });
}

TEST(Screenshots, ConfirmationWithoutADriver) {
    if (ScreenshotFolder().empty()) GTEST_SKIP() << "VCA_SCREENSHOTS names no folder";
    AppletSession session("no-driver.profile");
    session.DoubleClick([&](HWND main) {
        Click(main, IDC_MAIN_DUAL_SCREEN);
        Secondary(main, IDC_MAIN_OK, L"confirmation.bmp", IDCANCEL, &session);
    });
}

}  // namespace
