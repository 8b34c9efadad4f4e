#include "win32/window_watch.h"

#include <sddl.h>

#include <deque>
#include <set>

namespace watch {

const wchar_t kDriverKey[] = L"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0";
const wchar_t kEveryoneAll[] = L"D:(A;;KA;;;WD)", kReadOnly[] = L"D:(A;;KRWD;;;WD)", kNoAccess[] = L"D:(A;;WD;;;WD)";

namespace {

struct State {
    std::deque<HWND> activated;
    std::set<HWND> seen;
    HHOOK hook = nullptr;
    UINT_PTR timer = 0;
} state;

LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && WindowClass(window) == L"#32770" && state.seen.insert(window).second)
        state.activated.push_back(window);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

CplFunction CplEntry(HMODULE applet) {
    return applet ? reinterpret_cast<CplFunction>(reinterpret_cast<void*>(GetProcAddress(applet, "CPlApplet")))
                  : nullptr;
}

void Start(TIMERPROC poll, UINT ms) {
    Stop();
    state.hook = SetWindowsHookExW(WH_CBT, WatchActivation, nullptr, GetCurrentThreadId());
    state.timer = SetTimer(nullptr, 0, ms, poll);
}

void Stop() {
    if (state.timer) KillTimer(nullptr, state.timer);
    if (state.hook) UnhookWindowsHookEx(state.hook);
    state = State{};
}

HWND NextActivated() {
    while (!state.activated.empty()) {
        HWND window = state.activated.front();
        state.activated.pop_front();
        if (IsWindow(window)) return window;
    }
    return nullptr;
}

bool AnswerBox(HWND window, std::wstring* text) {
    if (!GetDlgItem(window, 0xFFFF) || GetDlgItem(window, 1037)) return false;
    *text = Text(window, 0xFFFF);
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return true;
}

std::wstring WindowClass(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return name;
}

std::wstring Text(HWND dialog, int id) {
    wchar_t text[2048] = {};
    GetDlgItemTextW(dialog, id, text, 2048);
    return text;
}

std::wstring SystemFile(const std::wstring& name) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system) + L"\\" + name;
}

std::string ProcessTempFile(const std::string& prefix, const std::string& suffix) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return temp + prefix + std::to_string(GetCurrentProcessId()) + suffix;
}

void EmptyDriverKey() {
    SetDriverKeyRights(kEveryoneAll);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDriverKey);
    HKEY key;
    if (RegCreateKeyW(HKEY_LOCAL_MACHINE, kDriverKey, &key) == ERROR_SUCCESS) RegCloseKey(key);
}

bool SetDriverValue(const std::wstring& name, const StoredValue& value) {
    HKEY key;
    if (RegCreateKeyW(HKEY_LOCAL_MACHINE, kDriverKey, &key) != ERROR_SUCCESS) return false;
    std::vector<BYTE> data = value.second;
    data.insert(data.end(), 4, 0xFF);
    const LONG set = RegSetValueExW(key, name.c_str(), 0, value.first, data.data(), DWORD(value.second.size()));
    RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

bool SetDriverKeyRights(const wchar_t* sddl) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr);
    const bool set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
    LocalFree(descriptor);
    RegCloseKey(key);
    return set;
}

KeySnapshot ReadDriverKey() {
    KeySnapshot snapshot;
    HKEY key;
    LONG opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, KEY_READ, &key);
    if (opened == ERROR_ACCESS_DENIED && SetDriverKeyRights(kEveryoneAll)) {
        opened = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, KEY_READ, &key);
        SetDriverKeyRights(kNoAccess);
    }
    if (opened != ERROR_SUCCESS) return snapshot;
    std::vector<BYTE> data(1 << 16);
    wchar_t name[256];
    DWORD chars = 256, type = 0, size = DWORD(data.size());
    for (DWORD i = 0; RegEnumValueW(key, i, name, &chars, nullptr, &type, data.data(), &size) == ERROR_SUCCESS; ++i) {
        snapshot[name] = {type, std::vector<BYTE>(data.begin(), data.begin() + size)};
        chars = 256, size = DWORD(data.size());
    }
    RegCloseKey(key);
    return snapshot;
}

}  // namespace watch
