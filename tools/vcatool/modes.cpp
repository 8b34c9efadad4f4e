// vcatool modes: which modes the applet would offer for a board, a timing
// database, the driver's key and a stored monitor, and why a mode is missing.
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "base/app_state.h"
#include "applet/startup.h"
#include "base/text.h"
#include "commands.h"
#include "driver/board_identity.h"
#include "modes/mode_building.h"
#include "modes/mode_descriptions.h"
#include "modes/mode_table.h"
#include "modes/mode_views.h"
#include "timingdb/monitor_catalogue.h"
#include "modes_explain.h"
#include "platform/host/host.h"
#include "timingdb/database_loader.h"
#include "tool_support.h"
#include "applet/reset.h"

namespace {

using Json = nlohmann::ordered_json;

struct ModesOptions {
    vcatool::DatabaseChoice database;
    std::string board;
    std::string registry;
    std::string description;
    bool descriptionGiven = false;
    unsigned stereo = 0;
    bool stereoGiven = false;
    bool explain = false;
    bool json = false;
};

Json Rates(const std::uint32_t* rates) {
    Json list = Json::array();
    for (std::size_t i = 0; rates && rates[i] != 0; ++i) list.push_back(rates[i]);
    return list;
}

Json Figures(const std::uint16_t* figures) { return {figures[0], figures[1], figures[2], figures[3]}; }

Json ModeTable() {
    Json table = Json::array();
    for (const vca::ModeEntry* m = vca::modeTable; m && m->width != 0; ++m)
        table.push_back({{"tag", m->tag},
                         {"width", m->width},
                         {"height", m->height},
                         {"colorDepth", m->colorDepth},
                         {"monoRates", Rates(m->monoRates)},
                         {"stereoRates", Rates(m->stereoRates)},
                         {"hasStereoRates", m->hasStereoRates},
                         {"stereoOnly", m->stereoOnly},
                         {"pixelFormat", Figures(m->pixelFormat)}});
    return table;
}

Json DdcFullRates() {
    if (!vca::ddcFullRates) return nullptr;
    Json table = Json::array();
    for (const vca::ModeEntry* m = vca::ddcFullRates; m->width != 0; ++m)
        table.push_back({{"width", m->width}, {"height", m->height}, {"monoRates", Rates(m->monoRates)}});
    return table;
}

Json View(const vca::ModeViewEntry* view) {
    if (!view) return nullptr;
    Json entries = Json::array();
    for (; view->width != 0; ++view)
        entries.push_back({{"tag", view->tag},
                           {"width", view->width},
                           {"height", view->height},
                           {"colorDepth", view->colorDepth},
                           {"rates", Rates(view->rates)},
                           {"pixelFormat", Figures(view->pixelFormat)}});
    return entries;
}

const char* ActiveViewName() {
    if (vca::activeView && vca::activeView == vca::stereoView) return "stereo";
    if (vca::activeView && vca::activeView == vca::monoView) return "mono";
    return "empty";
}

Json Descriptions() {
    Json lines = Json::array();
    for (std::uint32_t i = 0; i < vca::modeDescriptionCount; ++i) {
        const vca::ModeDescription& d = vca::modeDescriptions[i];
        lines.push_back({{"text", vcatool::Narrow(d.text)},
                         {"width", d.width},
                         {"height", d.height},
                         {"colorDepth", d.colorDepth},
                         {"refresh", d.refresh},
                         {"arrangement", d.arrangement}});
    }
    return lines;
}

Json Messages(std::size_t count) {
    Json messages = Json::array();
    for (std::size_t i = 0; i < count && i < host::MessageBoxes().size(); ++i) {
        const auto& box = host::MessageBoxes()[i];
        messages.push_back({{"text", vcatool::Narrow(box.text)}, {"caption", vcatool::Narrow(box.caption)}, {"type", box.type}});
    }
    return messages;
}

Json Accepted(const vcatool::ModeExplanation& explanation) {
    Json accepted = Json::array();
    for (const vca::TimingEntry& e : explanation.accepted)
        accepted.push_back({{"tag", e.tag}, {"type", e.type}, {"xres", e.xres}, {"yres", e.yres}, {"refresh", e.refresh},
                            {"hfreq", e.hfreq}, {"flags", e.flags}, {"monid", e.monid}});
    return accepted;
}

Json Candidates(const vcatool::ModeExplanation& explanation) {
    Json candidates = Json::array();
    for (const auto& c : explanation.candidates)
        candidates.push_back({{"xres", c.xres}, {"yres", c.yres}, {"refresh", c.refresh}, {"accepted", c.accepted},
                              {"reason", c.reason}});
    return candidates;
}

// The stored monitor: the option, else the driver key's value.
std::u16string StoredDescription(const ModesOptions& options) {
    if (options.descriptionGiven) return host::FromUtf8(options.description);
    host::RegValue value;
    if (!host::GetValue(vcatool::kDriverKey, u"DefaultSettings.Description", &value) ||
        value.type != platform::kRegSz)
        return u"";
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value.data.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
        if (unit == u'\0') break;
        text += unit;
    }
    return text;
}

