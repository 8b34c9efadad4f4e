// Reading and querying timing databases, building the mode lists, and the
// gamma table computation that runs on every scroll step of the gamma dialog.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "base/app_state.h"
#include "applet/startup.h"
#include "boardsim/boardsim.h"
#include "gamma/gamma_table.h"
#include "modes/mode_table.h"
#include "platform/host/host.h"
#include "timingdb/database_loader.h"
#include "timingdb/section_parser.h"
#include "timingdb/timing_check.h"
#include "timingdb/timing_queries.h"
#include "applet/reset.h"

namespace {

// A database of `records` "timing" records under one multi-sync monitor.
std::string GeneratedDatabase(int records) {
    std::string text = "version 1\ndisplay {\n { tag=MS desc=\"Generic multi-sync monitor\" hfmax=96 hfmin=30 }\n}\n";
    std::mt19937 engine(7);
    auto random = [&engine] { return static_cast<unsigned>(engine()); };
    char block[256];
    for (int i = 0; i < records; ++i) {
        unsigned width = 640 + 8 * (random() % 160), height = 480 + random() % 720;
        std::snprintf(block, sizeof block,
                      "tag MS\ntype timing\ndata {\n%u.%02u\n%u\n%u\n%u\n%u\n%u\n%u\n3\n1\n}\n",
                      25 + random() % 200, static_cast<unsigned>(random() % 100u), width + 160 + random() % 400,
                      width, 96u, 16u, height + 20 + random() % 60, height);
        text += block;
    }
    return text;
}

void BM_CheckTimingText(benchmark::State& state) {
    const std::string text = GeneratedDatabase(static_cast<int>(state.range(0)));
    host::Reset();
    for (auto _ : state) {
        vca::TimingDatabase database{};
        vca::TimingCheckResult result = vca::CheckTimingText(text.c_str(), &database);
        benchmark::DoNotOptimize(result.timings.data());
        vca::ReleaseTimingDatabase(&database);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CheckTimingText)->Arg(1000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_SortTimingEntries(benchmark::State& state) {
    std::vector<vca::TimingEntry> entries(static_cast<std::size_t>(state.range(0)));
    std::mt19937 random(11);
    for (auto& e : entries) {
        e.tag = static_cast<std::uint16_t>(random() % 4);
        e.xres = static_cast<std::uint16_t>(640 + random() % 1280);
        e.yres = static_cast<std::uint16_t>(480 + random() % 720);
        e.refresh = static_cast<std::uint16_t>(50 + random() % 100);
        e.monid = random() % 3;
        e.flags = random() % 2 ? vca::TF_MONID : 0;
    }
    for (auto _ : state) {
        std::vector<vca::TimingEntry> copy = entries;
        vca::SortTimingEntries(copy.data(), static_cast<std::uint32_t>(copy.size()));
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_SortTimingEntries)->Arg(50000)->Unit(benchmark::kMillisecond);

// Start-up's database work on the shipped revid.dat: load, choose the
// monitor, query, validate and build the table for board 206.
void BM_BuildModesFromShippedDatabase(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "vca-bench-drive";
    fs::create_directories(root / "WINDOWS" / "system32");
    fs::copy_file(std::string(VCA_SOURCE_DIR) + "/data/revid.dat", root / "WINDOWS" / "system32" / "revid.dat",
                  fs::copy_options::overwrite_existing);
    boardsim::Profile profile;
    profile.boardAnswer = 206;
    profile.monitorAnswer = 17;
    for (auto _ : state) {
        host::Reset();
        vca::ResetAppletState();
        host::MapDriveC(root.string());
        boardsim::Install(profile);
        vca::InitApplet(host::AppletModule());
        vca::IdentifyOrRunWithoutDriver();
        vca::LoadTimingDatabase();
        vca::ChooseMonitorAndBuildModes();
        benchmark::DoNotOptimize(vca::modeCount);
        vca::ReleaseAllTables();
    }
    fs::remove_all(root);
}
BENCHMARK(BM_BuildModesFromShippedDatabase)->Unit(benchmark::kMillisecond);

void BM_ComputeGammaTable(benchmark::State& state) {
    vca::GammaTable table;
    double gamma = 0.01;
    for (auto _ : state) {
        vca::ComputeGammaTable(gamma, &table);
        benchmark::DoNotOptimize(table.channel[0][128]);
        gamma = gamma >= 5.0 ? 0.01 : gamma + 0.01;
    }
}
BENCHMARK(BM_ComputeGammaTable)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
