// State shared between the files of the host platform. Private to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/host/host.h"

namespace host::detail {

void ResetFiles();
void ResetModules();
void ResetDisplay();

}  // namespace host::detail
