// Board profiles: what a profile text turns into, the line a broken one is
// rejected at, and the profiles shipped in data/boards.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "boardsim/boardsim.h"

namespace {

int Entry(const boardsim::GammaBytes& table, int channel, int i) {
    const std::size_t at = 4 + static_cast<std::size_t>(channel * 512 + i * 2);
    return table[at] | table[at + 1] << 8;
}

boardsim::Profile Parse(const std::string& text) {
    boardsim::Profile profile;
    std::string error;
    EXPECT_TRUE(boardsim::ParseProfile(text, &profile, &error)) << error;
    return profile;
}

TEST(ProfileParse, ReadsEveryKeyOfEverySection) {
    const boardsim::Profile p = Parse(
        "# comment\r\nname = Board#7 test   # a comment after a blank\r\n"
        "private-escape = yes\nescape-4352 = no\nboard = 206\ntexture-memory = yes\noption-flag = yes\n"
        "monitor = 99\nsecond-screen = yes\nrefuse-probe = yes\nrefuse-count = no\nrefuse-fetch = yes\n"
        "refuse-gamma-read = yes\ncount-answer = 0x7FFFFFFF\n\n"
        "[screen1]\n  edid = 00 11 22   \nedid = 3344\nmode = 1280 1024 75\n"
        "mode=1600 1200 60 1 2 3 4 5 6 7 8 9 0xFFFFFFFF\ngamma = 2.2\ngamma-header = 0x1000A\n"
        "[screen0]\nmanufacturer = abc\nproduct = 0x5021\nserial = 4294967295\nweek = 37\nyear = 1998\n"
        "edid-version = 1\nedid-revision = 3\nedid = " + std::string(240, 'F') + "\n");
    EXPECT_EQ(p.name, "Board#7 test");
    EXPECT_TRUE(p.privateEscape && !p.modeRecordEscape);
    EXPECT_EQ(p.boardAnswer, 0x030000CEu);
    EXPECT_EQ(p.monitorAnswer, 0x10063u);
    EXPECT_TRUE(p.refuseProbe && !p.refuseCount && p.refuseFetch && p.refuseGammaRead);
    EXPECT_TRUE(p.overrideCount);
    EXPECT_EQ(p.countAnswer, 0x7FFFFFFFu);

    // Named identification fields win over raw bytes given after them.
    const std::uint8_t identity[12] = {0x04, 0x43, 0x21, 0x50, 0xFF, 0xFF, 0xFF, 0xFF, 37, 8, 1, 3};
    for (std::size_t i = 0; i < 120; ++i) {
        EXPECT_EQ(p.screens[0].edid[i], i < 12 ? identity[i] : 0xFF) << i;
        EXPECT_EQ(p.screens[1].edid[i], i < 5 ? 0x11 * i : 0) << i;
    }
    EXPECT_TRUE(p.screens[0].records.empty());
    EXPECT_EQ(p.screens[0].gamma, boardsim::ComputeGamma(1.0)) << "the default table is linear";
    ASSERT_EQ(p.screens[1].records.size(), 2u);
    EXPECT_EQ(p.screens[1].records[0].words, (std::array<std::uint32_t, 13>{1280, 1024, 75}));
    EXPECT_EQ(p.screens[1].records[1].words,
              (std::array<std::uint32_t, 13>{1600, 1200, 60, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xFFFFFFFF}));
    EXPECT_EQ(p.screens[1].gamma, boardsim::ComputeGamma(2.2, 0x1000A));
}

TEST(ProfileParse, NamedPartsOverrideTheRawAnswerWhateverTheOrder) {
    struct Case {
        const char* text;
        std::uint32_t board, monitor;
    } cases[] = {
        {"board = 204\nboard-answer = 0x0300FFFF", 0x030000CC, 0},
        {"board-answer = 4294967295\noption-flag = no\ntexture-memory = no", 0xFCFFFFFF, 0},
        {"second-screen = yes\nmonitor = 20\nmonitor-answer = 0xABCC0000", 0, 0xABCD0014},
    };
    for (const auto& c : cases) {
        const boardsim::Profile p = Parse(c.text);
        EXPECT_EQ(p.boardAnswer, c.board) << c.text;
        EXPECT_EQ(p.monitorAnswer, c.monitor) << c.text;
    }
}

TEST(ProfileParse, RejectsABrokenLineByItsNumberAndKeepsTheProfile) {
    const std::string s0 = "[screen0]\n";
    struct Case {
        std::string text;
        const char* error;
    } cases[] = {
        {"bord = 205", "line 1: unknown key \"bord\" in [board]"},
        {"[screen1]\ngamma = 1\n[screen0]\ngamma = 2\n[screen1]\ngamma = 3", "line 6: \"gamma\" is given twice in [screen1]"},
        {"board 205", "line 1: expected \"key = value\""},
        {"= 205", "line 1: a key is missing before \"=\""},
        {"board =   # nothing", "line 1: \"board\" has no value"},
        {"[screen2]", "line 1: unknown section [screen2]"},
        {"\n[screen0", "line 2: a section name ends with \"]\""},
        {s0 + "board = 205", "line 2: unknown key \"board\" in [screen0]"},
        {"board = 65536", "line 1: board: expected a number from 0 to 65535"},
        {"board-answer = 0x100000000", "line 1: board-answer: expected a 32-bit number"},
        {"private-escape = Yes", "line 1: private-escape: expected yes or no"},
        {s0 + "mode = 640 480", "line 2: mode: expected width, height and refresh rate"},
        {s0 + "mode = 640 480 6O", "line 2: mode: \"6O\" is not a number"},
        {s0 + "mode = 1 2 3 4 5 6 7 8 9 10 11 12 13 14", "line 2: mode: a mode has at most 13 numbers"},
        {s0 + "gamma = 2,2", "line 2: gamma: expected \"linear\" or a gamma from 0.01 to 100"},
        {s0 + "edid = " + std::string(200, '0') + "\nedid = " + std::string(42, '0'),
         "line 3: edid: the identification holds at most 120 bytes"},
        {s0 + "manufacturer = A1C", "line 2: manufacturer: expected three letters"},
        {s0 + "year = 1989", "line 2: year: expected a year from 1990 to 2245"},
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

TEST(ComputeGamma, MatchesTheDriversRounding) {
    struct Case {
        double gamma;
        int index, entry;
    } cases[] = {{1.0, 1, 4}, {1.0, 128, 514}, {1.0, 254, 1019}, {1.0, 255, 1023}, {2.2, 0, 0},
                 {2.2, 1, 82}, {2.2, 128, 748}, {0.5, 128, 258}, {0.01, 128, 0}, {0.01, 255, 1023}};
    for (const auto& c : cases) {
        const boardsim::GammaBytes table = boardsim::ComputeGamma(c.gamma, 0x1234);
        EXPECT_EQ(table[0] | table[1] << 8, 0x1234);
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_EQ(Entry(table, channel, c.index), c.entry) << c.gamma << " entry " << c.index;
    }
}

TEST(ShippedProfiles, EachParsesAndAnswersAsItsNameSays) {
    const std::string folder = std::string(VCA_SOURCE_DIR) + "/data/boards/";
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".profile") names.insert(entry.path().filename().string());
    struct Case {
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
    EXPECT_EQ(names.size(), std::size(cases)) << "a shipped profile is missing from the table";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        boardsim::Profile p;
        std::string error;
        ASSERT_TRUE(boardsim::LoadProfileFile(folder + c.file, &p, &error)) << error;
        EXPECT_FALSE(p.name.empty());
        EXPECT_EQ(p.privateEscape, c.privateEscape);
        EXPECT_EQ(p.modeRecordEscape, c.modeEscape);
        EXPECT_EQ(p.boardAnswer, c.board);
        EXPECT_EQ(p.monitorAnswer, c.monitor);
        EXPECT_EQ(p.screens[0].records.size(), c.records0);
        EXPECT_EQ(p.screens[1].records.size(), c.records1);
        EXPECT_EQ(p.refuseFetch, c.refuseFetch);
        EXPECT_EQ(p.overrideCount, c.count != 0);
        EXPECT_EQ(p.countAnswer, c.count);
    }
    // Both monitors of the dual board: manufacturer ORX (01111 10010 11000),
    // different products, 1998 and 1997.
    boardsim::Profile dual;
    std::string error;
    ASSERT_TRUE(boardsim::LoadProfileFile(folder + "board205-dual-ddc.profile", &dual, &error));
    const std::uint8_t head0[] = {0x3E, 0x58, 0x21, 0x50}, head1[] = {0x3E, 0x58, 0x17, 0x30};
    EXPECT_TRUE(std::equal(head0, head0 + 4, dual.screens[0].edid.begin()));
    EXPECT_TRUE(std::equal(head1, head1 + 4, dual.screens[1].edid.begin()));
    EXPECT_EQ(dual.screens[0].edid[9], 8);
    EXPECT_EQ(dual.screens[1].edid[9], 7);
    EXPECT_FALSE(boardsim::LoadProfileFile(folder + "none.profile", &dual, &error));
    EXPECT_EQ(error, "cannot open the profile");
}

}  // namespace
