// The reader's shortcuts against plain statements of what they stand for:
// the one-pass check against the applet's own steps and record line numbers
// against the lines of the text, over the reader's fuzz corpus; the
// value-line reading against a character-by-character reading of a value
// line; the token and real number shortcuts against their definitions.
#include <charconv>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

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

// The applet's steps, as start-up runs them: header, count, fetch, values.
vca::TimingCheckResult RunSteps(const char* text, vca::TimingDatabase* db) {
    vca::TimingCheckResult out;
    auto failed = [&out](Stage stage, int result) {
        out.stage = stage;
        out.result = result;
        out.errorLine = vca::timingErrorLine;
        return out;
    };
    if (int result = vca::ParseTimingHeader(text, db); result != 0) return failed(Stage::kHeader, result);
    std::uint32_t count = 0;
    if (vca::CountTimingEntries(text, *db, {}, vca::QM_ALL, &count) != 0) return failed(Stage::kRecords, 1);
    out.records.resize(count + 1);
    if (vca::FetchTimingEntries(text, *db, {}, vca::QM_ALL, out.records.data(), count) != 0)
        return failed(Stage::kRecords, 1);
    out.records.resize(count);
    std::vector<vca::TimingEntry> timingEntries;
    for (const vca::TimingEntry& e : out.records)
        if (e.type == vca::kTypeTiming) timingEntries.push_back(e);
    const auto n = static_cast<std::uint32_t>(timingEntries.size());
    out.timings.resize(n + 1);
    bool error = false;
    vca::ReadTimingData(n, &error, out.timings.data(), timingEntries.data());
    if (error) return failed(Stage::kData, 1);
    out.timings.resize(n);
    return out;
}

// Every text of the reader's fuzz corpus (minimised for coverage of the
// reader, so it reaches every stage and most error paths), and one text
// whose 70,000 lines wrap the 16-bit line counter.
std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const auto& file : std::filesystem::directory_iterator(VCA_SOURCE_DIR "/fuzz/corpus/timing"))
        texts.push_back(timingtest::ReadFile(file.path().string()));
    std::string longText = timingtest::kHeader;
    for (int i = 0; i < 5400; ++i)
        longText += "tag mon1\r\ntype timing\r\ndata {\n1\n2\n3\n4\n5\n6\n7\n8\n9.5 ; " + std::to_string(i) + "\n}\n";
    texts.push_back(longText);
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
        const std::uint16_t counter = vca::timingLineCounter;
        vca::TimingDatabase stepsDb{};
        host::Reset();
        const vca::TimingCheckResult steps = RunSteps(text.c_str(), &stepsDb);
        vca::ReleaseTimingDatabase(&stepsDb);

        SCOPED_TRACE(text.substr(0, 4096));
        ASSERT_EQ(check.stage, steps.stage);
        ASSERT_EQ(check.result, steps.result);
        EXPECT_EQ(check.errorLine, steps.errorLine);
        EXPECT_EQ(diagnostics, host::Diagnostics());
        EXPECT_EQ(counter, vca::timingLineCounter);
        ++stages[static_cast<int>(check.stage)];
        if (check.stage == Stage::kHeader || check.stage == Stage::kRecords) continue;
        ASSERT_EQ(check.records.size(), steps.records.size());
        for (std::size_t i = 0; i < steps.records.size(); ++i)
            EXPECT_EQ(Fields(check.records[i]), Fields(steps.records[i])) << "record " << i;
        if (check.stage == Stage::kPassed) {
            ASSERT_EQ(check.timings.size(), steps.timings.size());
            for (std::size_t i = 0; i < steps.timings.size(); ++i)
                EXPECT_EQ(Fields(check.timings[i]), Fields(steps.timings[i])) << "timing " << i;
        }
        const char* counted = text.c_str();
        std::uint16_t line = 1;
        for (const vca::TimingEntry& record : check.records) {
            for (; counted < record.data; ++counted) line = static_cast<std::uint16_t>(line + (*counted == '\n'));
            ASSERT_EQ(record.line, line) << "record at offset " << (record.data - text.c_str());
            ++linesChecked;
        }
    }
    // The texts reach every stage, or the comparison proves little.
    EXPECT_GT(stages[static_cast<int>(Stage::kPassed)], 50);
    EXPECT_GT(stages[static_cast<int>(Stage::kData)], 5);
    EXPECT_GT(stages[static_cast<int>(Stage::kRecords)], 50);
    EXPECT_GT(linesChecked, 5000u);
}

