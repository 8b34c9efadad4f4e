#include "win32/applet_harness.h"

#include <cpl.h>

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <set>

namespace harness {

namespace {

using CplFunction = LONG(APIENTRY*)(HWND, UINT, LPARAM, LPARAM);

const wchar_t* kDriverKey = L"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0";
constexpr UINT kPollMs = 15;

CplFunction AppletEntry(HMODULE module) {
    if (!module) return nullptr;
    return reinterpret_cast<CplFunction>(reinterpret_cast<void*>(GetProcAddress(module, "CPlApplet")));
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// What the thread timer works through: windows that became active, and the
// scripts for the dialogs expected next.
struct Driver {
    std::deque<HWND> pending;
    std::set<HWND> handled;
    std::deque<Script> scripts;
    std::vector<std::wstring> boxes;
    HHOOK hook = nullptr;
    UINT_PTR timer = 0;
} driver;

bool IsDialogClass(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770";
}

bool IsMessageBox(HWND window) { return GetDlgItem(window, 0xFFFF) != nullptr && !GetDlgItem(window, 1037); }

LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (IsDialogClass(window) && !driver.handled.count(window)) {
            driver.handled.insert(window);
            driver.pending.push_back(window);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs inside whatever modal loop is running: answers message boxes and
// hands each new dialog to its script. Re-entered when a script opens a
// nested modal loop.
void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    while (!driver.pending.empty()) {
        HWND window = driver.pending.front();
        driver.pending.pop_front();
        if (!IsWindow(window)) continue;
        if (IsMessageBox(window)) {
            wchar_t text[600] = {};
            GetDlgItemTextW(window, 0xFFFF, text, 600);
            driver.boxes.push_back(text);
            PostMessageW(window, WM_COMMAND, IDOK, 0);
            continue;
        }
        if (driver.scripts.empty()) {
            ADD_FAILURE() << "a dialog opened that no script expected";
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            continue;
        }
        Script script = std::move(driver.scripts.front());
        driver.scripts.pop_front();
        script(window);
    }
}

void StoreValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void StoreBinaryText(const wchar_t* name, const std::wstring& text) {
    StoreValue(name, REG_BINARY, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void StoreBinaryNumber(const wchar_t* name, DWORD value) { StoreValue(name, REG_BINARY, &value, sizeof value); }

// What a driver installation leaves: the timing database in the system
// directory, the hardware information as the video port stores it
// (REG_BINARY), and the pixel-clock limits (0: no limit).
void InstallDatabase(const std::string& relativePath) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring source = Wide(std::string("Z:") + VCA_SOURCE_DIR + "/" + relativePath);
    ASSERT_TRUE(CopyFileW(source.c_str(), (std::wstring(system) + L"\\revid.dat").c_str(), FALSE));
}

void InstallDriver() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kDriverKey);
    InstallDatabase("data/revid.dat");
    for (const wchar_t* name : {L"V3UZFlags0", L"V3UZMaxPcFreq1020", L"V3UZMaxPcFreq1280", L"V3UZMaxPcPllVcoFreq0"}) {
        DWORD zero = 0;
        StoreValue(name, REG_DWORD, &zero, sizeof zero);
    }
    StoreBinaryText(L"HardwareInformation.ChipType", L"Norvane RZ3");
    StoreBinaryText(L"HardwareInformation.DacType", L"Integrated RAMDAC");
    StoreBinaryText(L"HardwareInformation.AdapterString", L"Norvane Razor 3D");
    StoreBinaryNumber(L"HardwareInformation.MemorySize", 16u << 20);
    StoreBinaryNumber(L"HardwareInformation.TextureMemorySize", 32);
}

}  // namespace

DWORD StoredNumber(const KeySnapshot& key, const wchar_t* name) {
    auto found = key.find(name);
    if (found == key.end() || found->second.bytes.size() != 4) return 0xFFFFFFFF;
    const std::vector<BYTE>& b = found->second.bytes;
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<DWORD>(b[3]) << 24);
}

std::wstring ProfilePath(const std::string& profile) {
    if (profile.find('/') == std::string::npos)
        return Wide(std::string("Z:") + VCA_SOURCE_DIR + "/data/boards/" + profile);
    return Wide(std::string("Z:") + VCA_SOURCE_DIR + "/" + profile);
}

AppletSession::AppletSession(const std::string& profile, bool keepKey) {
    if (!keepKey) InstallDriver();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    logPath_ = std::wstring(temp) + L"vca-board-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    DeleteFileW(logPath_.c_str());
    SetEnvironmentVariableW(L"NRVAVCA_BOARD_LOG", logPath_.c_str());
    SetEnvironmentVariableW(L"NRVAVCA_BOARD", profile.empty() ? nullptr : ProfilePath(profile).c_str());
    module_ = LoadLibraryW(L"nrvavca.cpl");
    EXPECT_NE(module_, nullptr);
    CplFunction cpl = AppletEntry(module_);
    EXPECT_NE(cpl, nullptr);
    if (cpl) {
        EXPECT_EQ(cpl(nullptr, CPL_INIT, 0, 0), 1);
    }
    driver = Driver{};
    driver.hook = SetWindowsHookExW(WH_CBT, WatchActivation, nullptr, GetCurrentThreadId());
    driver.timer = SetTimer(nullptr, 0, kPollMs, Poll);
}

