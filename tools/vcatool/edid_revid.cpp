#include "edid_revid.h"

#include <cstdio>
#include <string>

namespace vcatool {

namespace {

// A number with a fixed count of decimals.
std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// One pair of limits from the range limits descriptor, as a field line of
// the monitor block (empty when there is nothing to write). The database
// refuses a pair whose maximum is not above its minimum and reads 0 as "no
// bound"; a block holds no comments, so what needs saying goes to `notes`.
// A rate the EDID gives as one whole number for both ends is that rate
// rounded, so the pair becomes the half unit around it.
std::string PairLine(const std::string& name, int minimum, int maximum, std::string& notes) {
    if (minimum > 0 && maximum > 0 && minimum > maximum) {
        notes += "; " + name + ": the EDID's minimum " + std::to_string(minimum) + " is above its maximum " +
                 std::to_string(maximum) + "; no " + name + " limit written\n";
        return {};
    }
    if (minimum > 0 && minimum == maximum) {
        notes += "; " + name + ": the EDID gives " + std::to_string(minimum) +
                 " for both ends; written as the half unit around it\n";
        return name + "min=" + Fixed(minimum - 0.5, 1) + " " + name + "max=" + Fixed(maximum + 0.5, 1);
    }
    std::string line;
    if (minimum > 0) line += name + "min=" + std::to_string(minimum);
    if (maximum > 0) line += (line.empty() ? "" : " ") + name + "max=" + std::to_string(maximum);
    return line;
}

// The monitor block's field lines; notes about them go to `notes`.
std::string MonitorBlock(const EdidInfo& info, std::string& notes) {
    std::string out = " {\n  tag=" + RevidTag(info) + "\n  desc=\"" + RevidDescription(info) + "\"\n";
    if (const EdidRangeLimits* range = info.RangeLimits()) {
        for (const std::string& line : {PairLine("hf", range->min_h_rate_khz, range->max_h_rate_khz, notes),
                                        PairLine("vf", range->min_v_rate_hz, range->max_v_rate_hz, notes)})
            if (!line.empty()) out += "  " + line + "\n";
        if (range->max_pixel_clock_mhz > 0) out += "  pcfmax=" + std::to_string(range->max_pixel_clock_mhz) + "\n";
    } else {
        notes += "; the EDID has no range limits: the monitor block sets no limits\n";
    }
    return out + " }\n";
}

void WriteTimingRecord(std::string& out, const EdidInfo& info, const EdidDescriptor& d, int number) {
    const EdidDetailedTiming& t = *d.timing;
    out += "\n; detailed timing " + std::to_string(number) + " (offset " + std::to_string(d.offset) +
           "): " + std::to_string(t.h_active_px) + " x " +
           std::to_string(t.interlaced ? 2 * t.v_active_lines : t.v_active_lines) + (t.interlaced ? " interlaced" : "") +
           ", " + Fixed(t.h_freq_khz(), 2) + " kHz, " + Fixed(t.v_freq_hz(), 2) + " Hz\n";
    if (!t.IsPossible()) {
        out += "; left out: not a raster a monitor can be driven with\n";
        return;
    }
    if (t.h_border_px || t.v_border_lines) out += "; its borders are left out\n";
    out += "tag " + RevidTag(info) + "\ntype timing\n";
    if (t.interlaced) out += "flags { ilace=true }\n";
    out += "data {\n";
    char clock[32];
    std::snprintf(clock, sizeof clock, "%d.%02d", t.pixel_clock_khz / 1000, t.pixel_clock_khz % 1000 / 10);
    out += std::string(clock) + " ; pixel clock, MHz\n";
    out += std::to_string(t.h_total_px()) + " ; horizontal total\n";
    out += std::to_string(t.h_active_px) + " ; horizontal active\n";
    out += std::to_string(t.h_sync_width_px) + " ; horizontal sync\n";
    out += std::to_string(t.h_front_porch_px) + " ; horizontal front porch\n";
    out += std::to_string(t.v_total_lines()) + (t.interlaced ? ".5" : "") + " ; vertical total\n";
    out += std::to_string(t.v_active_lines) + " ; vertical active\n";
    out += std::to_string(t.v_sync_width_lines) + " ; vertical sync\n";
    out += std::to_string(t.v_front_porch_lines) + " ; vertical front porch\n";
    out += "}\n";
}

}  // namespace

std::string RevidTag(const EdidInfo& info) {
    std::string tag;
    for (char letter : info.manufacturer) tag += letter >= 'A' && letter <= 'Z' ? letter : 'X';
    char product[8];
    std::snprintf(product, sizeof product, "%04X", static_cast<unsigned>(info.product_code) & 0xFFFFu);
    return tag + product;
}

std::string RevidDescription(const EdidInfo& info) {
    std::string desc = info.MonitorName();
    for (char& c : desc)
        if (c == '"') c = '\'';
    const std::string maker = info.manufacturer + " " + RevidTag(info).substr(3);
    if (desc.empty()) return maker;
    // The applet treats the name "DDC Monitor" as the monitor that reports
    // its own modes; a database monitor must not take it.
    if (desc == "DDC Monitor") desc += " (" + maker + ")";
    return desc;
}

std::string WriteRevid(const EdidInfo& info) {
    std::string out = "; Timing database for " + info.manufacturer + " product " + RevidTag(info).substr(3) +
                      ", written by vcatool edid from its EDID " + std::to_string(info.version) + "." +
                      std::to_string(info.revision) + ".\n";
    out += "; Merge the monitor block and the records into revid.dat by hand.\n";
    for (const EdidFinding& f : info.findings)
        out += "; finding at offset " + std::to_string(f.offset) + ": " + f.message + "\n";
    std::string notes;
    const std::string block = MonitorBlock(info, notes);
    out += notes + "version 1\ndisplay {\n" + block + "}\n";
    int number = 0;
    for (const EdidDescriptor& d : info.descriptors)
        if (d.timing) WriteTimingRecord(out, info, d, ++number);
    if (number == 0) out += "; the EDID gives no detailed timing: no records\n";
    return out;
}

}  // namespace vcatool
