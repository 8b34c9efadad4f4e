#include <cstring>

#include "base/app_state.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "driver/driver_escape.h"
#include "driver/mode_records.h"
#include "gamma/gamma_table.h"
#include "platform/platform.h"

namespace vca {

BoardIdentity boardIdentity;
std::uint32_t reportedMonitorCode;

bool IsSupportedBoardCode(std::uint32_t boardCode) {
    return (boardCode >= 201 && boardCode <= 207) || boardCode == 210;
}

bool IsSupportedMonitorCode(std::uint32_t monitorCode) {
    switch (monitorCode) {
        case 17: case 19: case 20: case 21: case 27: case 99: return true;
        default: return false;
    }
}

namespace {

constexpr std::uint32_t kMonitorGenericMultiSync = 17;
constexpr std::uint32_t kMonitorDdc = 99;

std::uint16_t PixelGranularityOf(std::uint32_t boardCode) {
    switch (boardCode) {
        case 205: case 207: case 210: return 4;
        case 206: return 8;
        default: return 0;
    }
}

// The board's answers: whether the private escape is offered, then the board
// and the monitor query. Returns the identification result before the
// gamma tables are read.
int QueryBoardAndMonitor() {
    platform::DeviceContext dc = platform::AcquireDesktopDC();
    std::uint8_t request[4];
    PutWord(request, 0, static_cast<std::uint32_t>(kPrivateEscape));
    int result = 1;
    if (platform::ExtEscape(dc, kQueryEscSupport, sizeof request, request, 0, nullptr) <= 0) {
        result = -11;
    } else {
        PutWord(request, 0, kBoardQuery);
        std::uint32_t board = static_cast<std::uint32_t>(
            platform::ExtEscape(dc, kPrivateEscape, sizeof request, request, 0, nullptr));
        boardIdentity.boardCode = board & 0xFFFF;
        boardIdentity.textureMemory = board & kTextureMemoryBit;
        boardIdentity.optionFlag = board & kOptionFlagBit;
        if (!IsSupportedBoardCode(boardIdentity.boardCode)) {
            result = -1;
        } else {
            PutWord(request, 0, kMonitorQuery);
            std::uint32_t monitor = static_cast<std::uint32_t>(
                platform::ExtEscape(dc, kPrivateEscape, sizeof request, request, 0, nullptr));
            boardIdentity.monitorCode = monitor & 0xFFFF;
            boardIdentity.secondScreen = monitor & kSecondScreenBit;
            reportedMonitorCode = boardIdentity.monitorCode;
            if (!IsSupportedMonitorCode(boardIdentity.monitorCode)) {
                result = -10;
            } else if (boardIdentity.monitorCode == kMonitorDdc) {
                boardIdentity.monitorCode = kMonitorGenericMultiSync;
                reportedMonitorCode = kMonitorGenericMultiSync;
            }
        }
    }
    platform::ReleaseDesktopDC(dc);
    return result;
}

}  // namespace

int IdentifyBoard() {
    boardIdentity = BoardIdentity{};
    int result = QueryBoardAndMonitor();
    if (result != 1) return result;
    boardIdentity.pixelGranularity = PixelGranularityOf(boardIdentity.boardCode);
    CopyText(driverKeyPath, kDriverKeyPath);
    // The tables the driver holds now; a read the driver refuses leaves the
    // screen's table as it was.
    for (int screen = 0; screen < 2; ++screen) {
        GammaTable scratch = currentGamma[screen].table;
        DriverEscape(kOpReadGammaTable, screen, &scratch);
        currentGamma[screen].table = scratch;
    }
    return 1;
}

std::uint32_t BoardNameStringId(const BoardIdentity& identity) {
    switch (identity.boardCode) {
        case 205: case 206: return 1210;
        case 207: case 210: return 1214;
        default: break;
    }
    static constexpr std::uint32_t kNames[8] = {62, 61, 64, 63, 67, 76, 66, 65};
    int index = (identity.boardCode == 204 ? 1 : 0) + (identity.optionFlag ? 2 : 0) +
                (identity.textureMemory ? 4 : 0);
    return kNames[index];
}

void ResetDriverState() {
    boardIdentity = BoardIdentity{};
    reportedMonitorCode = 0;
    ReleaseModeRecords(0);
    ReleaseModeRecords(1);
}

}  // namespace vca
