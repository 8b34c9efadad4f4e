#include "driver/monitor_identification.h"

#include "base/text.h"
#include "driver/edid_identity.h"

namespace vca {

namespace {

constexpr unsigned kYearBase = 1990;

std::uint32_t LittleEndian(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

std::u16string Unsigned(std::uint32_t value) {
    return FormatText(u"%u", {static_cast<unsigned long>(value)});
}

}  // namespace

MonitorIdentificationTexts IdentificationTexts(const ModeRecordState& state) {
    MonitorIdentificationTexts texts;
    if (state.status == kRecordsDefault) return texts;

    // A state without a block reads as the default block: all zero.
    std::uint8_t zero[kEdidRevisionOffset + 1] = {};
    const std::uint8_t* id = state.block ? state.block : zero;

    char16_t letters[4];
    ManufacturerLetters(id[kEdidManufacturerOffset], id[kEdidManufacturerOffset + 1], letters);
    texts.manufacturer = letters;
    texts.product = Unsigned(LittleEndian(id + kEdidProductOffset, 2));
    texts.serial = Unsigned(LittleEndian(id + kEdidSerialOffset, 4));
    texts.year = Unsigned(id[kEdidYearOffset] + kYearBase);
    texts.version = Unsigned(id[kEdidVersionOffset]);
    texts.revision = Unsigned(id[kEdidRevisionOffset]);
    return texts;
}

}  // namespace vca
