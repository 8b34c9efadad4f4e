// The main dialog's texts about the board and the monitor.
#pragma once

#include <cstdint>
#include <string>

namespace vca {

// What the top of the main dialog shows.
struct BoardLines {
    bool noDriver;                // the no-driver notice is shown
    std::u16string notice;        // text 1096 in the no-driver mode
    std::u16string boardLine;     // text 1037
    bool capabilityShown;         // text 1038 carries `capability`
    std::u16string capability;    // text 1038 when shown
    int monitorTextControl;       // where the monitor text goes: 1038 or 1039
};

// The board line ("board" + name, with the 205/206 family suffix) and, for
// the other boards, the capability line for the option flag and texture
// memory; the no-driver mode has its own three texts. Cut as the dialog's
// line buffer (199 units) and its pieces (79 units) cut them.
BoardLines MakeBoardLines();

// The monitor text for the monitor code: the working Description for a
// monitor of the database's own tags (code 0) or an unknown code, else the
// string for the code, worded for one or two screens.
std::u16string MonitorText();

}  // namespace vca
