// The gamma dialog (templates 104, 105 and 106): for each screen a linear
// table, a table from a gamma value on the scroll bar, sent to the driver at
// every step, or a table from a gamma file; the test button shows the edited
// table for five seconds. Edits work on the dialog pair; OK makes it the
// saved pair, Cancel puts the saved tables back on the screens.
#include "base/app_state.h"
#include "base/resource_library.h"
#include "dialogs/gamma_choices.h"
#include "dialogs/window_arithmetic.h"
#include "driver/board_identity.h"
#include "driver/driver_escape.h"
#include "gamma/gamma_step.h"
#include "resource.h"
#include "ui/dialog_support.h"
#include "ui/dialogs.h"
#include "ui/gamma_edit.h"

namespace vca {

HWND gammaDialogWindow = nullptr;
int gammaEditedScreen = 0;

namespace {

constexpr UINT_PTR kHelpTimer = 1;
constexpr UINT kHelpTimerMs = 40;

const ScreenPictures kPictures{IDC_GAMMA_PICTURE_SIDE, IDC_GAMMA_PICTURE_STACKED, IDC_GAMMA_PICTURE_SCREEN1};

const int kValueGroup[] = {IDC_GAMMA_SCROLL, IDC_GAMMA_VALUE_TEXT, IDC_GAMMA_SCROLL_LOW_LABEL,
                           IDC_GAMMA_SCROLL_HIGH_LABEL};
const int kFileGroup[] = {IDC_GAMMA_FILE_PATH, IDC_GAMMA_CHOOSE_FILE, IDC_GAMMA_TEST};

// Bitmap 111 in a memory DC, one per screen picture (dual screen only).
MemoryBitmap monitorPictures[2];
int selectedPicture = 0;  // the picture with the selection frame, 0 when none

ScreenGamma& Edited() { return dialogGamma[gammaEditedScreen]; }

template <std::size_t N>
void EnableGroup(HWND dialog, const int (&group)[N], bool enable) {
    for (int id : group) EnableItem(dialog, id, enable);
}

// Enables the value group, the file group, both or neither; a group that is
// switched off shows no text.
void ShowSourceGroups(HWND dialog, bool value, bool file) {
    EnableGroup(dialog, kValueGroup, value);
    EnableGroup(dialog, kFileGroup, file);
    if (!value) SetItemText(dialog, IDC_GAMMA_VALUE_TEXT, u"");
    if (!file) SetItemText(dialog, IDC_GAMMA_FILE_PATH, u"");
}

void SetScrollBar(HWND dialog, int position) {
    HWND bar = GetDlgItem(dialog, IDC_GAMMA_SCROLL);
    SetScrollRange(bar, SB_CTL, kGammaScrollMin, kGammaScrollMax, FALSE);
    SetScrollPos(bar, SB_CTL, position, TRUE);
}

void SendEditedTable() { DriverEscape(kOpSetGammaTable, gammaEditedScreen, &Edited().table); }

// ---- Screen pictures ---------------------------------------------------------

void LoadMonitorPictures() {
    for (MemoryBitmap& picture : monitorPictures) LoadMemoryBitmap(&picture, IDB_SMALL_MONITOR, nullptr);
}

void ReleaseMonitorPictures() {
    for (MemoryBitmap& picture : monitorPictures) ReleaseMemoryBitmap(&picture);
}

// Copies a screen's bitmap into its picture at (3, 4) with the picture's
// client size, on white.
void PaintMonitorPicture(HDC target, const RECT& client, int screen) {
    const MemoryBitmap& picture = monitorPictures[screen];
    FillRect(target, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!picture.memory) return;
    BitBlt(target, client.left + 3, client.top + 4, client.right - client.left, client.bottom - client.top,
           picture.memory, 0, 0, SRCCOPY);
}

// Draws or erases the frame around the selected picture, if there is one.
void FrameSelectedPicture(HWND dialog, bool on) {
    if (HWND picture = selectedPicture ? GetDlgItem(dialog, selectedPicture) : nullptr)
        DrawSelectionFrame(dialog, picture, on);
}

void OpenMonitorPictures(HWND dialog) {
    const int screenZero = ScreenZeroPicture(kPictures, workingSettings.DualScreen);
    ShowItem(dialog, screenZero == IDC_GAMMA_PICTURE_SIDE ? IDC_GAMMA_PICTURE_STACKED : IDC_GAMMA_PICTURE_SIDE,
             false);
    LoadMonitorPictures();
    const int pictures[2] = {screenZero, kPictures.screenOne};
    for (int screen = 0; screen < 2; ++screen) {
        HWND control = GetDlgItem(dialog, pictures[screen]);
        if (!control) continue;
        RECT client;
        GetClientRect(control, &client);
        HDC dc = GetDC(control);
        if (!dc) continue;
        PaintMonitorPicture(dc, client, screen);
        ReleaseDC(control, dc);
    }
    selectedPicture = screenZero;
    FrameSelectedPicture(dialog, true);
}

// ---- Messages ----------------------------------------------------------------

void OnInitDialog(HWND dialog) {
    gammaDialogWindow = dialog;
    dialogGamma[0] = savedGamma[0];
    dialogGamma[1] = savedGamma[1];
    gammaEditedScreen = 0;
    selectedPicture = 0;
    ShowScreenGamma(dialog, &dialogGamma[0]);
    CentreOverMainDialog(dialog, 10, 30);
    ShowWindow(dialog, SW_SHOW);
    SetFocus(dialog);
    if (workingSettings.DualScreen != 0) OpenMonitorPictures(dialog);
    SetTimer(dialog, kHelpTimer, kHelpTimerMs, nullptr);
}

// Every step, thumb tracking included, computes the table and sends it.
void OnScroll(HWND dialog, int code, int thumb) {
    ScreenGamma& record = Edited();
    ApplyGammaScroll(&record, code, thumb);
    SendEditedTable();
    SetScrollPos(GetDlgItem(dialog, IDC_GAMMA_SCROLL), SB_CTL, record.GammaValue, TRUE);
    SetItemText(dialog, IDC_GAMMA_VALUE_TEXT, GammaValueText(record.gamma));
    gammaChanged = true;
}

void OnLinear(HWND dialog) {
    ShowSourceGroups(dialog, false, false);
    MakeLinearTable(&Edited().table);
    Edited().GammaDataSource = kGammaTableOnly;
    gammaChanged = true;
    SendEditedTable();
}

void OnValue(HWND dialog) {
    ScreenGamma& record = Edited();
    ShowSourceGroups(dialog, true, false);
    SetScrollBar(dialog, static_cast<int>(record.gamma * 100.0));
    if (record.gamma == 0.0) return;
    SetItemText(dialog, IDC_GAMMA_VALUE_TEXT, GammaValueText(record.gamma));
    ComputeGammaTable(record.gamma, &record.table);
    record.GammaDataSource = kGammaFromValue;
    gammaChanged = true;
    SendEditedTable();
}

// A table from a file reaches the screen only through the test picture or
// the stored settings.
void OnFile(HWND dialog) {
    ScreenGamma& record = Edited();
    ShowSourceGroups(dialog, false, true);
    if (record.GammaFile[0] == u'\0' || !ReadGammaFile(record.GammaFile, &record.table)) return;
    record.GammaDataSource = kGammaFromFile;
    SetItemText(dialog, IDC_GAMMA_FILE_PATH, record.GammaFile);
    gammaChanged = true;
}

void OnChooseFile(HWND dialog) {
    ScreenGamma& record = Edited();
    const std::u16string filter = GammaFileFilter(LoadResourceString(1222), LoadResourceString(1223));
    const std::u16string title = LoadResourceString(41);
    wchar_t fileTitle[kGammaFileChars] = {};
    OPENFILENAMEW choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = dialog;
    choice.lpstrFilter = reinterpret_cast<const wchar_t*>(filter.c_str());
    // The chosen path lands in the record whether or not the file reads.
    choice.lpstrFile = reinterpret_cast<wchar_t*>(record.GammaFile);
    choice.nMaxFile = kGammaFileChars;
    choice.lpstrFileTitle = fileTitle;
    choice.nMaxFileTitle = kGammaFileChars;
    choice.lpstrTitle = reinterpret_cast<const wchar_t*>(title.c_str());
    choice.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&choice)) return;
    record.GammaFile[kGammaFileChars - 1] = u'\0';
    if (ReadGammaFile(record.GammaFile, &record.table)) {
        SetItemText(dialog, IDC_GAMMA_FILE_PATH, record.GammaFile);
        record.GammaDataSource = kGammaFromFile;
        gammaChanged = true;
        return;
    }
    EnableWindow(dialog, FALSE);
    ShowMessage(37, kBoxExclamation);
    EnableWindow(dialog, TRUE);
}

