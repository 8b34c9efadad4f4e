// The monitor choice: which catalogue entry stands for the attached monitor.
#pragma once

#include <cstdint>

#include "timingdb/monitor_catalogue.h"

namespace vca {

// The tag of the chosen monitor, for the mode query.
struct ChosenTag {
    std::uint16_t tagIndex;
    char16_t tagName[kMonitorTagChars];
};

// Chooses the catalogue entry for the attached monitor from the working
// Description and sets the working Description and TagStr and the monitor
// code to match. The caller releases any mode table first
// (ReleaseModeTable), because the choice may replace the catalogue the
// table's monitor came from. 1 with `chosen` filled; -1 when memory ran out
// (message 82 has been shown).
int ChooseMonitor(ChosenTag* chosen);

}  // namespace vca
