// Gamma correction tables and the per-screen gamma state.
#pragma once

#include <cstdint>

namespace vca {

constexpr std::uint32_t kGammaHeader = 10;  // every valid table; entries are 10-bit
constexpr int kGammaEntries = 256;
constexpr int kGammaChannels = 3;
constexpr int kGammaFileChars = 200;  // UTF-16 units with the terminator

// The 1540-byte block the driver's gamma requests carry: a header word and
// three channels of 256 unsigned 16-bit entries, little-endian.
struct GammaTable {
    std::uint32_t header;
    std::uint16_t channel[kGammaChannels][kGammaEntries];
};
static_assert(sizeof(GammaTable) == 1540, "GammaTable must be the driver's 1540-byte block");

// One screen's gamma state.
struct ScreenGamma {
    std::int32_t Contrast;          // 30 to 100
    std::uint32_t GammaDataSource;  // 1 gamma value, 2 gamma file, 3 table alone
    double gamma;                   // above 0
    std::int32_t GammaValue;        // gamma x 100, rounded down
    GammaTable table;
    char16_t GammaFile[kGammaFileChars];
};

// The three pairs (screen 0, screen 1) that live as long as the applet:
// as loaded, as saved by the dialogs, and the gamma dialog's working copy.
extern ScreenGamma currentGamma[2];
extern ScreenGamma savedGamma[2];
extern ScreenGamma dialogGamma[2];

// Zeroes the three pairs: their state when the library is loaded.
void ResetGammaState();

// Fills `table` for gamma `gamma` (above 0): header 10 and, in all three
// channels, entry i = (i/255)^(1/gamma) x 1023 rounded half up.
void ComputeGammaTable(double gamma, GammaTable* table);

// The table of gamma 1.0: entries 0, 4, 8, 12, ..., 1019, 1023.
void MakeLinearTable(GammaTable* table);

// True when every entry of the three channels equals the linear table's.
// The header word is not looked at.
bool IsLinearTable(const GammaTable& table);

// Reads a gamma file (*.gc). True when the file was read completely and is
// valid; `table` is changed only then. gamma_file.h has the details.
bool ReadGammaFile(const char16_t* path, GammaTable* table);

}  // namespace vca
