// What every dialog of the applet does the same way: white controls,
// placement, the trimmed system menu, the selection frame around a monitor
// picture, help, and texts into controls.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32/windows_api.h"

namespace vca {

// The open main dialog as a window handle (null when none is open).
HWND MainDialogWindow();
// Enables the main dialog again, as each secondary dialog does as it ends.
void EnableMainDialog();

// The control colour messages that the secondary dialogs answer white:
// edit, list box, button, dialog and static (not message box, scroll bar).
bool IsWhiteColourMessage(UINT message);
// White background and black text on the device context in wParam; the
// white brush to return (a stock object: nothing to release).
INT_PTR PaintWhite(WPARAM deviceContext);

// Moves the window to the middle of the screen (x on a multiple of 8),
// keeping its size, without repainting.
void CentreOnScreen(HWND window);
// Places the dialog over the middle of the main dialog; an offset below 1
// becomes the fallback.
void CentreOverMainDialog(HWND dialog, int fallbackX, int fallbackY);
// Leaves only Move and Close in the window's system menu.
void TrimSystemMenu(HWND window);
// Draws (black) or erases (white) a 2-pixel frame around a control, 3
// pixels outside its client rectangle, on the window's device context.
void DrawSelectionFrame(HWND window, HWND control, bool on);

// A bitmap of the resource library selected into a memory DC, to be copied
// into a picture.
struct MemoryBitmap {
    HBITMAP bitmap = nullptr;
    HDC memory = nullptr;
    HGDIOBJ previous = nullptr;  // what the memory DC held; null until the bitmap is selected
};
// Loads bitmap `id` and selects it into a memory DC compatible with `dc`
// (the screen for null). False when any step fails; what was taken is kept
// for ReleaseMemoryBitmap.
bool LoadMemoryBitmap(MemoryBitmap* picture, int id, HDC dc);
// Gives back the memory DC (its old object selected again) and the bitmap.
void ReleaseMemoryBitmap(MemoryBitmap* picture);

// F1 held down now.
bool HelpKeyDown();
// WinHelpW on the help file with HELP_CONTEXT and the context.
void OpenHelp(HWND window, std::uint32_t context);
// WinHelpW with HELP_QUIT.
void QuitHelp(HWND window);

// Texts into controls.
void SetItemText(HWND dialog, int id, const std::u16string& text);
void SetItemText(HWND dialog, int id, const char16_t* text);
std::u16string GetItemText(HWND dialog, int id);
void EnableItem(HWND dialog, int id, bool enable);
void ShowItem(HWND dialog, int id, bool show);
void CheckItem(HWND dialog, int id, bool checked);
bool ItemChecked(HWND dialog, int id);

}  // namespace vca
