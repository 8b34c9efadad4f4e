// vcatool identify: what identification and the mode record queries learn
// from a board, as the applet would see it.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "base/app_state.h"
#include "applet/startup.h"
#include "boardsim/boardsim.h"
#include "commands.h"
#include "driver/board_identity.h"
#include "driver/mode_records.h"
#include "gamma/gamma_table.h"
#include "platform/host/host.h"
#include "tool_support.h"
#include "applet/reset.h"

namespace {

struct IdentifyOptions {
    std::string board;
    bool json = false;
};

std::string EdidHex(const vca::ModeRecordState& state) {
    std::string hex;
    char digits[3];
    for (int i = 0; i < 12; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", state.block ? state.block[i] : 0);
        hex += digits;
    }
    return hex;
}

nlohmann::ordered_json GammaJson(const vca::GammaTable& table) {
    nlohmann::ordered_json channels = nlohmann::ordered_json::array();
    for (const auto& channel : table.channel)
        channels.push_back({channel[0], channel[128], channel[255]});
    return {{"header", table.header}, {"channels", channels}};
}

nlohmann::ordered_json ModeRecordsJson(int screen) {
    const vca::ModeRecordState& state = vca::modeRecords[screen];
    nlohmann::ordered_json records = nlohmann::ordered_json::array();
    for (std::uint32_t i = 0; i < state.count; ++i)
        records.push_back({vca::ModeRecordWord(screen, i, 0), vca::ModeRecordWord(screen, i, 1),
                           vca::ModeRecordWord(screen, i, 2)});
    return {{"status", state.status}, {"count", state.count}, {"edid", EdidHex(state)},
            {"records", records}};
}

const char* ResultText(int result) {
    switch (result) {
        case 1: return "board and monitor identified";
        case -1: return "unsupported board: the applet runs without the driver";
        case -10: return "unsupported monitor: the applet stops with message 18";
        case -11: return "no private escape: the applet runs without the driver";
        default: return "unexpected result";
    }
}

void PrintHuman(const nlohmann::ordered_json& out) {
    std::printf("result: %d (%s)\n", out["result"].get<int>(), ResultText(out["result"].get<int>()));
    std::printf("board code: %u   texture memory: %s   option flag: %s   pixel granularity: %u\n",
                out["boardCode"].get<unsigned>(), out["textureMemory"].get<unsigned>() ? "yes" : "no",
                out["optionFlag"].get<unsigned>() ? "yes" : "no", out["pixelGranularity"].get<unsigned>());
    std::printf("board name: string %u, \"%s\"\n", out["boardNameString"].get<unsigned>(),
                out["boardName"].get<std::string>().c_str());
    std::printf("monitor code: %u (reported %u)   second screen: %s\n", out["monitorCode"].get<unsigned>(),
                out["reportedMonitorCode"].get<unsigned>(), out["secondScreen"].get<unsigned>() ? "yes" : "no");
    for (int screen = 0; screen < 2; ++screen) {
        const auto& gamma = out["gamma"][screen];
        std::printf("screen %d gamma: header %u, entries 0/128/255:", screen, gamma["header"].get<unsigned>());
        for (const auto& channel : gamma["channels"])
            std::printf(" %u/%u/%u", channel[0].get<unsigned>(), channel[1].get<unsigned>(), channel[2].get<unsigned>());
        std::printf("\n");
        const auto& records = out["modeRecords"][screen];
        std::printf("screen %d mode records: status %d, %u record(s), identification %s\n", screen,
                    records["status"].get<int>(), records["count"].get<unsigned>(),
                    records["edid"].get<std::string>().c_str());
        for (const auto& r : records["records"])
            std::printf("  %u x %u at %u Hz\n", r[0].get<unsigned>(), r[1].get<unsigned>(), r[2].get<unsigned>());
    }
}

int RunIdentify(const IdentifyOptions& options) {
    host::Reset();
    vca::ResetAppletState();
    if (!vcatool::InstallBoardProfile(options.board)) return 2;
    vca::InitApplet(host::AppletModule());

    nlohmann::ordered_json out;
    try {
        int result = vca::IdentifyOrRunWithoutDriver();
        for (int screen = 0; screen < 2; ++screen) vca::QueryModeRecords(screen);
        const vca::BoardIdentity& id = vca::boardIdentity;
        std::uint32_t nameString = vca::BoardNameStringId(id);
        out = {{"result", result},
               {"boardCode", id.boardCode},
               {"textureMemory", id.textureMemory},
               {"monitorCode", id.monitorCode},
               {"reportedMonitorCode", vca::reportedMonitorCode},
               {"secondScreen", id.secondScreen},
               {"optionFlag", id.optionFlag},
               {"pixelGranularity", id.pixelGranularity},
               {"boardNameString", nameString},
               {"boardName", vcatool::Narrow(vcatool::ResourceText(nameString))},
               {"gamma", {GammaJson(vca::currentGamma[0].table), GammaJson(vca::currentGamma[1].table)}},
               {"modeRecords", {ModeRecordsJson(0), ModeRecordsJson(1)}}};
    } catch (const platform::ProcessExit& exit) {
        std::fprintf(stderr, "vcatool: the applet would have ended with exit code %d\n", exit.code);
        vca::ResetAppletState();
        return 1;
    }
    vca::ResetAppletState();
    if (options.json)
        std::cout << out.dump(2) << "\n";
    else
        PrintHuman(out);
    return 0;
}

}  // namespace

void AddIdentifyCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<IdentifyOptions>();
    CLI::App* command = app.add_subcommand("identify", "Identify the board and monitor of a board profile");
    command->add_option("--board", options->board, "board profile file")->required();
    command->add_flag("--json", options->json, "one JSON object instead of text");
    command->callback([options, &exitCode] { exitCode = RunIdentify(*options); });
}
