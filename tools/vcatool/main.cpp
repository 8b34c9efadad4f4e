#include "commands.h"

int main(int argc, char** argv) {
    CLI::App app{"vcatool: inspect boards, timing databases and settings the way the applet sees them"};
    app.require_subcommand(1);
    int exitCode = 0;
    AddIdentifyCommand(app, exitCode);
    AddGammaCommand(app, exitCode);
    AddCheckCommand(app, exitCode);
    AddModesCommand(app, exitCode);
    AddStartupCommand(app, exitCode);
    AddEdidCommand(app, exitCode);
    AddMergeCommand(app, exitCode);
    CLI11_PARSE(app, argc, argv);
    return exitCode;
}
