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
// reading. Without kValues the lines are only walked, nothing converted.
template <bool kValues>
bool ReadIntegerLine(const char*& p, std::uint16_t& line, std::uint32_t& value) {
    const char* q = p;
    std::uint32_t small = 0;
    for (; IsDigit(*q); ++q) small = small * 10 + static_cast<std::uint32_t>(*q - '0');
    if (*q == '\n' && q - p <= 9) {  // below 10^9, exact
        if (kValues) value = small;
        p = q + 1;
        ++line;
        return true;
    }
    ValueText number;
    if (!ReadDataLine(p, line, false, &number)) return false;
    if (kValues) value = LineInteger(number);
    return true;
}

template <bool kValues>
bool ReadRealLine(const char*& p, std::uint16_t& line, double& value) {
    const char* q = p;
    while (IsDigit(*q) || *q == '.') ++q;
    if (*q == '\n' && static_cast<std::size_t>(q - p) <= kValueLineChars) {
        if (kValues) value = ConvertReal(p, q);
        p = q + 1;
        ++line;
        return true;
    }
    ValueText number;
    if (!ReadDataLine(p, line, true, &number)) return false;
    if (kValues) value = ConvertReal(number.begin, number.end);
    return true;
}

// The nine lines of a block in their order, from its first line; on a
// failure `line` is the failing line's. A "}" is no value character, so
// the end of the block before the ninth value fails its line.
template <bool kValues>
bool ReadValueLines(const char*& p, std::uint16_t& line, TimingCandidate& c) {
    return ReadRealLine<kValues>(p, line, c.pixelClock) && ReadIntegerLine<kValues>(p, line, c.hTotal) &&
           ReadIntegerLine<kValues>(p, line, c.hActive) && ReadIntegerLine<kValues>(p, line, c.hSync) &&
           ReadIntegerLine<kValues>(p, line, c.hFrontPorch) && ReadRealLine<kValues>(p, line, c.vTotal) &&
           ReadIntegerLine<kValues>(p, line, c.vActive) && ReadIntegerLine<kValues>(p, line, c.vSync) &&
           ReadRealLine<kValues>(p, line, c.vFrontPorch);
}

// The block's first line: past the LF at which a record's data points.
template <bool kValues>
bool ReadBlock(const char*& p, std::uint16_t& line, TimingCandidate& candidate) {
    if (!p) return false;
    if (*p == '\n') {
        ++p;
        ++line;
    }
    return ReadValueLines<kValues>(p, line, candidate);
}

}  // namespace

bool ReadTimingValues(const TimingEntry& entry, TimingCandidate& candidate) {
    candidate.monid = entry.monid;
    candidate.flags = entry.flags;
    candidate.type = entry.type;
    candidate.tag = entry.tag;
    candidate.data = entry.data;
    candidate.hfreq = entry.hfreq;
    const char* p = entry.data;
    std::uint16_t line = entry.line;
    if (ReadBlock<true>(p, line, candidate)) return true;
    timingErrorLine = line;
    return false;
}

const char* SkipTimingValues(const char* data, std::uint16_t* line) {
    TimingCandidate unused;
    return ReadBlock<false>(data, *line, unused) ? data : nullptr;
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
