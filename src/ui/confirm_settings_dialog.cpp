// The confirmation dialog (template 107): before the no-driver mode saves
// settings that the board may not show, it lists them and lets the user go
// on (1) or go back (0).
#include "ui/dialogs.h"

#include "base/app_state.h"
#include "dialogs/confirmation.h"
#include "dialogs/confirmation_text.h"
#include "resource.h"
#include "ui/dialog_support.h"

namespace vca {

namespace {

void OnInitDialog(HWND dialog) {
    TrimSystemMenu(dialog);
    // With nothing to list the template's own text stays.
    if (ConfirmationNeeded(settingsToSave, confirmationFlags))
        SetItemText(dialog, IDC_CONFIRM_LIST, ConfirmationListText(settingsToSave, confirmationFlags));
    CentreOnScreen(dialog);
}

}  // namespace

INT_PTR CALLBACK ConfirmSettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (IsWhiteColourMessage(message)) return PaintWhite(wParam);
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            // Only "go on" saves; every other command, the Escape key and
            // the Close item included, goes back.
            EnableMainDialog();
            if (LOWORD(wParam) == IDOK) {
                EndDialog(dialog, 1);
                return TRUE;
            }
            EndDialog(dialog, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace vca
