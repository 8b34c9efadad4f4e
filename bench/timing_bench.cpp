// Reading a large timing database against a plain line count of the same
// bytes, and sorting fetched records against one std::stable_sort of them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "bench_support.h"
#include "platform/host/host.h"
#include "timingdb/section_parser.h"
#include "timingdb/scanner.h"
#include "timingdb/timing_check.h"
#include "timingdb/timing_queries.h"

namespace {


const std::string& LargeDatabase() {
    static const std::string text = benchsupport::GeneratedDatabaseOfSize(benchsupport::kLargeDatabaseBytes);
    return text;
}

// The whole read as `vcatool check` runs it: header, every record, the
// raster values of the "timing" records.
void BM_ReadTimingDatabase10MB(benchmark::State& state) {
    const std::string& text = LargeDatabase();
    host::Reset();
    for (auto _ : state) {
        vca::ResetTimingReaderState();
        vca::TimingDatabase database{};
        vca::TimingCheckResult result = vca::CheckTimingText(text.c_str(), &database);
        if (result.result != 0) state.SkipWithError("the generated database does not read");
        benchmark::DoNotOptimize(result.timings.data());
        vca::ReleaseTimingDatabase(&database);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadTimingDatabase10MB)->Unit(benchmark::kMillisecond);

// The same read for the verdict alone, as `vcatool check` without --json.
void BM_CheckTimingDatabase10MB(benchmark::State& state) {
    const std::string& text = LargeDatabase();
    host::Reset();
    for (auto _ : state) {
        vca::ResetTimingReaderState();
        vca::TimingDatabase database{};
        vca::TimingCheckResult result = vca::CheckTimingText(text.c_str(), &database, vca::TimingValues::kCheckOnly);
        if (result.result != 0) state.SkipWithError("the generated database does not read");
        benchmark::DoNotOptimize(result.recordCount);
        vca::ReleaseTimingDatabase(&database);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CheckTimingDatabase10MB)->Unit(benchmark::kMillisecond);

// The baseline: the lines of the same bytes counted with memchr.
void BM_CountLines10MB(benchmark::State& state) {
    const std::string& text = LargeDatabase();
    for (auto _ : state) {
        std::size_t lines = 0;
        const char* end = text.data() + text.size();
        for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p) ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_CountLines10MB)->Unit(benchmark::kMillisecond);

std::vector<vca::TimingEntry> RandomEntries(std::size_t n) {
    std::vector<vca::TimingEntry> entries(n);
    std::mt19937 random(11);
    for (auto& e : entries) {
        e.tag = static_cast<std::uint16_t>(random() % 4);
        e.xres = static_cast<std::uint16_t>(640 + random() % 1280);
        e.yres = static_cast<std::uint16_t>(480 + random() % 720);
        e.refresh = static_cast<std::uint16_t>(50 + random() % 100);
        e.monid = random() % 3;
        e.flags = random() % 2 ? vca::TF_MONID : 0;
    }
    return entries;
}

// Each iteration sorts a fresh copy; the copy is part of both figures.
void BM_SortTimingEntries50k(benchmark::State& state) {
    const std::vector<vca::TimingEntry> entries = RandomEntries(50000);
    host::Reset();
    for (auto _ : state) {
        std::vector<vca::TimingEntry> copy = entries;
        vca::SortTimingEntries(copy.data(), static_cast<std::uint32_t>(copy.size()));
        benchmark::DoNotOptimize(copy.data());
        state.PauseTiming();
        host::Reset();  // the duplicate report collects in the captured output
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SortTimingEntries50k)->Unit(benchmark::kMillisecond);

// The baseline: one std::stable_sort of the same records by the same keys.
void BM_StableSort50k(benchmark::State& state) {
    const std::vector<vca::TimingEntry> entries = RandomEntries(50000);
    auto keys = [](const vca::TimingEntry& e) {
        return std::make_tuple(e.type, e.tag, e.monid, e.flags & vca::TF_STEREO, e.yres, e.refresh);
    };
    for (auto _ : state) {
        std::vector<vca::TimingEntry> copy = entries;
        std::stable_sort(copy.begin(), copy.end(),
                         [&keys](const vca::TimingEntry& a, const vca::TimingEntry& b) { return keys(a) < keys(b); });
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_StableSort50k)->Unit(benchmark::kMillisecond);

}  // namespace
