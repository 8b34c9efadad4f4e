#include "driver/edid_identity.h"

namespace vca {

void ManufacturerLetters(std::uint8_t first, std::uint8_t second, char16_t letters[4]) {
    // The identification holds the bytes as they came; read as a
    // little-endian word w, the big-endian codes sit in its two bytes.
    const std::uint32_t w = first | (std::uint32_t{second} << 8);
    letters[0] = static_cast<char16_t>(((w & 0x7C) >> 2) | 0x40);
    letters[1] = static_cast<char16_t>((((w & 3) << 3) | (w >> 13)) | 0x40);
    letters[2] = static_cast<char16_t>(((w & 0x1F00) >> 8) | 0x40);
    letters[3] = u'\0';
}

}  // namespace vca
