#include "edid_decode.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "driver/edid_identity.h"

namespace vcatool {

namespace {

constexpr std::uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr std::size_t kDescriptorOffsets[4] = {54, 72, 90, 108};

// Bits 7 to 0 of bytes 35 and 36, then bit 7 of byte 37.
const char* const kEstablishedTimings[17] = {
    "720x400@70",  "720x400@88",  "640x480@60",  "640x480@67",   "640x480@72",  "640x480@75",
    "800x600@56",  "800x600@60",  "800x600@72",  "800x600@75",   "832x624@75",  "1024x768@87i",
    "1024x768@60", "1024x768@70", "1024x768@75", "1280x1024@75", "1152x870@75",
};

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
    return text;
}

struct Decoder {
    const EdidBlock& b;
    EdidInfo& info;

    void Finding(std::size_t offset, std::string message) {
        info.findings.push_back({offset, std::move(message)});
    }
    int Le16(std::size_t at) const { return b[at] | b[at + 1] << 8; }
    bool Is14() const { return info.version == 1 && info.revision >= 4; }
    bool AtLeast13() const { return info.version == 1 && info.revision >= 3; }

    void ParseHeader();
    void ParseVendor();
    void ParseVersion();
    void ParseInput();
    void ParseSizeAndGamma();
    void ParseFeatures();
    void ParseChromaticity();
    void ParseEstablishedTimings();
    void ParseStandardTiming(std::size_t at);
    void ParseDescriptor(std::size_t at, bool first);
    EdidDetailedTiming ParseDetailedTiming(std::size_t at);
    std::string ParseText(std::size_t at);
    EdidRangeLimits ParseRangeLimits(std::size_t at);
    void CheckTimingAgainstRange(const EdidDescriptor& d, const EdidRangeLimits& range);
    void CheckRequiredDescriptors();
    void ParseChecksum();
};

void Decoder::ParseHeader() {
    info.header_valid = std::memcmp(b.data(), kHeader, sizeof kHeader) == 0;
    if (!info.header_valid) Finding(0, "the header is not 00 FF FF FF FF FF FF 00");
}

void Decoder::ParseVendor() {
    char16_t letters[4];
    vca::ManufacturerLetters(b[8], b[9], letters);
    info.manufacturer.clear();
    for (int i = 0; i < 3; ++i) info.manufacturer += static_cast<char>(letters[i]);
    if (b[8] & 0x80) Finding(8, "bit 7 of the manufacturer ID is reserved and set");
    for (int i = 0; i < 3; ++i)
        if (letters[i] < u'A' || letters[i] > u'Z')
            Finding(8, "manufacturer letter " + std::to_string(i + 1) + " is not a letter from A to Z");
    info.product_code = Le16(10);
    info.serial_number = b[12] | b[13] << 8 | b[14] << 16 | static_cast<std::uint32_t>(b[15]) << 24;
    info.manufacture_week = b[16];
    info.manufacture_year = 1990 + b[17];
}

void Decoder::ParseVersion() {
    info.version = b[18];
    info.revision = b[19];
    if (info.version != 1) Finding(18, "EDID version " + std::to_string(info.version) + " is not a version 1 base block");
    if (info.version == 1 && info.revision > 4)
        Finding(19, "EDID revision " + std::to_string(info.revision) + " is unknown; read as 1.4");
    const int week = info.manufacture_week;
    if (week == 255 && !Is14()) Finding(16, "week 255 (model year) is defined only from EDID 1.4");
    if (week > 54 && week != 255) Finding(16, "week of manufacture " + std::to_string(week) + " is above 54");
}

void Decoder::ParseInput() {
    const std::uint8_t v = b[20];
    info.digital_input = (v & 0x80) != 0;
    if (!info.digital_input) {
        static const char* const levels[4] = {"0.700/0.300", "0.714/0.286", "1.000/0.400", "0.700/0.000"};
        info.analog = EdidAnalogInput{levels[(v >> 5) & 3], (v & 0x10) != 0, (v & 0x08) != 0,
                                      (v & 0x04) != 0,      (v & 0x02) != 0, (v & 0x01) != 0};
        return;
    }
    EdidDigitalInput digital{};
    if (!Is14()) {
        digital.dfp_compatible = (v & 0x01) != 0;
        if (v & 0x7E) Finding(20, "digital input: bits 6-1 are reserved and set");
        info.digital = digital;
        return;
    }
    const int depth = (v >> 4) & 7;
    if (depth == 7) Finding(20, "digital input: colour depth code 7 is reserved");
    if (depth >= 1 && depth <= 6) digital.color_depth_bits = 4 + 2 * depth;
    static const char* const interfaces[6] = {"undefined", "dvi", "hdmi-a", "hdmi-b", "mddi", "displayport"};
    const int kind = v & 0x0F;
    digital.interface = kind < 6 ? interfaces[kind] : "reserved";
    if (kind >= 6) Finding(20, "digital input: interface code " + std::to_string(kind) + " is reserved");
    info.digital = digital;
}

void Decoder::ParseSizeAndGamma() {
    info.width_cm = b[21];
    info.height_cm = b[22];
    if (b[23] != 0xFF) info.gamma = (b[23] + 100) / 100.0;
    else if (!Is14()) Finding(23, "gamma 0xFF (given elsewhere) is defined only from EDID 1.4");
}

void Decoder::ParseFeatures() {
    const std::uint8_t v = b[24];
    EdidFeatures& f = info.features;
    f.standby = (v & 0x80) != 0;
    f.suspend = (v & 0x40) != 0;
    f.active_off = (v & 0x20) != 0;
    const int type = (v >> 3) & 3;
    static const char* const analogTypes[4] = {"monochrome", "rgb", "non-rgb", "undefined"};
    static const char* const encodings[4] = {"rgb444", "rgb444+ycrcb444", "rgb444+ycrcb422",
                                             "rgb444+ycrcb444+ycrcb422"};
    f.display_type = info.digital_input && Is14() ? encodings[type] : analogTypes[type];
    f.srgb_default = (v & 0x04) != 0;
    f.preferred_timing_first = (v & 0x02) != 0;
    f.continuous_frequency = (v & 0x01) != 0;
    if (AtLeast13() && !f.preferred_timing_first)
        Finding(24, "the preferred timing bit must be set from EDID 1.3");
}

void Decoder::ParseChromaticity() {
    const auto value = [this](int hi, int lo, int shift) { return ((b[hi] << 2) | ((b[lo] >> shift) & 3)) / 1024.0; };
    EdidChromaticity& c = info.chromaticity;
    c.red_x = value(27, 25, 6);
    c.red_y = value(28, 25, 4);
    c.green_x = value(29, 25, 2);
    c.green_y = value(30, 25, 0);
    c.blue_x = value(31, 26, 6);
    c.blue_y = value(32, 26, 4);
    c.white_x = value(33, 26, 2);
    c.white_y = value(34, 26, 0);
}

void Decoder::ParseEstablishedTimings() {
    for (int i = 0; i < 17; ++i) {
        const std::uint8_t byte = b[35 + i / 8];
        if (!(byte & (0x80 >> (i % 8)))) continue;
        info.established_timings.push_back(kEstablishedTimings[i]);
        info.established_bits.push_back(i);
    }
    info.manufacturer_timings = b[37] & 0x7F;
}

void Decoder::ParseStandardTiming(std::size_t at) {
    const std::uint8_t first = b[at], second = b[at + 1];
    if (first == 0x01 && second == 0x01) return;
    if ((first == 0x00 && second == 0x00) || (first == 0x20 && second == 0x20)) {
        Finding(at, "an unused standard timing should be 01 01, not " + Hex(first).substr(2) + " " + Hex(second).substr(2));
        return;
    }
    if (first == 0x00) {
        Finding(at, "standard timing: horizontal code 0 is reserved");
        return;
    }
    EdidStandardTiming t{at, (first + 31) * 8, 0, "", (second & 0x3F) + 60};
    switch (second >> 6) {
        case 0:
            if (AtLeast13()) {
                t.aspect = "16:10";
                t.v_active_lines = t.h_active_px * 10 / 16;
            } else {
                t.aspect = "1:1";
                t.v_active_lines = t.h_active_px;
            }
            break;
        case 1: t.aspect = "4:3"; t.v_active_lines = t.h_active_px * 3 / 4; break;
        case 2: t.aspect = "5:4"; t.v_active_lines = t.h_active_px * 4 / 5; break;
        default: t.aspect = "16:9"; t.v_active_lines = t.h_active_px * 9 / 16; break;
    }
    info.standard_timings.push_back(t);
}

EdidDetailedTiming Decoder::ParseDetailedTiming(std::size_t at) {
    const auto* d = &b[at];
    EdidDetailedTiming t{};
    t.pixel_clock_khz = Le16(at) * 10;
    t.h_active_px = d[2] | (d[4] & 0xF0) << 4;
    t.h_blank_px = d[3] | (d[4] & 0x0F) << 8;
    t.v_active_lines = d[5] | (d[7] & 0xF0) << 4;
    t.v_blank_lines = d[6] | (d[7] & 0x0F) << 8;
    t.h_front_porch_px = d[8] | (d[11] & 0xC0) << 2;
    t.h_sync_width_px = d[9] | (d[11] & 0x30) << 4;
    t.v_front_porch_lines = (d[10] >> 4) | (d[11] & 0x0C) << 2;
    t.v_sync_width_lines = (d[10] & 0x0F) | (d[11] & 0x03) << 4;
    t.h_image_mm = d[12] | (d[14] & 0xF0) << 4;
    t.v_image_mm = d[13] | (d[14] & 0x0F) << 8;
    t.h_border_px = d[15];
    t.v_border_lines = d[16];
    const std::uint8_t flags = d[17];
    t.interlaced = (flags & 0x80) != 0;
    static const char* const stereo[8] = {"none", "none", "field-sequential-right", "two-way-interleaved-right",
                                          "field-sequential-left", "two-way-interleaved-left",
                                          "four-way-interleaved", "side-by-side"};
    t.stereo = stereo[((flags >> 4) & 6) | (flags & 1)];
    static const char* const syncs[4] = {"analog-composite", "bipolar-analog-composite", "digital-composite",
                                         "digital-separate"};
    t.sync = syncs[(flags >> 3) & 3];
    t.h_sync_positive = (flags & 0x18) == 0x18 ? (flags & 0x02) != 0 : (flags & 0x18) == 0x10 && (flags & 0x02);
    t.v_sync_positive = (flags & 0x18) == 0x18 && (flags & 0x04);

    if (t.h_active_px == 0) Finding(at + 2, "detailed timing with no active pixels");
    if (t.v_active_lines == 0) Finding(at + 5, "detailed timing with no active lines");
    if (t.h_blank_px == 0) Finding(at + 3, "detailed timing with no horizontal blanking");
    if (t.v_blank_lines == 0) Finding(at + 6, "detailed timing with no vertical blanking");
    if (t.h_front_porch_px + t.h_sync_width_px > t.h_blank_px)
        Finding(at + 8, "horizontal front porch and sync (" + std::to_string(t.h_front_porch_px + t.h_sync_width_px) +
                            " px) exceed the blanking (" + std::to_string(t.h_blank_px) + " px)");
    if (t.v_front_porch_lines + t.v_sync_width_lines > t.v_blank_lines)
        Finding(at + 10, "vertical front porch and sync (" +
                             std::to_string(t.v_front_porch_lines + t.v_sync_width_lines) + " lines) exceed the blanking (" +
                             std::to_string(t.v_blank_lines) + " lines)");
    return t;
}

std::string Decoder::ParseText(std::size_t at) {
    std::string text;
    std::size_t i = at + 5;
    for (; i < at + 18 && b[i] != 0x0A; ++i) {
        const bool printable = b[i] >= 0x20 && b[i] < 0x7F;
        if (!printable) Finding(i, "text byte " + Hex(b[i]) + " is not printable ASCII");
        text += printable ? static_cast<char>(b[i]) : '?';
    }
    for (std::size_t pad = i + 1; pad < at + 18; ++pad)
        if (b[pad] != 0x20) {
            Finding(pad, "the text after its line feed is not padded with spaces");
            break;
        }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

EdidRangeLimits Decoder::ParseRangeLimits(std::size_t at) {
    const auto* d = &b[at];
    EdidRangeLimits r{d[5], d[6], d[7], d[8], d[9] * 10, "unknown"};
    if (Is14()) {
        const int vertical = d[4] & 3, horizontal = (d[4] >> 2) & 3;
        if (vertical == 1 || horizontal == 1 || (d[4] & 0xF0))
            Finding(at + 4, "range limits: rate offset flags " + Hex(d[4]) + " use reserved values");
        if (vertical >= 2) r.max_v_rate_hz += 255;
        if (vertical == 3) r.min_v_rate_hz += 255;
        if (horizontal >= 2) r.max_h_rate_khz += 255;
        if (horizontal == 3) r.min_h_rate_khz += 255;
    }
    if (r.min_v_rate_hz > r.max_v_rate_hz)
        Finding(at + 5, "range limits: minimum vertical rate " + std::to_string(r.min_v_rate_hz) +
                            " Hz is above the maximum " + std::to_string(r.max_v_rate_hz) + " Hz");
    if (r.min_h_rate_khz > r.max_h_rate_khz)
        Finding(at + 7, "range limits: minimum horizontal rate " + std::to_string(r.min_h_rate_khz) +
                            " kHz is above the maximum " + std::to_string(r.max_h_rate_khz) + " kHz");
    if (r.max_v_rate_hz == 0) Finding(at + 6, "range limits: maximum vertical rate 0");
    if (r.max_h_rate_khz == 0) Finding(at + 8, "range limits: maximum horizontal rate 0");
    if (r.max_pixel_clock_mhz == 0) Finding(at + 9, "range limits: maximum pixel clock 0");
    switch (d[10]) {
        case 0x00: r.timing_formula = "default-gtf"; break;
        case 0x02: r.timing_formula = "secondary-gtf"; break;
        case 0x01: r.timing_formula = Is14() ? "range-limits-only" : "unknown"; break;
        case 0x04: r.timing_formula = Is14() ? "cvt" : "unknown"; break;
        default: break;
    }
    if (r.timing_formula == "unknown") Finding(at + 10, "range limits: timing formula code " + Hex(d[10]) + " is unknown");
    if (r.timing_formula == "secondary-gtf") {
        r.secondary_gtf_start_khz = d[12] * 2;
        r.gtf_c_percent = d[13] / 2.0;
        r.gtf_m_percent_per_khz = d[14] | d[15] << 8;
        r.gtf_k = d[16];
        r.gtf_j_percent = d[17] / 2.0;
    }
    if (r.timing_formula == "cvt") r.cvt_standard_blanking = (d[15] & 0x08) != 0;
    if (d[10] == 0x00 || d[10] == 0x01) {
        bool padded = d[11] == 0x0A;
        for (int i = 12; i < 18; ++i) padded = padded && d[i] == 0x20;
        if (!padded) Finding(at + 11, "range limits: bytes 11-17 should be 0A 20 20 20 20 20 20");
    }
    return r;
}

void Decoder::ParseDescriptor(std::size_t at, bool first) {
    EdidDescriptor d{};
    d.offset = at;
    if (Le16(at) != 0) {
        d.type = "detailed-timing";
        d.timing = ParseDetailedTiming(at);
        info.descriptors.push_back(d);
        return;
    }
    if (first && AtLeast13()) Finding(at, "the first descriptor must be the preferred detailed timing from EDID 1.3");
    d.tag = b[at + 3];
    if (b[at + 2] != 0) Finding(at + 2, "display descriptor: byte 2 is reserved and not 0");
    if (b[at + 4] != 0 && !(d.tag == 0xFD && Is14())) Finding(at + 4, "display descriptor: byte 4 is reserved and not 0");
    switch (d.tag) {
        case 0xFF: d.type = "serial-text"; d.text = ParseText(at); break;
        case 0xFE: d.type = "text"; d.text = ParseText(at); break;
        case 0xFC: d.type = "monitor-name"; d.text = ParseText(at); break;
        case 0xFD: d.type = "range-limits"; d.range = ParseRangeLimits(at); break;
        case 0xFB: d.type = "white-points"; break;
        case 0xFA:
            d.type = "standard-timings";
            for (std::size_t i = 0; i < 6; ++i) ParseStandardTiming(at + 5 + 2 * i);
            break;
        case 0xF9: d.type = "color-management"; break;
        case 0xF8: d.type = "cvt-timings"; break;
        case 0xF7: d.type = "established-timings-iii"; break;
        case 0x10: d.type = "dummy"; break;
        default:
            if (d.tag <= 0x0F) {
                d.type = "manufacturer";
            } else {
                d.type = "reserved";
                Finding(at + 3, "display descriptor tag " + Hex(d.tag) + " is reserved");
            }
            break;
    }
    info.descriptors.push_back(d);
}

// A rate outside [minimum, maximum]; a range whose two ends are one whole
// number holds the rate that number rounds, the half unit around it.
bool OutsideRange(double rate, int minimum, int maximum) {
    if (maximum == 0 || minimum > maximum) return false;
    const double slack = minimum == maximum ? 0.5 : 0.0;
    return rate < minimum - slack || rate > maximum + slack;
}

void Decoder::CheckTimingAgainstRange(const EdidDescriptor& d, const EdidRangeLimits& r) {
    const EdidDetailedTiming& t = *d.timing;
    if (t.h_total_px() == 0 || t.v_total_lines() == 0) return;
    const double hf = t.h_freq_khz(), vf = t.v_freq_hz();
    char text[160];
    if (OutsideRange(hf, r.min_h_rate_khz, r.max_h_rate_khz)) {
        std::snprintf(text, sizeof text, "detailed timing at %.2f kHz lies outside the range limits (%d-%d kHz)", hf,
                      r.min_h_rate_khz, r.max_h_rate_khz);
        Finding(d.offset, text);
    }
    if (OutsideRange(vf, r.min_v_rate_hz, r.max_v_rate_hz)) {
        std::snprintf(text, sizeof text, "detailed timing at %.2f Hz lies outside the range limits (%d-%d Hz)", vf,
                      r.min_v_rate_hz, r.max_v_rate_hz);
        Finding(d.offset, text);
    }
    if (r.max_pixel_clock_mhz != 0 && t.pixel_clock_khz > r.max_pixel_clock_mhz * 1000) {
        std::snprintf(text, sizeof text, "detailed timing pixel clock %d kHz is above the range limit of %d MHz",
                      t.pixel_clock_khz, r.max_pixel_clock_mhz);
        Finding(d.offset, text);
    }
}

void Decoder::CheckRequiredDescriptors() {
    if (info.version != 1 || info.revision != 3) return;
    bool name = false, range = false;
    for (const EdidDescriptor& d : info.descriptors) {
        name = name || d.type == "monitor-name";
        range = range || d.type == "range-limits";
    }
    if (!name) Finding(54, "EDID 1.3 requires a monitor name descriptor");
    if (!range) Finding(54, "EDID 1.3 requires a range limits descriptor");
}

void Decoder::ParseChecksum() {
    info.extension_count = b[126];
    info.checksum = b[127];
    unsigned sum = 0;
    for (std::uint8_t byte : b) sum += byte;
    info.checksum_valid = (sum & 0xFF) == 0;
    if (!info.checksum_valid)
        Finding(127, "checksum " + Hex(b[127]) + " does not make the block add up to 0 (" +
                         Hex(b[127] - sum) + " would)");
}

}  // namespace

double EdidDetailedTiming::h_freq_khz() const {
    return h_total_px() == 0 ? 0.0 : static_cast<double>(pixel_clock_khz) / h_total_px();
}

double EdidDetailedTiming::v_freq_hz() const {
    const double lines = v_total_lines() + (interlaced ? 0.5 : 0.0);
    return lines == 0 ? 0.0 : h_freq_khz() * 1000.0 / lines;
}

bool EdidDetailedTiming::IsPossible() const {
    return h_active_px > 0 && v_active_lines > 0 && h_blank_px > 0 && v_blank_lines > 0 &&
           h_front_porch_px + h_sync_width_px <= h_blank_px && v_front_porch_lines + v_sync_width_lines <= v_blank_lines;
}

const EdidRangeLimits* EdidInfo::RangeLimits() const {
    for (const EdidDescriptor& d : descriptors)
        if (d.range) return &*d.range;
    return nullptr;
}

std::string EdidInfo::MonitorName() const {
    for (const EdidDescriptor& d : descriptors)
        if (d.type == "monitor-name") return d.text;
    return {};
}

EdidBlock BlockFromIdentification(const std::uint8_t* identification) {
    EdidBlock block{};
    std::memcpy(block.data(), kHeader, sizeof kHeader);
    std::memcpy(block.data() + sizeof kHeader, identification, kEdidIdentificationBytes);
    return block;
}

EdidInfo DecodeEdid(const EdidBlock& block, bool fromIdentification) {
    EdidInfo info;
    info.from_identification = fromIdentification;
    Decoder decoder{block, info};
    decoder.ParseHeader();
    decoder.ParseVendor();
    decoder.ParseVersion();
    decoder.ParseInput();
    decoder.ParseSizeAndGamma();
    decoder.ParseFeatures();
    decoder.ParseChromaticity();
    decoder.ParseEstablishedTimings();
    for (std::size_t at = 38; at < 54; at += 2) decoder.ParseStandardTiming(at);
    for (std::size_t i = 0; i < 4; ++i) decoder.ParseDescriptor(kDescriptorOffsets[i], i == 0);
    if (const EdidRangeLimits* range = info.RangeLimits())
        for (const EdidDescriptor& d : info.descriptors)
            if (d.timing) decoder.CheckTimingAgainstRange(d, *range);
    decoder.CheckRequiredDescriptors();
    decoder.ParseChecksum();
    std::stable_sort(info.findings.begin(), info.findings.end(),
                     [](const EdidFinding& a, const EdidFinding& b) { return a.offset < b.offset; });
    return info;
}

}  // namespace vcatool
