// A machine with a board, a small timing database in its system folder and
// the driver key, with the applet's steps as start-up takes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "boardsim/boardsim.h"
#include "support/applet_fixture.h"
#include "support/board_builder.h"
#include "support/timing_text.h"

namespace vcatest {

// The standard monitors with `extraMonitors` after them, and "vqx/gli"
// records for the given modes.
inline std::string MakeDatabase(const std::vector<BoardMode>& modes, const std::string& extraMonitors = "",
                                const std::string& msLimits = "") {
    return TimingFile(StandardMonitors(msLimits) + extraMonitors, modes);
}

class MachineTest : public AppletTest {
protected:
    void SetUp() override;
    void TearDown() override;
    void UseBoard(const boardsim::Profile& profile) { boardsim::Install(profile); }
    // Board 201 with the given monitor answer.
    void UseBoard(std::uint32_t monitorAnswer) { UseBoard(MakeBoard(201, monitorAnswer)); }
    void WriteDatabase(const std::string& text) { drive.WriteFile("WINDOWS/system32/revid.dat", text); }
    // Identification, the stored monitor, the database and the mode table;
    // the table builder's result.
    int Build(const std::u16string& description = u"");
    // Identification and the default settings; the settings load's result.
    int Load();
    // A table as text: "1280x1024 60,72/120; 1024x768 /120 only".
    static std::string TableText(const void* table = nullptr);
    // The names of the registry writes so far, in order.
    static std::vector<std::string> JournalNames();

    TempDrive drive;
};

}  // namespace vcatest
