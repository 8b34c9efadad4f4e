// The driver's DefaultSettings.* values: loaded, checked and corrected at
// start-up, written when the user confirms the main dialog.
#pragma once

#include <cstdint>

namespace vca {

// Result codes of loading and saving.
constexpr int kSettingsOk = 1;
constexpr int kSettingsKeyUnavailable = -2;
constexpr int kSettingsWriteBackFailed = -3;
constexpr int kSettingsSaveFailed = -4;

// Reads the values into the loaded settings and the current gamma pair,
// loading the timing database and building the mode lists on the way, and
// writes back every value it had to correct. 1, -2 or -3; ends the process
// with -1 when the database or a mode list cannot be built.
int LoadDefaultSettings(const char16_t* keyPath);

// Writes the record to save and the saved gamma pair. 1 (also when the key
// is read-only: nothing is written), -2 or -4.
int SaveDefaultSettings(const char16_t* keyPath);

// Whether the active view offers the loaded resolution, directly or as a
// dual-screen arrangement of an offered mode (the record is then folded to
// one screen's size with the arrangement set).
bool MatchStoredResolution();

// A stored Lumaris monitor on a driver that reports the generic type is
// replaced by the catalogue's generic multi-sync monitor.
void ReplaceOwnLineMonitor();

}  // namespace vca
