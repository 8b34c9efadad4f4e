// Saving the record to save and the saved gamma pair.
#include "base/app_state.h"
#include "base/text.h"
#include "gamma/gamma_table.h"
#include "modes/mode_views.h"
#include "platform/platform.h"
#include "settings/default_settings.h"
#include "base/registry_values.h"

namespace vca {

namespace {

// TagStr is stored as its whole field followed by one zero unit.
constexpr std::uint32_t kTagStrStoredBytes = (kTagStrChars + 1) * sizeof(char16_t);

bool SaveGamma(platform::RegKey key, int screen) {
    const std::u16string digit(1, static_cast<char16_t>(u'0' + screen));
    const ScreenGamma& g = savedGamma[screen];
    if (!WriteDwordValue(key, (u"DefaultSettings.GammaDataSource" + digit).c_str(), g.GammaDataSource))
        return false;
    if (g.GammaDataSource == 1 &&
        !WriteDwordValue(key, (u"DefaultSettings.GammaValue" + digit).c_str(), static_cast<std::uint32_t>(g.GammaValue)))
        return false;
    if (g.GammaDataSource == 2 &&
        !WriteValue(key, (u"DefaultSettings.GammaFile" + digit).c_str(), platform::kRegSz, g.GammaFile, sizeof g.GammaFile))
        return false;
    return WriteValue(key, (u"DefaultSettings.GammaCorrectionTable" + digit).c_str(), platform::kRegBinary, &g.table,
                      sizeof g.table);
}

bool SaveAll(platform::RegKey key) {
    DisplaySettings& s = settingsToSave;
    if (!AnyStereoRates()) s.Stereo = 0;
    if (AllStereoOnly()) s.Stereo = 1;
    const std::uint32_t width = s.DualScreen == 1 ? s.XResolution * 2 : s.XResolution;
    const std::uint32_t height = s.DualScreen == 2 ? s.YResolution * 2 : s.YResolution;

    const struct {
        const char16_t* name;
        std::uint32_t value;
    } first[] = {
        {u"DefaultSettings.XResolution", width},
        {u"DefaultSettings.YResolution", height},
        {u"DefaultSettings.BitsPerPel", s.BitsPerPel},
        {u"DefaultSettings.Contrast0", static_cast<std::uint32_t>(savedGamma[0].Contrast)},
        {u"DefaultSettings.Contrast1", static_cast<std::uint32_t>(savedGamma[1].Contrast)},
        {u"DefaultSettings.Stereo", s.Stereo},
        {u"DefaultSettings.DualScreen", s.DualScreen},
    };
    for (const auto& value : first)
        if (!WriteDwordValue(key, value.name, value.value)) return false;
    s.Preferences = s.Preference4 | s.Preference1 | s.Preference2;
    if (!WriteDwordValue(key, u"DefaultSettings.Preferences", s.Preferences) ||
        !WriteDwordValue(key, u"DefaultSettings.VRefresh", s.VRefresh))
        return false;

    char16_t description[kDescriptionChars];
    CopyText(description, s.Description);
    const std::uint32_t descriptionBytes =
        static_cast<std::uint32_t>((TextLength(description, kDescriptionChars) + 1) * sizeof(char16_t));
    char16_t tagStr[kTagStrChars + 1] = {};
    std::copy(s.TagStr, s.TagStr + kTagStrChars, tagStr);
    if (!WriteValue(key, u"DefaultSettings.Description", platform::kRegMultiSz, description, descriptionBytes) ||
        !WriteValue(key, u"DefaultSettings.TagStr", platform::kRegMultiSz, tagStr, kTagStrStoredBytes) ||
        !WriteDwordValue(key, u"DefaultSettings.Interlaced", 0))
        return false;

    if (gammaChanged)
        for (int screen = 0; screen < 2; ++screen)
            if (!SaveGamma(key, screen)) return false;
    return true;
}

}  // namespace

int SaveDefaultSettings(const char16_t* keyPath) {
    if (readOnlySettings) return kSettingsOk;
    platform::RegKey key = 0;
    if (platform::RegCreateKey(keyPath, platform::kKeyReadWrite, &key) != platform::kErrorSuccess)
        return kSettingsKeyUnavailable;
    if (!SaveAll(key)) {
        platform::RegCloseKey(key);
        return kSettingsSaveFailed;
    }
    platform::RegFlushKey(key);
    platform::RegCloseKey(key);
    return kSettingsOk;
}

}  // namespace vca
