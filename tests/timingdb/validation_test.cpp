// Timing validation: the board's geometry and pixel clock tests, the
// monitor limits, the driver's limits in the registry, and the compaction
// of the accepted entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "applet/app_state.h"
#include "applet/startup.h"
#include "applet/text.h"
#include "driver/board_identity.h"
#include "modes/monitor_catalogue.h"
#include "support/applet_fixture.h"
#include "timingdb/database_loader.h"
#include "timingdb/timing_validation.h"
#include "validation_support.h"

namespace {

using validationtest::Sxga;
using validationtest::Timing;
using vca::TimingTest;

const vca::MonitorEntry kNoMonitor{};

TEST(TimingBoardTests, GeometryClockAndUndefinedTimingsDecideInOrder) {
    const vca::BoardTimingLimits none{0, 0, 0, 0};
    const vca::TimingCandidate wide1800 = Timing(120.0, 2200, 1800, 100, 50, 500.0, 480, 3, 1.0);
    const vca::TimingCandidate svga = Timing(40.0, 1056, 800, 128, 40, 628.0, 600, 4, 1.0);
    struct Case {
        const char* what;
        vca::TimingCandidate candidate;
        vca::BoardTimingLimits board;
        std::uint16_t granularity;
        TimingTest test, narrowTest;
    } cases[] = {
        {"1280 wide: 5120 narrow tiles, 4096 wide", Sxga(), none, 4, TimingTest::kAccepted, TimingTest::kTileCount},
        {"narrow clock limit ignored on the wide width", Sxga(), {0, 0, 100, 0}, 4, TimingTest::kAccepted,
         TimingTest::kTileCount},
        {"board clock limit applies", Sxga(), {0, 100, 0, 0}, 4, TimingTest::kMaxPcFreq1020, TimingTest::kTileCount},
        {"board clock limit inclusive", Sxga(), {0, 135, 0, 0}, 4, TimingTest::kAccepted, TimingTest::kTileCount},
        {"granularity 8: narrow width fits", Sxga(), {0, 0, 100, 0}, 8, TimingTest::kAccepted,
         TimingTest::kMaxPcFreq1280},
        {"1800 wide, granularity 4", wide1800, none, 4, TimingTest::kTileColumns, TimingTest::kTileColumns},
        {"1800 wide, granularity 8", wide1800, none, 8, TimingTest::kAccepted, TimingTest::kAccepted},
        {"1282 wide, granularity 4", Timing(100.0, 1600, 1282, 8, 8, 700.0, 600, 3, 1.0), none, 4,
         TimingTest::kGranularity, TimingTest::kGranularity},
        {"1282 wide, granularity 8", Timing(100.0, 1600, 1282, 8, 8, 700.0, 600, 3, 1.0), none, 8,
         TimingTest::kGranularity, TimingTest::kGranularity},
        {"2056 wide", Timing(100.0, 2200, 2056, 8, 8, 20.0, 8, 3, 1.0), none, 8, TimingTest::kWidth,
         TimingTest::kWidth},
        {"2056 lines", Timing(100.0, 100, 8, 8, 8, 2000.0, 2056, 3, 1.0), none, 8, TimingTest::kFrameLines,
         TimingTest::kFrameLines},
        {"interlaced 600 lines, field total 1025",
         Timing(65.0, 1344, 1024, 136, 24, 1025.0, 600, 3, 1.0, vca::TF_INTERLACED), none, 8,
         TimingTest::kVerticalTotal, TimingTest::kVerticalTotal},
        {"the same not interlaced", Timing(65.0, 1344, 1024, 136, 24, 1025.0, 600, 3, 1.0), none, 8,
         TimingTest::kAccepted, TimingTest::kAccepted},
        {"synthesiser limit off by bit 0x08", Sxga(), {0x08, 0, 0, 100}, 4, TimingTest::kAccepted,
         TimingTest::kTileCount},
        {"synthesiser limit on with flags 1", Sxga(), {1, 0, 0, 100}, 4, TimingTest::kSynthesiser,
         TimingTest::kAccepted},
        {"synthesiser limit off by flags 0", Sxga(), {0, 0, 0, 100}, 4, TimingTest::kAccepted,
         TimingTest::kTileCount},
        {"fss", Timing(40.0, 1056, 800, 128, 40, 628.0, 600, 4, 1.0, vca::TF_FSS | vca::TF_INTERLACED), none, 8,
         TimingTest::kFss, TimingTest::kAccepted},
        {"granularity 0", svga, none, 0, TimingTest::kNoGranularity, TimingTest::kNoGranularity},
        {"pixel clock 0", Timing(0.0, 1056, 800, 128, 40, 628.0, 600, 4, 1.0), none, 8, TimingTest::kUndefined,
         TimingTest::kAccepted},
        {"horizontal total 0", Timing(40.0, 0, 800, 128, 40, 628.0, 600, 4, 1.0), none, 8, TimingTest::kUndefined,
         TimingTest::kAccepted},
        {"vertical total 0", Timing(40.0, 1056, 800, 128, 40, 0.0, 600, 4, 1.0), none, 8, TimingTest::kUndefined,
         TimingTest::kAccepted},
        {"refresh beyond 16 bits", Timing(1000.0, 10, 8, 1, 1, 1.0, 1, 0, 0.0), none, 4, TimingTest::kRefreshRange,
         TimingTest::kAccepted},
        {"800 x 600", svga, none, 4, TimingTest::kAccepted, TimingTest::kAccepted},
    };
    for (const auto& c : cases) {
        const vca::TimingVerdict verdict = vca::CheckTiming(c.candidate, c.board, c.granularity, kNoMonitor);
        EXPECT_EQ(verdict.test, c.test) << c.what << ": " << vca::TimingTestName(verdict.test);
        EXPECT_EQ(verdict.narrowTest, c.narrowTest) << c.what << ": " << vca::TimingTestName(verdict.narrowTest);
    }

    const vca::TimingVerdict sxga = vca::CheckTiming(Sxga(), none, 4, kNoMonitor);
    EXPECT_EQ(sxga.refresh, 75);
    EXPECT_EQ(sxga.tileWidth, 40u);
    const vca::TimingVerdict tiles = vca::CheckTiming(Sxga(), {0, 0, 0, 0}, 2, kNoMonitor);
    EXPECT_EQ(tiles.test, TimingTest::kTileCount);
    EXPECT_EQ(tiles.quantity, 64.0 * 128.0);  // 1280 / 20 tiles across, 128 rows
    EXPECT_EQ(tiles.limit, 4096.0);
}

// 100 MHz, 1000 x 1000 total: 100 kHz, 100 Hz; 200 pixels of horizontal
// blanking (2 us), 40 lines of vertical blanking (0.4 ms).
vca::TimingCandidate Round() { return Timing(100.0, 1000, 800, 100, 40, 1000.0, 960, 4, 10.0); }

// The same with 20.5 lines of blanking per field.
vca::TimingCandidate HalfLine() { return Timing(100.0, 1000, 800, 100, 40, 500.5, 480, 5, 2.0, vca::TF_INTERLACED); }

TEST(TimingMonitorTests, EveryNonZeroLimitBoundsItsQuantityInclusively) {
    struct Case {
        const char* what;
        vca::TimingCandidate candidate;
        std::vector<std::pair<int, double>> limits;
        TimingTest test;
        int limitIndex;
    } cases[] = {
        {"hfmax equal", Round(), {{vca::kHfMax, 100.0}}, TimingTest::kAccepted, -1},
        {"hfmax below", Round(), {{vca::kHfMax, 99.99}}, TimingTest::kMonitorMaximum, vca::kHfMax},
        {"hfmin above", Round(), {{vca::kHfMin, 100.01}}, TimingTest::kMonitorMinimum, vca::kHfMin},
        {"hbpmin above 0.6 us", Round(), {{vca::kHbpMin, 0.7}}, TimingTest::kMonitorMinimum, vca::kHbpMin},
        {"hs% 50 fits", Round(), {{vca::kHsPctMax, 50.0}, {vca::kHsPctMin, 50.0}}, TimingTest::kAccepted, -1},
        {"vfmax only: above", Round(), {{vca::kVfMax, 99.0}}, TimingTest::kMonitorMaximum, vca::kVfMax},
        {"vfmax only: 1 Hz", Timing(1.0, 1000, 800, 100, 40, 1000.0, 960, 4, 10.0), {{vca::kVfMax, 99.0}},
         TimingTest::kAccepted, -1},
        {"pairs in order", Round(), {{vca::kVfMax, 50.0}, {vca::kHfMax, 50.0}}, TimingTest::kMonitorMaximum,
         vca::kHfMax},
        // The maximum side counts the half line of a field, the minimum side not.
        {"vb window of a field", HalfLine(), {{vca::kVbMax, 0.21}, {vca::kVbMin, 0.205}}, TimingTest::kAccepted, -1},
        {"vbmax below 21 lines", HalfLine(), {{vca::kVbMax, 0.208}}, TimingTest::kMonitorMaximum, vca::kVbMax},
        {"vbmin above 20.5 lines", HalfLine(), {{vca::kVbMin, 0.206}}, TimingTest::kMonitorMinimum, vca::kVbMin},
        {"vs% of a field: 25 and 23", HalfLine(), {{vca::kVsPctMax, 25.0}, {vca::kVsPctMin, 23.0}},
         TimingTest::kAccepted, -1},
        {"vs%max 24", HalfLine(), {{vca::kVsPctMax, 24.0}}, TimingTest::kMonitorMaximum, vca::kVsPctMax},
        {"vs%min 24", HalfLine(), {{vca::kVsPctMin, 24.0}}, TimingTest::kMonitorMinimum, vca::kVsPctMin},
        {"no horizontal blanking, hs% limited", Timing(100.0, 800, 800, 0, 0, 1000.0, 960, 4, 10.0),
         {{vca::kHsPctMax, 50.0}}, TimingTest::kNoPercentage, vca::kHsPctMax},
        {"no horizontal blanking, hs% not limited", Timing(100.0, 800, 800, 0, 0, 1000.0, 960, 4, 10.0),
         {{vca::kHfMax, 200.0}}, TimingTest::kAccepted, -1},
        {"no vertical blanking, vs%min", Timing(100.0, 1000, 800, 100, 40, 960.0, 960, 0, 0.0),
         {{vca::kVsPctMin, 5.0}}, TimingTest::kNoPercentage, vca::kVsPctMin},
    };
    for (const auto& c : cases) {
        vca::MonitorEntry monitor{};
        for (const auto& [index, value] : c.limits) monitor.limits[index] = value;
        const vca::TimingVerdict verdict = vca::CheckTiming(c.candidate, {0, 0, 0, 0}, 8, monitor);
        EXPECT_EQ(verdict.test, c.test) << c.what << ": " << vca::TimingTestName(verdict.test);
        if (c.test != TimingTest::kAccepted) {
            EXPECT_EQ(verdict.limitIndex, c.limitIndex) << c.what;
        }
    }
}

class ValidationTest : public vcatest::AppletTest {
protected:
    void SetUp() override {
        AppletTest::SetUp();
        vca::ResetCatalogueState();
        vca::InitApplet(host::AppletModule());
    }
    void TearDown() override {
        vca::ResetCatalogueState();
        vca::ResetTimingDatabaseState();
        AppletTest::TearDown();
    }
    static void PutLimits(std::uint32_t flags, std::uint32_t max1020, std::uint32_t max1280, std::uint32_t vco) {
        host::PutDword(vca::kDriverKeyPath, u"V3UZFlags0", flags);
        host::PutDword(vca::kDriverKeyPath, u"V3UZMaxPcFreq1020", max1020);
        host::PutDword(vca::kDriverKeyPath, u"V3UZMaxPcFreq1280", max1280);
        host::PutDword(vca::kDriverKeyPath, u"V3UZMaxPcPllVcoFreq0", vco);
    }
};

TEST_F(ValidationTest, UnreadableLimitsReadAsZeroAndShowMessage1208Once) {
    const std::string unreadable =
        "The pixel clock limits of the display driver cannot be read from the registry. Timings are checked "
        "without them.";
    struct Case {
        const char* what;
        bool unopenable;
        std::vector<const char16_t*> missing;
        const char16_t* tooLong;  // a value of 8 bytes
        vca::BoardTimingLimits expected;
        std::size_t boxes;
    } cases[] = {
        {"all present", false, {}, nullptr, {1, 2, 3, 4}, 0},
        {"flags missing", false, {u"V3UZFlags0"}, nullptr, {0, 2, 3, 4}, 1},
        {"two missing", false, {u"V3UZMaxPcFreq1020", u"V3UZMaxPcPllVcoFreq0"}, nullptr, {1, 0, 3, 0}, 1},
        {"one too long", false, {}, u"V3UZMaxPcFreq1280", {1, 2, 0, 4}, 1},
        {"key unopenable", true, {}, nullptr, {0, 0, 0, 0}, 1},
    };
    for (const auto& c : cases) {
        host::Reset();
        vca::mainDialog = 0x99;
        PutLimits(1, 2, 3, 4);
        for (const char16_t* name : c.missing) host::DeleteValue(vca::kDriverKeyPath, name);
        if (c.tooLong) host::PutValue(vca::kDriverKeyPath, c.tooLong, platform::kRegBinary, std::vector<std::uint8_t>(8, 1));
        host::SetKeyUnopenable(vca::kDriverKeyPath, c.unopenable);

        const vca::BoardTimingLimits limits = vca::ReadBoardTimingLimits();
        EXPECT_EQ(limits.flags, c.expected.flags) << c.what;
        EXPECT_EQ(limits.maxPcFreq1020, c.expected.maxPcFreq1020) << c.what;
        EXPECT_EQ(limits.maxPcFreq1280, c.expected.maxPcFreq1280) << c.what;
        EXPECT_EQ(limits.maxPcPllVcoFreq, c.expected.maxPcPllVcoFreq) << c.what;
        EXPECT_EQ(host::SleptMilliseconds(), 10u) << c.what;
        EXPECT_EQ(host::OpenKeyCount(), 0) << c.what;
        ASSERT_EQ(host::MessageBoxes().size(), c.boxes) << c.what;
        for (const auto& box : host::MessageBoxes()) {
            EXPECT_EQ(vcatest::Utf8(box.text), unreadable) << c.what;
            EXPECT_EQ(vcatest::Utf8(box.caption), "Norvane Video Configuration") << c.what;
            EXPECT_EQ(box.type, 64u) << c.what;
            EXPECT_EQ(box.owner, 0x99u) << c.what;
        }
    }
    vca::mainDialog = 0;
}

TEST_F(ValidationTest, AcceptedCandidatesAreCompactedWithTheirModeAndTheRestLeftAlone) {
    vca::boardIdentity.pixelGranularity = 4;
    vca::monitorCatalogue = vca::AllocateCatalogue(vca::kCatalogueEntries);
    vca::CopyText(vca::monitorCatalogue[0].name, u"Chosen");
    vca::monitorCatalogue[0].limits[vca::kHfMin] = 30.0;
    vca::CopyText(vca::workingSettings.Description, u"chosen");

    const char* data = "{\n";
    std::vector<vca::TimingCandidate> candidates = {
        Sxga(),                                                              // synthesiser limit of 100 MHz
        Timing(65.0, 1344, 1024, 136, 24, 403.0, 384, 3, 1.5, vca::TF_INTERLACED),  // 1024 x 768 interlaced
        Timing(40.0, 1056, 800, 128, 40, 628.0, 600, 4, 1.0, vca::TF_FSS),
        Timing(25.175, 800, 640, 96, 16, 525.0, 480, 2, 10.0),               // 31.5 kHz, below hfmin
        Timing(40.0, 1056, 800, 128, 40, 628.0, 600, 4, 1.0, vca::TF_MONID),
    };
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        candidates[i].tag = static_cast<std::uint16_t>(i);
        candidates[i].monid = static_cast<std::uint32_t>(10 + i);
        candidates[i].hfreq = static_cast<std::uint16_t>(20 + i);
        candidates[i].data = data + (i % 2);
    }
    candidates[3].pixelClock = 20.0;  // 25 kHz

