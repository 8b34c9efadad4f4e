// The gamma test picture (template 1025): bitmap 114 on the screen with the
// edited gamma table sent to the driver, the wait cursor kept, and after
// five seconds the saved table sent back; then the dialog closes by itself.
#include "base/app_state.h"
#include "dialogs/window_arithmetic.h"
#include "driver/driver_escape.h"
#include "resource.h"
#include "ui/dialog_support.h"
#include "ui/dialogs.h"
#include "ui/gamma_edit.h"

namespace vca {

namespace {

constexpr UINT_PTR kShowTimer = 2;
constexpr UINT kShowMs = 5000;
constexpr UINT kShowPicture = WM_USER;

HCURSOR waitCursor = nullptr;
HCURSOR previousCursor = nullptr;

// Bitmap 114 in a memory DC, taken at the first showing.
MemoryBitmap testPicture;

bool LoadTestPicture() {
    if (testPicture.memory) return true;
    if (LoadMemoryBitmap(&testPicture, IDB_TEST_PICTURE, nullptr)) return true;
    ReleaseMemoryBitmap(&testPicture);
    return false;
}

void ReleaseTestPicture() {
    ReleaseMemoryBitmap(&testPicture);
}

void StretchTestPicture(HDC target, const RECT& area) {
    BITMAP size{};
    GetObjectW(testPicture.bitmap, sizeof size, &size);
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, testPicture.memory, 0, 0,
               size.bmWidth, size.bmHeight, SRCCOPY);
}

void CentreOverGammaDialog(HWND dialog) {
    RECT gamma{}, own{};
    GetWindowRect(gammaDialogWindow, &gamma);
    GetWindowRect(dialog, &own);
    WindowOrigin origin = CentreOverOrigin({gamma.left, gamma.top, gamma.right, gamma.bottom},
                                           {own.left, own.top, own.right, own.bottom}, 10, 40);
    SetWindowPos(dialog, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void OnInitDialog(HWND dialog) {
    CentreOverGammaDialog(dialog);
    waitCursor = LoadCursorW(nullptr, IDC_WAIT);
    previousCursor = SetCursor(waitCursor);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    SetTimer(dialog, kShowTimer, kShowMs, nullptr);
    PostMessageW(dialog, kShowPicture, 0, 0);
}

// The picture drawn and the edited table sent; again at every repaint.
void OnShowPicture(HWND dialog) {
    if (LoadTestPicture()) {
        HWND picture = GetDlgItem(dialog, IDC_GAMMA_TEST_PICTURE);
        RECT client;
        GetClientRect(picture, &client);
        if (HDC dc = GetDC(picture)) {
            StretchTestPicture(dc, client);
            ReleaseDC(picture, dc);
        }
    }
    DriverEscape(kOpSetGammaTable, gammaEditedScreen, &dialogGamma[gammaEditedScreen].table);
}

void OnShowEnded(HWND dialog) {
    KillTimer(dialog, kShowTimer);
    const int screen = gammaEditedScreen == 1 ? 1 : 0;
    DriverEscape(kOpSetGammaTable, screen, &savedGamma[screen].table);
    ReleaseTestPicture();
    SetCursor(previousCursor);
    EnableWindow(gammaDialogWindow, TRUE);
    EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK GammaTestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case kShowPicture:
            OnShowPicture(dialog);
            return TRUE;
        case WM_PAINT:
            PostMessageW(dialog, kShowPicture, 0, 0);
            return FALSE;  // the default painting goes on
        case WM_DRAWITEM: {
            const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID != IDC_GAMMA_TEST_PICTURE || !testPicture.memory) return FALSE;
            StretchTestPicture(item->hDC, item->rcItem);
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        case WM_SETCURSOR:
            SetCursor(waitCursor);
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_TIMER:
            if (wParam == kShowTimer) OnShowEnded(dialog);
            return TRUE;
        case WM_DESTROY:
            KillTimer(dialog, kShowTimer);
            ReleaseTestPicture();
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace vca
