// The all-modes dialog (template 102): every described mode of the active
// view, one line each; a pick is taken into the main dialog's working
// settings and controls at once.
#include "ui/dialogs.h"

#include <cstdint>

#include "base/app_state.h"
#include "driver/board_identity.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_table.h"
#include "modes/mode_views.h"
#include "help_contexts.h"
#include "resource.h"
#include "ui/dialog_support.h"
#include "ui/main_controls.h"

namespace vca {

namespace {

constexpr std::uint32_t kHelpContext = IDH_MAIN;

void OnInitDialog(HWND dialog) {
    CentreOverMainDialog(dialog, 10, 30);
    ShowWindow(dialog, SW_SHOW);
    for (std::uint32_t i = 0; modeDescriptions && i < modeDescriptionCount; ++i)
        SendDlgItemMessageW(dialog, IDC_ALL_MODES_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(modeDescriptions[i].text));
    SetFocus(dialog);
}

void ShowStereoControls(HWND main) {
    if (AnyStereoRates()) {
        EnableItem(main, IDC_MAIN_STEREO, true);
        EnableItem(main, IDC_MAIN_STEREO_GROUP, true);
        CheckItem(main, IDC_MAIN_STEREO, workingSettings.Stereo != 0);
        return;
    }
    EnableItem(main, IDC_MAIN_STEREO, false);
    workingSettings.Stereo = 0;
    CheckItem(main, IDC_MAIN_STEREO, false);
    EnableItem(main, IDC_MAIN_STEREO_GROUP, boardIdentity.secondScreen != 0 || driverAbsent);
}

// Ends the dialog, then takes the selected line over: the mode into the
// working settings, and every control of the main dialog that shows it.
void ApplyListedMode(HWND dialog) {
    const LRESULT selected = SendDlgItemMessageW(dialog, IDC_ALL_MODES_LIST, LB_GETCURSEL, 0, 0);
    EnableMainDialog();
    EndDialog(dialog, 0);
    if (selected == LB_ERR || !modeDescriptions ||
        static_cast<std::uint32_t>(selected) >= modeDescriptionCount)
        return;

    const ModeDescription& line = modeDescriptions[selected];
    workingSettings.XResolution = line.width;
    workingSettings.YResolution = line.height;
    workingSettings.BitsPerPel = line.colorDepth;
    workingSettings.VRefresh = line.refresh;
    workingSettings.DualScreen = line.arrangement;

    FillColourList();
    SelectColourItem();
    ShowRefreshChoice();
    SetupResolutionControls();
    HWND main = MainDialogWindow();
    ShowStereoControls(main);
    ShowModeFigures();
    ShowDualScreenControls();
}

void OnCommand(HWND dialog, int id, int notification) {
    switch (id) {
        case IDC_HELP_BUTTON:
            OpenHelp(dialog, kHelpContext);
            break;
        case IDC_ALL_MODES_CLOSE:
            EnableMainDialog();
            EndDialog(dialog, 0);
            break;
        case IDC_ALL_MODES_TAKE:
            ApplyListedMode(dialog);
            break;
        default:
            break;
    }
    // A double click on a line takes it, as 1043 does.
    if (notification == LBN_DBLCLK) ApplyListedMode(dialog);
}

}  // namespace

INT_PTR CALLBACK AllModesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (IsWhiteColourMessage(message)) return PaintWhite(wParam);
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            // Escape and the Close item (IDCANCEL) do nothing.
            OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace vca
