#include "driver/driver_escape.h"

#include <cstring>

#include "driver/board_identity.h"
#include "gamma/gamma_table.h"
#include "platform/platform.h"

namespace vca {

void PutWord(std::uint8_t* buffer, std::size_t index, std::uint32_t value) {
    for (int b = 0; b < 4; ++b) buffer[index * 4 + b] = static_cast<std::uint8_t>(value >> (8 * b));
}

std::uint32_t GetWord(const std::uint8_t* buffer, std::size_t index) {
    std::uint32_t value = 0;
    for (int b = 3; b >= 0; --b) value = (value << 8) | buffer[index * 4 + b];
    return value;
}

namespace {

constexpr int kGammaRequestBytes = 4 + static_cast<int>(sizeof(GammaTable));

int SendPrivate(const std::uint8_t* request, int size, void* out = nullptr, int outSize = 0) {
    platform::DeviceContext dc = platform::AcquireDesktopDC();
    int result = platform::ExtEscape(dc, kPrivateEscape, size, request, outSize, out);
    platform::ReleaseDesktopDC(dc);
    return result;
}

void SetGammaTable(int screen, const GammaTable& table) {
    std::uint8_t request[kGammaRequestBytes];
    PutWord(request, 0, kSetGammaTable);
    std::memcpy(request + 4, &table, sizeof table);
    // The screen travels in the copy's header; the caller's table keeps its own.
    if (screen == 1) PutWord(request, 1, GetWord(request, 1) | kScreenOneGammaBit);
    SendPrivate(request, sizeof request);
}

void ReadGammaTable(GammaTable* table) {
    std::uint8_t request[4];
    PutWord(request, 0, kReadGammaTable);
    std::uint8_t answer[kGammaRequestBytes] = {};
    if (SendPrivate(request, sizeof request, answer, sizeof answer) > 0)
        std::memcpy(table, answer, sizeof *table);
}

void SetOption(std::uint32_t option, std::uint32_t value) {
    if (!IsSupportedBoardCode(boardIdentity.boardCode)) return;
    std::uint8_t request[12];
    PutWord(request, 0, kSetOption);
    PutWord(request, 1, option);
    PutWord(request, 2, value);
    SendPrivate(request, sizeof request);
}

}  // namespace

void DriverEscape(int operation, int screen, void* data) {
    if (!data) return;
    switch (operation) {
        case kOpSetContrast: {
            std::uint8_t request[8];
            PutWord(request, 0, kSetContrast);
            PutWord(request, 1, *static_cast<const std::uint32_t*>(data));
            SendPrivate(request, sizeof request);
            break;
        }
        case kOpSetGammaTable:
            SetGammaTable(screen, *static_cast<const GammaTable*>(data));
            break;
        case kOpReadGammaTable:
            ReadGammaTable(static_cast<GammaTable*>(data));
            break;
        case kOpSetOption1:
            SetOption(1, *static_cast<const std::uint32_t*>(data));
            break;
        case kOpSetOption2:
            SetOption(2, *static_cast<const std::uint32_t*>(data));
            break;
        default:
            break;
    }
}

}  // namespace vca
