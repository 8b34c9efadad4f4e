// Loading the default settings: what stands, what is corrected and written
// back, and what a hostile or read-only key gives; saving them; and the
// hardware information texts.
#include <gtest/gtest.h>

#include <algorithm>

#include "applet/startup.h"
#include "base/resource_library.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "gamma/gamma_table.h"
#include "modes/mode_table.h"
#include "settings/default_settings.h"
#include "settings/hardware_info.h"
#include "base/app_state.h"
#include "support/machine_fixture.h"

namespace {

using vcatest::kDriverKey;
using vcatest::MakeDatabase;
using vcatest::Utf8;

const std::vector<vcatest::BoardMode> kModes = {
    {640, 480, 60}, {640, 480, 72}, {1024, 768, 60}, {1024, 768, 75}, {1280, 1024, 60}, {1280, 512, 120, true},
};

class LoadSettingsTest : public vcatest::MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        UseBoard(17 | 0x10000);
        WriteDatabase(MakeDatabase(kModes));
    }
    void Put(const char16_t* name, std::uint32_t value) { host::PutDword(kDriverKey, name, value); }
    // The tables of the last load released, and a load whose writes alone are in the journal.
    int Reload() {
        vca::ReleaseAllTables();
        host::ClearRegistryJournal();
        return Load();
    }
    // How many times the last load wrote the value `name`.
    static long Writes(const std::string& name) {
        const auto names = JournalNames();
        return std::count(names.begin(), names.end(), name);
    }
};

TEST_F(LoadSettingsTest, AnEmptyKeyGetsACompleteSetOfDefaultsThatTheNextStartKeeps) {
    ASSERT_EQ(Load(), 1);
    EXPECT_EQ(JournalNames(),
              (std::vector<std::string>{
                  "DefaultSettings.Stereo", "DefaultSettings.Preferences", "DefaultSettings.DualScreen",
                  "DefaultSettings.XResolution", "DefaultSettings.YResolution", "DefaultSettings.VRefresh",
                  "DefaultSettings.BitsPerPel", "DefaultSettings.Contrast0", "DefaultSettings.Contrast1",
                  "DefaultSettings.GammaDataSource0", "DefaultSettings.GammaCorrectionTable0",
                  "DefaultSettings.GammaDataSource1", "DefaultSettings.GammaCorrectionTable1"}));
    const auto& s = vca::loadedSettings;
    EXPECT_EQ((std::vector<std::uint32_t>{s.XResolution, s.YResolution, s.VRefresh, s.BitsPerPel, s.DualScreen, s.Stereo}),
              (std::vector<std::uint32_t>{1024, 768, 60, 32, 0, 0}));
    EXPECT_EQ(vca::currentGamma[1].Contrast, 100);
    EXPECT_TRUE(vca::IsLinearTable(vca::currentGamma[0].table));
    EXPECT_EQ(vca::currentGamma[0].GammaValue, 100);
    EXPECT_EQ(host::OpenKeyCount(), 0);

    ASSERT_EQ(Reload(), 1);
    EXPECT_TRUE(host::RegistryJournal().empty()) << JournalNames().front();
    EXPECT_EQ(vca::loadedSettings.XResolution, 1024u);
}

