// The mono and stereo views of the mode table, and the active view the
// dialogs and the descriptions read.
#pragma once

#include <cstdint>

namespace vca {

// One entry of a view. A width of 0 marks the terminator.
struct ModeViewEntry {
    std::uint16_t tag;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t colorDepth;
    std::uint32_t* rates;  // own copy, ascending, ended by 0
    std::uint16_t pixelFormat[4];
};

extern ModeViewEntry* monoView;    // or null
extern ModeViewEntry* stereoView;  // or null
// The view in force. Never null once a refresh has run: an empty table
// gives an empty view (only the terminator), which every reader handles.
extern ModeViewEntry* activeView;

int BuildStereoView();  // 1, or -1 when memory ran out (message 82 shown)
int BuildMonoView();
void ReleaseStereoView();
void ReleaseMonoView();

std::uint32_t CountViewEntries();  // entries of the active view before its terminator
bool AnyStereoRates();
bool AllStereoOnly();

// Makes the active view follow `stereo` (the stereo view when set, else the
// mono view, else the empty view) and recounts modeCount.
void SelectActiveView(std::uint32_t stereo);

// The sequence after every successful ChooseMonitorAndBuildModes in the
// dialogs: build or release each view, make *stereo consistent with the
// table, select the active view, recount, rebuild the descriptions.
// 1, or -1 when memory ran out.
int RefreshViews(std::uint32_t* stereo);

void ResetModeViewState();

}  // namespace vca
