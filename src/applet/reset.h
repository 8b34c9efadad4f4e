// Returns the whole applet to its state when the library is loaded.
#pragma once

namespace vca {

// Returns every piece of process-wide state of every subsystem to the value
// it has when the library is loaded.
void ResetAppletState();

}  // namespace vca
