// vcatool startup: the whole start-up of the applet on the host, with a
// given board, timing database and driver key, and what it did.
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "base/app_state.h"
#include "applet/startup.h"
#include "commands.h"
#include "gamma/gamma_table.h"
#include "modes/mode_table.h"
#include "platform/host/host.h"
#include "settings/default_settings.h"
#include "startup_report.h"
#include "tool_support.h"
#include "applet/reset.h"

namespace {

struct StartupOptions {
    std::string board;
    vcatool::DatabaseChoice database;
    std::string registry;
    bool readOnly = false;
    unsigned lcid = 1033;
    bool save = false;
    std::string out;
    bool json = false;
};

int RunStartup(const StartupOptions& options) {
    host::Reset();
    vca::ResetAppletState();
    host::SetUserLcid(options.lcid);
    vcatool::DatabaseDrive drive;
    if (!vcatool::DatabaseChosen(options.database, "startup")) return 2;
    if (!drive.Install(options.database.file)) return 2;
    if (!options.registry.empty() && !vcatool::ImportRegistry(options.registry)) return 2;
    if (options.readOnly) host::SetKeyReadOnly(vcatool::kDriverKey, true);
    if (!vcatool::InstallBoardProfile(options.board)) return 2;
    host::ClearRegistryJournal();

    vcatool::StartupOutcome outcome;
    try {
        vca::InitApplet(host::AppletModule());
        outcome.started = vca::StartApplet();
        if (outcome.started && options.save) {
            vca::settingsToSave = vca::loadedSettings;
            vca::savedGamma[0] = vca::currentGamma[0];
            vca::savedGamma[1] = vca::currentGamma[1];
            outcome.saveResult = vca::SaveDefaultSettings(vca::driverKeyPath);
            outcome.saved = true;
        }
    } catch (const platform::ProcessExit& exit) {
        outcome.exited = true;
        outcome.exitCode = exit.code;
    }

    nlohmann::ordered_json report = vcatool::StartupReport(outcome);
    vca::ReleaseAllTables();
    if (!options.out.empty()) {
        std::string error;
        if (!host::ExportRegFile(vcatool::kDriverKey, options.out, &error)) {
            std::fprintf(stderr, "vcatool: %s: %s\n", options.out.c_str(), error.c_str());
            return 2;
        }
    }
    if (options.json)
        std::cout << report.dump(2) << "\n";
    else
        vcatool::PrintStartupReport(report);
    return outcome.started && !outcome.exited && (!outcome.saved || outcome.saveResult == 1) ? 0 : 1;
}

}  // namespace

void AddStartupCommand(CLI::App& app, int& exitCode) {
    auto options = std::make_shared<StartupOptions>();
    CLI::App* command = app.add_subcommand(
        "startup", "Run the applet's start-up with a board, a timing database and a driver key");
    command->add_option("--board", options->board, "board profile file")->required()->check(CLI::ExistingFile);
    vcatool::AddDatabaseOptions(command, &options->database);
    command->add_option("--registry", options->registry, "the driver key as an exported .reg file (empty when absent)")
        ->check(CLI::ExistingFile);
    command->add_flag("--read-only", options->readOnly, "grant only read access to the driver key");
    command->add_option("--lcid", options->lcid, "the user's locale identifier (default 1033)");
    command->add_flag("--save", options->save, "then save the loaded settings as the dialog's OK would");
    command->add_option("--out", options->out, "write the resulting driver key as a .reg file");
    command->add_flag("--json", options->json, "one JSON object instead of text");
    command->callback([options, &exitCode] { exitCode = RunStartup(*options); });
}
