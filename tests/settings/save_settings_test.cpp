// Saving: the order of the writes, their types and byte lengths, and what a
// failure leaves written.
#include <gtest/gtest.h>

#include "base/text.h"
#include "gamma/gamma_table.h"
#include "modes/mode_table.h"
#include "settings/default_settings.h"
#include "base/app_state.h"
#include "support/machine_fixture.h"

namespace {

using vcatest::kDriverKey;
using vcatest::MakeDatabase;
using vcatest::Utf8;

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

TEST_F(SaveSettingsTest, WritesEveryValueInOrderWithItsTypeAndLength) {
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

TEST_F(SaveSettingsTest, StereoFollowsTheTableAndGammaOnlyWhenChanged) {
    vca::settingsToSave.Stereo = 7;
    ASSERT_EQ(vca::SaveDefaultSettings(vca::driverKeyPath), 1);
    EXPECT_EQ(host::RegistryJournal().size(), 12u);
    EXPECT_EQ(vcatest::WordAt(host::RegistryJournal()[5].data, 0), 7u) << "stereo rates exist: the value stands";
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

}  // namespace
