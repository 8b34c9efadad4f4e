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

#include "win32/window_watch.h"

namespace harness {

using Script = std::function<void(HWND dialog)>;
using Requests = std::vector<std::vector<unsigned>>;  // the input words of each request

using watch::KeySnapshot;
using watch::StoredValue;
using watch::Text;
using watch::WindowClass;

// A value of 4 bytes as a number; 0xFFFFFFFF when missing or of another size.
DWORD StoredNumber(const KeySnapshot& key, const wchar_t* name);

class AppletSession {
public:
    // Fills the emptied driver key as a driver installation leaves it (no
    // DefaultSettings.*; with `keepKey` the key stays as it is), installs
    // data/revid.dat, selects the board (a name in data/boards/ or a path
    // relative to the source folder) and a fresh request log, and loads
    // nrvavca.cpl afresh with CPL_INIT.
    explicit AppletSession(const std::string& profile, bool keepKey = false);
    ~AppletSession();

    // Values stored in the driver key before the double click.
    static void SetValue(const wchar_t* name, DWORD type, const void* data, DWORD size);
    void SetDword(const wchar_t* name, DWORD value) { SetValue(name, REG_DWORD, &value, sizeof value); }
    void SetString(const wchar_t* name, const std::wstring& value) {  // with its terminator
        SetValue(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    // Another timing database (relative to the source folder) as revid.dat.
    static void UseDatabase(const std::string& relativePath);

    // Clicks `button` of `owner`; the dialog that opens runs `script` inside
    // its modal loop, then is ended if it is still open: by Cancel, or by the
    // button of a dialog that ignores Cancel. The owner must be disabled
    // while the dialog is open and enabled again after it.
    void Open(HWND owner, int button, Script script);
    // CPL_DBLCLK, `main` being the main dialog's script; without one,
    // start-up is expected to stop before the main dialog.
    void DoubleClick(Script main = nullptr);

    const std::vector<std::wstring>& Boxes() const;  // message boxes so far, each answered OK
    // What the applet sent the simulated driver since the log was last
    // looked at or cleared: the input words (up to eight) of each `request`
    // ("set-gamma", "set-option", "set-contrast", ...). Looking clears it.
    Requests Sent(const std::string& request);
    void ClearDriverLog();
    KeySnapshot ReadKey() const { return watch::ReadDriverKey(); }
    static std::wstring ResourceString(UINT id);  // of vca0409.dll

private:
    HMODULE module_ = nullptr;
};

// A file of the source folder, as a Windows path.
std::wstring SourcePath(const std::string& relative);

// A complete driver key that can only be read (the applet then warns): a
// first start on `profile` writes every default, then the key is locked.
void LeaveCompleteReadOnlyKey(const std::string& profile);

// What a user does to a control, as messages. Choose(): a click on the item
// with that text in a combo box's list, a double click on it in a list box.
void Click(HWND dialog, int id);                             // BM_CLICK
void Choose(HWND dialog, int id, const std::wstring& item);  // CB_/LB_SETCURSEL + CBN_SELCHANGE or LBN_DBLCLK
void Scroll(HWND dialog, int id, int code, int thumb = 0);   // WM_HSCROLL from the scroll bar
void ClickAt(HWND dialog, int id);                           // WM_LBUTTONUP over a control's centre

// What a user sees. States(): one character per control, '-' disabled,
// 'o' enabled, 'x' enabled and checked, '#' disabled and checked.
bool Enabled(HWND dialog, int id);
bool Visible(HWND dialog, int id);
std::string States(HWND dialog, std::initializer_list<int> ids);
int ScrollPosition(HWND dialog, int id);
std::vector<std::wstring> Items(HWND dialog, int id);  // of a list or combo box

// GDI objects and DCs alive in this process now. Wine's caches grow at a
// first run, so compare the counts around a second run of the same steps.
DWORD GdiObjects();
void PumpFor(DWORD milliseconds);  // dispatches this thread's messages

}  // namespace harness
