#include "dialogs/confirmation.h"

namespace vca {

ConfirmationFlags confirmationFlags{};

ConfirmationFlags ComputeConfirmationFlags(const DisplaySettings& toSave, std::uint32_t monitorCode) {
    ConfirmationFlags flags{};
    flags.wideResolution = (monitorCode == 17 || monitorCode == 19) && toSave.XResolution > 1152;
    flags.stereo = toSave.Stereo != 0;
    flags.lowDepth = toSave.BitsPerPel < 24;
    return flags;
}

bool ConfirmationNeeded(const DisplaySettings& toSave, const ConfirmationFlags& flags) {
    return flags.wideResolution || flags.stereo || flags.lowDepth || toSave.DualScreen != 0;
}

void ResetConfirmationState() { confirmationFlags = ConfirmationFlags{}; }

}  // namespace vca
