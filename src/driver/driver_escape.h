// Requests to the display driver through ExtEscape on the desktop's DC.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vca {

constexpr int kQueryEscSupport = 8;
constexpr int kPrivateEscape = 0x4156524E;  // "NRVA" read as a little-endian word
constexpr int kModeRecordEscape = 4352;

// Words of the private escape's requests.
constexpr std::uint32_t kBoardQuery = 3;
constexpr std::uint32_t kMonitorQuery = 7;
constexpr std::uint32_t kSetContrast = 0x20002;
constexpr std::uint32_t kSetGammaTable = 8;
constexpr std::uint32_t kReadGammaTable = 9;
constexpr std::uint32_t kSetOption = 0x20011;
constexpr std::uint32_t kScreenOneGammaBit = 0x10000;

// Operations of DriverEscape.
constexpr int kOpSetContrast = 1;
constexpr int kOpSetGammaTable = 2;
constexpr int kOpReadGammaTable = 3;
constexpr int kOpSetOption1 = 4;
constexpr int kOpSetOption2 = 5;

// Sends one request: `data` points to a 32-bit value (operations 1, 4, 5)
// or to a GammaTable (2, 3). Unknown operations do nothing; failures are
// not reported.
void DriverEscape(int operation, int screen, void* data);

// Little-endian words in request buffers.
void PutWord(std::uint8_t* buffer, std::size_t index, std::uint32_t value);
std::uint32_t GetWord(const std::uint8_t* buffer, std::size_t index);

}  // namespace vca
