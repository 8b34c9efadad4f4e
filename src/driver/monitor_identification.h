// The monitor identification fields of the monitor timings dialog, as
// texts, from a screen's mode record state.
#pragma once

#include <string>

#include "driver/mode_records.h"

namespace vca {

struct MonitorIdentificationTexts {
    std::u16string manufacturer;  // three letters
    std::u16string product;
    std::u16string serial;
    std::u16string year;  // the stored byte + 1990
    std::u16string version;
    std::u16string revision;
};

// Empty texts for a screen without DDC data (status 2); otherwise the
// identification at the start of its block (a default block's is all zero).
// The week of manufacture is not shown.
MonitorIdentificationTexts IdentificationTexts(const ModeRecordState& state);

// Control 1137 (the notice that the monitor's own records are not in use)
// shows for every status except records read from the driver.
inline bool ShowsNoRecordsNotice(int status) { return status != kRecordsFromDriver; }

}  // namespace vca
