// A machine with a board and a small timing database, and the mode table
// built for them as start-up builds it.
#pragma once

#include <string>
#include <vector>

#include "boardsim/boardsim.h"
#include "support/applet_fixture.h"
#include "support/board_builder.h"
#include "support/timing_text.h"

namespace vcatest {

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
