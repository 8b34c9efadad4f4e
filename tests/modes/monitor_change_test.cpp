// A monitor change rebuilds every table; running out of memory on the way
// ends the process with every table released.
#include <gtest/gtest.h>

#include "applet/app_state.h"
#include "modes/mode_controls.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_table.h"
#include "modes/mode_views.h"
#include "modes/monitor_catalogue.h"
#include "modes/modes_fixture.h"

namespace {

using vcatest::StandardMonitors;
using vcatest::TimingFile;

class MonitorChangeTest : public vcatest::ModesTest {};

TEST_F(MonitorChangeTest, EveryAllocationFailureEndsTheProcessAfterReleasingTheTables) {
    WriteDatabase(TimingFile(StandardMonitors(), {{640, 480, 60}, {1024, 768, 60}, {1024, 768, 120, true}}));
    bool completed = false;
    for (int n = 1; n < 200 && !completed; ++n) {
        ASSERT_EQ(Build(u"Generic multi-sync monitor"), 1);
        const std::size_t boxes = host::MessageBoxes().size();
        host::FailNthAllocation(n);
        try {
            vca::RebuildTablesForMonitor();
            completed = true;
        } catch (const platform::ProcessExit& exit) {
            EXPECT_EQ(exit.code, -1) << "allocation " << n;
            EXPECT_EQ(vca::modeTable, nullptr) << "allocation " << n;
            EXPECT_EQ(vca::monitorCatalogue, nullptr) << "allocation " << n;
            EXPECT_EQ(vca::monoView, nullptr) << "allocation " << n;
            EXPECT_EQ(vca::stereoView, nullptr) << "allocation " << n;
            EXPECT_EQ(host::OutstandingAllocations(), 0) << "allocation " << n;
            ASSERT_GT(host::MessageBoxes().size(), boxes) << "the builder's message, allocation " << n;
        }
        host::FailNthAllocation(0);
    }
    ASSERT_TRUE(completed);
    // The last allocation is the descriptions': without it the list of all
    // modes is refused later, and nothing ends.
    EXPECT_FALSE(vca::descriptionsValid);
    ASSERT_EQ(Build(u"Generic multi-sync monitor"), 1);
    vca::RebuildTablesForMonitor();
    EXPECT_NE(vca::stereoView, nullptr);
    EXPECT_EQ(vca::workingSettings.Stereo, 0u);
    EXPECT_TRUE(vca::descriptionsValid);
}

}  // namespace
