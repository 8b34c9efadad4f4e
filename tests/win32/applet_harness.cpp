#include "win32/applet_harness.h"

#include <cpl.h>

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <sstream>

#include "resource.h"

namespace harness {

namespace {

// What the thread timer works through: the scripts for the dialogs expected
// next, and the message boxes answered.
struct Driver {
    std::deque<Script> scripts;
    std::vector<std::wstring> boxes;
} driver;

// The command that ends a dialog: Cancel, but board information and monitor
// timings end only by OK and all modes only by Close.
WPARAM EndingCommand(HWND dialog) {
    if (GetDlgItem(dialog, IDC_ALL_MODES_CLOSE)) return IDC_ALL_MODES_CLOSE;
    return GetDlgItem(dialog, IDC_INFO_COMPANY) || GetDlgItem(dialog, IDC_TIMINGS_LIST) ? IDOK : IDCANCEL;
}

// Runs inside whatever modal loop is running: answers message boxes and
// hands each new dialog to its script. Re-entered when a script opens a
// nested modal loop.
void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    for (HWND window; (window = watch::NextActivated()) != nullptr;) {
        std::wstring box;
        if (watch::AnswerBox(window, &box)) {
            driver.boxes.push_back(box);
            continue;
        }
        EXPECT_FALSE(driver.scripts.empty()) << "a dialog opened that no script expected";
        if (!driver.scripts.empty()) {
            Script script = std::move(driver.scripts.front());
            driver.scripts.pop_front();
            script(window);
        }
        // A dialog the script ended is gone before the message is read; one
        // that has not been shown yet (its loop shows it when first idle) is not.
        if (IsWindow(window)) PostMessageW(window, WM_COMMAND, EndingCommand(window), 0);
    }
}

// What a driver installation leaves: the timing database in the system
// directory, the pixel-clock limits (0: no limit) and the hardware
// information as the video port stores it (REG_BINARY).
void InstallDriver() {
    watch::EmptyDriverKey();
    AppletSession::UseDatabase("data/revid.dat");
    const DWORD zero = 0, memory = 16u << 20, texture = 32;
    for (const wchar_t* name : {L"V3UZFlags0", L"V3UZMaxPcFreq1020", L"V3UZMaxPcFreq1280", L"V3UZMaxPcPllVcoFreq0"})
        AppletSession::SetValue(name, REG_DWORD, &zero, sizeof zero);
    for (auto text : {std::make_pair(L"ChipType", L"Norvane RZ3"), std::make_pair(L"DacType", L"Integrated RAMDAC"),
                      std::make_pair(L"AdapterString", L"Norvane Razor 3D")})
        AppletSession::SetValue((std::wstring(L"HardwareInformation.") + text.first).c_str(), REG_BINARY, text.second,
                   static_cast<DWORD>((wcslen(text.second) + 1) * sizeof(wchar_t)));
    AppletSession::SetValue(L"HardwareInformation.MemorySize", REG_BINARY, &memory, sizeof memory);
    AppletSession::SetValue(L"HardwareInformation.TextureMemorySize", REG_BINARY, &texture, sizeof texture);
}

bool Checked(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::string LogPath() { return watch::ProcessTempFile("vca-board-", ".log"); }

}  // namespace

std::wstring SourcePath(const std::string& relative) {
    std::string path = std::string("Z:") + VCA_SOURCE_DIR + "/" + relative;
    for (char& c : path)
        if (c == '/') c = '\\';
    return std::wstring(path.begin(), path.end());
}

DWORD StoredNumber(const KeySnapshot& key, const wchar_t* name) {
    const auto found = key.find(name);
    DWORD number = 0xFFFFFFFF;
    if (found != key.end() && found->second.second.size() == 4) memcpy(&number, found->second.second.data(), 4);
    return number;
}

AppletSession::AppletSession(const std::string& profile, bool keepKey) {
    if (!keepKey) InstallDriver();
    ClearDriverLog();
    SetEnvironmentVariableA("NRVAVCA_BOARD_LOG", LogPath().c_str());
    const std::string path = profile.find('/') == std::string::npos ? "data/boards/" + profile : profile;
    SetEnvironmentVariableW(L"NRVAVCA_BOARD", SourcePath(path).c_str());
    module_ = LoadLibraryW(L"nrvavca.cpl");
    const watch::CplFunction entry = watch::CplEntry(module_);
    EXPECT_NE(entry, nullptr);
    if (entry) {
        EXPECT_EQ(entry(nullptr, CPL_INIT, 0, 0), 1);
    }
    driver = Driver{};
    watch::Start(Poll, 15);
}

AppletSession::~AppletSession() {
    watch::Stop();
    EXPECT_TRUE(driver.scripts.empty()) << driver.scripts.size() << " expected dialog(s) never opened";
    driver = Driver{};
    ClearDriverLog();
    if (module_) FreeLibrary(module_);
}

void AppletSession::SetValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    EXPECT_TRUE(watch::SetDriverValue(name, {type, {bytes, bytes + size}}));
}

