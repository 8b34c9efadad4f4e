#include "modes/mode_controls.h"

#include "base/app_state.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "modes/mode_table.h"
#include "timingdb/monitor_catalogue.h"
#include "platform/platform.h"

namespace vca {

namespace {

constexpr std::uint32_t kLumarisBoardExcluded = 204;
constexpr const char16_t* kLumarisTag = u"LM";
constexpr const char16_t* kMultiSyncTag = u"MS";

bool ExactlyEqual(const char16_t* a, const char16_t* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

bool IsGenericCode(std::uint32_t code) { return code == 17 || code == 19; }

void Take(const ModeViewEntry& entry) {
    workingSettings.XResolution = entry.width;
    workingSettings.YResolution = entry.height;
}

}  // namespace

std::int32_t FindCurrentResolution() {
    for (std::uint32_t i = 0; activeView && activeView[i].width != 0; ++i)
        if (activeView[i].width == workingSettings.XResolution &&
            activeView[i].height == workingSettings.YResolution)
            return static_cast<std::int32_t>(i);
    return -1;
}

const ModeViewEntry* CurrentViewEntry() {
    std::int32_t index = FindCurrentResolution();
    return index < 0 ? nullptr : &activeView[index];
}

void ChooseNearestResolution() {
    if (!activeView || activeView[0].width == 0) return;  // nothing listed to take
    const std::uint32_t x = workingSettings.XResolution;
    const std::uint32_t y = workingSettings.YResolution;
    if (activeView[1].width == 0 || activeView[0].width >= x) {
        Take(activeView[0]);
        return;
    }
    for (std::uint32_t i = 1; activeView[i].width != 0; ++i) {
        if (activeView[i].width < x) continue;
        if (activeView[i].width > x)
            Take(activeView[i - 1]);
        else
            Take(activeView[i].height <= y ? activeView[i] : activeView[i - 1]);
        return;
    }
    Take(activeView[0]);
}

void EnsureResolutionListed() {
    if (FindCurrentResolution() == -1) ChooseNearestResolution();
}

std::int32_t ApplyScrollCode(std::int32_t position, unsigned code, unsigned thumb) {
    switch (code) {
        case kScrollLineLeft:
        case kScrollPageLeft:
            return position - 1;
        case kScrollLineRight:
        case kScrollPageRight:
            return position + 1;
        case kScrollThumbPosition:
        case kScrollThumbTrack:
            return static_cast<std::int32_t>(thumb);
        default:
            return position;
    }
}

std::int32_t ClampScrollPosition(std::int32_t position, std::uint32_t count) {
    const std::int32_t last = static_cast<std::int32_t>(count);
    if (position > last) position = last;
    if (position < 1) position = 1;
    return position;
}

std::uint32_t NearestRefresh(const std::uint32_t* rates, std::uint32_t wanted) {
    if (!rates || rates[0] == 0 || maxRateCount == 0) return 0;
    for (std::uint32_t i = 0; i < maxRateCount && rates[i] != 0; ++i)
        if (rates[i] == wanted) return wanted;
    std::uint32_t taken = rates[0];
    for (std::uint32_t i = 0; i < maxRateCount && rates[i] != 0 && rates[i] < wanted; ++i)
        taken = rates[i];
    return taken;
}

std::uint32_t LeadingNumber(const char16_t* text) {
    std::uint32_t value = 0;
    for (; text && *text >= u'0' && *text <= u'9'; ++text) value = value * 10 + (*text - u'0');
    return value;
}

std::vector<std::uint32_t> OfferedMonitors() {
    std::vector<std::uint32_t> offered;
    for (std::uint32_t i = 0; monitorCatalogue && monitorCatalogue[i].name[0] != u'\0'; ++i)
        offered.push_back(i);
    if (boardIdentity.boardCode != kLumarisBoardExcluded) return offered;
    for (std::uint32_t i = 0; monitorCatalogue && monitorCatalogue[i].name[0] != u'\0'; ++i) {
        if (!NamesEqual(monitorCatalogue[i].tagName, kLumarisTag)) continue;
        for (auto item = offered.begin(); item != offered.end(); ++item) {
            if (ExactlyEqual(monitorCatalogue[*item].name, monitorCatalogue[i].name)) {
                offered.erase(item);
                break;
            }
        }
    }
    return offered;
}

std::int32_t ChooseInitialMonitor(const std::vector<std::uint32_t>& offered) {
    if (loadedSettings.Description[0] == u'\0') return offered.empty() ? -1 : 0;
    std::int32_t chosen = -1;
    for (std::size_t i = 0; i < offered.size() && chosen < 0; ++i)
        if (ExactlyEqual(monitorCatalogue[offered[i]].name, loadedSettings.Description))
            chosen = static_cast<std::int32_t>(i);
    if (chosen < 0) {
        // The stored name is not offered: take the monitor whose tag the
        // current mode came from.
        const ModeViewEntry* entry = CurrentViewEntry();
        std::uint32_t byTag = 0;
        while (entry && monitorCatalogue && monitorCatalogue[byTag].name[0] != u'\0' &&
               monitorCatalogue[byTag].tagIndex != entry->tag)
            ++byTag;
        loadedSettings.Description[0] = u'\0';
        if (!entry || !monitorCatalogue || monitorCatalogue[byTag].name[0] == u'\0') return -1;
        for (std::size_t i = 0; i < offered.size() && chosen < 0; ++i)
            if (offered[i] == byTag) chosen = static_cast<std::int32_t>(i);
        CopyText(loadedSettings.Description, kDescriptionChars, monitorCatalogue[byTag].name);
    }
    for (const MonitorEntry* m = monitorCatalogue; m && m->name[0] != u'\0'; ++m) {
        if (!ExactlyEqual(m->name, loadedSettings.Description)) continue;
        if (!ExactlyEqual(m->tagName, kLumarisTag) && !ExactlyEqual(m->tagName, kMultiSyncTag))
            boardIdentity.monitorCode = 0;
        break;
    }
    return chosen;
}

bool ApplyMonitorTag(const char16_t* tagName) {
    if (NamesEqual(tagName, kLumarisTag)) return true;
    fixedRefresh = 0;
    if (!NamesEqual(tagName, kMultiSyncTag)) boardIdentity.monitorCode = 0;
    return false;
}

void MonitorCodeForRebuild(bool lumaris) {
    if (lumaris) {
        boardIdentity.monitorCode = reportedMonitorCode;
        if (IsGenericCode(reportedMonitorCode)) {
            boardIdentity.monitorCode = 0;
            fixedRefresh = 1;
        }
        return;
    }
    if (IsGenericCode(reportedMonitorCode))
        boardIdentity.monitorCode = reportedMonitorCode;
    else if (boardIdentity.monitorCode != 0)
        boardIdentity.monitorCode = kGenericMonitorCode;
}

void RebuildTablesForMonitor() {
    if (ChooseMonitorAndBuildModes() == -1 || RefreshViews(&workingSettings.Stereo) == -1) {
        ReleaseAllTables();
        platform::ExitProcess(-1);
    }
}

}  // namespace vca
