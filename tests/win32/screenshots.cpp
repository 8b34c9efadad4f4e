// Pictures of the dialogs for the documentation, taken when VCA_SCREENSHOTS
// names a folder (scripts/screenshots sets it); skipped otherwise.
#include <gtest/gtest.h>

#include <fstream>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;
using Steps = std::function<void(AppletSession& session, HWND main)>;

std::wstring ScreenshotFolder() {
    const wchar_t* folder = _wgetenv(L"VCA_SCREENSHOTS");
    return folder ? folder : L"";
}

// Shows the window (a dialog is shown only when its loop first goes idle),
// lets it paint, then saves what the screen shows of it (caption included)
// as a 24-bit BMP file in the screenshot folder.
void Save(HWND window, const std::wstring& file) {
    ShowWindow(window, SW_SHOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(400);
    RECT rect;
    GetWindowRect(window, &rect);
    BITMAPINFOHEADER info{sizeof info, rect.right - rect.left, rect.bottom - rect.top, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<char> bits(((info.biWidth * 3 + 3) / 4) * 4 * info.biHeight);
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, info.biWidth, info.biHeight);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, info.biWidth, info.biHeight, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    GetDIBits(memory, bitmap, 0, info.biHeight, bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const BITMAPFILEHEADER header{0x4D42, DWORD(sizeof header + sizeof info + bits.size()), 0, 0,
                                  sizeof header + sizeof info};
    const std::wstring path = ScreenshotFolder() + L"\\" + file;
    std::ofstream out(std::string(path.begin(), path.end()), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&info), sizeof info).write(bits.data(), bits.size());
    EXPECT_TRUE(out) << "writing " << std::string(path.begin(), path.end());
}

// Opens the main dialog on `profile` with `monitor` stored, saves it as
// `file` when one is named, and runs `steps`.
void Scene(const char* profile, const wchar_t* monitor, const wchar_t* file, const Steps& steps = nullptr) {
    AppletSession session(profile);
    if (monitor) session.SetString(L"DefaultSettings.Description", monitor);
    session.DoubleClick([&](HWND main) {
        if (file) Save(main, file);
        if (steps) steps(session, main);
    });
}

// Opens a secondary dialog with `button` and saves it.
void Secondary(AppletSession& session, HWND main, int button, const wchar_t* file) {
    session.Open(main, button, [file](HWND dialog) { Save(dialog, file); });
}

TEST(Screenshots, EveryDialog) {
    if (ScreenshotFolder().empty()) GTEST_SKIP() << "VCA_SCREENSHOTS names no folder";
    Scene("board205-dual-ddc.profile", L"DDC Monitor", L"main-dialog.bmp");
    Scene("board204-lumaris.profile", L"Norvane Lumaris 21-inch monitor", L"main-dialog-board204.bmp");
    Scene("no-driver.profile", nullptr, L"main-dialog-no-driver.bmp");
    Scene("tests/data/boards/timings-dual-ddc.profile", L"DDC Monitor", nullptr, [](AppletSession& session, HWND main) {
        Secondary(session, main, IDC_MAIN_BOARD_OPTIONS, L"board-options.bmp");
        Secondary(session, main, IDC_MAIN_BOARD_INFO, L"board-information.bmp");
        Secondary(session, main, IDC_MAIN_ALL_MODES, L"all-modes.bmp");
        Secondary(session, main, IDC_MAIN_MONITOR_TIMINGS, L"monitor-timings.bmp");
        Click(main, IDC_MAIN_DUAL_SCREEN);
        Secondary(session, main, IDC_MAIN_MONITOR_TIMINGS, L"monitor-timings-dual.bmp");
    });
    Scene("board205-dual-ddc.profile", nullptr, nullptr, [](AppletSession& session, HWND main) {
        Secondary(session, main, IDC_MAIN_GAMMA, L"gamma.bmp");
        Click(main, IDC_MAIN_DUAL_SCREEN);
        session.Open(main, IDC_MAIN_GAMMA, [](HWND gamma) {
            Click(gamma, IDC_GAMMA_VALUE);
            Save(gamma, L"gamma-two-screens.bmp");
        });
    });
    Scene("no-driver.profile", nullptr, nullptr, [](AppletSession& session, HWND main) {
        Click(main, IDC_MAIN_DUAL_SCREEN);
        Secondary(session, main, IDC_MAIN_OK, L"confirmation.bmp");
    });
}

// Taken when the user locale is German: scripts/screenshots runs the German
// scenes a second time in the de_DE locale (Wine's user locale is the Unix
// locale of the process), and the applet then loads vca0407.dll.
TEST(Screenshots, GermanMainDialog) {
    if (ScreenshotFolder().empty() || PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) != LANG_GERMAN)
        GTEST_SKIP() << "VCA_SCREENSHOTS names no folder or the user locale is not German";
    Scene("board205-dual-ddc.profile", L"DDC Monitor", L"main-dialog-de.bmp");
}

}  // namespace
