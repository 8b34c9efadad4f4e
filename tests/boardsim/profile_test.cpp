// Board profiles: the line a broken one is rejected at, and the profiles
// shipped in data/boards, which the Win32 tests and vcatool run on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "boardsim/boardsim.h"

namespace {

TEST(ProfileParse, RejectsABrokenLineByItsNumberAndKeepsTheProfile) {
    const std::string s0 = "[screen0]\n";
    struct Case { std::string text; const char* error; } cases[] = {
        {"bord = 205", "line 1: unknown key \"bord\" in [board]"},
        {"[screen1]\ngamma = 1\n[screen0]\ngamma = 2\n[screen1]\ngamma = 3", "line 6: \"gamma\" is given twice in [screen1]"},
        {"\n[screen0", "line 2: a section name ends with \"]\""},
        {"board = 65536", "line 1: board: expected a number from 0 to 65535"},
        {s0 + "mode = 640 480 6O", "line 2: mode: \"6O\" is not a number"},
    };
    for (const auto& c : cases) {
        boardsim::Profile profile;
        profile.boardAnswer = 42;
        std::string error;
        EXPECT_FALSE(boardsim::ParseProfile(c.text, &profile, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_EQ(profile.boardAnswer, 42u) << c.text;
    }
}

// Every shipped profile parses into the board its name promises.
TEST(ShippedProfiles, EachParsesAndAnswersAsItsNameSays) {
    const std::string folder = std::string(VCA_SOURCE_DIR) + "/data/boards/";
    const struct {
        const char* file;
        bool privateEscape, modeEscape;
        std::uint32_t board, monitor;
        std::size_t records0, records1;
        bool refuseFetch;
        std::uint32_t count;  // the count answer when overridden
    } cases[] = {
        {"board205-dual-ddc.profile", true, true, 0x020000CD, 0x10063, 12, 7, false, 0},
        {"board204-lumaris.profile", true, false, 204, 20, 0, 0, false, 0},
        {"no-driver.profile", false, false, 0, 0, 0, 0, false, 0},
        {"board206-granularity8.profile", true, true, 0x030000CE, 19, 0, 0, false, 0},
        {"board207.profile", true, true, 207, 27, 0, 0, false, 0},
        {"board210.profile", true, true, 0x020000D2, 0x10015, 0, 0, false, 0},
        {"board201.profile", true, true, 201, 17, 0, 0, false, 0},
        {"unsupported-board.profile", true, true, 199, 17, 0, 0, false, 0},
        {"unsupported-monitor.profile", true, true, 0x020000CD, 18, 0, 0, false, 0},
        {"ddc-hostile-count.profile", true, true, 205, 99, 2, 0, false, 0x7FFFFFFF},
        {"ddc-refuses-fetch.profile", true, true, 205, 99, 2, 0, true, 0},
        {"ddc-no-records.profile", true, true, 205, 99, 0, 0, false, 0},
    };
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) files += entry.path().extension() == ".profile";
    EXPECT_EQ(files, std::size(cases)) << "a shipped profile is missing from the table";
    for (const auto& c : cases) {
        boardsim::Profile p;
        std::string error;
        ASSERT_TRUE(boardsim::LoadProfileFile(folder + c.file, &p, &error)) << c.file << ": " << error;
        EXPECT_EQ((std::vector<std::uint64_t>{p.privateEscape, p.modeRecordEscape, p.boardAnswer, p.monitorAnswer,
                                              p.screens[0].records.size(), p.screens[1].records.size(),
                                              p.refuseFetch, p.overrideCount ? p.countAnswer : 0}),
                  (std::vector<std::uint64_t>{c.privateEscape, c.modeEscape, c.board, c.monitor, c.records0,
                                              c.records1, c.refuseFetch, c.count}))
            << c.file;
    }
    boardsim::Profile none;
    std::string error;
    EXPECT_FALSE(boardsim::LoadProfileFile(folder + "none.profile", &none, &error));
    EXPECT_EQ(error, "cannot open the profile");
}

}  // namespace
