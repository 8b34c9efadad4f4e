// Pictures of the dialogs for the documentation, taken when VCA_SCREENSHOTS
// names a folder (scripts/screenshots sets it); skipped otherwise.
#include <gtest/gtest.h>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;
using Steps = std::function<void(AppletSession& session, HWND main)>;

void Save(HWND window, const wchar_t* file) {
    ShowWindow(window, SW_SHOW);  // a dialog is shown only when its loop first goes idle
    EXPECT_TRUE(SaveWindowPicture(window, file));
}

// Opens the main dialog on `profile` with `monitor` stored and runs `steps`.
void Scene(const char* profile, const wchar_t* monitor, const Steps& steps) {
    AppletSession session(profile);
    if (monitor) session.SetString(L"DefaultSettings.Description", monitor);
    session.DoubleClick([&](HWND main) { steps(session, main); });
}

Steps SaveMain(const wchar_t* file) {
    return [file](AppletSession&, HWND main) { Save(main, file); };
}

// Opens a secondary dialog with `button`, saves it and closes it with `close`.
void Secondary(AppletSession& session, HWND main, int button, const wchar_t* file, int close) {
    session.Open(main, button, [file, close](HWND dialog) {
        Save(dialog, file);
        PostMessageW(dialog, WM_COMMAND, close, 0);
    });
}

TEST(Screenshots, EveryDialog) {
    if (ScreenshotFolder().empty()) GTEST_SKIP() << "VCA_SCREENSHOTS names no folder";
    Scene("board205-dual-ddc.profile", L"DDC Monitor", SaveMain(L"main-dialog.bmp"));
    Scene("board204-lumaris.profile", L"Norvane Lumaris 21-inch monitor", SaveMain(L"main-dialog-board204.bmp"));
    Scene("no-driver.profile", nullptr, SaveMain(L"main-dialog-no-driver.bmp"));
    Scene("tests/data/boards/timings-dual-ddc.profile", L"DDC Monitor", [](AppletSession& session, HWND main) {
        Secondary(session, main, IDC_MAIN_BOARD_OPTIONS, L"board-options.bmp", IDCANCEL);
        Secondary(session, main, IDC_MAIN_BOARD_INFO, L"board-information.bmp", IDOK);
        Secondary(session, main, IDC_MAIN_ALL_MODES, L"all-modes.bmp", IDC_ALL_MODES_CLOSE);
        Secondary(session, main, IDC_MAIN_MONITOR_TIMINGS, L"monitor-timings.bmp", IDOK);
        Click(main, IDC_MAIN_DUAL_SCREEN);
        Secondary(session, main, IDC_MAIN_MONITOR_TIMINGS, L"monitor-timings-dual.bmp", IDOK);
    });
    Scene("board205-dual-ddc.profile", nullptr, [](AppletSession& session, HWND main) {
        Secondary(session, main, IDC_MAIN_GAMMA, L"gamma.bmp", IDCANCEL);
        Click(main, IDC_MAIN_DUAL_SCREEN);
        session.Open(main, IDC_MAIN_GAMMA, [](HWND gamma) {
            Click(gamma, IDC_GAMMA_VALUE);
            Save(gamma, L"gamma-two-screens.bmp");
        });
    });
    Scene("no-driver.profile", nullptr, [](AppletSession& session, HWND main) {
        Click(main, IDC_MAIN_DUAL_SCREEN);
        Secondary(session, main, IDC_MAIN_OK, L"confirmation.bmp", IDCANCEL);
    });
}

// Taken when the user locale is German: scripts/screenshots runs the German
// scenes a second time in the de_DE locale (Wine's user locale is the Unix
// locale of the process), and the applet then loads vca0407.dll.
TEST(Screenshots, GermanMainDialog) {
    if (ScreenshotFolder().empty() || PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) != LANG_GERMAN)
        GTEST_SKIP() << "VCA_SCREENSHOTS names no folder or the user locale is not German";
    Scene("board205-dual-ddc.profile", L"DDC Monitor", SaveMain(L"main-dialog-de.bmp"));
}

}  // namespace
