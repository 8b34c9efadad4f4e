// The header: numbers, and the version and DISPLAY section with its
// "{ name=value ... }" monitor blocks, found by keyword among comment lines.
// The record part: keyword lines, FLAGS blocks, the values of "timing"
// data blocks, query masks, the line numbers of errors in LF and CR LF
// files, the order of fetched entries with the duplicate report, and the
// monitor limits read from a file. Last, the reader's shortcuts against
// plain statements of what they stand for.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "platform/host/host.h"
#include "support/applet_fixture.h"
#include "timingdb/monitor_catalogue.h"
#include "timingdb/scanner.h"
#include "timingdb/section_parser.h"
#include "timingdb/timing_check.h"
#include "timingdb/timing_queries.h"
#include "timingdb/timing_validation.h"

namespace {

using vca::TimingEntry;
using Stage = vca::TimingCheckStage;

// A header of five lines with the tags "mon1" and "mon2"; the record part
// starts on line 5, just after the section's "}".
const std::string kHeader =
    "version 1\ndisplay {\n { tag=mon1 desc=\"One\" }\n { tag=mon2 desc=\"Two\" }\n}\n";

// The same text with CR LF line ends.
std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? "\r\n" : std::string(1, c);
    return out;
}

// The bytes of a file: a name of tests/data/timingdb, or a full path.
std::string ReadFile(const std::string& path) {
    return vcatest::ReadFileBytes(path[0] == '/' ? path : VCA_SOURCE_DIR "/tests/data/timingdb/" + path);
}

// Every field of an entry, to compare entries whole.
auto Fields(const vca::TimingEntry& e) {
    return std::make_tuple(e.tag, e.type, e.xres, e.yres, e.refresh, e.hfreq, e.monid, e.flags, e.line, e.data);
}

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::Reset();
        vca::ResetTimingReaderState();
    }
    void TearDown() override { vca::ReleaseTimingDatabase(&db); }

    // A header parse, or the whole read (header, count, fetch, timing
    // values), on a fresh machine and database.
    int ParseHeader(const std::string& text) {
        vca::ReleaseTimingDatabase(&db);
        host::Reset();
        return vca::ParseTimingHeader(text.c_str(), &db);
    }
    vca::TimingCheckResult Check(const std::string& text, vca::TimingValues values = vca::TimingValues::kKeep) {
        vca::ReleaseTimingDatabase(&db);
        host::Reset();
        return vca::CheckTimingText(text.c_str(), &db, values);
    }

    vca::TimingDatabase db{};
};

TEST_F(ReaderTest, NumbersReadTheirLongestPrefixAndReportNonDigits) {
    const char* notDigitA = "parse error: not digit: 'a' ParseIntData\n";
    struct Case {
        const char* text;  // the parser starts after the first character
        bool real;
        double value;
        int status;
        std::ptrdiff_t end;
        const char* diagnostic;
        int errorLine;
    } cases[] = {
        {" 0x1F}", false, 31, vca::kValueOk, 5, "", 0},
        {" -5 ", false, -5, vca::kValueOk, 3, "", 0},
        {" 99999999999", false, 2147483647, vca::kValueOk, 12, "", 0},
        {" 0xFFFFFFFF", false, -1, vca::kValueOk, 11, "", 0},
        {" 12345678901234567890123456789012", false, 0, vca::kValueTooLong, 1, "", 0},
        {" abc", false, 0, vca::kValueNotDigit, 1, notDigitA, 1},
        {"=\n\nabc", false, 0, vca::kValueNotDigit, 3, notDigitA, 2},  // starts a line: the line before
        {" ", false, 0, vca::kValueNotDigit, 1, "parse error: not digit: '' ParseIntData\n", 1},
        {" .5", true, 0.5, vca::kValueOk, 3, "", 0},
        {" \n -2}", true, -2.0, vca::kValueOk, 5, "", 0},
        {"=\nx", true, 0.0, vca::kValueNotDigit, 2, "parse error:  not digit 'x' ParseIntData\n", 2},
        {" 0.000000000000000000000000000001", true, 0.0, vca::kValueTooLong, 1, "", 0},
    };
    for (const auto& c : cases) {
        host::Reset();
        vca::ResetTimingReaderState();
        const char* cursor = c.text + 1;
        std::int32_t integer = 12345;
        double real = 7.0;
        int status = c.real ? vca::ParseFloatData(cursor, &real) : vca::ParseIntData(cursor, vca::kIntDecimal, &integer);
        EXPECT_EQ(status, c.status) << c.text;
        EXPECT_DOUBLE_EQ(c.real ? real : integer, c.value) << c.text;
        EXPECT_EQ(cursor - c.text, c.end) << c.text;
        EXPECT_EQ(host::Diagnostics(), c.diagnostic) << c.text;
        EXPECT_EQ(vca::timingErrorLine, c.errorLine) << c.text;
    }
}

