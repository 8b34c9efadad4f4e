// Records of the timing database reader: the parsed header with its tag
// table and monitor blocks, one record of the record part as a query returns
// it, and one "timing" record with its nine raster values.
#pragma once

#include <cstdint>

namespace vca {

constexpr std::uint32_t kTagNameBytes = 64;      // a tag is at most 63 characters
constexpr std::uint32_t kTagSlots = 20;          // the 20th distinct tag stops the section
constexpr std::uint32_t kMaxTags = kTagSlots - 1;
constexpr std::uint32_t kMaxMonitorBlocks = 20;  // the capacity of the monitor catalogue
constexpr std::uint32_t kDescBytes = 96;         // a description is at most 95 characters

// Result codes of the reader.
constexpr int kReadOk = 0;
constexpr int kReadSyntaxError = 1;
constexpr int kReadBadLimitPair = 99;

// The 26 monitor limits, in the order of the DISPLAY block table: maximum
// before minimum in each pair, horizontal pairs first.
enum LimitIndex : int {
    kHfMax, kHfMin,        // horizontal frequency, kHz
    kPcfMax, kPcfMin,      // pixel clock, MHz
    kHbMax, kHbMin,        // horizontal blanking, microseconds
    kHfpMax, kHfpMin,      // horizontal front porch, microseconds
    kHsMax, kHsMin,        // horizontal sync, microseconds
    kHbpMax, kHbpMin,      // horizontal back porch, microseconds
    kHsPctMax, kHsPctMin,  // horizontal sync, percent of horizontal blanking
    kVfMax, kVfMin,        // vertical frequency, Hz
    kVbMax, kVbMin,        // vertical blanking, milliseconds
    kVfpMax, kVfpMin,      // vertical front porch, milliseconds
    kVsMax, kVsMin,        // vertical sync, milliseconds
    kVbpMax, kVbpMin,      // vertical back porch, milliseconds
    kVsPctMax, kVsPctMin,  // vertical sync, percent of vertical blanking
    kLimitCount
};

// The field names of the limits in the file ("hfmax", ..., "vs%min").
extern const char* const kLimitNames[kLimitCount];

// One monitor block of the DISPLAY section. A limit the block does not give
// is 0; where both limits of a pair were given the maximum is the greater.
struct DISPENTRY {
    std::uint16_t tag;             // index in the tag table
    double limits[kLimitCount];    // indexed by LimitIndex
    char desc[kDescBytes];
    DISPENTRY* next;               // the block read before this one, or null
};

// The parsed header of a timing file.
struct TimingDatabase {
    std::int32_t version;
    std::uint32_t tagCount;
    char tagNames[kTagSlots][kTagNameBytes];  // distinct tags, first appearance first
    DISPENTRY* entries;            // the last block of the file first
    std::uint32_t headerLength;    // bytes from the start of the text to the record part
    std::uint16_t recordLine;      // number of the line on which the record part begins
};

// Record types.
constexpr std::uint16_t kTypeVqxGli = 0;
constexpr std::uint16_t kTypeGlm = 1;
constexpr std::uint16_t kTypeTiming = 2;

// Flag bits of a record.
constexpr std::uint32_t TF_INTERLACED = 0x01;
constexpr std::uint32_t TF_FSS = 0x02;
constexpr std::uint32_t TF_STEREO = 0x04;
constexpr std::uint32_t TF_FSEL = 0x08;
constexpr std::uint32_t TF_4WIRE = 0x10;
constexpr std::uint32_t TF_HEXDATA = 0x20;
constexpr std::uint32_t TF_MONID = 0x40;
constexpr std::uint32_t TF_CSS = 0x80;

// Query mask bits: which fields of the pattern a record must match.
constexpr std::uint32_t QM_ALL = 0x01;     // every record; the other bits are ignored
constexpr std::uint32_t QM_TAG = 0x02;
constexpr std::uint32_t QM_TYPE = 0x04;
constexpr std::uint32_t QM_STEREO = 0x08;
constexpr std::uint32_t QM_MONID = 0x10;

// One record of the record part, as a query returns it; also the pattern of
// a query.
struct TimingEntry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint16_t xres;
    std::uint16_t yres;
    std::uint16_t refresh;
    std::uint16_t hfreq;
    std::uint32_t monid;
    std::uint32_t flags;
    std::uint16_t line;            // the line of the data block's "{"
    const char* data;              // into the loaded text, just before the block's first line
};

// A "timing" record with the nine values of its data block.
struct TimingCandidate {
    double pixelClock;             // MHz
    std::uint32_t hTotal;
    std::uint32_t hActive;
    std::uint32_t hSync;
    std::uint32_t hFrontPorch;
    double vTotal;                 // lines per field
    std::uint32_t vActive;
    std::uint32_t vSync;
    double vFrontPorch;
    std::uint32_t monid;
    std::uint32_t flags;
    std::uint16_t type;
    std::uint16_t tag;
    std::uint16_t hfreq;
    const char* data;
};

}  // namespace vca
