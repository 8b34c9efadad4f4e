// The applet's process-wide state: the three settings records, the resource
// library and paths, and the flags every part of the applet reads.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vca {

constexpr std::size_t kPathChars = 260;
constexpr std::size_t kDriverKeyChars = 51;
constexpr std::size_t kDescriptionChars = 96;
constexpr std::size_t kTagStrChars = 64;

// The driver's registry key, relative to HKEY_LOCAL_MACHINE.
constexpr const char16_t* kDriverKeyPath = u"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0";

// One set of display settings; three live as long as the applet.
struct DisplaySettings {
    std::uint32_t XResolution;
    std::uint32_t YResolution;
    std::uint32_t BitsPerPel;
    std::uint32_t DualScreen;  // 0 one screen, 1 side by side, 2 one above the other
    std::uint32_t Stereo;
    std::uint32_t VRefresh;
    std::uint32_t Preferences;
    std::uint32_t Preference1;  // 0 or 1
    std::uint32_t Preference2;  // 0 or 2: board option 1
    std::uint32_t Preference4;  // 0 or 4: board option 2
    char16_t Description[kDescriptionChars];
    char16_t TagStr[kTagStrChars];
};

extern DisplaySettings loadedSettings;   // as read, after the corrections of loading
extern DisplaySettings workingSettings;  // what the dialogs edit
extern DisplaySettings settingsToSave;   // what saving writes

extern platform::Module resourceLibrary;
extern char16_t helpFilePath[kPathChars];
extern char16_t systemDirectory[kPathChars];
extern char16_t driverKeyPath[kDriverKeyChars];

extern bool driverAbsent;      // the board was not identified: no driver
extern bool readOnlySettings;  // the driver key opened for reading only
extern bool gammaChanged;      // a gamma table was changed in the dialogs

extern platform::Window mainDialog;  // the open main dialog, or 0

}  // namespace vca
