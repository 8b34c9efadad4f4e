#include "settings/hardware_info.h"

#include "base/app_state.h"
#include "base/resource_library.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "platform/platform.h"
#include "base/registry_values.h"
#include "vca_version.h"

namespace vca {

HardwareInfo hardwareInfo;

namespace {

constexpr const char16_t* kCompany = u"Norvane Corporation";
constexpr const char16_t* kVersion = u"" VCA_VERSION_TEXT;
constexpr const char16_t* kDriverFiles = u"vqxiocd.dll rediruv.dll rediruv.sys vqxidma.sys";
constexpr std::uint32_t kAnsiReadBytes = 75;

struct Texts {
    std::u16string notAvailable;         // "<" string 1217 ">"
    std::u16string megabytes;            // string 1216
    std::u16string textureNotAvailable;  // string 68
};

std::uint32_t BoardFamilyString(std::uint32_t boardCode) {
    switch (boardCode) {
        case 201: case 202: case 203: return 1218;
        case 204: return 1219;
        case 205: case 206: return 1220;
        case 207: case 210: return 1221;
        default: return 0;
    }
}

// A text value: read as stored into the field; a REG_SZ is read again as
// ANSI bytes and converted, the form the driver writes it in.
template <std::size_t N>
void ReadTextValue(platform::RegKey key, bool keyOpen, const char16_t* name,
                   std::uint32_t limitBytes, char16_t (&field)[N], const Texts& texts) {
    char16_t buffer[N + 1] = {};  // room for a terminator after a value that has none
    std::uint32_t size = limitBytes < sizeof(field) ? limitBytes : sizeof(field);
    std::uint32_t type = 0;
    if (!keyOpen || platform::RegQueryValue(key, name, &type, buffer, &size) != platform::kErrorSuccess) {
        CopyText(field, texts.notAvailable);
        return;
    }
    if (type != platform::kRegSz) {
        buffer[size / sizeof(char16_t) < N ? size / sizeof(char16_t) : N] = u'\0';
        CopyText(field, buffer);
        return;
    }
    char bytes[kAnsiReadBytes + 1] = {};
    std::uint32_t byteCount = kAnsiReadBytes;
    if (platform::RegQueryValue(key, name, nullptr, bytes, &byteCount) != platform::kErrorSuccess) {
        CopyText(field, texts.notAvailable);
        return;
    }
    // Up to the first NUL of the bytes read, converted into at most the field.
    std::size_t length = 0;
    while (length < byteCount && bytes[length] != '\0') ++length;
    // Each byte becomes one unit, so the conversion always fits this buffer;
    // the copy then cuts it to the field.
    char16_t converted[kAnsiReadBytes + 1] = {};
    if (length > 0) {
        int units = platform::MultiByteToWideChar(platform::kCodePageAnsi, platform::kMbPrecomposed, bytes,
                                                  static_cast<int>(length), converted, kAnsiReadBytes);
        converted[units > 0 ? units : 0] = u'\0';
    }
    CopyText(field, converted);
}

bool ReadDword(platform::RegKey key, bool keyOpen, const char16_t* name, std::uint32_t* value) {
    return keyOpen && ReadDwordValue(key, name, value);
}

std::u16string SizeText(std::uint32_t size, const Texts& texts) {
    if (size == 1) return FormatText(u"1 %s", {LoadResourceString(1215)});
    return FormatText(u"%lu %s", {size, texts.megabytes});
}

void FillTextureMemory(platform::RegKey key, bool keyOpen, const Texts& texts) {
    const bool texture = boardIdentity.textureMemory != 0;
    std::u16string text;
    switch (boardIdentity.boardCode) {
        case 204:
            text = FormatText(texture ? u"8 %s" : u"0 %s", {texts.megabytes});
            break;
        case 201: case 202: case 203:
            text = FormatText(texture ? u"32 %s" : u"0 %s", {texts.megabytes});
            break;
        case 205: case 206: {
            std::uint32_t size = 0;
            if (!ReadDword(key, keyOpen, u"HardwareInformation.TextureMemorySize", &size)) {
                text = texts.textureNotAvailable;
                break;
            }
            hardwareInfo.textureMemorySize = size;
            text = SizeText(size, texts);
            break;
        }
        case 207: case 210: {
            std::uint32_t size = 0;
            if (!texture) {
                text = FormatText(u"0 %s", {texts.megabytes});
            } else if (!ReadDword(key, keyOpen, u"HardwareInformation.TextureMemorySize", &size)) {
                text = texts.textureNotAvailable;
            } else {
                hardwareInfo.textureMemorySize = size;
                text = FormatText(u"%li %s", {static_cast<long>(static_cast<std::int32_t>(size)), texts.megabytes});
            }
            break;
        }
        default:
            break;
    }
    CopyText(hardwareInfo.textureMemory, text);
}

}  // namespace

void CollectHardwareInformation() {
    Texts texts;
    texts.notAvailable = FormatText(u"<%s>", {LoadResourceString(1217)});
    texts.megabytes = LoadResourceString(1216);
    texts.textureNotAvailable = LoadResourceString(68);

    if (driverAbsent) {
        CopyText(hardwareInfo.company, kCompany);
        CopyText(hardwareInfo.textureMemory, texts.textureNotAvailable);
        CopyText(hardwareInfo.board, texts.notAvailable);
        CopyText(hardwareInfo.version, texts.notAvailable);
        CopyText(hardwareInfo.driverFiles, texts.notAvailable);
        CopyText(hardwareInfo.chip, texts.notAvailable);
        CopyText(hardwareInfo.dac, texts.notAvailable);
        CopyText(hardwareInfo.memory, texts.notAvailable);
        CopyText(hardwareInfo.adapter, texts.notAvailable);
        return;
    }

    platform::RegKey key = 0;
    const bool keyOpen =
        platform::RegCreateKey(driverKeyPath, platform::kKeyReadWrite, &key) == platform::kErrorSuccess;

    CopyText(hardwareInfo.board, LoadResourceString(BoardFamilyString(boardIdentity.boardCode)));
    CopyText(hardwareInfo.company, kCompany);
    CopyText(hardwareInfo.version, kVersion);
    CopyText(hardwareInfo.driverFiles, kDriverFiles);

    ReadTextValue(key, keyOpen, u"HardwareInformation.ChipType", 80, hardwareInfo.chip, texts);
    ReadTextValue(key, keyOpen, u"HardwareInformation.DACType", 80, hardwareInfo.dac, texts);
    ReadTextValue(key, keyOpen, u"HardwareInformation.AdapterString", 150, hardwareInfo.adapter, texts);

    std::uint32_t memory = 0;
    if (!ReadDword(key, keyOpen, u"HardwareInformation.MemorySize", &memory)) {
        CopyText(hardwareInfo.memory, texts.notAvailable);
    } else {
        hardwareInfo.memorySize = memory >> 20;
        CopyText(hardwareInfo.memory, SizeText(hardwareInfo.memorySize, texts));
    }

    FillTextureMemory(key, keyOpen, texts);
    if (keyOpen) platform::RegCloseKey(key);
}

}  // namespace vca
