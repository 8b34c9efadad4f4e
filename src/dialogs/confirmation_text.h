// The list of settings the confirmation dialog asks about, as one text.
#pragma once

#include <string>

#include "base/app_state.h"
#include "dialogs/confirmation.h"

namespace vca {

// The texts of the items that hold, in this order and joined with ", ":
// dual screen (string 27), a wide resolution (24), stereo (25), a low depth
// (33); each loaded with room for 64 units. Empty when none holds.
std::u16string ConfirmationListText(const DisplaySettings& toSave, const ConfirmationFlags& flags);

}  // namespace vca
