// Pictures of the dialogs for the documentation, taken when VCA_SCREENSHOTS
// names a folder (scripts/screenshots sets it); skipped otherwise.
#include <gtest/gtest.h>

#include "resource.h"
#include "win32/applet_harness.h"

namespace {

using namespace harness;

// Stores a monitor name as the applet stores it (REG_MULTI_SZ).
void StoreMonitor(const wchar_t* name) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0", 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::wstring text = std::wstring(name) + L'\0' + L'\0';
    RegSetValueExW(key, L"DefaultSettings.Description", 0, REG_MULTI_SZ,
                   reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

void Picture(const char* profile, const wchar_t* monitor, const wchar_t* file) {
    const std::wstring folder = ScreenshotFolder();
    if (folder.empty()) GTEST_SKIP() << "VCA_SCREENSHOTS names no folder";
    AppletSession session(profile);
    if (monitor) StoreMonitor(monitor);
    session.DoubleClick([&](HWND dialog) { EXPECT_TRUE(SaveWindowPicture(dialog, folder + L"\\" + file)); });
}

TEST(Screenshots, MainDialogOfADualBoardWithADdcMonitor) {
    Picture("board205-dual-ddc.profile", L"DDC Monitor", L"main-dialog.bmp");
}

TEST(Screenshots, MainDialogOfBoard204WithALumarisMonitor) {
    Picture("board204-lumaris.profile", L"Norvane Lumaris 21-inch monitor", L"main-dialog-board204.bmp");
}

TEST(Screenshots, MainDialogWithoutADriver) { Picture("no-driver.profile", nullptr, L"main-dialog-no-driver.bmp"); }

}  // namespace
