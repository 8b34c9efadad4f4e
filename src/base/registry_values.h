// Typed reads and writes of the driver key's values. A value of the wrong
// type or size is hostile input and reads as missing; strings are cut to
// their field and always terminated.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

namespace vca {

// A number: a value of exactly four bytes, REG_DWORD or REG_BINARY. The
// driver writes its numbers through the video port, which stores them all
// as REG_BINARY. Any other size, or a string, reads as missing.
bool ReadDwordValue(platform::RegKey key, const char16_t* name, std::uint32_t* value);
// A REG_SZ or REG_MULTI_SZ of at most `limitBytes` bytes, copied up to its
// first terminator into a field of `capacity` units. False (field untouched)
// when missing, of another type or larger than the limit.
bool ReadTextValue(platform::RegKey key, const char16_t* name, std::uint32_t limitBytes,
                   char16_t* field, std::size_t capacity);
// A REG_BINARY of exactly `size` bytes into `data`.
bool ReadBinaryValue(platform::RegKey key, const char16_t* name, void* data, std::uint32_t size);

bool WriteDwordValue(platform::RegKey key, const char16_t* name, std::uint32_t value);
bool WriteValue(platform::RegKey key, const char16_t* name, std::uint32_t type, const void* data,
                std::uint32_t size);

}  // namespace vca