TEST_F(LoadSettingsTest, StoredResolutionsFoldIntoDualScreenArrangements) {
    const struct { std::uint32_t width, height, dual, monitorAnswer, wantWidth, wantHeight, wantDual; bool dualRewritten; } cases[] = {
        {2560, 1024, 1, 17 | 0x10000, 1280, 1024, 1, false},
        {1280, 2048, 2, 17 | 0x10000, 1280, 1024, 2, false},
        {1024, 768, 0, 17, 1024, 768, 0, false},
        // The DualScreen check comes before the fold: the stored value is
        // corrected, yet the fold still sets side by side in memory.
        {2560, 1024, 1, 17, 1280, 1024, 1, true},
        {1280, 1024, 1, 17, 1280, 1024, 0, true},
    };
    for (const auto& c : cases) {
        host::ClearRegistry();
        UseBoard(c.monitorAnswer);
        Put(u"DefaultSettings.XResolution", c.width);
        Put(u"DefaultSettings.YResolution", c.height);
        Put(u"DefaultSettings.DualScreen", c.dual);
        ASSERT_EQ(Reload(), 1);
        const auto& s = vca::loadedSettings;
        EXPECT_EQ((std::vector<std::uint32_t>{s.XResolution, s.YResolution, s.DualScreen}),
                  (std::vector<std::uint32_t>{c.wantWidth, c.wantHeight, c.wantDual})) << c.width << "x" << c.height;
        // DualScreen may have been corrected; the stored resolution stands.
        EXPECT_EQ(Writes("DefaultSettings.DualScreen"), c.dualRewritten ? 1 : 0);
        EXPECT_EQ(Writes("DefaultSettings.XResolution"), 0);
    }
}

TEST_F(LoadSettingsTest, OutOfRangeValuesAreCorrectedAndWrittenBack) {
    struct Case { const char16_t* name; std::uint32_t stored; bool rewritten; } cases[] = {
        {u"DefaultSettings.Contrast1", 29, true},   {u"DefaultSettings.Contrast1", 101, true},
        {u"DefaultSettings.Contrast1", 30, false},  {u"DefaultSettings.Contrast0", 100, false},
        {u"DefaultSettings.VRefresh", 85, true},    {u"DefaultSettings.VRefresh", 60, false},
        {u"DefaultSettings.BitsPerPel", 24, true},  {u"DefaultSettings.DualScreen", 3, true},
        {u"DefaultSettings.Stereo", 1, false},      {u"DefaultSettings.GammaDataSource0", 4, true},
        {u"DefaultSettings.GammaDataSource1", 2, false},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Reload(), 1);  // a complete key to start from
        Put(c.name, c.stored);
        ASSERT_EQ(Reload(), 1);
        EXPECT_EQ(Writes(Utf8(c.name)), c.rewritten ? 1 : 0) << Utf8(c.name) << " = " << c.stored;
    }
    EXPECT_EQ(vca::loadedSettings.Stereo, 1u);
}

TEST_F(LoadSettingsTest, GammaValuesAndTablesAreCheckedWithoutRewritingTheSource) {
    ASSERT_EQ(Load(), 1);
    Put(u"DefaultSettings.GammaDataSource0", 1);
    Put(u"DefaultSettings.GammaValue0", 0);
    vca::GammaTable bad;
    vca::ComputeGammaTable(2.2, &bad);
    bad.header = 9;
    host::PutValue(kDriverKey, u"DefaultSettings.GammaCorrectionTable1",
                   platform::kRegBinary, std::vector<std::uint8_t>(reinterpret_cast<std::uint8_t*>(&bad),
                                                                   reinterpret_cast<std::uint8_t*>(&bad) + sizeof bad));
    Put(u"DefaultSettings.GammaDataSource1", 2);
    host::PutString(kDriverKey, u"DefaultSettings.GammaFile1", u"C:\\gamma\\warm.gc");

    ASSERT_EQ(Reload(), 1);
    EXPECT_EQ(vca::currentGamma[0].GammaDataSource, 1u);
    EXPECT_DOUBLE_EQ(vca::currentGamma[0].gamma, 1.0);
    EXPECT_EQ(vca::currentGamma[0].GammaValue, 100);
    EXPECT_EQ(vca::currentGamma[1].GammaDataSource, 3u) << "a bad table makes the source a table alone in memory";
    EXPECT_EQ(Utf8(vca::currentGamma[1].GammaFile), "C:\\gamma\\warm.gc");
    EXPECT_TRUE(vca::IsLinearTable(vca::currentGamma[1].table));
    EXPECT_EQ(JournalNames(), std::vector<std::string>{"DefaultSettings.GammaCorrectionTable1"});
    host::RegValue source;
    ASSERT_TRUE(host::GetValue(kDriverKey, u"DefaultSettings.GammaDataSource1", &source));
    EXPECT_EQ(source.data[0], 2);

    // A stored value is hundredths of the gamma.
    Put(u"DefaultSettings.GammaValue0", 220);
    ASSERT_EQ(Reload(), 1);
    EXPECT_DOUBLE_EQ(vca::currentGamma[0].gamma, 2.2);
    EXPECT_EQ(vca::currentGamma[0].GammaValue, 220);
}

