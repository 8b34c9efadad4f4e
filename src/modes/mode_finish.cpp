// The monitor filter of the candidates, and the finishing of a built table:
// ordering, stereo-only marks and the pixel-format figures of the board.
#include <algorithm>
#include <utility>

#include "driver/board_identity.h"
#include "driver/mode_records.h"
#include "modes/mode_building.h"

namespace vca {

namespace {

// The frame buffer holds at most 4096 tiles of 8 lines, each 8 times the
// pixel granularity across.
constexpr std::uint64_t kTileLines = 8;
constexpr std::uint64_t kTileFactor = 8;
constexpr std::uint64_t kMaxTiles = 4096;
constexpr std::uint64_t kTileAddressMask = (1u << 29) - 1;
constexpr std::uint64_t kTileWidthMask = (1u << 17) - 1;
constexpr std::uint64_t kMaxSide = 2048;
constexpr std::uint64_t kMaxGranules = 352;

bool ReportedOnScreen0(const TimingEntry& candidate) {
    const ModeRecordState& records = modeRecords[0];
    for (std::uint32_t i = 0; i < records.count; ++i)
        if (ModeRecordWord(0, i, 0) == candidate.xres && ModeRecordWord(0, i, 1) == candidate.yres &&
            ModeRecordWord(0, i, 2) == candidate.refresh)
            return true;
    return false;
}

FilterVerdict Rejected(FilterResult result, double quantity = 0.0, double limit = 0.0) {
    FilterVerdict verdict;
    verdict.result = result;
    verdict.quantity = quantity;
    verdict.limit = limit;
    return verdict;
}

// The exchange sort that defines the table's order, for when the memory to
// reach the same order faster is not there.
void ExchangeOrder(ModeEntry* table, std::uint32_t count) {
    for (std::uint32_t i = 0; i + 1 < count; ++i)
        for (std::uint32_t j = i + 1; j < count; ++j)
            if (table[j].width < table[i].width) std::swap(table[i], table[j]);
}

// A list's rates are distinct, so any sort gives the one order.
void SortRates(std::uint32_t* rates) {
    if (rates) std::sort(rates, rates + RateListLength(rates));
}

void SetFigures(ModeEntry& mode, std::uint16_t f1, std::uint16_t f2, std::uint16_t f3, std::uint16_t f4) {
    mode.pixelFormat[0] = f1;
    mode.pixelFormat[1] = f2;
    mode.pixelFormat[2] = f3;
    mode.pixelFormat[3] = f4;
}

void SetPixelFormat(ModeEntry& mode) {
    const BoardIdentity& board = boardIdentity;
    switch (board.boardCode) {
        case 201: case 202: case 203:
            if (board.textureMemory) SetFigures(mode, 8, 0, 8, 32);
            else SetFigures(mode, 0, 0, 1, 24);
            break;
        case 204:
            if (board.textureMemory) SetFigures(mode, 0, 0, 4, 24);
            else SetFigures(mode, 0, 0, 1, 24);
            break;
        case 205: case 206: case 207: case 210:
            if (TileTestPasses(mode.width, mode.height, board.pixelGranularity)) SetFigures(mode, 8, 8, 8, 32);
            else SetFigures(mode, 0, 6, 4, 24);
            break;
        default:
            SetFigures(mode, 0, 0, 0, 0);
            break;
    }
}

}  // namespace

FilterVerdict CheckMonitorFilter(const TimingEntry& candidate, const MonitorEntry& monitor) {
    if (candidate.xres == 0) return Rejected(FilterResult::kNoWidth);
    if (candidate.refresh == 0) return Rejected(FilterResult::kNoRefresh);
    if (IsDdcMonitorName(monitor.name))
        return ReportedOnScreen0(candidate) ? FilterVerdict{} : Rejected(FilterResult::kNotReported);

    const double hfMax = monitor.limits[kHfMax];
    const double hfMin = monitor.limits[kHfMin];
    const double hf = candidate.hfreq;
    if ((hfMax == 0.0 && hfMin == 0.0) || candidate.hfreq == 0) return FilterVerdict{};
    if (hf < hfMin) return Rejected(FilterResult::kBelowHfMin, hf, hfMin);
    if (hf > hfMax) return Rejected(FilterResult::kAboveHfMax, hf, hfMax);
    return FilterVerdict{};
}

bool TileTestPasses(std::uint32_t width, std::uint32_t height, std::uint16_t granularity) {
    if (granularity == 0) return false;  // no tile width without a granularity
    const std::uint64_t w = width;
    const std::uint64_t h = height;
    const std::uint64_t tileWidth = kTileFactor * granularity;
    const std::uint64_t tiles = ((w + tileWidth - 1) / tileWidth) * ((h + kTileLines - 1) / kTileLines);
    if (((tiles * tileWidth) & kTileAddressMask) > ((tileWidth & kTileWidthMask) * kMaxTiles)) return false;
    if (tiles > kMaxTiles) return false;
    if (w > kMaxSide || w > kMaxGranules * granularity) return false;
    if (w % granularity != 0) return false;
    return h != 0 && h <= kMaxSide;
}

void FinishModeTable(ModeEntry* table, std::uint32_t count) {
    if (!table) return;
    if (!OrderByWidth(table, count)) ExchangeOrder(table, count);
    for (std::uint32_t i = 0; i < count; ++i) {
        ModeEntry& mode = table[i];
        SortRates(mode.monoRates);
        SortRates(mode.stereoRates);
        mode.stereoOnly = RateListLength(mode.monoRates) == 0 && RateListLength(mode.stereoRates) != 0;
        SetPixelFormat(mode);
    }
}

}  // namespace vca
