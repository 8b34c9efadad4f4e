// The reader's shortcuts against plain statements of what they stand for:
// the one-pass check against the applet's own steps, record line numbers
// against the lines of the text, the value-line reading against a
// character-by-character reading of a value line, and the token and real
// number shortcuts against their definitions. Inputs are generated and
// mutated texts, so the odd corners come up without being listed.
#include <charconv>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "reader_support.h"

namespace {

using timingtest::ReaderTest;

std::string Pick(std::mt19937& random, std::initializer_list<const char*> choices) {
    return *(choices.begin() + random() % choices.size());
}

// A header and a mix of records of the three types, with comments, CR LF
// lines and decorated value lines.
std::string GeneratedText(std::mt19937& random, int records) {
    std::string text = "version 1\ndisplay {\n { tag=MS desc=\"Generic\" hfmax=96 hfmin=30 }\n { tag=B desc=\"B\" }\n}\n";
    for (int i = 0; i < records; ++i) {
        const std::string nl = random() % 4 == 0 ? "\r\n" : "\n";
        switch (random() % 4) {
            case 0: {
                std::string block = "data {" + nl;
                for (int line = 0; line < 9; ++line)
                    block += Pick(random, {"", "", " ", "\t"}) + std::to_string(random() % 3000) +
                             Pick(random, {"", "", ".5", ".25", "."}) + Pick(random, {"", "", " ", " ; note"}) + nl;
                text += "tag " + Pick(random, {"MS", "ms", "B"}) + nl + "type timing" + nl +
                        Pick(random, {"", "flags { ilace=true monid=0x12 }\n", "hfreq 80\n"}) + block + "}" + nl;
                break;
            }
            case 1:
                text += "tag MS" + nl + "type glm" + nl + "xres " + std::to_string(random() % 2000) + nl +
                        "yres 480 ; c" + nl + "refresh 60" + nl + "flags { stereo=true wire=4 }" + nl + "data {" +
                        nl + "1 2 3" + nl + "}" + nl;
                break;
            case 2:
                text += "; a comment" + nl;
                break;
            default:
                text += "tag B" + nl + "type vqx/gli" + nl + "xres 0x280" + nl + "yres 480" + nl + "refresh 72" + nl +
                        "flags { fsel=false hexdata=true }" + nl + "data" + nl + "; x" + nl + "{" + nl + "}" + nl;
        }
    }
    return text;
}

// A few random edits: bytes replaced, runs deleted, inserted or copied.
std::string Mutated(std::string text, std::mt19937& random) {
    static const char kBytes[] = "0123456789.-; \t\r\n{}=\"xtagypedimn\x01\xff";
    auto byte = [&random] { return kBytes[random() % (sizeof kBytes - 1)]; };
    for (int edits = 1 + static_cast<int>(random() % 5); edits > 0 && !text.empty(); --edits) {
        const std::size_t at = random() % text.size();
        switch (random() % 4) {
            case 0: text[at] = byte(); break;
            case 1: text.erase(at, 1 + random() % 8); break;
            case 2: text.insert(at, 1 + random() % 4, byte()); break;
            default: text.insert(at, text.substr(random() % text.size(), 1 + random() % 40));
        }
    }
    return text;
}

// Texts for the equivalence checks: a fifth read as generated, the rest
// mutated.
std::vector<std::string> Corpus(unsigned seed, int count) {
    std::mt19937 random(seed);
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        std::string text = GeneratedText(random, 1 + static_cast<int>(random() % 12));
        texts.push_back(i % 5 == 0 ? text : Mutated(text, random));
    }
    return texts;
}

