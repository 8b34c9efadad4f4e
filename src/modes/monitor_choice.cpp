// The monitor choice: which catalogue entry stands for the attached monitor.
#include <cstring>

#include "base/app_state.h"
#include "base/resource_library.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "modes/monitor_choice.h"
#include "timingdb/database_loader.h"

namespace vca {

namespace {

constexpr std::uint32_t kOutOfMemory = 82;
constexpr const char16_t* kMultiSyncTag = u"MS";

const MonitorEntry* FindMultiSync(bool genericOnly) {
    for (const MonitorEntry* entry = monitorCatalogue; entry && entry->name[0] != u'\0'; ++entry)
        if (NamesEqual(entry->tagName, kMultiSyncTag) && (!genericOnly || NameContainsGeneric(entry->name)))
            return entry;
    return nullptr;
}

// The multi-sync fallbacks for a stored monitor that is not in the
// catalogue: a generic multi-sync entry, else any multi-sync entry, else
// the first entry whatever its tag, so that the choice always names an
// entry that the timing validation and the mode list can look up.
const MonitorEntry* FindFallback() {
    const MonitorEntry* entry = FindMultiSync(true);
    if (!entry) entry = FindMultiSync(false);
    if (!entry && monitorCatalogue && monitorCatalogue[0].name[0] != u'\0') entry = &monitorCatalogue[0];
    return entry;
}

void Choose(const MonitorEntry& entry, ChosenTag* chosen) {
    chosen->tagIndex = entry.tagIndex;
    CopyText(chosen->tagName, entry.tagName);
}

int OutOfMemory() {
    ShowMessage(kOutOfMemory, kBoxStop);
    return -1;
}

}  // namespace

int ChooseMonitor(ChosenTag* chosen) {
    // Without a usable database the built-in catalogue is in force, put in
    // afresh on every choice. No catalogue at all means that nothing was
    // loaded, which the mode list must know as well.
    if (!monitorCatalogue && !databaseInvalid) databaseUnreadable = true;
    if (databaseUnreadable || databaseInvalid) {
        if (!InstallBuiltInCatalogue()) return OutOfMemory();
    }

    if (const MonitorEntry* entry = FindMonitorByName(workingSettings.Description)) {
        if (NamesEqual(entry->tagName, kMultiSyncTag)) boardIdentity.monitorCode = kGenericMonitorCode;
        Choose(*entry, chosen);
        CopyText(workingSettings.TagStr, kMultiSyncTag);
        return 1;
    }

    boardIdentity.monitorCode = kGenericMonitorCode;
    loadedSettings.Description[0] = u'\0';
    workingSettings.Description[0] = u'\0';
    workingSettings.TagStr[0] = u'\0';

    const MonitorEntry* entry = FindFallback();
    if (!entry) {
        // A catalogue whose first monitor has an empty name offers nothing.
        // Its tag numbers belong to the database, so the whole database is
        // treated as unusable: the built-in catalogue and the fixed mode
        // list take over, as after a parse failure.
        databaseInvalid = true;
        if (!InstallBuiltInCatalogue()) return OutOfMemory();
        entry = FindFallback();
    }
    Choose(*entry, chosen);
    CopyText(workingSettings.TagStr, entry->tagName);
    CopyText(workingSettings.Description, entry->name);
    return 1;
}

}  // namespace vca
