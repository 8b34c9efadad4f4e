// What identification learns about the board and the monitor.
#pragma once

#include <cstdint>

namespace vca {

struct BoardIdentity {
    std::uint32_t boardCode;      // 201-207 or 210; 0 when no board was identified
    std::uint32_t textureMemory;  // bit 0x2000000 of the board answer, as that bit
    std::uint32_t monitorCode;    // 17, 19, 20, 21 or 27 (99 is stored as 17)
    std::uint32_t secondScreen;   // bit 0x10000 of the monitor answer, as that bit
    std::uint32_t optionFlag;     // bit 0x1000000 of the board answer, as that bit
    std::uint16_t pixelGranularity;  // 4 for 205, 207, 210; 8 for 206; else 0
};

extern BoardIdentity boardIdentity;
// The monitor code as identified; the working code in boardIdentity may change.
extern std::uint32_t reportedMonitorCode;

constexpr std::uint32_t kTextureMemoryBit = 0x2000000;
constexpr std::uint32_t kOptionFlagBit = 0x1000000;
constexpr std::uint32_t kSecondScreenBit = 0x10000;

bool IsSupportedBoardCode(std::uint32_t boardCode);
bool IsSupportedMonitorCode(std::uint32_t monitorCode);

// Identifies board and monitor through the driver and reads the gamma tables
// it holds for both screens. 1 identified; -1 unsupported board; -10
// unsupported monitor; -11 the driver lacks the private escape.
int IdentifyBoard();

// The resource string that names the board.
std::uint32_t BoardNameStringId(const BoardIdentity& identity);

// Returns identification and the mode record blocks to their load-time state.
void ResetDriverState();

}  // namespace vca
