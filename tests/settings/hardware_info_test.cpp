// The hardware information texts, from identification and the driver key.
#include <gtest/gtest.h>

#include "base/app_state.h"
#include "base/resource_library.h"
#include "applet/startup.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "settings/hardware_info.h"
#include "support/applet_fixture.h"

namespace {

using vcatest::kDriverKey;

using vcatest::Utf8;

class HardwareInfoTest : public vcatest::AppletTest {
protected:
    void SetUp() override {
        AppletTest::SetUp();
        vca::InitApplet(host::AppletModule());
        vca::CopyText(vca::driverKeyPath, kDriverKey);
        notAvailable = "<" + Utf8(vca::LoadResourceString(1217)) + ">";
        textureNa = Utf8(vca::LoadResourceString(68));
    }
    void Board(std::uint32_t code, bool texture) {
        vca::boardIdentity.boardCode = code;
        vca::boardIdentity.textureMemory = texture ? 0x2000000 : 0;
    }
    // "<n> MB", with the resource library's word for one megabyte or many.
    static std::string Megabytes(const std::string& n) {
        return n + " " + Utf8(vca::LoadResourceString(n == "1" ? 1215 : 1216));
    }
    std::string notAvailable, textureNa;
};

// Memory in whole megabytes from the driver's byte count; texture memory
// fixed by the board, or the driver's megabytes, or not available.
TEST_F(HardwareInfoTest, SizesFollowTheBoardAndTheDriverKey) {
    const struct {
        std::uint32_t board;
        bool texture, stored;
        std::uint32_t memoryBytes, textureValue;
        std::string memory, textureMemory;  // "" for not available
    } cases[] = {
        {204, true, true, 1048576, 99, "1", "8"},       {204, false, true, 4194304, 99, "4", "0"},
        {201, true, false, 1572864, 0, "1", "32"},      {203, false, false, 8388607, 0, "7", "0"},
        {205, false, true, 0, 1, "0", "1"},             {206, true, true, 0, 16, "0", "16"},
        {205, true, false, 0, 0, "0", ""},              {207, true, true, 0, 16, "0", "16"},
        {210, false, true, 0, 16, "0", "0"},            {207, true, false, 0, 0, "0", ""},
        {210, true, true, 0, 0xFFFFFFF0u, "0", "-16"},
    };
    for (const auto& c : cases) {
        host::ClearRegistry();
        Board(c.board, c.texture);
        vcatest::PutDriverNumber(kDriverKey, u"HardwareInformation.MemorySize", c.memoryBytes);
        if (c.stored) vcatest::PutDriverNumber(kDriverKey, u"HardwareInformation.TextureMemorySize", c.textureValue);
        vca::CollectHardwareInformation();
        EXPECT_EQ(Utf8(vca::hardwareInfo.memory), Megabytes(c.memory)) << c.memoryBytes;
        EXPECT_EQ(vca::hardwareInfo.memorySize, c.memoryBytes >> 20);
        EXPECT_EQ(Utf8(vca::hardwareInfo.textureMemory), c.textureMemory.empty() ? textureNa : Megabytes(c.textureMemory))
            << c.board << " texture " << c.texture;
    }
    host::DeleteValue(kDriverKey, u"HardwareInformation.MemorySize");
    vca::CollectHardwareInformation();
    EXPECT_EQ(Utf8(vca::hardwareInfo.memory), notAvailable);
}

// Texts are read as stored; a REG_SZ is read again as the driver's 8-bit
// text and converted. Nothing overruns its field.
TEST_F(HardwareInfoTest, TextValuesAreReadAsStoredOrConvertedFromAnsi) {
    std::vector<std::uint8_t> units40;
    for (int i = 0; i < 40; ++i) units40.insert(units40.end(), {'y', 0});
    const struct { std::uint32_t type; std::vector<std::uint8_t> bytes; std::string chip; } cases[] = {
        {platform::kRegSz, {'A', 'B', 'C', 0}, "ABC"},
        {platform::kRegBinary, {'D', 0, 'A', 0, 'C', 0, 0, 0}, "DAC"},
        {platform::kRegSz, {'C', 'a', 'f', 0xE9, ' ', 0x80}, "Caf\xC3\xA9 \xE2\x82\xAC"},  // Windows-1252, unterminated
        {platform::kRegSz, std::vector<std::uint8_t>(10000, 'x'), ""},
        {platform::kRegBinary, units40, std::string(39, 'y')},  // 40 units, unterminated
    };
    Board(205, true);
    for (const auto& c : cases) {
        host::PutValue(kDriverKey, u"HardwareInformation.ChipType", c.type, c.bytes);
        vca::CollectHardwareInformation();
        EXPECT_EQ(Utf8(vca::hardwareInfo.chip), c.chip.empty() ? notAvailable : c.chip);
    }
    host::PutValue(kDriverKey, u"HardwareInformation.AdapterString", platform::kRegSz, std::vector<std::uint8_t>(75, 'z'));
    vca::CollectHardwareInformation();
    EXPECT_EQ(Utf8(vca::hardwareInfo.adapter), std::string(74, 'z'));
    EXPECT_EQ(vca::hardwareInfo.board, vca::LoadResourceString(1220));
}

}  // namespace
