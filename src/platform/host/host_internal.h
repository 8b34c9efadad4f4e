// Reset hooks of the host platform's parts, called by host::Reset().
#pragma once

namespace host {

void ResetRegistry();

}  // namespace host
