// Not built yet: this dialog ends at its first command.
#include "ui/dialog_support.h"
#include "ui/dialogs.h"

namespace vca {

INT_PTR CALLBACK BoardOptionsDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND) return FALSE;
    EnableMainDialog();
    EndDialog(dialog, 0);
    return TRUE;
}

}  // namespace vca
