#include "dialogs/confirmation_text.h"

#include "base/resource_library.h"

namespace vca {

namespace {
constexpr int kItemChars = 64;
}  // namespace

std::u16string ConfirmationListText(const DisplaySettings& toSave, const ConfirmationFlags& flags) {
    const struct {
        bool holds;
        std::uint32_t stringId;
    } items[] = {
        {toSave.DualScreen != 0, 27},
        {flags.wideResolution, 24},
        {flags.stereo, 25},
        {flags.lowDepth, 33},
    };
    std::u16string list;
    int taken = 0;
    for (const auto& item : items) {
        if (!item.holds) continue;
        if (taken++ > 0) list += u", ";
        list += LoadResourceString(item.stringId, kItemChars);
    }
    return list;
}

}  // namespace vca
