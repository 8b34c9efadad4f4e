#include "modes/group_index.h"

#include <new>

namespace vca {

namespace {

std::uint64_t Spread(std::uint64_t key) {
    key ^= key >> 31;
    key *= 0x9E3779B97F4A7C15ull;
    return key ^ (key >> 29);
}

std::uint64_t SizeKey(std::uint32_t width, std::uint32_t height) { return std::uint64_t{width} << 32 | height; }

}  // namespace

bool GroupIndex::Reserve(std::uint32_t candidates) {
    std::uint64_t slots = 2;
    while (slots < 2 * std::uint64_t{candidates}) slots *= 2;  // at most half full
    try {
        groups_.assign(slots, Slot{0, 0});
        rates_.assign(slots, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    mask_ = slots - 1;
    return true;
}

std::uint32_t GroupIndex::Find(std::uint32_t width, std::uint32_t height) const {
    const std::uint64_t key = SizeKey(width, height);
    for (std::uint64_t at = Spread(key) & mask_;; at = (at + 1) & mask_) {
        if (groups_[at].key == key) return groups_[at].group;
        if (groups_[at].key == 0) return kNone;
    }
}

void GroupIndex::Add(std::uint32_t width, std::uint32_t height, std::uint32_t group) {
    const std::uint64_t key = SizeKey(width, height);
    std::uint64_t at = Spread(key) & mask_;
    while (groups_[at].key != 0) at = (at + 1) & mask_;
    groups_[at] = Slot{key, group};
}

bool GroupIndex::AddRate(std::uint32_t group, bool stereo, std::uint32_t rate) {
    const std::uint64_t key = (std::uint64_t{group} * 2 + stereo) << 32 | rate;
    std::uint64_t at = Spread(key) & mask_;
    for (; rates_[at] != 0; at = (at + 1) & mask_)
        if (rates_[at] == key) return false;
    rates_[at] = key;
    return true;
}

}  // namespace vca
