// Gamma tables computed from a gamma value, and the linear table.
#include <gtest/gtest.h>

#include <limits>

#include "gamma/gamma_table.h"

namespace {

using vca::GammaTable;

void ExpectChannelsAlike(const GammaTable& table) {
    for (int i = 0; i < vca::kGammaEntries; ++i) {
        ASSERT_EQ(table.channel[1][i], table.channel[0][i]) << "entry " << i;
        ASSERT_EQ(table.channel[2][i], table.channel[0][i]) << "entry " << i;
    }
}

TEST(GammaTableTest, KnownEntriesOfComputedTables) {
    struct Case {
        double gamma;
        int index;
        int entry;
    };
    const Case cases[] = {
        {2.2, 1, 82},    {2.2, 128, 748}, {2.2, 254, 1021}, {0.5, 1, 0},      {0.5, 128, 258},
        {0.5, 254, 1015}, {1.8, 128, 698}, {5.0, 1, 338},    {0.01, 254, 691},
        {1.01, 128, 517},  // just off linear (514)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "gamma " << c.gamma << " entry " << c.index);
        GammaTable table{};
        vca::ComputeGammaTable(c.gamma, &table);
        EXPECT_EQ(table.header, vca::kGammaHeader);
        EXPECT_EQ(table.channel[0][c.index], c.entry);
        ExpectChannelsAlike(table);
    }
}

TEST(GammaTableTest, GammaOneIsTheLinearTable) {
    GammaTable computed{};
    vca::ComputeGammaTable(1.0, &computed);
    GammaTable linear{};
    vca::MakeLinearTable(&linear);
    EXPECT_EQ(linear.header, vca::kGammaHeader);
    for (int channel = 0; channel < vca::kGammaChannels; ++channel) {
        for (int i = 0; i < vca::kGammaEntries; ++i) {
            // i x 1023 / 255 rounded to the nearest whole number: 0, 4, 8, ..., 1019, 1023.
            int expected = (i * 1023 * 2 + 255) / 510;
            ASSERT_EQ(linear.channel[channel][i], expected) << "channel " << channel << " entry " << i;
            ASSERT_EQ(computed.channel[channel][i], expected) << "channel " << channel << " entry " << i;
        }
    }
    EXPECT_EQ(linear.channel[0][3], 12);
    EXPECT_EQ(linear.channel[0][254], 1019);
    EXPECT_TRUE(vca::IsLinearTable(linear));
}

TEST(GammaTableTest, EveryDialogGammaGivesAnOrderedTableFromZeroToTop) {
    int previousMiddle = -1;
    for (int hundredths = 1; hundredths <= 500; ++hundredths) {
        double gamma = hundredths * 0.01;
        SCOPED_TRACE(testing::Message() << "gamma " << gamma);
        GammaTable table{};
        vca::ComputeGammaTable(gamma, &table);
        ASSERT_EQ(table.header, vca::kGammaHeader);
        ASSERT_EQ(table.channel[0][0], 0);
        ASSERT_EQ(table.channel[0][255], 1023);
        for (int i = 1; i < vca::kGammaEntries; ++i)
            ASSERT_LE(table.channel[0][i - 1], table.channel[0][i]) << "entry " << i;
        ExpectChannelsAlike(table);
        // A larger gamma never darkens the middle tones.
        ASSERT_GE(table.channel[0][128], previousMiddle);
        previousMiddle = table.channel[0][128];
    }
}

TEST(GammaTableTest, GammaOutsideTheDialogStillGivesTenBitEntries) {
    const double gammas[] = {0.0, -1.0, -0.001, 1e-320, 1e300, std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
    for (double gamma : gammas) {
        SCOPED_TRACE(testing::Message() << "gamma " << gamma);
        GammaTable table{};
        vca::ComputeGammaTable(gamma, &table);
        EXPECT_EQ(table.header, vca::kGammaHeader);
        for (int i = 0; i < vca::kGammaEntries; ++i) ASSERT_LE(table.channel[0][i], 1023) << "entry " << i;
        ExpectChannelsAlike(table);
    }
}

TEST(GammaTableTest, OnlyTheLinearEntriesCountAsLinear) {
    struct Case {
        const char* what;
        int channel, index, delta;
        std::uint32_t header;
        bool linear;
    };
    const Case cases[] = {
        {"unchanged", 0, 0, 0, vca::kGammaHeader, true},
        {"header is not looked at", 0, 0, 0, 10 | 0x10000, true},
        {"first entry of channel 1", 0, 0, 1, vca::kGammaHeader, false},
        {"middle entry of channel 2", 1, 128, -1, vca::kGammaHeader, false},
        {"last entry of channel 3", 2, 255, -1, vca::kGammaHeader, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GammaTable table{};
        vca::MakeLinearTable(&table);
        table.header = c.header;
        std::uint16_t& entry = table.channel[c.channel][c.index];
        entry = static_cast<std::uint16_t>(entry + c.delta);
        EXPECT_EQ(vca::IsLinearTable(table), c.linear);
    }
}

}  // namespace