// One value line read character by character: the characters before the
// comment or line end (a CR just before the LF is part of the line end)
// must be digits, points, blanks or CRs, at most 19 of them; a comment may
// not hold "}"; the number is the run after the leading blanks.
bool PlainValueLine(const char*& p, std::string* value) {
    value->clear();
    for (;; ++p) {
        if (*p == '\n' || (*p == '\r' && p[1] == '\n')) {
            p += *p == '\n' ? 1 : 2;
            return true;
        }
        if (*p == ';') {
            for (; *p != '\n'; ++p)
                if (*p == '\0' || *p == '}') return false;
            ++p;
            return true;
        }
        if (!std::strchr("0123456789. \t\r", *p) || *p == '\0' || value->size() == 19) return false;
        *value += *p;
    }
}

std::string NumberRun(const std::string& value, bool real) {
    std::size_t begin = value.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return {};
    std::size_t end = value.find_first_not_of(real ? "0123456789." : "0123456789", begin);
    return value.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
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

TEST_F(ReaderTest, ValueLinesReadAsTheirCharactersSay) {
    std::mt19937 random(4);
    static const char kLineBytes[] = "0123456789012345678901234567890123456789..  \t\r;}x-";
    int accepted = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string block = "{\n";
        for (int line = 0; line < 9 + static_cast<int>(random() % 2); ++line) {
            std::string text(random() % 22, ' ');
            for (char& c : text) c = kLineBytes[random() % (sizeof kLineBytes - 1)];
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
        const char* p = block.c_str() + 2;
        std::uint16_t line = 2;
        vca::TimingCandidate plain = read;
        double* const reals[] = {&plain.pixelClock, &plain.vTotal, &plain.vFrontPorch};
        std::uint32_t* const integers[] = {&plain.hTotal, &plain.hActive, &plain.hSync, &plain.hFrontPorch,
                                           &plain.vActive, &plain.vSync};
        bool expected = true;
        std::string value;
        for (int i = 0, r = 0, n = 0; i < 9 && expected; ++i, ++line) {
            const bool real = i == 0 || i == 5 || i == 8;
            expected = PlainValueLine(p, &value);
            if (real) *reals[r++] = PlainReal(NumberRun(value, true));
            else *integers[n++] = PlainInteger(NumberRun(value, false));
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

// TokenEquals by its definition: both tokens measured up to NUL, blank or
// "=", equal non-zero lengths, equal characters after folding A-Z. And
// the short conversion of reals against the full one.
TEST_F(ReaderTest, TokenAndRealShortcutsKeepTheirDefinitions) {
    std::mt19937 random(5);
    auto text = [&random](const char* bytes, std::size_t length) {
        std::string out(length, ' ');
        for (char& c : out) c = bytes[random() % std::strlen(bytes)];
        return out;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string a = text("aAbBtTgG=  \t\r\n\x01\xc4\xe4", random() % 5);
        const std::string b = text("aAbBtTgG=  \t\r\n\x01\xc4\xe4", random() % 5);
        const std::size_t la = vca::TokenLength(a.c_str()), lb = vca::TokenLength(b.c_str());
        bool expected = la != 0 && la == lb;
        for (std::size_t i = 0; expected && i < la; ++i) expected = vca::ToLowerAscii(a[i]) == vca::ToLowerAscii(b[i]);
        ASSERT_EQ(vca::TokenEquals(a.c_str(), b.c_str()), expected) << '"' << a << "\" \"" << b << '"';
    }
    for (int round = 0; round < 20000; ++round) {
        const std::string run = text("01234567890123456789.-", 1 + random() % 20);
        ASSERT_EQ(Bits(vca::ConvertReal(run.data(), run.data() + run.size())), Bits(PlainReal(run))) << run;
    }
}

}  // namespace
