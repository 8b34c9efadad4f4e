// Queries over the record part of a timing file. The records are not kept
// in parsed form: every query parses them again from the loaded text, so a
// query is also the syntax check of the records.
#pragma once

#include <cstdint>
#include <vector>

#include "timingdb/timing_types.h"

namespace vca {

// Both forms take the loaded text (the one given to ParseTimingHeader) and
// parse its record part, counting lines from the record part's first line,
// so every pass reports the same line numbers. A record is returned when it
// matches the pattern on every bit of the mask. 0 on success, 1 on any
// error (with a diagnostic where the error has one, and the error line).
//
// The count form writes the number of matching records (0 after an error).
int CountTimingEntries(const char* text, const TimingDatabase& database, const TimingEntry& pattern,
                       std::uint32_t mask, std::uint32_t* count);
// The fetch form writes the matching records in file order. More matches
// than `capacity` (the count of a count pass over the same text, pattern
// and mask) end the query with 1.
int FetchTimingEntries(const char* text, const TimingDatabase& database, const TimingEntry& pattern,
                       std::uint32_t mask, TimingEntry* entries, std::uint32_t capacity);

// Every record in file order, appended to `entries`: one pass where a
// count and a fetch would take two, with the result, diagnostics and line
// numbers of either pass.
int FetchAllTimingEntries(const char* text, const TimingDatabase& database, std::vector<TimingEntry>* entries);
// The check of every record that keeps nothing: the count, and whether
// the values of every "timing" record read (as ReadTimingValues reads
// them), with the error line of the first that does not. The record part's
// result, diagnostics and line numbers are a fetch's; the error line of
// the values is left to the caller, as the record part's errors come first.
struct TimingValuesVerdict {
    bool failed = false;
    std::uint16_t errorLine = 0;
};
int CheckAllTimingEntries(const char* text, const TimingDatabase& database, std::uint32_t* count,
                          TimingValuesVerdict* values);

// Orders entries by type, tag, monitor id (among entries that carry one),
// stereo bit, vertical resolution and refresh, and reports neighbours that
// are equal in every field on the diagnostic output. They stay in place.
void SortTimingEntries(TimingEntry* entries, std::uint32_t n);

// Reads the nine values of the data block of each "timing" entry into the
// candidate of the same index. On a malformed block the error flag is set,
// the error line is the line of the bad value and the later candidates are
// not filled.
void ReadTimingData(std::uint32_t n, bool* error, TimingCandidate* candidates, const TimingEntry* entries);
// The same for one entry: false, with the error line set, when its block is
// malformed.
bool ReadTimingValues(const TimingEntry& entry, TimingCandidate& candidate);
// ReadTimingValues' walk over a block whose record data is `data`, on line
// `*line`, converting nothing: the point after its ninth value line (the
// text before it holds no "}" and no NUL) with `*line` that point's line,
// or null with `*line` the error line.
const char* SkipTimingValues(const char* data, std::uint16_t* line);

}  // namespace vca