void AppletSession::UseDatabase(const std::string& relativePath) {
    ASSERT_TRUE(CopyFileW(SourcePath(relativePath).c_str(), watch::SystemFile(L"revid.dat").c_str(), FALSE));
}

void AppletSession::Open(HWND owner, int button, Script script) {
    driver.scripts.push_back([owner, script = std::move(script)](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(owner)) << "the owner while its dialog is open";
        script(dialog);
    });
    Click(owner, button);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner once its dialog has ended";
}

void AppletSession::DoubleClick(Script main) {
    ASSERT_TRUE(watch::CplEntry(module_));
    if (main) driver.scripts.push_front(std::move(main));
    EXPECT_EQ(watch::CplEntry(module_)(nullptr, CPL_DBLCLK, 0, 0), 0);
}

const std::vector<std::wstring>& AppletSession::Boxes() const { return driver.boxes; }

Requests AppletSession::Sent(const std::string& request) {
    Requests requests;
    std::ifstream file(LogPath());
    for (std::string line; std::getline(file, line);) {
        const std::size_t open = line.find('[');
        if (line.find(" " + request + " ") == std::string::npos || open == std::string::npos) continue;
        std::istringstream in(line.substr(open + 1));
        requests.emplace_back();
        for (unsigned word; in >> std::hex >> word;) requests.back().push_back(word);
    }
    file.close();
    ClearDriverLog();
    return requests;
}

void AppletSession::ClearDriverLog() { DeleteFileA(LogPath().c_str()); }

std::wstring AppletSession::ResourceString(UINT id) {
    wchar_t text[600] = {};
    LoadStringW(GetModuleHandleW(L"vca0409.dll"), id, text, 600);
    return text;
}

void LeaveCompleteReadOnlyKey(const std::string& profile) {
    AppletSession(profile).DoubleClick([](HWND dialog) { Click(dialog, 1036 /* OK */); });
    EXPECT_TRUE(watch::SetDriverKeyRights(watch::kReadOnly));
}

void Click(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }
// The selection, then the notification the control sends its dialog.
void Choose(HWND dialog, int id, const std::wstring& item) {
    const bool combo = WindowClass(GetDlgItem(dialog, id)) == L"ComboBox";
    const LPARAM text = reinterpret_cast<LPARAM>(item.c_str());
    const LRESULT index = SendDlgItemMessageW(dialog, id, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, -1, text);
    SendDlgItemMessageW(dialog, id, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
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

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
int ScrollPosition(HWND dialog, int id) { return GetScrollPos(GetDlgItem(dialog, id), SB_CTL); }

std::string States(HWND dialog, std::initializer_list<int> ids) {
    std::string states;
    for (int id : ids) states += "-o#x"[Enabled(dialog, id) + 2 * Checked(dialog, id)];
    return states;
}

std::vector<std::wstring> Items(HWND dialog, int id) {
    const bool combo = WindowClass(GetDlgItem(dialog, id)) == L"ComboBox";
    std::vector<std::wstring> items;
    const LRESULT count = SendDlgItemMessageW(dialog, id, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[600] = {};
        SendDlgItemMessageW(dialog, id, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
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

void PumpFor(DWORD milliseconds) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(10)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace harness
