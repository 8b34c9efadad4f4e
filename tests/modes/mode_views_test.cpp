// The mono and stereo views, the stereo choice they force and the active
// view, including the empty one of a table without entries.
#include <gtest/gtest.h>

#include <cstring>

#include "applet/startup.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_table.h"
#include "modes/mode_views.h"
#include "support/machine_fixture.h"
#include "applet/reset.h"

namespace {

using vcatest::BoardMode;
using vcatest::StandardMonitors;
using vcatest::TimingFile;

std::string ViewText(const vca::ModeViewEntry* view) {
    if (!view) return "absent";
    std::string text;
    for (; view->width != 0; ++view) {
        if (!text.empty()) text += "; ";
        text += std::to_string(view->width) + "x" + std::to_string(view->height) + " ";
        for (std::size_t i = 0; view->rates[i] != 0; ++i) text += (i ? "," : "") + std::to_string(view->rates[i]);
    }
    EXPECT_EQ(view->rates[0], 0u) << "the terminator has an empty list";
    return text;
}

// Every view entry carries the figures of the table entry it was made from.
void ExpectFiguresCopied(const vca::ModeViewEntry* view) {
    for (; view && view->width != 0; ++view)
        for (const vca::ModeEntry* mode = vca::modeTable; mode->width != 0; ++mode)
            if (mode->width == view->width && mode->height == view->height) {
                EXPECT_EQ(std::memcmp(mode->pixelFormat, view->pixelFormat, sizeof view->pixelFormat), 0);
            }
}

class ModeViewsTest : public vcatest::MachineTest {};

TEST_F(ModeViewsTest, ViewsAndTheStereoChoiceFollowTheTable) {
    struct Case {
        const char* what;
        std::vector<BoardMode> modes;  // empty: no timing file
        std::string msLimits;
        std::uint32_t stereo, wantStereo;
        std::string mono, stereoView;
        bool activeIsStereo;
    } cases[] = {
        {"only stereo rates", {{1024, 384, 120, true}}, "", 0, 1, "absent", "1024x768 120", true},
        {"no stereo rates", {{640, 480, 60}, {800, 600, 72}, {800, 600, 60}}, "", 1, 0, "640x480 60; 800x600 60,72",
         "absent", false},
        {"both kinds, mono chosen", {{1280, 1024, 60}, {1280, 1024, 72}, {1280, 512, 120, true}, {800, 600, 60}}, "",
         0, 0, "800x600 60; 1280x1024 60,72", "1280x1024 120", false},
        {"both kinds, stereo chosen", {{1280, 1024, 60}, {1280, 512, 120, true}, {800, 600, 60}}, "", 1, 1,
         "800x600 60; 1280x1024 60", "1280x1024 120", true},
        {"fallback table", {}, "", 1, 0, "640x480 60", "absent", false},
        {"every candidate filtered out", {{1024, 768, 60, false, 48}}, "hfmin=30 hfmax=38", 0, 1, "absent", "absent",
         false},
    };
    for (const auto& c : cases) {
        vca::ResetAppletState();
        vca::InitApplet(host::AppletModule());
        if (c.modes.empty()) host::FailFileOpen(true);
        WriteDatabase(TimingFile(StandardMonitors(c.msLimits), c.modes));
        ASSERT_EQ(Build(), 1) << c.what;
        host::FailFileOpen(false);

        std::uint32_t stereo = c.stereo;
        ASSERT_EQ(vca::RefreshViews(&stereo), 1) << c.what;
        EXPECT_EQ(stereo, c.wantStereo) << c.what;
        EXPECT_EQ(ViewText(vca::monoView), c.mono) << c.what;
        EXPECT_EQ(ViewText(vca::stereoView), c.stereoView) << c.what;
        ExpectFiguresCopied(vca::monoView);
        ExpectFiguresCopied(vca::stereoView);

        // The active view is never missing; without entries it is empty.
        ASSERT_NE(vca::activeView, nullptr) << c.what;
        const vca::ModeViewEntry* expected = c.activeIsStereo ? vca::stereoView : vca::monoView;
        if (expected) {
            EXPECT_EQ(vca::activeView, expected) << c.what;
        }
        EXPECT_EQ(ViewText(vca::activeView), expected ? ViewText(expected) : "") << c.what;
        EXPECT_EQ(vca::modeCount, vca::CountViewEntries()) << c.what;
        EXPECT_TRUE(vca::descriptionsValid) << c.what;
        vca::ReleaseAllTables();
        EXPECT_EQ(ViewText(vca::activeView), "") << c.what << ": a released view is not left active";
    }
}

}  // namespace
