// What the Win32 tests and the sweep runner share about the applet: its
// entry, the dialogs that become active on this thread, which of them are
// message boxes, the texts they show, the files it uses, and the driver
// key's values and rights.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace watch {

extern const wchar_t kDriverKey[];

// One stored registry value: its type and its bytes.
using StoredValue = std::pair<DWORD, std::vector<BYTE>>;
using KeySnapshot = std::map<std::wstring, StoredValue>;

using CplFunction = LONG(APIENTRY*)(HWND, UINT, LPARAM, LPARAM);
// The CPlApplet export of a loaded applet; null without one.
CplFunction CplEntry(HMODULE applet);

// Hooks the activation of dialogs on this thread and calls `poll` every
// `ms` milliseconds inside whatever modal loop runs; Stop() undoes both.
void Start(TIMERPROC poll, UINT ms);
void Stop();
// The oldest dialog (#32770) activated since Start() and not yet handed
// out that still exists; null when there is none.
HWND NextActivated();

// A message box (a static text 0xFFFF and no control 1037) gets OK and its
// text goes to `text`; false for any other window.
bool AnswerBox(HWND window, std::wstring* text);
std::wstring WindowClass(HWND window);
std::wstring Text(HWND dialog, int id);

// A file of the system directory; a file of the temporary folder whose
// name holds this process's id.
std::wstring SystemFile(const std::wstring& name);
std::string ProcessTempFile(const std::string& prefix, const std::string& suffix);

// Deletes the driver key (whatever its rights) and creates it empty.
void EmptyDriverKey();
// Stores a value in the driver key with non-zero bytes after its data: a
// text type whose count leaves out a terminator that follows would
// otherwise get the terminator added.
bool SetDriverValue(const std::wstring& name, const StoredValue& value);
// The driver key's values (an unopenable key is opened for the look and
// locked again); empty when there is no key.
KeySnapshot ReadDriverKey();
// Gives the driver key the rights of a security descriptor in SDDL; false
// when there is no key.
bool SetDriverKeyRights(const wchar_t* sddl);
extern const wchar_t kEveryoneAll[], kReadOnly[], kNoAccess[];

}  // namespace watch
