// Helpers shared by vcatool's commands.
#pragma once

#include <cstdint>
#include <string>

namespace vcatool {

// Loads a board profile and makes it the board that answers; prints why not
// on standard error.
bool InstallBoardProfile(const std::string& path);

// A string of the loaded resource library.
std::u16string ResourceText(std::uint32_t id);

// UTF-16 to UTF-8 for printing.
std::string Narrow(const std::u16string& text);

}  // namespace vcatool
