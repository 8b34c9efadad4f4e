// The order of the mode table by width.
//
// The order is that of an exchange sort: for each position in turn, every
// later entry narrower than the one there is swapped into it. Entries of
// equal width do not keep their order, but the order they get follows a
// rule. Seen from the entries of one width w and the narrower ones (wider
// entries never change how these move against each other), each pass
// either takes a narrower entry to the front, or finds an entry of width w
// first and moves it to the place of the first narrower entry after it,
// behind the other entries of width w before that place. So the entries of
// width w form a queue taken in table order: each joins at the back, and
// each narrower entry met while the queue holds something sends the front
// entry to the back. The queue at the end of the table is their order.
//
// The queue is kept as a ring with a head: c narrower entries turn the head
// on by c, and an entry joins just before the head. Where each entry joined
// is resolved at the end, latest first, each taking the free slot its
// joining place counts to. Fenwick trees count the narrower entries between
// two positions and find the free slots, so the whole order takes
// O(n log n) instead of the exchange sort's O(n^2).
#include <algorithm>
#include <new>
#include <numeric>
#include <vector>

#include "modes/mode_building.h"

namespace vca {

namespace {

std::uint32_t LowBit(std::uint32_t i) { return i & (0u - i); }

// Positions marked so far, counted before any position.
struct MarkedPositions {
    std::vector<std::uint32_t> tree;

    explicit MarkedPositions(std::uint32_t n) : tree(std::size_t{n} + 1, 0) {}
    void Mark(std::uint32_t position) {
        for (std::uint32_t i = position + 1; i < tree.size(); i += LowBit(i)) ++tree[i];
    }
    std::uint32_t Before(std::uint32_t position) const {
        std::uint32_t marked = 0;
        for (std::uint32_t i = position; i > 0; i -= LowBit(i)) marked += tree[i];
        return marked;
    }
};

// Slots 0..n-1, all free at first; Take(r) takes the free slot with r free
// slots before it.
struct FreeSlots {
    std::vector<std::uint32_t> tree;
    std::uint32_t top = 1;  // the highest power of two up to n

    void Reset(std::uint32_t n) {
        tree.assign(std::size_t{n} + 1, 0);
        for (std::uint32_t i = 1; i <= n; ++i) tree[i] = LowBit(i);  // every slot free
        top = 1;
        while (top * 2 <= n) top *= 2;
    }
    std::uint32_t Take(std::uint32_t r) {
        std::uint32_t at = 0;
        for (std::uint32_t step = top; step > 0; step /= 2)
            if (at + step < tree.size() && tree[at + step] <= r) {
                at += step;
                r -= tree[at];
            }
        for (std::uint32_t i = at + 1; i < tree.size(); i += LowBit(i)) --tree[i];
        return at;
    }
};

// The place of each entry among the entries of its width, as the exchange
// sort leaves them.
void RankWithinWidths(const ModeEntry* table, const std::vector<std::uint32_t>& byWidth,
                      std::vector<std::uint32_t>* rank) {
    const auto count = static_cast<std::uint32_t>(byWidth.size());
    MarkedPositions narrower(count);
    std::vector<std::uint32_t> joinedAt;
    FreeSlots slots;
    for (std::uint32_t first = 0; first < count;) {
        std::uint32_t end = first + 1;
        while (end < count && table[byWidth[end]].width == table[byWidth[first]].width) ++end;
        const std::uint32_t k = end - first;
        joinedAt.assign(k, 0);
        std::uint64_t head = 0;
        for (std::uint32_t t = 1; t < k; ++t) {
            head = (head + narrower.Before(byWidth[first + t]) - narrower.Before(byWidth[first + t - 1])) % t;
            joinedAt[t] = static_cast<std::uint32_t>(head++);
        }
        head = (head + narrower.Before(count) - narrower.Before(byWidth[end - 1])) % k;
        slots.Reset(k);
        for (std::uint32_t t = k; t-- > 0;)
            (*rank)[byWidth[first + t]] = static_cast<std::uint32_t>((slots.Take(joinedAt[t]) + k - head) % k);
        for (std::uint32_t t = first; t < end; ++t) narrower.Mark(byWidth[t]);
        first = end;
    }
}

}  // namespace

bool OrderByWidth(ModeEntry* table, std::uint32_t count) {
    try {
        std::vector<std::uint32_t> byWidth(count);
        std::iota(byWidth.begin(), byWidth.end(), 0u);
        std::sort(byWidth.begin(), byWidth.end(), [table](std::uint32_t a, std::uint32_t b) {
            return table[a].width < table[b].width || (table[a].width == table[b].width && a < b);
        });
        std::vector<std::uint32_t> rank(count);
        RankWithinWidths(table, byWidth, &rank);
        // Each width's entries, in table order, move to the places their ranks give.
        std::vector<ModeEntry> ordered(count);
        for (std::uint32_t first = 0; first < count;) {
            std::uint32_t end = first + 1;
            while (end < count && table[byWidth[end]].width == table[byWidth[first]].width) ++end;
            for (std::uint32_t t = first; t < end; ++t) ordered[first + rank[byWidth[t]]] = table[byWidth[t]];
            first = end;
        }
        std::copy(ordered.begin(), ordered.end(), table);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace vca
