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

}  // namespace

TimingCheckResult CheckTimingText(const char* text, TimingDatabase* database) {
    TimingCheckResult check;
    int result = ParseTimingHeader(text, database);
    if (result != kReadOk) return Failed(std::move(check), result, TimingCheckStage::kHeader);

    const TimingEntry pattern{};
    std::uint32_t count = 0;
    if (CountTimingEntries(text, *database, pattern, QM_ALL, &count) != 0)
        return Failed(std::move(check), kReadSyntaxError, TimingCheckStage::kRecords);
    std::vector<TimingEntry> records(count + 1);
    if (FetchTimingEntries(text, *database, pattern, QM_ALL, records.data(), count) != 0)
        return Failed(std::move(check), kReadSyntaxError, TimingCheckStage::kRecords);
    records.resize(count);

    std::vector<TimingEntry> timingEntries;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (records[i].type != kTypeTiming) continue;
        check.timingRecords.push_back(i);
        timingEntries.push_back(records[i]);
    }
    check.records = std::move(records);
    std::vector<TimingCandidate> timings(timingEntries.size() + 1);
    bool error = false;
    ReadTimingData(static_cast<std::uint32_t>(timingEntries.size()), &error, timings.data(), timingEntries.data());
    if (error) return Failed(std::move(check), kReadSyntaxError, TimingCheckStage::kData);
    timings.resize(timingEntries.size());
    check.timings = std::move(timings);
    return check;
}

}  // namespace vca
