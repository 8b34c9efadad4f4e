// The order of fetched entries and the duplicate report.
#include <random>
#include <vector>

#include "reader_support.h"

namespace {

using timingtest::ReaderTest;
using vca::TimingEntry;

// The sort keys in stage order: type, tag, monitor id, stereo bit, vertical
// resolution, refresh.
std::uint32_t Key(const TimingEntry& e, int stage) {
    const std::uint32_t keys[] = {e.type, e.tag, e.monid, e.flags & vca::TF_STEREO, e.yres, e.refresh};
    return keys[stage];
}

// The six exchange stages written out literally: stage k sweeps over all
// neighbours until nothing moves, swapping two that are equal in the keys
// of the earlier stages (and both carry a monitor id, in the monitor id
// stage) and out of order in key k.
void ReferenceSort(std::vector<TimingEntry>& e) {
    for (int k = 0; k < 6; ++k) {
        for (bool moved = true; moved;) {
            moved = false;
            for (std::size_t i = 0; i + 1 < e.size(); ++i) {
                bool comparable = k != 2 || (e[i].flags & e[i + 1].flags & vca::TF_MONID);
                for (int j = 0; j < k; ++j) comparable = comparable && Key(e[i], j) == Key(e[i + 1], j);
                if (comparable && Key(e[i], k) > Key(e[i + 1], k)) {
                    std::swap(e[i], e[i + 1]);
                    moved = true;
                }
            }
        }
    }
}

std::vector<int> Lines(const std::vector<TimingEntry>& entries) {
    std::vector<int> lines;
    for (const TimingEntry& e : entries) lines.push_back(e.line);
    return lines;
}

// Entries from small value ranges, so that every stage meets ties; the
// line field numbers them so that the order of equal entries shows.
TEST_F(ReaderTest, SortingGivesExactlyTheOrderOfTheExchangeStages) {
    std::mt19937 random(20240611);
    const std::uint32_t flagBits[] = {0, vca::TF_MONID, vca::TF_STEREO, vca::TF_MONID | vca::TF_STEREO,
                                      vca::TF_MONID | vca::TF_FSEL};
    for (int round = 0; round < 3000; ++round) {
        std::vector<TimingEntry> entries(1 + random() % 40);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            auto pick = [&random](int count, int first, int step) {
                return static_cast<std::uint16_t>(first + step * static_cast<int>(random() % count));
            };
            entries[i] = {pick(3, 0, 1), pick(3, 0, 1), pick(2, 640, 1), pick(2, 480, 120), pick(2, 60, 15), 0,
                          pick(3, 0, 1), flagBits[pick(5, 0, 1)], static_cast<std::uint16_t>(i), nullptr};
        }
        std::vector<TimingEntry> expected = entries;
        ReferenceSort(expected);
        vca::SortTimingEntries(entries.data(), static_cast<std::uint32_t>(entries.size()));
        ASSERT_EQ(Lines(entries), Lines(expected)) << "round " << round;
    }
}

TEST_F(ReaderTest, SortingReportsNeighboursEqualInEveryFieldAndKeepsThem) {
    std::vector<TimingEntry> entries(4, TimingEntry{0, 1, 1280, 1024, 60, 0, 0, vca::TF_FSEL, 0, nullptr});
    for (std::uint16_t i = 0; i < 4; ++i) entries[i].line = i;
    entries[1].refresh = 75;
    entries[3].hfreq = 80;  // differs only in hfreq: not a duplicate
    vca::SortTimingEntries(entries.data(), 4);
    EXPECT_EQ(Lines(entries), (std::vector<int>{0, 2, 3, 1}));
    EXPECT_EQ(host::Diagnostics(),
              "\nWARNING - duplicate entries:\nT=1 Tag=0 fl=0x8 monId=0x0 Xres=1280 Yres=1024 Refresh=60 Hfreq=0\n\n");
}

}  // namespace
