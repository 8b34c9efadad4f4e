// The scanning layer of the timing file reader: character classes, line
// counting, token comparison, keyword and tag lookup and the number parsers.
//
// The reader works on one NUL-terminated 8-bit text. Every operation stops
// at the NUL, so no byte sequence makes it read past the text; a NUL inside
// the file ends the text there.
#pragma once

#include <cfloat>
#include <cstddef>
#include <cstdint>

#include "timingdb/timing_types.h"

namespace vca {

// The reader's line counter: 1 plus the number of line ends (LF) passed so
// far. It is 16 bits wide, as are all line numbers of the timing file.
extern std::uint16_t timingLineCounter;
// The line of the last syntax error, for the user's message.
extern std::uint16_t timingErrorLine;
// Number of diagnostic lines the reader has written (it wraps).
extern std::uint32_t timingDiagnosticCount;

// Returns every process-wide item of the reader to its load-time value.
void ResetTimingReaderState();

// Character classes of the reader, one table lookup each.
namespace scanclass {
constexpr std::uint8_t kBlank = 0x01;     // space, tab, CR, LF
constexpr std::uint8_t kTokenEnd = 0x02;  // NUL, space, tab, CR, LF, "="
constexpr std::uint8_t kHex = 0x04;       // 0-9, a-f, A-F, x, X
constexpr std::uint8_t kLineEnd = 0x08;   // NUL, LF
struct Table {
    std::uint8_t bits[256];
};
constexpr Table Build() {
    Table table{};
    for (int c = 0; c < 256; ++c) {
        std::uint8_t bits = 0;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') bits |= kBlank | kTokenEnd;
        if (c == '\0' || c == '=') bits |= kTokenEnd;
        if (c == '\0' || c == '\n') bits |= kLineEnd;
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == 'x' || c == 'X')
            bits |= kHex;
        table.bits[c] = bits;
    }
    return table;
}
inline constexpr Table kTable = Build();
inline bool Has(char c, std::uint8_t bits) { return (kTable.bits[static_cast<unsigned char>(c)] & bits) != 0; }
}  // namespace scanclass

// Only A-Z fold.
inline char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// 0-9, a-f, A-F, and x or X.
inline bool IsHexChar(char c) { return scanclass::Has(c, scanclass::kHex); }
std::size_t StringLength(const char* text);
// Copies `text`, cut to capacity - 1 characters, and terminates it.
void CopyString(char* destination, std::size_t capacity, const char* text);

// Moves past spaces, tabs, CRs and LFs, counting the LFs.
inline void SkipWhitespace(const char*& cursor) {
    // Local copies: a store through the reference or to the counter would
    // otherwise be repeated for every character read.
    const char* p = cursor;
    std::uint16_t lines = timingLineCounter;
    for (char c; scanclass::Has(c = *p, scanclass::kBlank); ++p)
        if (c == '\n') ++lines;
    cursor = p;
    timingLineCounter = lines;
}
// Number of LFs in [begin, end).
std::size_t CountLineEnds(const char* begin, const char* end);
// Moves just past the next LF and counts it. False when the text ends first
// (the cursor is then on the terminating NUL).
inline bool SkipLine(const char*& cursor) {
    const char* p = cursor;
    while (!scanclass::Has(*p, scanclass::kLineEnd)) ++p;
    if (*p == '\0') {
        cursor = p;
        return false;
    }
    cursor = p + 1;
    ++timingLineCounter;
    return true;
}
// Skips whitespace and comment lines, counting the lines. False when the
// text ends inside a comment.
inline bool SkipToKeyword(const char*& p) {
    for (;;) {
        SkipWhitespace(p);
        if (*p != ';') return true;
        if (!SkipLine(p)) return false;
    }
}

// Length of the token at `text`: up to the first NUL, space, tab, LF, CR or
// "=".
std::size_t TokenLength(const char* text);
// TokenEquals for tokens whose first characters agree after folding.
inline bool TokenRestEquals(const char* text, const char* word) {
    using scanclass::Has;
    using scanclass::kTokenEnd;
    if (Has(*text, kTokenEnd)) return false;  // then both tokens are empty
    for (std::size_t i = 1;; ++i) {
        const char t = text[i];
        const char w = word[i];
        if (t == w) {
            if (Has(t, kTokenEnd)) return true;
            continue;
        }
        const bool textEnds = Has(t, kTokenEnd);
        const bool wordEnds = Has(w, kTokenEnd);
        if (textEnds || wordEnds) return textEnds && wordEnds;
        if (ToLowerAscii(t) != ToLowerAscii(w)) return false;
    }
}
// Case-insensitive comparison of the tokens at `text` and `word`; an empty
// token never matches. Most comparisons fail on the first character.
inline bool TokenEquals(const char* text, const char* word) {
    return ToLowerAscii(*text) == ToLowerAscii(*word) && TokenRestEquals(text, word);
}
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
double ConvertRealInFull(const char* begin, const char* end);

// A plain decimal ("-"? digits? ("." digits?)?) of at most 15 digits is an
// integer below 2^53 divided by a power of ten that a double holds exactly;
// one division of exact operands rounds correctly, as the full conversion
// does. False for anything else, which the full conversion then reads.
inline bool ConvertShortDecimal(const char* begin, const char* end, double* value) {
#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = begin;
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    const char* start = p;
    std::uint64_t mantissa = 0;
    for (; p < end && IsDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    std::ptrdiff_t digits = p - start;
    std::ptrdiff_t fraction = 0;
    if (p < end && *p == '.') {
        const char* point = p++;
        for (; p < end && IsDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        fraction = p - point - 1;
        digits += fraction;
    }
    if (digits == 0 || digits > 15) return false;
    const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[fraction];
    *value = negative ? -magnitude : magnitude;
    return true;
#else
    (void)begin;
    (void)end;
    (void)value;
    return false;  // extended-precision arithmetic could round twice
#endif
}

inline double ConvertReal(const char* begin, const char* end) {
    double value;
    return ConvertShortDecimal(begin, end, &value) ? value : ConvertRealInFull(begin, end);
}

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
