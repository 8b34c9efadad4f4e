// The monitor's identification and reported modes, per screen, as the
// driver gives them through escape 4352.
#pragma once

#include <cstdint>

namespace vca {

constexpr std::uint32_t kEdidBytes = 120;
constexpr std::uint32_t kModeRecordBytes = 52;
constexpr std::uint32_t kDefaultBlockBytes = kEdidBytes + kModeRecordBytes;  // 172
// A count above this is not a monitor's list but a broken answer: a block
// that large would not be an honest reply, and 120 + 52 x N must stay far
// from overflowing the escape's int-sized output length.
constexpr std::uint32_t kMaxModeRecords = 4096;

constexpr int kRecordsDefault = 2;   // no records offered: the default block
constexpr int kRecordsFailed = 5;    // the driver failed to answer: the default block
constexpr int kRecordsFromDriver = 6;

// Escape 4352 functions.
constexpr std::uint32_t kModeProbe = 0;
constexpr std::uint32_t kModeCount = 0x20017;
constexpr std::uint32_t kModeFetch = 0x20018;

struct ModeRecordState {
    std::uint32_t count;
    std::uint8_t* block;               // EDID part then the records
    const std::uint8_t* firstRecord;   // block + 120
    int status;
};

extern ModeRecordState modeRecords[2];

// Fills screen's state from the driver, or with the default block holding
// the single record 640 x 480 at 60 Hz. 1, or -1 after message 82.
int QueryModeRecords(int screen);

// Releases the screen's block (if any) and clears its state.
void ReleaseModeRecords(int screen);

// Word `word` (0 width, 1 height, 2 refresh) of record `index` of a screen.
std::uint32_t ModeRecordWord(int screen, std::uint32_t index, int word);

}  // namespace vca
