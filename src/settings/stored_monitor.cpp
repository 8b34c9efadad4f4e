// The resolution and monitor adjustments of loading.
#include "base/app_state.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "timingdb/monitor_catalogue.h"
#include "modes/mode_views.h"
#include "settings/default_settings.h"

namespace vca {

bool MatchStoredResolution() {
    if (!activeView) return false;
    const std::uint32_t W = loadedSettings.XResolution;
    const std::uint32_t H = loadedSettings.YResolution;
    for (const ModeViewEntry* entry = activeView; entry->width != 0; ++entry) {
        const std::uint32_t w = entry->width;
        const std::uint32_t h = entry->height;
        const bool matches = ((w == W || w == W / 2) && h == H) || (w == W && h == H / 2);
        if (!matches) continue;
        if (w == W / 2 && h == H) {
            loadedSettings.XResolution = W / 2;
            loadedSettings.DualScreen = 1;
        } else if (w == W && h == H / 2) {
            loadedSettings.YResolution = H / 2;
            loadedSettings.DualScreen = 2;
        }
        return true;
    }
    return false;
}

void ReplaceOwnLineMonitor() {
    if (reportedMonitorCode != kGenericMonitorCode || !NamesEqual(workingSettings.TagStr, u"LM")) return;
    boardIdentity.monitorCode = kGenericMonitorCode;
    if (!monitorCatalogue) return;
    const MonitorEntry* chosen = nullptr;
    for (const MonitorEntry* entry = monitorCatalogue; entry->name[0] != u'\0'; ++entry)
        if (NamesEqual(entry->tagName, u"MS") && NameContainsGeneric(entry->name)) {
            chosen = entry;
            break;
        }
    if (!chosen)
        for (const MonitorEntry* entry = monitorCatalogue; entry->name[0] != u'\0'; ++entry)
            if (NamesEqual(entry->tagName, u"MS")) {
                chosen = entry;
                break;
            }
    if (!chosen) return;
    CopyText(workingSettings.Description, chosen->name);
    CopyText(loadedSettings.Description, chosen->name);
}

}  // namespace vca
