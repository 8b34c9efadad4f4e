// The registry of the emulated machine: an in-memory HKEY_LOCAL_MACHINE
// with Win32's rules (names without regard to case, access rights checked
// per handle, ERROR_MORE_DATA, data kept exactly as written), plus what
// tests need: read-only and unopenable keys, a write that fails on demand
// and a journal of every RegSetValue.
#include <algorithm>
#include <map>
#include <set>

#include "platform/host/host_internal.h"
#include "platform/host/registry_store.h"

namespace host {
namespace {

using detail::KeyRecord;

// ERROR_KEY_DELETED: the handle's key was removed while it was open.
constexpr long kErrorKeyDeleted = 1018;

constexpr std::uint32_t kWriteRights = platform::kKeySetValue | platform::kKeyCreateSubKey;
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kGenericAll = 0x10000000u;
constexpr std::uint32_t kMaximumAllowed = 0x02000000u;
constexpr std::uint32_t kKeyWrite = 0x20006u;
constexpr std::uint32_t kKeyAllAccess = 0xF003Fu;

struct OpenKey {
    std::u16string folded;  // where the key lives in the hive
    std::u16string opened;  // the path as the caller wrote it
    std::uint32_t access = 0;
};

struct RegistryState {
    // Keys by folded path: names upper-cased and joined by NUL units, so
    // that the map's order is regedit's (a key, then its subtree, then its
    // next sibling). The root is the empty path and always exists.
    std::map<std::u16string, KeyRecord> keys{{std::u16string(), KeyRecord{}}};
    std::set<std::u16string> readOnly;    // folded paths; cover their subtrees
    std::set<std::u16string> unopenable;  // likewise
    std::map<platform::RegKey, OpenKey> handles;
    std::vector<RegWrite> journal;
    int failWriteIn = 0;
};

RegistryState& registry() {
    static RegistryState state;
    return state;
}

// Handle values are never reused, not even across resets, so that a stale
// handle from an earlier test is refused instead of reaching a new key.
platform::RegKey NewHandle() {
    static platform::RegKey next = 0x1000;
    next += 8;
    return next;
}

char16_t UpperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - 32 : c; }

std::u16string Fold(const std::vector<std::u16string>& names, std::size_t count) {
    std::u16string folded;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) folded += u'\0';
        for (char16_t c : names[i]) folded += UpperAscii(c);
    }
    return folded;
}

// The folded form of a key path, in one pass with the rules of
// SplitKeyPath: no empty name inside, no NUL unit, one trailing backslash.
bool FoldPath(const std::u16string& path, std::u16string* folded) {
    folded->assign(path.size(), u'\0');
    std::size_t length = 0;
    bool nameEmpty = true;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char16_t c = path[i];
        if (c == u'\0' || (c == u'\\' && nameEmpty)) return false;
        if (c == u'\\' && i + 1 == path.size()) break;
        (*folded)[length++] = c == u'\\' ? u'\0' : UpperAscii(c);
        nameEmpty = c == u'\\';
    }
    folded->resize(length);
    return true;
}

// The folded path of a key's parent (the root for a key below the root).
std::u16string ParentOf(const std::u16string& folded) {
    const std::size_t end = folded.rfind(u'\0');
    return end == std::u16string::npos ? std::u16string() : folded.substr(0, end);
}

// Is the key at the folded path, or one of its parents, marked in `marks`?
bool Marked(const std::set<std::u16string>& marks, const std::u16string& folded) {
    if (marks.empty()) return false;
    if (marks.count(std::u16string()) || (!folded.empty() && marks.count(folded))) return true;
    for (std::size_t at = 0; at < folded.size(); ++at)
        if (folded[at] == u'\0' && marks.count(folded.substr(0, at))) return true;
    return false;
}

std::uint32_t MapGenericRights(std::uint32_t access) {
    if (access & (kGenericAll | kMaximumAllowed)) access |= kKeyAllAccess;
    if (access & kGenericRead) access |= platform::kKeyRead;
    if (access & kGenericWrite) access |= kKeyWrite;
    return access;
}

RegValue* FindValue(KeyRecord* key, std::u16string_view name) {
    for (RegValue& value : key->values)
        if (detail::EqualNoCase(value.name, name)) return &value;
    return nullptr;
}

// The key behind a handle, or the error the call must return.
long Resolve(platform::RegKey handle, std::uint32_t right, KeyRecord** key,
             const OpenKey** open = nullptr) {
    auto& state = registry();
    auto it = state.handles.find(handle);
    if (it == state.handles.end()) return platform::kErrorInvalidHandle;
    if (open) *open = &it->second;
    if ((it->second.access & right) != right) return platform::kErrorAccessDenied;
    auto found = state.keys.find(it->second.folded);
    if (found == state.keys.end()) return kErrorKeyDeleted;
    *key = &found->second;
    return platform::kErrorSuccess;
}

