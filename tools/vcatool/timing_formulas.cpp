#include "timing_formulas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace vcatool {

namespace {

constexpr double kCellGranularityPx = 8;
constexpr double kMinVsyncAndBackPorchUs = 550;

RasterTiming Raster(double pixel_clock_mhz, int h_active_px, int h_blank_px, int h_sync_px, int h_back_px,
                    int v_active_lines, int v_front_lines, int v_sync_lines, int v_back_lines, bool h_positive,
                    bool v_positive) {
    RasterTiming t;
    t.pixel_clock_mhz = pixel_clock_mhz;
    t.h_active_px = h_active_px;
    t.h_sync_px = h_sync_px;
    t.h_back_porch_px = h_back_px;
    t.h_front_porch_px = h_blank_px - h_sync_px - h_back_px;
    t.v_active_lines = v_active_lines;
    t.v_front_porch_lines = v_front_lines;
    t.v_sync_lines = v_sync_lines;
    t.v_back_porch_lines = v_back_lines;
    t.h_sync_positive = h_positive;
    t.v_sync_positive = v_positive;
    return t;
}

// CVT's vertical sync width names the aspect ratio.
int CvtVsyncLines(int h_px, int v_lines) {
    const auto is = [&](int w, int h) { return h_px * h == v_lines * w; };
    if (is(4, 3)) return 4;
    if (is(16, 9)) return 5;
    if (is(16, 10)) return 6;
    if (is(5, 4) || is(15, 9)) return 7;
    return 10;
}

constexpr double kCvtClockStepMhz = 0.25;
constexpr int kCvtMinVPorchLines = 3;
constexpr int kCvtMinVBackPorchLines = 6;

}  // namespace

RasterTiming GtfTimingForRefresh(int h_active_px, int v_active_lines, double refresh_hz, const GtfCurve& curve) {
    const int h_px = static_cast<int>(std::lround(h_active_px / kCellGranularityPx) * kCellGranularityPx);
    const double h_period_est_us =
        (1.0 / refresh_hz - kMinVsyncAndBackPorchUs / 1e6) / (v_active_lines + 1) * 1e6;
    const int vsync_bp_lines = static_cast<int>(std::lround(kMinVsyncAndBackPorchUs / h_period_est_us));
    const int v_total_lines = v_active_lines + vsync_bp_lines + 1;
    const double v_rate_est_hz = 1e6 / h_period_est_us / v_total_lines;
    const double h_period_us = h_period_est_us / (refresh_hz / v_rate_est_hz);
    const double c_prime = (curve.c_percent - curve.j_percent) * curve.k / 256 + curve.j_percent;
    const double m_prime = curve.k / 256 * curve.m_percent_per_khz;
    const double duty_percent = c_prime - m_prime * h_period_us / 1000;
    // A curve from a hostile block can ask for no blanking or all of it.
    if (!(duty_percent > 0 && duty_percent < 100)) return {};
    const int h_blank_px = static_cast<int>(
        std::lround(h_px * duty_percent / (100 - duty_percent) / (2 * kCellGranularityPx)) * 2 * kCellGranularityPx);
    const int h_total_px = h_px + h_blank_px;
    const double pixel_clock_mhz = std::round(h_total_px / h_period_us * 1000) / 1000;
    const int h_sync_px =
        static_cast<int>(std::lround(0.08 * h_total_px / kCellGranularityPx) * kCellGranularityPx);
    return Raster(pixel_clock_mhz, h_px, h_blank_px, h_sync_px, h_blank_px / 2, v_active_lines, 1, 3,
                  vsync_bp_lines - 3, curve.secondary, !curve.secondary);
}

