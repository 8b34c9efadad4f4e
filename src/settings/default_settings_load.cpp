// Loading the default settings: every value checked against the board, the
// monitor and the mode lists, and every correction written back at once.
#include <cmath>

#include "base/app_state.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "gamma/gamma_table.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_table.h"
#include "modes/mode_views.h"
#include "platform/platform.h"
#include "settings/default_settings.h"
#include "base/registry_values.h"
#include "timingdb/database_loader.h"

namespace vca {

namespace {

constexpr std::uint32_t kDescriptionReadBytes = 96;
constexpr std::uint32_t kTagStrReadBytes = 96;
constexpr std::uint32_t kGammaFileReadBytes = 400;
constexpr std::uint32_t kDefaultWidth = 1024;
constexpr std::uint32_t kDefaultHeight = 768;

// The mode the refresh rate and colour depth are checked against when the
// active view is empty (every candidate failed the monitor filter): the one-mode fallback of the table,
// 640 x 480, 32 bits, 60 Hz.
std::uint32_t fallbackRates[] = {60, 0};
const ModeViewEntry kFallbackMode = {0, 640, 480, 32, fallbackRates, {0, 0, 0, 0}};

// The load in progress: the open key, and the end of the process when the
// database or a mode list cannot be built.
struct Load {
    platform::RegKey key = 0;

