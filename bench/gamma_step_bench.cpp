// One step of the gamma dialog's scroll bar, end to end: the value stepped,
// the table computed and sent through the driver request to the simulated
// board, as the dialog does for every thumb-track message; and the table's
// computation alone, its baseline.
#include <benchmark/benchmark.h>

#include <string>

#include "boardsim/boardsim.h"
#include "driver/driver_escape.h"
#include "gamma/gamma_step.h"
#include "gamma/gamma_table.h"
#include "platform/host/host.h"

namespace {

void BM_GammaScrollStep(benchmark::State& state) {
    host::Reset();
    boardsim::Profile profile;
    std::string error;
    if (!boardsim::LoadProfileFile(std::string(VCA_SOURCE_DIR) + "/data/boards/board201.profile", &profile, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    boardsim::Install(profile);
    vca::ScreenGamma record{};
    record.GammaValue = 100;
    int position = 0;
    for (auto _ : state) {
        position = position % vca::kGammaScrollMax + 1;  // a drag back and forth over the whole bar
        vca::ApplyGammaScroll(&record, vca::kScrollThumbTrack, position);
        vca::DriverEscape(vca::kOpSetGammaTable, 0, &record.table);
        // The simulated board keeps every request; a real driver keeps none.
        if ((position & 1023) == 0 || position == vca::kGammaScrollMax) boardsim::ClearRequestLog();
    }
    benchmark::DoNotOptimize(record.table.channel[0][128]);
    boardsim::Uninstall();
}
BENCHMARK(BM_GammaScrollStep)->Unit(benchmark::kMicrosecond);

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
