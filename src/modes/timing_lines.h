// The lines of the monitor timings list: every mode the DDC monitor
// reported, once per refresh rate, as "1280 x 1024 pixels, colours, 60 Hz".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "modes/mode_table.h"

namespace vca {

// The three words of a line: the resolution unit (string 10), the colour
// text (string 44) and the rate unit (string 11).
struct TimingLineWords {
    std::u16string resolutionUnit;
    std::u16string colours;
    std::u16string rateUnit;
};

// The words from the resource library, each loaded with room for 128 units.
TimingLineWords LoadTimingLineWords();

// "%4ld x %4ld %s, %s, %ld %s": width and height right-aligned in four places.
std::u16string TimingLine(std::uint32_t width, std::uint32_t height, std::uint32_t rate,
                          const TimingLineWords& words);

// One line per rate of each of the first `count` entries, in order. A rate
// list ends at its first 0 or after `maxRates` rates; an entry of width 0
// adds nothing.
std::vector<std::u16string> TimingLines(const ModeEntry* entries, std::uint32_t count,
                                        std::uint32_t maxRates, const TimingLineWords& words);

// The lines of the DDC copy of the mode table (ddcFullRates), over as many
// entries as it had when it was taken; none when there is no copy.
std::vector<std::u16string> DdcTimingLines(const TimingLineWords& words);

}  // namespace vca
