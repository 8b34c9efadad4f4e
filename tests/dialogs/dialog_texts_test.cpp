// Texts the secondary dialogs show: the monitor timings' lines and
// identification fields, and the confirmation's list of settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app_state.h"
#include "applet/startup.h"
#include "dialogs/confirmation_text.h"
#include "driver/edid_identity.h"
#include "driver/monitor_identification.h"
#include "modes/mode_building.h"
#include "modes/timing_lines.h"
#include "support/applet_fixture.h"

namespace {

using vcatest::Utf8;

class DialogTextsTest : public vcatest::AppletTest {
protected:
    void SetUp() override {
        AppletTest::SetUp();
        vca::InitApplet(host::AppletModule());
    }
};

TEST_F(DialogTextsTest, TimingLinesListEveryRateOfEveryEntryInOrder) {
    host::OverrideString(0x0409, 10, u"pixels");
    host::OverrideString(0x0409, 44, u"True Color");
    host::OverrideString(0x0409, 11, u"Hz");
    const vca::TimingLineWords words = vca::LoadTimingLineWords();

    std::uint32_t large[] = {60, 75, 0};
    std::uint32_t small[] = {60, 72, 75, 85, 0};  // longer than the longest list counted
    std::uint32_t orphan[] = {60, 0};
    vca::ModeEntry entries[4] = {};
    entries[0].width = 1280, entries[0].height = 1024, entries[0].monoRates = large;
    entries[1].width = 0, entries[1].height = 480, entries[1].monoRates = orphan;  // adds nothing
    entries[2].width = 640, entries[2].height = 480, entries[2].monoRates = small;
    entries[3].width = 10000, entries[3].height = 8000, entries[3].monoRates = large;  // not counted

    const std::vector<std::u16string> lines = vca::TimingLines(entries, 3, 3, words);
    std::vector<std::string> text;
    for (const auto& line : lines) text.push_back(Utf8(line));
    EXPECT_EQ(text, (std::vector<std::string>{
                        "1280 x 1024 pixels, True Color, 60 Hz",
                        "1280 x 1024 pixels, True Color, 75 Hz",
                        " 640 x  480 pixels, True Color, 60 Hz",
                        " 640 x  480 pixels, True Color, 72 Hz",
                        " 640 x  480 pixels, True Color, 75 Hz",
                    }));

    // The DDC copy is listed over the entries it had when it was taken, not
    // over the entries a view counts later; without a copy nothing is listed.
    EXPECT_TRUE(vca::DdcTimingLines(words).empty());
    ASSERT_TRUE(vca::InstallModeTable(2));
    for (std::uint32_t i = 0; i <= 2; ++i) vca::modeTable[i].monoRates = vca::AllocateRateList(3);
    vca::modeTable[0].width = 800, vca::modeTable[0].height = 600, vca::modeTable[0].monoRates[0] = 75;
    vca::modeTable[1].width = 1024, vca::modeTable[1].height = 768, vca::modeTable[1].monoRates[0] = 60;
    vca::modeTable[1].monoRates[1] = 70;
    ASSERT_TRUE(vca::CopyDdcFullRates(2));
    vca::maxRateCount = 2;
    vca::modeCount = 1;
    EXPECT_EQ(vca::DdcTimingLines(words).size(), 3u);
    vca::ReleaseAllTables();
    EXPECT_TRUE(vca::DdcTimingLines(words).empty());
}

TEST_F(DialogTextsTest, ConfirmationListsTheSettingsThatHoldInOrder) {
    host::OverrideString(0x0409, 27, u"two screens");
    host::OverrideString(0x0409, 24, u"wide");
    host::OverrideString(0x0409, 25, u"stereo");
    host::OverrideString(0x0409, 33, u"16 bits");
    struct Case {
        std::uint32_t dualScreen;
        vca::ConfirmationFlags flags;  // wide, stereo, low depth
        const char* expected;
    } cases[] = {
        {1, {false, false, true}, "two screens, 16 bits"},
        {2, {true, true, true}, "two screens, wide, stereo, 16 bits"},
        {0, {false, true, false}, "stereo"},
        {0, {false, false, false}, ""},
    };
    for (const Case& c : cases) {
        vca::DisplaySettings toSave{};
        toSave.DualScreen = c.dualScreen;
        EXPECT_EQ(Utf8(vca::ConfirmationListText(toSave, c.flags)), c.expected) << c.expected;
    }

    // Each item is loaded with room for 64 units.
    host::OverrideString(0x0409, 25, std::u16string(100, u's'));
    vca::DisplaySettings single{};
    EXPECT_EQ(vca::ConfirmationListText(single, {false, true, false}), std::u16string(63, u's'));
}

}  // namespace
