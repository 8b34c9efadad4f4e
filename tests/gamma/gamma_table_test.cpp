// Gamma tables computed from a gamma value and the linear table, and the
// gamma dialog's pure decisions: scroll steps, and how a screen's record is
// settled for showing (with its value text).
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "dialogs/gamma_choices.h"
#include "gamma/gamma_file.h"
#include "gamma/gamma_step.h"
#include "gamma/gamma_table.h"
#include "support/applet_fixture.h"

namespace {

using vca::GammaTable;
using vca::ScreenGamma;

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

TEST(GammaStepTest, EachScrollCodeMovesTheValueWithinOneToFiveHundred) {
    struct Case { int value, code, thumb, expected; } const cases[] = {
        {100, vca::kScrollLineLeft, 0, 99},        {100, vca::kScrollLineRight, 0, 101},
        {100, vca::kScrollPageLeft, 0, 95},        {100, vca::kScrollPageRight, 0, 105},
        {100, vca::kScrollThumbPosition, 250, 250}, {100, vca::kScrollThumbTrack, 137, 137},
        {3, vca::kScrollPageLeft, 0, 1},           {1, vca::kScrollLineLeft, 0, 1},
        {498, vca::kScrollPageRight, 0, 500},      {500, vca::kScrollLineRight, 0, 500},
        {100, vca::kScrollThumbTrack, 0, 1},       {100, vca::kScrollThumbTrack, 900, 500},
        {100, 8 /* end of scrolling */, 300, 100}, {100, 6 /* to the left end */, 0, 100},
        {0, 8, 0, 1},  // a value that never was on the bar is brought back onto it
    };
    for (const auto& c : cases)
        EXPECT_EQ(vca::StepGammaValue(c.value, c.code, c.thumb), c.expected)
            << "value " << c.value << " code " << c.code << " thumb " << c.thumb;
}

class SettleScreenGammaTest : public vcatest::AppletTest {};

TEST_F(SettleScreenGammaTest, FallsBackToTheLinearTableWhenTheRecordCannotBeShown) {
    vcatest::TempDrive drive;
    GammaTable fileTable = Computed(1.7);
    fileTable.channel[2][10] = 5;  // channels that differ prove the file was read
    ASSERT_TRUE(vca::WriteGammaFile(u"C:\\WINDOWS\\warm.gc", fileTable));

    GammaTable sentinel;
    std::memset(&sentinel, 0x5A, sizeof sentinel);
    GammaTable linear{};
    vca::MakeLinearTable(&linear);

    struct Case {
        const char* name;
        std::uint32_t source;
        double gamma;
        const char16_t* file;
        std::uint32_t shownSource;
        int position;
        const char16_t* valueText;
        const char16_t* pathText;
        const GammaTable* table;  // the record's table afterwards
    } const cases[] = {
        {"value 2.2", 1, 2.2, u"", 1, 220, u"2.20", u"", &sentinel},
        {"value 0.29 truncates", 1, 0.29, u"", 1, 28, u"0.29", u"", &sentinel},
        {"highest value", 1, 5.0, u"", 1, 500, u"5.00", u"", &sentinel},
        {"value above 5", 1, 5.01, u"", 3, 0, u"", u"", &linear},
        {"file that reads", 2, 1.0, u"C:\\WINDOWS\\warm.gc", 2, 0, u"", u"C:\\WINDOWS\\warm.gc", &fileTable},
        {"file that is gone", 2, 1.0, u"C:\\WINDOWS\\gone.gc", 3, 0, u"", u"", &linear},
        {"table alone", 3, 2.2, u"C:\\WINDOWS\\warm.gc", 3, 0, u"", u"", &linear},
        {"unknown source", 0, 2.2, u"", 3, 0, u"", u"", &linear},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScreenGamma record{};
        record.GammaDataSource = c.source;
        record.gamma = c.gamma;
        record.table = sentinel;
        std::u16string file = c.file;
        file.copy(record.GammaFile, file.size());

        vca::GammaControls shown = vca::SettleScreenGamma(&record);
        EXPECT_EQ(shown.source, c.shownSource);
        EXPECT_EQ(record.GammaDataSource, c.shownSource);
        EXPECT_EQ(shown.valueGroupEnabled, c.shownSource == 1);
        EXPECT_EQ(shown.fileGroupEnabled, c.shownSource == 2);
        if (c.shownSource == 1) {
            EXPECT_EQ(shown.scrollPosition, c.position);
        }
        EXPECT_EQ(shown.valueText, c.valueText);
        EXPECT_EQ(shown.pathText, c.pathText);
        EXPECT_EQ(std::memcmp(&record.table, c.table, sizeof record.table), 0);
        EXPECT_EQ(record.gamma, c.gamma) << "the gamma value itself is kept";
    }
}

}  // namespace
