// Loading of the timing database revid.dat from the system directory: the
// whole text in memory, its parsed header and the monitor catalogue built
// from the header's monitor blocks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/app_state.h"
#include "timingdb/timing_types.h"

namespace vca {

// The system directory (at most 260 characters) and "\revid.dat".
constexpr std::size_t kTimingFilePathChars = kPathChars + 12;

// The loaded text: the file's bytes and a terminating NUL, or null. Queries
// parse its record part again and their entries point into it, so it stays
// until the final clean-up.
extern char* timingText;
// The bytes read into timingText (the NUL not counted).
extern std::uint32_t timingTextLength;
// The parsed header of the loaded text.
extern TimingDatabase timingDatabase;
// The file was not opened, or its size was not available.
extern bool databaseUnreadable;
// The text failed to parse (also set when a later query on it fails).
extern bool databaseInvalid;
// Full path of the timing file, for every message about it.
extern char16_t timingFilePath[kTimingFilePathChars];

// Reads, parses and catalogues the timing database, telling the user of
// every failure. 1 when done, whether the file could be used or not (the
// two flags tell); -1 when memory ran out (message 82 has been shown).
int LoadTimingDatabase();

// Frees the loaded text and forgets it.
void ReleaseTimingText();

// Frees the text and the parsed header and clears the flags and the path.
void ResetTimingDatabaseState();

}  // namespace vca
