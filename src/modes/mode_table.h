// The mode table: the resolutions the board and the chosen monitor can show,
// each with its normal and its stereo-or-interlaced refresh rates.
#pragma once

#include <cstdint>

#include "timingdb/timing_types.h"

namespace vca {

// One resolution. A width of 0 marks the terminator.
struct ModeEntry {
    std::uint16_t tag;
    std::uint32_t width;
    std::uint32_t height;      // doubled for an entry made by a stereo candidate
    std::uint32_t colorDepth;  // always 32
    std::uint32_t* monoRates;  // ascending, ended by 0; owned by the entry
    std::uint8_t hasStereoRates;
    std::uint8_t stereoOnly;
    std::uint32_t* stereoRates;  // ascending, ended by 0; owned by the entry
    std::uint16_t pixelFormat[4];
};

// The table (modeCount entries and the terminator), or null.
extern ModeEntry* modeTable;
// Entries after a build; after a view refresh, the entries of the active view.
extern std::uint32_t modeCount;
// The longest rate list a build counted (10 for the fallback table).
extern std::uint32_t maxRateCount;
// For the DDC monitor: the table as grouped, with every normal rate, before
// the rates were reduced to the highest. Same entry count as the table.
extern ModeEntry* ddcFullRates;
// Set when refresh rates cannot be chosen (the no-driver mode with a
// Lumaris monitor).
extern std::uint32_t fixedRefresh;

// Both phases: the monitor choice, then the table for it (or the one-mode
// fallback table). 1, or -1 when memory ran out (message 82 shown).
int ChooseMonitorAndBuildModes();

// Builds the table from the timing database for a query pattern and mask.
// Sets *fallbackWanted when nothing matched or survived validation, sets
// databaseInvalid when a query failed. Ends the process with -1 when memory
// runs out.
void BuildModeTable(const TimingEntry& pattern, std::uint32_t mask, bool* fallbackWanted);

// Frees the table's lists and the table; forgets it.
void ReleaseModeTable();
// Frees the timing text, the catalogue, the table, both views, the
// descriptions, the DDC copy and both screens' mode record blocks.
void ReleaseAllTables();

// Returns the table, its figures and the DDC copy to their load-time state.
void ResetModeTableState();

}  // namespace vca
