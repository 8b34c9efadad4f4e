// The mode build's look-ups in constant time: the resolution made for a
// width and height, and whether a resolution lists a rate already.
#pragma once

#include <cstdint>
#include <vector>

namespace vca {

// Open-addressed tables keyed by the width and height of a resolution and
// by a resolution, list and rate. A width of 0 and a rate of 0 never come
// (the monitor filter drops them), so a key of 0 marks a free slot.
class GroupIndex {
public:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // Room for `candidates` resolutions and rates. False when memory runs out.
    bool Reserve(std::uint32_t candidates);
    // The resolution made for this width and height, or kNone.
    std::uint32_t Find(std::uint32_t width, std::uint32_t height) const;
    void Add(std::uint32_t width, std::uint32_t height, std::uint32_t group);
    // Records a rate of a resolution's normal or stereo-or-interlaced list;
    // false when that list has it already.
    bool AddRate(std::uint32_t group, bool stereo, std::uint32_t rate);

private:
    struct Slot {
        std::uint64_t key;
        std::uint32_t group;
    };
    std::vector<Slot> groups_;
    std::vector<std::uint64_t> rates_;
    std::uint64_t mask_ = 0;  // both tables have mask_ + 1 slots
};

}  // namespace vca