std::vector<std::uint8_t> Utf16Bytes(const std::u16string& text, int terminators) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve((text.size() + terminators) * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    bytes.insert(bytes.end(), static_cast<std::size_t>(terminators) * 2, 0);
    return bytes;
}

}  // namespace

namespace detail {

bool SplitKeyPath(const std::u16string& path, std::vector<std::u16string>* names) {
    names->clear();
    if (path.empty()) return true;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string::npos) end = path.size();
        std::u16string name = path.substr(start, end - start);
        if (name.empty() || name.find(u'\0') != std::u16string::npos) return false;
        names->push_back(name);
        start = end + 1;
    }
    return true;
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

KeyRecord* FindKey(const std::u16string& path) {
    std::u16string folded;
    if (!FoldPath(path, &folded)) return nullptr;
    auto it = registry().keys.find(folded);
    return it == registry().keys.end() ? nullptr : &it->second;
}

KeyRecord* MakeKey(const std::u16string& path) {
    if (KeyRecord* existing = FindKey(path)) return existing;
    std::vector<std::u16string> names;
    if (!SplitKeyPath(path, &names)) return nullptr;
    auto& keys = registry().keys;
    KeyRecord* key = &keys[std::u16string()];
    for (std::size_t depth = 1; depth <= names.size(); ++depth) {
        auto [it, created] = keys.try_emplace(Fold(names, depth));
        if (created)
            it->second.path = key->path.empty() ? names[depth - 1]
                                                : key->path + u'\\' + names[depth - 1];
        key = &it->second;
    }
    return key;
}

void DeleteKeyTree(const std::u16string& path) {
    std::u16string folded;
    if (!FoldPath(path, &folded)) return;
    auto& keys = registry().keys;
    if (folded.empty()) {
        keys.clear();
        keys[std::u16string()] = KeyRecord{};
        return;
    }
    std::u16string children = folded + u'\0';
    auto it = keys.find(folded);
    if (it == keys.end()) return;
    it = keys.erase(it);
    while (it != keys.end() && it->first.compare(0, children.size(), children) == 0)
        it = keys.erase(it);
}

void StoreValue(KeyRecord* key, const std::u16string& name, std::uint32_t type,
                const std::uint8_t* data, std::size_t size) {
    RegValue* value = FindValue(key, name);
    if (!value) {
        key->values.push_back(RegValue{name, type, {}});
        value = &key->values.back();
    }
    value->type = type;
    value->data.assign(data, data + size);
}

void RemoveValue(KeyRecord* key, const std::u16string& name) {
    auto& values = key->values;
    for (auto it = values.begin(); it != values.end(); ++it)
        if (EqualNoCase(it->name, name)) {
            values.erase(it);
            return;
        }
}

std::vector<const KeyRecord*> KeyTree(const std::u16string& path) {
    std::vector<const KeyRecord*> tree;
    std::u16string folded;
    if (!FoldPath(path, &folded)) return tree;
    auto& keys = registry().keys;
    auto it = keys.find(folded);
    if (it == keys.end()) return tree;
    std::u16string children = folded.empty() ? folded : folded + u'\0';
    for (; it != keys.end(); ++it) {
        if (it->first != folded && it->first.compare(0, children.size(), children) != 0) break;
        tree.push_back(&it->second);
    }
    return tree;
}

}  // namespace detail

void ResetRegistry() { registry() = RegistryState{}; }

void ClearRegistry() { detail::DeleteKeyTree(std::u16string()); }

void PutValue(const std::u16string& keyPath, const std::u16string& name, std::uint32_t type,
              const std::vector<std::uint8_t>& data) {
    if (KeyRecord* key = detail::MakeKey(keyPath))
        detail::StoreValue(key, name, type, data.data(), data.size());
}

void PutDword(const std::u16string& keyPath, const std::u16string& name, std::uint32_t value) {
    PutValue(keyPath, name, platform::kRegDword,
             {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
              static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)});
}

void PutString(const std::u16string& keyPath, const std::u16string& name,
               const std::u16string& text, std::uint32_t type) {
    PutValue(keyPath, name, type, Utf16Bytes(text, type == platform::kRegMultiSz ? 2 : 1));
}

void DeleteValue(const std::u16string& keyPath, const std::u16string& name) {
    if (KeyRecord* key = detail::FindKey(keyPath)) detail::RemoveValue(key, name);
}

bool GetValue(const std::u16string& keyPath, const std::u16string& name, RegValue* value) {
    KeyRecord* key = detail::FindKey(keyPath);
    RegValue* found = key ? FindValue(key, name) : nullptr;
    if (!found) return false;
    if (value) *value = *found;
    return true;
}

