// The state of the open main dialog that outlives single messages, and what
// its OK, Cancel and Defaults decide about the settings and the driver.
#pragma once

#include <cstdint>

#include "base/app_state.h"

namespace vca {

// Set when the library is loaded; the first opening of the main dialog
// clears it (only that opening warns about a read-only key).
extern bool firstOpen;
// The arrangement the dual-screen box restores when it is checked again.
extern std::uint32_t rememberedArrangement;

// The static text that shows the monitor text: 1038, or 1039 when 1038
// carries the capability line.
extern int monitorTextControl;

// Whether a save changes what the user sees as the mode or the monitor:
// depth, arrangement, option bit 1, refresh, stereo, resolution or monitor
// name (compared exactly).
bool ModeOrMonitorChanged(const DisplaySettings& saved, const DisplaySettings& loaded);

// Cancel: sends the driver the contrast (when a saved contrast differs)
// and, after a gamma edit, the gamma tables it had when the dialog opened,
// then drops the saved pair.
void RestoreDriverOnCancel();

// Defaults, for the driver's side: both board options off, full contrast
// on both screens, linear gamma on every screen. Each is sent only when it
// is not so already.
void ResetDriverToDefaults();

void ResetMainSessionState();

}  // namespace vca
