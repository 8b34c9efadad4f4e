// The real nrvavca.cpl and vca0409.dll, loaded and driven as the Control
// Panel drives them.
#include <windows.h>
#include <cpl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using CplFunction = LONG(APIENTRY*)(HWND, UINT, LPARAM, LPARAM);

std::wstring ProfilePath(const char* name) {
    std::string path = std::string("Z:") + VCA_SOURCE_DIR + "/data/boards/" + name;
    return std::wstring(path.begin(), path.end());
}

struct Applet {
    HMODULE module = nullptr;
    CplFunction cpl = nullptr;

    Applet() {
        module = LoadLibraryW(L"nrvavca.cpl");
        if (module) cpl = reinterpret_cast<CplFunction>(GetProcAddress(module, "CPlApplet"));
    }
    LONG Send(UINT message, LPARAM l1 = 0, LPARAM l2 = 0) { return cpl(nullptr, message, l1, l2); }
};

std::wstring ResourceString(HMODULE library, UINT id) {
    wchar_t text[400] = {};
    LoadStringW(library, id, text, 400);
    return text;
}

// What the CBT hook saw of each dialog or message box that became active,
// and how it answered it.
struct SeenWindow {
    std::wstring boardName;  // the main dialog's board line
    std::wstring boxText;    // a message box's text
};
std::vector<SeenWindow> seen;

LRESULT CALLBACK AnswerDialogs(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[32] = {};
        GetClassNameW(window, className, 32);
        if (std::wstring(className) == L"#32770") {
            SeenWindow record;
            wchar_t text[400] = {};
            if (GetDlgItemTextW(window, 0xFFFF, text, 400)) record.boxText = text;
            if (GetDlgItemTextW(window, 1037, text, 400)) record.boardName = text;
            seen.push_back(record);
            PostMessageW(window, WM_COMMAND, record.boxText.empty() ? IDCANCEL : IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct DialogAnswerer {
    HHOOK hook;
    DialogAnswerer() {
        seen.clear();
        hook = SetWindowsHookExW(WH_CBT, AnswerDialogs, nullptr, GetCurrentThreadId());
    }
    ~DialogAnswerer() { UnhookWindowsHookEx(hook); }
};

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

// What a driver installation leaves: the timing database in the system
// directory and the pixel-clock limits in the driver key (0: no limit).
void InstallDriverFiles() {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    std::string source = std::string("Z:") + VCA_SOURCE_DIR + "/data/revid.dat";
    ASSERT_TRUE(CopyFileW(std::wstring(source.begin(), source.end()).c_str(),
                          (std::wstring(system) + L"\\revid.dat").c_str(), FALSE));
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0", 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD zero = 0;
    for (const wchar_t* name : {L"V3UZFlags0", L"V3UZMaxPcFreq1020", L"V3UZMaxPcFreq1280", L"V3UZMaxPcPllVcoFreq0"})
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero);
    RegCloseKey(key);
}

// Sends CPL_INIT and CPL_DBLCLK with the board of a profile, answering every
// dialog and box that opens; returns string `id` of the resource library.
std::wstring DoubleClickWith(const char* profile, UINT id) {
    InstallDriverFiles();
    SetEnvironmentVariableW(L"NRVAVCA_BOARD", ProfilePath(profile).c_str());
    Applet applet;
    EXPECT_NE(applet.cpl, nullptr);
    if (!applet.cpl) return L"";
    EXPECT_EQ(applet.Send(CPL_INIT), 1);
    DialogAnswerer answerer;
    EXPECT_EQ(applet.Send(CPL_DBLCLK), 0);
    return ResourceString(GetModuleHandleW(L"vca0409.dll"), id);
}

TEST(CplApplet, DoubleClickWithAnUnsupportedMonitorShowsMessage18AndNoDialog) {
    std::wstring message = DoubleClickWith("unsupported-monitor.profile", 18);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].boxText, message);
}

TEST(CplApplet, DoubleClickWithASimulatedBoardOpensTheMainDialog) {
    std::wstring boardName = DoubleClickWith("board205-dual-ddc.profile", 1210);
    for (const auto& window : seen)
        EXPECT_TRUE(window.boxText.empty()) << std::string(window.boxText.begin(), window.boxText.end());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].boardName, boardName);
}

}  // namespace
