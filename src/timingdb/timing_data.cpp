// The nine raster values of a "timing" record's data block.
#include "timingdb/scanner.h"
#include "timingdb/timing_queries.h"

namespace vca {

namespace {

constexpr std::size_t kValueLineChars = 19;
constexpr int kValueLines = 9;

bool IsValueChar(char c) { return IsDigit(c) || c == '.' || c == ' ' || c == '\t' || c == '\r'; }

// Reads one value line into `buffer`: its characters up to the line end
// (a CR just before the LF is part of the line end) or up to a ";" that
// starts a comment. On success the cursor is at the start of the next line
// and the line number has advanced; false when the line holds another
// character (a "}" included, even in its comment), is too long, or the
// text ends before its line end.
bool ReadDataLine(const char*& p, std::uint16_t& line, char (&buffer)[kValueLineChars + 1]) {
    std::size_t length = 0;
    for (;;) {
        char c = *p;
        if (c == '\n' || (c == '\r' && p[1] == '\n')) {
            p += c == '\n' ? 1 : 2;
            break;
        }
        if (c == ';') {
            for (; *p != '\n'; ++p)
                if (*p == '\0' || *p == '}') return false;
            ++p;
            break;
        }
        if (!IsValueChar(c) || length == kValueLineChars) return false;
        buffer[length++] = c;
        ++p;
    }
    buffer[length] = '\0';
    ++line;
    return true;
}

const char* SkipBlanks(const char* text) {
    while (*text == ' ' || *text == '\t' || *text == '\r') ++text;
    return text;
}

std::uint32_t LineInteger(const char* text) {
    const char* start = SkipBlanks(text);
    const char* end = start;
    while (IsDigit(*end)) ++end;
    return static_cast<std::uint32_t>(ConvertSignedDecimal(start, end));
}

double LineReal(const char* text) {
    const char* start = SkipBlanks(text);
    const char* end = start;
    while (IsDigit(*end) || *end == '.') ++end;
    return ConvertReal(start, end);
}

void StoreValue(int index, const char* text, TimingCandidate& candidate) {
    switch (index) {
        case 0: candidate.pixelClock = LineReal(text); break;
        case 1: candidate.hTotal = LineInteger(text); break;
        case 2: candidate.hActive = LineInteger(text); break;
        case 3: candidate.hSync = LineInteger(text); break;
        case 4: candidate.hFrontPorch = LineInteger(text); break;
        case 5: candidate.vTotal = LineReal(text); break;
        case 6: candidate.vActive = LineInteger(text); break;
        case 7: candidate.vSync = LineInteger(text); break;
        default: candidate.vFrontPorch = LineReal(text); break;
    }
}

// Fills one candidate; false with the error line set when its block is
// malformed.
bool ReadOneCandidate(const TimingEntry& entry, TimingCandidate& candidate) {
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
    char buffer[kValueLineChars + 1];
    for (int i = 0; i < kValueLines; ++i) {
        if ((i > 0 && *p == '}') || !ReadDataLine(p, line, buffer)) {
            timingErrorLine = line;
            return false;
        }
        StoreValue(i, buffer, candidate);
    }
    return true;
}

}  // namespace

void ReadTimingData(std::uint32_t n, bool* error, TimingCandidate* candidates, const TimingEntry* entries) {
    *error = false;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (!ReadOneCandidate(entries[i], candidates[i])) {
            *error = true;
            return;
        }
    }
}

}  // namespace vca
