// Where the applet's dialogs place themselves, and which screen a click on
// a monitor picture chooses: the arithmetic behind the Win32 calls.
#pragma once

#include <cstdint>

namespace vca {

struct ScreenRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct WindowOrigin {
    int x;
    int y;
};

// A window of the given size centred on the screen: x rounded down to a
// multiple of 8 after adding 4, both halvings truncating towards zero.
WindowOrigin CentreOnScreenOrigin(int screenWidth, int screenHeight, int windowWidth,
                                  int windowHeight);

// A dialog centred over the main dialog; an offset below 1 (the dialog is
// as wide or as tall as the main dialog, or more) becomes the fallback.
WindowOrigin CentreOverOrigin(const ScreenRect& mainDialog, const ScreenRect& dialog,
                              int fallbackX, int fallbackY);

// The monitor pictures of a dialog that shows two screens: screen 0 has one
// picture for screens side by side and another for one above the other;
// screen 1 has one picture for both arrangements.
struct ScreenPictures {
    int screenZeroSideBySide;
    int screenZeroStacked;
    int screenOne;
};

// The picture that stands for screen 0 under an arrangement (1 side by
// side, 2 one above the other); 0 when the arrangement shows one screen.
int ScreenZeroPicture(const ScreenPictures& pictures, std::uint32_t dualScreen);

// The screen a click on control `controlId` chooses, or -1 when the control
// is not a picture in use under the arrangement.
int ScreenOfPicture(const ScreenPictures& pictures, std::uint32_t dualScreen, int controlId);

}  // namespace vca