RasterTiming CvtTiming(int h_active_px, int v_active_lines, double refresh_hz) {
    const int h_px = static_cast<int>(std::floor(h_active_px / kCellGranularityPx) * kCellGranularityPx);
    const int vsync_lines = CvtVsyncLines(h_px, v_active_lines);
    const double h_period_est_us =
        (1.0 / refresh_hz - kMinVsyncAndBackPorchUs / 1e6) / (v_active_lines + kCvtMinVPorchLines) * 1e6;
    const int vsync_bp_lines = std::max(static_cast<int>(std::floor(kMinVsyncAndBackPorchUs / h_period_est_us)) + 1,
                                        vsync_lines + kCvtMinVBackPorchLines);
    const double duty_percent = std::max(30.0 - 300.0 * h_period_est_us / 1000, 20.0);
    const int h_blank_px = static_cast<int>(std::floor(h_px * duty_percent / (100 - duty_percent) /
                                                       (2 * kCellGranularityPx)) *
                                            2 * kCellGranularityPx);
    const int h_total_px = h_px + h_blank_px;
    const double pixel_clock_mhz =
        std::floor(h_total_px / h_period_est_us / kCvtClockStepMhz) * kCvtClockStepMhz;
    const int h_sync_px =
        static_cast<int>(std::floor(0.08 * h_total_px / kCellGranularityPx) * kCellGranularityPx);
    return Raster(pixel_clock_mhz, h_px, h_blank_px, h_sync_px, h_blank_px / 2, v_active_lines, kCvtMinVPorchLines,
                  vsync_lines, vsync_bp_lines - vsync_lines, false, true);
}

RasterTiming CvtReducedBlankingTiming(int h_active_px, int v_active_lines, double refresh_hz) {
    constexpr double kMinVBlankUs = 460;
    constexpr int kHBlankPx = 160, kHSyncPx = 32;
    const int h_px = static_cast<int>(std::floor(h_active_px / kCellGranularityPx) * kCellGranularityPx);
    const int vsync_lines = CvtVsyncLines(h_px, v_active_lines);
    const double h_period_est_us = (1e6 / refresh_hz - kMinVBlankUs) / v_active_lines;
    const int v_blank_lines = std::max(static_cast<int>(std::floor(kMinVBlankUs / h_period_est_us)) + 1,
                                       kCvtMinVPorchLines + vsync_lines + kCvtMinVBackPorchLines);
    const int v_total_lines = v_active_lines + v_blank_lines;
    const int h_total_px = h_px + kHBlankPx;
    const double pixel_clock_mhz =
        std::floor(refresh_hz * v_total_lines * h_total_px / 1e6 / kCvtClockStepMhz) * kCvtClockStepMhz;
    return Raster(pixel_clock_mhz, h_px, kHBlankPx, kHSyncPx, kHBlankPx / 2, v_active_lines, kCvtMinVPorchLines,
                  vsync_lines, v_blank_lines - kCvtMinVPorchLines - vsync_lines, true, false);
}

namespace {

PublishedTiming Published(const char* source, int id, int code, int w, int h, int rate, int interlaced, int clock_khz,
                          int hfp, int hs, int hbp, double vfp, int vs, int vbp, char hpol, char vpol, double, double) {
    PublishedTiming p{source, id, code, w, h, rate, interlaced != 0, {}};
    RasterTiming& t = p.raster;
    t.pixel_clock_mhz = clock_khz / 1000.0;
    t.h_active_px = w;
    t.h_front_porch_px = hfp;
    t.h_sync_px = hs;
    t.h_back_porch_px = hbp;
    t.v_active_lines = interlaced ? h / 2 : h;
    t.v_front_porch_lines = vfp;
    t.v_sync_lines = vs;
    t.v_back_porch_lines = vbp;
    t.h_sync_positive = hpol == '+';
    t.v_sync_positive = vpol == '+';
    t.interlaced = interlaced != 0;
    return p;
}

}  // namespace

#define VESA_TIMING(source, ...) Published(#source, __VA_ARGS__),
const PublishedTiming kPublishedTimings[] = {
#include "published_timings.inc"
};
#undef VESA_TIMING
const int kPublishedTimingCount = static_cast<int>(std::size(kPublishedTimings));

const PublishedTiming* FindPublishedTiming(const char* source, int width_px, int height_lines, int rate_hz,
                                           bool interlaced) {
    for (const PublishedTiming& p : kPublishedTimings)
        if (std::strcmp(p.source, source) == 0 && p.width_px == width_px && p.height_lines == height_lines &&
            p.rate_hz == rate_hz && p.interlaced == interlaced)
            return &p;
    return nullptr;
}

const PublishedTiming* FindDmtForStandardTiming(int width_px, int height_lines, int rate_hz) {
    for (const PublishedTiming& p : kPublishedTimings)
        if (p.standard_code != 0 && p.width_px == width_px && p.height_lines == height_lines && p.rate_hz == rate_hz)
            return &p;
    return nullptr;
}

}  // namespace vcatool
