#include "timingdb/section_parser.h"

#include "platform/platform.h"
#include "timingdb/field_block.h"
#include "timingdb/scanner.h"

namespace vca {

const char* const kLimitNames[kLimitCount] = {
    "hfmax",  "hfmin",  "pcfmax", "pcfmin", "hbmax",  "hbmin",  "hfpmax", "hfpmin", "hsmax",
    "hsmin",  "hbpmax", "hbpmin", "hs%max", "hs%min", "vfmax",  "vfmin",  "vbmax",  "vbmin",
    "vfpmax", "vfpmin", "vsmax",  "vsmin",  "vbpmax", "vbpmin", "vs%max", "vs%min"};

namespace {

constexpr int kTagField = 0;
constexpr int kDescField = 1;
constexpr int kFirstLimitField = 2;
constexpr int kDisplayFieldCount = kFirstLimitField + kLimitCount;

const char* const kHeaderKeywords[] = {"version", "display"};
constexpr int kVersionKeyword = 0;
constexpr int kDisplayKeyword = 1;
constexpr std::size_t kKeywordLength = 7;  // both "version" and "display"

// The section's syntax error: the line is the one before when the error is
// found just after a "{".
int DisplaySyntaxError(const char*& cursor, const char* at) {
    WriteReaderDiagnostic("DISPLAY section syntax error\n");
    timingErrorLine = static_cast<std::uint16_t>(timingLineCounter - (at[-1] == '{' ? 1 : 0));
    cursor = *at != '\0' ? at + 1 : at;
    return kReadSyntaxError;
}

// Index of the block's tag, added to the table when new. False when the
// table is full.
bool TagIndexFor(TimingDatabase* database, const char* tag, std::uint16_t* index) {
    if (FindTag(*database, tag, index)) return true;
    if (database->tagCount >= kMaxTags) return false;
    CopyString(database->tagNames[database->tagCount], kTagNameBytes, tag);
    *index = static_cast<std::uint16_t>(database->tagCount++);
    return true;
}

// Copies the limits of a parsed block into the entry. False when a pair
// gives a maximum that is not greater than its minimum.
bool FillLimits(const FieldSpec* fields, DISPENTRY* entry) {
    for (int pair = 0; pair < kLimitCount; pair += 2) {
        const FieldSpec& max = fields[kFirstLimitField + pair];
        const FieldSpec& min = fields[kFirstLimitField + pair + 1];
        bool maxGiven = (max.kind & kFieldSeen) != 0;
        bool minGiven = (min.kind & kFieldSeen) != 0;
        entry->limits[pair] = maxGiven ? max.realValue : 0.0;
        entry->limits[pair + 1] = minGiven ? min.realValue : 0.0;
        if (maxGiven && minGiven && !(max.realValue > min.realValue)) return false;
    }
    return true;
}

// Reads the version number; a number too long for the reader ends the
// header.
bool ReadVersion(const char*& p, TimingDatabase* database) {
    if (ParseIntData(p, kIntDecimal, &database->version) != kValueTooLong) return true;
    timingErrorLine = timingLineCounter;
    return false;
}

}  // namespace

int ParseDisplaySection(const char*& cursor, TimingDatabase* database) {
    const char* p = cursor;
    SkipWhitespace(p);
    if (*p != '{') return DisplaySyntaxError(cursor, p);
    ++p;

    FieldSpec fields[kDisplayFieldCount];
    SetField(fields[kTagField], "tag", kFieldTag | kFieldRequired);
    SetField(fields[kDescField], "desc", kFieldQuoted | kFieldRequired);
    for (int i = 0; i < kLimitCount; ++i) SetField(fields[kFirstLimitField + i], kLimitNames[i], kFieldReal);

    std::uint32_t blocks = 0;
    for (;;) {
        SkipWhitespace(p);
        if (*p == '}') {
            if (database->tagCount == 0) return DisplaySyntaxError(cursor, p);
            cursor = p + 1;
            return kReadOk;
        }
        if (blocks == kMaxMonitorBlocks) return DisplaySyntaxError(cursor, p);
        for (FieldSpec& field : fields) {
            field.intValue = 0;
            field.realValue = 0.0;
        }
        const char* block = p;
        if (ParseFieldBlock(p, fields, kDisplayFieldCount) != 0) return DisplaySyntaxError(cursor, p);

        auto* entry = static_cast<DISPENTRY*>(platform::Allocate(sizeof(DISPENTRY)));
        if (!entry) {
            WriteReaderDiagnostic("DISPENTRY: Malloc failed\n");
            timingErrorLine = timingLineCounter;
            cursor = block;
            return kReadSyntaxError;
        }
        std::uint16_t tag = 0;
        if (!TagIndexFor(database, fields[kTagField].text, &tag)) {
            WriteReaderDiagnostic("TAGS: limit reached\n");
            platform::Free(entry);
            timingErrorLine = timingLineCounter;
            cursor = block;
            return kReadSyntaxError;
        }
        entry->tag = tag;
        if (!FillLimits(fields, entry)) {
            platform::Free(entry);
            timingErrorLine = timingLineCounter;
            cursor = block;
            return kReadBadLimitPair;
        }
        CopyString(entry->desc, kDescBytes, fields[kDescField].text);
        entry->next = database->entries;
        database->entries = entry;
        ++blocks;
        for (FieldSpec& field : fields) field.kind &= ~kFieldSeen;
    }
}

int ParseTimingHeader(const char* text, TimingDatabase* database) {
    database->version = 0;
    database->tagCount = 0;
    database->entries = nullptr;
    database->headerLength = 0;
    database->recordLine = 0;
    // The header starts the text, so counting starts at its first line
    // whatever an earlier parse left in the counter.
    timingLineCounter = 1;

    const char* p = text;
    int first = MatchKeyword(p, 2, kHeaderKeywords);
    if (first == kVersionKeyword) {
        p += kKeywordLength;
        if (!ReadVersion(p, database)) return kReadSyntaxError;
        if (MatchKeyword(p, 2, kHeaderKeywords) != kDisplayKeyword) {
            timingErrorLine = timingLineCounter;
            return kReadSyntaxError;
        }
        p += kKeywordLength;
        int result = ParseDisplaySection(p, database);
        if (result != kReadOk) return result;
    } else if (first == kDisplayKeyword) {
        p += kKeywordLength;
        int result = ParseDisplaySection(p, database);
        if (result != kReadOk) return result;
        if (MatchKeyword(p, 2, kHeaderKeywords) != kVersionKeyword) {
            timingErrorLine = timingLineCounter;
            return kReadSyntaxError;
        }
        p += kKeywordLength;
        if (!ReadVersion(p, database)) return kReadSyntaxError;
    } else {
        timingErrorLine = timingLineCounter;
        return kReadSyntaxError;
    }
    database->headerLength = static_cast<std::uint32_t>(p - text);
    database->recordLine = timingLineCounter;
    return kReadOk;
}

void ReleaseTimingDatabase(TimingDatabase* database) {
    DISPENTRY* entry = database->entries;
    while (entry) {
        DISPENTRY* next = entry->next;
        platform::Free(entry);
        entry = next;
    }
    *database = TimingDatabase{};
}

}  // namespace vca
