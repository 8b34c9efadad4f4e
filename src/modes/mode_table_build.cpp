// BuildModeTable: the chosen monitor's records from the timing database,
// validated and sorted, filtered by the monitor and grouped into
// resolutions, each with its normal and its stereo-or-interlaced rates.
#include <algorithm>

#include "base/resource_library.h"
#include "base/text.h"
#include "driver/mode_records.h"
#include "modes/group_index.h"
#include "modes/mode_building.h"
#include "modes/mode_table.h"
#include "platform/platform.h"
#include "timingdb/database_loader.h"
#include "timingdb/timing_messages.h"
#include "timingdb/timing_queries.h"
#include "timingdb/timing_validation.h"

namespace vca {

namespace {

constexpr std::uint32_t kOutOfMemory = 82;
constexpr std::uint32_t kQueryErrorString = 84;
constexpr std::uint32_t kNoModesString = 1206;
constexpr std::uint32_t kNoModesEndString = 1207;
constexpr int kMessagePartChars = 300;
constexpr int kCaptionChars = 60;
constexpr std::uint32_t kColorDepth = 32;
// The status of screen 0's records when no mode of the database is left.
constexpr int kNoModeLeft = 7;

// One resolution of the counting pass.
struct GroupCount {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t mono;    // candidates bound for the normal rates
    std::uint32_t stereo;  // candidates bound for the stereo-or-interlaced rates
    std::uint32_t monoListed;    // distinct normal rates the filling pass listed
    std::uint32_t stereoListed;  // distinct stereo-or-interlaced rates listed
};

// What the build has allocated and not yet handed over to the table.
struct BuildScratch {
    TimingEntry* entries = nullptr;
    TimingCandidate* candidates = nullptr;
    GroupCount* groups = nullptr;

    void Release() {
        platform::Free(entries);
        platform::Free(candidates);
        platform::Free(groups);
        entries = nullptr;
        candidates = nullptr;
        groups = nullptr;
    }
};

// Out of memory anywhere in the build: nothing can go on.
[[noreturn]] void EndOutOfMemory(BuildScratch* scratch, bool showMessage) {
    if (showMessage) ShowMessage(kOutOfMemory, kBoxStop);
    scratch->Release();
    ReleaseAllTables();
    platform::ExitProcess(-1);
}

template <typename T>
T* AllocateZeroed(std::uint32_t count) {
    const std::uint64_t slots = std::uint64_t{count} + 1;
    if (slots > SIZE_MAX / sizeof(T)) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(slots) * sizeof(T);
    return static_cast<T*>(platform::AllocateZeroed(bytes));
}

void ShowNoModes() {
    ShowTimingMessage(FormatText(u"%s %s %s ", {LoadResourceString(kNoModesString, kMessagePartChars),
                                              timingFilePath,
                                              LoadResourceString(kNoModesEndString, kMessagePartChars)}),
                      kCaptionChars);
}

bool StereoOrInterlaced(const TimingEntry& candidate) {
    return (candidate.flags & (TF_STEREO | TF_INTERLACED)) != 0;
}

// The first resolution of the same width whose height is the candidate's
// or twice it, so that a stereo candidate with half the lines joins the
// resolution it shows: of the two that can match, the one made first.
std::uint32_t FindGroup(const GroupIndex& index, const TimingEntry& candidate) {
    return std::min(index.Find(candidate.xres, candidate.yres), index.Find(candidate.xres, 2u * candidate.yres));
}

std::uint32_t NewHeight(const TimingEntry& candidate) {
    return (candidate.flags & TF_STEREO) ? 2u * candidate.yres : candidate.yres;
}

// The counting pass: the resolutions and the length of each list.
std::uint32_t CountGroups(const TimingEntry* entries, std::uint32_t count, const MonitorEntry& monitor,
                          GroupCount* groups, GroupIndex* index) {
    std::uint32_t used = 0;
    std::uint32_t longest = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const TimingEntry& candidate = entries[i];
        if (CheckMonitorFilter(candidate, monitor).result != FilterResult::kPass) continue;
        std::uint32_t found = FindGroup(*index, candidate);
        if (found == GroupIndex::kNone) {
            found = used++;
            groups[found].width = candidate.xres;
            groups[found].height = NewHeight(candidate);
            index->Add(candidate.xres, groups[found].height, found);
        }
        GroupCount* group = &groups[found];
        std::uint32_t& bound = StereoOrInterlaced(candidate) ? group->stereo : group->mono;
        longest = std::max(longest, ++bound);
    }
    maxRateCount = longest;
    return used;
}

// Appends a rate that the list does not hold yet, in the order rates are
// first met. The counting pass counted a slot for every candidate, so there
// is always room; the capacity is checked all the same.
void AddRate(std::uint32_t* rates, std::uint32_t* listed, std::uint32_t capacity, std::uint32_t rate) {
    if (*listed + 1 < capacity) rates[(*listed)++] = rate;
}

// The filling pass: the same filter and grouping as the counting pass, so
// each resolution lands at the index at which it was counted. All the
// resolutions are known now, but of those that can match a candidate the
// one made first is still the one the counting pass chose.
void FillGroups(const TimingEntry* entries, std::uint32_t count, const MonitorEntry& monitor, GroupCount* groups,
                GroupIndex* index) {
    for (std::uint32_t i = 0; i < count; ++i) {
        const TimingEntry& candidate = entries[i];
        if (CheckMonitorFilter(candidate, monitor).result != FilterResult::kPass) continue;
        const std::uint32_t found = FindGroup(*index, candidate);
        ModeEntry* mode = &modeTable[found];
        if (mode->width == 0) {  // first met (the filter lets no width of 0 through)
            mode->tag = candidate.tag;
            mode->width = candidate.xres;
            mode->height = NewHeight(candidate);
            mode->colorDepth = kColorDepth;
        }
        GroupCount& group = groups[found];
        const bool stereo = StereoOrInterlaced(candidate);
        if (stereo) mode->hasStereoRates = 1;
        if (!index->AddRate(found, stereo, candidate.refresh)) continue;  // listed already
        if (stereo)
            AddRate(mode->stereoRates, &group.stereoListed, group.stereo + 1, candidate.refresh);
        else
            AddRate(mode->monoRates, &group.monoListed, group.mono + 1, candidate.refresh);
    }
}

// The DDC monitor offers one rate per resolution, its highest.
void KeepHighestNormalRate() {
    for (std::uint32_t i = 0; i < modeCount; ++i) {
        std::uint32_t* rates = modeTable[i].monoRates;
        if (!rates || rates[0] == 0) continue;
        std::uint32_t highest = 0;
        for (std::uint32_t k = 0; rates[k] != 0; ++k) highest = std::max(highest, rates[k]);
        rates[0] = highest;
        rates[1] = 0;
    }
}

// Fetches the records the pattern selects, validated and sorted. False when
// the database turned out unusable or when no record matched; true with a
// count of 0 when records matched but none survived validation.
bool FetchCandidates(const TimingEntry& pattern, std::uint32_t mask, BuildScratch* scratch, std::uint32_t* count,
                     bool* fallbackWanted) {
    if (CountTimingEntries(timingText, timingDatabase, pattern, mask, count) != 0) {
        ShowTimingFileError(kQueryErrorString, kMessagePartChars, kCaptionChars);
        databaseInvalid = true;
        return false;
    }
    if (*count == 0) {
        ShowNoModes();
        *fallbackWanted = true;
        return false;
    }
    scratch->entries = AllocateZeroed<TimingEntry>(*count);
    if (!scratch->entries) EndOutOfMemory(scratch, true);
    if (FetchTimingEntries(timingText, timingDatabase, pattern, mask, scratch->entries, *count) != 0) {
        ShowTimingFileError(kQueryErrorString, kMessagePartChars, kCaptionChars);
        databaseInvalid = true;
        return false;
    }
    if (pattern.type != kTypeTiming) {
        SortTimingEntries(scratch->entries, *count);
        return true;
    }

    scratch->candidates = AllocateZeroed<TimingCandidate>(*count);
    if (!scratch->candidates) EndOutOfMemory(scratch, true);
    bool error = false;
    ReadTimingData(*count, &error, scratch->candidates, scratch->entries);
    if (error) {
        ShowTimingFileError(kQueryErrorString, kMessagePartChars, kCaptionChars);
        databaseInvalid = true;
    } else {
        *count = ValidateTimings(*count, scratch->candidates, scratch->entries);
        if (*count == 0) {
            // Building goes on with no candidates and gives an empty table.
            ShowNoModes();
            *fallbackWanted = true;
        } else {
            SortTimingEntries(scratch->entries, *count);
        }
    }
    platform::Free(scratch->candidates);
    scratch->candidates = nullptr;
    return !error;
}

}  // namespace

