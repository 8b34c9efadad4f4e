// The parser of "{ name=value ... }" blocks, shared by the DISPLAY section's
// monitor blocks and the FLAGS blocks of the records. A table of field
// descriptors says which names a block allows and how their values read.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vca {

constexpr std::size_t kFieldNameBytes = 64;
constexpr std::size_t kFieldTextBytes = 96;     // a word or quoted string is at most 95 characters

// Kind bits of a field descriptor, tested in the order integer, real,
// boolean, quoted string; a descriptor with none of them holds a word.
constexpr std::uint32_t kFieldInteger = 0x1;    // decimal, "0x" for hexadecimal
constexpr std::uint32_t kFieldHexInteger = 0x2;
constexpr std::uint32_t kFieldQuoted = 0x4;
constexpr std::uint32_t kFieldTag = 0x8;        // a word of at most 63 characters
constexpr std::uint32_t kFieldBoolean = 0x10;
constexpr std::uint32_t kFieldReal = 0x20;
constexpr std::uint32_t kFieldSeen = 0x40000000;
constexpr std::uint32_t kFieldRequired = 0x80000000;

struct FieldSpec {
    char name[kFieldNameBytes];
    std::uint32_t kind;
    std::int32_t intValue;           // integer, or 1/0 for a boolean
    char text[kFieldTextBytes];      // word or quoted string
    double realValue;
};

// Fills a descriptor with its name and kind and clears its values.
void SetField(FieldSpec& field, const char* name, std::uint32_t kind);

// Parses one block at the cursor. 0 on success, with the seen bit set on
// every field given and the cursor just past the closing "}"; 1 on a syntax
// error, with the cursor unchanged, or one past the first character of a
// name the table does not hold. Clearing seen bits and values between
// blocks is the caller's job.
int ParseFieldBlock(const char*& cursor, FieldSpec* fields, int count);

}  // namespace vca
