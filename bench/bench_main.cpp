// The benchmark program's main: Google Benchmark's console output, then a
// table of each measure against its baseline from the same run. With
// --benchmark_repetitions the table takes the fastest repetition of each
// (the mean when only aggregates are reported). `--write_database=FILE`
// instead writes the 10 MB database of the reading benchmark to FILE.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

// What the table compares: a measure, its baseline and what the ratio says.
struct Comparison {
    const char* measure;
    const char* baseline;
    const char* label;
};

const Comparison kComparisons[] = {
    {"BM_ReadTimingDatabase10MB", "BM_CountLines10MB", "read 10 MB database / memchr line count"},
    {"BM_CheckTimingDatabase10MB", "BM_CountLines10MB", "verdict of 10 MB database / memchr line count"},
    {"BM_StartupShippedDatabase", "BM_StartupNoDatabase", "start-up, shipped revid.dat / no database"},
    {"BM_Startup50kDatabase", "BM_StartupNoDatabase", "start-up, 50,000 records / no database"},
    {"BM_SortTimingEntries50k", "BM_StableSort50k", "SortTimingEntries 50,000 / std::stable_sort"},
    {"BM_GammaScrollStep", "BM_ComputeGammaTable", "gamma step (compute + send) / compute"},
};

double Nanoseconds(const benchmark::BenchmarkReporter::Run& run) {
    return run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
}

// Keeps the fastest CPU time per benchmark and the bytes per second of
// that run, and prints the console output as usual.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    explicit SummaryReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            // With --benchmark_report_aggregates_only only the aggregates
            // arrive; their mean stands in for the fastest repetition.
            const bool mean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
            if (run.run_type != Run::RT_Iteration && !mean) continue;
            const std::string name = run.run_name.str();
            const double ns = Nanoseconds(run);
            auto found = best_.find(name);
            if (found == best_.end() || (!mean && (found->second.mean || ns < found->second.ns))) {
                auto bytes = run.counters.find("bytes_per_second");
                best_[name] = {ns, bytes != run.counters.end() ? static_cast<double>(bytes->second) : 0.0, mean};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintSummary() const {
        std::printf("\n%-46s %12s %12s %8s\n", "measure / baseline (CPU time, best run)", "measure", "baseline",
                    "ratio");
        for (const Comparison& c : kComparisons) {
            auto measure = best_.find(c.measure);
            auto baseline = best_.find(c.baseline);
            if (measure == best_.end() || baseline == best_.end()) continue;
            std::printf("%-46s %12s %12s %7.2fx\n", c.label, Time(measure->second.ns).c_str(),
                        Time(baseline->second.ns).c_str(), measure->second.ns / baseline->second.ns);
        }
        for (const auto& [name, figure] : best_)
            if (figure.bytesPerSecond > 0)
                std::printf("%-46s %9.0f MB/s\n", name.c_str(), figure.bytesPerSecond / 1e6);
    }

private:
    struct Figure {
        double ns;
        double bytesPerSecond;
        bool mean;  // an aggregate's mean, not one repetition
    };

    static std::string Time(double ns) {
        char text[32];
        if (ns >= 1e6)
            std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
        else if (ns >= 1e3)
            std::snprintf(text, sizeof text, "%.2f us", ns / 1e3);
        else
            std::snprintf(text, sizeof text, "%.0f ns", ns);
        return text;
    }

    std::map<std::string, Figure> best_;
};

// Colours as the library's own console output has them: --benchmark_color,
// else when the output is a terminal.
bool Colour(int argc, char** argv) {
    const char* const flag = "--benchmark_color=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], flag, std::strlen(flag)) != 0) continue;
        const std::string value = argv[i] + std::strlen(flag);
        if (value == "auto") break;
        return value == "true" || value == "yes" || value == "1";
    }
    return isatty(STDOUT_FILENO) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* const write = "--write_database=";
    if (argc == 2 && std::strncmp(argv[1], write, std::strlen(write)) == 0) {
        std::ofstream(argv[1] + std::strlen(write), std::ios::binary)
            << benchsupport::GeneratedDatabaseOfSize(benchsupport::kLargeDatabaseBytes);
        return 0;
    }
    const bool colour = Colour(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter(colour ? benchmark::ConsoleReporter::OO_ColorTabular
                                    : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