std::string Blocks(int count, int distinctTags) {
    std::string text = "version 3\ndisplay {\n";
    for (int i = 0; i < count; ++i)
        text += " { tag=t" + std::to_string(i % distinctTags) + " desc=\"M" + std::to_string(i) + "\" }\n";
    return text + "}";
}

TEST_F(ReaderTest, HeadersAreAcceptedOrRejectedWithTheirLineAndDiagnostic) {
    const char* syntax = "DISPLAY section syntax error\n";
    const std::string tag63(63, 't'), desc95(95, 'd');
    struct Case {
        std::string text;
        int result;
        int line;  // of the error, or where the record part starts
        std::string diagnostics;
        std::uint32_t tags, entries;
    } cases[] = {
        {"; db\n ;\nversion 3\ndisplay {\n {\n  tag=mon1\n  desc=\"M\"\n }\n}\n", 0, 9, "", 1, 1},
        {"version 2\r\ndisplay {\r\n { tag=a desc=\"x\" }\r\n}\r\ntag a", 0, 4, "", 1, 1},
        {"DISPLAY { {tag=a desc=\"x\" HFMAX=80} } VERSION\n\n -7;", 0, 3, "", 1, 1},
        // A tag holds up to 63 characters, a quoted string up to 95 and its line ends.
        {"version 3\ndisplay {\n { tag=" + tag63 + " desc=\"" + desc95 + "\" }\n { desc=\"two\nlines\" tag=b }\n}", 0, 6,
         "", 2, 2},
        {"version 3\ndisplay { { tag=" + tag63 + "t desc=\"x\" } }", 1, 2, syntax, 0, 0},
        {"version 3\ndisplay { { tag=a desc=\"" + desc95 + "d\" } }", 1, 2, syntax, 0, 0},
        {"version 3\ndisplay { { tag=a desc=x } }", 1, 2, syntax, 0, 0},
        {"version 3\ndisplay { { tag=a } }", 1, 2, syntax, 0, 0},
        {Blocks(19, 19), 0, 22, "", 19, 19},
        {Blocks(20, 5), 0, 23, "", 5, 20},
        {Blocks(20, 20), 1, 22, "TAGS: limit reached\n", 19, 19},
        {Blocks(21, 3), 1, 23, syntax, 3, 20},
        {"versions 3\ndisplay { {tag=a desc=\"x\"} }", 1, 1, "", 0, 0},
        {"version=3\ndisplay { {tag=a desc=\"x\"} }", 1, 1, "parse error: not digit: '=' ParseIntData\n", 0, 0},
        {"version 3\ndisplay {\n { tag=a desc=\"x\"\n   hfmax = 80 }\n}", 1, 4, syntax, 0, 0},
        // A string that never closes is reported on the line where it opens.
        {"version 3\ndisplay {\n { tag=a desc=\"x\n\n", 1, 3, syntax, 0, 0},
        {"version 3\ndisplay {\n { tag=a desc=\"x\"\n hfmax=60 hfmin=60\n }\n}", 99, 5, "", 1, 0},
        {"version 3\ndisplay {\n { tag=a desc=\"x\" vfmax=0 vfmin=0 }\n}", 99, 3, "", 1, 0},
        {"version 3\ndisplay {\n}", 1, 3, syntax, 0, 0},
        {"version 3\ndisplay {}", 1, 1, syntax, 0, 0},  // just after a "{": the line before
        {"version 3\ndisplay {\n { tag=a desc=\"x\" } ; comment\n}", 1, 3, syntax, 1, 1},
        {"version 3\n\n; nothing more\n", 1, 4, "", 0, 0},
        {"display { {tag=a desc=\"x\"} }\n; the text ends in this comment", 1, 2, "", 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseHeader(c.text), c.result) << c.text;
        EXPECT_EQ(c.result == 0 ? db.recordLine : vca::timingErrorLine, c.line) << c.text;
        EXPECT_EQ(host::Diagnostics(), c.diagnostics) << c.text;
        EXPECT_EQ(db.tagCount, c.tags) << c.text;
        std::uint32_t entries = 0;
        for (const vca::DISPENTRY* e = db.entries; e; e = e->next) ++entries;
        EXPECT_EQ(entries, c.entries) << c.text;
        vca::ReleaseTimingDatabase(&db);
        EXPECT_EQ(host::OutstandingAllocations(), 0) << c.text;
    }
}

