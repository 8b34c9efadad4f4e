// Property of the timing validation: over random timings, board limits and
// monitors, a candidate is accepted exactly when it breaks no rule, each
// rule stated here on its own from the quantities' definitions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <random>
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

using vca::TimingCandidate;

bool IsInterlaced(const TimingCandidate& c) { return (c.flags & vca::TF_INTERLACED) != 0; }
std::uint64_t Frame(const TimingCandidate& c) { return IsInterlaced(c) ? 2ull * c.vActive : c.vActive; }

bool FitsTiles(const TimingCandidate& c, std::uint64_t tileWidth, std::uint64_t granularity) {
    const std::uint64_t across = (c.hActive + tileWidth - 1) / tileWidth;
    const std::uint64_t down = (Frame(c) + 7) / 8;
    return across * down <= 4096 && c.hActive <= 2048 && c.hActive <= 44 * tileWidth &&
           c.hActive % granularity == 0 && Frame(c) <= 2048 && c.vTotal <= (IsInterlaced(c) ? 1024.0 : 2048.0);
}

bool BoardAllows(const TimingCandidate& c, const vca::BoardTimingLimits& b, std::uint16_t granularity) {
    const double pc = c.pixelClock;
    if (b.flags != 0 && !(b.flags & 8) && b.maxPcPllVcoFreq != 0 && pc > b.maxPcPllVcoFreq) return false;
    const bool narrow = FitsTiles(c, 8u * granularity, granularity) && !(b.maxPcFreq1280 && pc > b.maxPcFreq1280);
    const bool wide = FitsTiles(c, 10u * granularity, granularity);
    return (narrow || wide) && !(b.maxPcFreq1020 && pc > b.maxPcFreq1020);
}

// The quantity bounded by limit `index`, in its unit; false when it has no
// value (a sync percentage of no blanking).
bool Quantity(int index, const TimingCandidate& c, double* q) {
    const double pc = c.pixelClock, ht = c.hTotal, vt = c.vTotal, va = c.vActive, vfp = c.vFrontPorch;
    const double hblank = double(c.hTotal) - double(c.hActive);
    const double ms = 1000.0 * pc;
    switch (index) {
        case vca::kHfMax: case vca::kHfMin: *q = 1000.0 * pc / ht; return true;
        case vca::kPcfMax: case vca::kPcfMin: *q = pc; return true;
        case vca::kHbMax: case vca::kHbMin: *q = hblank / pc; return true;
        case vca::kHfpMax: case vca::kHfpMin: *q = c.hFrontPorch / pc; return true;
        case vca::kHsMax: case vca::kHsMin: *q = c.hSync / pc; return true;
        case vca::kHbpMax: case vca::kHbpMin: *q = (hblank - c.hFrontPorch - c.hSync) / pc; return true;
        case vca::kHsPctMax: case vca::kHsPctMin:
            if (hblank <= 0) return false;
            *q = std::floor(100.0 * c.hSync / hblank);
            return true;
        case vca::kVfMax: case vca::kVfMin: *q = 1000000.0 * pc / (ht * vt); return true;
        case vca::kVbMax: *q = std::trunc((vt - va + 0.5) * ht) / ms; return true;
        case vca::kVbMin: *q = std::trunc((vt - va) * ht) / ms; return true;
        case vca::kVfpMax: *q = vfp * ht / ms; return true;
        case vca::kVfpMin: *q = std::trunc(vfp) * ht / ms; return true;
        case vca::kVsMax: case vca::kVsMin: *q = c.vSync * ht / ms; return true;
        case vca::kVbpMax: *q = (std::trunc(vt - va) - std::trunc(c.vSync + vfp)) * ht / ms; return true;
        case vca::kVbpMin: *q = (vt - va - vfp - c.vSync) * ht / ms; return true;
        case vca::kVsPctMax:
        case vca::kVsPctMin: {
            const double lines = std::trunc(index == vca::kVsPctMax ? vt - va : vt - va + 0.5);
            if (lines <= 0) return false;
            *q = std::floor(100.0 * c.vSync / lines);
            return true;
        }
    }
    return false;
}

// Every limit that is given bounds its quantity, maxima from above and
// minima from below, a quantity equal to the limit passing.
bool MonitorAllows(const TimingCandidate& c, const vca::MonitorEntry& m) {
    for (int index = 0; index < vca::kLimitCount; ++index) {
        const double limit = m.limits[index];
        if (limit == 0.0) continue;
        double q = 0.0;
        if (!Quantity(index, c, &q)) return false;
        const bool isMax = index % 2 == 0;
        if (isMax ? q > limit : q < limit) return false;
    }
    return true;
}

class Generator {
public:
    double Real(double low, double high) { return std::uniform_real_distribution<double>(low, high)(rng_); }
    std::uint32_t Int(std::uint32_t low, std::uint32_t high) {
        return std::uniform_int_distribution<std::uint32_t>(low, high)(rng_);
    }
    bool Chance(double p) { return Real(0.0, 1.0) < p; }

