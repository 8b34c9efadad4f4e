// The gamma dialog's file-open filter and the help topic of each of its
// controls.
#pragma once

#include <cstdint>
#include <string>

#include "help_contexts.h"

namespace vca {

// Controls of the gamma dialog that have their own help topic.
constexpr int kGammaLinearControl = 1087;
constexpr int kGammaValueControl = 1088;
constexpr int kGammaFileControl = 1089;
constexpr int kGammaScrollControl = 1015;
constexpr int kGammaChooseControl = 1091;
constexpr int kGammaTestControl = 1092;

constexpr std::uint32_t kGammaHelpDialog = IDH_GAMMA;
constexpr std::uint32_t kGammaHelpLinear = IDH_GAMMA_LINEAR;
constexpr std::uint32_t kGammaHelpValue = IDH_GAMMA_VALUE;
constexpr std::uint32_t kGammaHelpFile = IDH_GAMMA_FILE;

// The filter of the file-open dialog: the two pairs (gamma files, "*.gc")
// and (all files, "*.*"), each text ended by a NUL, the list ended by one
// more NUL. The returned string holds every one of these NULs.
std::u16string GammaFileFilter(const std::u16string& gammaFilesName, const std::u16string& allFilesName);

// The help topic for the control that has the focus (410 for any control
// without its own).
std::uint32_t GammaHelpContext(int controlId);

}  // namespace vca
