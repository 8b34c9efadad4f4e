// The main dialog (template 101): the mode, monitor, dual-screen and stereo
// controls on the working settings, the secondary dialogs, and OK, Cancel
// and Defaults. Each message and command goes to a named handler.
#include <array>

#include "base/app_state.h"
#include "base/resource_library.h"
#include "dialogs/confirmation.h"
#include "dialogs/main_session.h"
#include "dialogs/main_texts.h"
#include "driver/board_identity.h"
#include "gamma/gamma_table.h"
#include "modes/mode_controls.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_table.h"
#include "timingdb/monitor_catalogue.h"
#include "help_contexts.h"
#include "resource.h"
#include "settings/default_settings.h"
#include "ui/dialog_support.h"
#include "ui/dialogs.h"
#include "ui/main_controls.h"

namespace vca {

namespace {

constexpr UINT_PTR kHelpTimer = 1;
constexpr UINT kHelpPollMs = 40;
constexpr COLORREF kGrayText = RGB(0x84, 0x82, 0x84);

COLORREF savedGrayTextColour = 0;

struct HelpContext {
    int control;
    std::uint32_t context;
};
constexpr std::array<HelpContext, 14> kHelpContexts{{
    {IDC_MAIN_RESOLUTION_SCROLL, IDH_RESOLUTION}, {IDC_MAIN_COLOUR, IDH_COLOUR_DEPTH},
    {IDC_MAIN_REFRESH, IDH_REFRESH},              {IDC_MAIN_MONITOR, IDH_MONITOR},
    {IDC_MAIN_DUAL_SCREEN, IDH_DUAL_SCREEN},      {IDC_MAIN_ARRANGEMENT_1, IDH_ARRANGEMENT},
    {IDC_MAIN_ARRANGEMENT_2, IDH_ARRANGEMENT},    {IDC_MAIN_PREFERENCE_SET, IDH_PREFERENCE},
    {IDC_MAIN_PREFERENCE_CLEAR, IDH_PREFERENCE},  {IDC_MAIN_STEREO, IDH_STEREO},
    {IDC_MAIN_GAMMA, IDH_GAMMA},                  {IDC_MAIN_BOARD_OPTIONS, IDH_BOARD_OPTIONS},
    {IDC_MAIN_DEFAULTS, IDH_DEFAULTS},            {IDC_MAIN_MONITOR_TIMINGS, IDH_MONITOR_TIMINGS},
}};
constexpr std::uint32_t kMainHelpContext = IDH_MAIN;

void StartHelpPoll(HWND dialog) { SetTimer(dialog, kHelpTimer, kHelpPollMs, nullptr); }

// A message box over the disabled dialog; the dialog comes back on OK.
void Tell(HWND dialog, std::uint32_t message, std::uint32_t type, bool focus = true) {
    EnableWindow(dialog, FALSE);
    if (ShowMessage(message, type) == IDOK) {
        EnableWindow(dialog, TRUE);
        if (focus) SetFocus(dialog);
    }
}

void SetPaletteUse(HWND dialog, UINT use) {
    HDC dc = GetDC(dialog);
    SetSystemPaletteUse(dc, use);
    ReleaseDC(dialog, dc);
}

void ShowBoardLines(HWND dialog) {
    BoardLines lines = MakeBoardLines();
    monitorTextControl = lines.monitorTextControl;
    if (lines.noDriver) SetItemText(dialog, IDC_MAIN_NO_DRIVER, lines.notice);
    SetItemText(dialog, IDC_MAIN_BOARD_LINE, lines.boardLine);
    if (lines.capabilityShown) SetItemText(dialog, IDC_MAIN_CAPABILITY_LINE, lines.capability);
}

void OnInitDialog(HWND dialog) {
    mainDialog = reinterpret_cast<platform::Window>(dialog);
    LoadDialogBitmap();
    workingSettings = loadedSettings;
    savedGamma[0] = currentGamma[0];
    savedGamma[1] = currentGamma[1];
    SetClassLongPtrW(dialog, GCLP_HICON,
                     reinterpret_cast<LONG_PTR>(LoadIconW(reinterpret_cast<HINSTANCE>(resourceLibrary), L"MONITR01")));
    TrimSystemMenu(dialog);
    ShowBoardLines(dialog);

    FillColourList();
    SelectColourItem();
    ShowRefreshChoice();
    FillMonitorList();
    SelectMonitor();
    ShowMonitorText();
    ShowTextureMemory();
    EnableItem(dialog, IDC_MAIN_MONITOR_TIMINGS, IsDdcMonitorName(loadedSettings.Description));
    SetupResolutionControls();
    if (driverAbsent) {
        EnableItem(dialog, IDC_MAIN_GAMMA, false);
        EnableItem(dialog, IDC_MAIN_MONITOR_TIMINGS, false);
    }

    const bool stereoOffered = AnyStereoRates();
    EnableItem(dialog, IDC_MAIN_STEREO, stereoOffered);
    if (stereoOffered) CheckItem(dialog, IDC_MAIN_STEREO, loadedSettings.Stereo != 0);

    const bool twoScreens = boardIdentity.secondScreen || driverAbsent;
    EnableItem(dialog, IDC_MAIN_DUAL_SCREEN, twoScreens);
    if (twoScreens) CheckItem(dialog, IDC_MAIN_DUAL_SCREEN, loadedSettings.DualScreen != 0);
    const bool arranged = twoScreens && loadedSettings.DualScreen != 0;
    EnableItem(dialog, IDC_MAIN_ARRANGEMENT_LABEL, arranged);
    EnableItem(dialog, IDC_MAIN_OPTION_LABEL, arranged);
    SetArrangementButtons(loadedSettings.DualScreen, arranged);
    SetPreferenceButtons(loadedSettings.Preference1, arranged);
    rememberedArrangement = 1;
    EnableItem(dialog, IDC_MAIN_STEREO_GROUP, stereoOffered || twoScreens);

    SetPaletteUse(dialog, SYSPAL_NOSTATIC);
    savedGrayTextColour = GetSysColor(COLOR_GRAYTEXT);
    INT element = COLOR_GRAYTEXT;
    COLORREF grey = kGrayText;
    SetSysColors(1, &element, &grey);

    CentreOnScreen(dialog);
    ShowWindow(dialog, SW_SHOW);
    SetFocus(dialog);
    PaintDialogBitmap();
    if (firstOpen) {
        firstOpen = false;
        if (readOnlySettings) Tell(dialog, 29, kBoxExclamation);
    }
    StartHelpPoll(dialog);
}

// Restores what the dialog changed in the system, releases every table and
// the bitmap, and ends the dialog.
void EndMainDialog(HWND dialog) {
    INT element = COLOR_GRAYTEXT;
    COLORREF saved = savedGrayTextColour;
    SetSysColors(1, &element, &saved);
    SetPaletteUse(dialog, SYSPAL_STATIC);
    ReleaseAllTables();
    ReleaseDialogBitmap();
    EndDialog(dialog, 0);
    mainDialog = 0;
}

void StopHelp(HWND dialog) {
    KillTimer(dialog, kHelpTimer);
    QuitHelp(dialog);
}

void OnOk(HWND dialog) {
    StopHelp(dialog);
    StoreChosenMonitor();
    settingsToSave = DisplaySettings{};
    settingsToSave = workingSettings;
    INT_PTR result = 1;
    if (driverAbsent) {
        confirmationFlags = ComputeConfirmationFlags(settingsToSave, boardIdentity.monitorCode);
        if (ConfirmationNeeded(settingsToSave, confirmationFlags)) {
            EnableWindow(dialog, FALSE);
            result = DialogBoxParamW(reinterpret_cast<HINSTANCE>(resourceLibrary),
                                     MAKEINTRESOURCEW(IDD_CONFIRM_SETTINGS), dialog,
                                     ConfirmSettingsDialogProc, 0);
        }
    }
    if (result != 1) {
        StartHelpPoll(dialog);
        return;
    }
    if (readOnlySettings) {
        Tell(dialog, 29, kBoxExclamation);
    } else {
        int status = SaveDefaultSettings(driverKeyPath);
        if (status != kSettingsOk)
            Tell(dialog, status == kSettingsKeyUnavailable ? 16 : 17, kBoxExclamation);
        else if (ModeOrMonitorChanged(settingsToSave, loadedSettings))
            Tell(dialog, 20, kBoxInformation, false);
    }
    EndMainDialog(dialog);
}

void OnCancel(HWND dialog) {
    StopHelp(dialog);
    RestoreDriverOnCancel();
    EndMainDialog(dialog);
}

void OnDefaults(HWND dialog) {
    workingSettings.XResolution = 640;
    workingSettings.YResolution = 480;
    workingSettings.VRefresh = 60;
    if (!AllStereoOnly()) {
        workingSettings.Stereo = 0;
        SelectActiveView(0);
        CheckItem(dialog, IDC_MAIN_STEREO, false);
    }
    EnsureResolutionListed();
    workingSettings.DualScreen = 0;
    ShowDualScreenControls();
    SetupResolutionControls();
    ShowRefreshChoice();
    ShowModeFigures();
    BuildModeDescriptions();
    ResetDriverToDefaults();
}

void OnDualScreenToggled() {
    if (workingSettings.DualScreen != 0) {
        rememberedArrangement = workingSettings.DualScreen;
        workingSettings.DualScreen = 0;
    } else {
        workingSettings.DualScreen = rememberedArrangement;
    }
    ShowDualScreenControls();
}

void OnStereoToggled(HWND dialog) {
    if (AllStereoOnly()) {
        Tell(dialog, 1202, kBoxInformation);
        CheckItem(dialog, IDC_MAIN_STEREO, true);
        return;
    }
    if (workingSettings.Stereo) {
        workingSettings.Stereo = 0;
    } else {
        workingSettings.Stereo = 1;
        CheckItem(dialog, IDC_MAIN_STEREO, true);
    }
    SelectActiveView(workingSettings.Stereo);
    EnsureResolutionListed();
    SetupResolutionControls();
    ShowRefreshChoice();
    ShowModeFigures();
    BuildModeDescriptions();
}

void OnScroll(WPARAM wParam) {
    std::int32_t position = FindCurrentResolution() + 1;
    position = ApplyScrollCode(position, LOWORD(wParam), HIWORD(wParam));
    position = ClampScrollPosition(position, modeCount);
    if (modeCount == 0) return;  // an empty view has no entry to take
    const ModeViewEntry& entry = activeView[position - 1];
    workingSettings.XResolution = entry.width;
    workingSettings.YResolution = entry.height;
    SetScrollPos(GetDlgItem(MainDialogWindow(), IDC_MAIN_RESOLUTION_SCROLL), SB_CTL, position, TRUE);
    SetItemText(MainDialogWindow(), IDC_MAIN_RESOLUTION_TEXT, ResolutionText());
    ShowModeFigures();
    if (fixedRefresh)
        ShowFixedRefresh();
    else
        KeepNearestRefresh();
    SyncColourDepth();
}

// Opens a secondary dialog over the disabled main dialog and takes the
// main dialog back when it returns.
void RunSecondary(HWND dialog, int templateId, DLGPROC procedure, bool enableAfter, bool paintAfter) {
    EnableWindow(dialog, FALSE);
    DialogBoxParamW(reinterpret_cast<HINSTANCE>(resourceLibrary), MAKEINTRESOURCEW(templateId), nullptr,
                    procedure, 0);
    if (enableAfter) EnableWindow(dialog, TRUE);
    SetFocus(dialog);
    if (paintAfter) PaintDialogBitmap();
}

void OnAllModes(HWND dialog) {
    if (!descriptionsValid) {
        Tell(dialog, 85, kBoxExclamation);
        return;
    }
    RunSecondary(dialog, IDD_ALL_MODES, AllModesDialogProc, false, true);
}

void OnGamma(HWND dialog) {
    KillTimer(dialog, kHelpTimer);
    static constexpr int kGammaTemplates[3] = {IDD_GAMMA_SINGLE, IDD_GAMMA_SIDE_BY_SIDE, IDD_GAMMA_STACKED};
    int templateId = kGammaTemplates[workingSettings.DualScreen <= 2 ? workingSettings.DualScreen : 0];
    RunSecondary(dialog, templateId, GammaDialogProc, true, true);
    StartHelpPoll(dialog);
}

void OnMonitorTimings(HWND dialog) {
    int templateId = workingSettings.DualScreen == 0 ? IDD_MONITOR_TIMINGS : IDD_MONITOR_TIMINGS_DUAL;
    RunSecondary(dialog, templateId, MonitorTimingsDialogProc, true, true);
}

void OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
        case IDCANCEL: OnCancel(dialog); break;
        case IDC_HELP_BUTTON: OpenHelp(dialog, kMainHelpContext); break;
        case IDC_MAIN_ALL_MODES: OnAllModes(dialog); break;
        case IDC_MAIN_BOARD_INFO: RunSecondary(dialog, IDD_BOARD_INFO, BoardInfoDialogProc, true, true); break;
        case IDC_MAIN_GAMMA: OnGamma(dialog); break;
        case IDC_MAIN_MONITOR_TIMINGS: OnMonitorTimings(dialog); break;
        case IDC_MAIN_BOARD_OPTIONS:
            RunSecondary(dialog, IDD_BOARD_OPTIONS, BoardOptionsDialogProc, true, false);
            break;
        case IDC_MAIN_DUAL_SCREEN: OnDualScreenToggled(); break;
        case IDC_MAIN_STEREO: OnStereoToggled(dialog); break;
        case IDC_MAIN_ARRANGEMENT_1: workingSettings.DualScreen = 1; break;
        case IDC_MAIN_ARRANGEMENT_2: workingSettings.DualScreen = 2; break;
        case IDC_MAIN_PREFERENCE_SET: workingSettings.Preference1 = 1; break;
        case IDC_MAIN_PREFERENCE_CLEAR: workingSettings.Preference1 = 0; break;
        case IDC_MAIN_OK: OnOk(dialog); break;
        case IDC_MAIN_DEFAULTS: OnDefaults(dialog); break;
        default: break;  // IDOK (Enter) included: only 1036 saves
    }
}

