// Builders shared by the timing validation tests.
#pragma once

#include <cstdint>

#include "timingdb/timing_types.h"

namespace validationtest {

inline vca::TimingCandidate Timing(double pixelClock, std::uint32_t hTotal, std::uint32_t hActive,
                                   std::uint32_t hSync, std::uint32_t hFrontPorch, double vTotal,
                                   std::uint32_t vActive, std::uint32_t vSync, double vFrontPorch,
                                   std::uint32_t flags = 0) {
    vca::TimingCandidate c{};
    c.pixelClock = pixelClock;
    c.hTotal = hTotal;
    c.hActive = hActive;
    c.hSync = hSync;
    c.hFrontPorch = hFrontPorch;
    c.vTotal = vTotal;
    c.vActive = vActive;
    c.vSync = vSync;
    c.vFrontPorch = vFrontPorch;
    c.flags = flags;
    c.type = vca::kTypeTiming;
    return c;
}

// 1280 x 1024 at 75 Hz: 135 MHz, 1688 x 1066.
inline vca::TimingCandidate Sxga() { return Timing(135.0, 1688, 1280, 144, 16, 1066.0, 1024, 3, 1.0); }

}  // namespace validationtest
