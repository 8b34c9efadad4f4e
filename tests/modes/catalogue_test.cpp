// The monitor catalogue: name comparisons, the monitor choice with its
// multi-sync fallbacks and the built-in catalogue.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/app_state.h"
#include "applet/startup.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "modes/monitor_choice.h"
#include "support/applet_fixture.h"
#include "timingdb/database_loader.h"

namespace {

struct Monitor { std::u16string name, tagName; std::uint16_t tagIndex; };

class CatalogueTest : public vcatest::AppletTest {
protected:
    void SetUp() override {
        AppletTest::SetUp();
        vca::InitApplet(host::AppletModule());
    }
    void TearDown() override {
        vca::ResetCatalogueState();
        EXPECT_EQ(host::OutstandingAllocations(), 0);
        AppletTest::TearDown();
    }
    // A catalogue as loading makes it.
    static void Install(const std::vector<Monitor>& monitors) {
        vca::ResetCatalogueState();
        vca::monitorCatalogue = vca::AllocateCatalogue(vca::kCatalogueEntries);
        for (std::size_t i = 0; i < monitors.size(); ++i) {
            vca::MonitorEntry& entry = vca::monitorCatalogue[i];
            vca::CopyText(entry.name, monitors[i].name);
            vca::CopyText(entry.tagName, monitors[i].tagName);
            entry.tagIndex = monitors[i].tagIndex;
        }
    }
};

// Only A to Z fold, and the DDC monitor is named exactly: "é" is not "É",
// and "DDC monitor" is not the DDC monitor.
TEST(MonitorNames, OnlyAToZFoldAndTheDdcNameIsExact) {
    EXPECT_FALSE(vca::NamesEqual(u"\u00c9cran", u"\u00e9cran"));
    EXPECT_FALSE(vca::NamesEqual(u"Multi-sync", u"Multi-sync "));
    EXPECT_TRUE(vca::IsDdcMonitorName(u"DDC Monitor"));
    EXPECT_FALSE(vca::IsDdcMonitorName(u"DDC monitor"));
    EXPECT_FALSE(vca::NameContainsGeneric(u"Gener ic"));
}

TEST_F(CatalogueTest, ChoiceFollowsTheStoredNameOrTheMultiSyncFallbacks) {
    const std::vector<Monitor> mixed = {
        {u"Lumaris 21", u"LM", 1}, {u"Plain multi-sync", u"ms", 0}, {u"Any GENERIC screen", u"MS", 0}};
    struct Case {
        const char* what;
        std::vector<Monitor> catalogue;
        bool databaseFlag;
        std::u16string stored;
        // Expected:
        std::u16string name, tagStr, tagName;
        std::uint16_t tagIndex;
        std::uint32_t monitorCode;  // the driver reported 20
        bool loadedKept, invalid;
    } cases[] = {
        {"LM by name in another case", mixed, false, u"LUMARIS 21", u"LUMARIS 21", u"MS", u"LM", 1, 20, true, false},
        {"MS by name", mixed, false, u"plain MULTI-sync", u"plain MULTI-sync", u"MS", u"ms", 0, 17, true, false},
        {"unknown: the generic MS entry", mixed, false, u"Gone", u"Any GENERIC screen", u"MS", u"MS", 0, 17,
         false, false},
        {"empty: the generic MS entry", mixed, false, u"", u"Any GENERIC screen", u"MS", u"MS", 0, 17, false, false},
        {"no generic: the first MS entry",
         {{u"Lumaris 21", u"LM", 1}, {u"First MS", u"MS", 0}, {u"Second MS", u"MS", 2}}, false, u"Gone",
         u"First MS", u"MS", u"MS", 0, 17, false, false},
        {"scans stop at an unnamed entry",
         {{u"Plain", u"MS", 0}, {u"", u"MS", 0}, {u"Generic", u"MS", 0}, {u"Hidden", u"LM", 1}}, false, u"Hidden",
         u"Plain", u"MS", u"MS", 0, 17, false, false},
        {"no MS entry: the first entry", {{u"Lumaris 21", u"LM", 1}, {u"Other", u"XY", 2}}, false, u"Gone",
         u"Lumaris 21", u"LM", u"LM", 1, 17, false, false},
        {"no named entry: the built-in catalogue", {{u"", u"MS", 0}, {u"Generic", u"MS", 0}}, false, u"Generic",
         u"Multi-sync Monitor", u"MS", u"MS", 0, 17, false, true},
        {"unusable database: built-in, unknown name", mixed, true, u"Lumaris 21", u"Multi-sync Monitor", u"MS",
         u"MS", 0, 17, false, true},
        {"unusable database: built-in, by name", mixed, true, u"norvane LUMARIS monitor",
         u"norvane LUMARIS monitor", u"MS", u"LM", 1, 20, true, true},
    };
    for (const auto& c : cases) {
        Install(c.catalogue);
        vca::databaseInvalid = c.databaseFlag;
        vca::boardIdentity.monitorCode = 20;
        vca::CopyText(vca::workingSettings.Description, c.stored);
        vca::CopyText(vca::loadedSettings.Description, c.stored);
        vca::CopyText(vca::workingSettings.TagStr, u"LM");

        vca::ChosenTag chosen{};
        ASSERT_EQ(vca::ChooseMonitor(&chosen), 1) << c.what;
        EXPECT_EQ(std::u16string(vca::workingSettings.Description), c.name) << c.what;
        EXPECT_EQ(std::u16string(vca::workingSettings.TagStr), c.tagStr) << c.what;
        EXPECT_EQ(std::u16string(chosen.tagName), c.tagName) << c.what;
        EXPECT_EQ(chosen.tagIndex, c.tagIndex) << c.what;
        EXPECT_EQ(vca::boardIdentity.monitorCode, c.monitorCode) << c.what;
        EXPECT_EQ(std::u16string(vca::loadedSettings.Description), c.loadedKept ? c.stored : u"") << c.what;
        EXPECT_EQ(vca::databaseInvalid, c.invalid) << c.what;
        EXPECT_TRUE(host::MessageBoxes().empty()) << c.what;

        // The choice always leaves a name that the current entry lookup finds.
        vca::MonitorEntry current;
        vca::GetCurrentMonitorEntry(&current);
        EXPECT_TRUE(vca::NamesEqual(current.name, c.name.c_str())) << c.what;
        EXPECT_EQ(std::u16string(current.tagName), c.tagName) << c.what;
        vca::databaseInvalid = false;
    }
}

}  // namespace
