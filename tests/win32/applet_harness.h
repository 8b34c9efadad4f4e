// Drives the real nrvavca.cpl as the Control Panel and a user would: a
// prepared driver key and timing database, a simulated board whose request
// log is read back, CPL_INIT and CPL_DBLCLK, and scripts that run inside
// the modal loops of the dialogs that open.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace harness {

using Script = std::function<void(HWND dialog)>;

// One stored registry value: its type and bytes.
struct StoredValue {
    DWORD type = 0;
    std::vector<BYTE> bytes;
    bool operator==(const StoredValue& other) const { return type == other.type && bytes == other.bytes; }
};
using KeySnapshot = std::map<std::wstring, StoredValue>;

// A value of exactly 4 bytes as a little-endian number; 0xFFFFFFFF when the
// value is missing or of another size.
DWORD StoredNumber(const KeySnapshot& key, const wchar_t* name);

class AppletSession {
public:
    // Empties the driver key and fills it as a driver installation leaves
    // it (hardware information, pixel-clock limits; no DefaultSettings.*),
    // copies revid.dat into the system directory, selects the board (a name
    // in data/boards/, or a path relative to the source folder) and a fresh
    // request log, loads nrvavca.cpl and sends CPL_INIT. With `keepKey` the
    // driver key stays as an earlier session left it. Each session loads the
    // applet afresh (its process-wide state too).
    explicit AppletSession(const std::string& profile, bool keepKey = false);
    ~AppletSession();

    // Values stored in the driver key before the double click.
    void SetValue(const wchar_t* name, DWORD type, const void* data, DWORD size);
    void SetDword(const wchar_t* name, DWORD value) { SetValue(name, REG_DWORD, &value, sizeof value); }
    void SetString(const wchar_t* name, const std::wstring& value) {
        SetValue(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    // Installs another timing database (relative to the source folder) as
    // the system's revid.dat.
    void UseDatabase(const std::string& relativePath);

    // The next dialog that opens (after those already expected) runs
    // `script` inside its modal loop; a dialog still open when its script
    // returns is sent Cancel (2).
    void ExpectDialog(Script script);
    // CPL_DBLCLK, with `main` as the main dialog's script. Without `main`
    // start-up is expected to stop before the main dialog.
    void DoubleClick(Script main = nullptr);

    // Message boxes seen so far, by text; each was answered with OK.
    const std::vector<std::wstring>& Boxes() const;
    // Lines of the simulated driver's request log since the last clear.
    std::vector<std::string> DriverLog() const;
    void ClearDriverLog();
    // The input words the log shows (up to eight) of each `request` of it
    // since the last clear: "set-gamma", "set-option", "set-contrast", ...
    std::vector<std::vector<unsigned>> Requests(const std::string& request) const;
    // Every value of the driver key now.
    KeySnapshot ReadKey() const;
    // String `id` of the loaded resource library.
    std::wstring ResourceString(UINT id) const;

private:
    HMODULE module_ = nullptr;
    std::wstring logPath_;
};

// A complete driver key that can only be read: a first start on `profile`
// writes every default and OK ends it, then the key is made read-only (the
// applet then warns).
void LeaveCompleteReadOnlyKey(const std::string& profile);

// What a user does to a control, as messages.
void Click(HWND dialog, int id);                           // BM_CLICK
void SelectComboItem(HWND dialog, int id, int index);      // CB_SETCURSEL + CBN_SELCHANGE
void DoubleClickListItem(HWND dialog, int id, int index);  // LB_SETCURSEL + LBN_DBLCLK
void Scroll(HWND dialog, int id, int code, int thumb = 0); // WM_HSCROLL from the scroll bar
void ClickAt(HWND dialog, int id);                         // WM_LBUTTONUP over a control's centre

// What a user sees.
std::wstring Text(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
bool Visible(HWND dialog, int id);
bool Checked(HWND dialog, int id);
// One character per control: '-' disabled, 'o' enabled, 'x' enabled and
// checked, '#' disabled and checked.
std::string States(HWND dialog, std::initializer_list<int> ids);
int ScrollPosition(HWND dialog, int id);
std::vector<std::wstring> ComboItems(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);
std::vector<std::wstring> ListItems(HWND dialog, int id);

// GDI objects and DCs alive in this process now. Window DCs come from a
// cache that grows once, so compare the counts after a second and a third
// run of the same steps: a leak grows them every time.
DWORD GdiObjects();

std::string Narrow(const std::wstring& text);

// Dispatches this thread's messages for a while (posted commands arrive).
void PumpFor(DWORD milliseconds);

// Lets the window paint, then saves what the screen shows of it (caption
// included) as a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::wstring& path);
// The folder named by VCA_SCREENSHOTS, or empty when pictures are not wanted.
std::wstring ScreenshotFolder();

}  // namespace harness
