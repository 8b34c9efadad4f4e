// The real nrvavca.cpl and vca0409.dll, loaded and driven as the Control
// Panel drives them.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/applet_harness.h"

namespace {

TEST(CplApplet, InitLoadsTheResourceLibraryOnceNewInquireFillsTheRecordFromItAndAFailedStartShowsNoDialog) {
    HMODULE module = LoadLibraryW(L"nrvavca.cpl");
    const watch::CplFunction cpl = watch::CplEntry(module);
    ASSERT_NE(cpl, nullptr) << "no applet, or CPlApplet is not exported undecorated";
    EXPECT_EQ(GetModuleHandleW(L"vca0409.dll"), nullptr);
    EXPECT_EQ(cpl(nullptr, CPL_INIT, 0, 0), 1);
    HMODULE resources = GetModuleHandleW(L"vca0409.dll");
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(cpl(nullptr, CPL_INIT, 0, 0), 1);
    EXPECT_EQ(GetModuleHandleW(L"vca0409.dll"), resources);
    EXPECT_EQ(cpl(nullptr, CPL_GETCOUNT, 0, 0), 1);

    NEWCPLINFOW info;
    memset(&info, 0x5A, sizeof info);
    EXPECT_EQ(cpl(nullptr, CPL_NEWINQUIRE, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ((std::vector<LONG_PTR>{info.dwSize, info.dwFlags, info.dwHelpContext, info.lData}),
              (std::vector<LONG_PTR>{sizeof(NEWCPLINFOW), 0, 101, 0})) << "size, flags, help context, data";
    EXPECT_EQ(info.hIcon, LoadIconW(resources, L"MONITR01"));
    const std::wstring name = harness::AppletSession::ResourceString(4);
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(std::wstring(info.szName), name.substr(0, 31));
    EXPECT_EQ(std::wstring(info.szInfo), harness::AppletSession::ResourceString(3).substr(0, 63));
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(std::wstring(info.szHelpFile), std::wstring(windows) + L"\\system32\\vca0409.hlp");
    for (UINT message : {0u, 9u, 1000u, UINT(CPL_INQUIRE), UINT(CPL_SELECT), UINT(CPL_STOP), UINT(CPL_EXIT)})
        EXPECT_EQ(cpl(nullptr, message, 0, 0), 0) << message;  // no record to fill, none filled
    FreeLibrary(module);

    harness::AppletSession session("unsupported-monitor.profile");
    session.DoubleClick();
    EXPECT_EQ(session.Boxes(), std::vector<std::wstring>{session.ResourceString(18)});
}

}  // namespace
