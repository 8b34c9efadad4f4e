// The board information dialog (template 1064): the board, driver and
// memory texts collected at start-up. It closes only through its button.
#include "ui/dialogs.h"

#include "resource.h"
#include "settings/hardware_info.h"
#include "ui/dialog_support.h"

namespace vca {

namespace {

void OnInitDialog(HWND dialog) {
    const HardwareInfo& info = hardwareInfo;
    const struct {
        int id;
        const char16_t* text;
    } fields[] = {
        {IDC_INFO_BOARD, info.board},       {IDC_INFO_COMPANY, info.company},
        {IDC_INFO_VERSION, info.version},   {IDC_INFO_DRIVER_FILES, info.driverFiles},
        {IDC_INFO_CHIP, info.chip},         {IDC_INFO_DAC, info.dac},
        {IDC_INFO_MEMORY, info.memory},     {IDC_INFO_ADAPTER, info.adapter},
    };
    for (const auto& field : fields) SetItemText(dialog, field.id, field.text);
    CentreOverMainDialog(dialog, 10, 30);
    ShowWindow(dialog, SW_SHOW);
    SetFocus(dialog);
}

}  // namespace

INT_PTR CALLBACK BoardInfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (IsWhiteColourMessage(message)) return PaintWhite(wParam);
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            // Escape and the Close item (IDCANCEL) do nothing.
            if (LOWORD(wParam) == IDOK) {
                EnableMainDialog();
                EndDialog(dialog, 0);
            }
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace vca
