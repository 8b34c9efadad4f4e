// The monitor catalogue: the monitors the applet knows, each with the tag
// that selects its timings and its 26 limits, as loading fills it from the
// timing database's monitor blocks or from the built-in list.
#pragma once

#include <cstddef>
#include <cstdint>

#include "timingdb/timing_types.h"

namespace vca {

constexpr std::size_t kMonitorNameChars = 96;
constexpr std::size_t kMonitorTagChars = 64;
// A catalogue from the timing database: one entry per monitor block and the
// terminator.
constexpr std::size_t kCatalogueEntries = kMaxMonitorBlocks + 1;
// The monitor code of a generic multi-sync monitor.
constexpr std::uint32_t kGenericMonitorCode = 17;

// One monitor of the catalogue. An entry with an empty name ends it.
struct MonitorEntry {
    char16_t name[kMonitorNameChars];
    char16_t tagName[kMonitorTagChars];  // "MS" multi-sync, "LM" Lumaris, or a database's own tag
    std::uint16_t tagIndex;              // the tag's index in the database's tag table
    double limits[kLimitCount];          // indexed by LimitIndex; 0 sets no bound
};

// The catalogue in force, always a block of its own; null before the timing
// database is loaded and after it is released.
extern MonitorEntry* monitorCatalogue;

// Used whenever the timing database cannot be read or parsed. The third row
// has an empty name, so every scan stops before it: two monitors are offered.
constexpr std::size_t kBuiltInCatalogueEntries = 4;
extern const MonitorEntry kBuiltInCatalogue[kBuiltInCatalogueEntries];

// A zeroed catalogue of `count` entries, or null when memory runs out.
MonitorEntry* AllocateCatalogue(std::size_t count);
// Frees the catalogue in force and forgets it.
void ReleaseMonitorCatalogue();
// Puts a fresh copy of the built-in catalogue in force. False when memory
// runs out (the old catalogue is released either way).
bool InstallBuiltInCatalogue();

// Name and tag comparison: A-Z fold to a-z, every other unit compares as it is.
bool NamesEqual(const char16_t* a, const char16_t* b);
// Whether `name` contains "generic", both upper-cased under the current locale.
bool NameContainsGeneric(const char16_t* name);
// The monitor identified through DDC, named exactly so (case matters).
bool IsDdcMonitorName(const char16_t* name);

// The first entry named `name` (A-Z folded) before the first unnamed
// entry, or null.
const MonitorEntry* FindMonitorByName(const char16_t* name);

// Copies the first entry named like the working Description (A-Z folded)
// into `entry` and returns `entry`. When none is, `entry` is an unnamed entry
// with every limit 0, which bounds nothing.
MonitorEntry* GetCurrentMonitorEntry(MonitorEntry* entry);

// Releases the catalogue: the load-time state.
void ResetCatalogueState();

}  // namespace vca