// A stored Lumaris monitor on a board that reports a generic monitor gives
// way to a multi-sync entry, a generic one first.
TEST_F(LoadSettingsTest, TheStoredMonitorIsKeptWhenItFitsOrReplaced) {
    const std::string name47(47, 'L'), name48(48, 'L'), lumaris = "Norvane Lumaris Monitor";
    const std::string long47 = MakeDatabase(kModes, " { tag=LM desc=\"" + name47 + "\" }\n { tag=LM desc=\"" + name48 + "\" }\n");
    const std::string plainFirst = MakeDatabase(kModes, " { tag=MS desc=\"Plain multi-sync\" }\n");
    std::string noGeneric = plainFirst;
    noGeneric.replace(noGeneric.find("Generic multi-sync monitor"), 26, "Wide multi-sync");
    struct Case {
        std::string database, stored;
        std::uint32_t monitorAnswer;
        std::string description;
        std::uint32_t monitorCode;
    } cases[] = {
        {long47, name47, 20, name47, 20},
        {long47, name48, 20, "Generic multi-sync monitor", 17},
        {plainFirst, lumaris, 20, lumaris, 20},
        {plainFirst, lumaris, 17, "Generic multi-sync monitor", 17},  // the catalogue lists "Plain" first
        {noGeneric, lumaris, 17, "Plain multi-sync", 17},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        host::ClearRegistry();
        WriteDatabase(c.database);
        UseBoard(c.monitorAnswer);
        // As saving writes it: the characters and one terminating unit.
        std::vector<std::uint8_t> bytes;
        for (char ch : c.stored + '\0') bytes.insert(bytes.end(), {static_cast<std::uint8_t>(ch), 0});
        host::PutValue(kDriverKey, u"DefaultSettings.Description", platform::kRegMultiSz, bytes);
        host::PutString(kDriverKey, u"DefaultSettings.TagStr", u"LM", platform::kRegMultiSz);
        ASSERT_EQ(Reload(), 1);
        EXPECT_EQ(vca::boardIdentity.monitorCode, c.monitorCode);
        EXPECT_EQ(Utf8(vca::workingSettings.Description), c.description);
    }
}