bool SameEntry(const vca::TimingEntry& a, const vca::TimingEntry& b) {
    return a.tag == b.tag && a.type == b.type && a.xres == b.xres && a.yres == b.yres && a.refresh == b.refresh &&
           a.hfreq == b.hfreq && a.monid == b.monid && a.flags == b.flags && a.line == b.line && a.data == b.data;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool SameCandidate(const vca::TimingCandidate& a, const vca::TimingCandidate& b) {
    return SameBits(a.pixelClock, b.pixelClock) && a.hTotal == b.hTotal && a.hActive == b.hActive &&
           a.hSync == b.hSync && a.hFrontPorch == b.hFrontPorch && SameBits(a.vTotal, b.vTotal) &&
           a.vActive == b.vActive && a.vSync == b.vSync && SameBits(a.vFrontPorch, b.vFrontPorch) &&
           a.monid == b.monid && a.flags == b.flags && a.type == b.type && a.tag == b.tag && a.data == b.data &&
           a.hfreq == b.hfreq;
}

// The applet's steps, as start-up runs them: header, count, fetch, values.
struct StepsOutcome {
    vca::TimingCheckStage stage = vca::TimingCheckStage::kPassed;
    int result = 0;
    std::uint16_t errorLine = 0;
    std::vector<vca::TimingEntry> records;
    std::vector<vca::TimingCandidate> timings;
};

StepsOutcome RunSteps(const std::string& text, vca::TimingDatabase* db) {
    StepsOutcome out;
    out.result = vca::ParseTimingHeader(text.c_str(), db);
    if (out.result != 0) {
        out.stage = vca::TimingCheckStage::kHeader;
        out.errorLine = vca::timingErrorLine;
        return out;
    }
    std::uint32_t count = 0;
    std::vector<vca::TimingEntry> entries;
    if (vca::CountTimingEntries(text.c_str(), *db, {}, vca::QM_ALL, &count) == 0) {
        entries.resize(count + 1);
        out.result = vca::FetchTimingEntries(text.c_str(), *db, {}, vca::QM_ALL, entries.data(), count);
    } else {
        out.result = 1;
    }
    if (out.result != 0) {
        out.stage = vca::TimingCheckStage::kRecords;
        out.errorLine = vca::timingErrorLine;
        return out;
    }
    entries.resize(count);
    out.records = entries;
    std::vector<vca::TimingEntry> timingEntries;
    for (const vca::TimingEntry& e : entries)
        if (e.type == vca::kTypeTiming) timingEntries.push_back(e);
    std::vector<vca::TimingCandidate> timings(timingEntries.size() + 1);
    bool error = false;
    vca::ReadTimingData(static_cast<std::uint32_t>(timingEntries.size()), &error, timings.data(), timingEntries.data());
    if (error) {
        out.result = 1;
        out.stage = vca::TimingCheckStage::kData;
        out.errorLine = vca::timingErrorLine;
        return out;
    }
    timings.resize(timingEntries.size());
    out.timings = timings;
    return out;
}

TEST_F(ReaderTest, OnePassCheckMatchesTheAppletsSteps) {
    int passed = 0;
    int failedInData = 0;
    for (const std::string& text : Corpus(1, 600)) {
        const vca::TimingCheckResult check = Check(text);
        const std::string diagnostics = host::Diagnostics();
        const std::uint16_t counter = vca::timingLineCounter;

        vca::TimingDatabase stepsDb{};
        host::Reset();
        const StepsOutcome steps = RunSteps(text, &stepsDb);
        vca::ReleaseTimingDatabase(&stepsDb);

        SCOPED_TRACE(text);
        ASSERT_EQ(check.stage, steps.stage);
        ASSERT_EQ(check.result, steps.result);
        if (check.result != 0) {
            EXPECT_EQ(check.errorLine, steps.errorLine);
        }
        EXPECT_EQ(diagnostics, host::Diagnostics());
        EXPECT_EQ(counter, vca::timingLineCounter);
        if (steps.stage == vca::TimingCheckStage::kHeader || steps.stage == vca::TimingCheckStage::kRecords) continue;
        ASSERT_EQ(check.records.size(), steps.records.size());
        for (std::size_t i = 0; i < steps.records.size(); ++i)
            EXPECT_TRUE(SameEntry(check.records[i], steps.records[i])) << "record " << i;
        ASSERT_EQ(check.timings.size(), steps.timings.size());
        for (std::size_t i = 0; i < steps.timings.size(); ++i)
            EXPECT_TRUE(SameCandidate(check.timings[i], steps.timings[i])) << "timing " << i;
        (steps.stage == vca::TimingCheckStage::kData ? failedInData : passed)++;
    }
    // The corpus reaches every stage, or the comparison proves little.
    EXPECT_GT(passed, 50);
    EXPECT_GT(failedInData, 5);
}

// A record's line is the number of the line its data pointer stands on,
// counted in 16 bits: the line counting that skips the data blocks in
// bulk must pass every LF. One text is long enough for the counter to wrap.
TEST_F(ReaderTest, RecordLinesAreTheLinesOfTheText) {
    std::mt19937 random(2);
    std::vector<std::string> texts = Corpus(3, 200);
    texts.push_back(GeneratedText(random, 9000));
    std::size_t checked = 0;
    for (const std::string& text : texts) {
        const vca::TimingCheckResult check = Check(text);
        if (check.stage != vca::TimingCheckStage::kPassed && check.stage != vca::TimingCheckStage::kData) continue;
        const char* counted = text.c_str();
        std::uint16_t line = 1;
        for (const vca::TimingEntry& record : check.records) {
            for (; counted < record.data; ++counted) line = static_cast<std::uint16_t>(line + (*counted == '\n'));
            ASSERT_EQ(record.line, line) << "record at offset " << (record.data - text.c_str());
            ++checked;
        }
    }
    EXPECT_GT(checked, 5000u);
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
    const bool kReal[9] = {true, false, false, false, false, true, false, false, true};
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
        vca::TimingCandidate candidate{};
        vca::timingErrorLine = 0;
        const bool read = vca::ReadTimingValues(entry, candidate);

        const char* p = block.c_str() + 2;
        std::uint16_t line = 2;
        double reals[9] = {};
        std::uint32_t integers[9] = {};
        bool expected = true;
        std::string value;
        for (int i = 0; i < 9 && expected; ++i, ++line) {
            expected = PlainValueLine(p, &value);
            const std::string run = NumberRun(value, kReal[i]);
            reals[i] = PlainReal(run);
            integers[i] = PlainInteger(run);
        }
        SCOPED_TRACE(block);
        ASSERT_EQ(read, expected);
        if (!read) {
            EXPECT_EQ(vca::timingErrorLine, line - 1);
            continue;
        }
        ++accepted;
        EXPECT_TRUE(SameBits(candidate.pixelClock, reals[0]));
        EXPECT_EQ(candidate.hTotal, integers[1]);
        EXPECT_EQ(candidate.hActive, integers[2]);
        EXPECT_EQ(candidate.hSync, integers[3]);
        EXPECT_EQ(candidate.hFrontPorch, integers[4]);
        EXPECT_TRUE(SameBits(candidate.vTotal, reals[5]));
        EXPECT_EQ(candidate.vActive, integers[6]);
        EXPECT_EQ(candidate.vSync, integers[7]);
        EXPECT_TRUE(SameBits(candidate.vFrontPorch, reals[8]));
    }
    EXPECT_GT(accepted, 100);
}

