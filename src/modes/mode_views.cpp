// The mono and stereo views of the mode table, the active view and the
// refresh that keeps them and the stereo choice consistent with the table.
#include "modes/mode_views.h"

#include <algorithm>
#include <cstring>

#include "base/resource_library.h"
#include "modes/mode_building.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_table.h"
#include "platform/platform.h"

namespace vca {

namespace {

constexpr std::uint32_t kOutOfMemory = 82;

// The view in force when the table offers nothing: only a terminator.
std::uint32_t noRates[1] = {0};
ModeViewEntry emptyView[1] = {{0, 0, 0, 0, noRates, {0, 0, 0, 0}}};

// Entries allocated per view, terminator included.
std::uint32_t monoSlots = 0;
std::uint32_t stereoSlots = 0;

// What building a view notes about each qualifying mode.
struct ViewNote {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t rates;
};

void ReleaseView(ModeViewEntry*& view, std::uint32_t& slots) {
    if (!view) return;
    if (activeView == view) activeView = emptyView;
    for (std::uint32_t i = 0; i < slots; ++i) platform::Free(view[i].rates);
    platform::Free(view);
    view = nullptr;
    slots = 0;
}

int BuildView(bool stereo) {
    ModeViewEntry*& view = stereo ? stereoView : monoView;
    std::uint32_t& slots = stereo ? stereoSlots : monoSlots;
    ReleaseView(view, slots);

    // The builders run right after a table build, while modeCount counts the
    // table; they never read past the entries the table has.
    const std::uint32_t modes = modeTable ? std::min(modeCount, ModeTableEntries()) : 0;
    auto qualifies = [stereo](const ModeEntry& mode) { return stereo ? mode.hasStereoRates != 0 : mode.stereoOnly == 0; };
    auto list = [stereo](const ModeEntry& mode) { return stereo ? mode.stereoRates : mode.monoRates; };

    auto* notes = static_cast<ViewNote*>(platform::Allocate((std::size_t{modes} + 1) * sizeof(ViewNote)));
    if (!notes) {
        ShowMessage(kOutOfMemory, kBoxStop);
        return -1;
    }
    std::uint32_t qualifying = 0;
    for (std::uint32_t i = 0; i < modes; ++i)
        if (qualifies(modeTable[i]))
            notes[qualifying++] = {modeTable[i].width, modeTable[i].height, RateListLength(list(modeTable[i]))};

    const std::size_t bytes = (std::size_t{qualifying} + 1) * sizeof(ModeViewEntry);
    view = static_cast<ModeViewEntry*>(platform::Allocate(bytes));
    bool complete = view != nullptr;
    if (complete) {
        std::memset(view, 0, bytes);
        slots = qualifying + 1;
        for (std::uint32_t k = 0; k < slots && complete; ++k) {
            view[k].rates = AllocateRateList(k < qualifying ? notes[k].rates + 1 : 1);
            complete = view[k].rates != nullptr;
        }
    }
    if (!complete) {
        ShowMessage(kOutOfMemory, kBoxStop);
        platform::Free(notes);
        ReleaseView(view, slots);
        return -1;
    }

    std::uint32_t k = 0;
    for (std::uint32_t i = 0; i < modes; ++i) {
        const ModeEntry& mode = modeTable[i];
        if (!qualifies(mode)) continue;
        ModeViewEntry& entry = view[k];
        entry.tag = mode.tag;
        entry.width = mode.width;
        entry.height = mode.height;
        entry.colorDepth = mode.colorDepth;
        std::memcpy(entry.pixelFormat, mode.pixelFormat, sizeof entry.pixelFormat);
        std::memcpy(entry.rates, list(mode), std::size_t{notes[k].rates} * sizeof(std::uint32_t));
        ++k;
    }
    platform::Free(notes);
    return 1;
}

}  // namespace

ModeViewEntry* monoView = nullptr;
ModeViewEntry* stereoView = nullptr;
ModeViewEntry* activeView = emptyView;

int BuildStereoView() { return BuildView(true); }
int BuildMonoView() { return BuildView(false); }
void ReleaseStereoView() { ReleaseView(stereoView, stereoSlots); }
void ReleaseMonoView() { ReleaseView(monoView, monoSlots); }

std::uint32_t CountViewEntries() {
    std::uint32_t count = 0;
    if (activeView)
        while (activeView[count].width != 0) ++count;
    return count;
}

bool AnyStereoRates() {
    for (const ModeEntry* mode = modeTable; mode && mode->width != 0; ++mode)
        if (mode->hasStereoRates) return true;
    return false;
}

bool AllStereoOnly() {
    for (const ModeEntry* mode = modeTable; mode && mode->width != 0; ++mode)
        if (!mode->stereoOnly) return false;
    return true;
}

void SelectActiveView(std::uint32_t stereo) {
    ModeViewEntry* view = stereo ? stereoView : monoView;
    activeView = view ? view : emptyView;
    modeCount = CountViewEntries();
}

int RefreshViews(std::uint32_t* stereo) {
    if (AnyStereoRates()) {
        if (BuildStereoView() == -1) return -1;
    } else {
        ReleaseStereoView();
    }
    if (AllStereoOnly()) {
        ReleaseMonoView();
    } else if (BuildMonoView() == -1) {
        return -1;
    }
    if (*stereo && !AnyStereoRates()) *stereo = 0;
    if (!*stereo && AllStereoOnly()) *stereo = 1;
    SelectActiveView(*stereo);
    descriptionsValid = true;
    BuildModeDescriptions();
    return 1;
}

void ResetModeViewState() {
    ReleaseStereoView();
    ReleaseMonoView();
    activeView = emptyView;
}

}  // namespace vca
