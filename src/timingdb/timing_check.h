// A whole timing text read the way the applet reads it: the header, then a
// count and a fetch of every record, then the raster values of the
// "timing" records. Nothing is sorted. Used by the tools that lint timing
// databases; the applet itself runs the steps one by one.
#pragma once

#include <cstdint>
#include <vector>

#include "timingdb/timing_types.h"

namespace vca {

enum class TimingCheckStage { kPassed, kHeader, kRecords, kData };

struct TimingCheckResult {
    int result = 0;                            // 0, or the failing step's code (1, 99)
    TimingCheckStage stage = TimingCheckStage::kPassed;
    std::uint16_t errorLine = 0;               // meaningful when result != 0
    std::uint32_t recordCount = 0;             // the records, once the record part has read
    std::vector<TimingEntry> records;          // every record in file order, when the values are kept
    std::vector<std::uint32_t> timingRecords;  // indexes in `records` of the "timing" ones
    std::vector<TimingCandidate> timings;      // their values, when the data stage passed and they are kept
};

// What a check keeps: the records, and the indexes and values of the
// "timing" ones, or only the verdict and the count (a lint that prints a
// count needs no more; the check then holds nothing that grows with the
// text, reading each record's values as the record goes by).
enum class TimingValues { kKeep, kCheckOnly };

// `text` is NUL-terminated; `database` receives the header (release it with
// ReleaseTimingDatabase, whatever the result).
TimingCheckResult CheckTimingText(const char* text, TimingDatabase* database,
                                  TimingValues values = TimingValues::kKeep);

}  // namespace vca
