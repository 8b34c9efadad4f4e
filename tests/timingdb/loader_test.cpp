// Loading revid.dat: the message of every failure and running out of
// memory, the two flags, and the monitor catalogue.
#include <vector>

#include "applet/reset.h"
#include "applet/startup.h"
#include "base/app_state.h"
#include "modes/monitor_catalogue.h"
#include "reader_support.h"
#include "support/applet_fixture.h"
#include "timingdb/database_loader.h"

namespace {

using vcatest::Utf8;

const std::string kPath = "C:\\WINDOWS\\system32\\revid.dat";

class LoaderTest : public vcatest::AppletTest {
protected:
    void Prepare(const std::string& text) {
        vca::ResetAppletState();
        host::Reset();
        host::MapDriveC(drive.root());
        vca::InitApplet(host::AppletModule());
        drive.WriteFile("WINDOWS/system32/revid.dat", text);
    }
    void TearDown() override {
        vca::ResetAppletState();
        EXPECT_EQ(host::OutstandingAllocations(), 0);
        AppletTest::TearDown();
    }
    vcatest::TempDrive drive;
};

TEST_F(LoaderTest, EveryFailureShowsOneComposedMessageAndSetsOneFlag) {
    const std::string cannotUse = "Cannot use the timing database " + kPath + ". The error is on line ";
    const std::string outOfMemory = "There is not enough memory to continue. The Video Configuration applet will close.";
    const std::string good = "version 1\ndisplay { { tag=MS desc=\"Only\" } }\n";
    const struct {
        const char* what;
        bool noFile, noSize;
        std::string text;
        int failingAllocation;  // 1 the text, 2 the monitor block, 3 the catalogue
        int result;
        std::string message;
        bool unreadable, invalid;
    } cases[] = {
        {"missing file", true, false, "", 0, 1, "Cannot open the timing database " + kPath +
         ". The built-in monitor list and a single 640 x 480 mode will be used.", true, false},
        {"size not available", false, true, "", 0, 1, "Cannot find out the size of the timing database " + kPath + ".",
         true, false},
        {"empty file", false, false, "", 0, 1, cannotUse + "1.", false, true},
        {"syntax error on line 4", false, false, "version 3\ndisplay {\n { tag=a desc=\"x\"\n   hfmax = 80 }\n}\n", 0,
         1, cannotUse + "4.", false, true},
        {"inconsistent limit pair", false, false, "version 3\ndisplay {\n { tag=a desc=\"x\"\n hfmax=60 hfmin=60\n }\n}\n",
         0, 1, "Cannot use the timing database " + kPath + ".  The error is on line 5.  A monitor block gives a "
         "maximum limit that is not greater than its minimum.", false, true},
        {"no memory for the text", false, false, good, 1, -1, outOfMemory, false, false},
        {"no memory for a monitor block: a parse error", false, false, good, 2, 1, cannotUse + "2.", false, true},
        {"no memory for the catalogue", false, false, good, 3, -1, outOfMemory, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Prepare(c.text);
        host::FailFileOpen(c.noFile);
        host::FailFileSize(c.noSize);
        host::FailNthAllocation(c.failingAllocation);
        vca::mainDialog = 0x4242;

        EXPECT_EQ(vca::LoadTimingDatabase(), c.result);
        ASSERT_EQ(host::MessageBoxes().size(), 1u);
        const auto& box = host::MessageBoxes()[0];
        EXPECT_EQ(Utf8(box.text), c.message);
        EXPECT_EQ(Utf8(box.caption), "Norvane Video Configuration");
        // Information owned by the main dialog; running out of memory stops.
        EXPECT_EQ(box.type, c.result == 1 ? 64u : 16u);
        EXPECT_EQ(vca::databaseUnreadable, c.unreadable);
        EXPECT_EQ(vca::databaseInvalid, c.invalid);
        EXPECT_EQ(vca::monitorCatalogue, nullptr);
        if (c.result == 1) {
            EXPECT_EQ(box.owner, 0x4242u);
            // The text of a file that was read stays loaded, parsed or not.
            EXPECT_EQ(vca::timingText != nullptr, !c.unreadable);
        }
    }
}

TEST_F(LoaderTest, CatalogueHoldsTheLastBlockFirstAndASecondLoadReplacesIt) {
    Prepare("version 1\ndisplay {\n}\n");
    ASSERT_EQ(vca::LoadTimingDatabase(), 1);
    ASSERT_TRUE(vca::databaseInvalid);
    // The second monitor's name holds an e acute in the ANSI code page.
    drive.WriteFile("WINDOWS/system32/revid.dat", timingtest::ReadFile("three-monitors.dat"));
    ASSERT_EQ(vca::LoadTimingDatabase(), 1);
    EXPECT_EQ(host::MessageBoxes().size(), 1u) << "only the first load's";
    EXPECT_FALSE(vca::databaseUnreadable || vca::databaseInvalid);
    ASSERT_NE(vca::monitorCatalogue, nullptr);
    const struct {
        std::u16string name, tagName;
        std::uint16_t tagIndex;
        std::vector<std::pair<int, double>> limits;  // every other limit is 0
    } expected[] = {
        {u"Third", u"MS", 0, {{vca::kVsPctMax, 10}, {vca::kVsPctMin, 2}}},
        {u"Caf\u00e9 monitor", u"LM", 1, {{vca::kVfMin, 50}, {vca::kVsMax, 0.25}}},
        {u"First generic", u"MS", 0, {{vca::kHfMax, 80}, {vca::kHfMin, 30}}},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        const vca::MonitorEntry& entry = vca::monitorCatalogue[i];
        EXPECT_EQ(std::u16string(entry.name), expected[i].name) << i;
        EXPECT_EQ(std::u16string(entry.tagName), expected[i].tagName) << i;
        EXPECT_EQ(entry.tagIndex, expected[i].tagIndex) << i;
        std::vector<double> limits(vca::kLimitCount);
        for (const auto& [index, value] : expected[i].limits) limits[index] = value;
        EXPECT_EQ(std::vector<double>(entry.limits, entry.limits + vca::kLimitCount), limits) << i;
    }
    EXPECT_EQ(vca::monitorCatalogue[3].name[0], u'\0');
    // Text, three monitor blocks and the catalogue.
    EXPECT_EQ(host::OutstandingAllocations(), 5);
}

}  // namespace