// The driver records its numbers as REG_BINARY, the applet as REG_DWORD:
// four bytes of either are a number. Any other size or type, text without
// its terminator and values too long for their field read as missing.
TEST_F(LoadSettingsTest, OnlyWellFormedValuesAreRead) {
    const struct { const char* what; std::uint32_t type; std::size_t size; bool number; } numbers[] = {
        {"REG_DWORD of 4 bytes", platform::kRegDword, 4, true},  {"REG_BINARY of 4 bytes", platform::kRegBinary, 4, true},
        {"REG_BINARY of 2 bytes", platform::kRegBinary, 2, false}, {"REG_BINARY of 8 bytes", platform::kRegBinary, 8, false},
        {"REG_SZ of 4 bytes", platform::kRegSz, 4, false},
    };
    for (const auto& c : numbers) {
        SCOPED_TRACE(c.what);
        host::ClearRegistry();
        // The little-endian bytes of the number, cut or padded with zeros.
        auto put = [&](const char16_t* name, std::uint32_t value) {
            std::vector<std::uint8_t> bytes(c.size, 0);
            for (std::size_t i = 0; i < c.size && i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
            host::PutValue(kDriverKey, name, c.type, bytes);
        };
        put(u"DefaultSettings.XResolution", 640);
        put(u"DefaultSettings.YResolution", 480);
        put(u"DefaultSettings.Contrast0", 85);
        ASSERT_EQ(Reload(), 1);
        EXPECT_EQ((std::vector<std::int64_t>{vca::loadedSettings.XResolution, vca::loadedSettings.YResolution,
                                             vca::currentGamma[0].Contrast}),
                  (c.number ? std::vector<std::int64_t>{640, 480, 85} : std::vector<std::int64_t>{1024, 768, 100}));
        // What stands is not written back; what was missing is replaced.
        for (const char* name : {"DefaultSettings.XResolution", "DefaultSettings.YResolution", "DefaultSettings.Contrast0"})
            EXPECT_EQ(Writes(name), c.number ? 0 : 1) << name;
    }
}

// A write-back that fails ends the load at once, with nothing written after
// it; a read-only key loads when nothing needs correcting.
TEST_F(LoadSettingsTest, EachFailedWriteBackEndsTheLoadAtOnceAndAReadOnlyKeyLoadsWhenNothingNeedsIt) {
    ASSERT_EQ(Load(), 1);
    const std::size_t writes = host::RegistryJournal().size();
    for (std::size_t n = 1; n <= writes; ++n) {
        host::ClearRegistry();
        host::FailNthRegistryWrite(static_cast<int>(n));
        EXPECT_EQ(Reload(), -3) << "write " << n;
        EXPECT_EQ(host::RegistryJournal().size(), n) << "nothing after the failed write-back";
        EXPECT_EQ(host::OpenKeyCount(), 0);
    }

    ASSERT_EQ(Reload(), 1);
    host::SetKeyReadOnly(kDriverKey, true);
    ASSERT_EQ(Reload(), 1);
    EXPECT_TRUE(vca::readOnlySettings);
    vca::settingsToSave = vca::loadedSettings;
    EXPECT_EQ(vca::SaveDefaultSettings(vca::driverKeyPath), 1);
    EXPECT_TRUE(host::RegistryJournal().empty());

    Put(u"DefaultSettings.Contrast0", 5);
    EXPECT_EQ(Reload(), -3);
    EXPECT_EQ(host::OpenKeyCount(), 0);

    host::SetKeyUnopenable(kDriverKey, true);
    EXPECT_EQ(Reload(), -2);
}

TEST_F(LoadSettingsTest, WithoutAStoredModeTheResolutionIs1024x768OrTheFirstModeOrTheSafeMode) {
    const struct { std::string database; std::uint32_t width, height; } cases[] = {
        {MakeDatabase({{800, 600, 60}, {1280, 1024, 60}}), 800, 600},
        // Every record's horizontal frequency is outside the monitor's range.
        {MakeDatabase({{1024, 768, 60, false, 48}, {1280, 1024, 60, false, 64}}, "", "hfmin=30 hfmax=38"), 640, 480},
    };
    for (const auto& c : cases) {
        host::ClearRegistry();
        WriteDatabase(c.database);
        ASSERT_EQ(Reload(), 1);
        const auto& s = vca::loadedSettings;
        EXPECT_EQ((std::vector<std::uint32_t>{s.XResolution, s.YResolution, s.VRefresh, s.BitsPerPel}),
                  (std::vector<std::uint32_t>{c.width, c.height, 60, 32}));
    }
}

// Saving: the order of the writes, their types and byte lengths, and what a
// failure leaves written.
class SaveSettingsTest : public vcatest::MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        UseBoard(17 | 0x10000);
        WriteDatabase(MakeDatabase({{1280, 1024, 60}, {1280, 1024, 76}, {1280, 512, 120, true}}));
        ASSERT_EQ(Load(), 1);
        vca::settingsToSave = vca::loadedSettings;
        vca::savedGamma[0] = vca::currentGamma[0];
        vca::savedGamma[1] = vca::currentGamma[1];
        host::ClearRegistryJournal();
    }
};

