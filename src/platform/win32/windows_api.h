// <windows.h> for the files that may use it, without the A/W macros whose
// names the platform seam uses for its own functions.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#include <windows.h>
#include <commdlg.h>
#include <cpl.h>

#undef RegCreateKey
#undef RegQueryValue
#undef RegSetValue
#undef GetWindowsDirectory
#undef GetSystemDirectory
#undef GetModuleHandle
#undef LoadLibrary
#undef LoadString
#undef LoadIcon
#undef MessageBox
#undef FormatMessage
