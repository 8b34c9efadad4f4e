// The mode build against the straightforward build it replaced, kept here as
// the oracle: grouping by a search of every resolution made so far, rate
// lists by a search of the list, the table ordered by exchanges. Whole
// tables are compared over generated databases of many shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "driver/mode_records.h"
#include "modes/mode_building.h"
#include "modes/mode_table.h"
#include "support/machine_fixture.h"
#include "timingdb/database_loader.h"
#include "timingdb/monitor_catalogue.h"
#include "timingdb/timing_queries.h"
#include "timingdb/timing_validation.h"

namespace {

struct OracleMode {
    std::uint16_t tag;
    std::uint32_t width, height;
    std::vector<std::uint32_t> mono, stereo;
    bool hasStereo;
};

// The candidates as the build takes them for the chosen monitor: fetched,
// validated, sorted.
std::vector<vca::TimingEntry> Candidates() {
    vca::ChosenTag chosen{};
    vca::TimingEntry pattern;
    std::uint32_t mask = 0, count = 0;
    if (vca::ChooseMonitor(&chosen) != 1) return {};
    vca::MakeModeQuery(chosen, &pattern, &mask);
    if (vca::CountTimingEntries(vca::timingText, vca::timingDatabase, pattern, mask, &count) != 0) return {};
    std::vector<vca::TimingEntry> entries(count + 1);
    if (count == 0 || vca::FetchTimingEntries(vca::timingText, vca::timingDatabase, pattern, mask, entries.data(),
                                              count) != 0)
        return {};
    if (pattern.type == 2) {
        std::vector<vca::TimingCandidate> candidates(count + 1);
        bool error = false;
        vca::ReadTimingData(count, &error, candidates.data(), entries.data());
        count = error ? 0 : vca::ValidateTimings(count, candidates.data(), entries.data());
    }
    vca::SortTimingEntries(entries.data(), count);
    entries.resize(count);
    return entries;
}

std::string List(const std::vector<std::uint32_t>& rates) {
    std::string text;
    for (std::uint32_t r : rates) text += std::to_string(r) + ",";
    return text;
}

std::string Line(const OracleMode& m, bool stereoOnly, const std::uint16_t* figures) {
    return std::to_string(m.tag) + " " + std::to_string(m.width) + "x" + std::to_string(m.height) + " " +
           List(m.mono) + "/" + List(m.stereo) + (m.hasStereo ? " s" : "") + (stereoOnly ? " only " : " ") +
           List(std::vector<std::uint32_t>(figures, figures + 4));
}

// The old build over the candidates: its table, longest list count and DDC
// copy as text.
std::string OracleText(const std::vector<vca::TimingEntry>& candidates) {
    vca::MonitorEntry monitor;
    vca::GetCurrentMonitorEntry(&monitor);
    std::vector<OracleMode> modes;
    std::vector<std::uint32_t> counts;  // two per mode
    std::uint32_t longest = 0;
    std::string ddcText;
    for (const vca::TimingEntry& c : candidates) {
        if (vca::CheckMonitorFilter(c, monitor).result != vca::FilterResult::kPass) continue;
        std::size_t i = 0;
        while (i < modes.size() &&
               !(modes[i].width == c.xres && (modes[i].height == c.yres || modes[i].height == 2u * c.yres)))
            ++i;
        if (i == modes.size()) {
            modes.push_back({c.tag, c.xres, (c.flags & vca::TF_STEREO) ? 2u * c.yres : c.yres, {}, {}, false});
            counts.resize(counts.size() + 2);
        }
        const bool stereo = (c.flags & (vca::TF_STEREO | vca::TF_INTERLACED)) != 0;
        longest = std::max(longest, ++counts[2 * i + stereo]);
        modes[i].hasStereo = modes[i].hasStereo || stereo;
        std::vector<std::uint32_t>& list = stereo ? modes[i].stereo : modes[i].mono;
        if (std::find(list.begin(), list.end(), c.refresh) == list.end()) list.push_back(c.refresh);
    }
    const bool ddc = vca::IsDdcMonitorName(monitor.name) && vca::modeRecords[0].count >= 1;
    for (OracleMode& m : modes) {
        // The DDC copy keeps the grouping order and every normal rate in the order met.
        if (ddc) ddcText += "ddc " + std::to_string(m.width) + "x" + std::to_string(m.height) + " " + List(m.mono) + "\n";
        if (ddc && !m.mono.empty()) m.mono = {*std::max_element(m.mono.begin(), m.mono.end())};
        std::sort(m.mono.begin(), m.mono.end());
        std::sort(m.stereo.begin(), m.stereo.end());
    }
    for (std::size_t i = 0; i + 1 < modes.size(); ++i)
        for (std::size_t j = i + 1; j < modes.size(); ++j)
            if (modes[j].width < modes[i].width) std::swap(modes[i], modes[j]);
    std::string text = "rates " + std::to_string(longest) + "\n";
    for (const OracleMode& m : modes) {
        // The figures depend on the size alone: those of a table of one entry.
        std::uint32_t none[] = {0};
        vca::ModeEntry alone{0, m.width, m.height, 32, none, 0, 0, none, {}};
        vca::FinishModeTable(&alone, 1);
        text += Line(m, m.mono.empty() && !m.stereo.empty(), alone.pixelFormat) + "\n";
    }
    return text + ddcText;
}

std::vector<std::uint32_t> Rates(const std::uint32_t* rates) {
    std::vector<std::uint32_t> list;
    for (std::size_t i = 0; rates && rates[i] != 0; ++i) list.push_back(rates[i]);
    return list;
}

std::string ProductionText() {
    std::string text = "rates " + std::to_string(vca::maxRateCount) + "\n";
    for (std::uint32_t i = 0; i < vca::modeCount; ++i) {
        const vca::ModeEntry& e = vca::modeTable[i];
        const OracleMode m{e.tag, e.width, e.height, Rates(e.monoRates), Rates(e.stereoRates), e.hasStereoRates != 0};
        text += Line(m, e.stereoOnly, e.pixelFormat) + (e.colorDepth == 32 ? "\n" : " depth?\n");
    }
    for (const vca::ModeEntry* e = vca::ddcFullRates; e && e->width; ++e)
        text += "ddc " + std::to_string(e->width) + "x" + std::to_string(e->height) + " " + List(Rates(e->monoRates)) + "\n";
    return text;
}

class ModeBuildDifferentialTest : public vcatest::MachineTest {};

TEST_F(ModeBuildDifferentialTest, BuildsTheTablesOfTheSearchingAndExchangingBuild) {
    std::mt19937 random(2026);
    auto pick = [&random](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
    for (int round = 0; round < 160; ++round) {
        // Few widths and heights make equal widths, shared groups and repeated rates common.
        const std::uint32_t widths = 1 + pick(round % 4 == 0 ? 2 : 12), heights = 1 + pick(8);
        const std::uint32_t records = pick(round % 10 == 0 ? 600 : 120);
        const int shape = round % 4;  // 0 vqx/gli, 1 the same with hfreq limits, 2 DDC, 3 timing rasters
        boardsim::Profile board = vcatest::MakeBoard(shape == 3 ? 206 : 201, 17 | (round % 3 ? 0 : boardsim::kSecondScreenBit));
        std::vector<vcatest::BoardMode> modes;
        std::vector<std::string> rasters;
        for (std::uint32_t i = 0; i < records; ++i) {
            const std::uint32_t width = 640 + 64 * pick(widths), height = 240 * (1 + pick(heights));
            const std::uint32_t refresh = 50 + 5 * pick(1 + pick(12));
            const bool stereo = pick(4) == 0;
            modes.push_back({static_cast<int>(width), static_cast<int>(stereo && pick(2) ? height / 2 : height),
                             static_cast<int>(refresh), stereo, static_cast<int>(pick(100)), pick(12) ? "MS" : "LM"});
            if (shape == 2 && pick(3) == 0) vcatest::AddMode(board, pick(5) ? 0 : 1, width, height, refresh);
            if (shape == 3) {
                const std::uint32_t vtotal = height + 20 + pick(60), htotal = width + 160 + pick(400);
                char raster[96];
                std::snprintf(raster, sizeof raster, "%.2f %u %u 96 16 %u %u 3 1", htotal * vtotal * refresh / 1e6,
                              htotal, width, vtotal, height);
                rasters.push_back(raster);
            }
        }
        if (shape == 3) modes.clear();
        vca::ReleaseAllTables();
        UseBoard(board);
        WriteDatabase(vcatest::TimingFile(vcatest::StandardMonitors(shape == 1 ? "hfmin=20 hfmax=70" : ""), modes,
                                          rasters));
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(Build(shape == 2 ? u"DDC Monitor" : u""), 1);
        if (vca::ModeTableIsFallback()) continue;
        const std::string production = ProductionText();
        vca::ReleaseModeTable();
        EXPECT_EQ(production, OracleText(Candidates()));
    }
}

}  // namespace
