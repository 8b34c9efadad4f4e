// The nine raster values of a "timing" record's data block.
#include "timingdb/scanner.h"
#include "timingdb/timing_queries.h"

namespace vca {

namespace {

constexpr std::size_t kValueLineChars = 19;

// Blanks and the other characters that may stand in a value line before
// its comment; a CR followed by LF is the line end instead.
bool IsLineBlank(const char* p) { return *p == ' ' || *p == '\t' || (*p == '\r' && p[1] != '\n'); }
bool IsValueChar(const char* p) { return IsDigit(*p) || *p == '.' || IsLineBlank(p); }

// Where the number of a value line stands.
struct ValueText {
    const char* begin;
    const char* end;
};

// Reads one value line: its characters up to the line end (a CR just
// before the LF is part of the line end) or up to a ";" that starts a
// comment. The number is the run of digits (and points, for a real) after
// the leading blanks. On success the cursor is at the start of the next
// line and the line number has advanced; false when the line holds another
// character (a "}" included, even in its comment), is too long, or the
// text ends before its line end.
bool ReadDataLine(const char*& p, std::uint16_t& line, bool real, ValueText* number) {
    const char* q = p;
    while (IsLineBlank(q)) ++q;
    number->begin = q;
    while (IsDigit(*q) || (real && *q == '.')) ++q;
    number->end = q;
    while (IsValueChar(q)) ++q;
    if (static_cast<std::size_t>(q - p) > kValueLineChars) return false;
    if (*q == '\n') {
        ++q;
    } else if (*q == '\r') {  // the loop stops on a CR only before an LF
        q += 2;
    } else if (*q == ';') {
        for (; *q != '\n'; ++q)
            if (*q == '\0' || *q == '}') return false;
        ++q;
    } else {
        return false;
    }
    p = q;
    ++line;
    return true;
}

std::uint32_t LineInteger(const ValueText& number) {
    if (number.end - number.begin > 9)
        return static_cast<std::uint32_t>(ConvertSignedDecimal(number.begin, number.end));
    std::uint32_t value = 0;  // below 10^9, exact
    for (const char* p = number.begin; p < number.end; ++p)
        value = value * 10 + static_cast<std::uint32_t>(*p - '0');
    return value;
}

// The usual value line holds its number alone, directly followed by LF;
// these two read it in one walk and leave any other line to the general
// reading.
bool ReadIntegerLine(const char*& p, std::uint16_t& line, std::uint32_t& value) {
    const char* q = p;
    std::uint32_t small = 0;
    for (; IsDigit(*q); ++q) small = small * 10 + static_cast<std::uint32_t>(*q - '0');
    if (*q == '\n' && q - p <= 9) {  // below 10^9, exact
        value = small;
        p = q + 1;
        ++line;
        return true;
    }
    ValueText number;
    if (!ReadDataLine(p, line, false, &number)) return false;
    value = LineInteger(number);
    return true;
}

bool ReadRealLine(const char*& p, std::uint16_t& line, double& value) {
    const char* q = p;
    while (IsDigit(*q) || *q == '.') ++q;
    if (*q == '\n' && static_cast<std::size_t>(q - p) <= kValueLineChars) {
        value = ConvertReal(p, q);
        p = q + 1;
        ++line;
        return true;
    }
    ValueText number;
    if (!ReadDataLine(p, line, true, &number)) return false;
    value = ConvertReal(number.begin, number.end);
    return true;
}

// The nine lines in their order. A "}" is no value character, so the end
// of the block before the ninth value fails its line.
bool ReadValueLines(const char*& p, std::uint16_t& line, TimingCandidate& candidate) {
    return ReadRealLine(p, line, candidate.pixelClock) && ReadIntegerLine(p, line, candidate.hTotal) &&
           ReadIntegerLine(p, line, candidate.hActive) && ReadIntegerLine(p, line, candidate.hSync) &&
           ReadIntegerLine(p, line, candidate.hFrontPorch) && ReadRealLine(p, line, candidate.vTotal) &&
           ReadIntegerLine(p, line, candidate.vActive) && ReadIntegerLine(p, line, candidate.vSync) &&
           ReadRealLine(p, line, candidate.vFrontPorch);
}

}  // namespace

bool ReadTimingValues(const TimingEntry& entry, TimingCandidate& candidate) {
    candidate.monid = entry.monid;
    candidate.flags = entry.flags;
    candidate.type = entry.type;
    candidate.tag = entry.tag;
    candidate.data = entry.data;
    candidate.hfreq = entry.hfreq;
    std::uint16_t line = entry.line;
    const char* p = entry.data;
    if (!p) {
        timingErrorLine = line;
        return false;
    }
    if (*p == '\n') {
        ++p;
        ++line;
    }
    if (!ReadValueLines(p, line, candidate)) {
        timingErrorLine = line;
        return false;
    }
    return true;
}

void ReadTimingData(std::uint32_t n, bool* error, TimingCandidate* candidates, const TimingEntry* entries) {
    *error = false;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (!ReadTimingValues(entries[i], candidates[i])) {
            *error = true;
            return;
        }
    }
}

}  // namespace vca
