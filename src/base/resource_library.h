// The locale-specific resource library, the help file, and message boxes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace vca {

// Message box types of the applet's messages.
constexpr std::uint32_t kBoxStop = 16;
constexpr std::uint32_t kBoxExclamation = 48;
constexpr std::uint32_t kBoxInformation = 64;

constexpr std::size_t kMessageChars = 400;

// Resource string 3 while a message box is shown.
extern char16_t messageCaption[kMessageChars];

// "vca" + "%04x" of the language, the name of a resource library.
std::u16string LanguageTag(std::uint32_t language);

// Sets the C library's locale, loads the resource library of the user's
// language (or its fallbacks) and finds the help file. Ends the process when
// the locale cannot be set or no resource library loads.
void LoadResourceLibrary(platform::Module appletModule);

// Shows an entry of the applet's own string table and ends the process with
// exit code -1.
[[noreturn]] void ShowFatalMessage(platform::Module module, std::uint32_t stringId);

// FormatMessageW from a string; release the result with
// platform::FreeFormattedMessage. Null when formatting fails.
char16_t* FormatMessageText(const char16_t* text, const std::uintptr_t* arguments,
                            std::uint32_t extraFlags);

// A beep, then a box with resource string `stringId` and caption string 3.
int ShowMessage(std::uint32_t stringId, std::uint32_t type);

// A resource string of the resource library, loaded with `capacity` units
// (terminator included).
std::u16string LoadResourceString(std::uint32_t stringId, int capacity = kMessageChars);

}  // namespace vca
