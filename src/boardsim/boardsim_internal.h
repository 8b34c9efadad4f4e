// Pieces shared by the simulator's own files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "boardsim/boardsim.h"

namespace boardsim {
namespace detail {

// The little-endian 32-bit word at `index` of a buffer of `size` bytes, or 0
// when the word does not lie wholly inside it.
std::uint32_t WordAt(const std::uint8_t* bytes, std::size_t size, std::size_t index);
void PutWord(std::uint8_t* bytes, std::size_t index, std::uint32_t value);

// The short name of a request for the log: "board-query", "fetch", ... or
// "unknown" when the first word is not one the board knows.
const char* RequestName(int escape, const std::uint8_t* input, std::size_t size);

// Value parsers of the profile format. Each takes a value with no leading or
// trailing blanks and returns false when it is not wholly of its form.
// A number: decimal or "0x" hexadecimal digits, no sign, at most `max`.
bool ParseNumber(const std::string& text, std::uint64_t max, std::uint32_t* value);
// "yes" or "no".
bool ParseFlag(const std::string& text, bool* value);
// A decimal real, "2.2" or "1" (no sign, no exponent); read the same way
// whatever the process's locale.
bool ParseReal(const std::string& text, double* value);
// Hexadecimal bytes: tokens of an even count of hex digits separated by
// blanks ("00 FF", "00FF"); appended to *bytes.
bool ParseHexBytes(const std::string& text, std::vector<std::uint8_t>* bytes);
// Three letters A to Z (either case) as the 16-bit EDID manufacturer code.
bool ParseManufacturer(const std::string& text, std::uint16_t* code);

// Appends the request to the log and, when a log file is set, its line.
void Record(Request request);

}  // namespace detail
}  // namespace boardsim
