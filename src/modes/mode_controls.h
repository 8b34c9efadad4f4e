// The decisions behind the main dialog's mode and monitor controls: which
// entry of the active view the working resolution is, where a scroll moves
// it, which refresh rate follows a resolution change, which monitors the
// list offers and which one it selects, and how a monitor change moves the
// monitor code.
#pragma once

#include <cstdint>
#include <vector>

#include "modes/mode_views.h"

namespace vca {

// The first entry of the active view with the working resolution, or -1.
std::int32_t FindCurrentResolution();
// The entry FindCurrentResolution names, or null.
const ModeViewEntry* CurrentViewEntry();

// Takes a listed resolution near the working one: the first entry when the
// view has one entry or starts at least as wide, else the widest entry
// below the first that is at least as wide (an entry of the same width
// when it is not taller), else the first entry.
void ChooseNearestResolution();
// ChooseNearestResolution when the working resolution is not listed.
void EnsureResolutionListed();

// Scroll codes of a horizontal scroll bar.
constexpr unsigned kScrollLineLeft = 0;
constexpr unsigned kScrollLineRight = 1;
constexpr unsigned kScrollPageLeft = 2;
constexpr unsigned kScrollPageRight = 3;
constexpr unsigned kScrollThumbPosition = 4;
constexpr unsigned kScrollThumbTrack = 5;
constexpr unsigned kScrollEnd = 8;

// A line or a page moves one entry; the thumb sets the position; other
// codes leave it.
std::int32_t ApplyScrollCode(std::int32_t position, unsigned code, unsigned thumb);
// Clamps a 1-based scroll position to 1 .. count (as a signed number).
std::int32_t ClampScrollPosition(std::int32_t position, std::uint32_t count);

// The rate that follows a resolution change: `wanted` when the list offers
// it, else the last rate below it (the first rate when none is below).
// Reads at most maxRateCount rates; 0 for an empty list.
std::uint32_t NearestRefresh(const std::uint32_t* rates, std::uint32_t wanted);

// The number formed by the leading decimal digits of a text (0 when none).
std::uint32_t LeadingNumber(const char16_t* text);

// The catalogue indexes the monitor list offers, in list order. Board 204
// does not offer the maker's Lumaris monitors: for each "LM" entry (any
// case) the first item with its exact name is taken out.
std::vector<std::uint32_t> OfferedMonitors();

// The monitor list's selection at initialisation, as a position in
// `offered`, or -1 for none. May fill or empty the loaded Description and
// set the monitor code to 0 for a monitor of the database's own tags.
std::int32_t ChooseInitialMonitor(const std::vector<std::uint32_t>& offered);

// What a monitor change does to the monitor code and the fixed refresh
// before the tables are rebuilt, by the chosen entry's tag (any case):
// "LM" takes the reported code (a generic monitor fixes the refresh
// instead), "MS" keeps a generic code or makes a specific one generic, any
// other tag makes the code 0. True when the entry is a Lumaris monitor.
bool ApplyMonitorTag(const char16_t* tagName);

// The monitor code for a rebuild (LM: Lumaris).
void MonitorCodeForRebuild(bool lumaris);

// The mode table, the views and the descriptions for the monitor just
// chosen, with the working Stereo made to fit them. When memory runs out
// (the builder has said so) every table is released and the process ends
// with -1.
void RebuildTablesForMonitor();

}  // namespace vca
