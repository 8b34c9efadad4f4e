// The real nrvavca.cpl and vca0409.dll, loaded and driven as the Control
// Panel drives them.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include <string>

#include "win32/applet_harness.h"

namespace {

using CplFunction = LONG(APIENTRY*)(HWND, UINT, LPARAM, LPARAM);


struct Applet {
    HMODULE module = nullptr;
    CplFunction cpl = nullptr;

    Applet() {
        module = LoadLibraryW(L"nrvavca.cpl");
        if (module) cpl = reinterpret_cast<CplFunction>(reinterpret_cast<void*>(GetProcAddress(module, "CPlApplet")));
    }
    LONG Send(UINT message, LPARAM l1 = 0, LPARAM l2 = 0) { return cpl(nullptr, message, l1, l2); }
};

std::wstring ResourceString(HMODULE library, UINT id) {
    wchar_t text[400] = {};
    LoadStringW(library, id, text, 400);
    return text;
}

TEST(CplApplet, InitLoadsTheResourceLibraryOnceAndCountsOneApplet) {
    Applet applet;
    ASSERT_NE(applet.module, nullptr);
    ASSERT_NE(applet.cpl, nullptr) << "CPlApplet is not exported undecorated";
    EXPECT_EQ(GetModuleHandleW(L"vca0409.dll"), nullptr);
    EXPECT_EQ(applet.Send(CPL_INIT), 1);
    HMODULE resources = GetModuleHandleW(L"vca0409.dll");
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(applet.Send(CPL_INIT), 1);
    EXPECT_EQ(GetModuleHandleW(L"vca0409.dll"), resources);
    EXPECT_EQ(applet.Send(CPL_GETCOUNT), 1);
    for (UINT message : {0u, 9u, 1000u}) EXPECT_EQ(applet.Send(message), 0) << message;
    for (UINT message : {UINT(CPL_SELECT), UINT(CPL_STOP), UINT(CPL_EXIT)})
        EXPECT_EQ(applet.Send(message), 0) << message;
}

TEST(CplApplet, NewInquireFillsTheRecordFromTheResourceLibrary) {
    Applet applet;
    ASSERT_NE(applet.cpl, nullptr);
    ASSERT_EQ(applet.Send(CPL_INIT), 1);
    HMODULE resources = GetModuleHandleW(L"vca0409.dll");

    CPLINFO old;
    memset(&old, 0x5A, sizeof old);
    CPLINFO untouched = old;
    EXPECT_EQ(applet.Send(CPL_INQUIRE, 0, reinterpret_cast<LPARAM>(&old)), 0);
    EXPECT_EQ(memcmp(&old, &untouched, sizeof old), 0) << "CPL_INQUIRE filled its record";

    NEWCPLINFOW info;
    memset(&info, 0x5A, sizeof info);
    EXPECT_EQ(applet.Send(CPL_NEWINQUIRE, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.dwSize, sizeof(NEWCPLINFOW));
    EXPECT_EQ(info.dwFlags, 0u);
    EXPECT_EQ(info.dwHelpContext, 101u);
    EXPECT_EQ(info.lData, 0);
    EXPECT_NE(info.hIcon, nullptr);
    EXPECT_EQ(info.hIcon, LoadIconW(resources, L"MONITR01"));
    std::wstring name = ResourceString(resources, 4);
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(std::wstring(info.szName), name.substr(0, 31));
    EXPECT_EQ(std::wstring(info.szInfo), ResourceString(resources, 3).substr(0, 63));

    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring help = info.szHelpFile;
    EXPECT_EQ(help, std::wstring(windows) + L"\\system32\\vca0409.hlp");
}

TEST(CplApplet, DoubleClickWithAnUnsupportedMonitorShowsMessage18AndNoDialog) {
    harness::AppletSession session("unsupported-monitor.profile");
    session.DoubleClickNoDialog();
    ASSERT_EQ(session.Boxes().size(), 1u);
    EXPECT_EQ(session.Boxes()[0], session.ResourceString(18));
}

}  // namespace
