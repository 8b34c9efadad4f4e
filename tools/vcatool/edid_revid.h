// A timing database for one monitor, written from its decoded EDID: the
// header, a DISPLAY section with the monitor's block and one "timing"
// record per detailed timing, ready to be merged into revid.dat.
#pragma once

#include <string>

#include "edid_decode.h"

namespace vcatool {

// The tag the monitor's block and records carry: its manufacturer letters
// and product code ("ORX5021").
std::string RevidTag(const EdidInfo& info);

// The monitor's "desc": its monitor name, else manufacturer and product.
std::string RevidDescription(const EdidInfo& info);

std::string WriteRevid(const EdidInfo& info);

}  // namespace vcatool
