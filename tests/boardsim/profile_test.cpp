// Board profiles: the line a broken one is rejected at, every key, and the
// profiles shipped in data/boards, which the Win32 tests and vcatool run on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "boardsim/boardsim.h"

namespace {

TEST(ProfileParse, KeysReachTheirFieldsAndEveryShippedProfileParses) {
    boardsim::Profile p;
    std::string error;
    ASSERT_TRUE(boardsim::ParseProfile("board = 205\ntexture-memory = yes\nmonitor = 99\nsecond-screen = yes\nprivate-escape = no\n"
                                       "escape-4352 = no\n"
                                       "refuse-probe = yes\nrefuse-count = yes\nrefuse-fetch = yes\n"
                                       "refuse-gamma-read = yes\ncount-answer = 7\n[screen1]\nmode = 640 480 60\n",
                                       &p, &error)) << error;
    EXPECT_EQ((std::vector<std::uint64_t>{p.boardAnswer, p.monitorAnswer, p.privateEscape, p.modeRecordEscape,
                                          p.refuseProbe, p.refuseCount, p.refuseFetch, p.refuseGammaRead,
                                          p.overrideCount, p.countAnswer, p.screens[0].records.size(),
                                          p.screens[1].records.size(), p.screens[1].records[0].words[2]}),
              (std::vector<std::uint64_t>{0x020000CD, 0x10063, 0, 0, 1, 1, 1, 1, 1, 7, 0, 1, 60}));

    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(VCA_SOURCE_DIR) + "/data/boards")) {
        if (entry.path().extension() != ".profile") continue;
        ++files;
        EXPECT_TRUE(boardsim::LoadProfileFile(entry.path().string(), &p, &error)) << entry.path() << ": " << error;
    }
    EXPECT_GE(files, 10u);
    EXPECT_FALSE(boardsim::LoadProfileFile("none.profile", &p, &error));
    EXPECT_EQ(error, "cannot open the profile");
}

}  // namespace
