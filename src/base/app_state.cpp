#include "base/app_state.h"

namespace vca {

DisplaySettings loadedSettings;
DisplaySettings workingSettings;
DisplaySettings settingsToSave;

platform::Module resourceLibrary;
char16_t helpFilePath[kPathChars];
char16_t systemDirectory[kPathChars];
char16_t driverKeyPath[kDriverKeyChars];

bool driverAbsent;
bool readOnlySettings;
bool gammaChanged;

platform::Window mainDialog;

}  // namespace vca
