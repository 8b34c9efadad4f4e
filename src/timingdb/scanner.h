// The scanning layer of the timing file reader: character classes, line
// counting, token comparison, keyword and tag lookup and the number parsers.
//
// The reader works on one NUL-terminated 8-bit text. Every operation stops
// at the NUL, so no byte sequence makes it read past the text; a NUL inside
// the file ends the text there.
#pragma once

#include <cstddef>
#include <cstdint>

#include "timingdb/timing_types.h"

namespace vca {

// The reader's line counter: 1 plus the number of line ends (LF) passed so
// far. It is 16 bits wide, as are all line numbers of the timing file.
extern std::uint16_t timingLineCounter;
// The line of the last syntax error, for the user's message.
extern std::uint16_t timingErrorLine;

// Returns every process-wide item of the reader to its load-time value.
void ResetTimingReaderState();

char ToLowerAscii(char c);  // only A-Z fold
bool IsDigit(char c);
bool IsHexChar(char c);     // 0-9, a-f, A-F, and x or X
std::size_t StringLength(const char* text);
// Copies `text`, cut to capacity - 1 characters, and terminates it.
void CopyString(char* destination, std::size_t capacity, const char* text);

// Moves past spaces, tabs, CRs and LFs, counting the LFs.
void SkipWhitespace(const char*& cursor);
// Moves just past the next LF and counts it. False when the text ends first
// (the cursor is then on the terminating NUL).
bool SkipLine(const char*& cursor);

// Length of the token at `text`: up to the first NUL, space, tab, LF, CR or
// "=".
std::size_t TokenLength(const char* text);
// Case-insensitive comparison of the tokens at `text` and `word`; an empty
// token never matches.
bool TokenEquals(const char* text, const char* word);
// Skips whitespace and comment lines, then returns the index of the keyword
// whose token is at the cursor and leaves the cursor on it. -1 when none
// matches or the text ends inside a comment; the cursor is then unchanged
// (the line counter has counted the lines skipped).
int MatchKeyword(const char*& cursor, int count, const char* const* keywords);
// Index of the tag table entry that equals the token at `text`.
bool FindTag(const TimingDatabase& database, const char* text, std::uint16_t* index);

// Outcome of a number parser.
enum ValueStatus : int {
    kValueOk = 0,
    kValueNotDigit = 1,  // nothing numeric at the cursor: diagnostic printed, value 0
    kValueTooLong = 2,   // more than kMaxNumberChars characters: value 0
};
constexpr std::size_t kMaxNumberChars = 31;

// Integer modes: decimal (with an optional 0x prefix for hexadecimal) or
// hexadecimal only.
constexpr std::uint32_t kIntDecimal = 0x1;
constexpr std::uint32_t kIntHex = 0x2;

// Both parsers skip whitespace first and need at least one character of the
// text before the cursor. On success the cursor is past the number; on
// failure it is on the first character after the whitespace.
int ParseIntData(const char*& cursor, std::uint32_t mode, std::int32_t* value);
int ParseFloatData(const char*& cursor, double* value);

// Conversions of a collected run of characters: the longest valid number at
// its start, 0 when there is none. Integers beyond 32 bits saturate.
std::int32_t ConvertSignedDecimal(const char* begin, const char* end);
std::int32_t ConvertHexadecimal(const char* begin, const char* end);
double ConvertReal(const char* begin, const char* end);

// printf-style diagnostic line through the platform, cut at 255 characters.
void WriteReaderDiagnostic(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// A diagnostic that shows `cut` characters of the text at `at` through the
// one "%s" of `format` (fewer where the text ends sooner).
void WriteTextDiagnostic(const char* format, const char* at, std::size_t cut);

}  // namespace vca
