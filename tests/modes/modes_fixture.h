// A machine with a board and a small timing database, and the mode table
// built for them as start-up builds it.
#pragma once

#include <string>
#include <vector>

#include "boardsim/boardsim.h"
#include "support/applet_fixture.h"
#include "support/board_builder.h"

namespace vcatest {

// One "vqx/gli" record.
struct BoardMode {
    int width, height, refresh;
    bool stereo = false;
    int hfreq = 0;
    std::string tag = "MS";
};

// "version 1", the given monitor blocks, then the records; each raster is
// a "timing" record of tag MS with its nine values ("25.175 800 640 ...").
std::string TimingFile(const std::string& monitors, const std::vector<BoardMode>& modes,
                       const std::vector<std::string>& rasters = {});

// A generic multi-sync monitor with `msLimits`, a Lumaris monitor and the
// DDC monitor.
std::string StandardMonitors(const std::string& msLimits = "");

class ModesTest : public AppletTest {
protected:
    void SetUp() override;
    void TearDown() override;
    void UseBoard(const boardsim::Profile& profile) { boardsim::Install(profile); }
    void WriteDatabase(const std::string& text) { drive.WriteFile("WINDOWS/system32/revid.dat", text); }
    // Identification, the stored monitor, the database and the mode table;
    // the table builder's result.
    int Build(const std::u16string& description = u"");
    // A table as text: "1280x1024 60,72/120; 1024x768 /120 only".
    static std::string TableText(const void* table = nullptr);

    TempDrive drive;
};

}  // namespace vcatest
