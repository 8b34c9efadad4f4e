// Gamma files: which files are taken, why the others are refused, and
// writing a table so that it reads back the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "gamma/gamma_file.h"
#include "gamma/gamma_table.h"
#include "support/applet_fixture.h"

namespace {

using vca::GammaFileFault;
using vca::GammaTable;
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
         299, {}},
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
        if (c.fault == kNone) {
            ASSERT_TRUE(taken);
            EXPECT_EQ(table.header, vca::kGammaHeader);
            for (int channel = 0; channel < vca::kGammaChannels; ++channel) {
                for (int i = 0; i < vca::kGammaEntries; ++i) {
                    int expected = SampleEntry(channel, i);
                    for (const auto& probe : c.probes)
                        if (probe.channel == channel && probe.index == i) expected = probe.entry;
                    ASSERT_EQ(table.channel[channel][i], expected) << "channel " << channel << " entry " << i;
                }
            }
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

TEST_F(GammaFileTest, ShortChannelSaysWhichChannelAndHowFar) {
    struct Case { int dropped; int channel; int valuesRead; };
    const Case cases[] = {{1, 3, 255}, {256, 3, 0}, {257, 2, 255}, {768, 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dropped << " value lines missing");
        drive.WriteFile("short.gc", SampleWithout(c.dropped));
        GammaTable table = Sentinel();
        vca::GammaFileReport report;
        EXPECT_FALSE(vca::ReadGammaFileReport(u"C:\\short.gc", &table, &report));
        EXPECT_EQ(report.fault, GammaFileFault::kChannelShort);
        EXPECT_EQ(report.channel, c.channel);
        EXPECT_EQ(report.valuesRead, c.valuesRead);
        EXPECT_EQ(report.line, vca::kGammaFileLines - c.dropped);
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

}  // namespace