const std::string kGlm = "tag mon1\ntype glm\nxres 640\nyres 480\nrefresh 60\nflags { }\ndata {\n}\n";

TEST_F(ReaderTest, RecordErrorsGiveTheirDiagnosticAndLineInLfAndCrLfFiles) {
    // The record part starts on line 5; its first record on line 6.
    const char* kNotDigit = "parse error: not digit: 'a' ParseIntData\n";
    struct Case {
        std::string records;
        int errorLine;  // 0: the text reads
        std::string diagnostics;  // of the LF file
        vca::TimingCheckStage stage = vca::TimingCheckStage::kRecords;
    } cases[] = {
        {kGlm + "xres abc\n" + kGlm + "; the end\n", 0, std::string(kNotDigit) + kNotDigit},  // once per pass
        {"tag mon1\ntype glm\nxres 1\nyres 1\nrefresh 1\nflags {}\ndata ; a\n ; b\n {\n}\n" + kGlm, 0, ""},
        {"TAG Mon1\ntype vqx/gli\nxres 1\nyres 1\nrefresh 1\nflags {}\ndata {\n}", 0, ""},
        {"tag mon3 ; x\ntype glm\n", 6, "Invalid Tag \"mon3 ; x\ntyp\"\n"},
        {kGlm + "tag\nmon3\n", 14, "Invalid Tag \"mon3\n\"\n"},  // starts a line: the line before
        {"tag mon1\ntype vga 1234\n", 7, "Invalid type \"vga 1234\"\n"},
        {"tag mon1\ntype glm\nflags\n{ wire=123456789012345678901234567890123 }\n", 9,
         "Invalid FLAGS specified \"{ wire=12345\"\n"},
        {"tag mon1\ntype glm\nflags { speed=1 }\n", 8, "Invalid FLAGS specified \"peed=1 }\n\"\n"},  // one past the name
        {"tag mon1\ntype glm\nflags { stereo=maybe }\n", 8, "Invalid FLAGS specified \"{ stereo=may\"\n"},
        {"tag mon1\ndata x\n", 7, "Invalid DATA syntax\n"},
        {"tag mon1\ndata {\n}\n", 7, "Syntax error: missing TYPE\n"},
        {"tag mon1\ntype glm\nxres 640\nyres 480\nrefresh 60\ndata {\n}\n", 11, "TYPE = GL*: Missing keywords\n"},
        {kGlm + "type timing\ndata {\n}\n", 15, "TYPE = TIMING: Missing keywords\n"},
        {kGlm + "tag mon2\ntype glm\nxres 1\nyres 1\nrefresh 1\nflags {}\ndata {\n\n", 22, "Unexpected end of buffer\n"},
        {kGlm + "\nmode 640x480\n", 15, ""},
        {kGlm + "; a comment without its line end", 14, ""},
        // A "}" is no value: the block ends before its ninth value line.
        {"tag mon2\ntype timing\ndata {\n1\n2\n3\n4\n5\n6\n7\n8\n}\n", 17, "", vca::TimingCheckStage::kData},
    };
    for (const auto& c : cases) {
        for (bool crlf : {false, true}) {
            const std::string text = crlf ? Crlf(kHeader + c.records) : kHeader + c.records;
            const vca::TimingCheckResult check = Check(text);
            EXPECT_EQ(check.result, c.errorLine == 0 ? 0 : 1) << text;
            if (c.errorLine != 0) {
                EXPECT_EQ(check.stage, c.stage) << text;
                EXPECT_EQ(check.errorLine, c.errorLine) << text;
            }
            if (!crlf) {
                EXPECT_EQ(host::Diagnostics(), c.diagnostics) << text;
            }
        }
    }
}

