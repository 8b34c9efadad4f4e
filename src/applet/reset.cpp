#include "applet/reset.h"

#include "base/app_state.h"
#include "dialogs/confirmation.h"
#include "dialogs/main_session.h"
#include "driver/board_identity.h"
#include "driver/mode_records.h"
#include "gamma/gamma_table.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_table.h"
#include "modes/mode_views.h"
#include "timingdb/monitor_catalogue.h"
#include "settings/hardware_info.h"
#include "timingdb/database_loader.h"
#include "timingdb/scanner.h"

namespace vca {

void ResetAppletState() {
    loadedSettings = DisplaySettings{};
    workingSettings = DisplaySettings{};
    settingsToSave = DisplaySettings{};
    resourceLibrary = 0;
    helpFilePath[0] = u'\0';
    systemDirectory[0] = u'\0';
    driverKeyPath[0] = u'\0';
    driverAbsent = false;
    readOnlySettings = false;
    gammaChanged = false;
    mainDialog = 0;
    ResetDriverState();
    ResetGammaState();
    hardwareInfo = HardwareInfo{};
    ResetTimingReaderState();
    ResetTimingDatabaseState();
    ResetCatalogueState();
    ResetModeDescriptionState();
    ResetModeViewState();
    ResetModeTableState();
    ResetConfirmationState();
    ResetMainSessionState();
}

}  // namespace vca
