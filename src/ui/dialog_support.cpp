#include "ui/dialog_support.h"

#include <vector>

#include "base/app_state.h"
#include "dialogs/window_arithmetic.h"

namespace vca {

HWND MainDialogWindow() { return reinterpret_cast<HWND>(mainDialog); }

void EnableMainDialog() { EnableWindow(MainDialogWindow(), TRUE); }

bool IsWhiteColourMessage(UINT message) {
    switch (message) {
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            return true;
        default:
            return false;
    }
}

INT_PTR PaintWhite(WPARAM deviceContext) {
    HDC dc = reinterpret_cast<HDC>(deviceContext);
    SetBkColor(dc, RGB(0xFF, 0xFF, 0xFF));
    SetTextColor(dc, RGB(0, 0, 0));
    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
}

void CentreOnScreen(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    WindowOrigin origin = CentreOnScreenOrigin(GetSystemMetrics(SM_CXSCREEN),
                                               GetSystemMetrics(SM_CYSCREEN), width, height);
    MoveWindow(window, origin.x, origin.y, width, height, FALSE);
}

void CentreOverMainDialog(HWND dialog, int fallbackX, int fallbackY) {
    RECT main{}, own{};
    GetWindowRect(MainDialogWindow(), &main);
    GetWindowRect(dialog, &own);
    WindowOrigin origin =
        CentreOverOrigin({main.left, main.top, main.right, main.bottom},
                         {own.left, own.top, own.right, own.bottom}, fallbackX, fallbackY);
    SetWindowPos(dialog, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void TrimSystemMenu(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return;
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
        UINT id = GetMenuItemID(menu, position);
        if (id != SC_MOVE && id != SC_CLOSE) DeleteMenu(menu, position, MF_BYPOSITION);
    }
}

void DrawSelectionFrame(HWND window, HWND control, bool on) {
    RECT rect;
    GetClientRect(control, &rect);
    MapWindowPoints(control, window, reinterpret_cast<POINT*>(&rect), 2);
    InflateRect(&rect, 3, 3);
    POINT corners[5] = {{rect.left, rect.top},
                        {rect.right, rect.top},
                        {rect.right, rect.bottom},
                        {rect.left, rect.bottom},
                        {rect.left, rect.top}};
    HDC dc = GetDC(window);
    if (!dc) return;
    HPEN pen = CreatePen(PS_SOLID, 2, on ? RGB(0, 0, 0) : RGB(0xFF, 0xFF, 0xFF));
    HGDIOBJ previous = SelectObject(dc, pen);
    Polyline(dc, corners, 5);
    SelectObject(dc, previous);
    DeleteObject(pen);
    ReleaseDC(window, dc);
}

bool LoadMemoryBitmap(MemoryBitmap* picture, int id, HDC dc) {
    *picture = MemoryBitmap{};
    picture->bitmap = LoadBitmapW(reinterpret_cast<HINSTANCE>(resourceLibrary), MAKEINTRESOURCEW(id));
    if (!picture->bitmap) return false;
    picture->memory = CreateCompatibleDC(dc);
    if (!picture->memory) return false;
    picture->previous = SelectObject(picture->memory, picture->bitmap);
    return picture->previous != nullptr;
}

void ReleaseMemoryBitmap(MemoryBitmap* picture) {
    if (picture->memory) {
        if (picture->previous) SelectObject(picture->memory, picture->previous);
        DeleteDC(picture->memory);
    }
    if (picture->bitmap) DeleteObject(picture->bitmap);
    *picture = MemoryBitmap{};
}

bool HelpKeyDown() { return GetKeyState(VK_F1) < 0; }

void OpenHelp(HWND window, std::uint32_t context) {
    WinHelpW(window, reinterpret_cast<const wchar_t*>(helpFilePath), HELP_CONTEXT, context);
}

void QuitHelp(HWND window) {
    WinHelpW(window, reinterpret_cast<const wchar_t*>(helpFilePath), HELP_QUIT, 0);
}

void SetItemText(HWND dialog, int id, const char16_t* text) {
    SetDlgItemTextW(dialog, id, reinterpret_cast<const wchar_t*>(text ? text : u""));
}

void SetItemText(HWND dialog, int id, const std::u16string& text) {
    SetItemText(dialog, id, text.c_str());
}

std::u16string GetItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    int length = item ? GetWindowTextLengthW(item) : 0;
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    if (item) GetWindowTextW(item, buffer.data(), length + 1);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()));
}

void EnableItem(HWND dialog, int id, bool enable) {
    EnableWindow(GetDlgItem(dialog, id), enable ? TRUE : FALSE);
}

void ShowItem(HWND dialog, int id, bool show) {
    ShowWindow(GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
}

void CheckItem(HWND dialog, int id, bool checked) {
    SendDlgItemMessageW(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool ItemChecked(HWND dialog, int id) {
    return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace vca
