// Gamma tables computed from a gamma value and the linear table; the gamma
// dialog's pure decisions: scroll steps, and how a screen's record is
// settled for showing (with its value text); gamma files: which files are
// taken, why the others are refused, and writing a table so that it reads
// back the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "dialogs/gamma_choices.h"
#include "gamma/gamma_file.h"
#include "gamma/gamma_step.h"
#include "gamma/gamma_table.h"
#include "support/applet_fixture.h"

namespace {

using vca::GammaFileFault;
using vca::GammaTable;
using vca::ScreenGamma;
using Lines = std::vector<std::string>;

// Entry i of channel c in the sample file: distinct per channel, 0 to 1022.
int SampleEntry(int channel, int i) { return i * 4 + channel; }

Lines SampleLines() {
    Lines lines = {"47434446", "10"};
    for (int channel = 0; channel < vca::kGammaChannels; ++channel)
        for (int i = 0; i < vca::kGammaEntries; ++i) lines.push_back(std::to_string(SampleEntry(channel, i)));
    return lines;
}

std::string Join(const Lines& lines, const std::string& end = "\n") {
    std::string text;
    for (const auto& line : lines) text += line + end;
    return text;
}

// The sample file with line `number` (1-based) replaced.
std::string SampleWith(int number, const std::string& line) {
    Lines lines = SampleLines();
    lines[number - 1] = line;
    return Join(lines);
}

// The sample file without its last `count` lines.
std::string SampleWithout(int count) {
    Lines lines = SampleLines();
    lines.resize(lines.size() - count);
    return Join(lines);
}

GammaTable Sentinel() {
    GammaTable table;
    std::memset(&table, 0xA5, sizeof table);
    return table;
}

class GammaFileTest : public vcatest::AppletTest {
protected:
    void SetUp() override {
        AppletTest::SetUp();  // resets the machine, and with it the drive mapping
        host::MapDriveC(drive.root());
    }
    vcatest::TempDrive drive;
};

struct Probe { int channel; int index; int entry; };

struct FileCase {
    const char* what;
    bool present;
    std::string text;
    GammaFileFault fault;
    int line;
    std::vector<Probe> probes;  // for a taken file: entries that differ from the sample
    long long number = 0;       // for a refused file: what the line held, when that is reported
    const char* piece = nullptr;  // for a refused file: the faulty line as read
    int channel = 0, valuesRead = 0;  // for a short channel: which one (1 to 3), and its values read
};

TEST_F(GammaFileTest, TakesValidFilesAndSaysWhyItRefusesTheOthers) {
    const std::string sample = Join(SampleLines());
    Lines glued = SampleLines();
    glued[0] = "0x4743444610";  // the signature's piece, then "10\n" as line 2
    glued.erase(glued.begin() + 1);
    const GammaFileFault kNone = GammaFileFault::kNone;

    const std::vector<FileCase> cases = {
        {"plain file", true, sample, kNone, 0, {}},
        {"CR LF line ends", true, Join(SampleLines(), "\r\n"), kNone, 0, {}},
        {"0x before the signature", true, Join(glued), kNone, 0, {}},
        {"end of file mark after the 770th line", true, sample + "\x1A" + "junk\n", kNone, 0, {}},
        {"1023 taken", true, SampleWith(10, "1023"), kNone, 0, {{0, 7, 1023}}},
        {"65536 is its low 16 bits", true, SampleWith(259, "65536"), kNone, 0, {{1, 0, 0}}},
        {"sign, blanks and trailing text", true, SampleWith(515, " +7 cd"), kNone, 0, {{2, 0, 7}}},

        {"no file", false, "", GammaFileFault::kCannotOpen, 0, {}},
        {"empty file", true, "", GammaFileFault::kMissingLine, 1, {}},
        {"signature alone", true, "47434446\n", GammaFileFault::kMissingLine, 2, {}},
        {"wrong signature", true, SampleWith(1, "47434447"), GammaFileFault::kWrongSignature, 1, {},
         0x47434447},
        {"signature past 32 bits", true, SampleWith(1, "147434446"), GammaFileFault::kOutOfRange, 1, {}},
        {"signature not a number", true, SampleWith(1, "GCDF"), GammaFileFault::kNotANumber, 1, {}, 0, "GCDF\n"},
        // "0x47434446\n" is 11 characters: its line end is read as line 2.
        {"0x signature on a line of its own", true, SampleWith(1, "0x47434446"),
         GammaFileFault::kNotANumber, 2, {}, 0, "\n"},
        {"header 8", true, SampleWith(2, "8"), GammaFileFault::kWrongHeader, 2, {}, 8},
        {"1024 refused", true, SampleWith(300, "1024"), GammaFileFault::kAboveMaximum, 300, {}, 1024, "1024\n"},
        {"-1 refused", true, SampleWith(515, "-1"), GammaFileFault::kAboveMaximum, 515, {}, -1},
        {"largest int refused", true, SampleWith(4, "2147483647"), GammaFileFault::kAboveMaximum, 4, {},
         2147483647},
        {"past the int range", true, SampleWith(4, "2147483648"), GammaFileFault::kOutOfRange, 4, {}, 0, "2147483648"},
        {"letters on a value line", true, SampleWith(400, "abc"), GammaFileFault::kNotANumber, 400, {}},
        {"empty value line", true, SampleWith(3, ""), GammaFileFault::kNotANumber, 3, {}},
        {"end of file mark inside channel 2", true, SampleWith(300, "\x1A"), GammaFileFault::kChannelShort,
         299, {}, 0, nullptr, 2, 41},
        {"1 value line missing", true, SampleWithout(1), GammaFileFault::kChannelShort, 769, {}, 0, nullptr, 3, 255},
        {"256 missing", true, SampleWithout(256), GammaFileFault::kChannelShort, 514, {}, 0, nullptr, 3, 0},
        {"257 missing", true, SampleWithout(257), GammaFileFault::kChannelShort, 513, {}, 0, nullptr, 2, 255},
        {"768 missing", true, SampleWithout(768), GammaFileFault::kChannelShort, 2, {}, 0, nullptr, 1, 0},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(drive.root() + "/gamma/test.gc");
        if (c.present) drive.WriteFile("gamma\\test.gc", c.text);
        GammaTable table = Sentinel();
        vca::GammaFileReport report;
        bool taken = vca::ReadGammaFileReport(u"C:\\gamma\\test.gc", &table, &report);
        EXPECT_EQ(report.fault, c.fault);
        EXPECT_EQ(report.line, c.line);
        if (c.fault == GammaFileFault::kChannelShort) {
            EXPECT_EQ(std::make_pair(report.channel, report.valuesRead), std::make_pair(c.channel, c.valuesRead));
        }
        if (c.fault == kNone) {
            ASSERT_TRUE(taken);
            GammaTable expected{vca::kGammaHeader, {}};
            for (int channel = 0; channel < vca::kGammaChannels; ++channel)
                for (int i = 0; i < vca::kGammaEntries; ++i) expected.channel[channel][i] = SampleEntry(channel, i);
            for (const auto& probe : c.probes) expected.channel[probe.channel][probe.index] = probe.entry;
            EXPECT_EQ(std::memcmp(&table, &expected, sizeof table), 0);
        } else {
            EXPECT_FALSE(taken);
            if (c.number != 0) {
                EXPECT_EQ(report.number, c.number);
            }
            if (c.piece) {
                EXPECT_STREQ(report.text, c.piece);
            }
            GammaTable untouched = Sentinel();
            EXPECT_EQ(std::memcmp(&untouched, &table, sizeof table), 0) << "a refused file changed the table";
        }
    }
}

// A written table reads back unchanged; a table that could not be read
// back (a header other than 10, an entry above 1023) is not written at all.
TEST_F(GammaFileTest, WritesOnlyTablesThatReadBackUnchanged) {
    const struct { const char* what; std::uint32_t header; int channel, index; std::uint16_t entry; bool written; } cases[] = {
        {"all 0", 10, 0, 0, 0, true},
        {"1023 at the end", 10, 2, 255, 1023, true},
        {"header 9", 9, 0, 0, 0, false},
        {"screen 1 header", 10 | 0x10000, 0, 0, 0, false},
        {"entry 1024", 10, 2, 255, 1024, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GammaTable table{};
        for (int channel = 0; channel < vca::kGammaChannels; ++channel)
            for (int i = 0; i < vca::kGammaEntries; ++i)
                table.channel[channel][i] = static_cast<std::uint16_t>((i * 37 + channel * 511) % 1024);
        table.header = c.header;
        table.channel[c.channel][c.index] = c.entry;
        const char16_t* path = c.written ? u"C:\\out.gc" : u"C:\\bad.gc";
        EXPECT_EQ(vca::WriteGammaFile(path, table), c.written);
        GammaTable back = Sentinel();
        EXPECT_EQ(vca::ReadGammaFile(path, &back), c.written) << "a refused table made a file";
        if (c.written) {
            EXPECT_EQ(std::memcmp(&back, &table, sizeof back), 0);
        }
    }
    EXPECT_FALSE(vca::WriteGammaFile(u"C:\\no such folder\\out.gc", Sentinel()));
    const std::string text = vcatest::ReadFileBytes(drive.root() + "/out.gc");
    EXPECT_EQ(text.rfind("47434446\r\n10\r\n0\r\n37\r\n", 0), 0u) << text.substr(0, 20);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), vca::kGammaFileLines);
}

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