void OnTest(HWND dialog) {
    EnableWindow(dialog, FALSE);
    INT_PTR result = DialogBoxParamW(reinterpret_cast<HINSTANCE>(resourceLibrary),
                                     MAKEINTRESOURCEW(IDD_GAMMA_TEST), dialog, GammaTestDialogProc, 0);
    // The test picture enables the dialog as it ends; when it could not
    // even open, nothing else would.
    if (result == -1) EnableWindow(dialog, TRUE);
}

void EndGammaDialog(HWND dialog, INT_PTR result) {
    ReleaseMonitorPictures();
    EnableMainDialog();
    EndDialog(dialog, result);
}

void OnOk(HWND dialog) {
    KillTimer(dialog, kHelpTimer);
    if (Edited().GammaDataSource != kGammaFromFile && ItemChecked(dialog, IDC_GAMMA_FILE))
        ShowMessage(37, kBoxExclamation);
    savedGamma[0] = dialogGamma[0];
    savedGamma[1] = dialogGamma[1];
    EndGammaDialog(dialog, IDOK);
}

void OnCancel(HWND dialog) {
    KillTimer(dialog, kHelpTimer);
    if (gammaChanged) {
        DriverEscape(kOpSetGammaTable, 0, &savedGamma[0].table);
        if (boardIdentity.secondScreen) DriverEscape(kOpSetGammaTable, 1, &savedGamma[1].table);
    }
    EndGammaDialog(dialog, IDCANCEL);
}

