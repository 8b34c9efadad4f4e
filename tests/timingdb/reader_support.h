// Shared pieces of the timing reader tests: a fresh emulated machine and
// reader state per test, a header of two monitors, and test files.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/host/host.h"
#include "support/applet_fixture.h"
#include "timingdb/scanner.h"
#include "timingdb/section_parser.h"
#include "timingdb/timing_check.h"
#include "timingdb/timing_queries.h"

namespace timingtest {

// A header of five lines with the tags "mon1" and "mon2"; the record part
// starts on line 5, just after the section's "}".
inline const std::string kHeader =
    "version 1\ndisplay {\n { tag=mon1 desc=\"One\" }\n { tag=mon2 desc=\"Two\" }\n}\n";

// The same text with CR LF line ends.
inline std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? "\r\n" : std::string(1, c);
    return out;
}

// The bytes of a file: a name of tests/data/timingdb, or a full path.
inline std::string ReadFile(const std::string& path) {
    return vcatest::ReadFileBytes(path[0] == '/' ? path : VCA_SOURCE_DIR "/tests/data/timingdb/" + path);
}

// Every field of an entry, to compare entries whole.
inline auto Fields(const vca::TimingEntry& e) {
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

}  // namespace timingtest
