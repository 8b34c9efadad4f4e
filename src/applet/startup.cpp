#include "applet/startup.h"

#include "base/app_state.h"
#include "base/resource_library.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "settings/default_settings.h"
#include "settings/hardware_info.h"

namespace vca {

namespace {
constexpr std::uint32_t kMainDialogHelpContext = 101;
}

void InitApplet(platform::Module appletModule) {
    if (!resourceLibrary) LoadResourceLibrary(appletModule);
}

int IdentifyOrRunWithoutDriver() {
    const int identified = IdentifyBoard();
    if (identified == -1 || identified == -11) {
        boardIdentity.boardCode = 0;
        driverAbsent = true;
    }
    if (driverAbsent) CopyText(driverKeyPath, kDriverKeyPath);
    return identified;
}

bool StartApplet() {
    if (IdentifyOrRunWithoutDriver() == -10) {
        ShowMessage(18, kBoxStop);
        return false;
    }
    switch (LoadDefaultSettings(driverKeyPath)) {
        case kSettingsOk:
            break;
        case kSettingsKeyUnavailable:
            ShowMessage(16, kBoxStop);
            return false;
        default:
            // A corrected value could not be written back: no message.
            return false;
    }
    CollectHardwareInformation();
    return true;
}

void FillCplEntryInfo(CplEntryInfo* info) {
    if (!info) return;
    info->flags = 0;
    info->helpContext = kMainDialogHelpContext;
    info->data = 0;
    info->icon = platform::LoadIcon(resourceLibrary, u"MONITR01");
    CopyText(info->name, LoadResourceString(4, kCplStringLimit));
    CopyText(info->info, LoadResourceString(3, kCplStringLimit));
    CopyText(info->helpFile, helpFilePath);
}

}  // namespace vca
