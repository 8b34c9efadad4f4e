// Loading revid.dat, and timing validation: the board's geometry and pixel
// clock tests, the driver's limits in the registry, and the compaction of
// the accepted entries. (The monitor limits are checked by the reader tests.)
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "applet/reset.h"
#include "applet/startup.h"
#include "base/app_state.h"
#include "base/text.h"
#include "driver/board_identity.h"
#include "timingdb/database_loader.h"
#include "timingdb/monitor_catalogue.h"
#include "support/applet_fixture.h"
#include "timingdb/timing_validation.h"

namespace {

using T = vca::TimingTest;
using ValidationTest = vcatest::AppletTest;

// A "timing" record's nine values: MHz, horizontal total, active, sync,
// front porch; vertical total, active, sync, front porch.
vca::TimingCandidate Timing(double pixelClock, std::uint32_t hTotal, std::uint32_t hActive, std::uint32_t hSync,
                            std::uint32_t hFrontPorch, double vTotal, std::uint32_t vActive, std::uint32_t vSync,
                            double vFrontPorch, std::uint32_t flags = 0) {
    return {pixelClock, hTotal, hActive, hSync, hFrontPorch, vTotal, vActive, vSync, vFrontPorch, 0, flags,
            vca::kTypeTiming, 0, 0, nullptr};
}

// 1280 x 1024 at 75 Hz: 135 MHz, 1688 x 1066.
vca::TimingCandidate Sxga() { return Timing(135.0, 1688, 1280, 144, 16, 1066.0, 1024, 3, 1.0); }

TEST(TimingBoardTests, GeometryClockAndUndefinedTimingsDecideInOrder) {
    const vca::BoardTimingLimits none{0, 0, 0, 0};
    const vca::TimingCandidate vga = Timing(25.175, 800, 640, 96, 16, 525.0, 480, 2, 10.0);
    struct Case {
        const char* what;
        vca::TimingCandidate candidate;
        vca::BoardTimingLimits board;
        std::uint16_t granularity;
        vca::TimingTest test, narrowTest;
    } cases[] = {
        {"1280 wide: 5120 narrow tiles, 4096 wide", Sxga(), none, 4, T::kAccepted, T::kTileCount},
        {"narrow clock limit ignored on the wide width", Sxga(), {0, 0, 100, 0}, 4, T::kAccepted, T::kTileCount},
        {"board clock limit applies", Sxga(), {0, 100, 0, 0}, 4, T::kMaxPcFreq1020, T::kTileCount},
        {"board clock limit inclusive", Sxga(), {0, 135, 0, 0}, 4, T::kAccepted, T::kTileCount},
        {"granularity 8: narrow width fits", Sxga(), {0, 0, 100, 0}, 8, T::kAccepted, T::kMaxPcFreq1280},
        {"1800 wide, granularity 4", Timing(120.0, 2200, 1800, 100, 50, 500.0, 480, 3, 1.0), none, 4,
         T::kTileColumns, T::kTileColumns},
        {"1282 wide, granularity 4", Timing(100.0, 1600, 1282, 8, 8, 700.0, 600, 3, 1.0), none, 4,
         T::kGranularity, T::kGranularity},
        {"2056 wide", Timing(100.0, 2200, 2056, 8, 8, 20.0, 8, 3, 1.0), none, 8, T::kWidth, T::kWidth},
        {"2056 lines", Timing(100.0, 100, 8, 8, 8, 2000.0, 2056, 3, 1.0), none, 8, T::kFrameLines, T::kFrameLines},
        {"interlaced 600 lines, field total 1025",
         Timing(65.0, 1344, 1024, 136, 24, 1025.0, 600, 3, 1.0, vca::TF_INTERLACED), none, 8,
         T::kVerticalTotal, T::kVerticalTotal},
        {"the same not interlaced", Timing(65.0, 1344, 1024, 136, 24, 1025.0, 600, 3, 1.0), none, 8,
         T::kAccepted, T::kAccepted},
        {"synthesiser limit off by bit 0x08", Sxga(), {0x08, 0, 0, 100}, 4, T::kAccepted, T::kTileCount},
        {"synthesiser limit on with flags 1", Sxga(), {1, 0, 0, 100}, 4, T::kSynthesiser, T::kAccepted},
        {"synthesiser limit off by flags 0", Sxga(), {0, 0, 0, 100}, 4, T::kAccepted, T::kTileCount},
        {"fss", Timing(25.175, 800, 640, 96, 16, 525.0, 480, 2, 10.0, vca::TF_FSS), none, 8, T::kFss, T::kAccepted},
        {"granularity 0", vga, none, 0, T::kNoGranularity, T::kNoGranularity},
        {"pixel clock 0", Timing(0.0, 800, 640, 96, 16, 525.0, 480, 2, 10.0), none, 8, T::kUndefined, T::kAccepted},
        {"refresh beyond 16 bits", Timing(1000.0, 10, 8, 1, 1, 1.0, 1, 0, 0.0), none, 4, T::kRefreshRange,
         T::kAccepted},
    };
    for (const auto& c : cases) {
        const vca::TimingVerdict verdict = vca::CheckTiming(c.candidate, c.board, c.granularity, {});
        EXPECT_EQ(verdict.test, c.test) << c.what << ": " << vca::TimingTestName(verdict.test);
        EXPECT_EQ(verdict.narrowTest, c.narrowTest) << c.what << ": " << vca::TimingTestName(verdict.narrowTest);
    }

    // The refresh rounds to the nearest whole rate (59.94 Hz to 60); a
    // rejection says what it measured against which bound.
    const vca::TimingVerdict rounded = vca::CheckTiming(vga, none, 4, {});
    const vca::TimingVerdict tiles = vca::CheckTiming(Sxga(), none, 2, {});  // 64 x 128 tiles of 20 pixels
    EXPECT_EQ(std::make_tuple(rounded.refresh, tiles.test, tiles.quantity, tiles.limit),
              std::make_tuple(std::uint16_t{60}, T::kTileCount, 8192.0, 4096.0));
}

// The driver's key with its four pixel clock limits, and the applet's
// resources for the message about them.
void PutLimits(std::uint32_t flags, std::uint32_t max1020, std::uint32_t max1280, std::uint32_t vco) {
    vca::InitApplet(host::AppletModule());
    host::PutDword(vca::kDriverKeyPath, u"V3UZFlags0", flags);
    host::PutDword(vca::kDriverKeyPath, u"V3UZMaxPcFreq1020", max1020);
    host::PutDword(vca::kDriverKeyPath, u"V3UZMaxPcFreq1280", max1280);
    host::PutDword(vca::kDriverKeyPath, u"V3UZMaxPcPllVcoFreq0", vco);
}

// A limit that cannot be read counts as 0 (no limit), and message 1208 is
// shown once however many there are.
TEST_F(ValidationTest, DriverLimitsComeFromItsKey) {
    const struct {
        const char* what;
        bool unopenable;
        const char16_t *missing, *tooLong;  // a value of 8 bytes
        std::vector<std::uint32_t> expected;
    } cases[] = {
        {"every limit readable", false, nullptr, nullptr, {1, 200, 150, 100}},
        {"flags missing and a limit too long", false, u"V3UZFlags0", u"V3UZMaxPcPllVcoFreq0", {0, 200, 150, 0}},
        {"key unopenable", true, nullptr, nullptr, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host::Reset();
        vca::mainDialog = 0x99;
        PutLimits(1, 200, 150, 100);
        if (c.missing) host::DeleteValue(vca::kDriverKeyPath, c.missing);
        if (c.tooLong) host::PutValue(vca::kDriverKeyPath, c.tooLong, platform::kRegBinary, std::vector<std::uint8_t>(8, 1));
        host::SetKeyUnopenable(vca::kDriverKeyPath, c.unopenable);
        const vca::BoardTimingLimits limits = vca::ReadBoardTimingLimits();
        EXPECT_EQ((std::vector<std::uint32_t>{limits.flags, limits.maxPcFreq1020, limits.maxPcFreq1280,
                                              limits.maxPcPllVcoFreq}),
                  c.expected);
        ASSERT_EQ(host::MessageBoxes().size(), c.missing || c.tooLong || c.unopenable ? 1u : 0u);
        for (const auto& box : host::MessageBoxes()) {
            EXPECT_EQ(vcatest::Utf8(box.text), "The pixel clock limits of the display driver cannot be read from the "
                                               "registry. Timings are checked without them.");
            EXPECT_EQ(std::make_pair(box.type, box.owner), std::make_pair(64u, platform::Window{0x99}));
        }
        EXPECT_EQ(host::OpenKeyCount(), 0);
    }
}

auto Fields(const vca::TimingEntry& e) {
    return std::make_tuple(e.tag, e.type, e.xres, e.yres, e.refresh, e.hfreq, e.monid, e.flags, e.line, e.data);
}

// The accepted candidates are compacted with the mode the validation found
// and every field copied; the slots after them stay as they were.
TEST_F(ValidationTest, AcceptedCandidatesAreCompactedWithTheirMode) {
    PutLimits(1, 0, 0, 100);
    vca::boardIdentity.pixelGranularity = 4;
    vca::monitorCatalogue = vca::AllocateCatalogue(vca::kCatalogueEntries);
    vca::CopyText(vca::monitorCatalogue[0].name, u"Chosen");
    vca::monitorCatalogue[0].limits[vca::kHfMin] = 30.0;
    vca::CopyText(vca::workingSettings.Description, u"chosen");
    const char* data = "{\n";
    std::vector<vca::TimingCandidate> candidates = {
        Sxga(),                                                                     // 135 MHz: above 100
        Timing(65.0, 1344, 1024, 136, 24, 403.0, 384, 3, 1.5, vca::TF_INTERLACED),  // 1024 x 768 interlaced
        Timing(20.0, 800, 640, 96, 16, 525.0, 480, 2, 10.0),  // 25 kHz, below hfmin
        Timing(40.0, 1056, 800, 128, 40, 628.0, 600, 4, 1.0, vca::TF_MONID),
    };
    std::vector<vca::TimingEntry> entries(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        candidates[i].tag = static_cast<std::uint16_t>(i);
        candidates[i].monid = static_cast<std::uint32_t>(10 + i);
        candidates[i].hfreq = static_cast<std::uint16_t>(20 + i);
        candidates[i].data = data + (i % 2);
        entries[i].line = static_cast<std::uint16_t>(100 + i);
    }
    ASSERT_EQ(vca::ValidateTimings(4, candidates.data(), entries.data()), 2u);
    const vca::TimingCandidate &first = candidates[1], &second = candidates[3];
    const vca::TimingEntry expected[] = {
        {first.tag, first.type, 1024, 768, 120, first.hfreq, first.monid, first.flags, 100, first.data},
        {second.tag, second.type, 800, 600, 60, second.hfreq, second.monid, second.flags, 101, second.data},
        {0, 0, 0, 0, 0, 0, 0, 0, 102, nullptr},
        {0, 0, 0, 0, 0, 0, 0, 0, 103, nullptr},
    };
    for (std::size_t slot = 0; slot < entries.size(); ++slot) EXPECT_EQ(Fields(entries[slot]), Fields(expected[slot])) << slot;
    EXPECT_TRUE(host::MessageBoxes().empty());
}

// Loading revid.dat: the message of every failure and running out of
// memory, the two flags, and the monitor catalogue.
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
        EXPECT_EQ(vcatest::Utf8(box.text), c.message);
        EXPECT_EQ(vcatest::Utf8(box.caption), "Norvane Video Configuration");
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

// The catalogue, from a drive in a folder or held in memory (the start-up
// fuzz target's). A memory drive reads as a folder does: names without
// regard to case, folders as the files' parents, no way out of the drive,
// and nothing created on it.
TEST_F(LoaderTest, CatalogueHoldsTheLastBlockFirstAndASecondLoadReplacesItOnEitherDrive) {
    // The second monitor's name holds an e acute in the ANSI code page.
    const std::string text = vcatest::ReadFileBytes(vcatest::SourcePath("tests/data/timingdb/three-monitors.dat"));
    auto memory = std::make_shared<host::MemoryDrive>();
    memory->AddFile(u"\\windows\\SYSTEM32\\Revid.dat", text);
    for (bool inMemory : {false, true}) {
        SCOPED_TRACE(inMemory ? "drive in memory" : "drive in a folder");
        Prepare("version 1\ndisplay {\n}\n");
        ASSERT_EQ(vca::LoadTimingDatabase(), 1);
        ASSERT_TRUE(vca::databaseInvalid);
        if (inMemory) host::MapDriveCInMemory(memory);
        else drive.WriteFile("WINDOWS/system32/revid.dat", text);
        ASSERT_EQ(vca::LoadTimingDatabase(), 1);
        EXPECT_EQ(host::MessageBoxes().size(), 1u) << "only the first load's";
        EXPECT_FALSE(vca::databaseUnreadable || vca::databaseInvalid);
        ASSERT_NE(vca::monitorCatalogue, nullptr);
        // Name, tag, tag index and every limit given, the last block first.
        std::vector<std::string> entries;
        for (const vca::MonitorEntry* e = vca::monitorCatalogue; e->name[0] != u'\0'; ++e) {
            std::string& entry = entries.emplace_back(vcatest::Utf8(e->name) + "|" + vcatest::Utf8(e->tagName) + "|" +
                                                      std::to_string(e->tagIndex));
            for (int l = 0; l < vca::kLimitCount; ++l)
                if (e->limits[l] != 0.0)
                    entry += "|" + std::string(vca::kLimitNames[l]) + "=" + std::to_string(e->limits[l]);
        }
        EXPECT_EQ(entries, (std::vector<std::string>{"Third|MS|0|vs%max=10.000000|vs%min=2.000000",
                                                     "Caf\u00e9 monitor|LM|1|vfmin=50.000000|vsmax=0.250000",
                                                     "First generic|MS|0|hfmax=80.000000|hfmin=30.000000"}));
        // Text, three monitor blocks and the catalogue.
        EXPECT_EQ(host::OutstandingAllocations(), 5);
    }
    EXPECT_TRUE(platform::FileExists(u"C:\\WINDOWS"));
    EXPECT_TRUE(platform::FileExists(u"c:/windows/./system32\\\\REVID.DAT"));
    EXPECT_FALSE(platform::FileExists(u"C:\\WINDOWS\\system32\\..\\system32\\revid.dat"));
    EXPECT_FALSE(platform::FileExists(u"C:\\WIN"));
    EXPECT_FALSE(platform::FileExists(u"D:\\WINDOWS\\system32\\revid.dat"));
    EXPECT_EQ(host::HostPathFor(u"C:\\WINDOWS"), "");
    EXPECT_EQ(platform::OpenTextFile(u"C:\\WINDOWS\\system32"), 0u);
    EXPECT_EQ(platform::CreateTextFile(u"C:\\WINDOWS\\new.txt"), 0u);
    const platform::TextFile file = platform::OpenTextFile(u"C:\\WINDOWS\\system32\\revid.dat");
    char line[32];
    ASSERT_TRUE(platform::ReadTextLine(file, line, sizeof line));
    EXPECT_STREQ(line, "version 1\n");
    platform::CloseTextFile(file);
}

}  // namespace