bool KeyExists(const std::u16string& keyPath) { return detail::FindKey(keyPath) != nullptr; }

std::vector<RegValue> KeyValues(const std::u16string& keyPath) {
    KeyRecord* key = detail::FindKey(keyPath);
    return key ? key->values : std::vector<RegValue>{};
}

void SetKeyReadOnly(const std::u16string& keyPath, bool readOnly) {
    std::u16string folded;
    if (!FoldPath(keyPath, &folded)) return;
    if (readOnly)
        registry().readOnly.insert(folded);
    else
        registry().readOnly.erase(folded);
}

void SetKeyUnopenable(const std::u16string& keyPath, bool unopenable) {
    std::u16string folded;
    if (!FoldPath(keyPath, &folded)) return;
    if (unopenable)
        registry().unopenable.insert(folded);
    else
        registry().unopenable.erase(folded);
}

void FailNthRegistryWrite(int n) { registry().failWriteIn = n > 0 ? n : 0; }

const std::vector<RegWrite>& RegistryJournal() { return registry().journal; }
void ClearRegistryJournal() { registry().journal.clear(); }

int OpenKeyCount() { return static_cast<int>(registry().handles.size()); }

}  // namespace host

namespace platform {

// A mark on a key covers the key and everything beneath it, as an
// inherited access list would. Creating a missing key needs the right to
// create subkeys in its parent, whatever access is asked for the new key.
long RegCreateKey(const char16_t* path, std::uint32_t access, RegKey* key) {
    if (key) *key = 0;
    if (!path || !key) return kErrorInvalidParameter;
    std::u16string folded;
    if (!host::FoldPath(path, &folded)) return kErrorInvalidParameter;
    auto& state = host::registry();
    const bool readOnly = host::Marked(state.readOnly, folded);
    if (host::Marked(state.unopenable, folded)) return kErrorAccessDenied;
    const bool maximum = (access & host::kMaximumAllowed) != 0;
    access = host::MapGenericRights(access);
    if (maximum && readOnly) access &= ~host::kWriteRights;
    if ((access & host::kWriteRights) && readOnly) return kErrorAccessDenied;
    if (!state.keys.count(folded)) {
        std::u16string parent = host::ParentOf(folded);  // the root always exists, so this stops
        while (!state.keys.count(parent)) parent = host::ParentOf(parent);
        if (host::Marked(state.readOnly, parent) || host::Marked(state.unopenable, parent))
            return kErrorAccessDenied;
        host::detail::MakeKey(path);
    }
    RegKey handle = host::NewHandle();
    state.handles[handle] = host::OpenKey{folded, path, access};
    *key = handle;
    return kErrorSuccess;
}

long RegQueryValue(RegKey key, const char16_t* name, std::uint32_t* type, void* data,
                   std::uint32_t* size) {
    host::detail::KeyRecord* record = nullptr;
    long result = host::Resolve(key, kKeyQueryValue, &record);
    if (result != kErrorSuccess) return result;
    if (data && !size) return kErrorInvalidParameter;
    const host::RegValue* value = host::FindValue(record, name ? name : u"");
    if (!value) return kErrorFileNotFound;
    const auto stored = static_cast<std::uint32_t>(value->data.size());
    if (type) *type = value->type;
    if (data && *size < stored) {
        *size = stored;
        return kErrorMoreData;
    }
    if (data && stored) std::copy(value->data.begin(), value->data.end(), static_cast<std::uint8_t*>(data));
    if (size) *size = stored;
    return kErrorSuccess;
}

// Every call is journaled, failed or not; the armed fault counts every
// call and turns the chosen one into a write fault unless it fails anyway.
long RegSetValue(RegKey key, const char16_t* name, std::uint32_t type, const void* data,
                 std::uint32_t size) {
    auto& state = host::registry();
    host::RegWrite write;
    write.name = name ? name : u"";
    write.type = type;
    host::detail::KeyRecord* record = nullptr;
    const host::OpenKey* open = nullptr;
    long result = host::Resolve(key, kKeySetValue, &record, &open);
    if (open) write.key = open->opened;
    if (!data && size) {
        if (result == kErrorSuccess) result = kErrorInvalidParameter;
    } else if (data) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        write.data.assign(bytes, bytes + size);
    }
    const bool faulted = state.failWriteIn > 0 && --state.failWriteIn == 0;
    if (faulted && result == kErrorSuccess) result = kErrorWriteFault;
    if (result == kErrorSuccess)
        host::detail::StoreValue(record, write.name, type, write.data.data(), write.data.size());
    write.result = result;
    state.journal.push_back(std::move(write));
    return result;
}

long RegFlushKey(RegKey key) {
    return host::registry().handles.count(key) ? kErrorSuccess : kErrorInvalidHandle;
}

long RegCloseKey(RegKey key) {
    return host::registry().handles.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace platform
