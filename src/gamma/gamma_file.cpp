// Reading and writing gamma files. Numbers are taken the way "%x" and "%d"
// take them: white space skipped, an optional sign, digits, and whatever
// follows the digits ignored.
#include "gamma/gamma_file.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

namespace vca {
namespace {

constexpr int kLineBuffer = kGammaLinePiece + 1;

enum class Scan { kNumber, kNone, kOverflow };

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Skips white space and a sign; true for a minus.
bool SkipToDigits(const char** text) {
    const char* p = *text;
    while (IsSpace(*p)) ++p;
    bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    *text = p;
    return negative;
}

// Like "%d" into a 32-bit int. A number outside the int's range is
// kOverflow rather than whatever a C library would wrap it to.
Scan ScanDecimal(const char* text, std::int64_t* value) {
    constexpr std::int64_t kLimit = 2147483648LL;  // magnitude of the most negative int
    bool negative = SkipToDigits(&text);
    if (!IsDigit(*text)) return Scan::kNone;
    std::int64_t magnitude = 0;
    for (; IsDigit(*text); ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > kLimit) return Scan::kOverflow;
    }
    if (!negative && magnitude == kLimit) return Scan::kOverflow;
    *value = negative ? -magnitude : magnitude;
    return Scan::kNumber;
}

// Like "%x" into a 32-bit unsigned int: a "0x" or "0X" before the digits is
// skipped, a minus negates modulo 2^32. More than 32 bits is kOverflow.
Scan ScanHex(const char* text, std::int64_t* value) {
    bool negative = SkipToDigits(&text);
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && HexDigit(text[2]) >= 0) text += 2;
    if (HexDigit(*text) < 0) return Scan::kNone;
    std::uint64_t number = 0;
    for (; HexDigit(*text) >= 0; ++text) {
        number = number * 16 + static_cast<std::uint64_t>(HexDigit(*text));
        if (number > 0xFFFFFFFFu) return Scan::kOverflow;
    }
    if (negative) number = (0x100000000ull - number) & 0xFFFFFFFFu;
    *value = static_cast<std::int64_t>(number);
    return Scan::kNumber;
}

struct LineReader {
    platform::TextFile file;
    int line = 0;  // pieces read so far
    char text[kLineBuffer] = {};

    bool Next() {
        if (!platform::ReadTextLine(file, text, kLineBuffer)) return false;
        text[kLineBuffer - 1] = '\0';
        ++line;
        return true;
    }
};

bool Fail(GammaFileReport* report, GammaFileFault fault, int line, const char* text = nullptr,
          std::int64_t number = 0) {
    report->fault = fault;
    report->line = line;
    report->number = number;
    std::snprintf(report->text, sizeof report->text, "%s", text ? text : "");
    return false;
}

// Line 1 or 2: both are read before either is judged.
struct HeadLine {
    int line = 0;
    bool read = false;
    Scan scan = Scan::kNone;
    std::int64_t number = 0;
    char text[kLineBuffer] = {};
};

HeadLine ReadHeadLine(LineReader& in, Scan (*scan)(const char*, std::int64_t*)) {
    HeadLine head;
    head.line = in.line + 1;
    head.read = in.Next();
    if (head.read) {
        std::memcpy(head.text, in.text, sizeof head.text);
        head.scan = scan(head.text, &head.number);
    }
    return head;
}

bool CheckHeadLine(const HeadLine& head, std::int64_t expected, GammaFileFault wrong,
                   GammaFileReport* report) {
    if (!head.read) return Fail(report, GammaFileFault::kMissingLine, head.line);
    if (head.scan == Scan::kNone) return Fail(report, GammaFileFault::kNotANumber, head.line, head.text);
    if (head.scan == Scan::kOverflow) return Fail(report, GammaFileFault::kOutOfRange, head.line, head.text);
    if (head.number != expected) return Fail(report, wrong, head.line, head.text, head.number);
    return true;
}

// Reads the 770 lines into `scratch`.
bool ReadLines(LineReader& in, GammaTable* scratch, GammaFileReport* report) {
    HeadLine signature = ReadHeadLine(in, ScanHex);
    HeadLine header = ReadHeadLine(in, ScanDecimal);
    if (!CheckHeadLine(signature, kGammaFileSignature, GammaFileFault::kWrongSignature, report) ||
        !CheckHeadLine(header, kGammaHeader, GammaFileFault::kWrongHeader, report))
        return false;
    scratch->header = kGammaHeader;

    for (int channel = 0; channel < kGammaChannels; ++channel) {
        report->channel = channel + 1;
        for (int i = 0; i < kGammaEntries; ++i) {
            report->valuesRead = i;
            if (!in.Next()) return Fail(report, GammaFileFault::kChannelShort, in.line);
            // A value line without a number refuses the whole file: keeping
            // the line before's value (or an undefined one for the first
            // entry) would send a half-read table to the driver.
            std::int64_t number = 0;
            Scan scan = ScanDecimal(in.text, &number);
            if (scan == Scan::kNone) return Fail(report, GammaFileFault::kNotANumber, in.line, in.text);
            if (scan == Scan::kOverflow) return Fail(report, GammaFileFault::kOutOfRange, in.line, in.text);
            // The entry is the low 16 bits of the int: -1 is 65535, 65536 is 0.
            auto entry = static_cast<std::uint16_t>(static_cast<std::uint32_t>(number));
            if (entry > kGammaMaxEntry)
                return Fail(report, GammaFileFault::kAboveMaximum, in.line, in.text, number);
            scratch->channel[channel][i] = entry;
        }
    }
    report->channel = 0;
    report->valuesRead = 0;
    return true;
}

}  // namespace

bool ReadGammaFileReport(const char16_t* path, GammaTable* table, GammaFileReport* report) {
    GammaFileReport local;
    if (!report) report = &local;
    *report = GammaFileReport{};
    if (!path || !table) return Fail(report, GammaFileFault::kCannotOpen, 0);

    platform::TextFile file = platform::OpenTextFile(path);
    if (!file) return Fail(report, GammaFileFault::kCannotOpen, 0);
    LineReader in{file};
    GammaTable scratch{};
    bool ok = ReadLines(in, &scratch, report);
    platform::CloseTextFile(file);
    if (ok) *table = scratch;
    return ok;
}

bool ReadGammaFile(const char16_t* path, GammaTable* table) {
    return ReadGammaFileReport(path, table, nullptr);
}

bool WriteGammaFile(const char16_t* path, const GammaTable& table) {
    if (!path || table.header != kGammaHeader) return false;
    for (const auto& channel : table.channel)
        for (std::uint16_t entry : channel)
            if (entry > kGammaMaxEntry) return false;

    platform::TextFile file = platform::CreateTextFile(path);
    if (!file) return false;
    bool ok = platform::WriteText(file, "47434446\n") && platform::WriteText(file, "10\n");
    char line[16];
    for (const auto& channel : table.channel) {
        for (std::uint16_t entry : channel) {
            if (!ok) break;
            std::snprintf(line, sizeof line, "%u\n", static_cast<unsigned>(entry));
            ok = platform::WriteText(file, line);
        }
    }
    platform::CloseTextFile(file);
    return ok;
}

}  // namespace vca
