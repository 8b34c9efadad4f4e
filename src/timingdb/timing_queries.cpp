#include "timingdb/timing_queries.h"

#include <cstring>

#include "timingdb/field_block.h"
#include "timingdb/scanner.h"

namespace vca {

namespace {

enum RecordKeyword { kTag, kType, kXres, kYres, kHfreq, kRefresh, kFlags, kData, kKeywordCount };
const char* const kRecordKeywords[kKeywordCount] = {"tag",   "type",    "xres",  "yres",
                                                    "hfreq", "refresh", "flags", "data"};
constexpr std::size_t kRecordKeywordLengths[kKeywordCount] = {3, 4, 4, 4, 5, 7, 5, 4};
constexpr std::uint32_t Seen(RecordKeyword keyword) { return 1u << keyword; }

// TokenRestEquals for a record keyword: its letters are lowercase, and a
// character folds to one of them only when it is that letter or its capital.
bool KeywordRestEquals(const char* p, RecordKeyword keyword) {
    const char* word = kRecordKeywords[keyword];
    const std::size_t length = kRecordKeywordLengths[keyword];
    for (std::size_t i = 1; i < length; ++i)
        if ((p[i] | 0x20) != word[i]) return false;
    return scanclass::Has(p[length], scanclass::kTokenEnd);
}

// MatchKeyword over the record keywords, trying only those that begin
// with the token's first letter (no two keywords are equal, so the order
// of the tries cannot change the answer).
int MatchRecordKeyword(const char*& cursor) {
    const char* p = cursor;
    if (!SkipToKeyword(p)) return -1;  // the text ends inside the comment
    RecordKeyword first;
    RecordKeyword second = kKeywordCount;
    switch (ToLowerAscii(*p)) {
        case 't': first = kTag; second = kType; break;
        case 'x': first = kXres; break;
        case 'y': first = kYres; break;
        case 'h': first = kHfreq; break;
        case 'r': first = kRefresh; break;
        case 'f': first = kFlags; break;
        case 'd': first = kData; break;
        default: return -1;
    }
    for (RecordKeyword keyword : {first, second}) {
        if (keyword != kKeywordCount && KeywordRestEquals(p, keyword)) {
            cursor = p;
            return keyword;
        }
    }
    return -1;
}

const char* const kTypeNames[] = {"vqx/gli", "glm", "timing"};

// The FLAGS names of the "vqx/gli" and "glm" records, and of "timing" ones.
enum GeneralFlag { kStereo, kFsel, kHexdata, kGeneralWire, kGeneralMonid, kGeneralHspos, kGeneralVspos };
enum TimingFlag { kIlace, kFss, kCss, kTimingWire, kTimingMonid, kTimingHspos, kTimingVspos };
constexpr int kFlagFieldCount = 7;

struct FlagTables {
    FieldSpec general[kFlagFieldCount];
    FieldSpec timing[kFlagFieldCount];
};

void PrepareFlagTables(FlagTables& tables) {
    FieldSpec* g = tables.general;
    SetField(g[kStereo], "stereo", kFieldBoolean);
    SetField(g[kFsel], "fsel", kFieldBoolean);
    SetField(g[kHexdata], "hexdata", kFieldBoolean);
    SetField(g[kGeneralWire], "wire", kFieldInteger);
    SetField(g[kGeneralMonid], "monid", kFieldInteger);
    SetField(g[kGeneralHspos], "hspos", kFieldBoolean);
    SetField(g[kGeneralVspos], "vspos", kFieldBoolean);
    FieldSpec* t = tables.timing;
    SetField(t[kIlace], "ilace", kFieldBoolean);
    SetField(t[kFss], "fss", kFieldBoolean);
    SetField(t[kCss], "css", kFieldBoolean);
    SetField(t[kTimingWire], "wire", kFieldInteger);
    SetField(t[kTimingMonid], "monid", kFieldInteger);
    SetField(t[kTimingHspos], "hspos", kFieldBoolean);
    SetField(t[kTimingVspos], "vspos", kFieldBoolean);
}

bool Given(const FieldSpec& field) { return (field.kind & kFieldSeen) != 0; }
bool True(const FieldSpec& field) { return Given(field) && field.intValue != 0; }

// Flag bits and monitor id from a parsed FLAGS block. "vqx/gli" and "glm"
// records start again from TF_FSEL; "timing" records keep the bits of an
// earlier FLAGS line.
void ApplyFlags(const FlagTables& tables, TimingEntry& entry) {
    const FieldSpec* wire;
    const FieldSpec* monid;
    entry.monid = 0;
    if (entry.type != kTypeTiming) {
        const FieldSpec* g = tables.general;
        entry.flags = TF_FSEL;
        if (True(g[kStereo])) entry.flags |= TF_STEREO;
        if (Given(g[kFsel]) && g[kFsel].intValue == 0) entry.flags &= ~TF_FSEL;
        if (True(g[kHexdata])) entry.flags |= TF_HEXDATA;
        wire = &g[kGeneralWire];
        monid = &g[kGeneralMonid];
    } else {
        const FieldSpec* t = tables.timing;
        if (True(t[kIlace])) entry.flags |= TF_INTERLACED;
        if (True(t[kFss])) entry.flags |= TF_FSS;
        if (True(t[kCss])) entry.flags |= TF_CSS;
        wire = &t[kTimingWire];
        monid = &t[kTimingMonid];
    }
    if (Given(*wire)) {
        if (wire->intValue == 4)
            entry.flags |= TF_4WIRE;
        else
            entry.flags &= ~TF_4WIRE;
    }
    if (Given(*monid)) {
        entry.flags |= TF_MONID;
        entry.monid = static_cast<std::uint32_t>(monid->intValue) & 0xFFFFu;
    }
}

int Fail() {
    timingErrorLine = timingLineCounter;
    return 1;
}

int FailWith(const char* diagnostic) {
    WriteReaderDiagnostic("%s", diagnostic);
    return Fail();
}

// Line used for a bad tag or type: the line before when the bad token
// starts a line.
void SetErrorLineAt(const char* at) {
    timingErrorLine = static_cast<std::uint16_t>(timingLineCounter - (at[-1] == '\n' ? 1 : 0));
}

// Reads the value of one record keyword at p (whitespace already skipped).
// Returns 0, or 1 after the error has been reported.
int ReadKeywordValue(RecordKeyword keyword, const char*& p, const TimingDatabase& database,
                     FlagTables& tables, TimingEntry& entry) {
    switch (keyword) {
        case kTag:
            if (!FindTag(database, p, &entry.tag)) {
                WriteTextDiagnostic("Invalid Tag \"%s\"\n", p, 12);
                SetErrorLineAt(p);
                return 1;
            }
            SkipLine(p);
            return 0;
        case kType:
            for (std::uint16_t type = 0; type < 3; ++type) {
                if (TokenEquals(p, kTypeNames[type])) {
                    entry.type = type;
                    SkipLine(p);
                    return 0;
                }
            }
            WriteTextDiagnostic("Invalid type \"%s\"\n", p, 8);
            SetErrorLineAt(p);
            return 1;
        case kXres:
        case kYres:
        case kHfreq:
        case kRefresh: {
            std::int32_t value = 0;
            if (ParseIntData(p, kIntDecimal, &value) == kValueTooLong) return Fail();
            std::uint16_t low = static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFFu);
            if (keyword == kXres) entry.xres = low;
            if (keyword == kYres) entry.yres = low;
            if (keyword == kHfreq) entry.hfreq = low;
            if (keyword == kRefresh) entry.refresh = low;
            SkipLine(p);
            return 0;
        }
        case kFlags: {
            for (int i = 0; i < kFlagFieldCount; ++i) {
                tables.general[i].kind &= ~kFieldSeen;
                tables.timing[i].kind &= ~kFieldSeen;
            }
            FieldSpec* table = entry.type == kTypeTiming ? tables.timing : tables.general;
            if (ParseFieldBlock(p, table, kFlagFieldCount) != 0) {
                WriteTextDiagnostic("Invalid FLAGS specified \"%s\"\n", p, 12);
                return Fail();
            }
            SkipLine(p);
            ApplyFlags(tables, entry);
            return 0;
        }
        case kData:
            // Comment lines may stand between "data" and the block's "{".
            if (*p != '{' && *p != ';') return FailWith("Invalid DATA syntax\n");
            while (*p == ';') {
                if (!SkipLine(p)) return Fail();  // the text ends inside the comment
                SkipWhitespace(p);
            }
            if (*p != '{') return FailWith("Invalid DATA syntax\n");
            ++p;
            return 0;
        default:
            return Fail();
    }
}

int CheckRequiredKeywords(const TimingEntry& entry, std::uint32_t seen) {
    constexpr std::uint32_t timingNeeds = Seen(kTag) | Seen(kType) | Seen(kData);
    constexpr std::uint32_t glNeeds =
        timingNeeds | Seen(kXres) | Seen(kYres) | Seen(kRefresh) | Seen(kFlags);
    if (!(seen & Seen(kType))) return FailWith("Syntax error: missing TYPE\n");
    if (entry.type == kTypeTiming) {
        if ((seen & timingNeeds) != timingNeeds) return FailWith("TYPE = TIMING: Missing keywords\n");
    } else if ((seen & glNeeds) != glNeeds) {
        return FailWith("TYPE = GL*: Missing keywords\n");
    }
    return 0;
}

// Number of the mask's bits on which the record matches the pattern.
int MatchedBits(const TimingEntry& entry, std::uint32_t seen, const TimingEntry& pattern, std::uint32_t mask) {
    int matched = 0;
    bool flagsGiven = (seen & Seen(kFlags)) != 0;
    if (mask & QM_ALL) ++matched;
    if ((mask & QM_TAG) && (seen & Seen(kTag)) && entry.tag == pattern.tag) ++matched;
    if ((mask & QM_TYPE) && (seen & Seen(kType)) && entry.type == pattern.type) ++matched;
    if ((mask & QM_STEREO) && flagsGiven && (entry.flags & TF_STEREO) == (pattern.flags & TF_STEREO)) ++matched;
    if ((mask & QM_MONID) && flagsGiven && entry.monid == pattern.monid) ++matched;
    return matched;
}

int BitCount(std::uint32_t mask) {
    int bits = 0;
    for (; mask; mask &= mask - 1) ++bits;
    return bits;
}

// Where a query puts the records it finds: nowhere (a count), an array of
// a known capacity, a growing list, or nowhere with the "timing" records'
// values checked.
struct EntrySink {
    TimingEntry* array = nullptr;
    std::uint32_t capacity = 0;
    std::vector<TimingEntry>* list = nullptr;
    TimingValuesVerdict* values = nullptr;
};

// Parses the record part; writes matching entries into the sink.
int QueryTimingEntries(const char* text, const TimingDatabase& database, const TimingEntry& pattern,
                       std::uint32_t mask, const EntrySink& sink, std::uint32_t* count) {
    if (mask == 0) {
        WriteReaderDiagnostic("NULL query mask\n");
        return 1;
    }
    if (mask & QM_ALL) mask = QM_ALL;
    const int wanted = BitCount(mask);
    FlagTables tables;
    PrepareFlagTables(tables);

    const char* p = text + database.headerLength;
    timingLineCounter = database.recordLine;
    std::uint32_t found = 0;
    for (;;) {
        SkipWhitespace(p);
        while (*p == ';') {
            if (!SkipLine(p)) return Fail();  // the text ends inside the comment
            SkipWhitespace(p);
        }
        if (*p == '\0') {
            *count = found;
            return 0;
        }

        TimingEntry entry{};
        std::uint32_t seen = 0;
        while (!(seen & Seen(kData))) {
            int keyword = MatchRecordKeyword(p);
            if (keyword < 0) return Fail();
            p += kRecordKeywordLengths[keyword];
            SkipWhitespace(p);
            seen |= 1u << keyword;
            if (ReadKeywordValue(static_cast<RecordKeyword>(keyword), p, database, tables, entry) != 0) return 1;
        }
        if (CheckRequiredKeywords(entry, seen) != 0) return 1;

        if (MatchedBits(entry, seen, pattern, mask) == wanted) {
            // The block's content starts on the line after its "{": the
            // entry points at that line end (the LF of a CR LF), and the
            // cursor steps past one character, counting it when it is an LF.
            char c = *p;
            entry.data = (c == '\n' || c == '}' || c == '\0') ? p : p + 1;
            entry.line = timingLineCounter;
            if (sink.array || sink.list) {
                if (sink.list) {
                    sink.list->push_back(entry);
                } else {
                    if (found >= sink.capacity) return Fail();
                    sink.array[found] = entry;
                }
            }
            if (c != '\0' && c != '}') {
                if (c == '\n') ++timingLineCounter;
                ++p;
            }
            ++found;
            if (sink.values && entry.type == kTypeTiming && !sink.values->failed) {
                // The value lines hold no "}": the block goes on after them.
                std::uint16_t line = entry.line;
                if (const char* end = SkipTimingValues(entry.data, &line)) {
                    p = end;
                    timingLineCounter = line;
                } else {
                    sink.values->failed = true;
                    sink.values->errorLine = line;
                }
            }
        }
        // The block runs to the first "}"; its lines are counted on the way.
        // (After a walk over its values the cursor is mostly on it already.)
        if (*p != '}') {
            const char* close = p + std::strcspn(p, "}");
            timingLineCounter = static_cast<std::uint16_t>(timingLineCounter + CountLineEnds(p, close));
            p = close;
        }
        if (*p == '\0') return FailWith("Unexpected end of buffer\n");
        ++p;
    }
}

}  // namespace

