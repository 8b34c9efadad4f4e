// The order of fetched entries and the duplicate report.
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "reader_support.h"

namespace {

using timingtest::ReaderTest;
using vca::TimingEntry;

std::uint32_t Stereo(const TimingEntry& e) { return e.flags & vca::TF_STEREO; }
bool Group(const TimingEntry& a, const TimingEntry& b) { return a.type == b.type && a.tag == b.tag; }

// The six exchange stages written out literally: each repeats sweeps over
// all neighbours until nothing moves.
template <typename Comparable, typename Key>
void ExchangeStage(std::vector<TimingEntry>& e, Comparable comparable, Key key) {
    for (bool moved = true; moved;) {
        moved = false;
        for (std::size_t i = 0; i + 1 < e.size(); ++i) {
            if (comparable(e[i], e[i + 1]) && key(e[i]) > key(e[i + 1])) {
                std::swap(e[i], e[i + 1]);
                moved = true;
            }
        }
    }
}

void ReferenceSort(std::vector<TimingEntry>& e) {
    ExchangeStage(e, [](auto&, auto&) { return true; }, [](auto& x) { return x.type; });
    ExchangeStage(e, [](auto& a, auto& b) { return a.type == b.type; }, [](auto& x) { return x.tag; });
    ExchangeStage(
        e, [](auto& a, auto& b) { return Group(a, b) && (a.flags & b.flags & vca::TF_MONID); },
        [](auto& x) { return x.monid; });
    ExchangeStage(e, [](auto& a, auto& b) { return Group(a, b) && a.monid == b.monid; }, Stereo);
    ExchangeStage(
        e, [](auto& a, auto& b) { return Group(a, b) && a.monid == b.monid && Stereo(a) == Stereo(b); },
        [](auto& x) { return x.yres; });
    ExchangeStage(
        e,
        [](auto& a, auto& b) {
            return Group(a, b) && a.monid == b.monid && Stereo(a) == Stereo(b) && a.yres == b.yres;
        },
        [](auto& x) { return x.refresh; });
}

// Entries from small value ranges, so that every stage meets ties; the
// line field numbers them so that the order of equal entries shows.
std::vector<TimingEntry> RandomEntries(std::mt19937& random, std::size_t n) {
    auto pick = [&random](std::uint32_t count) { return static_cast<std::uint16_t>(random() % count); };
    const std::uint32_t flagBits[] = {0, vca::TF_MONID, vca::TF_STEREO, vca::TF_MONID | vca::TF_STEREO,
                                      vca::TF_MONID | vca::TF_FSEL};
    std::vector<TimingEntry> entries(n);
    for (std::size_t i = 0; i < n; ++i) {
        TimingEntry& e = entries[i];
        e.type = pick(3);
        e.tag = pick(3);
        e.monid = pick(3);
        e.flags = flagBits[pick(5)];
        e.yres = static_cast<std::uint16_t>(480 + 120 * pick(2));
        e.refresh = static_cast<std::uint16_t>(60 + 15 * pick(2));
        e.xres = static_cast<std::uint16_t>(640 + pick(2));
        e.line = static_cast<std::uint16_t>(i);
    }
    return entries;
}

std::vector<int> Lines(const std::vector<TimingEntry>& entries) {
    std::vector<int> lines;
    for (const TimingEntry& e : entries) lines.push_back(e.line);
    return lines;
}

TEST_F(ReaderTest, SortingGivesExactlyTheOrderOfTheExchangeStages) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::vector<TimingEntry> entries = RandomEntries(random, 1 + random() % 40);
        std::vector<TimingEntry> expected = entries;
        ReferenceSort(expected);
        vca::SortTimingEntries(entries.data(), static_cast<std::uint32_t>(entries.size()));
        ASSERT_EQ(Lines(entries), Lines(expected)) << "round " << round;
    }
}

TEST_F(ReaderTest, SortingReportsNeighboursEqualInEveryFieldAndKeepsThem) {
    std::vector<TimingEntry> entries(4);
    for (std::uint16_t i = 0; i < 4; ++i) {
        entries[i].type = 1;
        entries[i].xres = 1280;
        entries[i].yres = 1024;
        entries[i].refresh = i == 1 ? 75 : 60;
        entries[i].flags = vca::TF_FSEL;
        entries[i].line = i;
    }
    entries[3].hfreq = 80;  // differs only in hfreq: not a duplicate
    vca::SortTimingEntries(entries.data(), 4);
    EXPECT_EQ(Lines(entries), (std::vector<int>{0, 2, 3, 1}));
    EXPECT_EQ(host::Diagnostics(),
              "\nWARNING - duplicate entries:\nT=1 Tag=0 fl=0x8 monId=0x0 Xres=1280 Yres=1024 Refresh=60 Hfreq=0\n\n");
}

}  // namespace