// The stored stereo choice: the option, else the driver key's value, else 0.
std::uint32_t StoredStereo(const ModesOptions& options) {
    if (options.stereoGiven) return options.stereo;
    host::RegValue value;
    if (!host::GetValue(vcatool::kDriverKey, u"DefaultSettings.Stereo", &value) ||
        (value.type != platform::kRegDword && value.type != platform::kRegBinary) || value.data.size() != 4)
        return 0;
    return value.data[0] | value.data[1] << 8 | value.data[2] << 16 | static_cast<std::uint32_t>(value.data[3]) << 24;
}

// Start-up's part that matters for the modes, on the emulated machine.
Json BuildReport(const ModesOptions& options) {
    if (vca::IdentifyOrRunWithoutDriver() == -10)
        throw std::runtime_error("the board reports an unsupported monitor (message 18)");
    const std::u16string stored = StoredDescription(options);
    vca::CopyText(vca::loadedSettings.Description, stored);
    vca::CopyText(vca::workingSettings.Description, stored);
    if (vca::LoadTimingDatabase() == -1 || vca::ChooseMonitorAndBuildModes() == -1) {
        vca::ReleaseAllTables();
        platform::ExitProcess(-1);
    }
    Json report;
    vca::MonitorEntry monitor;
    vca::GetCurrentMonitorEntry(&monitor);
    report["monitor"] = {{"name", vcatool::Narrow(monitor.name)},
                         {"tagName", vcatool::Narrow(monitor.tagName)},
                         {"tagIndex", monitor.tagIndex}};
    report["boardCode"] = vca::boardIdentity.boardCode;
    report["driverAbsent"] = vca::driverAbsent;
    report["monitorCode"] = vca::boardIdentity.monitorCode;
    report["fixedRefresh"] = vca::fixedRefresh;
    report["databaseUnreadable"] = vca::databaseUnreadable;
    report["databaseInvalid"] = vca::databaseInvalid;
    report["fallback"] = vca::ModeTableIsFallback();
    report["modeTable"] = ModeTable();
    report["maxRateCount"] = vca::maxRateCount;
    report["ddcFullRates"] = DdcFullRates();

    std::uint32_t stereo = StoredStereo(options);
    if (vca::RefreshViews(&stereo) == -1) {
        vca::ReleaseAllTables();
        platform::ExitProcess(-1);
    }
    report["monoView"] = View(vca::monoView);
    report["stereoView"] = View(vca::stereoView);
    report["activeView"] = ActiveViewName();
    report["stereo"] = stereo;
    report["modeCount"] = vca::modeCount;
    report["anyStereoRates"] = vca::AnyStereoRates();
    report["allStereoOnly"] = vca::AllStereoOnly();
    report["descriptions"] = Descriptions();

    // The messages and diagnostics of the applet's own run, before the
    // explanation queries the database again.
    report["messages"] = Messages(host::MessageBoxes().size());
    report["diagnostics"] = host::Diagnostics();
    const vcatool::ModeExplanation explanation = vcatool::ExplainModes();
    report["accepted"] = Accepted(explanation);
    if (options.explain) report["candidates"] = Candidates(explanation);
    return report;
}

std::string RateText(const Json& rates) {
    std::string text;
    for (const auto& r : rates) text += (text.empty() ? "" : ", ") + std::to_string(r.get<unsigned>());
    return text;
}

