// The driver's pixel clock limits, kept as 4-byte numbers in its key.
#include "base/app_state.h"
#include "base/resource_library.h"
#include "platform/platform.h"
#include "base/registry_values.h"
#include "timingdb/timing_messages.h"
#include "timingdb/timing_validation.h"

namespace vca {

namespace {

constexpr std::uint32_t kSettleMilliseconds = 10;
constexpr std::uint32_t kLimitsUnreadable = 1208;

}  // namespace

BoardTimingLimits ReadBoardTimingLimits() {
    BoardTimingLimits limits{};
    platform::Sleep(kSettleMilliseconds);

    // The seam's only way to a key is RegCreateKeyExW, which creates a
    // missing key; with read access only that is harmless, and the values
    // then read as missing.
    platform::RegKey key = 0;
    if (platform::RegCreateKey(kDriverKeyPath, platform::kKeyRead, &key) != platform::kErrorSuccess) {
        ShowTimingMessage(LoadResourceString(kLimitsUnreadable));
        return limits;
    }

    struct Value {
        const char16_t* name;
        std::uint32_t* field;
    };
    const Value values[] = {
        {u"V3UZFlags0", &limits.flags},
        {u"V3UZMaxPcFreq1020", &limits.maxPcFreq1020},
        {u"V3UZMaxPcFreq1280", &limits.maxPcFreq1280},
        {u"V3UZMaxPcPllVcoFreq0", &limits.maxPcPllVcoFreq},
    };
    bool told = false;
    for (const Value& value : values) {
        // A value of another size or a string counts as missing, as does a
        // failed query.
        std::uint32_t data = 0;
        if (!ReadDwordValue(key, value.name, &data)) {
            if (!told) ShowTimingMessage(LoadResourceString(kLimitsUnreadable));
            told = true;
        }
        *value.field = data;
    }
    platform::RegCloseKey(key);
    return limits;
}

}  // namespace vca
