// Feeds arbitrary bytes to the timing file reader as the applet loads a
// file: the whole text with a NUL after it, the header parse, a count and a
// fetch of every record, the raster values of the "timing" records, more
// queries with narrower masks, and the sort. Besides the sanitizers'
// checks, it stops on any broken invariant of the reader's results.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/host/host.h"
#include "timingdb/scanner.h"
#include "timingdb/section_parser.h"
#include "timingdb/timing_check.h"
#include "timingdb/timing_queries.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckHeader(const vca::TimingDatabase& db, std::size_t length) {
    Require(db.headerLength <= length);
    Require(db.tagCount <= vca::kMaxTags);
    std::uint32_t blocks = 0;
    for (const vca::DISPENTRY* e = db.entries; e; e = e->next, ++blocks) {
        Require(e->tag < db.tagCount);
        Require(std::memchr(e->desc, '\0', sizeof e->desc) != nullptr);
        for (int i = 0; i < vca::kLimitCount; i += 2)
            Require(e->limits[i] == 0.0 || e->limits[i + 1] == 0.0 || e->limits[i] > e->limits[i + 1]);
    }
    Require(blocks >= 1 && blocks <= vca::kMaxMonitorBlocks);
}

void CheckRecords(const std::vector<vca::TimingEntry>& records, const vca::TimingDatabase& db, const char* text,
                  std::size_t length) {
    for (const vca::TimingEntry& r : records) {
        Require(r.tag < db.tagCount && r.type <= vca::kTypeTiming);
        Require(r.data >= text + db.headerLength && r.data <= text + length);
    }
}

// A narrower query never finds more than the full one, and its two forms
// agree.
void QueryNarrower(const char* text, const vca::TimingDatabase& db, const vca::TimingEntry& pattern,
                   std::uint32_t mask, std::size_t total) {
    std::uint32_t count = 0;
    Require(vca::CountTimingEntries(text, db, pattern, mask, &count) == 0);
    Require(count <= total);
    std::vector<vca::TimingEntry> entries(count + 1);
    Require(vca::FetchTimingEntries(text, db, pattern, mask, entries.data(), count) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    host::Reset();
    vca::ResetTimingReaderState();
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    const std::size_t length = std::strlen(text.data());  // a NUL in the file ends the text

    vca::TimingDatabase db{};
    vca::TimingCheckResult check = vca::CheckTimingText(text.data(), &db);
    if (check.stage != vca::TimingCheckStage::kHeader) {
        CheckHeader(db, length);
        if (check.stage != vca::TimingCheckStage::kRecords) {
            CheckRecords(check.records, db, text.data(), length);
            Require(check.timingRecords.size() <= check.records.size());
            const vca::TimingEntry& first = check.records.empty() ? vca::TimingEntry{} : check.records.front();
            QueryNarrower(text.data(), db, first, vca::QM_TAG | vca::QM_TYPE, check.records.size());
            QueryNarrower(text.data(), db, first, vca::QM_STEREO | vca::QM_MONID, check.records.size());
            if (!check.records.empty())
                vca::SortTimingEntries(check.records.data(), static_cast<std::uint32_t>(check.records.size()));
        }
    }
    vca::ReleaseTimingDatabase(&db);
    Require(host::OutstandingAllocations() == 0);
    return 0;
}
