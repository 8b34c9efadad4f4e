// The steps of building the mode table, for the builder itself and for the
// tools that explain why a mode is or is not offered.
#pragma once

#include <cstdint>

#include "modes/mode_table.h"
#include "modes/monitor_choice.h"
#include "timingdb/timing_types.h"

namespace vca {

// The query that selects the chosen monitor's records for this board: the
// record type follows the board family, and a Lumaris monitor's records are
// narrowed to the monitor id of the reported monitor code.
void MakeModeQuery(const ChosenTag& chosen, TimingEntry* pattern, std::uint32_t* mask);

// Why a candidate passes the monitor filter or not.
enum class FilterResult {
    kPass,
    kNoWidth,      // a width of 0 would read as the end of the table
    kNoRefresh,    // a rate of 0 would read as the end of its list
    kAboveHfMax,   // hfreq above the monitor's hfmax (also when only hfmin is given)
    kBelowHfMin,   // hfreq below the monitor's hfmin
    kNotReported,  // the DDC monitor of screen 0 does not report this mode
};

struct FilterVerdict {
    FilterResult result = FilterResult::kPass;
    double quantity = 0.0;  // the candidate's hfreq for the two hfreq results
    double limit = 0.0;     // the bound it broke
};

// The monitor filter every candidate passes before grouping: the DDC
// monitor accepts only the modes screen 0 reports, any other monitor only
// the horizontal frequencies between its hfmin and hfmax.
FilterVerdict CheckMonitorFilter(const TimingEntry& candidate, const MonitorEntry& monitor);

// Whether the frame buffer of a board with pixel granularity `granularity`
// can hold a width x height mode in the tiled pixel format.
bool TileTestPasses(std::uint32_t width, std::uint32_t height, std::uint16_t granularity);

// Orders the first `count` entries by width (as exchanging whole entries
// does, which does not keep equal widths in order) and each entry's rate
// lists ascending, marks stereo-only entries and sets the pixel-format
// figures.
void FinishModeTable(ModeEntry* table, std::uint32_t count);

// Orders the first `count` entries by width exactly as an exchange sort
// does: for each position, every later narrower entry is swapped in. False,
// with the table untouched, when the memory for it runs out.
bool OrderByWidth(ModeEntry* table, std::uint32_t count);

// Whether the table in force is the one-mode fallback table.
bool ModeTableIsFallback();

// Entries allocated for the table in force, the terminator not counted.
std::uint32_t ModeTableEntries();
// Puts a zeroed table of `entries` entries and a terminator in force, with
// no lists yet (the caller allocates them). False when memory runs out.
bool InstallModeTable(std::uint32_t entries);
// A zeroed rate list of `slots` slots, or null when memory runs out.
std::uint32_t* AllocateRateList(std::uint32_t slots);
// Rates before the ending 0.
std::uint32_t RateListLength(const std::uint32_t* rates);
// Frees the DDC copy of the table and forgets it.
void ReleaseDdcFullRates();
// Makes a copy of the table in force (its `entries` entries and the
// terminator) the DDC copy, each entry with its own normal rates. False when
// memory runs out; the part copied is then in force and is released with it.
bool CopyDdcFullRates(std::uint32_t entries);
// Entries of the DDC copy as it was taken, the terminator not counted (0
// when there is no copy).
std::uint32_t DdcFullRatesEntries();

}  // namespace vca
