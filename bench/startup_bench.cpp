// The applet's start-up (CPL_INIT and CPL_DBLCLK's work: identification,
// settings, timing database, mode table, views, descriptions, hardware
// information) on board 206, with the shipped database, with a generated
// one of 50,000 records, and without any (the baseline).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "applet/reset.h"
#include "base/app_state.h"
#include "applet/startup.h"
#include "bench_support.h"
#include "boardsim/boardsim.h"
#include "modes/mode_table.h"
#include "platform/host/host.h"

namespace {

void RunStartup(benchmark::State& state, const std::string* database) {
    boardsim::Profile profile;
    std::string error;
    if (!boardsim::LoadProfileFile(std::string(VCA_SOURCE_DIR) + "/data/boards/board206-granularity8.profile",
                                   &profile, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const benchsupport::WindowsFolder folder(database);
    for (auto _ : state) {
        host::Reset();
        vca::ResetAppletState();
        host::MapDriveC(folder.root());
        boardsim::Install(profile);
        bool started = false;
        try {
            vca::InitApplet(host::AppletModule());
            started = vca::StartApplet();
        } catch (const platform::ProcessExit&) {
        }
        vca::ReleaseAllTables();
        if (!started) {
            state.SkipWithError("start-up failed");
            break;
        }
    }
    boardsim::Uninstall();
}

void BM_StartupShippedDatabase(benchmark::State& state) {
    const std::string text = benchsupport::ReadFile(std::string(VCA_SOURCE_DIR) + "/data/revid.dat");
    RunStartup(state, &text);
}
BENCHMARK(BM_StartupShippedDatabase)->Unit(benchmark::kMillisecond);

void BM_Startup50kDatabase(benchmark::State& state) {
    const std::string text = benchsupport::GeneratedDatabase(50000);
    RunStartup(state, &text);
}
BENCHMARK(BM_Startup50kDatabase)->Unit(benchmark::kMillisecond);

void BM_StartupNoDatabase(benchmark::State& state) { RunStartup(state, nullptr); }
BENCHMARK(BM_StartupNoDatabase)->Unit(benchmark::kMillisecond);

}  // namespace
