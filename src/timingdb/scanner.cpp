#include "timingdb/scanner.h"

#include <charconv>
#include <cstdarg>
#include <cstdio>

#include "platform/platform.h"

namespace vca {

std::uint16_t timingLineCounter = 1;
std::uint16_t timingErrorLine = 0;
std::uint32_t timingDiagnosticCount = 0;

void ResetTimingReaderState() {
    timingLineCounter = 1;
    timingErrorLine = 0;
    timingDiagnosticCount = 0;
}

std::size_t StringLength(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

void CopyString(char* destination, std::size_t capacity, const char* text) {
    if (capacity == 0) return;
    std::size_t i = 0;
    for (; i + 1 < capacity && text[i] != '\0'; ++i) destination[i] = text[i];
    destination[i] = '\0';
}

std::size_t CountLineEnds(const char* begin, const char* end) {
    std::size_t count = 0;
    for (const char* p = begin; p < end; ++p) count += *p == '\n';
    return count;
}

std::size_t TokenLength(const char* text) {
    std::size_t length = 0;
    while (!scanclass::Has(text[length], scanclass::kTokenEnd)) ++length;
    return length;
}

int MatchKeyword(const char*& cursor, int count, const char* const* keywords) {
    const char* p = cursor;
    if (!SkipToKeyword(p)) return -1;  // the text ends inside the comment
    const char first = ToLowerAscii(*p);
    for (int i = 0; i < count; ++i) {
        if (ToLowerAscii(keywords[i][0]) == first && TokenRestEquals(p, keywords[i])) {
            cursor = p;
            return i;
        }
    }
    return -1;
}

bool FindTag(const TimingDatabase& database, const char* text, std::uint16_t* index) {
    std::uint32_t count = database.tagCount < kTagSlots ? database.tagCount : kTagSlots;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (TokenEquals(text, database.tagNames[i])) {
            *index = static_cast<std::uint16_t>(i);
            return true;
        }
    }
    return false;
}

namespace {

constexpr std::uint64_t kSaturated = 0x100000000ull;

std::int32_t FromUnsigned32(std::uint64_t value) {
    std::uint32_t low = static_cast<std::uint32_t>(value);
    return low <= 0x7FFFFFFFu ? static_cast<std::int32_t>(low)
                              : static_cast<std::int32_t>(low - 0x80000000u) - 0x7FFFFFFF - 1;
}

int HexDigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    char lower = ToLowerAscii(c);
    if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
    return -1;
}

// Shows the offending character of a number diagnostic; the end of the text
// shows as nothing between the quotes.
void WriteNotDigit(const char* format, char c) {
    char shown[2] = {c, '\0'};
    WriteReaderDiagnostic(format, shown);
}

}  // namespace

std::int32_t ConvertSignedDecimal(const char* begin, const char* end) {
    bool negative = begin < end && *begin == '-';
    const char* p = negative ? begin + 1 : begin;
    std::uint64_t magnitude = 0;
    for (; p < end && IsDigit(*p); ++p) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(*p - '0');
        if (magnitude > kSaturated) magnitude = kSaturated;
    }
    if (negative) return magnitude >= 0x80000000ull ? INT32_MIN : -static_cast<std::int32_t>(magnitude);
    return magnitude >= 0x7FFFFFFFull ? INT32_MAX : static_cast<std::int32_t>(magnitude);
}

std::int32_t ConvertHexadecimal(const char* begin, const char* end) {
    std::uint64_t value = 0;
    for (const char* p = begin; p < end && HexDigitValue(*p) >= 0; ++p) {
        value = value * 16 + static_cast<std::uint64_t>(HexDigitValue(*p));
        if (value > 0xFFFFFFFFull) value = 0xFFFFFFFFull;
    }
    return FromUnsigned32(value);
}

double ConvertRealInFull(const char* begin, const char* end) {
    double value = 0.0;
    auto result = std::from_chars(begin, end, value, std::chars_format::fixed);
    return result.ec == std::errc() ? value : 0.0;
}

int ParseIntData(const char*& cursor, std::uint32_t mode, std::int32_t* value) {
    *value = 0;
    const char* p = cursor;
    SkipWhitespace(p);
    const char* start = p;
    const char* digits = p;
    bool hexadecimal = true;
    if (mode & kIntDecimal) {
        if (!IsDigit(*p) && *p != '-') {
            WriteNotDigit("parse error: not digit: '%s' ParseIntData\n", *p);
            timingErrorLine = static_cast<std::uint16_t>(timingLineCounter - (p[-1] == '\n' ? 1 : 0));
            cursor = p;
            return kValueNotDigit;
        }
        if (p[0] == '0' && ToLowerAscii(p[1]) == 'x') {
            p += 2;
            digits = p;
            while (IsHexChar(*p)) ++p;
        } else {
            hexadecimal = false;
            while (IsDigit(*p) || *p == '-') ++p;
        }
    } else {
        while (IsHexChar(*p)) ++p;
    }
    if (static_cast<std::size_t>(p - start) > kMaxNumberChars) {
        cursor = start;
        return kValueTooLong;
    }
    *value = hexadecimal ? ConvertHexadecimal(digits, p) : ConvertSignedDecimal(digits, p);
    cursor = p;
    return kValueOk;
}

int ParseFloatData(const char*& cursor, double* value) {
    *value = 0.0;
    const char* p = cursor;
    SkipWhitespace(p);
    if (!IsDigit(*p) && *p != '-' && *p != '.') {
        WriteNotDigit("parse error:  not digit '%s' ParseIntData\n", *p);
        timingErrorLine = timingLineCounter;
        cursor = p;
        return kValueNotDigit;
    }
    const char* start = p;
    while (IsDigit(*p) || *p == '-' || *p == '.') ++p;
    if (static_cast<std::size_t>(p - start) > kMaxNumberChars) {
        cursor = start;
        return kValueTooLong;
    }
    *value = ConvertReal(start, p);
    cursor = p;
    return kValueOk;
}

void WriteReaderDiagnostic(const char* format, ...) {
    char line[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    ++timingDiagnosticCount;
    platform::WriteDiagnostic(line);
}

void WriteTextDiagnostic(const char* format, const char* at, std::size_t cut) {
    char shown[16];
    if (cut >= sizeof shown) cut = sizeof shown - 1;
    std::size_t i = 0;
    for (; i < cut && at[i] != '\0'; ++i) shown[i] = at[i];
    shown[i] = '\0';
    WriteReaderDiagnostic(format, shown);
}

}  // namespace vca
