// Raster timings a monitor announces by formula rather than by name: the
// VESA GTF (with its secondary curve) and CVT (with reduced blanking v1),
// for progressive modes without margins, and the published timings of
// published_timings.inc.
#pragma once

namespace vcatool {

struct RasterTiming {
    double pixel_clock_mhz = 0;
    int h_active_px = 0, h_front_porch_px = 0, h_sync_px = 0, h_back_porch_px = 0;
    int v_active_lines = 0;          // one field when interlaced
    double v_front_porch_lines = 0;  // one field; an interlaced field carries the half line here
    int v_sync_lines = 0;
    double v_back_porch_lines = 0;  // a detailed interlaced field carries the half line here
    bool h_sync_positive = false, v_sync_positive = false;
    bool interlaced = false;

    int h_total_px() const { return h_active_px + h_front_porch_px + h_sync_px + h_back_porch_px; }
    double v_total_lines() const { return v_active_lines + v_front_porch_lines + v_sync_lines + v_back_porch_lines; }
    double h_freq_khz() const { return pixel_clock_mhz * 1000.0 / h_total_px(); }
    // A clock, active pixels and lines, no porch below 0: a raster a monitor
    // could be driven with. (A formula's result need not be one.)
    bool IsDrivable() const {
        return pixel_clock_mhz > 0 && h_active_px > 0 && v_active_lines > 0 &&
               h_front_porch_px >= 0 && h_back_porch_px >= 0 && v_front_porch_lines >= 0 && v_back_porch_lines >= 0;
    }
    double v_freq_hz() const { return pixel_clock_mhz * 1e6 / (h_total_px() * v_total_lines()); }
};

// The GTF blanking curve: duty cycle C - M / line rate, with K weighting
// C and M and J the offset; the default curve is 40, 600, 128, 20. A monitor's
// secondary curve gives its timings the opposite sync polarities.
struct GtfCurve {
    double c_percent = 40, m_percent_per_khz = 600, k = 128, j_percent = 20;
    bool secondary = false;
};

// GTF for a field rate; the pixel clock rounded to the kHz. A curve that
// leaves no blanking (or only blanking) gives an empty raster.
RasterTiming GtfTimingForRefresh(int h_active_px, int v_active_lines, double refresh_hz, const GtfCurve& curve = {});

// CVT with standard blanking, and with reduced blanking (version 1); the
// pixel clock in steps of 0.25 MHz.
RasterTiming CvtTiming(int h_active_px, int v_active_lines, double refresh_hz);
RasterTiming CvtReducedBlankingTiming(int h_active_px, int v_active_lines, double refresh_hz);

// One line of published_timings.inc.
struct PublishedTiming {
    const char* source;  // "DMT", "IBM", "APPLE"
    int dmt_id;
    int standard_code;   // 0 when the timing has none
    int width_px, height_lines, rate_hz;
    bool interlaced;
    RasterTiming raster;
};

extern const PublishedTiming kPublishedTimings[];
extern const int kPublishedTimingCount;

// The published timing of that source, size and nominal rate, or null.
const PublishedTiming* FindPublishedTiming(const char* source, int width_px, int height_lines, int rate_hz,
                                           bool interlaced = false);
// The VESA DMT timing a standard timing of that size and rate names: one
// with a standard timing code; null when there is none.
const PublishedTiming* FindDmtForStandardTiming(int width_px, int height_lines, int rate_hz);

}  // namespace vcatool