AppletSession::~AppletSession() {
    KillTimer(nullptr, driver.timer);
    UnhookWindowsHookEx(driver.hook);
    EXPECT_TRUE(driver.scripts.empty()) << driver.scripts.size() << " expected dialog(s) never opened";
    driver = Driver{};
    DeleteFileW(logPath_.c_str());
    if (module_) FreeLibrary(module_);
}

void AppletSession::SetDword(const wchar_t* name, DWORD value) { StoreValue(name, REG_DWORD, &value, sizeof value); }

void AppletSession::SetString(const wchar_t* name, const std::wstring& value) {
    StoreValue(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void AppletSession::UseDatabase(const std::string& relativePath) { InstallDatabase(relativePath); }

void AppletSession::MakeKeyReadOnly() {
    // Deny writing the key to everyone: the applet can then open it only
    // for reading.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, WRITE_DAC, &key), ERROR_SUCCESS);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    BYTE aclBuffer[256];
    ACL* acl = reinterpret_cast<ACL*>(aclBuffer);
    InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ | WRITE_DAC, everyone);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
    FreeSid(everyone);
    RegCloseKey(key);
}

void AppletSession::ExpectDialog(Script script) { driver.scripts.push_back(std::move(script)); }

void AppletSession::DoubleClick(Script main) {
    CplFunction cpl = AppletEntry(module_);
    ASSERT_NE(cpl, nullptr);
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    driver.scripts.push_front([this, main, frequency, start](HWND dialog) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        openingSeconds_ = double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
        main(dialog);
        if (IsWindow(dialog) && IsWindowVisible(dialog)) SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(cpl(nullptr, CPL_DBLCLK, 0, 0), 0);
}

void AppletSession::DoubleClickNoDialog() {
    CplFunction cpl = AppletEntry(module_);
    ASSERT_NE(cpl, nullptr);
    EXPECT_EQ(cpl(nullptr, CPL_DBLCLK, 0, 0), 0);
}

const std::vector<std::wstring>& AppletSession::Boxes() const { return driver.boxes; }

std::vector<std::string> AppletSession::DriverLog() const {
    std::vector<std::string> lines;
    std::ifstream file(Narrow(logPath_));
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

void AppletSession::ClearDriverLog() { DeleteFileW(logPath_.c_str()); }

KeySnapshot AppletSession::ReadKey() const {
    KeySnapshot snapshot;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDriverKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return snapshot;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameChars = 256, type = 0, size = 0;
        if (RegEnumValueW(key, index, name, &nameChars, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        StoredValue value;
        value.type = type;
        value.bytes.resize(size);
        nameChars = 256;
        RegEnumValueW(key, index, name, &nameChars, nullptr, &type, value.bytes.data(), &size);
        snapshot[name] = value;
    }
    RegCloseKey(key);
    return snapshot;
}

std::wstring AppletSession::ResourceString(UINT id) const {
    wchar_t text[600] = {};
    LoadStringW(GetModuleHandleW(L"vca0409.dll"), id, text, 600);
    return text;
}

void Click(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }

void SelectComboItem(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SelectListItem(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, LB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void DoubleClickListItem(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, LB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Scroll(HWND dialog, int id, int code, int thumb) {
    SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(code, thumb), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClickAt(HWND dialog, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ScreenToClient(dialog, &centre);
    SendMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
}

std::wstring Text(HWND dialog, int id) {
    wchar_t text[600] = {};
    GetDlgItemTextW(dialog, id, text, 600);
    return text;
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
bool Checked(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
int ScrollPosition(HWND dialog, int id) { return GetScrollPos(GetDlgItem(dialog, id), SB_CTL); }

std::vector<std::wstring> ComboItems(HWND dialog, int id) {
    std::vector<std::wstring> items;
    LRESULT count = SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[600] = {};
        SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

int ComboSelection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

std::vector<std::wstring> ListItems(HWND dialog, int id) {
    std::vector<std::wstring> items;
    LRESULT count = SendDlgItemMessageW(dialog, id, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[600] = {};
        SendDlgItemMessageW(dialog, id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

DWORD GdiObjects() {
    // Wine's GetGuiResources reports 0. Its handle table accepts a handle
    // whose high word is 0 for any generation, so probing every index
    // counts the objects alive now (DCs included).
    DWORD count = 0;
    for (UINT_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
    return count;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

void PumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

bool SaveWindowPicture(HWND window, const std::wstring& path) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(400);
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = ((width * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + rowBytes * height;
    std::ofstream out(Narrow(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), rowBytes * height);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return static_cast<bool>(out);
}

std::wstring ScreenshotFolder() {
    wchar_t folder[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"VCA_SCREENSHOTS", folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder) : std::wstring();
}

}  // namespace harness
