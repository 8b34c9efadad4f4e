#include "driver/mode_records.h"

#include <cstring>

#include "base/app_state.h"
#include "base/resource_library.h"
#include "driver/driver_escape.h"
#include "platform/platform.h"

namespace vca {

ModeRecordState modeRecords[2];

namespace {

int SendModeRequest(platform::DeviceContext dc, std::uint32_t function, std::uint32_t a1,
                    std::uint32_t a2, std::uint32_t a3, int outSize, void* out) {
    std::uint8_t request[28] = {};
    PutWord(request, 0, function);
    PutWord(request, 4, a1);
    PutWord(request, 5, a2);
    PutWord(request, 6, a3);
    return platform::ExtEscape(dc, kModeRecordEscape, sizeof request, request, outSize, out);
}

int OutOfMemory(platform::DeviceContext dc) {
    platform::ReleaseDesktopDC(dc);
    ShowMessage(82, kBoxStop);
    return -1;
}

}  // namespace

int QueryModeRecords(int screen) {
    if (screen != 0 && screen != 1) return 1;
    ReleaseModeRecords(screen);
    ModeRecordState& state = modeRecords[screen];
    const std::uint32_t screenWord = static_cast<std::uint32_t>(screen);
    platform::DeviceContext dc = platform::AcquireDesktopDC();

    if (SendModeRequest(dc, kModeProbe, kModeCount, 0, 0, 0, nullptr) < 1) {
        state.status = driverAbsent ? kRecordsDefault : kRecordsFailed;
    } else {
        auto* countBuffer = static_cast<std::uint8_t*>(platform::Allocate(4));
        if (!countBuffer) return OutOfMemory(dc);
        std::uint32_t count = 0;
        if (SendModeRequest(dc, kModeCount, kEdidBytes, kModeRecordBytes, screenWord, 4, countBuffer) > 0)
            count = GetWord(countBuffer, 0);
        platform::Free(countBuffer);

        if (count == 0) {
            state.status = kRecordsDefault;
        } else if (count > kMaxModeRecords) {
            state.status = kRecordsFailed;
        } else {
            const std::uint32_t size = kEdidBytes + kModeRecordBytes * count;
            auto* block = static_cast<std::uint8_t*>(platform::Allocate(size));
            if (!block) return OutOfMemory(dc);
            if (SendModeRequest(dc, kModeFetch, count, screenWord, screenWord,
                                static_cast<int>(size), block) > 0) {
                platform::ReleaseDesktopDC(dc);
                state.status = kRecordsFromDriver;
                state.count = count;
                state.block = block;
                state.firstRecord = block + kEdidBytes;
                return 1;
            }
            platform::Free(block);
            state.status = kRecordsFailed;
        }
    }

    platform::ReleaseDesktopDC(dc);
    auto* block = static_cast<std::uint8_t*>(platform::Allocate(kDefaultBlockBytes));
    if (!block) {
        ShowMessage(82, kBoxStop);
        return -1;
    }
    std::memset(block, 0, kDefaultBlockBytes);
    PutWord(block + kEdidBytes, 0, 640);
    PutWord(block + kEdidBytes, 1, 480);
    PutWord(block + kEdidBytes, 2, 60);
    state.count = 1;
    state.block = block;
    state.firstRecord = block + kEdidBytes;
    return 1;
}

void ReleaseModeRecords(int screen) {
    if (screen != 0 && screen != 1) return;
    platform::Free(modeRecords[screen].block);
    modeRecords[screen] = ModeRecordState{};
}

std::uint32_t ModeRecordWord(int screen, std::uint32_t index, int word) {
    if ((screen != 0 && screen != 1) || word < 0 || word > 2) return 0;
    const ModeRecordState& state = modeRecords[screen];
    if (!state.firstRecord || index >= state.count) return 0;
    return GetWord(state.firstRecord + index * kModeRecordBytes, static_cast<std::size_t>(word));
}

}  // namespace vca
