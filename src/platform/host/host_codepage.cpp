// The ANSI code page of the emulated machine: Windows-1252.
#include "platform/platform.h"

namespace platform {
namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five undefined ones pass through as
// the C1 control of the same value, as Windows converts them.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t FromWindows1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return static_cast<char16_t>(byte);
}

}  // namespace

int MultiByteToWideChar(std::uint32_t /*codePage*/, std::uint32_t /*flags*/, const char* src,
                        int srcLength, char16_t* dst, int dstCapacity) {
    if (!src || srcLength == 0 || srcLength < -1 || dstCapacity < 0 ||
        (dstCapacity > 0 && !dst))
        return 0;
    std::size_t length;
    if (srcLength == -1) {
        length = 0;
        while (src[length] != '\0') ++length;
        ++length;  // the terminator is converted too
    } else {
        length = static_cast<std::size_t>(srcLength);
    }
    if (dstCapacity == 0) return static_cast<int>(length);
    std::size_t room = static_cast<std::size_t>(dstCapacity);
    std::size_t count = length < room ? length : room;
    for (std::size_t i = 0; i < count; ++i)
        dst[i] = FromWindows1252(static_cast<unsigned char>(src[i]));
    // Like Windows, a destination too small is filled and the call fails.
    return length <= room ? static_cast<int>(length) : 0;
}

}  // namespace platform
