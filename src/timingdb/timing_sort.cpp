// Ordering of fetched entries and the duplicate report.
//
// The order is defined by six exchange stages. Each stage repeatedly swaps
// adjacent entries that are "comparable" for the stage (equal in the stage's
// group keys) when the first has the greater sort key, until nothing moves.
// Two facts make each stage a stable sort of independent runs:
//  - a swap exchanges two entries that are equal in the group keys, so the
//    sequence of group keys along the array never changes during a stage,
//    and with it the set of adjacent positions that are comparable;
//  - on a run of consecutive comparable positions, exchanging neighbours
//    with a strictly greater key until none is left is a bubble sort, whose
//    result is the unique stable ordering of the run by that key.
// So every stage is carried out as std::stable_sort over each maximal run
// of comparable neighbours, which gives the same array in O(n log n).
#include <algorithm>

#include "timingdb/scanner.h"
#include "timingdb/timing_queries.h"

namespace vca {

namespace {

std::uint32_t Stereo(const TimingEntry& e) { return e.flags & TF_STEREO; }
bool HasMonid(const TimingEntry& e) { return (e.flags & TF_MONID) != 0; }

template <typename Comparable, typename Key>
void SortRuns(TimingEntry* entries, std::uint32_t n, Comparable comparable, Key key) {
    auto less = [&key](const TimingEntry& a, const TimingEntry& b) { return key(a) < key(b); };
    std::uint32_t start = 0;
    while (start < n) {
        std::uint32_t end = start + 1;
        while (end < n && comparable(entries[end - 1], entries[end])) ++end;
        if (end - start > 1) std::stable_sort(entries + start, entries + end, less);
        start = end;
    }
}

bool SameGroup(const TimingEntry& a, const TimingEntry& b) { return a.type == b.type && a.tag == b.tag; }

bool Duplicates(const TimingEntry& a, const TimingEntry& b) {
    return a.type == b.type && a.tag == b.tag && a.monid == b.monid && a.flags == b.flags && a.yres == b.yres &&
           a.xres == b.xres && a.refresh == b.refresh && a.hfreq == b.hfreq;
}

}  // namespace

void SortTimingEntries(TimingEntry* entries, std::uint32_t n) {
    if (!entries || n == 0) return;
    SortRuns(
        entries, n, [](const TimingEntry&, const TimingEntry&) { return true; },
        [](const TimingEntry& e) { return e.type; });
    SortRuns(
        entries, n, [](const TimingEntry& a, const TimingEntry& b) { return a.type == b.type; },
        [](const TimingEntry& e) { return e.tag; });
    // Only neighbours that both carry a monitor id are compared: an entry
    // without one stays where it is and separates the runs around it.
    SortRuns(
        entries, n,
        [](const TimingEntry& a, const TimingEntry& b) { return SameGroup(a, b) && HasMonid(a) && HasMonid(b); },
        [](const TimingEntry& e) { return e.monid; });
    SortRuns(
        entries, n, [](const TimingEntry& a, const TimingEntry& b) { return SameGroup(a, b) && a.monid == b.monid; },
        Stereo);
    SortRuns(
        entries, n,
        [](const TimingEntry& a, const TimingEntry& b) {
            return SameGroup(a, b) && a.monid == b.monid && Stereo(a) == Stereo(b);
        },
        [](const TimingEntry& e) { return e.yres; });
    SortRuns(
        entries, n,
        [](const TimingEntry& a, const TimingEntry& b) {
            return SameGroup(a, b) && a.monid == b.monid && Stereo(a) == Stereo(b) && a.yres == b.yres;
        },
        [](const TimingEntry& e) { return e.refresh; });

    for (std::uint32_t i = 0; i + 1 < n; ++i) {
        const TimingEntry& e = entries[i];
        if (!Duplicates(e, entries[i + 1])) continue;
        WriteReaderDiagnostic("\nWARNING - duplicate entries:\n");
        WriteReaderDiagnostic("T=%d Tag=%d fl=0x%x monId=0x%x Xres=%d Yres=%d Refresh=%d Hfreq=%d\n\n", e.type,
                              e.tag, e.flags, e.monid, e.xres, e.yres, e.refresh, e.hfreq);
    }
}

}  // namespace vca
