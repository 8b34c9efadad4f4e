#include "base/registry_values.h"

#include <algorithm>
#include <vector>

namespace vca {

bool ReadDwordValue(platform::RegKey key, const char16_t* name, std::uint32_t* value) {
    std::uint32_t type = 0;
    std::uint32_t data = 0;
    std::uint32_t size = sizeof data;
    if (platform::RegQueryValue(key, name, &type, &data, &size) != platform::kErrorSuccess) return false;
    if ((type != platform::kRegDword && type != platform::kRegBinary) || size != sizeof data) return false;
    *value = data;
    return true;
}

bool ReadTextValue(platform::RegKey key, const char16_t* name, std::uint32_t limitBytes,
                   char16_t* field, std::size_t capacity) {
    if (capacity == 0) return false;
    std::vector<char16_t> buffer(limitBytes / sizeof(char16_t) + 1, u'\0');
    std::uint32_t type = 0;
    std::uint32_t size = limitBytes;
    if (platform::RegQueryValue(key, name, &type, buffer.data(), &size) != platform::kErrorSuccess)
        return false;
    if (type != platform::kRegSz && type != platform::kRegMultiSz) return false;
    std::size_t units = size / sizeof(char16_t);
    std::size_t n = 0;
    while (n < units && n + 1 < capacity && buffer[n] != u'\0') {
        field[n] = buffer[n];
        ++n;
    }
    field[n] = u'\0';
    return true;
}

bool ReadBinaryValue(platform::RegKey key, const char16_t* name, void* data, std::uint32_t size) {
    std::vector<std::uint8_t> buffer(size);
    std::uint32_t type = 0;
    std::uint32_t got = size;
    if (platform::RegQueryValue(key, name, &type, buffer.data(), &got) != platform::kErrorSuccess) return false;
    if (type != platform::kRegBinary || got != size) return false;
    std::copy(buffer.begin(), buffer.end(), static_cast<std::uint8_t*>(data));
    return true;
}

bool WriteDwordValue(platform::RegKey key, const char16_t* name, std::uint32_t value) {
    return WriteValue(key, name, platform::kRegDword, &value, sizeof value);
}

bool WriteValue(platform::RegKey key, const char16_t* name, std::uint32_t type, const void* data,
                std::uint32_t size) {
    return platform::RegSetValue(key, name, type, data, size) == platform::kErrorSuccess;
}

}  // namespace vca
