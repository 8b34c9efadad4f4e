// Pictures of the dialogs for the documentation, taken when VCA_SCREENSHOTS
// names a folder (scripts/screenshots sets it); skipped otherwise.
#include <gtest/gtest.h>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;

void Save(HWND window, const wchar_t* file) {
    ShowWindow(window, SW_SHOW);  // a dialog is shown only when its loop first goes idle
    EXPECT_TRUE(SaveWindowPicture(window, ScreenshotFolder() + L"\\" + file));
}

// Opens a secondary dialog with `button`, saves it and closes it with `close`.
void Secondary(AppletSession& session, HWND main, int button, const wchar_t* file, int close) {
    session.ExpectDialog([file, close](HWND dialog) {
        Save(dialog, file);
        PostMessageW(dialog, WM_COMMAND, close, 0);
    });
    Click(main, button);
}

// One picture per scene: a board, the monitor stored for it, and what is
// done in the main dialog once it is open.
struct Scene {
    const char* profile;
    const wchar_t* monitor;
    std::function<void(AppletSession&, HWND main)> steps;
};

void Take(const std::vector<Scene>& scenes) {
    if (ScreenshotFolder().empty()) GTEST_SKIP() << "VCA_SCREENSHOTS names no folder";
    for (const Scene& scene : scenes) {
        AppletSession session(scene.profile);
        if (scene.monitor) session.SetString(L"DefaultSettings.Description", scene.monitor);
        session.DoubleClick([&](HWND main) { scene.steps(session, main); });
    }
}

Scene MainDialog(const char* profile, const wchar_t* monitor, const wchar_t* file) {
    return {profile, monitor, [file](AppletSession&, HWND main) { Save(main, file); }};
}

TEST(Screenshots, EveryDialog) {
    Take({
        MainDialog("board205-dual-ddc.profile", L"DDC Monitor", L"main-dialog.bmp"),
        MainDialog("board204-lumaris.profile", L"Norvane Lumaris 21-inch monitor", L"main-dialog-board204.bmp"),
        MainDialog("no-driver.profile", nullptr, L"main-dialog-no-driver.bmp"),
        {"tests/data/boards/timings-dual-ddc.profile", L"DDC Monitor",
         [](AppletSession& session, HWND main) {
             Secondary(session, main, IDC_MAIN_BOARD_OPTIONS, L"board-options.bmp", IDCANCEL);
             Secondary(session, main, IDC_MAIN_BOARD_INFO, L"board-information.bmp", IDOK);
             Secondary(session, main, IDC_MAIN_ALL_MODES, L"all-modes.bmp", IDC_ALL_MODES_CLOSE);
             Secondary(session, main, IDC_MAIN_MONITOR_TIMINGS, L"monitor-timings.bmp", IDOK);
             Click(main, IDC_MAIN_DUAL_SCREEN);
             Secondary(session, main, IDC_MAIN_MONITOR_TIMINGS, L"monitor-timings-dual.bmp", IDOK);
         }},
        {"board205-dual-ddc.profile", nullptr,
         [](AppletSession& session, HWND main) {
             Secondary(session, main, IDC_MAIN_GAMMA, L"gamma.bmp", IDCANCEL);
             Click(main, IDC_MAIN_DUAL_SCREEN);
             session.ExpectDialog([](HWND gamma) {
                 Click(gamma, IDC_GAMMA_VALUE);
                 Save(gamma, L"gamma-two-screens.bmp");
                 PostMessageW(gamma, WM_COMMAND, IDCANCEL, 0);
             });
             Click(main, IDC_MAIN_GAMMA);
         }},
        {"no-driver.profile", nullptr,
         [](AppletSession& session, HWND main) {
             Click(main, IDC_MAIN_DUAL_SCREEN);
             Secondary(session, main, IDC_MAIN_OK, L"confirmation.bmp", IDCANCEL);
         }},
    });
}

// Taken when the user locale is German: scripts/screenshots runs the German
// scenes a second time in the de_DE locale (Wine's user locale is the Unix
// locale of the process), and the applet then loads vca0407.dll.
TEST(Screenshots, GermanMainDialog) {
    if (PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) != LANG_GERMAN)
        GTEST_SKIP() << "the user locale is not German";
    Take({MainDialog("board205-dual-ddc.profile", L"DDC Monitor", L"main-dialog-de.bmp")});
}

}  // namespace
