// The mode table's storage, the two phases of ChooseMonitorAndBuildModes,
// the one-mode fallback table and the release of every table.
#include "modes/mode_table.h"

#include <cstring>

#include "base/app_state.h"
#include "base/resource_library.h"
#include "driver/board_identity.h"
#include "driver/mode_records.h"
#include "modes/mode_building.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_views.h"
#include "modes/monitor_choice.h"
#include "platform/platform.h"
#include "timingdb/database_loader.h"
#include "timingdb/section_parser.h"

namespace vca {

ModeEntry* modeTable = nullptr;
std::uint32_t modeCount = 0;
std::uint32_t maxRateCount = 0;
ModeEntry* ddcFullRates = nullptr;
std::uint32_t fixedRefresh = 0;

namespace {

constexpr std::uint32_t kOutOfMemory = 82;
constexpr const char16_t* kLumarisTag = u"LM";

// Entries allocated, terminators included: a release frees exactly these,
// whatever modeCount says by then.
std::uint32_t tableSlots = 0;
std::uint32_t ddcSlots = 0;
bool fallbackInUse = false;

// The safe mode every board and monitor can show.
constexpr std::uint32_t kFallbackWidth = 640;
constexpr std::uint32_t kFallbackHeight = 480;
constexpr std::uint32_t kFallbackRate = 60;
constexpr std::uint32_t kFallbackRateRoom = 10;
constexpr std::uint32_t kColorDepth = 32;

void FreeEntries(ModeEntry* entries, std::uint32_t slots) {
    if (!entries) return;
    for (std::uint32_t i = 0; i < slots; ++i) {
        platform::Free(entries[i].monoRates);
        platform::Free(entries[i].stereoRates);
    }
    platform::Free(entries);
}

// 640 x 480 at 60 Hz and the terminator, each list with room for ten rates.
bool BuildFallbackTable() {
    modeCount = 1;
    maxRateCount = kFallbackRateRoom;
    if (!InstallModeTable(1)) return false;
    for (std::uint32_t i = 0; i < tableSlots; ++i) {
        modeTable[i].monoRates = AllocateRateList(kFallbackRateRoom + 1);
        modeTable[i].stereoRates = AllocateRateList(kFallbackRateRoom + 1);
        if (!modeTable[i].monoRates || !modeTable[i].stereoRates) {
            ReleaseModeTable();
            return false;
        }
    }
    ModeEntry& mode = modeTable[0];
    mode.tag = 0;
    mode.width = kFallbackWidth;
    mode.height = kFallbackHeight;
    mode.colorDepth = kColorDepth;
    mode.monoRates[0] = kFallbackRate;
    mode.hasStereoRates = 0;
    fallbackInUse = true;
    return true;
}

}  // namespace

std::uint32_t ModeTableEntries() { return tableSlots ? tableSlots - 1 : 0; }

bool ModeTableIsFallback() { return modeTable && fallbackInUse; }

bool InstallModeTable(std::uint32_t entries) {
    ReleaseModeTable();
    const std::uint64_t slots = std::uint64_t{entries} + 1;
    if (slots > SIZE_MAX / sizeof(ModeEntry)) return false;
    auto* table = static_cast<ModeEntry*>(platform::Allocate(static_cast<std::size_t>(slots) * sizeof(ModeEntry)));
    if (!table) return false;
    std::memset(table, 0, static_cast<std::size_t>(slots) * sizeof(ModeEntry));
    modeTable = table;
    tableSlots = static_cast<std::uint32_t>(slots);
    return true;
}

std::uint32_t* AllocateRateList(std::uint32_t slots) {
    if (slots == 0 || slots > SIZE_MAX / sizeof(std::uint32_t)) return nullptr;
    auto* rates = static_cast<std::uint32_t*>(platform::Allocate(slots * sizeof(std::uint32_t)));
    if (rates) std::memset(rates, 0, slots * sizeof(std::uint32_t));
    return rates;
}

std::uint32_t RateListLength(const std::uint32_t* rates) {
    std::uint32_t length = 0;
    if (rates)
        while (rates[length] != 0) ++length;
    return length;
}

void ReleaseModeTable() {
    FreeEntries(modeTable, tableSlots);
    modeTable = nullptr;
    tableSlots = 0;
    fallbackInUse = false;
}

std::uint32_t DdcFullRatesEntries() { return ddcSlots ? ddcSlots - 1 : 0; }

void ReleaseDdcFullRates() {
    FreeEntries(ddcFullRates, ddcSlots);
    ddcFullRates = nullptr;
    ddcSlots = 0;
}

bool CopyDdcFullRates(std::uint32_t entries) {
    ReleaseDdcFullRates();
    const std::uint32_t slots = entries + 1;
    auto* copy = static_cast<ModeEntry*>(platform::Allocate(std::size_t{slots} * sizeof(ModeEntry)));
    if (!copy) return false;
    std::memset(copy, 0, std::size_t{slots} * sizeof(ModeEntry));
    ddcFullRates = copy;
    ddcSlots = slots;
    for (std::uint32_t i = 0; i < slots; ++i) {
        const ModeEntry& mode = modeTable[i];
        const std::uint32_t length = RateListLength(mode.monoRates);
        std::uint32_t* rates = AllocateRateList(length + 1);
        if (!rates) return false;
        if (length) std::memcpy(rates, mode.monoRates, length * sizeof(std::uint32_t));
        copy[i] = mode;
        copy[i].monoRates = rates;
        copy[i].stereoRates = nullptr;  // only the normal rates are listed
    }
    return true;
}

void MakeModeQuery(const ChosenTag& chosen, TimingEntry* pattern, std::uint32_t* mask) {
    *pattern = TimingEntry{};
    pattern->tag = chosen.tagIndex;
    *mask = QM_TAG | QM_TYPE;
    if (driverAbsent) {
        pattern->type = kTypeVqxGli;
        return;
    }
    switch (boardIdentity.boardCode) {
        case 204: pattern->type = kTypeGlm; break;
        case 205: case 206: case 207: case 210: pattern->type = kTypeTiming; break;
        default: pattern->type = kTypeVqxGli; break;
    }
    if (!NamesEqual(chosen.tagName, kLumarisTag)) return;
    // Each Lumaris model has the records of its own monitor id.
    switch (boardIdentity.monitorCode) {
        case 20: pattern->monid = 11; break;
        case 21: pattern->monid = 10; break;
        case 27: pattern->monid = 8; break;
        default: break;
    }
    if (pattern->monid != 0) *mask |= QM_MONID;
}

int ChooseMonitorAndBuildModes() {
    // The choice may replace the catalogue the old table's monitor came from.
    ReleaseModeTable();
    ChosenTag chosen{};
    if (ChooseMonitor(&chosen) == -1) return -1;

    TimingEntry pattern;
    std::uint32_t mask = 0;
    MakeModeQuery(chosen, &pattern, &mask);
    // Without a driver a Lumaris monitor runs at the rate it fixes itself.
    if (driverAbsent) fixedRefresh = NamesEqual(chosen.tagName, kLumarisTag) ? 1 : 0;

    if (!databaseUnreadable && !databaseInvalid) {
        bool fallbackWanted = false;
        BuildModeTable(pattern, mask, &fallbackWanted);
        if (!databaseUnreadable && !databaseInvalid && !fallbackWanted) {
            FinishModeTable(modeTable, modeCount);
            return 1;
        }
    }
    if (!BuildFallbackTable()) {
        ShowMessage(kOutOfMemory, kBoxStop);
        return -1;
    }
    FinishModeTable(modeTable, modeCount);
    return 1;
}

void ReleaseAllTables() {
    // The parsed header's monitor blocks go with the text they were read from.
    ReleaseTimingText();
    ReleaseTimingDatabase(&timingDatabase);
    ReleaseMonitorCatalogue();
    ReleaseModeTable();
    ReleaseStereoView();
    ReleaseMonoView();
    ReleaseModeDescriptions();
    ReleaseDdcFullRates();
    ReleaseModeRecords(0);
    ReleaseModeRecords(1);
}

void ResetModeTableState() {
    ReleaseModeTable();
    ReleaseDdcFullRates();
    modeCount = 0;
    maxRateCount = 0;
    fixedRefresh = 0;
}

}  // namespace vca