// Flag bits and monitor id come from the FLAGS lines; a "timing" record
// also gives its values, hfreq, flags and monitor id to its timing. The
// data block's line is the same in LF and CR LF files. (How each value
// line reads is checked by ValueLinesReadAsTheirCharactersSay.)
TEST_F(ReaderTest, RecordsCarryTheirFlagsAndTimingValues) {
    struct Case { std::string type; std::string flagLines; std::uint32_t flags; std::uint32_t monid; } cases[] = {
        {"glm", "flags { }", vca::TF_FSEL, 0},
        {"vqx/gli", "flags { stereo=true hexdata=TRUE }", vca::TF_FSEL | vca::TF_STEREO | vca::TF_HEXDATA, 0},
        {"glm", "flags { fsel=false stereo=false hspos=true vspos=false }", 0, 0},
        {"glm", "flags { wire=4 monid=0x12345 }", vca::TF_FSEL | vca::TF_4WIRE | vca::TF_MONID, 0x2345},
        {"glm", "flags { wire=4 }\nflags { stereo=true wire=3 }", vca::TF_FSEL | vca::TF_STEREO, 0},
        {"timing", "flags { ilace=true fss=true css=true monid=0x12 }",
         vca::TF_INTERLACED | vca::TF_FSS | vca::TF_CSS | vca::TF_MONID, 0x12},
        {"timing", "flags { ilace=true monid=7 }\nflags { wire=4 }",
         vca::TF_INTERLACED | vca::TF_MONID | vca::TF_4WIRE, 0},
    };
    for (const auto& c : cases) {
        for (bool crlf : {false, true}) {
            const std::string text = kHeader + "tag mon1\ntype " + c.type + "\nxres 1\nyres 1\nrefresh 1\nhfreq 7\n" +
                                     c.flagLines + "\ndata {\n  25.175 ; MHz\n800\n 640\t\n96\n16\n525.5\n480\n2\n10.5\n}\n";
            const vca::TimingCheckResult check = Check(crlf ? Crlf(text) : text);
            ASSERT_EQ(check.result, 0) << text << host::Diagnostics();
            const vca::TimingEntry& r = check.records.at(0);
            const int dataLine = 13 + static_cast<int>(std::count(c.flagLines.begin(), c.flagLines.end(), '\n'));
            EXPECT_EQ(std::make_tuple(r.flags, r.monid, int{r.line}), std::make_tuple(c.flags, c.monid, dataLine)) << text;
            if (c.type != "timing") continue;
            const vca::TimingCandidate& t = check.timings.at(0);
            EXPECT_EQ(std::make_tuple(t.pixelClock, t.hActive, t.vTotal, t.vFrontPorch, t.hfreq, t.flags, t.monid),
                      std::make_tuple(25.175, 640u, 525.5, 10.5, std::uint16_t{7}, c.flags, c.monid))
                << text;
        }
    }
}