void OnSelectionChanged(HWND dialog, HWND list) {
    if (list == GetDlgItem(dialog, IDC_MAIN_COLOUR))
        OnColourChanged();
    else if (list == GetDlgItem(dialog, IDC_MAIN_REFRESH))
        OnRefreshChanged();
    else if (list == GetDlgItem(dialog, IDC_MAIN_MONITOR))
        OnMonitorChanged();
}

// Timer 1: F1 held down opens the help of the control with the focus.
INT_PTR OnTimer(HWND dialog, WPARAM timer) {
    if (timer != kHelpTimer || !HelpKeyDown()) return TRUE;
    std::uint32_t context = kMainHelpContext;
    HWND focus = GetFocus();
    for (const HelpContext& entry : kHelpContexts)
        if (focus && focus == GetDlgItem(dialog, entry.control)) context = entry.context;
    OpenHelp(dialog, context);
    return FALSE;
}

bool IsColourMessage(UINT message) {
    return message == WM_CTLCOLORMSGBOX || message == WM_CTLCOLORSCROLLBAR || IsWhiteColourMessage(message);
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_PAINT:
            PaintDialogBitmap();
            return FALSE;
        case WM_COMMAND:
            OnCommand(dialog, wParam);
            if (HIWORD(wParam) == CBN_SELCHANGE && mainDialog)
                OnSelectionChanged(dialog, reinterpret_cast<HWND>(lParam));
            return TRUE;
        case WM_TIMER:
            return OnTimer(dialog, wParam);
        case WM_HSCROLL:
            OnScroll(wParam);
            return TRUE;
        default:
            if (IsColourMessage(message)) {
                PaintDialogBitmap();
                return PaintWhite(wParam);
            }
            return FALSE;
    }
}

}  // namespace vca
