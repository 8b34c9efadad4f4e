// Decoding of a VESA EDID base block (versions 1.0 to 1.4) for vcatool.
// The decoder reads only the 128 bytes it is given, reports every oddity it
// meets as a finding with the byte offset in the block, and goes on.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vcatool {

constexpr std::size_t kEdidBlockBytes = 128;
constexpr std::size_t kEdidIdentificationBytes = 120;  // bytes 8-127, as the driver hands them over

using EdidBlock = std::array<std::uint8_t, kEdidBlockBytes>;

// The 8-byte header followed by a driver's 120-byte identification.
EdidBlock BlockFromIdentification(const std::uint8_t* identification);

struct EdidFinding {
    std::size_t offset;  // in the 128-byte block
    std::string message;
};

struct EdidAnalogInput {
    std::string signal_level;  // "0.700/0.300", "0.714/0.286", "1.000/0.400", "0.700/0.000"
    bool blank_to_black_setup;
    bool separate_sync;
    bool composite_sync;
    bool sync_on_green;
    bool serration_vsync;
};

struct EdidDigitalInput {
    std::optional<int> color_depth_bits;  // 1.4 only; empty when undefined
    std::string interface;                // 1.4 only: "undefined", "dvi", ...
    bool dfp_compatible;                  // 1.0 to 1.3: bit 0
};

struct EdidFeatures {
    bool standby;
    bool suspend;
    bool active_off;
    std::string display_type;  // analog: "monochrome", "rgb", "non-rgb", "undefined"; digital 1.4: encodings
    bool srgb_default;
    bool preferred_timing_first;
    bool continuous_frequency;  // "GTF supported" before 1.4
};

struct EdidChromaticity {
    double red_x, red_y, green_x, green_y, blue_x, blue_y, white_x, white_y;
};

struct EdidStandardTiming {
    std::size_t offset;
    int h_active_px;
    int v_active_lines;
    std::string aspect;
    int refresh_hz;
};

struct EdidDetailedTiming {
    int pixel_clock_khz;
    int h_active_px, h_blank_px, h_front_porch_px, h_sync_width_px, h_border_px;
    int v_active_lines, v_blank_lines, v_front_porch_lines, v_sync_width_lines, v_border_lines;
    int h_image_mm, v_image_mm;
    bool interlaced;
    std::string stereo;  // "none", "field-sequential-right", ...
    std::string sync;    // "analog-composite", "bipolar-analog-composite", "digital-composite", "digital-separate"
    bool h_sync_positive;  // digital sync only
    bool v_sync_positive;  // digital separate sync only

    int h_total_px() const { return h_active_px + h_blank_px; }
    int v_total_lines() const { return v_active_lines + v_blank_lines; }
    double h_freq_khz() const;
    double v_freq_hz() const;  // field rate for an interlaced timing
    // Active pixels and lines, blanking on both axes, and porch and sync
    // inside the blanking: a raster a monitor could be driven with.
    bool IsPossible() const;
};

struct EdidRangeLimits {
    int min_v_rate_hz, max_v_rate_hz;
    int min_h_rate_khz, max_h_rate_khz;
    int max_pixel_clock_mhz;
    std::string timing_formula;  // "default-gtf", "range-limits-only", "secondary-gtf", "cvt", "unknown"
    // "secondary-gtf": from this line rate up, the curve of these parameters.
    int secondary_gtf_start_khz = 0;
    double gtf_c_percent = 0, gtf_m_percent_per_khz = 0, gtf_k = 0, gtf_j_percent = 0;
    // "cvt": whether the monitor takes CVT's standard blanking (else only reduced blanking).
    bool cvt_standard_blanking = true;
};

struct EdidDescriptor {
    std::size_t offset;
    std::string type;  // "detailed-timing", "monitor-name", "serial-text", "text", "range-limits", ...
    std::optional<EdidDetailedTiming> timing;
    std::optional<EdidRangeLimits> range;
    std::string text;  // the text descriptors; non-printable bytes shown as '?'
    int tag = 0;       // display descriptors
};

struct EdidInfo {
    bool from_identification = false;
    bool header_valid = false;
    std::string manufacturer;  // three letters
    int product_code = 0;
    std::uint32_t serial_number = 0;
    int manufacture_week = 0;            // 0: not given; 255 in 1.4: year is a model year
    int manufacture_year = 0;
    int version = 0, revision = 0;

    bool digital_input = false;
    std::optional<EdidAnalogInput> analog;
    std::optional<EdidDigitalInput> digital;
    int width_cm = 0, height_cm = 0;
    std::optional<double> gamma;
    EdidFeatures features{};
    EdidChromaticity chromaticity{};

    std::vector<std::string> established_timings;  // "640x480@60"
    std::vector<int> established_bits;             // 0 to 16 for each of them: bit 7 of byte 35 is 0
    int manufacturer_timings = 0;                 // bits 6-0 of byte 37
    std::vector<EdidStandardTiming> standard_timings;
    std::vector<EdidDescriptor> descriptors;

    int extension_count = 0;
    int checksum = 0;
    bool checksum_valid = false;
    std::vector<EdidFinding> findings;

    const EdidRangeLimits* RangeLimits() const;
    std::string MonitorName() const;  // empty when the block names none
};

EdidInfo DecodeEdid(const EdidBlock& block, bool fromIdentification);

}  // namespace vcatool
