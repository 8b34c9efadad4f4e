// The in-memory hive behind the host registry, shared by the Win32-style
// calls (registry.cpp) and the .reg import and export (reg_file.cpp).
// Private to the host platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/host.h"

namespace host::detail {

// One key of the hive. `path` is the key's full path below
// HKEY_LOCAL_MACHINE with every name in the case it was first created
// with (empty for HKEY_LOCAL_MACHINE itself); values stay in the order
// they were first set.
struct KeyRecord {
    std::u16string path;
    std::vector<RegValue> values;
};

// Splits a backslash-separated key path into its names. Empty is the root;
// one trailing backslash is tolerated. False for an empty name inside the
// path (a leading or doubled backslash) or a name holding a NUL unit.
bool SplitKeyPath(const std::u16string& path, std::vector<std::u16string>* names);

// ASCII-only case-insensitive comparison, as the registry compares names.
bool EqualNoCase(std::u16string_view a, std::u16string_view b);

// The key at `path`, or null when it does not exist (or the path is bad).
KeyRecord* FindKey(const std::u16string& path);
// The key at `path`, created with every missing parent when needed, with
// no access checks; null only for a bad path.
KeyRecord* MakeKey(const std::u16string& path);
// Removes the key and everything beneath it (the root only loses its
// values and subkeys).
void DeleteKeyTree(const std::u16string& path);

// Sets a value, keeping the position and the name's case of a value
// that already exists.
void StoreValue(KeyRecord* key, const std::u16string& name, std::uint32_t type,
                const std::uint8_t* data, std::size_t size);
void RemoveValue(KeyRecord* key, const std::u16string& name);

// The key at `path` and every key beneath it, in the order regedit writes
// them: a key before its subkeys, subkeys alphabetically without regard to
// case. Empty when the key does not exist.
std::vector<const KeyRecord*> KeyTree(const std::u16string& path);

}  // namespace host::detail
