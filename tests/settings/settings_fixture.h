// A machine with a small timing database, a board and the driver key, for
// the tests of loading and saving the default settings.
#pragma once

#include <string>
#include <vector>

#include "base/app_state.h"
#include "applet/startup.h"
#include "support/applet_fixture.h"
#include "support/board_builder.h"
#include "support/timing_text.h"

namespace vcatest {

extern const std::u16string kDriverKey;

// The standard monitors with `extraMonitors` after them, and "vqx/gli"
// records for the given modes.
inline std::string MakeDatabase(const std::vector<BoardMode>& modes, const std::string& extraMonitors = "",
                                const std::string& msLimits = "") {
    return TimingFile(StandardMonitors(msLimits) + extraMonitors, modes);
}

class SettingsTest : public AppletTest {
protected:
    void SetUp() override;
    void WriteDatabase(const std::string& text) { drive.WriteFile("WINDOWS/system32/revid.dat", text); }
    // Board 201 answering the given monitor answer.
    void UseBoard(std::uint32_t monitorAnswer = 17 | 0x10000, std::uint32_t board = 201);
    // Identification and the settings, as start-up does them.
    int Load();
    std::vector<std::string> JournalNames() const;

    TempDrive drive;
};

}  // namespace vcatest
