// The monitor timings dialog (templates 121 and 125): what the monitor of a
// screen reported through DDC, its identification and its modes. With two
// screens (template 125) a monitor picture stands for each screen, and a
// click on one shows that screen.
#include "ui/dialogs.h"

#include <cstdint>

#include "base/app_state.h"
#include "base/resource_library.h"
#include "dialogs/window_arithmetic.h"
#include "driver/mode_records.h"
#include "driver/monitor_identification.h"
#include "modes/timing_lines.h"
#include "help_contexts.h"
#include "resource.h"
#include "ui/dialog_support.h"

namespace vca {

namespace {

constexpr std::uint32_t kHelpContext = IDH_MONITOR_TIMINGS;
constexpr int kStatusChars = 200;
constexpr ScreenPictures kPictures{IDC_TIMINGS_PICTURE_SIDE, IDC_TIMINGS_PICTURE_STACKED,
                                   IDC_TIMINGS_PICTURE_SCREEN1};

// One monitor picture: bitmap 111 held in a memory DC, drawn into the
// picture control through the control's own DC.
struct Picture {
    int id = 0;
    HWND control = nullptr;
    RECT rect{};
    HDC controlDc = nullptr;
    MemoryBitmap image;
};

// Screen 0's picture (by the arrangement) and screen 1's; held while the
// dialog is open with two screens.
Picture pictures[2];
int selectedPicture = 0;  // index into pictures

bool DualScreen() { return workingSettings.DualScreen != 0; }

void TakePicture(HWND dialog, Picture& picture, int id) {
    picture.id = id;
    picture.control = GetDlgItem(dialog, id);
    if (!picture.control) return;
    GetClientRect(picture.control, &picture.rect);
    picture.controlDc = GetDC(picture.control);
    // Without the bitmap the picture stays as the control paints itself.
    if (picture.controlDc) LoadMemoryBitmap(&picture.image, IDB_SMALL_MONITOR, picture.controlDc);
}

void DrawPicture(const Picture& picture) {
    if (!picture.controlDc || !picture.image.previous) return;
    const RECT& r = picture.rect;
    BitBlt(picture.controlDc, r.left + 3, r.top + 4, r.right - r.left, r.bottom - r.top,
           picture.image.memory, 0, 0, SRCCOPY);
}

void ReleasePicture(Picture& picture) {
    ReleaseMemoryBitmap(&picture.image);
    if (picture.controlDc) ReleaseDC(picture.control, picture.controlDc);
    picture = Picture{};
}

void ReleasePictures() {
    for (Picture& picture : pictures) ReleasePicture(picture);
    selectedPicture = 0;
}

// Fills the status, identification and timing list for one screen.
void ShowScreenTimings(HWND dialog, int screen) {
    const ModeRecordState& state = modeRecords[screen];
    SetItemText(dialog, IDC_TIMINGS_STATUS,
                LoadResourceString(static_cast<std::uint32_t>(state.status), kStatusChars));
    ShowItem(dialog, IDC_TIMINGS_NO_RECORDS, ShowsNoRecordsNotice(state.status));

    const MonitorIdentificationTexts texts = IdentificationTexts(state);
    SetItemText(dialog, IDC_TIMINGS_MANUFACTURER, texts.manufacturer);
    SetItemText(dialog, IDC_TIMINGS_PRODUCT, texts.product);
    SetItemText(dialog, IDC_TIMINGS_SERIAL, texts.serial);
    SetItemText(dialog, IDC_TIMINGS_YEAR, texts.year);
    SetItemText(dialog, IDC_TIMINGS_VERSION, texts.version);
    SetItemText(dialog, IDC_TIMINGS_REVISION, texts.revision);

    SendDlgItemMessageW(dialog, IDC_TIMINGS_LIST, LB_RESETCONTENT, 0, 0);
    if (state.status == kRecordsDefault) return;
    for (const std::u16string& line : DdcTimingLines(LoadTimingLineWords()))
        SendDlgItemMessageW(dialog, IDC_TIMINGS_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(line.c_str()));
}

void OnInitDialog(HWND dialog) {
    CentreOverMainDialog(dialog, 10, -40);
    ShowWindow(dialog, SW_SHOW);
    SetFocus(dialog);
    ReleasePictures();
    if (DualScreen()) {
        const int screenZero = ScreenZeroPicture(kPictures, workingSettings.DualScreen);
        const int unused = screenZero == IDC_TIMINGS_PICTURE_SIDE ? IDC_TIMINGS_PICTURE_STACKED
                                                                  : IDC_TIMINGS_PICTURE_SIDE;
        ShowItem(dialog, unused, false);
        EnableItem(dialog, unused, false);
        TakePicture(dialog, pictures[0], screenZero);
        TakePicture(dialog, pictures[1], IDC_TIMINGS_PICTURE_SCREEN1);
        for (const Picture& picture : pictures) DrawPicture(picture);
    }
    ShowScreenTimings(dialog, 0);
}

void OnPaint(HWND dialog) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    if (DualScreen()) {
        for (const Picture& picture : pictures) DrawPicture(picture);
        if (pictures[selectedPicture].control)
            DrawSelectionFrame(dialog, pictures[selectedPicture].control, true);
    }
    EndPaint(dialog, &paint);
}

// A click on a picture in use shows its screen; anything else is not ours.
bool OnClick(HWND dialog, LPARAM point) {
    POINT where{static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    HWND child = ChildWindowFromPoint(dialog, where);
    if (!child || child == dialog) return false;
    const int screen = ScreenOfPicture(kPictures, workingSettings.DualScreen, GetDlgCtrlID(child));
    if (screen < 0) return false;
    if (pictures[selectedPicture].control)
        DrawSelectionFrame(dialog, pictures[selectedPicture].control, false);
    selectedPicture = screen;
    if (pictures[selectedPicture].control)
        DrawSelectionFrame(dialog, pictures[selectedPicture].control, true);
    ShowScreenTimings(dialog, screen);
    return true;
}

void OnCommand(HWND dialog, int id) {
    if (id == IDOK) {
        EndDialog(dialog, 1);
        EnableMainDialog();
    } else if (id == IDC_HELP_BUTTON) {
        OpenHelp(dialog, kHelpContext);
    }
}

}  // namespace

INT_PTR CALLBACK MonitorTimingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsWhiteColourMessage(message)) return PaintWhite(wParam);
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_PAINT:
            OnPaint(dialog);
            return FALSE;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            return OnClick(dialog, lParam) ? TRUE : FALSE;
        case WM_COMMAND:
            // Escape and the Close item (IDCANCEL) do nothing.
            OnCommand(dialog, LOWORD(wParam));
            return TRUE;
        case WM_DESTROY:
            // Every bitmap and DC of the pictures goes, however the dialog ends.
            ReleasePictures();
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace vca
