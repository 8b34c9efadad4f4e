// Messages about the timing database that are composed rather than taken
// whole from the resource library. They carry no beep, have resource
// string 3 as caption and the information icon, and belong to the main
// dialog when it is open.
#pragma once

#include <cstdint>
#include <string>

#include "base/resource_library.h"

namespace vca {

// The caption is read with room for `captionChars` units (terminator
// included); the mode-list builder reads it shorter than the loader.
void ShowTimingMessage(const std::u16string& text, int captionChars = kMessageChars);

// "<string> <timing file path>. <string 1204> <error line>." for an error
// found in the timing file's text; the two strings are read with room for
// `textChars` units.
void ShowTimingFileError(std::uint32_t stringId, int textChars = 400, int captionChars = kMessageChars);

}  // namespace vca
