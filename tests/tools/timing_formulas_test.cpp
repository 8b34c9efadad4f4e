// vcatool's GTF and CVT functions and its table of published timings
// against the output of tools that are not ours, checked in beside the
// samples: tests/data/timing-oracles/make_oracles.sh wrote it with
// edid-decode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "timing_formulas.h"

namespace {

using vcatool::RasterTiming;

std::vector<std::string> OracleLines(const char* name) {
    std::ifstream file(std::string(VCA_SOURCE_DIR) + "/tests/data/timing-oracles/" + name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

// "Hfront 72 Hsync 128 Hback 200 Hpol N Hborder 8" as front, sync, back
// with the border counted in the porches, and the polarity.
struct Axis {
    double front = 0, sync = 0, back = 0;
    char polarity = '?';
};
Axis ReadAxis(const std::string& line, char axis) {
    Axis a;
    const std::string name(1, axis);
    double border = 0;
    std::sscanf(line.c_str(), (" " + name + "front %lf " + name + "sync %lf " + name + "back %lf " + name + "pol %c").c_str(),
                &a.front, &a.sync, &a.back, &a.polarity);
    const std::size_t at = line.find(name + "border");
    if (at != std::string::npos) border = std::atof(line.c_str() + at + 8);
    a.front += border;
    a.back += border;
    return a;
}

void ExpectRaster(const RasterTiming& t, double clock_mhz, const Axis& h, const Axis& v, const std::string& what) {
    EXPECT_NEAR(t.pixel_clock_mhz, clock_mhz, 0.0005) << what;
    EXPECT_EQ(std::vector<double>({double(t.h_front_porch_px), double(t.h_sync_px), double(t.h_back_porch_px),
                                   t.v_front_porch_lines, double(t.v_sync_lines), t.v_back_porch_lines}),
              std::vector<double>({h.front, h.sync, h.back, v.front, v.sync, v.back}))
        << what;
    EXPECT_EQ(std::string({t.h_sync_positive ? 'P' : 'N', t.v_sync_positive ? 'P' : 'N'}),
              std::string({h.polarity, v.polarity}))
        << what;
}

// The pixel clock of an edid-decode heading line ("... 119.651000 MHz").
double HeadingClock(const std::string& line) {
    const std::size_t mhz = line.find(" MHz");
    return std::atof(line.substr(line.rfind(' ', mhz - 1)).c_str());
}

RasterTiming CvtFor(const std::string& request) {
    char kind[16];
    int w = 0, h = 0, rate = 0;
    std::sscanf(request.c_str(), "%15s %d %d %d", kind, &w, &h, &rate);
    return std::strcmp(kind, "reduced") == 0 ? vcatool::CvtReducedBlankingTiming(w, h, rate)
                                             : vcatool::CvtTiming(w, h, rate);
}

TEST(TimingFormulas, CvtAndReducedBlankingEqualEdidDecode) {
    const std::vector<std::string> decoded = OracleLines("cvt-edid-decode.txt");
    int compared = 0;
    for (std::size_t i = 0; i + 3 < decoded.size(); i += 4, ++compared)
        ExpectRaster(CvtFor(decoded[i]), HeadingClock(decoded[i + 1]), ReadAxis(decoded[i + 2], 'H'),
                     ReadAxis(decoded[i + 3], 'V'), decoded[i]);
    EXPECT_EQ(compared, 26);
}

TEST(TimingFormulas, GtfAndSecondaryGtfEqualEdidDecode) {
    const std::vector<std::string> lines = OracleLines("gtf.txt");
    int compared = 0;
    for (std::size_t i = 0; i + 3 < lines.size(); i += 4) {
        int w, h, rate;
        vcatool::GtfCurve curve;
        ASSERT_EQ(std::sscanf(lines[i].c_str(), "gtf %d %d %d %lf %lf %lf %lf", &w, &h, &rate, &curve.c_percent,
                              &curve.m_percent_per_khz, &curve.k, &curve.j_percent),
                  7)
            << lines[i];
        curve.secondary = lines[i].find(" 40 600 128 20") == std::string::npos;
        ExpectRaster(vcatool::GtfTimingForRefresh(w, h, rate, curve), HeadingClock(lines[i + 1]), ReadAxis(lines[i + 2], 'H'),
                     ReadAxis(lines[i + 3], 'V'), lines[i]);
        ++compared;
    }
    EXPECT_EQ(compared, 30);
}

// Every entry of the table against edid-decode's listing of the DMT and
// established timings: the same clock, porches, syncs, polarities and
// standard timing code.
TEST(PublishedTimings, EqualEdidDecodeListing) {
    const std::vector<std::string> lines = OracleLines("published.txt");
    for (int n = 0; n < vcatool::kPublishedTimingCount; ++n) {
        const vcatool::PublishedTiming& p = vcatool::kPublishedTimings[n];
        char name[48];
        if (std::strcmp(p.source, "DMT") == 0)
            std::snprintf(name, sizeof name, "DMT 0x%02x:", static_cast<unsigned>(p.dmt_id));
        std::size_t i = 0;
        for (; i + 2 < lines.size(); ++i) {
            const std::string& l = lines[i];
            if (std::strcmp(p.source, "DMT") == 0 ? l.compare(0, std::strlen(name), name) == 0
                                                  : l.find(p.source[0] == 'I' ? "IBM" : "Apple") != std::string::npos &&
                                                        l.find(" " + std::to_string(p.width_px) + "x" +
                                                               std::to_string(p.height_lines) + " ") != std::string::npos &&
                                                        std::lround(std::atof(l.c_str() + l.find(" Hz") - 10)) == p.rate_hz)
                break;
        }
        const std::string what = p.source + std::to_string(p.width_px) + "x" + std::to_string(p.height_lines) + "@" +
                                 std::to_string(p.rate_hz);
        ASSERT_LT(i + 2, lines.size()) << what << " is not in the listing";
        const double clock = HeadingClock(lines[i]);
        Axis v = ReadAxis(lines[i + 2], 'V');
        if (p.interlaced) v.front += 0.5;  // the half line of the odd field
        ExpectRaster(p.raster, clock, ReadAxis(lines[i + 1], 'H'), v, what);
        char code[24] = "";
        if (p.standard_code)
            std::snprintf(code, sizeof code, "STD: 0x%02x 0x%02x", static_cast<unsigned>(p.standard_code >> 8),
                          static_cast<unsigned>(p.standard_code & 0xFF));
        EXPECT_EQ(lines[i].find("STD:") != std::string::npos && lines[i].find(code) != std::string::npos,
                  p.standard_code != 0)
            << what;
    }
}

}  // namespace
