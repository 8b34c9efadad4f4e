// Gamma tables computed from a gamma value, and the linear table.
#include <gtest/gtest.h>

#include <limits>

#include "gamma/gamma_table.h"

namespace {

using vca::GammaTable;

GammaTable Computed(double gamma) {
    GammaTable table{};
    vca::ComputeGammaTable(gamma, &table);
    EXPECT_EQ(table.header, vca::kGammaHeader);
    for (int i = 0; i < vca::kGammaEntries; ++i) {
        EXPECT_LE(table.channel[0][i], 1023) << "gamma " << gamma << " entry " << i;
        EXPECT_EQ(table.channel[1][i], table.channel[0][i]) << "gamma " << gamma << " entry " << i;
        EXPECT_EQ(table.channel[2][i], table.channel[0][i]) << "gamma " << gamma << " entry " << i;
    }
    return table;
}

TEST(GammaTableTest, EntriesAreTheRoundedPowerCurve) {
    const struct { double gamma; int index, entry; } cases[] = {
        {2.2, 1, 82},     {2.2, 128, 748}, {2.2, 254, 1021}, {0.5, 1, 0},      {0.5, 128, 258},
        {0.5, 254, 1015}, {1.8, 128, 698}, {5.0, 1, 338},    {0.01, 254, 691}, {1.01, 128, 517},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Computed(c.gamma).channel[0][c.index], c.entry) << "gamma " << c.gamma << " entry " << c.index;

    // Gamma 1 is the linear table: i x 1023 / 255 to the nearest whole number.
    GammaTable linear{};
    vca::MakeLinearTable(&linear);
    const GammaTable one = Computed(1.0);
    for (int i = 0; i < vca::kGammaEntries; ++i) {
        ASSERT_EQ(linear.channel[2][i], (i * 1023 * 2 + 255) / 510) << "entry " << i;
        ASSERT_EQ(one.channel[2][i], linear.channel[2][i]) << "entry " << i;
    }
}

TEST(GammaTableTest, ValuesTheDialogCannotGiveStillMakeTenBitEntries) {
    for (double gamma : {0.0, -1.0, 1e-320, 1e300, std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()})
        Computed(gamma);
}

TEST(GammaTableTest, OnlyTheLinearEntriesCountAsLinear) {
    const struct { const char* what; int channel, index, delta; std::uint32_t header; bool linear; } cases[] = {
        {"unchanged", 0, 0, 0, vca::kGammaHeader, true},
        {"header is not looked at", 0, 0, 0, 10 | 0x10000, true},
        {"first entry of channel 1", 0, 0, 1, vca::kGammaHeader, false},
        {"last entry of channel 3", 2, 255, -1, vca::kGammaHeader, false},
    };
    for (const auto& c : cases) {
        GammaTable table{};
        vca::MakeLinearTable(&table);
        table.header = c.header;
        table.channel[c.channel][c.index] = static_cast<std::uint16_t>(table.channel[c.channel][c.index] + c.delta);
        EXPECT_EQ(vca::IsLinearTable(table), c.linear) << c.what;
    }
}

}  // namespace
