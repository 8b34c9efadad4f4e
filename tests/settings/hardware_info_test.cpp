// The hardware information texts, from identification and the driver key.
#include <gtest/gtest.h>

#include "applet/app_state.h"
#include "applet/resource_library.h"
#include "applet/startup.h"
#include "applet/text.h"
#include "driver/board_identity.h"
#include "settings/hardware_info.h"
#include "support/applet_fixture.h"

namespace {

using vcatest::Utf8;

const std::u16string kKey = u"SYSTEM\\CurrentControlSet\\Services\\rediruv\\Device0";

class HardwareInfoTest : public vcatest::AppletTest {
protected:
    void SetUp() override {
        AppletTest::SetUp();
        vca::InitApplet(host::AppletModule());
        vca::CopyText(vca::driverKeyPath, kKey);
        notAvailable = "<" + Utf8(vca::LoadResourceString(1217)) + ">";
        mb = Utf8(vca::LoadResourceString(1216));
        oneMb = Utf8(vca::LoadResourceString(1215));
        textureNa = Utf8(vca::LoadResourceString(68));
    }
    void Board(std::uint32_t code, bool texture) {
        vca::boardIdentity.boardCode = code;
        vca::boardIdentity.textureMemory = texture ? 0x2000000 : 0;
    }
    std::string notAvailable, mb, oneMb, textureNa;
};

TEST_F(HardwareInfoTest, MemorySizesAreShownInWholeMegabytes) {
    struct Case {
        std::uint32_t bytes;
        std::string text;
        std::uint32_t size;
    } cases[] = {{1048576, "1 ", 1}, {4194304, "4 ", 4}, {1572864, "1 ", 1}, {8388607, "7 ", 7}, {0, "0 ", 0}};
    Board(205, false);
    for (const auto& c : cases) {
        vcatest::PutDriverNumber(kKey, u"HardwareInformation.MemorySize", c.bytes);
        vca::CollectHardwareInformation();
        EXPECT_EQ(Utf8(vca::hardwareInfo.memory), c.text + (c.size == 1 ? oneMb : mb)) << c.bytes;
        EXPECT_EQ(vca::hardwareInfo.memorySize, c.size);
    }
    host::DeleteValue(kKey, u"HardwareInformation.MemorySize");
    vca::CollectHardwareInformation();
    EXPECT_EQ(Utf8(vca::hardwareInfo.memory), notAvailable);
}

TEST_F(HardwareInfoTest, TextureMemoryDependsOnTheBoard) {
    enum Unit { kMegabytes, kOneMegabyte, kNotAvailable };
    struct Case {
        std::uint32_t board;
        bool texture;
        bool stored;
        std::uint32_t value;
        std::string number;
        Unit unit;
    } cases[] = {
        {204, true, true, 99, "8", kMegabytes},    {204, false, true, 99, "0", kMegabytes},
        {201, true, false, 0, "32", kMegabytes},   {203, false, false, 0, "0", kMegabytes},
        {205, false, true, 1, "1", kOneMegabyte},  {206, true, true, 16, "16", kMegabytes},
        {205, true, false, 0, "", kNotAvailable},  {207, true, true, 16, "16", kMegabytes},
        {210, false, true, 16, "0", kMegabytes},   {207, true, false, 0, "", kNotAvailable},
        {210, true, true, 0xFFFFFFF0u, "-16", kMegabytes},
    };
    for (const auto& c : cases) {
        host::ClearRegistry();
        Board(c.board, c.texture);
        if (c.stored) vcatest::PutDriverNumber(kKey, u"HardwareInformation.TextureMemorySize", c.value);
        vca::CollectHardwareInformation();
        std::string expect = c.unit == kNotAvailable ? textureNa
                                                     : c.number + " " + (c.unit == kOneMegabyte ? oneMb : mb);
        EXPECT_EQ(Utf8(vca::hardwareInfo.textureMemory), expect) << c.board << " texture " << c.texture;
    }
}

TEST_F(HardwareInfoTest, TextValuesAreReadAsStoredOrConvertedFromAnsi) {
    Board(205, true);
    // The driver writes 8-bit text under REG_SZ.
    host::PutValue(kKey, u"HardwareInformation.ChipType", platform::kRegSz, {'A', 'B', 'C', 0});
    host::PutValue(kKey, u"HardwareInformation.DACType", platform::kRegBinary,
                   {'D', 0, 'A', 0, 'C', 0, 0, 0});
    host::PutValue(kKey, u"HardwareInformation.AdapterString", platform::kRegSz,
                   {'C', 'a', 'f', 0xE9, ' ', 0x80});  // Windows-1252, no terminator
    vca::CollectHardwareInformation();
    EXPECT_EQ(Utf8(vca::hardwareInfo.chip), "ABC");
    EXPECT_EQ(Utf8(vca::hardwareInfo.dac), "DAC");
    EXPECT_EQ(Utf8(vca::hardwareInfo.adapter), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(Utf8(vca::hardwareInfo.company), "Norvane Corporation");
    EXPECT_EQ(Utf8(vca::hardwareInfo.version), "03.05.03.02");
    EXPECT_EQ(Utf8(vca::hardwareInfo.driverFiles), "vqxiocd.dll rediruv.dll rediruv.sys vqxidma.sys");
    EXPECT_EQ(vca::hardwareInfo.board, vca::LoadResourceString(1220));
}

TEST_F(HardwareInfoTest, HostileTextValuesNeverOverrunTheirFields) {
    Board(207, false);
    std::vector<std::uint8_t> huge(10000, 'x');
    std::vector<std::uint8_t> exact(80, 'y');  // 40 units, no terminator
    std::vector<std::uint8_t> ansi75(75, 'z');
    host::PutValue(kKey, u"HardwareInformation.ChipType", platform::kRegSz, huge);
    host::PutValue(kKey, u"HardwareInformation.DACType", platform::kRegBinary, exact);
    host::PutValue(kKey, u"HardwareInformation.AdapterString", platform::kRegSz, ansi75);
    vca::CollectHardwareInformation();
    EXPECT_EQ(Utf8(vca::hardwareInfo.chip), notAvailable);
    EXPECT_EQ(vca::TextLength(vca::hardwareInfo.dac, 40), 39u);
    EXPECT_EQ(Utf8(vca::hardwareInfo.adapter), std::string(74, 'z'));
}

// Without the driver, or with a key it cannot open for writing, nothing
// comes from the registry.
TEST_F(HardwareInfoTest, WithoutTheDriverOrItsKeyNothingComesFromTheRegistry) {
    vcatest::PutDriverNumber(kKey, u"HardwareInformation.MemorySize", 4194304);
    vcatest::PutDriverNumber(kKey, u"HardwareInformation.TextureMemorySize", 8);
    Board(206, true);
    for (bool absent : {true, false}) {
        vca::driverAbsent = absent;
        host::SetKeyReadOnly(kKey, !absent);
        vca::CollectHardwareInformation();
        EXPECT_EQ(Utf8(vca::hardwareInfo.company), "Norvane Corporation");
        EXPECT_EQ(Utf8(vca::hardwareInfo.textureMemory), textureNa);
        for (const char16_t* text : {vca::hardwareInfo.chip, vca::hardwareInfo.dac, vca::hardwareInfo.memory,
                                     vca::hardwareInfo.adapter})
            EXPECT_EQ(Utf8(text), notAvailable) << absent;
        if (absent) {
            for (const char16_t* text : {vca::hardwareInfo.board, vca::hardwareInfo.version, vca::hardwareInfo.driverFiles})
                EXPECT_EQ(Utf8(text), notAvailable);
        }
        EXPECT_EQ(host::OpenKeyCount(), 0);
    }
}

}  // namespace
