#include "dialogs/window_arithmetic.h"

namespace vca {

WindowOrigin CentreOnScreenOrigin(int screenWidth, int screenHeight, int windowWidth,
                                  int windowHeight) {
    int x = ((screenWidth - windowWidth) / 2 + 4) & ~7;
    int y = (screenHeight - windowHeight) / 2;
    return {x, y};
}

WindowOrigin CentreOverOrigin(const ScreenRect& mainDialog, const ScreenRect& dialog,
                              int fallbackX, int fallbackY) {
    int dx = ((mainDialog.right - mainDialog.left) - (dialog.right - dialog.left)) / 2;
    int dy = ((mainDialog.bottom - mainDialog.top) - (dialog.bottom - dialog.top)) / 2;
    if (dx < 1) dx = fallbackX;
    if (dy < 1) dy = fallbackY;
    return {mainDialog.left + dx, mainDialog.top + dy};
}

int ScreenZeroPicture(const ScreenPictures& pictures, std::uint32_t dualScreen) {
    if (dualScreen == 1) return pictures.screenZeroSideBySide;
    if (dualScreen == 2) return pictures.screenZeroStacked;
    return 0;
}

int ScreenOfPicture(const ScreenPictures& pictures, std::uint32_t dualScreen, int controlId) {
    if (dualScreen != 1 && dualScreen != 2) return -1;
    if (controlId == ScreenZeroPicture(pictures, dualScreen)) return 0;
    if (controlId == pictures.screenOne) return 1;
    return -1;
}

}  // namespace vca
