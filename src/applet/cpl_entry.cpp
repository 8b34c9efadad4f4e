// CPlApplet, the applet library's one entry point: the Control Panel's
// messages 1 to 8.
#include "platform/win32/windows_api.h"

#include "base/app_state.h"
#include "applet/startup.h"
#include "base/text.h"
#include "resource.h"
#include "ui/dialogs.h"

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(NEWCPLINFOW) == 468, "the 32-bit NEWCPLINFOW is 468 bytes");
#endif

namespace {

void FillNewCplInfo(NEWCPLINFOW* record) {
    vca::CplEntryInfo info{};
    vca::FillCplEntryInfo(&info);
    record->dwSize = sizeof(NEWCPLINFOW);
    record->dwFlags = info.flags;
    record->dwHelpContext = info.helpContext;
    record->lData = info.data;
    record->hIcon = reinterpret_cast<HICON>(info.icon);
    static_assert(sizeof record->szName / sizeof(wchar_t) == vca::kCplNameChars, "szName");
    static_assert(sizeof record->szInfo / sizeof(wchar_t) == vca::kCplInfoChars, "szInfo");
    static_assert(sizeof record->szHelpFile / sizeof(wchar_t) == vca::kCplHelpFileChars, "szHelpFile");
    vca::CopyText(reinterpret_cast<char16_t*>(record->szName), vca::kCplNameChars, info.name);
    vca::CopyText(reinterpret_cast<char16_t*>(record->szInfo), vca::kCplInfoChars, info.info);
    vca::CopyText(reinterpret_cast<char16_t*>(record->szHelpFile), vca::kCplHelpFileChars, info.helpFile);
}

}  // namespace

// Exported through the .def file only: a dllexport here would add the
// decorated CPlApplet@16 to the 32-bit export table.
extern "C" LONG APIENTRY CPlApplet(HWND hwndCPl, UINT message, LPARAM lParam1,
                                                        LPARAM lParam2) {
    (void)lParam1;
    switch (message) {
        case CPL_INIT:
            vca::InitApplet(platform::GetModuleHandle(u"nrvavca.cpl"));
            return 1;
        case CPL_GETCOUNT:
            return 1;
        case CPL_DBLCLK:
            if (vca::StartApplet())
                DialogBoxParamW(reinterpret_cast<HINSTANCE>(vca::resourceLibrary),
                                MAKEINTRESOURCEW(IDD_MAIN), hwndCPl, vca::MainDialogProc, 0);
            return 0;
        case CPL_NEWINQUIRE:
            if (lParam2) FillNewCplInfo(reinterpret_cast<NEWCPLINFOW*>(lParam2));
            return 0;
        case CPL_INQUIRE:
        case CPL_SELECT:
        case CPL_STOP:
        case CPL_EXIT:
        default:
            return 0;
    }
}
