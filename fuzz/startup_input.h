// The start-up fuzz target's input, decoded (the layout is described at the
// top of startup_registry_fuzz.cpp): the names of the driver key's values it
// fills, and the key an input leaves. The Wine sweep (tools/sweep) replays
// the same corpus on the real applet through this header.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace startup_input {

inline const char16_t* const kNames[] = {
    u"DefaultSettings.Description", u"DefaultSettings.TagStr", u"DefaultSettings.Stereo",
    u"DefaultSettings.Preferences", u"DefaultSettings.XResolution", u"DefaultSettings.YResolution",
    u"DefaultSettings.DualScreen", u"DefaultSettings.VRefresh", u"DefaultSettings.BitsPerPel",
    u"DefaultSettings.Contrast0", u"DefaultSettings.Contrast1", u"DefaultSettings.GammaDataSource0",
    u"DefaultSettings.GammaDataSource1", u"DefaultSettings.GammaValue0", u"DefaultSettings.GammaValue1",
    u"DefaultSettings.GammaFile0", u"DefaultSettings.GammaFile1", u"DefaultSettings.GammaCorrectionTable0",
    u"DefaultSettings.GammaCorrectionTable1", u"DefaultSettings.Interlaced", u"HardwareInformation.ChipType",
    u"HardwareInformation.DACType", u"HardwareInformation.MemorySize", u"HardwareInformation.AdapterString",
    u"HardwareInformation.TextureMemorySize", u"V3UZFlags0", u"V3UZMaxPcFreq1020", u"V3UZMaxPcFreq1280",
    u"V3UZMaxPcPllVcoFreq0"};
constexpr std::size_t kNameCount = sizeof kNames / sizeof kNames[0];

struct Value {
    std::size_t name = 0;  // index into kNames
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

struct Input {
    std::uint8_t board = 0;    // index into the board profiles in name order
    std::uint8_t options = 0;  // the option byte as it stands
    int failAllocation = 0;    // 1 + which allocation fails, 0 none
    int failWrite = 0;         // 1 + which registry write fails, 0 none
    std::vector<Value> values;  // each name's last entry, in the order names first appear
};

// False when the input is too short to name a board, its options and their bytes.
inline bool Decode(const std::uint8_t* data, std::size_t size, Input* input) {
    if (size < 2) return false;
    const std::uint8_t options = data[1];
    const std::size_t optionBytes = (options & 0x10 ? 2 : 0) + (options & 0x20 ? 1 : 0);
    if (size < 2 + optionBytes) return false;
    *input = Input{};
    input->board = data[0];
    input->options = options;
    input->failAllocation = options & 0x10 ? 1 + (data[2] | data[3] << 8) : 0;
    input->failWrite = options & 0x20 ? 1 + data[1 + optionBytes] : 0;
    std::vector<Value>& values = input->values;
    for (std::size_t at = 2 + optionBytes; at + 4 <= size; at += 4) {
        const std::size_t name = data[at] % kNameCount, length = data[at + 2] | data[at + 3] << 8;
        Value value{name, std::uint32_t{data[at + 1]}, {}};
        if (data[at + 1] == 0xFF) {
            value.type = 4;  // REG_DWORD
            value.data = {data[at + 2], data[at + 3], 0, 0};
        } else {
            value.data.assign(data + at + 4, data + at + 4 + std::min(length, size - at - 4));
            at += value.data.size();
        }
        const auto same = std::find_if(values.begin(), values.end(), [&](const Value& v) { return v.name == name; });
        if (same == values.end())
            values.push_back(std::move(value));
        else
            *same = std::move(value);
    }
    return true;
}

// The shipped database without comment lines and with every third record, read in a third of the time.
inline std::string ThirdOfTheRecords(const std::string& shipped) {
    std::istringstream in(shipped);
    std::string kept;
    std::size_t records = 0;
    for (std::string line; std::getline(in, line);) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        records += line.compare(0, 4, "tag ") == 0;
        if (first != std::string::npos && line[first] != ';' && (records % 3 == 1 || records == 0)) kept += line + "\n";
    }
    return kept;
}

// The database option 3 names: one that does not parse.
inline const char kBrokenDatabase[] = "version 1\ndisplay {\n { tag=MS desc=\"Broken\"\n";

}  // namespace startup_input
