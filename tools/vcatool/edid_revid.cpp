#include "edid_revid.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "timingdb/timing_validation.h"

namespace vcatool {

namespace {

// A number with a fixed count of decimals.
std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A pixel clock to the kHz, with at least two decimals ("162.00", "25.175").
std::string ClockText(double mhz) {
    std::string text = Fixed(mhz, 3);
    if (text.back() == '0') text.pop_back();
    return text;
}

// A line count that may end in a half line.
std::string LinesText(double lines) {
    return lines == std::floor(lines) ? std::to_string(static_cast<long>(lines)) : Fixed(lines, 1);
}

// The limits the monitor block sets; 0 is no bound.
struct BlockLimits {
    double hf_min = 0, hf_max = 0, vf_min = 0, vf_max = 0, pcf_max = 0;
};

// One pair of limits from the range limits descriptor, as a field line of
// the monitor block (empty when there is nothing to write). The database
// refuses a pair whose maximum is not above its minimum and reads 0 as "no
// bound"; a block holds no comments, so what needs saying goes to `notes`.
// A rate the EDID gives as one whole number for both ends is that rate
// rounded, so the pair becomes the half unit around it.
std::string PairLine(const std::string& name, int minimum, int maximum, double* low, double* high,
                     std::string& notes) {
    if (minimum > 0 && maximum > 0 && minimum > maximum) {
        notes += "; " + name + ": the EDID's minimum " + std::to_string(minimum) + " is above its maximum " +
                 std::to_string(maximum) + "; no " + name + " limit written\n";
        return {};
    }
    if (minimum > 0 && minimum == maximum) {
        notes += "; " + name + ": the EDID gives " + std::to_string(minimum) +
                 " for both ends; written as the half unit around it\n";
        *low = minimum - 0.5;
        *high = maximum + 0.5;
        return name + "min=" + Fixed(*low, 1) + " " + name + "max=" + Fixed(*high, 1);
    }
    std::string line;
    if (minimum > 0) {
        *low = minimum;
        line += name + "min=" + std::to_string(minimum);
    }
    if (maximum > 0) {
        *high = maximum;
        line += (line.empty() ? "" : " ") + name + "max=" + std::to_string(maximum);
    }
    return line;
}

// The monitor block's field lines and the limits they set; notes about
// them go to `notes`.
std::string MonitorBlock(const EdidInfo& info, BlockLimits* limits, std::string& notes) {
    std::string out = " {\n  tag=" + RevidTag(info) + "\n  desc=\"" + RevidDescription(info) + "\"\n";
    if (const EdidRangeLimits* range = info.RangeLimits()) {
        for (const std::string& line :
             {PairLine("hf", range->min_h_rate_khz, range->max_h_rate_khz, &limits->hf_min, &limits->hf_max, notes),
              PairLine("vf", range->min_v_rate_hz, range->max_v_rate_hz, &limits->vf_min, &limits->vf_max, notes)})
            if (!line.empty()) out += "  " + line + "\n";
        if (range->max_pixel_clock_mhz > 0)
            out += "  pcfmax=" + std::to_string(range->max_pixel_clock_mhz) + "\n";
        limits->pcf_max = range->max_pixel_clock_mhz;
    } else {
        notes += "; the EDID has no range limits: the monitor block sets no limits\n";
    }
    return out + " }\n";
}

RasterTiming FromDetailed(const EdidDetailedTiming& t) {
    RasterTiming r;
    r.pixel_clock_mhz = t.pixel_clock_khz / 1000.0;
    r.h_active_px = t.h_active_px;
    r.h_front_porch_px = t.h_front_porch_px;
    r.h_sync_px = t.h_sync_width_px;
    r.h_back_porch_px = t.h_blank_px - t.h_front_porch_px - t.h_sync_width_px;
    r.v_active_lines = t.v_active_lines;
    r.v_front_porch_lines = t.v_front_porch_lines;
    r.v_sync_lines = t.v_sync_width_lines;
    r.v_back_porch_lines = t.v_blank_lines - t.v_front_porch_lines - t.v_sync_width_lines + (t.interlaced ? 0.5 : 0);
    r.interlaced = t.interlaced;
    return r;
}

// The applet's view of a record: resolution and refresh from the values
// as written (the pixel clock read back from its text).
void Derive(RevidMode& m) {
    const RasterTiming& t = m.raster;
    const double clock = std::strtod(ClockText(t.pixel_clock_mhz).c_str(), nullptr);
    m.xres = t.h_active_px;
    m.yres = t.interlaced ? 2 * t.v_active_lines : t.v_active_lines;
    const double total = static_cast<double>(t.h_total_px()) * t.v_total_lines();
    m.refresh_hz = total > 0 ? static_cast<int>(1e6 * clock / total + 0.5) : 0;
}

// Why the monitor block's own limits refuse a record, by the applet's own
// test on the values as written; empty when they do not.
std::string RefusedBy(const RasterTiming& t, const BlockLimits& l) {
    vca::TimingCandidate c{};
    c.pixelClock = std::strtod(ClockText(t.pixel_clock_mhz).c_str(), nullptr);
    c.hTotal = static_cast<std::uint32_t>(t.h_total_px());
    c.hActive = static_cast<std::uint32_t>(t.h_active_px);
    c.hSync = static_cast<std::uint32_t>(t.h_sync_px);
    c.hFrontPorch = static_cast<std::uint32_t>(t.h_front_porch_px);
    c.vTotal = t.v_total_lines();
    c.vActive = static_cast<std::uint32_t>(t.v_active_lines);
    c.vSync = static_cast<std::uint32_t>(t.v_sync_lines);
    c.vFrontPorch = t.v_front_porch_lines;
    c.flags = t.interlaced ? vca::TF_INTERLACED : 0;
    vca::MonitorEntry monitor{};
    monitor.limits[vca::kHfMin] = l.hf_min;
    monitor.limits[vca::kHfMax] = l.hf_max;
    monitor.limits[vca::kVfMin] = l.vf_min;
    monitor.limits[vca::kVfMax] = l.vf_max;
    monitor.limits[vca::kPcfMax] = l.pcf_max;
    const vca::TimingVerdict verdict = vca::CheckMonitorLimits(c, monitor);
    if (verdict.test == vca::TimingTest::kAccepted) return {};
    if (verdict.limitIndex < 0) return "no pixel clock or totals to test";
    const bool above = verdict.test == vca::TimingTest::kMonitorMaximum;
    static const char* const units[] = {"kHz", "MHz"};
    const int pair = verdict.limitIndex / 2;
    return Fixed(verdict.quantity, 2) + " " + (pair <= 1 ? units[pair] : "Hz") + " is " +
           (above ? "above" : "below") + " the monitor's " + vca::kLimitNames[verdict.limitIndex] + " " +
           Fixed(verdict.limit, 1);
}

// Established timing bits, in the order of EdidInfo::established_bits.
struct EstablishedMode {
    const char* source;
    int width, height, rate;
    bool interlaced;
};
const EstablishedMode kEstablished[17] = {
    {"IBM", 720, 400, 70, false},  {"IBM", 720, 400, 88, false},   {"DMT", 640, 480, 60, false},
    {"APPLE", 640, 480, 67, false}, {"DMT", 640, 480, 72, false},  {"DMT", 640, 480, 75, false},
    {"DMT", 800, 600, 56, false},  {"DMT", 800, 600, 60, false},   {"DMT", 800, 600, 72, false},
    {"DMT", 800, 600, 75, false},  {"APPLE", 832, 624, 75, false}, {"DMT", 1024, 768, 43, true},
    {"DMT", 1024, 768, 60, false}, {"DMT", 1024, 768, 70, false},  {"DMT", 1024, 768, 75, false},
    {"DMT", 1280, 1024, 75, false}, {"APPLE", 1152, 870, 75, false},
};

std::string PublishedName(const PublishedTiming& p) {
    if (p.source[0] == 'D') {
        char id[8];
        std::snprintf(id, sizeof id, "0x%02x", static_cast<unsigned>(p.dmt_id));
        return std::string("VESA DMT ") + id;
    }
    return p.source[0] == 'I' ? "IBM" : "Apple";
}

// A standard timing without a DMT: the formula the block prescribes.
RevidMode FormulaMode(const EdidInfo& info, const EdidStandardTiming& s) {
    RevidMode m;
    const EdidRangeLimits* range = info.RangeLimits();
    const bool is14 = info.version == 1 && info.revision >= 4;
    if (is14 && range && range->timing_formula == "cvt") {
        const bool standard = range->cvt_standard_blanking;
        m.formula = standard ? "CVT" : "CVT reduced blanking";
        m.raster = standard ? CvtTiming(s.h_active_px, s.v_active_lines, s.refresh_hz)
                            : CvtReducedBlankingTiming(s.h_active_px, s.v_active_lines, s.refresh_hz);
        return m;
    }
    m.formula = "GTF";
    m.raster = GtfTimingForRefresh(s.h_active_px, s.v_active_lines, s.refresh_hz);
    if (range && range->timing_formula == "secondary-gtf" && m.raster.IsDrivable() &&
        m.raster.h_freq_khz() >= range->secondary_gtf_start_khz) {
        m.formula = "secondary GTF";
        m.raster = GtfTimingForRefresh(s.h_active_px, s.v_active_lines, s.refresh_hz,
                                       {range->gtf_c_percent, range->gtf_m_percent_per_khz, range->gtf_k,
                                        range->gtf_j_percent, true});
    }
    return m;
}

std::vector<RevidMode> AnnouncedModes(const EdidInfo& info) {
    std::vector<RevidMode> modes;
    int number = 0;
    for (const EdidDescriptor& d : info.descriptors) {
        if (!d.timing) continue;
        RevidMode m;
        m.origin = "detailed timing " + std::to_string(++number) + " (offset " + std::to_string(d.offset) + ")";
        m.formula = "detailed";
        m.raster = FromDetailed(*d.timing);
        if (!d.timing->IsPossible()) m.left_out = "not a raster a monitor can be driven with";
        if (d.timing->h_border_px || d.timing->v_border_lines) m.note = "its borders are left out";
        modes.push_back(m);
    }
    for (int bit : info.established_bits) {
        const EstablishedMode& e = kEstablished[bit];
        RevidMode m;
        m.origin = "established timing " + std::to_string(e.width) + " x " + std::to_string(e.height) +
                   (e.interlaced ? " interlaced at 87 Hz" : " at " + std::to_string(e.rate) + " Hz");
        const PublishedTiming* p = FindPublishedTiming(e.source, e.width, e.height, e.rate, e.interlaced);
        m.formula = PublishedName(*p);
        m.raster = p->raster;
        modes.push_back(m);
    }
    for (const EdidStandardTiming& s : info.standard_timings) {
        RevidMode m;
        if (const PublishedTiming* p = FindDmtForStandardTiming(s.h_active_px, s.v_active_lines, s.refresh_hz)) {
            m.formula = PublishedName(*p);
            m.raster = p->raster;
        } else {
            m = FormulaMode(info, s);
        }
        m.origin = "standard timing at offset " + std::to_string(s.offset) + ", " + std::to_string(s.h_active_px) +
                   " x " + std::to_string(s.v_active_lines) + " at " + std::to_string(s.refresh_hz) + " Hz";
        modes.push_back(m);
    }
    return modes;
}

std::string RecordText(const std::string& tag, const RevidMode& m) {
    const RasterTiming& t = m.raster;
    std::string out = "tag " + tag + "\ntype timing\n";
    if (t.interlaced) out += "flags { ilace=true }\n";
    out += "data {\n";
    out += ClockText(t.pixel_clock_mhz) + " ; pixel clock, MHz\n";
    out += std::to_string(t.h_total_px()) + " ; horizontal total\n";
    out += std::to_string(t.h_active_px) + " ; horizontal active\n";
    out += std::to_string(t.h_sync_px) + " ; horizontal sync\n";
    out += std::to_string(t.h_front_porch_px) + " ; horizontal front porch\n";
    out += LinesText(t.v_total_lines()) + " ; vertical total\n";
    out += std::to_string(t.v_active_lines) + " ; vertical active\n";
    out += std::to_string(t.v_sync_lines) + " ; vertical sync\n";
    out += LinesText(t.v_front_porch_lines) + " ; vertical front porch\n";
    return out + "}\n";
}

std::string Heading(const RevidMode& m) {
    const RasterTiming& t = m.raster;
    std::string out = "; " + m.origin + (m.formula == "detailed" ? "" : ", " + m.formula) + ": " +
                      std::to_string(m.xres) + " x " + std::to_string(m.yres) + (t.interlaced ? " interlaced" : "");
    if (t.h_total_px() > 0 && t.v_total_lines() > 0)
        out += ", " + Fixed(t.h_freq_khz(), 2) + " kHz, " + Fixed(t.v_freq_hz(), 2) + " Hz";
    return out + "\n";
}

std::vector<RevidMode> Decide(const EdidInfo& info, const BlockLimits& limits) {
    std::vector<RevidMode> modes = AnnouncedModes(info);
    for (std::size_t i = 0; i < modes.size(); ++i) {
        RevidMode& m = modes[i];
        Derive(m);
        if (m.left_out.empty() && !m.raster.IsDrivable())
            m.left_out = "the " + m.formula + " formula gives no raster a monitor can be driven with";
        if (!m.left_out.empty()) continue;
        for (std::size_t j = 0; j < i && m.left_out.empty(); ++j) {
            const RevidMode& w = modes[j];
            if (w.written && w.xres == m.xres && w.yres == m.yres && w.refresh_hz == m.refresh_hz &&
                w.raster.interlaced == m.raster.interlaced)
                m.left_out = "the same mode as " + w.origin;
        }
        if (m.left_out.empty()) m.left_out = RefusedBy(m.raster, limits);
        m.written = m.left_out.empty();
    }
    return modes;
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

std::vector<RevidMode> RevidModes(const EdidInfo& info) {
    BlockLimits limits;
    std::string notes;
    MonitorBlock(info, &limits, notes);
    return Decide(info, limits);
}

std::string WriteRevid(const EdidInfo& info) {
    std::string out = "; Timing database for " + info.manufacturer + " product " + RevidTag(info).substr(3) +
                      ", written by vcatool edid from its EDID " + std::to_string(info.version) + "." +
                      std::to_string(info.revision) + ".\n";
    out += "; Add it to revid.dat with: vcatool merge revid.dat THIS-FILE -o revid.dat\n";
    for (const EdidFinding& f : info.findings)
        out += "; finding at offset " + std::to_string(f.offset) + ": " + f.message + "\n";
    std::string notes;
    BlockLimits limits;
    const std::string block = MonitorBlock(info, &limits, notes);
    out += notes + "version 1\ndisplay {\n" + block + "}\n";
    const std::string tag = RevidTag(info);
    int written = 0;
    for (const RevidMode& m : Decide(info, limits)) {
        out += "\n" + Heading(m);
        if (!m.written) {
            out += "; left out: " + m.left_out + "\n";
            continue;
        }
        if (!m.note.empty()) out += "; " + m.note + "\n";
        out += RecordText(tag, m);
        ++written;
    }
    if (written == 0) out += "\n; the EDID announces no mode that can be written: no records\n";
    return out;
}

}  // namespace vcatool
