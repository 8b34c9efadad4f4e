#include "modes/timing_lines.h"

#include "base/resource_library.h"
#include "base/text.h"
#include "modes/mode_building.h"

namespace vca {

namespace {
constexpr int kWordChars = 128;
}  // namespace

TimingLineWords LoadTimingLineWords() {
    return {LoadResourceString(10, kWordChars), LoadResourceString(44, kWordChars),
            LoadResourceString(11, kWordChars)};
}

std::u16string TimingLine(std::uint32_t width, std::uint32_t height, std::uint32_t rate,
                          const TimingLineWords& words) {
    return FormatText(u"%4ld x %4ld %s, %s, %ld %s",
                      {static_cast<long>(width), static_cast<long>(height), words.resolutionUnit,
                       words.colours, static_cast<long>(rate), words.rateUnit});
}

std::vector<std::u16string> TimingLines(const ModeEntry* entries, std::uint32_t count,
                                        std::uint32_t maxRates, const TimingLineWords& words) {
    std::vector<std::u16string> lines;
    if (!entries) return lines;
    for (std::uint32_t i = 0; i < count; ++i) {
        const ModeEntry& entry = entries[i];
        if (entry.width == 0 || !entry.monoRates) continue;
        for (std::uint32_t r = 0; r < maxRates && entry.monoRates[r] != 0; ++r)
            lines.push_back(TimingLine(entry.width, entry.height, entry.monoRates[r], words));
    }
    return lines;
}

std::vector<std::u16string> DdcTimingLines(const TimingLineWords& words) {
    return TimingLines(ddcFullRates, DdcFullRatesEntries(), maxRateCount, words);
}

}  // namespace vca
