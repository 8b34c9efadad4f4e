#include "timingdb/monitor_catalogue.h"

#include <cstring>
#include <cwctype>
#include <string>

#include "base/app_state.h"
#include "platform/platform.h"

namespace vca {

MonitorEntry* monitorCatalogue = nullptr;

const MonitorEntry kBuiltInCatalogue[kBuiltInCatalogueEntries] = {
    {u"Multi-sync Monitor", u"MS", 0, {}},
    {u"Norvane Lumaris Monitor", u"LM", 1, {}},
    {u"", u"", 2, {}},
    {u"", u"", 0, {}},
};

namespace {

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

char16_t UpperLocale(char16_t c) {
    const auto upper = static_cast<unsigned long>(std::towupper(static_cast<std::wint_t>(c)));
    // A mapping outside the 16-bit range (none exists for real letters)
    // leaves the unit as it is.
    return upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
}

}  // namespace

MonitorEntry* AllocateCatalogue(std::size_t count) {
    auto* catalogue = static_cast<MonitorEntry*>(platform::Allocate(count * sizeof(MonitorEntry)));
    if (catalogue) std::memset(catalogue, 0, count * sizeof(MonitorEntry));
    return catalogue;
}

void ReleaseMonitorCatalogue() {
    platform::Free(monitorCatalogue);
    monitorCatalogue = nullptr;
}

bool InstallBuiltInCatalogue() {
    ReleaseMonitorCatalogue();
    MonitorEntry* catalogue = AllocateCatalogue(kBuiltInCatalogueEntries);
    if (!catalogue) return false;
    std::memcpy(catalogue, kBuiltInCatalogue, sizeof(kBuiltInCatalogue));
    monitorCatalogue = catalogue;
    return true;
}

bool NamesEqual(const char16_t* a, const char16_t* b) {
    for (;; ++a, ++b) {
        if (FoldAscii(*a) != FoldAscii(*b)) return false;
        if (*a == u'\0') return true;
    }
}

bool NameContainsGeneric(const char16_t* name) {
    static const char16_t kWord[] = u"GENERIC";
    constexpr std::size_t kWordLength = sizeof(kWord) / sizeof(kWord[0]) - 1;
    for (const char16_t* start = name; *start != u'\0'; ++start) {
        std::size_t i = 0;
        while (i < kWordLength && start[i] != u'\0' && UpperLocale(start[i]) == kWord[i]) ++i;
        if (i == kWordLength) return true;
    }
    return false;
}

bool IsDdcMonitorName(const char16_t* name) {
    static const char16_t kDdc[] = u"DDC Monitor";
    return std::char_traits<char16_t>::length(name) == sizeof(kDdc) / sizeof(kDdc[0]) - 1 &&
           std::char_traits<char16_t>::compare(name, kDdc, sizeof(kDdc) / sizeof(kDdc[0]) - 1) == 0;
}

// Every scan starts at the first entry and stops at the first unnamed one.
const MonitorEntry* FindMonitorByName(const char16_t* name) {
    for (const MonitorEntry* entry = monitorCatalogue; entry && entry->name[0] != u'\0'; ++entry)
        if (NamesEqual(entry->name, name)) return entry;
    return nullptr;
}

MonitorEntry* GetCurrentMonitorEntry(MonitorEntry* entry) {
    if (const MonitorEntry* found = FindMonitorByName(workingSettings.Description))
        std::memcpy(entry, found, sizeof(MonitorEntry));
    else
        std::memset(entry, 0, sizeof(MonitorEntry));
    return entry;
}

void ResetCatalogueState() { ReleaseMonitorCatalogue(); }

}  // namespace vca