// Each monitor block of monitor-limits.dat limits the timing of its tag and
// says in its description what the limits decide.
TEST_F(ReaderTest, EveryNonZeroMonitorLimitBoundsItsQuantityInclusively) {
    const vca::TimingCheckResult check = Check(ReadFile("monitor-limits.dat"));
    ASSERT_EQ(check.result, 0) << host::Diagnostics();
    int checked = 0;
    for (const vca::DISPENTRY* block = db.entries; block; block = block->next) {
        vca::MonitorEntry monitor{};
        std::copy(block->limits, block->limits + vca::kLimitCount, monitor.limits);
        const std::string desc = block->desc;
        for (const vca::TimingCandidate& timing : check.timings) {
            if (timing.tag != block->tag) continue;
            const vca::TimingVerdict verdict = vca::CheckTiming(timing, {0, 0, 0, 0}, 8, monitor);
            std::string found = vca::TimingTestName(verdict.test);
            if (verdict.limitIndex >= 0) found += std::string(" ") + vca::kLimitNames[verdict.limitIndex];
            EXPECT_EQ(found, desc.substr(desc.find(": ") + 2)) << desc;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 14);
}

TEST_F(ReaderTest, QueriesReturnTheRecordsMatchingEveryMaskBit) {
    const std::string text = ReadFile("queries.dat");
    ASSERT_EQ(ParseHeader(text), 0);
    struct Case {
        std::uint32_t mask;
        std::uint16_t tag, type, monid;
        std::vector<int> lines;  // of the records returned, in file order
    } cases[] = {
        {vca::QM_ALL | vca::QM_TYPE, 0, 9, 0, {14, 22, 26, 40}},
        {vca::QM_TAG | vca::QM_TYPE, 1, 2, 0, {26, 40}},
        {vca::QM_TAG, 0, 0, 0, {14, 22}},
        {vca::QM_STEREO, 0, 0, 0, {14, 40}},
        {vca::QM_MONID | vca::QM_TYPE, 0, 2, 5, {40}},
        {vca::QM_MONID, 0, 0, 0, {14}},  // a record without FLAGS has no monitor id to match
        {vca::QM_TYPE | 0x100, 0, 1, 0, {}},
    };
    for (const auto& c : cases) {
        const vca::TimingEntry pattern{c.tag, c.type, 0, 0, 0, 0, c.monid, 0, 0, nullptr};
        std::uint32_t count = 99;
        ASSERT_EQ(vca::CountTimingEntries(text.c_str(), db, pattern, c.mask, &count), 0);
        ASSERT_EQ(count, c.lines.size()) << c.mask;
        std::vector<vca::TimingEntry> entries(count + 1);
        ASSERT_EQ(vca::FetchTimingEntries(text.c_str(), db, pattern, c.mask, entries.data(), count), 0);
        for (std::uint32_t i = 0; i < count; ++i) EXPECT_EQ(entries[i].line, c.lines[i]) << c.mask;
    }
    std::uint32_t count = 99;
    vca::TimingEntry entries[3];
    EXPECT_EQ(vca::FetchTimingEntries(text.c_str(), db, {}, vca::QM_ALL, entries, 3), 1);
    EXPECT_EQ(vca::CountTimingEntries(text.c_str(), db, {}, 0, &count), 1);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(host::Diagnostics(), "NULL query mask\n");
}

// The sort keys in stage order: type, tag, monitor id, stereo bit, vertical
// resolution, refresh.
std::uint32_t Key(const TimingEntry& e, int stage) {
    const std::uint32_t keys[] = {e.type, e.tag, e.monid, e.flags & vca::TF_STEREO, e.yres, e.refresh};
    return keys[stage];
}

// The six exchange stages written out literally: stage k sweeps over all
// neighbours until nothing moves, swapping two that are equal in the keys
// of the earlier stages (and both carry a monitor id, in the monitor id
// stage) and out of order in key k.
void ReferenceSort(std::vector<TimingEntry>& e) {
    for (int k = 0; k < 6; ++k) {
        for (bool moved = true; moved;) {
            moved = false;
            for (std::size_t i = 0; i + 1 < e.size(); ++i) {
                bool comparable = k != 2 || (e[i].flags & e[i + 1].flags & vca::TF_MONID);
                for (int j = 0; j < k; ++j) comparable = comparable && Key(e[i], j) == Key(e[i + 1], j);
                if (comparable && Key(e[i], k) > Key(e[i + 1], k)) {
                    std::swap(e[i], e[i + 1]);
                    moved = true;
                }
            }
        }
    }
}

std::vector<int> Lines(const std::vector<TimingEntry>& entries) {
    std::vector<int> lines;
    for (const TimingEntry& e : entries) lines.push_back(e.line);
    return lines;
}

// Entries from small value ranges, so that every stage meets ties; the
// line field numbers them so that the order of equal entries shows.
// Neighbours equal in every field are reported and kept.
TEST_F(ReaderTest, SortingGivesExactlyTheOrderOfTheExchangeStagesAndReportsDuplicates) {
    std::mt19937 random(20240611);
    const std::uint32_t flagBits[] = {0, vca::TF_MONID, vca::TF_STEREO, vca::TF_MONID | vca::TF_STEREO,
                                      vca::TF_MONID | vca::TF_FSEL};
    for (int round = 0; round < 3000; ++round) {
        std::vector<TimingEntry> entries(1 + random() % 40);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            auto pick = [&random](int count, int first, int step) {
                return static_cast<std::uint16_t>(first + step * static_cast<int>(random() % count));
            };
            entries[i] = {pick(3, 0, 1), pick(3, 0, 1), pick(2, 640, 1), pick(2, 480, 120), pick(2, 60, 15), 0,
                          pick(3, 0, 1), flagBits[pick(5, 0, 1)], static_cast<std::uint16_t>(i), nullptr};
        }
        std::vector<TimingEntry> expected = entries;
        ReferenceSort(expected);
        vca::SortTimingEntries(entries.data(), static_cast<std::uint32_t>(entries.size()));
        ASSERT_EQ(Lines(entries), Lines(expected)) << "round " << round;
    }

    host::Reset();
    std::vector<TimingEntry> entries(4, TimingEntry{0, 1, 1280, 1024, 60, 0, 0, vca::TF_FSEL, 0, nullptr});
    for (std::uint16_t i = 0; i < 4; ++i) entries[i].line = i;
    entries[1].refresh = 75;
    entries[3].hfreq = 80;  // differs only in hfreq: not a duplicate
    vca::SortTimingEntries(entries.data(), 4);
    EXPECT_EQ(Lines(entries), (std::vector<int>{0, 2, 3, 1}));
    EXPECT_EQ(host::Diagnostics(),
              "\nWARNING - duplicate entries:\nT=1 Tag=0 fl=0x8 monId=0x0 Xres=1280 Yres=1024 Refresh=60 Hfreq=0\n\n");
}

