// Which "timing" records the board and the chosen monitor can show: the
// board's tile geometry, its pixel clock limits from the driver's registry
// key and its pixel granularity, then the monitor's 26 limits.
#pragma once

#include <cstdint>

#include "timingdb/monitor_catalogue.h"
#include "timingdb/timing_types.h"

namespace vca {

// The driver's pixel clock limits, MHz. 0 sets no limit.
struct BoardTimingLimits {
    std::uint32_t flags;            // V3UZFlags0
    std::uint32_t maxPcFreq1020;    // V3UZMaxPcFreq1020: every timing
    std::uint32_t maxPcFreq1280;    // V3UZMaxPcFreq1280: timings that fit the narrow tile width
    std::uint32_t maxPcPllVcoFreq;  // V3UZMaxPcPllVcoFreq0: the pixel clock synthesiser
};

// With this bit set in the flags, or with flags 0, the synthesiser's limit
// does not apply.
constexpr std::uint32_t kSynthesiserLimitOff = 0x08;

// Reads the four limits from the driver's key after a 10 ms wait. A key or
// value that cannot be read gives 0 (no limit) and message 1208, once.
BoardTimingLimits ReadBoardTimingLimits();

// The tests a candidate goes through, in this order. The first one that
// fails rejects it.
enum class TimingTest {
    kAccepted,
    kFss,             // the record is marked "fss"
    kUndefined,       // pixel clock or a total not above 0, or a value that is not finite
    kSynthesiser,     // pixel clock above the synthesiser's limit
    kNoGranularity,   // the board's pixel granularity is 0: no tile width
    kTileCount,       // more than 4096 tiles of 8 lines
    kWidth,           // more than 2048 pixels
    kTileColumns,     // more than 44 tiles across
    kGranularity,     // width not a multiple of the pixel granularity
    kFrameLines,      // more than 2048 lines in the frame
    kVerticalTotal,   // more than 2048 lines (1024 per field when interlaced)
    kMaxPcFreq1280,   // pixel clock above the narrow tile width's limit
    kMaxPcFreq1020,   // pixel clock above the board's limit
    kMonitorMaximum,  // a monitor quantity above its maximum
    kMonitorMinimum,  // a monitor quantity below its minimum
    kNoPercentage,    // a sync percentage is limited but the blanking is 0 or less
    kRefreshRange,    // the rounded refresh rate does not fit 16 bits
};

// Why a candidate was accepted or rejected.
struct TimingVerdict {
    TimingTest test = TimingTest::kAccepted;   // the failing test, or kAccepted
    double quantity = 0.0;                     // what the failing test measured
    double limit = 0.0;                        // the bound it broke
    int limitIndex = -1;                       // the LimitIndex of a failed monitor test
    // The geometry with the narrow tile width: kAccepted when it passed,
    // else the test that failed there before the wide width was tried.
    TimingTest narrowTest = TimingTest::kAccepted;
    std::uint32_t tileWidth = 0;               // the last tile width tried (0 before geometry)
    std::uint16_t refresh = 0;                 // the rounded vertical frequency, once computed
};

// Runs every test on one candidate and stops at the first that fails.
TimingVerdict CheckTiming(const TimingCandidate& candidate, const BoardTimingLimits& board,
                          std::uint16_t pixelGranularity, const MonitorEntry& monitor);

// The monitor's limits alone, without the board's tests: kAccepted, or the
// first limit the candidate breaks (kUndefined for a candidate without a
// positive clock and totals). For tools that write timings for a monitor.
TimingVerdict CheckMonitorLimits(const TimingCandidate& candidate, const MonitorEntry& monitor);

// Checks candidates 0 to n-1 against the driver's limits, the board's pixel
// granularity and the chosen monitor, and writes the accepted ones in order
// to entries 0 to k-1 (resolution and refresh derived from the timing; the
// entry's line is left as it was). Rejection is silent. Returns k.
std::uint32_t ValidateTimings(std::uint32_t n, const TimingCandidate* candidates, TimingEntry* entries);

// Short English name of a test, for tools ("tile count", "hfmax", ...).
const char* TimingTestName(TimingTest test);

}  // namespace vca
