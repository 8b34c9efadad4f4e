// cpl_probe: opens nrvavca.cpl as the Control Panel does, from wherever the
// system's library search finds it, and prints what a person checking an
// installation would look at: where the applet and its resource library
// were loaded from, whether the main dialog opened, and the state of its
// Gamma and Monitor timings buttons (disabled when no driver runs). Every
// window that opens is read, printed and cancelled, the first after the
// milliseconds given as the argument (300 by default), so that the applet
// can be held open meanwhile. scripts/test-installer runs it on the
// installed applet.
#include <windows.h>
#include <cpl.h>

#include <cstdio>
#include <cstdlib>

#include "resource.h"

namespace {

int dialogsSeen = 0;

void Print(const char* label, const wchar_t* text) { std::printf("%s: %ls\n", label, text); }

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
    wchar_t text[256];
    if (GetWindowTextW(child, text, 256) > 0) Print("text", text);
    return TRUE;
}

// Runs inside the modal loop of whatever the applet shows.
void CALLBACK ReadAndCancel(HWND, UINT, UINT_PTR timer, DWORD) {
    static bool periodic = false;
    if (!periodic) {
        KillTimer(nullptr, timer);
        SetTimer(nullptr, 0, 300, ReadAndCancel);
        periodic = true;
    }
    HWND window = GetActiveWindow();
    if (!window) return;
    wchar_t caption[256];
    GetWindowTextW(window, caption, 256);
    Print("window", caption);
    EnumChildWindows(window, PrintChild, 0);
    if (GetDlgItem(window, IDC_MAIN_GAMMA) && GetDlgItem(window, IDC_MAIN_MONITOR_TIMINGS)) {
        std::printf("main dialog: gamma %s, monitor timings %s\n",
                    IsWindowEnabled(GetDlgItem(window, IDC_MAIN_GAMMA)) ? "enabled" : "disabled",
                    IsWindowEnabled(GetDlgItem(window, IDC_MAIN_MONITOR_TIMINGS)) ? "enabled" : "disabled");
    }
    ++dialogsSeen;
    PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
}

void PrintModulePath(const char* label, HMODULE module) {
    wchar_t path[MAX_PATH] = L"(not loaded)";
    if (module) GetModuleFileNameW(module, path, MAX_PATH);
    Print(label, path);
}

}  // namespace

int main(int argc, char** argv) {
    const UINT firstRead = argc > 1 ? static_cast<UINT>(std::atoi(argv[1])) : 300;
    HMODULE applet = LoadLibraryW(L"nrvavca.cpl");
    PrintModulePath("applet", applet);
    auto cpl = applet ? reinterpret_cast<APPLET_PROC>(reinterpret_cast<void*>(GetProcAddress(applet, "CPlApplet")))
                      : nullptr;
    if (!cpl || cpl(nullptr, CPL_INIT, 0, 0) != 1) return 1;
    PrintModulePath("resources", GetModuleHandleW(L"vca0409.dll") ? GetModuleHandleW(L"vca0409.dll")
                                                                   : GetModuleHandleW(L"vca0407.dll"));
    SetTimer(nullptr, 0, firstRead, ReadAndCancel);
    cpl(nullptr, CPL_DBLCLK, 0, 0);
    cpl(nullptr, CPL_STOP, 0, 0);
    cpl(nullptr, CPL_EXIT, 0, 0);
    std::printf("windows read: %d\n", dialogsSeen);
    std::fflush(stdout);
    return 0;
}
