// The board options dialog (template 116): the two board options, sent to
// the driver as soon as a box is clicked, kept by OK and taken back by
// Cancel.
#include "ui/dialogs.h"

#include <cstdint>

#include "base/app_state.h"
#include "driver/driver_escape.h"
#include "help_contexts.h"
#include "resource.h"
#include "ui/dialog_support.h"

namespace vca {

namespace {

constexpr UINT_PTR kHelpTimer = 1;
constexpr UINT kHelpPollMilliseconds = 40;
constexpr std::uint32_t kHelpContext = IDH_BOARD_OPTIONS;

constexpr std::uint32_t kOption1Off = 2;  // Preference2 when the box is checked: 0
constexpr std::uint32_t kOption2On = 4;

// The working settings as the dialog edits them; copied back by OK.
DisplaySettings optionsCopy;

void SendOption(int operation, std::uint32_t value) { DriverEscape(operation, 0, &value); }

void OnInitDialog(HWND dialog) {
    optionsCopy = workingSettings;
    // Box 1099 reads the other way round: checked means Preference2 is 0.
    CheckItem(dialog, IDC_OPTIONS_PREFERENCE2, optionsCopy.Preference2 == 0);
    CheckItem(dialog, IDC_OPTIONS_PREFERENCE4, optionsCopy.Preference4 == kOption2On);
    EnableItem(dialog, IDC_OPTIONS_PREFERENCE4, false);
    ShowItem(dialog, IDC_OPTIONS_PREFERENCE4, false);
    CentreOverMainDialog(dialog, 10, 40);
    SetTimer(dialog, kHelpTimer, kHelpPollMilliseconds, nullptr);
}

void OnPreference2Clicked(HWND dialog) {
    optionsCopy.Preference2 = ItemChecked(dialog, IDC_OPTIONS_PREFERENCE2) ? 0 : kOption1Off;
    SendOption(kOpSetOption1, optionsCopy.Preference2);
}

void OnPreference4Clicked(HWND dialog) {
    optionsCopy.Preference4 = ItemChecked(dialog, IDC_OPTIONS_PREFERENCE4) ? kOption2On : 0;
    SendOption(kOpSetOption2, optionsCopy.Preference4);
}

void OnOk(HWND dialog) {
    KillTimer(dialog, kHelpTimer);
    workingSettings = optionsCopy;
    EndDialog(dialog, 1);
    EnableMainDialog();
}

// The driver goes back to the values the dialog started from: both are
// sent, whether they were changed or not.
void OnCancel(HWND dialog) {
    SendOption(kOpSetOption1, workingSettings.Preference2);
    SendOption(kOpSetOption2, workingSettings.Preference4);
    KillTimer(dialog, kHelpTimer);
    EndDialog(dialog, 1);
    EnableMainDialog();
}

void OnCommand(HWND dialog, int id) {
    switch (id) {
        case IDC_OPTIONS_PREFERENCE2: OnPreference2Clicked(dialog); break;
        case IDC_OPTIONS_PREFERENCE4: OnPreference4Clicked(dialog); break;
        case IDOK: OnOk(dialog); break;
        case IDCANCEL: OnCancel(dialog); break;
        case IDC_HELP_BUTTON: OpenHelp(dialog, kHelpContext); break;
        default: break;
    }
}

// Help for as long as F1 is held, whatever has the focus.
INT_PTR OnTimer(HWND dialog, UINT_PTR timer) {
    if (timer != kHelpTimer || !HelpKeyDown()) return TRUE;
    OpenHelp(dialog, kHelpContext);
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK BoardOptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (IsWhiteColourMessage(message)) return PaintWhite(wParam);
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam));
            return TRUE;
        case WM_TIMER:
            return OnTimer(dialog, wParam);
        default:
            return FALSE;
    }
}

}  // namespace vca
