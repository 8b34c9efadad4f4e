// What vcatool startup reports: the applet's state after start-up, as JSON
// and as readable text.
#pragma once

#include <nlohmann/json.hpp>

namespace vcatool {

struct StartupOutcome {
    bool started = false;
    bool exited = false;
    int exitCode = 0;
    bool saved = false;
    int saveResult = 0;
};

// Reads the applet's state; call before the tables are released.
nlohmann::ordered_json StartupReport(const StartupOutcome& outcome);
void PrintStartupReport(const nlohmann::ordered_json& report);

}  // namespace vcatool