// The reader's shortcuts against plain statements of what they stand for:
// the one-pass check against the applet's steps and record lines against
// the text's lines, over the reader's fuzz corpus; value lines against a
// plain reading of them; reals against their definition.

std::uint64_t Bits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

auto Fields(const vca::TimingCandidate& c) {
    return std::make_tuple(Bits(c.pixelClock), c.hTotal, c.hActive, c.hSync, c.hFrontPorch, Bits(c.vTotal), c.vActive,
                           c.vSync, Bits(c.vFrontPorch), c.monid, c.flags, c.type, c.tag, c.hfreq, c.data);
}

template <typename Item>
auto AllFields(const std::vector<Item>& items) {
    std::vector<decltype(Fields(Item{}))> all;
    for (const Item& item : items) all.push_back(Fields(item));
    return all;
}

// The applet's steps, as start-up runs them: header, count, fetch, values.
// A failed step leaves its stage, result and error line, and the records
// when the values failed.
vca::TimingCheckResult RunSteps(const char* text, vca::TimingDatabase* db) {
    vca::TimingCheckResult out;
    auto failed = [](Stage stage, int result) {
        vca::TimingCheckResult failure;
        failure.stage = stage, failure.result = result, failure.errorLine = vca::timingErrorLine;
        return failure;
    };
    if (int result = vca::ParseTimingHeader(text, db)) return failed(Stage::kHeader, result);
    std::uint32_t n = 0;
    if (vca::CountTimingEntries(text, *db, {}, vca::QM_ALL, &n) != 0) return failed(Stage::kRecords, 1);
    out.records.resize(n + 1);
    if (vca::FetchTimingEntries(text, *db, {}, vca::QM_ALL, out.records.data(), n) != 0)
        return failed(Stage::kRecords, 1);
    out.records.resize(n);
    std::vector<vca::TimingEntry> timing;
    for (const vca::TimingEntry& e : out.records)
        if (e.type == vca::kTypeTiming) timing.push_back(e);
    out.timings.resize(timing.size() + 1);
    bool error = false;
    vca::ReadTimingData(static_cast<std::uint32_t>(timing.size()), &error, out.timings.data(), timing.data());
    out.timings.resize(error ? 0 : timing.size());
    if (error) out.stage = Stage::kData, out.result = 1, out.errorLine = vca::timingErrorLine;
    return out;
}

