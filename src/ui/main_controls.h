// The operations that fill the main dialog's controls and keep them
// consistent with the working settings and the active view. Each works on
// the open main dialog (mainDialog); the all-modes dialog reuses them when
// a pick is applied.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32/windows_api.h"

namespace vca {

// Scroll bar 1013 (range 1 .. modeCount, position of the working
// resolution), text 1044, then the figures.
void SetupResolutionControls();
// "width x height" and the unit string, as text 1044 shows it.
std::u16string ResolutionText();
// Texts 1110, 1114, 1115, 1111: the current entry's four pixel-format figures.
void ShowModeFigures();

// The colour list: its one item, string 44, with item data 44.
void FillColourList();
void SelectColourItem();
// Refills the colour list and takes the current entry's depth.
void SyncColourDepth();
void OnColourChanged();

// The refresh list: "%ld Hz." per rate of the current entry.
void FillRefreshList();
// The monitor fixes the rate: VRefresh 0 and string 86 alone.
void ShowFixedRefresh();
// Selects the working VRefresh, or the current entry's first rate.
void SelectRefresh();
// The fixed rate when the monitor fixes it, else the current entry's rates
// with the working rate (or the first) selected.
void ShowRefreshChoice();
// After a resolution change: the same rate when offered, else the nearest.
void KeepNearestRefresh();
void OnRefreshChanged();

// The monitor list and text.
void FillMonitorList();
void SelectMonitor();
void OnMonitorChanged();
// After a monitor change: monitor code, tables, views, descriptions and
// every control that shows them. Ends the process when a table cannot be
// built.
void RebuildForMonitor(bool lumaris);
void StoreChosenMonitor();
void ShowMonitorText();
void ShowTextureMemory();

// Radio buttons 1029/1030 and 1031/1032: enabled and checked by the value,
// or disabled and cleared.
void SetArrangementButtons(std::uint32_t value, bool enable);
void SetPreferenceButtons(std::uint32_t bit, bool enable);
// The dual-screen box, the arrangement and option buttons and their labels
// for the working DualScreen: checked and enabled by it, or all cleared and
// disabled when it is 0.
void ShowDualScreenControls();

// Bitmap 109 in picture frame 1033: loaded at initialisation, painted on
// every paint and colour request, released when the dialog ends.
void LoadDialogBitmap();
void PaintDialogBitmap();
void ReleaseDialogBitmap();

}  // namespace vca
