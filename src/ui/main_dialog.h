// The main dialog (template 101).
#pragma once

#include "platform/win32/windows_api.h"

namespace vca {

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace vca
