// What the gamma dialog and its test picture share while they are open.
#pragma once

#include "gamma/gamma_table.h"
#include "platform/win32/windows_api.h"

namespace vca {

// The open gamma dialog (null when none is open) and the screen whose
// record of the dialog pair is being edited (0 or 1).
extern HWND gammaDialogWindow;
extern int gammaEditedScreen;

// Sets the gamma dialog's controls from one record, falling back to the
// linear table when the record cannot be shown as it is. Sends nothing.
void ShowScreenGamma(HWND dialog, ScreenGamma* record);

}  // namespace vca
