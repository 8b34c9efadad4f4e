// Gamma files (*.gc): 8-bit text, one number a line, read in text mode.
//
//   line 1         47434446 (hexadecimal, "0x" allowed)
//   line 2         10 (decimal, the table's header word)
//   lines 3-258    the 256 entries of channel 1 (decimal, 0 to 1023)
//   lines 259-514  channel 2
//   lines 515-770  channel 3
//
// Lines after the 770th are ignored. A line is read 10 characters at most,
// line end included: a longer line comes in pieces of 10 characters and each
// piece counts as a line of its own.
#pragma once

#include <cstdint>

#include "gamma/gamma_table.h"

namespace vca {

constexpr std::uint32_t kGammaFileSignature = 0x47434446;  // "GCDF" as a number
constexpr int kGammaFileLines = 2 + kGammaChannels * kGammaEntries;  // 770
constexpr int kGammaMaxEntry = 1023;
constexpr int kGammaLinePiece = 10;  // characters one read takes at most, line end included

// Why a gamma file was refused.
enum class GammaFileFault {
    kNone,
    kCannotOpen,      // the file does not exist or cannot be opened
    kMissingLine,     // the file ends before line 1 or line 2
    kNotANumber,      // `line` holds no number
    kOutOfRange,      // `line` holds a number too large for the reader
    kWrongSignature,  // line 1 holds `number`, not 47434446
    kWrongHeader,     // line 2 holds `number`, not 10
    kAboveMaximum,    // `line` holds `number`, whose low 16 bits exceed 1023
    kChannelShort,    // channel `channel` ends after `valuesRead` values
};

// What reading a gamma file found. `line` counts the pieces read, as the
// reader counts lines; for kChannelShort it is the last line read.
struct GammaFileReport {
    GammaFileFault fault = GammaFileFault::kNone;
    int line = 0;
    std::int64_t number = 0;
    int channel = 0;     // 1 to 3 when a channel's value is at fault
    int valuesRead = 0;  // values of that channel read before the fault
    char text[kGammaLinePiece + 1] = {};  // `line` as read, when it was read
};

// Reads a gamma file into `table` and says why when it refuses one. True
// when the file was read completely and valid; `table` is changed only then.
// `report` may be null; a null path or table is refused as a file that
// cannot be opened. ReadGammaFile is this without the report.
bool ReadGammaFileReport(const char16_t* path, GammaTable* table, GammaFileReport* report);

// Writes `table` as a gamma file that ReadGammaFile reads back unchanged.
// Refuses (false, no file made) a table whose header is not 10 or that has
// an entry above 1023; false too when the file cannot be made or written.
bool WriteGammaFile(const char16_t* path, const GammaTable& table);

}  // namespace vca