TEST(GammaTableTest, EntriesAreTheRoundedTenBitPowerCurveForAnyValue) {
    const struct { double gamma; int index, entry; } cases[] = {
        {2.2, 1, 82},     {2.2, 128, 748}, {2.2, 254, 1021}, {0.5, 1, 0},      {0.5, 128, 258},
        {0.5, 254, 1015}, {1.8, 128, 698}, {5.0, 1, 338},    {0.01, 254, 691}, {1.01, 128, 517},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Computed(c.gamma).channel[0][c.index], c.entry) << "gamma " << c.gamma << " entry " << c.index;
    // Values the dialog cannot give still make 10-bit entries.
    for (double gamma : {0.0, -1.0, 1e-320, 1e300, std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()})
        Computed(gamma);

    // Gamma 1 is the linear table: i x 1023 / 255 to the nearest whole number.
    GammaTable linear{};
    vca::MakeLinearTable(&linear);
    const GammaTable one = Computed(1.0);
    for (int i = 0; i < vca::kGammaEntries; ++i) {
        ASSERT_EQ(linear.channel[2][i], (i * 1023 * 2 + 255) / 510) << "entry " << i;
        ASSERT_EQ(one.channel[2][i], linear.channel[2][i]) << "entry " << i;
    }
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

TEST_F(GammaFileTest, SettlingFallsBackToTheLinearTableWhenTheRecordCannotBeShown) {
    GammaTable fileTable = Computed(1.7);
    fileTable.channel[2][10] = 5;  // channels that differ prove the file was read
    ASSERT_TRUE(vca::WriteGammaFile(u"C:\\WINDOWS\\warm.gc", fileTable));

    const GammaTable sentinel = Sentinel();
    GammaTable linear{};
    vca::MakeLinearTable(&linear);

    struct Case {
        const char* name;
        std::uint32_t source;
        double gamma;
        const char16_t* file;
        std::uint32_t shownSource;
        int position;
        const char16_t *valueText, *pathText;
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
