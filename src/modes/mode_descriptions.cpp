// The described modes: one line per mode, rate and dual-screen arrangement
// that the active view offers, with the values that picking the line sets.
#include "modes/mode_descriptions.h"

#include <string>

#include "base/app_state.h"
#include "base/resource_library.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "modes/mode_table.h"
#include "modes/mode_views.h"
#include "platform/platform.h"

namespace vca {

ModeDescription* modeDescriptions = nullptr;
std::uint32_t modeDescriptionCount = 0;
bool descriptionsValid = false;

namespace {

constexpr std::uint32_t kColorTextString = 44;
constexpr int kColorTextChars = 129;  // 128 characters and the terminator
constexpr std::uint32_t kLinesPerRate = 6;

// The lines the table is sized for, or 0 when that size cannot be had.
std::size_t LineRoom() {
    const std::uint64_t lines = std::uint64_t{modeCount} * maxRateCount * kLinesPerRate + 1;
    if (lines > SIZE_MAX / sizeof(ModeDescription)) return 0;
    return static_cast<std::size_t>(lines);
}

}  // namespace

void ReleaseModeDescriptions() {
    platform::Free(modeDescriptions);
    modeDescriptions = nullptr;
    modeDescriptionCount = 0;
}

void BuildModeDescriptions() {
    const std::u16string colorText = LoadResourceString(kColorTextString, kColorTextChars);
    ReleaseModeDescriptions();
    const std::size_t room = LineRoom();
    // Sized for every rate of every mode in every arrangement, but seldom
    // filled: the zeroed block is not written beyond the lines made.
    if (room != 0)
        modeDescriptions = static_cast<ModeDescription*>(platform::AllocateZeroed(room * sizeof(ModeDescription)));
    if (!modeDescriptions) descriptionsValid = false;
    if (!descriptionsValid) return;

    const std::uint32_t arrangements = (boardIdentity.secondScreen || driverAbsent) ? 3 : 1;
    const bool fixed = fixedRefresh != 0;
    auto add = [&](const ModeViewEntry& mode, std::uint32_t arrangement, std::uint32_t rate) {
        if (modeDescriptionCount >= room) return;
        ModeDescription& line = modeDescriptions[modeDescriptionCount++];
        const std::uint32_t shownWidth = arrangement == 1 ? 2 * mode.width : mode.width;
        const std::uint32_t shownHeight = arrangement == 2 ? 2 * mode.height : mode.height;
        // A colour text too long for the line is cut with the line.
        CopyText(line.text, fixed ? FormatText(u"%ld x %ld, %s", {shownWidth, shownHeight, colorText})
                                  : FormatText(u"%ld x %ld, %s, %ld Hz.", {shownWidth, shownHeight, colorText, rate}));
        line.width = mode.width;
        line.height = mode.height;
        line.colorDepth = mode.colorDepth;
        line.refresh = rate;
        line.arrangement = arrangement;
    };

    for (std::uint32_t arrangement = 0; arrangement < arrangements; ++arrangement) {
        for (std::uint32_t k = 0; k < modeCount && activeView && activeView[k].width != 0; ++k) {
            const ModeViewEntry& mode = activeView[k];
            if (fixed) {
                add(mode, arrangement, 0);
                continue;
            }
            for (std::uint32_t r = 0; r < maxRateCount && mode.rates && mode.rates[r] != 0; ++r)
                add(mode, arrangement, mode.rates[r]);
        }
    }
}

void ResetModeDescriptionState() {
    ReleaseModeDescriptions();
    descriptionsValid = false;
}

}  // namespace vca