void BuildModeTable(const TimingEntry& pattern, std::uint32_t mask, bool* fallbackWanted) {
    *fallbackWanted = false;
    ReleaseModeTable();
    modeCount = 0;
    maxRateCount = 0;

    if (!timingText) {
        // Nothing was read: the same as a database that cannot be opened.
        databaseUnreadable = true;
        return;
    }

    BuildScratch scratch;
    std::uint32_t count = 0;
    if (!FetchCandidates(pattern, mask, &scratch, &count, fallbackWanted)) {
        scratch.Release();
        return;
    }

    MonitorEntry monitor;
    GetCurrentMonitorEntry(&monitor);
    const bool ddc = IsDdcMonitorName(monitor.name);
    if (ddc) {
        // QueryModeRecords has shown message 82 itself.
        if (QueryModeRecords(0) == -1 || QueryModeRecords(1) == -1) EndOutOfMemory(&scratch, false);
    }

    scratch.groups = AllocateZeroed<GroupCount>(count);
    GroupIndex index;
    if (!scratch.groups || !index.Reserve(count)) EndOutOfMemory(&scratch, true);
    modeCount = CountGroups(scratch.entries, count, monitor, scratch.groups, &index);
    if (modeCount == 0) modeRecords[0].status = kNoModeLeft;

    if (!InstallModeTable(modeCount)) EndOutOfMemory(&scratch, true);
    for (std::uint32_t i = 0; i <= modeCount; ++i) {
        const GroupCount counted = i < modeCount ? scratch.groups[i] : GroupCount{};
        modeTable[i].monoRates = AllocateRateList(counted.mono + 1);
        modeTable[i].stereoRates = AllocateRateList(counted.stereo + 1);
        if (!modeTable[i].monoRates || !modeTable[i].stereoRates) EndOutOfMemory(&scratch, true);
    }
    FillGroups(scratch.entries, count, monitor, scratch.groups, &index);

    if (ddc && modeRecords[0].count >= 1) {
        if (!CopyDdcFullRates(modeCount)) EndOutOfMemory(&scratch, true);
        KeepHighestNormalRate();
    }
    scratch.Release();
}

}  // namespace vca