// Gamma values only when changed; a stereo value stands where stereo rates exist.
TEST_F(SaveSettingsTest, WritesEveryValueInOrderWithItsTypeAndLength) {
    vca::settingsToSave.Stereo = 7;
    ASSERT_EQ(vca::SaveDefaultSettings(vca::driverKeyPath), 1);
    EXPECT_EQ(host::RegistryJournal().size(), 12u);
    EXPECT_EQ(vcatest::WordAt(host::RegistryJournal()[5].data, 0), 7u);

    host::ClearRegistryJournal();
    vca::settingsToSave.DualScreen = 1;
    vca::settingsToSave.Preference1 = 1;
    vca::settingsToSave.Preference4 = 4;
    vca::gammaChanged = true;
    vca::savedGamma[0].GammaDataSource = 1;
    vca::savedGamma[0].GammaValue = 220;
    vca::savedGamma[1].GammaDataSource = 2;
    vca::CopyText(vca::savedGamma[1].GammaFile, u"C:\\g.gc");
    ASSERT_EQ(vca::SaveDefaultSettings(vca::driverKeyPath), 1);

    struct Expect { std::string name; std::uint32_t type, bytes; } expected[] = {
        {"DefaultSettings.XResolution", 4, 4},  {"DefaultSettings.YResolution", 4, 4},
        {"DefaultSettings.BitsPerPel", 4, 4},   {"DefaultSettings.Contrast0", 4, 4},
        {"DefaultSettings.Contrast1", 4, 4},    {"DefaultSettings.Stereo", 4, 4},
        {"DefaultSettings.DualScreen", 4, 4},   {"DefaultSettings.Preferences", 4, 4},
        {"DefaultSettings.VRefresh", 4, 4},     {"DefaultSettings.Description", 7, 54},
        {"DefaultSettings.TagStr", 7, 130},     {"DefaultSettings.Interlaced", 4, 4},
        {"DefaultSettings.GammaDataSource0", 4, 4}, {"DefaultSettings.GammaValue0", 4, 4},
        {"DefaultSettings.GammaCorrectionTable0", 3, 1540}, {"DefaultSettings.GammaDataSource1", 4, 4},
        {"DefaultSettings.GammaFile1", 1, 400}, {"DefaultSettings.GammaCorrectionTable1", 3, 1540},
    };
    const auto& journal = host::RegistryJournal();
    ASSERT_EQ(journal.size(), std::size(expected));
    for (std::size_t i = 0; i < journal.size(); ++i) {
        EXPECT_EQ(Utf8(journal[i].name), expected[i].name);
        EXPECT_EQ(journal[i].type, expected[i].type) << expected[i].name;
        EXPECT_EQ(journal[i].data.size(), expected[i].bytes) << expected[i].name;
        EXPECT_EQ(journal[i].result, 0);
    }
    auto dword = [&](std::size_t i) { return vcatest::WordAt(journal[i].data, 0); };
    EXPECT_EQ(dword(0), 2560u) << "side by side stores the doubled width";
    EXPECT_EQ(dword(1), 1024u);
    EXPECT_EQ(dword(7), 5u);
    EXPECT_EQ(dword(13), 220u);
    EXPECT_EQ(journal[10].data[128], 0);
    EXPECT_EQ(journal[10].data[129], 0);
}

TEST_F(SaveSettingsTest, EachFailedWriteStopsTheSaveWithEarlierValuesWritten) {
    ASSERT_EQ(vca::SaveDefaultSettings(vca::driverKeyPath), 1);
    const std::size_t writes = host::RegistryJournal().size();
    for (std::size_t n = 1; n <= writes; ++n) {
        host::ClearRegistry();
        host::ClearRegistryJournal();
        host::FailNthRegistryWrite(static_cast<int>(n));
        EXPECT_EQ(vca::SaveDefaultSettings(vca::driverKeyPath), -4) << n;
        EXPECT_EQ(host::RegistryJournal().size(), n);
        EXPECT_EQ(host::KeyValues(kDriverKey).size(), n - 1);
        EXPECT_EQ(host::OpenKeyCount(), 0);
    }
    host::SetKeyReadOnly(kDriverKey, true);
    EXPECT_EQ(vca::SaveDefaultSettings(vca::driverKeyPath), -2);
}

// The hardware information texts, from identification and the driver key.
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
