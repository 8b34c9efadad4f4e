// What the Win32 tests and the sweep runner share about the applet's
// windows and its driver key: the dialogs that become active on this
// thread, which of them are message boxes, the texts they show, and the
// key's values and rights.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace watch {

extern const wchar_t kDriverKey[];

// One stored registry value: its type and its bytes.
using StoredValue = std::pair<DWORD, std::vector<BYTE>>;
using KeySnapshot = std::map<std::wstring, StoredValue>;

// Hooks the activation of dialogs on this thread and calls `poll` every
// `ms` milliseconds inside whatever modal loop runs; Stop() undoes both.
void Start(TIMERPROC poll, UINT ms);
void Stop();
// The dialogs (#32770) activated since Start(), each once, oldest first.
std::deque<HWND>& Activated();

// A message box: a static text 0xFFFF and no control 1037.
bool IsMessageBox(HWND window);
std::wstring WindowClass(HWND window);
std::wstring Text(HWND dialog, int id);

// The driver key's values (an unopenable key is opened for the look and
// locked again); empty when there is no key.
KeySnapshot ReadDriverKey();
// Gives the driver key the rights of a security descriptor in SDDL; false
// when there is no key.
bool SetDriverKeyRights(const wchar_t* sddl);
extern const wchar_t kEveryoneAll[], kReadOnly[], kNoAccess[];

}  // namespace watch