// Every text of the reader's fuzz corpus (minimised for coverage of the
// reader, so it reaches every stage and most error paths), and one text
// whose 70,000 lines wrap the 16-bit line counter.
std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const auto& file : std::filesystem::directory_iterator(VCA_SOURCE_DIR "/fuzz/corpus/timing"))
        texts.push_back(ReadFile(file.path().string()));
    texts.push_back(kHeader);
    for (int i = 0; i < 5400; ++i)
        texts.back() += "tag mon1\r\ntype timing\r\ndata {\n1\n2\n3\n4\n5\n6\n7\n8\n9.5 ; " + std::to_string(i) + "\n}\n";
    return texts;
}

// A record's line is the number of the line its data pointer stands on,
// counted in 16 bits: the line counting that skips data blocks in bulk
// must pass every LF.
TEST_F(ReaderTest, OnePassCheckMatchesTheAppletsStepsAndCountsEveryLine) {
    int stages[4] = {};
    std::size_t linesChecked = 0;
    for (const std::string& text : Texts()) {
        const vca::TimingCheckResult check = Check(text);
        const std::string diagnostics = host::Diagnostics();
        vca::TimingDatabase stepsDb{};
        host::Reset();
        const vca::TimingCheckResult steps = RunSteps(text.c_str(), &stepsDb);
        vca::ReleaseTimingDatabase(&stepsDb);

        SCOPED_TRACE(text.substr(0, 4096));
        ASSERT_EQ(std::tie(check.stage, check.result, check.errorLine),
                  std::tie(steps.stage, steps.result, steps.errorLine));
        EXPECT_EQ(diagnostics, host::Diagnostics());
        EXPECT_EQ(AllFields(check.records), AllFields(steps.records));
        EXPECT_EQ(AllFields(check.timings), AllFields(steps.timings));
        // The check that keeps no values gives the same verdict, count and output.
        const vca::TimingCheckResult verdict = Check(text, vca::TimingValues::kCheckOnly);
        const auto count = static_cast<std::uint32_t>(steps.records.size());
        EXPECT_EQ(std::tie(verdict.stage, verdict.result, verdict.errorLine, verdict.recordCount, check.recordCount),
                  std::tie(steps.stage, steps.result, steps.errorLine, count, count));
        EXPECT_EQ(diagnostics, host::Diagnostics());
        ++stages[static_cast<int>(check.stage)];
        const char* counted = text.c_str();
        std::uint16_t line = 1;
        for (const vca::TimingEntry& record : check.records) {
            for (; counted < record.data; ++counted) line = static_cast<std::uint16_t>(line + (*counted == '\n'));
            ASSERT_EQ(record.line, line) << "record at offset " << (record.data - text.c_str());
            ++linesChecked;
        }
    }
    // The texts reach every stage, or the comparison proves little.
    for (int stage = 0; stage < 4; ++stage) EXPECT_GT(stages[stage], 50) << stage;
    EXPECT_GT(linesChecked, 5000u);
}

double PlainReal(const std::string& run) {
    double value = 0.0;
    if (std::from_chars(run.data(), run.data() + run.size(), value, std::chars_format::fixed).ec != std::errc())
        return 0.0;
    return value;
}