// TokenEquals by its definition: both tokens measured up to NUL, blank or
// "=", equal non-zero lengths, equal characters after folding A-Z. And
// the short conversion of reals against the full one.
TEST_F(ReaderTest, TokenAndRealShortcutsKeepTheirDefinitions) {
    std::mt19937 random(5);
    static const char kTokenBytes[] = "aAbBtTgG=  \t\r\n\x01\xc4\xe4";
    auto token = [&random] {
        std::string text(random() % 5, ' ');
        for (char& c : text) c = kTokenBytes[random() % (sizeof kTokenBytes - 1)];
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string a = token(), b = token();
        const std::size_t la = vca::TokenLength(a.c_str()), lb = vca::TokenLength(b.c_str());
        bool expected = la != 0 && la == lb;
        for (std::size_t i = 0; expected && i < la; ++i) expected = vca::ToLowerAscii(a[i]) == vca::ToLowerAscii(b[i]);
        ASSERT_EQ(vca::TokenEquals(a.c_str(), b.c_str()), expected) << '"' << a << "\" \"" << b << '"';
    }
    static const char kRealBytes[] = "01234567890123456789.-";
    for (int round = 0; round < 20000; ++round) {
        std::string run(1 + random() % 20, ' ');
        for (char& c : run) c = kRealBytes[random() % (sizeof kRealBytes - 1)];
        ASSERT_TRUE(SameBits(vca::ConvertReal(run.data(), run.data() + run.size()), PlainReal(run))) << run;
    }
}

}  // namespace
