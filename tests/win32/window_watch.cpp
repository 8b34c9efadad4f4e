#include "win32/window_watch.h"

#include <sddl.h>

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

std::deque<HWND>& Activated() { return state.activated; }

bool IsMessageBox(HWND window) { return GetDlgItem(window, 0xFFFF) && !GetDlgItem(window, 1037); }

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