void OnCommand(HWND dialog, int id) {
    switch (id) {
        case IDC_GAMMA_LINEAR: OnLinear(dialog); break;
        case IDC_GAMMA_VALUE: OnValue(dialog); break;
        case IDC_GAMMA_FILE: OnFile(dialog); break;
        case IDC_GAMMA_CHOOSE_FILE: OnChooseFile(dialog); break;
        case IDC_GAMMA_TEST: OnTest(dialog); break;
        case IDOK: OnOk(dialog); break;
        case IDCANCEL: OnCancel(dialog); break;
        case IDC_HELP_BUTTON: OpenHelp(dialog, kGammaHelpDialog); break;
        default: break;
    }
}

// A button released over a screen picture makes that screen the edited one.
void OnButtonUp(HWND dialog, LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    HWND child = ChildWindowFromPoint(dialog, point);
    if (!child || child == dialog) return;
    const int id = GetDlgCtrlID(child);
    const int screen = ScreenOfPicture(kPictures, workingSettings.DualScreen, id);
    if (screen < 0) return;
    FrameSelectedPicture(dialog, false);
    selectedPicture = id;
    FrameSelectedPicture(dialog, true);
    gammaEditedScreen = screen;
    ShowScreenGamma(dialog, &Edited());
}

bool OnDrawItem(const DRAWITEMSTRUCT* item) {
    const int screen = ScreenOfPicture(kPictures, workingSettings.DualScreen, static_cast<int>(item->CtlID));
    if (screen < 0) return false;
    PaintMonitorPicture(item->hDC, item->rcItem, screen);
    return true;
}

// The frame lies on the dialog itself: painted again after the dialog is.
void OnPaint(HWND dialog) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    EndPaint(dialog, &paint);
    FrameSelectedPicture(dialog, true);
}

void OnHelpTick() {
    if (!HelpKeyDown()) return;
    HWND focus = GetFocus();
    OpenHelp(gammaDialogWindow, GammaHelpContext(focus ? GetDlgCtrlID(focus) : 0));
}

}  // namespace

void ShowScreenGamma(HWND dialog, ScreenGamma* record) {
    const GammaControls shown = SettleScreenGamma(record);
    CheckItem(dialog, IDC_GAMMA_LINEAR, shown.source == kGammaTableOnly);
    CheckItem(dialog, IDC_GAMMA_VALUE, shown.source == kGammaFromValue);
    CheckItem(dialog, IDC_GAMMA_FILE, shown.source == kGammaFromFile);
    EnableGroup(dialog, kValueGroup, shown.valueGroupEnabled);
    EnableGroup(dialog, kFileGroup, shown.fileGroupEnabled);
    if (shown.valueGroupEnabled) SetScrollBar(dialog, shown.scrollPosition);
    SetItemText(dialog, IDC_GAMMA_VALUE_TEXT, shown.valueText);
    SetItemText(dialog, IDC_GAMMA_FILE_PATH, shown.pathText);
}

INT_PTR CALLBACK GammaDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsWhiteColourMessage(message)) return PaintWhite(wParam);
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return FALSE;  // the focus is set
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lParam) != GetDlgItem(dialog, IDC_GAMMA_SCROLL)) return FALSE;
            OnScroll(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            OnCommand(dialog, LOWORD(wParam));
            return TRUE;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            OnButtonUp(dialog, lParam);
            return TRUE;
        case WM_DRAWITEM:
            if (!OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return FALSE;
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_PAINT:
            if (!selectedPicture) return FALSE;
            OnPaint(dialog);
            return TRUE;
        case WM_TIMER:
            if (wParam == kHelpTimer) OnHelpTick();
            return TRUE;
        case WM_DESTROY:
            // Whatever way the dialog ends, nothing it took outlives it.
            KillTimer(dialog, kHelpTimer);
            ReleaseMonitorPictures();
            selectedPicture = 0;
            gammaDialogWindow = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace vca
