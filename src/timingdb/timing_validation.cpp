#include "timingdb/timing_validation.h"

#include <cmath>

#include "driver/board_identity.h"

namespace vca {

namespace {

// The frame buffer is laid out in tiles of 8 lines and 8 or 10 times the
// pixel granularity across; it holds at most 4096 of them.
constexpr std::uint64_t kMaxTiles = 4096;
constexpr std::uint32_t kTileLines = 8;
constexpr std::uint32_t kNarrowTileFactor = 8;
constexpr std::uint32_t kWideTileFactor = 10;
constexpr std::uint32_t kMaxTileColumns = 44;
constexpr std::uint32_t kMaxWidth = 2048;
constexpr std::uint64_t kMaxFrameLines = 2048;
constexpr double kMaxFieldTotal = 1024.0;
constexpr double kMaxFrameTotal = 2048.0;
constexpr double kMaxRefresh = 65535.0;

enum Side { kMaxSide, kMinSide };

bool Interlaced(const TimingCandidate& c) { return (c.flags & TF_INTERLACED) != 0; }

std::uint64_t FrameLines(const TimingCandidate& c) {
    return Interlaced(c) ? std::uint64_t{c.vActive} * 2 : std::uint64_t{c.vActive};
}

double VerticalFrequency(const TimingCandidate& c) {
    return 1000000.0 * c.pixelClock / (static_cast<double>(c.hTotal) * c.vTotal);
}

// Values that every later division and comparison needs to be defined.
bool Defined(const TimingCandidate& c) {
    return c.pixelClock > 0.0 && std::isfinite(c.pixelClock) && c.hTotal != 0 && c.vTotal > 0.0 &&
           std::isfinite(c.vTotal) && std::isfinite(c.vFrontPorch);
}

TimingTest Reject(TimingVerdict* verdict, TimingTest test, double quantity, double limit) {
    verdict->test = test;
    verdict->quantity = quantity;
    verdict->limit = limit;
    return test;
}

// The frame-buffer geometry with tile width `tileWidth`; the narrow width
// also carries its own pixel clock limit.
TimingTest CheckGeometry(const TimingCandidate& c, std::uint32_t tileWidth, std::uint16_t granularity,
                         std::uint32_t maxPcFreq1280, TimingVerdict* verdict) {
    verdict->tileWidth = tileWidth;
    const std::uint64_t frameLines = FrameLines(c);
    const std::uint64_t tiles = (std::uint64_t{c.hActive} + tileWidth - 1) / tileWidth;
    const std::uint64_t rows = (frameLines + kTileLines - 1) / kTileLines;
    if (tiles * rows > kMaxTiles)
        return Reject(verdict, TimingTest::kTileCount, static_cast<double>(tiles * rows), kMaxTiles);
    if (c.hActive > kMaxWidth) return Reject(verdict, TimingTest::kWidth, c.hActive, kMaxWidth);
    if (std::uint64_t{c.hActive} > std::uint64_t{kMaxTileColumns} * tileWidth)
        return Reject(verdict, TimingTest::kTileColumns, c.hActive, double(kMaxTileColumns) * tileWidth);
    if (c.hActive % granularity != 0) return Reject(verdict, TimingTest::kGranularity, c.hActive, granularity);
    if (frameLines > kMaxFrameLines)
        return Reject(verdict, TimingTest::kFrameLines, static_cast<double>(frameLines), kMaxFrameLines);
    const double maxTotal = Interlaced(c) ? kMaxFieldTotal : kMaxFrameTotal;
    if (c.vTotal > maxTotal) return Reject(verdict, TimingTest::kVerticalTotal, c.vTotal, maxTotal);
    if (maxPcFreq1280 != 0 && c.pixelClock > maxPcFreq1280)
        return Reject(verdict, TimingTest::kMaxPcFreq1280, c.pixelClock, maxPcFreq1280);
    return TimingTest::kAccepted;
}

// The quantity a monitor limit bounds, in the limit's unit. The maximum
// side of the vertical blanking and percentage quantities counts the half
// line of an interlaced field, the minimum side does not. False when the
// quantity has no value: a sync percentage of a blanking of 0 or less.
bool MonitorQuantity(int pair, Side side, const TimingCandidate& c, double* quantity) {
    const double pc = c.pixelClock;
    const double hTotal = c.hTotal;
    const std::int64_t hBlank = std::int64_t{c.hTotal} - c.hActive;
    const double vBlank = c.vTotal - c.vActive;
    const double vfp = c.vFrontPorch;
    const double vSync = c.vSync;
    const double perLineMs = 1000.0 * pc;  // divides lines x htotal into milliseconds
    switch (pair) {
        case kHfMax: *quantity = 1000.0 * pc / hTotal; return true;
        case kPcfMax: *quantity = pc; return true;
        case kHbMax: *quantity = static_cast<double>(hBlank) / pc; return true;
        case kHfpMax: *quantity = c.hFrontPorch / pc; return true;
        case kHsMax: *quantity = c.hSync / pc; return true;
        case kHbpMax:
            *quantity = static_cast<double>(hBlank - c.hFrontPorch - c.hSync) / pc;
            return true;
        case kHsPctMax:
            if (hBlank <= 0) return false;
            *quantity = static_cast<double>(std::uint64_t{c.hSync} * 100 / static_cast<std::uint64_t>(hBlank));
            return true;
        case kVfMax: *quantity = VerticalFrequency(c); return true;
        case kVbMax:
            *quantity = (side == kMaxSide ? std::trunc((vBlank + 0.5) * hTotal) : std::trunc(vBlank * hTotal)) /
                        perLineMs;
            return true;
        case kVfpMax:
            *quantity = (side == kMaxSide ? vfp : std::trunc(vfp)) * hTotal / perLineMs;
            return true;
        case kVsMax: *quantity = vSync * hTotal / perLineMs; return true;
        case kVbpMax:
            *quantity = (side == kMaxSide ? std::trunc(vBlank) - std::trunc(vSync + vfp) : vBlank - vfp - vSync) *
                        hTotal / perLineMs;
            return true;
        case kVsPctMax: {
            // The geometry tests have bounded both totals to 2048 lines, so
            // the whole lines of blanking fit an integer.
            const double lines = std::trunc(side == kMaxSide ? vBlank : vBlank + 0.5);
            if (lines <= 0.0) return false;
            const std::uint64_t numerator = std::uint64_t{c.vSync} * 100;
            *quantity = side == kMaxSide
                            ? static_cast<double>(numerator / static_cast<std::uint64_t>(lines))
                            : static_cast<double>(static_cast<std::int64_t>(numerator) / static_cast<std::int64_t>(lines));
            return true;
        }
        default: return false;
    }
}

// One limit of a pair; a limit of 0 is not checked.
bool WithinLimit(const TimingCandidate& c, int pair, Side side, double limit, TimingVerdict* verdict) {
    if (limit == 0.0) return true;
    const int index = side == kMaxSide ? pair : pair + 1;
    double quantity = 0.0;
    if (!MonitorQuantity(pair, side, c, &quantity)) {
        verdict->limitIndex = index;
        Reject(verdict, TimingTest::kNoPercentage, 0.0, limit);
        return false;
    }
    const bool inside = side == kMaxSide ? !(quantity > limit) : !(quantity < limit);
    if (inside) return true;
    verdict->limitIndex = index;
    Reject(verdict, side == kMaxSide ? TimingTest::kMonitorMaximum : TimingTest::kMonitorMinimum, quantity, limit);
    return false;
}

bool WithinMonitor(const TimingCandidate& c, const MonitorEntry& monitor, TimingVerdict* verdict) {
    for (int pair = 0; pair < kLimitCount; pair += 2) {
        const double max = monitor.limits[pair];
        const double min = monitor.limits[pair + 1];
        if (max == 0.0 && min == 0.0) continue;
        if (!WithinLimit(c, pair, kMaxSide, max, verdict)) return false;
        if (!WithinLimit(c, pair, kMinSide, min, verdict)) return false;
    }
    return true;
}

}  // namespace

TimingVerdict CheckTiming(const TimingCandidate& c, const BoardTimingLimits& board, std::uint16_t granularity,
                          const MonitorEntry& monitor) {
    TimingVerdict verdict;
    if (c.flags & TF_FSS) {
        Reject(&verdict, TimingTest::kFss, 0.0, 0.0);
        return verdict;
    }
    if (!Defined(c)) {
        Reject(&verdict, TimingTest::kUndefined, 0.0, 0.0);
        return verdict;
    }
    if (board.flags != 0 && (board.flags & kSynthesiserLimitOff) == 0 && board.maxPcPllVcoFreq != 0 &&
        c.pixelClock > board.maxPcPllVcoFreq) {
        Reject(&verdict, TimingTest::kSynthesiser, c.pixelClock, board.maxPcPllVcoFreq);
        return verdict;
    }
    // Without a granularity there is no tile width: both geometries fail.
    if (granularity == 0) {
        verdict.narrowTest = Reject(&verdict, TimingTest::kNoGranularity, 0.0, 0.0);
        return verdict;
    }
    verdict.narrowTest = CheckGeometry(c, kNarrowTileFactor * granularity, granularity, board.maxPcFreq1280, &verdict);
    if (verdict.narrowTest != TimingTest::kAccepted) {
        verdict.test = TimingTest::kAccepted;
        if (CheckGeometry(c, kWideTileFactor * granularity, granularity, 0, &verdict) != TimingTest::kAccepted)
            return verdict;
    }
    if (board.maxPcFreq1020 != 0 && c.pixelClock > board.maxPcFreq1020) {
        Reject(&verdict, TimingTest::kMaxPcFreq1020, c.pixelClock, board.maxPcFreq1020);
        return verdict;
    }
    if (!WithinMonitor(c, monitor, &verdict)) return verdict;

    const double refresh = std::trunc(VerticalFrequency(c) + 0.5);
    if (!(refresh <= kMaxRefresh)) {
        Reject(&verdict, TimingTest::kRefreshRange, refresh, kMaxRefresh);
        return verdict;
    }
    verdict.refresh = static_cast<std::uint16_t>(refresh);
    verdict.quantity = 0.0;
    verdict.limit = 0.0;
    return verdict;
}

TimingVerdict CheckMonitorLimits(const TimingCandidate& c, const MonitorEntry& monitor) {
    TimingVerdict verdict;
    if (!Defined(c)) Reject(&verdict, TimingTest::kUndefined, 0.0, 0.0);
    else WithinMonitor(c, monitor, &verdict);
    return verdict;
}

std::uint32_t ValidateTimings(std::uint32_t n, const TimingCandidate* candidates, TimingEntry* entries) {
    const BoardTimingLimits board = ReadBoardTimingLimits();
    MonitorEntry monitor;
    GetCurrentMonitorEntry(&monitor);

    std::uint32_t accepted = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const TimingCandidate& c = candidates[i];
        const TimingVerdict verdict = CheckTiming(c, board, boardIdentity.pixelGranularity, monitor);
        if (verdict.test != TimingTest::kAccepted) continue;
        TimingEntry& entry = entries[accepted++];
        entry.tag = c.tag;
        entry.type = c.type;
        entry.monid = c.monid;
        entry.flags = c.flags;
        entry.data = c.data;
        entry.hfreq = c.hfreq;
        // The geometry tests have bounded both to 2048.
        entry.xres = static_cast<std::uint16_t>(c.hActive);
        entry.yres = static_cast<std::uint16_t>(FrameLines(c));
        entry.refresh = verdict.refresh;
    }
    return accepted;
}

const char* TimingTestName(TimingTest test) {
    switch (test) {
        case TimingTest::kAccepted: return "accepted";
        case TimingTest::kFss: return "fss timing";
        case TimingTest::kUndefined: return "undefined timing";
        case TimingTest::kSynthesiser: return "synthesiser limit";
        case TimingTest::kNoGranularity: return "no pixel granularity";
        case TimingTest::kTileCount: return "tile count";
        case TimingTest::kWidth: return "width";
        case TimingTest::kTileColumns: return "tile columns";
        case TimingTest::kGranularity: return "pixel granularity";
        case TimingTest::kFrameLines: return "frame lines";
        case TimingTest::kVerticalTotal: return "vertical total";
        case TimingTest::kMaxPcFreq1280: return "narrow tile pixel clock";
        case TimingTest::kMaxPcFreq1020: return "board pixel clock";
        case TimingTest::kMonitorMaximum: return "monitor maximum";
        case TimingTest::kMonitorMinimum: return "monitor minimum";
        case TimingTest::kNoPercentage: return "no blanking for a percentage";
        case TimingTest::kRefreshRange: return "refresh out of range";
    }
    return "?";
}

}  // namespace vca
