// Messages about the timing database that are composed rather than taken
// whole from the resource library. They carry no beep, have resource
// string 3 as caption and the information icon, and belong to the main
// dialog when it is open.
#pragma once

#include <cstdint>
#include <string>

namespace vca {

void ShowTimingMessage(const std::u16string& text);

// "<string> <timing file path>. <string 1204> <error line>." for an error
// found in the timing file's text.
void ShowTimingFileError(std::uint32_t stringId);

}  // namespace vca
