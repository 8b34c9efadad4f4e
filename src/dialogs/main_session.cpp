#include "dialogs/main_session.h"

#include "driver/board_identity.h"
#include "driver/driver_escape.h"
#include "gamma/gamma_table.h"

namespace vca {

namespace {

constexpr std::int32_t kFullContrast = 100;
constexpr std::uint32_t kLinearSource = 3;

bool SameText(const char16_t* a, const char16_t* b, std::size_t capacity) {
    for (std::size_t i = 0; i < capacity; ++i) {
        if (a[i] != b[i]) return false;
        if (a[i] == u'\0') return true;
    }
    return true;
}

void SendContrast(std::int32_t screen0, std::int32_t screen1) {
    std::uint32_t value = (static_cast<std::uint32_t>(screen1) << 8) | static_cast<std::uint32_t>(screen0);
    DriverEscape(kOpSetContrast, 0, &value);
}

}  // namespace

bool firstOpen = true;
std::uint32_t rememberedArrangement = 1;
int monitorTextControl = 1038;

bool ModeOrMonitorChanged(const DisplaySettings& saved, const DisplaySettings& loaded) {
    return saved.BitsPerPel != loaded.BitsPerPel || saved.DualScreen != loaded.DualScreen ||
           saved.Preference1 != loaded.Preference1 || saved.VRefresh != loaded.VRefresh ||
           saved.Stereo != loaded.Stereo || saved.XResolution != loaded.XResolution ||
           saved.YResolution != loaded.YResolution ||
           !SameText(saved.Description, loaded.Description, kDescriptionChars);
}

void RestoreDriverOnCancel() {
    if (savedGamma[0].Contrast != currentGamma[0].Contrast ||
        savedGamma[1].Contrast != currentGamma[1].Contrast)
        SendContrast(currentGamma[0].Contrast, currentGamma[1].Contrast);
    if (gammaChanged) {
        DriverEscape(kOpSetGammaTable, 0, &currentGamma[0].table);
        if (boardIdentity.secondScreen) DriverEscape(kOpSetGammaTable, 1, &currentGamma[1].table);
    }
    savedGamma[0] = currentGamma[0];
    savedGamma[1] = currentGamma[1];
}

void ResetDriverToDefaults() {
    if (workingSettings.Preference2 == 2) {
        workingSettings.Preference2 = 0;
        DriverEscape(kOpSetOption1, 0, &workingSettings.Preference2);
    }
    if (workingSettings.Preference4 == 4) {
        workingSettings.Preference4 = 0;
        DriverEscape(kOpSetOption2, 0, &workingSettings.Preference4);
    }
    if (savedGamma[0].Contrast != kFullContrast || savedGamma[1].Contrast != kFullContrast) {
        savedGamma[0].Contrast = kFullContrast;
        savedGamma[1].Contrast = kFullContrast;
        SendContrast(kFullContrast, kFullContrast);
    }
    if (savedGamma[0].GammaDataSource != kLinearSource || savedGamma[1].GammaDataSource != kLinearSource) {
        const int screens = boardIdentity.secondScreen ? 2 : 1;
        for (int screen = 0; screen < screens; ++screen) {
            savedGamma[screen].GammaDataSource = kLinearSource;
            ComputeGammaTable(1.0, &savedGamma[screen].table);
            DriverEscape(kOpSetGammaTable, screen, &savedGamma[screen].table);
        }
        gammaChanged = true;
    }
}

void ResetMainSessionState() {
    firstOpen = true;
    rememberedArrangement = 1;
    monitorTextControl = 1038;
}

}  // namespace vca
