// The gamma dialog's decisions about one screen's gamma record: a scroll-bar
// step, the text of a gamma value, and which controls show the record.
#pragma once

#include <cstdint>
#include <string>

#include "gamma/gamma_table.h"

namespace vca {

// Where a screen's table comes from (ScreenGamma::GammaDataSource).
constexpr std::uint32_t kGammaFromValue = 1;
constexpr std::uint32_t kGammaFromFile = 2;
constexpr std::uint32_t kGammaTableOnly = 3;  // linear when the applet sets it

// The gamma scroll bar holds the gamma times 100.
constexpr int kGammaScrollMin = 1;
constexpr int kGammaScrollMax = 500;
constexpr double kGammaShownMin = 0.01;
constexpr double kGammaShownMax = 5.0;

// Notification codes of a horizontal scroll bar (SB_LINELEFT and on).
constexpr int kScrollLineLeft = 0;
constexpr int kScrollLineRight = 1;
constexpr int kScrollPageLeft = 2;
constexpr int kScrollPageRight = 3;
constexpr int kScrollThumbPosition = 4;
constexpr int kScrollThumbTrack = 5;

// The scroll value after one notification: a line is 1, a page 5, the
// thumb codes take the thumb position, other codes keep the value; the
// result is held to 1..500.
int StepGammaValue(int value, int code, int thumb);

// One scroll step on a record: GammaValue stepped, gamma = GammaValue x
// 0.01, the table computed from it, the source made the gamma value.
void ApplyGammaScroll(ScreenGamma* record, int code, int thumb);

// The gamma as the dialog shows it: "%01.2f" (2.5 shows "2.50").
std::u16string GammaValueText(double gamma);

// What the dialog's controls show for one record.
struct GammaControls {
    std::uint32_t source;       // the checked radio button: 1 value, 2 file, 3 linear
    bool valueGroupEnabled;     // scroll bar, its labels, the value text
    bool fileGroupEnabled;      // path, choose and test buttons
    int scrollPosition;         // gamma x 100 rounded toward zero (value source)
    std::u16string valueText;   // empty unless the source is the gamma value
    std::u16string pathText;    // the gamma file's path when it was read, else empty
};

// Settles a record for showing: a gamma value outside 0.01..5.00, a gamma
// file that no longer reads, or an unknown source all become the linear
// table (source 3); a file that reads fills the record's table. Returns
// what the controls show. Nothing is sent to the driver.
GammaControls SettleScreenGamma(ScreenGamma* record);

}  // namespace vca
