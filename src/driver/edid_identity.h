// The monitor identification at the start of a screen's mode record block:
// bytes 8 onwards of a VESA EDID base block.
#pragma once

#include <cstdint>

namespace vca {

// Offsets in the identification (EDID byte offset minus 8).
constexpr std::uint32_t kEdidManufacturerOffset = 0;  // 2 bytes
constexpr std::uint32_t kEdidProductOffset = 2;       // 16-bit little-endian
constexpr std::uint32_t kEdidSerialOffset = 4;        // 32-bit little-endian
constexpr std::uint32_t kEdidWeekOffset = 8;
constexpr std::uint32_t kEdidYearOffset = 9;          // year minus 1990
constexpr std::uint32_t kEdidVersionOffset = 10;
constexpr std::uint32_t kEdidRevisionOffset = 11;

// The three letters of a manufacturer ID: the two bytes form a big-endian
// word of three 5-bit codes, 1 standing for "A". A code of 0 gives "@".
// `letters` receives three characters and a terminator.
void ManufacturerLetters(std::uint8_t first, std::uint8_t second, char16_t letters[4]);

}  // namespace vca
