// The reader's shortcuts against plain statements of what they stand for:
// the one-pass check against the applet's steps and record lines against
// the text's lines, over the reader's fuzz corpus; value lines against a
// plain reading of them; reals against their definition.
#include <charconv>
#include <cstring>
#include <filesystem>
#include <random>
#include <tuple>

#include "reader_support.h"

namespace {

using timingtest::ReaderTest;
using Stage = vca::TimingCheckStage;

std::uint64_t Bits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

auto Fields(const vca::TimingEntry& e) {
    return std::make_tuple(e.tag, e.type, e.xres, e.yres, e.refresh, e.hfreq, e.monid, e.flags, e.line, e.data);
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
        texts.push_back(timingtest::ReadFile(file.path().string()));
    texts.push_back(timingtest::kHeader);
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

        vca::TimingEntry entry{};
        entry.data = block.c_str() + 1;
        entry.line = 1;
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