    TimingCandidate Candidate() {
        const std::uint32_t hActive = 8 * Int(40, 262) + (Chance(0.1) ? 4 * Int(0, 1) + 2 * Int(0, 1) : 0);
        const std::uint32_t hBlank = Chance(0.03) ? 0 : Int(1, 600);
        const std::uint32_t vActive = Int(200, 1300);
        const double vBlank = Chance(0.03) ? 0.0 : Int(0, 80) + (Chance(0.5) ? 0.5 : 0.0);
        std::uint32_t flags = Chance(0.25) ? vca::TF_INTERLACED : 0;
        if (Chance(0.03)) flags |= vca::TF_FSS;
        return validationtest::Timing(std::round(Real(10.0, 250.0) * 1000.0) / 1000.0, hActive + hBlank, hActive,
                                      Int(0, hBlank), Int(0, hBlank), vActive + vBlank, vActive, Int(0, 12),
                                      Int(0, 25) + (Chance(0.3) ? 0.5 : 0.0), flags);
    }

    vca::BoardTimingLimits Board() {
        const std::uint32_t flagChoices[] = {0, 1, 8, 9};
        return {flagChoices[Int(0, 3)], Chance(0.5) ? Int(100, 400) : 0, Chance(0.5) ? Int(100, 400) : 0,
                Chance(0.5) ? Int(100, 400) : 0};
    }

    // Limits around the quantities of `reference`, so that they matter; a
    // few equal to the quantity.
    vca::MonitorEntry Monitor(const TimingCandidate& reference) {
        vca::MonitorEntry m{};
        for (int pair = 0; pair < vca::kLimitCount; pair += 2) {
            if (!Chance(0.2)) continue;
            double q = 0.0;
            if (!Quantity(pair, reference, &q) || q == 0.0) q = 1.0;
            double max = Chance(0.7) ? (Chance(0.1) ? q : q * Real(0.9, 1.4)) : 0.0;
            double min = Chance(0.7) ? (Chance(0.1) ? q : q * Real(0.6, 1.1)) : 0.0;
            if (max != 0.0 && min != 0.0 && !(max > min)) min = 0.0;
            m.limits[pair] = max;
            m.limits[pair + 1] = min;
        }
        return m;
    }

private:
    std::mt19937 rng_{20240611};
};

class ValidationPropertyTest : public vcatest::AppletTest {
protected:
    void SetUp() override {
        AppletTest::SetUp();
        vca::ResetCatalogueState();
        vca::InitApplet(host::AppletModule());
        vca::monitorCatalogue = vca::AllocateCatalogue(vca::kCatalogueEntries);
        vca::CopyText(vca::monitorCatalogue[0].name, u"Random");
        vca::CopyText(vca::workingSettings.Description, u"Random");
    }
    void TearDown() override {
        vca::ResetCatalogueState();
        AppletTest::TearDown();
    }
};

TEST_F(ValidationPropertyTest, AcceptedExactlyWhenEveryBoardAndMonitorRuleHolds) {
    Generator random;
    constexpr int kBatches = 400;
    constexpr std::uint32_t kPerBatch = 50;
    char markers[kPerBatch];
    int accepted = 0, rejected = 0;
    for (int batch = 0; batch < kBatches; ++batch) {
        const vca::BoardTimingLimits board = random.Board();
        host::PutDword(vca::kDriverKeyPath, u"V3UZFlags0", board.flags);
        host::PutDword(vca::kDriverKeyPath, u"V3UZMaxPcFreq1020", board.maxPcFreq1020);
        host::PutDword(vca::kDriverKeyPath, u"V3UZMaxPcFreq1280", board.maxPcFreq1280);
        host::PutDword(vca::kDriverKeyPath, u"V3UZMaxPcPllVcoFreq0", board.maxPcPllVcoFreq);
        const std::uint16_t granularity = random.Chance(0.5) ? 4 : 8;
        vca::boardIdentity.pixelGranularity = granularity;
        std::vector<TimingCandidate> candidates;
        for (std::uint32_t i = 0; i < kPerBatch; ++i) {
            candidates.push_back(random.Candidate());
            candidates.back().data = &markers[i];
        }
        const vca::MonitorEntry monitor = random.Monitor(candidates[0]);
        std::copy(std::begin(monitor.limits), std::end(monitor.limits), vca::monitorCatalogue[0].limits);

        std::vector<vca::TimingEntry> entries(kPerBatch);
        const std::uint32_t k = vca::ValidateTimings(kPerBatch, candidates.data(), entries.data());
        std::uint32_t slot = 0;
        for (std::uint32_t i = 0; i < kPerBatch; ++i) {
            const TimingCandidate& c = candidates[i];
            const bool expected = !(c.flags & vca::TF_FSS) && BoardAllows(c, board, granularity) &&
                                  MonitorAllows(c, monitor);
            const bool got = slot < k && entries[slot].data == &markers[i];
            ASSERT_EQ(got, expected) << "batch " << batch << " candidate " << i;
            if (!got) {
                ++rejected;
                continue;
            }
            ++accepted;
            const vca::TimingEntry& entry = entries[slot++];
            EXPECT_EQ(entry.xres, c.hActive);
            EXPECT_EQ(entry.yres, Frame(c));
            EXPECT_EQ(entry.refresh, std::floor(1000000.0 * c.pixelClock / (c.hTotal * c.vTotal) + 0.5));
        }
        ASSERT_EQ(slot, k);
    }
    EXPECT_TRUE(host::MessageBoxes().empty());
    RecordProperty("accepted", accepted);
    RecordProperty("rejected", rejected);
    // Both outcomes are well represented, so the property is not vacuous.
    EXPECT_GT(accepted, kBatches * 2);
    EXPECT_GT(rejected, kBatches * 10);
}

}  // namespace