std::uint32_t PlainInteger(const std::string& run) {
    std::uint64_t value = 0;
    for (char c : run) value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - '0'), 0x7FFFFFFF);
    return static_cast<std::uint32_t>(value);
}

// One value line by its definition: the text up to its LF, less a CR just
// before it, cut at a ";" that starts a comment holding no "}", is at most
// 19 digits, points, blanks and CRs; its number is the run of digits (and
// points, for a real) after the leading blanks.
bool PlainValueLine(const std::string& block, std::size_t& at, bool real, std::string* run) {
    const std::size_t lf = block.find('\n', at);
    if (lf == std::string::npos) return false;
    std::string line = block.substr(at, lf - at);
    at = lf + 1;
    const std::size_t comment = line.find(';');
    if (comment != std::string::npos && line.find('}', comment) != std::string::npos) return false;
    if (comment != std::string::npos) line.erase(comment);
    else if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 19 || line.find_first_not_of("0123456789. \t\r") != std::string::npos) return false;
    const std::size_t begin = std::min(line.find_first_not_of(" \t\r"), line.size());
    *run = line.substr(begin, line.find_first_not_of(real ? "0123456789." : "0123456789", begin) - begin);
    return true;
}

// `length` characters drawn from `bytes`.
std::string RandomText(std::mt19937& random, const char* bytes, std::size_t length) {
    std::string text(length, ' ');
    for (char& c : text) c = bytes[random() % std::strlen(bytes)];
    return text;
}

TEST_F(ReaderTest, ValueLinesReadAsTheirCharactersSay) {
    std::mt19937 random(4);
    int accepted = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string block = "{\n";
        for (int line = 0; line < 9 + static_cast<int>(random() % 2); ++line) {
            std::string text = RandomText(random, "0123456789012345678901234567890123456789..  \t\r;}x-", random() % 22);
            if (random() % 3 == 0) text = std::to_string(random() % 100000) + (random() % 2 ? "." : "") +
                                          std::to_string(random() % 1000);
            block += text + (random() % 5 == 0 ? "\r\n" : "\n");
        }
        block += random() % 10 == 0 ? "" : "}\n";

        const vca::TimingEntry entry{0, 0, 0, 0, 0, 0, 0, 0, 1, block.c_str() + 1};  // its "{" on line 1
        vca::TimingCandidate read{};
        vca::timingErrorLine = 0;
        const bool ok = vca::ReadTimingValues(entry, read);

        // The nine lines in order: the first, sixth and ninth are reals.
        std::size_t at = 2;
        std::uint16_t line = 2;
        vca::TimingCandidate plain = read;
        double* const reals[] = {&plain.pixelClock, &plain.vTotal, &plain.vFrontPorch};
        std::uint32_t* const integers[] = {&plain.hTotal, &plain.hActive, &plain.hSync, &plain.hFrontPorch,
                                           &plain.vActive, &plain.vSync};
        bool expected = true;
        std::string run;
        for (int i = 0, r = 0, n = 0; i < 9 && expected; ++i, ++line) {
            const bool real = i == 0 || i == 5 || i == 8;
            expected = PlainValueLine(block, at, real, &run);
            if (real) *reals[r++] = PlainReal(run);
            else *integers[n++] = PlainInteger(run);
        }
        SCOPED_TRACE(block);
        ASSERT_EQ(ok, expected);
        if (!ok) {
            EXPECT_EQ(vca::timingErrorLine, line - 1);
            continue;
        }
        ++accepted;
        EXPECT_EQ(Fields(read), Fields(plain));
    }
    EXPECT_GT(accepted, 100);
}

// The short conversion of reals against the full one. (Token comparison
// shows in every keyword and tag the other reader tests read.)
TEST_F(ReaderTest, RealShortcutKeepsItsDefinition) {
    std::mt19937 random(5);
    for (int round = 0; round < 20000; ++round) {
        const std::string run = RandomText(random, "01234567890123456789.-", 1 + random() % 20);
        ASSERT_EQ(Bits(vca::ConvertReal(run.data(), run.data() + run.size())), Bits(PlainReal(run))) << run;
    }
}

}  // namespace
