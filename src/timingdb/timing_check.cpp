#include "timingdb/timing_check.h"

#include "timingdb/scanner.h"
#include "timingdb/section_parser.h"
#include "timingdb/timing_queries.h"

namespace vca {

namespace {

TimingCheckResult Failed(TimingCheckResult result, int code, TimingCheckStage stage) {
    result.result = code;
    result.stage = stage;
    result.errorLine = timingErrorLine;
    return result;
}

// A bound on the records of a record part, for reserving their table once:
// the shortest record ("tag t", "type timing", "data {}" on three lines)
// takes 25 characters. Capped, since the reservation is only a hint.
std::size_t RecordsAtMost(const char* records) {
    constexpr std::size_t kShortestRecord = 25;
    constexpr std::size_t kCap = std::size_t{1} << 20;
    const std::size_t bound = StringLength(records) / kShortestRecord + 1;
    return bound < kCap ? bound : kCap;
}

}  // namespace

TimingCheckResult CheckTimingText(const char* text, TimingDatabase* database, TimingValues values) {
    TimingCheckResult check;
    int result = ParseTimingHeader(text, database);
    if (result != kReadOk) return Failed(std::move(check), result, TimingCheckStage::kHeader);

    // The applet counts the records and then fetches them; both passes
    // write the record part's diagnostics. One pass finds the records, and
    // a second runs only when the first wrote something, so the output is
    // the applet's.
    const std::uint32_t diagnosticsBefore = timingDiagnosticCount;
    const bool keep = values == TimingValues::kKeep;
    TimingValuesVerdict verdict;
    std::uint32_t count = 0;
    std::vector<TimingEntry> records;
    if (keep) records.reserve(RecordsAtMost(text + database->headerLength));
    if ((keep ? FetchAllTimingEntries(text, *database, &records)
              : CheckAllTimingEntries(text, *database, &count, &verdict)) != 0)
        return Failed(std::move(check), kReadSyntaxError, TimingCheckStage::kRecords);
    if (keep) count = static_cast<std::uint32_t>(records.size());
    std::uint32_t again = 0;
    if (timingDiagnosticCount != diagnosticsBefore &&
        CountTimingEntries(text, *database, TimingEntry{}, QM_ALL, &again) != 0)
        return Failed(std::move(check), kReadSyntaxError, TimingCheckStage::kRecords);

    check.recordCount = count;
    if (!keep) {
        if (!verdict.failed) return check;
        timingErrorLine = verdict.errorLine;
        return Failed(std::move(check), kReadSyntaxError, TimingCheckStage::kData);
    }
    check.records = std::move(records);
    std::uint32_t timingCount = 0;
    for (const TimingEntry& entry : check.records) timingCount += entry.type == kTypeTiming;
    check.timingRecords.reserve(timingCount);
    for (std::uint32_t i = 0; i < count; ++i)
        if (check.records[i].type == kTypeTiming) check.timingRecords.push_back(i);
    // The values go straight into the result: these are the largest
    // tables of a check, and memory first touched costs as much as the
    // reading.
    std::vector<TimingCandidate> timings;
    timings.reserve(timingCount);
    for (std::uint32_t index : check.timingRecords) {
        TimingCandidate candidate{};
        if (!ReadTimingValues(check.records[index], candidate))
            return Failed(std::move(check), kReadSyntaxError, TimingCheckStage::kData);
        timings.push_back(candidate);
    }
    check.timings = std::move(timings);
    return check;
}

}  // namespace vca
