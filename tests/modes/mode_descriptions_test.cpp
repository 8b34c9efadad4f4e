// The described modes of the active view: lines per rate and arrangement,
// fixed refresh rates, a colour text longer than a line, and no memory.
#include <gtest/gtest.h>

#include "base/app_state.h"
#include "applet/startup.h"
#include "driver/board_identity.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_table.h"
#include "modes/mode_views.h"
#include "support/applet_fixture.h"

namespace {

std::uint32_t rates640[] = {60, 72, 0};
std::uint32_t rates1024[] = {60, 0};
std::uint32_t noRates[] = {0};

// "<text>|<stored width>x<height>|<refresh>|<arrangement>" per line.
std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    for (std::uint32_t i = 0; i < vca::modeDescriptionCount; ++i) {
        const vca::ModeDescription& d = vca::modeDescriptions[i];
        lines.push_back(vcatest::Utf8(d.text) + "|" + std::to_string(d.width) + "x" + std::to_string(d.height) + "|" +
                        std::to_string(d.refresh) + "|" + std::to_string(d.arrangement));
    }
    return lines;
}

class ModeDescriptionsTest : public vcatest::AppletTest {
protected:
    void SetUp() override {
        AppletTest::SetUp();
        vca::InitApplet(host::AppletModule());
    }
    void TearDown() override {
        vca::ReleaseModeDescriptions();
        EXPECT_EQ(host::OutstandingAllocations(), 0);
        AppletTest::TearDown();
    }
    // 640 x 480 at {60, 72}, optionally 800 x 600 without rates, 1024 x 768 at {60}.
    void Describe(bool withEmptyEntry) {
        view_ = {{0, 640, 480, 32, rates640, {}}};
        if (withEmptyEntry) view_.push_back({0, 800, 600, 32, noRates, {}});
        view_.push_back({0, 1024, 768, 32, rates1024, {}});
        view_.push_back({0, 0, 0, 0, noRates, {}});
        vca::activeView = view_.data();
        vca::modeCount = vca::CountViewEntries();
        vca::maxRateCount = 2;
        vca::descriptionsValid = true;
        vca::BuildModeDescriptions();
    }
    std::vector<vca::ModeViewEntry> view_;
};

TEST_F(ModeDescriptionsTest, OneLinePerRateAndArrangement) {
    const std::string c = ", 32-bit True Color";
    const std::vector<std::string> single = {"640 x 480" + c + ", 60 Hz.|640x480|60|0",
                                             "640 x 480" + c + ", 72 Hz.|640x480|72|0",
                                             "1024 x 768" + c + ", 60 Hz.|1024x768|60|0"};
    std::vector<std::string> dual = single;
    dual.insert(dual.end(), {"1280 x 480" + c + ", 60 Hz.|640x480|60|1", "1280 x 480" + c + ", 72 Hz.|640x480|72|1",
                             "2048 x 768" + c + ", 60 Hz.|1024x768|60|1", "640 x 960" + c + ", 60 Hz.|640x480|60|2",
                             "640 x 960" + c + ", 72 Hz.|640x480|72|2", "1024 x 1536" + c + ", 60 Hz.|1024x768|60|2"});
    struct Case {
        const char* what;
        std::uint32_t secondScreen;
        bool driverAbsent, emptyEntry;
        std::uint32_t fixedRefresh;
        std::vector<std::string> lines;
    } cases[] = {
        {"one screen", 0, false, false, 0, single},
        {"an entry without rates gives no line", 0, false, true, 0, single},
        {"second screen", vca::kSecondScreenBit, false, false, 0, dual},
        {"no driver", 0, true, true, 0, dual},
        {"fixed refresh", 0, false, true, 1,
         {"640 x 480" + c + "|640x480|0|0", "800 x 600" + c + "|800x600|0|0", "1024 x 768" + c + "|1024x768|0|0"}},
    };
    for (const auto& k : cases) {
        vca::boardIdentity.secondScreen = k.secondScreen;
        vca::driverAbsent = k.driverAbsent;
        vca::fixedRefresh = k.fixedRefresh;
        Describe(k.emptyEntry);
        EXPECT_TRUE(vca::descriptionsValid) << k.what;
        EXPECT_EQ(Lines(), k.lines) << k.what;
    }
}

TEST_F(ModeDescriptionsTest, ALongColourTextIsCutWithTheLineAndNoMemoryMeansNoLines) {
    host::OverrideString(0x409, 44, std::u16string(200, u'x'));
    Describe(false);
    ASSERT_EQ(vca::modeDescriptionCount, 3u);
    EXPECT_EQ(vcatest::Utf8(vca::modeDescriptions[0].text), "640 x 480, " + std::string(48, 'x'));

    host::FailNthAllocation(1);
    Describe(false);
    EXPECT_FALSE(vca::descriptionsValid);
    EXPECT_EQ(vca::modeDescriptionCount, 0u);
    EXPECT_TRUE(host::MessageBoxes().empty());
}

}  // namespace
