// What the no-driver mode asks the user to confirm before the settings are
// saved: a dual-screen arrangement, a wide resolution on a generic
// monitor, stereo, or a depth below 24 bits.
#pragma once

#include <cstdint>

#include "base/app_state.h"

namespace vca {

struct ConfirmationFlags {
    bool wideResolution;  // wider than 1152 on monitor code 17 or 19
    bool stereo;
    bool lowDepth;  // below 24 bits per pixel
};

// Set by the main dialog's OK in the no-driver mode, read by the
// confirmation dialog.
extern ConfirmationFlags confirmationFlags;

// The flags for the record to save on a monitor of `monitorCode`.
ConfirmationFlags ComputeConfirmationFlags(const DisplaySettings& toSave, std::uint32_t monitorCode);

// Whether the confirmation dialog must run: any flag, or dual screen.
bool ConfirmationNeeded(const DisplaySettings& toSave, const ConfirmationFlags& flags);

void ResetConfirmationState();

}  // namespace vca
