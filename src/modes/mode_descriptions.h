// One described line per mode the active view offers, with the values that
// picking the line sets.
#pragma once

#include <cstdint>

namespace vca {

constexpr std::uint32_t kDescriptionTextChars = 60;

struct ModeDescription {
    char16_t text[kDescriptionTextChars];
    std::uint32_t width;   // per screen
    std::uint32_t height;  // per screen
    std::uint32_t colorDepth;
    std::uint32_t refresh;      // 0 when refresh rates are fixed
    std::uint32_t arrangement;  // 0 single, 1 side by side, 2 stacked
};

extern ModeDescription* modeDescriptions;
extern std::uint32_t modeDescriptionCount;
extern bool descriptionsValid;

void BuildModeDescriptions();
void ReleaseModeDescriptions();
void ResetModeDescriptionState();

}  // namespace vca
