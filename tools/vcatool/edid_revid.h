// A timing database for one monitor, written from its decoded EDID: the
// header, a DISPLAY section with the monitor's block, and one "timing"
// record for every mode the block announces (detailed, established and
// standard timings), ready for vcatool merge.
#pragma once

#include <string>
#include <vector>

#include "edid_decode.h"
#include "timing_formulas.h"

namespace vcatool {

// The tag the monitor's block and records carry: its manufacturer letters
// and product code ("ORX5021").
std::string RevidTag(const EdidInfo& info);

// The monitor's "desc": its monitor name, else manufacturer and product.
std::string RevidDescription(const EdidInfo& info);

// One announced mode and what becomes of it.
struct RevidMode {
    std::string origin;   // "established timing 800 x 600 at 75 Hz", "standard timing at offset 40", "detailed timing 1 (offset 54)"
    std::string formula;  // "VESA DMT 0x0b", "IBM", "Apple", "GTF", "secondary GTF", "CVT", "CVT reduced blanking", "detailed"
    RasterTiming raster;
    int xres = 0, yres = 0, refresh_hz = 0;  // as the applet derives them from the written values
    bool written = false;
    std::string left_out;  // why it is not written: a limit, a duplicate, an impossible raster
    std::string note;      // said beside the record
};

std::vector<RevidMode> RevidModes(const EdidInfo& info);

std::string WriteRevid(const EdidInfo& info);

}  // namespace vcatool
