// The header of a timing file: the "version" number and the DISPLAY section
// with its monitor blocks, which become the tag table and DISPENTRY list of
// a TimingDatabase.
#pragma once

#include "timingdb/timing_types.h"

namespace vca {

// Parses the header at the start of `text` (NUL-terminated) into
// `database`, counting lines from 1. Returns kReadOk, with the header
// length and the record part's first line set; kReadBadLimitPair when a
// monitor block gives a maximum that is not above its minimum; and
// kReadSyntaxError otherwise. After a failure the error line says where,
// and the tags and blocks read so far stay in the database.
int ParseTimingHeader(const char* text, TimingDatabase* database);

// Parses the DISPLAY section from just after the keyword "display". On
// success the cursor is just past the section's closing "}".
int ParseDisplaySection(const char*& cursor, TimingDatabase* database);

// Frees the database's monitor blocks and empties it.
void ReleaseTimingDatabase(TimingDatabase* database);

}  // namespace vca