    [[noreturn]] void EndProcess() const {
        platform::RegCloseKey(key);
        ReleaseAllTables();
        platform::ExitProcess(-1);
    }
    // A corrected value written back; false ends the load with -3.
    bool WriteBack(const char16_t* name, std::uint32_t value) const {
        return WriteDwordValue(key, name, value);
    }
    bool WriteBackTable(const char16_t* name, const GammaTable& table) const {
        return WriteValue(key, name, platform::kRegBinary, &table, sizeof table);
    }
    int Fail() const {
        platform::RegCloseKey(key);
        return kSettingsWriteBackFailed;
    }
};

const ModeViewEntry* FirstViewEntry() {
    return activeView && activeView->width != 0 ? activeView : &kFallbackMode;
}

const ModeViewEntry* FindMode(std::uint32_t width, std::uint32_t height) {
    if (!activeView || activeView->width == 0) return &kFallbackMode;
    for (const ModeViewEntry* entry = activeView; entry->width != 0; ++entry)
        if (entry->width == width && entry->height == height) return entry;
    return &kFallbackMode;
}

bool HasRate(const ModeViewEntry& mode, std::uint32_t rate) {
    const std::uint32_t bound = mode.rates == fallbackRates ? 1 : maxRateCount;
    for (std::uint32_t i = 0; i < bound && mode.rates[i] != 0; ++i)
        if (mode.rates[i] == rate) return true;
    return false;
}

// The stored stereo choice, kept when the mode table allows it; then the
// active view and the descriptions that follow from it.
bool LoadStereo(const Load& load) {
    std::uint32_t stored = 0;
    const bool read = ReadDwordValue(load.key, u"DefaultSettings.Stereo", &stored);
    if (read && ((stored == 0 && !AllStereoOnly()) || (stored != 0 && AnyStereoRates()))) {
        loadedSettings.Stereo = stored;
    } else {
        loadedSettings.Stereo = (AnyStereoRates() && AllStereoOnly()) ? 1 : 0;
        if (!load.WriteBack(u"DefaultSettings.Stereo", loadedSettings.Stereo)) return false;
    }
    SelectActiveView(loadedSettings.Stereo);
    descriptionsValid = true;
    BuildModeDescriptions();
    return true;
}

// The stored resolution and arrangement, folded to one screen's size and
// replaced by a listed mode when the view does not offer them; false when a
// value is missing or cannot be written back.
bool LoadResolution(const Load& load) {
    DisplaySettings& s = loadedSettings;
    std::uint32_t width = 0;
    const bool widthRead = ReadDwordValue(load.key, u"DefaultSettings.XResolution", &width);
    if (widthRead) {
        s.XResolution = width;
        if (!ReadDwordValue(load.key, u"DefaultSettings.YResolution", &s.YResolution)) return false;
    }

    std::uint32_t dual = 0;
    const bool dualRead = ReadDwordValue(load.key, u"DefaultSettings.DualScreen", &dual);
    if (dualRead && dual <= 2 && (dual == 0 || boardIdentity.secondScreen || driverAbsent)) {
        s.DualScreen = dual;
    } else {
        s.DualScreen = 0;
        if (!load.WriteBack(u"DefaultSettings.DualScreen", 0)) return false;
    }

    if (widthRead && MatchStoredResolution()) return true;
    if (databaseUnreadable || databaseInvalid) {
        s.XResolution = FirstViewEntry()->width;
        s.YResolution = FirstViewEntry()->height;
    } else {
        s.XResolution = kDefaultWidth;
        s.YResolution = kDefaultHeight;
    }
    if (!MatchStoredResolution()) {
        s.XResolution = FirstViewEntry()->width;
        s.YResolution = FirstViewEntry()->height;
    }
    return load.WriteBack(u"DefaultSettings.XResolution", s.XResolution) &&
           load.WriteBack(u"DefaultSettings.YResolution", s.YResolution);
}

// The refresh rate and colour depth, each kept only when the chosen mode
// offers it.
bool LoadRefreshAndDepth(const Load& load) {
    workingSettings = loadedSettings;
    const ModeViewEntry& mode = *FindMode(workingSettings.XResolution, workingSettings.YResolution);
    DisplaySettings& s = loadedSettings;

    std::uint32_t refresh = 0;
    if (ReadDwordValue(load.key, u"DefaultSettings.VRefresh", &refresh) && HasRate(mode, refresh)) {
        s.VRefresh = refresh;
    } else {
        s.VRefresh = mode.rates[0];
        if (!load.WriteBack(u"DefaultSettings.VRefresh", s.VRefresh)) return false;
    }

    std::uint32_t depth = 0;
    if (ReadDwordValue(load.key, u"DefaultSettings.BitsPerPel", &depth) && depth == mode.colorDepth) {
        s.BitsPerPel = depth;
    } else {
        s.BitsPerPel = mode.colorDepth;
        if (!load.WriteBack(u"DefaultSettings.BitsPerPel", s.BitsPerPel)) return false;
    }
    return true;
}

bool LoadContrast(const Load& load, int screen, const char16_t* name) {
    std::uint32_t contrast = 0;
    if (ReadDwordValue(load.key, name, &contrast) && contrast >= 30 && contrast <= 100) {
        currentGamma[screen].Contrast = static_cast<std::int32_t>(contrast);
        return true;
    }
    currentGamma[screen].Contrast = 100;
    return load.WriteBack(name, 100);
}

// One screen's gamma source, value, file and table; the value names end in
// the screen's digit.
bool LoadGamma(const Load& load, int screen) {
    const std::u16string digit(1, static_cast<char16_t>(u'0' + screen));
    const std::u16string sourceName = u"DefaultSettings.GammaDataSource" + digit;
    const std::u16string valueName = u"DefaultSettings.GammaValue" + digit;
    const std::u16string fileName = u"DefaultSettings.GammaFile" + digit;
    const std::u16string tableName = u"DefaultSettings.GammaCorrectionTable" + digit;
    ScreenGamma& g = currentGamma[screen];

    g.GammaFile[0] = u'\0';
    std::uint32_t source = 0;
    if (!ReadDwordValue(load.key, sourceName.c_str(), &source) || source < 1 || source > 3) {
        g.GammaDataSource = 3;
        MakeLinearTable(&g.table);
        if (!load.WriteBack(sourceName.c_str(), 3) || !load.WriteBackTable(tableName.c_str(), g.table))
            return false;
    } else {
        g.GammaDataSource = source;
    }

    if (g.GammaDataSource == 1) {
        std::uint32_t value = 0;
        // A missing value counts as 0, which the next check turns into 1.0.
        g.GammaValue = ReadDwordValue(load.key, valueName.c_str(), &value) ? static_cast<std::int32_t>(value) : 0;
        g.gamma = g.GammaValue * 0.01;
    } else if (g.GammaDataSource == 2) {
        ReadTextValue(load.key, fileName.c_str(), kGammaFileReadBytes, g.GammaFile, kGammaFileChars);
    }
    if (!(g.gamma > 0.0)) {
        g.gamma = 1.0;
        g.GammaValue = 100;
    }

    GammaTable stored;
    if (!ReadBinaryValue(load.key, tableName.c_str(), &stored, sizeof stored) || stored.header != kGammaHeader) {
        g.GammaDataSource = 3;
        MakeLinearTable(&g.table);
        return load.WriteBackTable(tableName.c_str(), g.table);
    }
    g.table = stored;
    return true;
}

}  // namespace

int LoadDefaultSettings(const char16_t* keyPath) {
    Load load;
    if (platform::RegCreateKey(keyPath, platform::kKeyReadWrite, &load.key) != platform::kErrorSuccess) {
        if (platform::RegCreateKey(keyPath, platform::kKeyQueryValue, &load.key) != platform::kErrorSuccess)
            return kSettingsKeyUnavailable;
        readOnlySettings = true;
    }

    // The stored monitor; without it the monitor counts as generic.
    loadedSettings.Description[0] = u'\0';
    if (!ReadTextValue(load.key, u"DefaultSettings.Description", kDescriptionReadBytes,
                       loadedSettings.Description, kDescriptionChars))
        boardIdentity.monitorCode = 17;
    else
        ReadTextValue(load.key, u"DefaultSettings.TagStr", kTagStrReadBytes, loadedSettings.TagStr, kTagStrChars);
    workingSettings = loadedSettings;

    if (LoadTimingDatabase() == -1) load.EndProcess();
    ReplaceOwnLineMonitor();
    if (ChooseMonitorAndBuildModes() == -1) load.EndProcess();
    if (!AllStereoOnly() && BuildMonoView() == -1) load.EndProcess();
    if (AnyStereoRates() && BuildStereoView() == -1) load.EndProcess();
    loadedSettings = workingSettings;

    if (!LoadStereo(load)) return load.Fail();

    std::uint32_t preferences = 0;
    if (!ReadDwordValue(load.key, u"DefaultSettings.Preferences", &preferences)) {
        preferences = 0;
        if (!load.WriteBack(u"DefaultSettings.Preferences", 0)) return load.Fail();
    }
    loadedSettings.Preferences = preferences;
    loadedSettings.Preference1 = preferences & 1;
    loadedSettings.Preference2 = preferences & 2;
    loadedSettings.Preference4 = preferences & 4;

    if (!LoadResolution(load) || !LoadRefreshAndDepth(load)) return load.Fail();
    if (!LoadContrast(load, 0, u"DefaultSettings.Contrast0") ||
        !LoadContrast(load, 1, u"DefaultSettings.Contrast1"))
        return load.Fail();
    if (!LoadGamma(load, 0) || !LoadGamma(load, 1)) return load.Fail();

    workingSettings = loadedSettings;
    platform::RegCloseKey(load.key);
    return kSettingsOk;
}

}  // namespace vca
