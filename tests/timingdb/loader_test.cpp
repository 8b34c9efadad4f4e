// Loading revid.dat: the message of every failure and running out of
// memory, the two flags, and the monitor catalogue.
#include <vector>

#include "applet/reset.h"
#include "applet/startup.h"
#include "base/app_state.h"
#include "timingdb/monitor_catalogue.h"
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
        AppletTest::TearDown();
        EXPECT_EQ(host::OutstandingAllocations(), 0);
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
    // Name, tag, tag index and every limit given, the last block first.
    std::vector<std::string> entries;
    for (const vca::MonitorEntry* e = vca::monitorCatalogue; e->name[0] != u'\0'; ++e) {
        std::string& entry = entries.emplace_back(Utf8(e->name) + "|" + Utf8(e->tagName) + "|" + std::to_string(e->tagIndex));
        for (int l = 0; l < vca::kLimitCount; ++l)
            if (e->limits[l] != 0.0) entry += "|" + std::string(vca::kLimitNames[l]) + "=" + std::to_string(e->limits[l]);
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"Third|MS|0|vs%max=10.000000|vs%min=2.000000",
                                                 "Caf\u00e9 monitor|LM|1|vfmin=50.000000|vsmax=0.250000",
                                                 "First generic|MS|0|hfmax=80.000000|hfmin=30.000000"}));
    // Text, three monitor blocks and the catalogue.
    EXPECT_EQ(host::OutstandingAllocations(), 5);
}

}  // namespace
