// The main dialog, first cut: it shows what identification found and closes
// with OK or Cancel. The mode, monitor, gamma and option controls come with
// the dialogs' own work.
#include "ui/dialogs.h"

#include "applet/app_state.h"
#include "applet/resource_library.h"
#include "driver/board_identity.h"
#include "resource.h"

namespace vca {

namespace {

void OnInitDialog(HWND dialog) {
    mainDialog = reinterpret_cast<platform::Window>(dialog);
    std::u16string board = driverAbsent ? std::u16string(u"-")
                                        : LoadResourceString(BoardNameStringId(boardIdentity));
    SetDlgItemTextW(dialog, IDC_MAIN_BOARD_LINE, reinterpret_cast<const wchar_t*>(board.c_str()));
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                mainDialog = 0;
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace vca