int CountTimingEntries(const char* text, const TimingDatabase& database, const TimingEntry& pattern,
                       std::uint32_t mask, std::uint32_t* count) {
    *count = 0;
    return QueryTimingEntries(text, database, pattern, mask, EntrySink{}, count);
}

int FetchTimingEntries(const char* text, const TimingDatabase& database, const TimingEntry& pattern,
                       std::uint32_t mask, TimingEntry* entries, std::uint32_t capacity) {
    std::uint32_t count = 0;
    EntrySink sink;
    sink.array = entries;
    sink.capacity = capacity;
    return QueryTimingEntries(text, database, pattern, mask, sink, &count);
}

int FetchAllTimingEntries(const char* text, const TimingDatabase& database, std::vector<TimingEntry>* entries) {
    std::uint32_t count = 0;
    EntrySink sink;
    sink.list = entries;
    return QueryTimingEntries(text, database, TimingEntry{}, QM_ALL, sink, &count);
}

int CheckAllTimingEntries(const char* text, const TimingDatabase& database, std::uint32_t* count,
                          TimingValuesVerdict* values) {
    *count = 0;
    EntrySink sink;
    sink.values = values;
    return QueryTimingEntries(text, database, TimingEntry{}, QM_ALL, sink, count);
}

}  // namespace vca