    struct Case {
        const char* what;
        bool readable;
        std::vector<std::size_t> accepted;  // candidate indexes
        std::size_t boxes;
    } cases[] = {
        {"limits in the registry", true, {1, 4}, 0},
        {"no limits: the 135 MHz timing passes", false, {0, 1, 4}, 1},
    };
    for (const auto& c : cases) {
        host::Reset();
        if (c.readable) PutLimits(1, 0, 0, 100);
        std::vector<vca::TimingEntry> entries(candidates.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            entries[i].line = static_cast<std::uint16_t>(100 + i);
            entries[i].xres = 7;
        }
        const std::uint32_t k = vca::ValidateTimings(static_cast<std::uint32_t>(candidates.size()),
                                                     candidates.data(), entries.data());
        ASSERT_EQ(k, c.accepted.size()) << c.what;
        const std::uint16_t modes[][3] = {{1280, 1024, 75}, {1024, 768, 120}, {0, 0, 0}, {0, 0, 0}, {800, 600, 60}};
        for (std::size_t slot = 0; slot < k; ++slot) {
            const vca::TimingCandidate& from = candidates[c.accepted[slot]];
            const vca::TimingEntry& entry = entries[slot];
            const std::uint16_t* mode = modes[c.accepted[slot]];
            EXPECT_EQ(entry.tag, from.tag) << c.what << slot;
            EXPECT_EQ(entry.type, from.type) << c.what << slot;
            EXPECT_EQ(entry.monid, from.monid) << c.what << slot;
            EXPECT_EQ(entry.flags, from.flags) << c.what << slot;
            EXPECT_EQ(entry.data, from.data) << c.what << slot;
            EXPECT_EQ(entry.hfreq, from.hfreq) << c.what << slot;
            EXPECT_EQ(entry.line, 100 + slot) << c.what << slot;
            EXPECT_EQ(entry.xres, mode[0]) << c.what << slot;
            EXPECT_EQ(entry.yres, mode[1]) << c.what << slot;
            EXPECT_EQ(entry.refresh, mode[2]) << c.what << slot;
        }
        for (std::size_t slot = k; slot < entries.size(); ++slot)
            EXPECT_EQ(entries[slot].xres, 7) << c.what << " untouched " << slot;
        EXPECT_EQ(host::MessageBoxes().size(), c.boxes) << c.what;
    }
}

}  // namespace