void PrintHuman(const Json& r) {
    const auto& m = r["monitor"];
    std::printf("monitor: %s (tag %s, number %u), monitor code %u%s\n", m["name"].get<std::string>().c_str(),
                m["tagName"].get<std::string>().c_str(), m["tagIndex"].get<unsigned>(), r["monitorCode"].get<unsigned>(),
                r["fixedRefresh"].get<unsigned>() ? ", fixed refresh" : "");
    for (const auto& box : r["messages"]) std::printf("message: %s\n", box["text"].get<std::string>().c_str());
    if (r["databaseUnreadable"].get<bool>()) std::printf("the timing database cannot be read\n");
    if (r["databaseInvalid"].get<bool>()) std::printf("the timing database is not usable\n");
    std::printf("%s: %zu mode(s), at most %u rates in a list\n",
                r["fallback"].get<bool>() ? "fallback table" : "mode table", r["modeTable"].size(),
                r["maxRateCount"].get<unsigned>());
    for (const auto& e : r["modeTable"]) {
        std::printf("  %4u x %-4u  %-24s", e["width"].get<unsigned>(), e["height"].get<unsigned>(),
                    (RateText(e["monoRates"]) + (e["monoRates"].empty() ? "" : " Hz")).c_str());
        if (!e["stereoRates"].empty()) std::printf("  stereo %s Hz", RateText(e["stereoRates"]).c_str());
        const auto& f = e["pixelFormat"];
        std::printf("  figures %u %u %u %u\n", f[0].get<unsigned>(), f[1].get<unsigned>(), f[2].get<unsigned>(),
                    f[3].get<unsigned>());
    }
    if (!r["ddcFullRates"].is_null()) {
        std::printf("DDC monitor, every rate:\n");
        for (const auto& e : r["ddcFullRates"])
            std::printf("  %4u x %-4u  %s Hz\n", e["width"].get<unsigned>(), e["height"].get<unsigned>(),
                        RateText(e["monoRates"]).c_str());
    }
    std::printf("active view: %s, %u entries (stereo %u); %zu described line(s)\n",
                r["activeView"].get<std::string>().c_str(), r["modeCount"].get<unsigned>(), r["stereo"].get<unsigned>(),
                r["descriptions"].size());
    for (const auto& d : r["descriptions"]) std::printf("  %s\n", d["text"].get<std::string>().c_str());
    if (r.contains("candidates")) {
        std::printf("candidates:\n");
        for (const auto& c : r["candidates"])
            std::printf("  %4u x %-4u at %3u Hz: %s\n", c["xres"].get<unsigned>(), c["yres"].get<unsigned>(),
                        c["refresh"].get<unsigned>(), c["reason"].get<std::string>().c_str());
    }
}

int RunModes(const ModesOptions& options) {
    host::Reset();
    vca::ResetAppletState();
    vcatool::DatabaseDrive drive;
    if (!vcatool::DatabaseChosen(options.database, "modes")) return 2;
    if (!drive.Install(options.database.file)) return 2;
    if (!options.registry.empty() && !vcatool::ImportRegistry(options.registry)) return 2;
    if (!vcatool::InstallBoardProfile(options.board)) return 2;
    vca::InitApplet(host::AppletModule());

    Json report;
    int result = 0;
    try {
        report = BuildReport(options);
    } catch (const platform::ProcessExit& exit) {
        std::fprintf(stderr, "vcatool: the applet would have ended with exit code %d\n", exit.code);
        result = 1;
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "vcatool: %s\n", error.what());
        result = 1;
    }
    vca::ReleaseAllTables();
    vca::ResetAppletState();
    if (result != 0) return result;
    if (options.json)
        std::cout << report.dump(2) << "\n";
    else
        PrintHuman(report);
    return 0;
}

}  // namespace

void AddModesCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<ModesOptions>();
    CLI::App* command =
        app.add_subcommand("modes", "The modes the applet would offer for a board, a timing database and a monitor");
    vcatool::AddDatabaseOptions(command, &options->database);
    command->add_option("--board", options->board, "board profile file")->required()->check(CLI::ExistingFile);
    command->add_option("--registry", options->registry, "the driver key as an exported .reg file (board limits)")
        ->check(CLI::ExistingFile);
    CLI::Option* description =
        command->add_option("--description", options->description, "the stored monitor name (default: the key's)");
    CLI::Option* stereo =
        command->add_option("--stereo", options->stereo, "the stored stereo choice (default: the key's, else 0)")
            ->check(CLI::Range(0, 1));
    command->add_flag("--explain", options->explain, "list every candidate and why it is or is not offered");
    command->add_flag("--json", options->json, "one JSON object instead of text");
    command->callback([options, description, stereo, &exitCode] {
        options->descriptionGiven = description->count() > 0;
        options->stereoGiven = stereo->count() > 0;
        exitCode = RunModes(*options);
    });
}
