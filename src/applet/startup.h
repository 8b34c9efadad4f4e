// What the Control Panel's messages ask of the applet.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace vca {

// CPL_INIT: loads the resource library the first time only.
void InitApplet(platform::Module appletModule);

// Start-up's first steps: identification, and the no-driver mode when the
// board is not a supported one or the driver lacks the private escape (board
// code 0, driverAbsent set, the fixed driver key path). Returns what
// IdentifyBoard returned; -10 (unsupported monitor) is left to the caller.
int IdentifyOrRunWithoutDriver();

// Runs on every CPL_DBLCLK: identification, then the settings and the
// hardware information. True when the main dialog may open.
bool StartApplet();

// The applet's entry in the Control Panel, as CPL_NEWINQUIRE fills it;
// the Win32 entry copies it into NEWCPLINFOW field by field.
constexpr std::size_t kCplNameChars = 32;
constexpr std::size_t kCplInfoChars = 64;
constexpr std::size_t kCplHelpFileChars = 128;
constexpr int kCplStringLimit = 100;

struct CplEntryInfo {
    std::uint32_t flags;
    std::uint32_t helpContext;
    std::intptr_t data;
    platform::Icon icon;
    char16_t name[kCplNameChars];
    char16_t info[kCplInfoChars];
    char16_t helpFile[kCplHelpFileChars];
};

void FillCplEntryInfo(CplEntryInfo* info);

}  // namespace vca
