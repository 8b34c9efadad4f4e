#include "gamma/gamma_step.h"

#include <cstdio>

#include "base/text.h"

namespace vca {

int StepGammaValue(int value, int code, int thumb) {
    switch (code) {
        case kScrollLineLeft: value -= 1; break;
        case kScrollLineRight: value += 1; break;
        case kScrollPageLeft: value -= 5; break;
        case kScrollPageRight: value += 5; break;
        case kScrollThumbPosition:
        case kScrollThumbTrack: value = thumb; break;
        default: break;
    }
    if (value < kGammaScrollMin) return kGammaScrollMin;
    if (value > kGammaScrollMax) return kGammaScrollMax;
    return value;
}

void ApplyGammaScroll(ScreenGamma* record, int code, int thumb) {
    record->GammaValue = StepGammaValue(record->GammaValue, code, thumb);
    record->gamma = record->GammaValue * 0.01;
    ComputeGammaTable(record->gamma, &record->table);
    record->GammaDataSource = kGammaFromValue;
}

std::u16string GammaValueText(double gamma) {
    char text[32];
    std::snprintf(text, sizeof text, "%01.2f", gamma);
    return Widen(text);
}

GammaControls SettleScreenGamma(ScreenGamma* record) {
    GammaControls shown{kGammaTableOnly, false, false, 0, {}, {}};
    if (record->GammaDataSource == kGammaFromValue) {
        if (record->gamma >= kGammaShownMin && record->gamma <= kGammaShownMax) {
            shown.source = kGammaFromValue;
            shown.valueGroupEnabled = true;
            shown.scrollPosition = static_cast<int>(record->gamma * 100.0);
            shown.valueText = GammaValueText(record->gamma);
            return shown;
        }
    } else if (record->GammaDataSource == kGammaFromFile) {
        if (ReadGammaFile(record->GammaFile, &record->table)) {
            shown.source = kGammaFromFile;
            shown.fileGroupEnabled = true;
            shown.pathText.assign(record->GammaFile, TextLength(record->GammaFile, kGammaFileChars));
            return shown;
        }
    }
    record->GammaDataSource = kGammaTableOnly;
    MakeLinearTable(&record->table);
    return shown;
}

}  // namespace vca
