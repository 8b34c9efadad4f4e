// Each vcatool command adds itself to the application; `exitCode` receives
// the command's exit status once it has run.
#pragma once

#include <CLI/CLI.hpp>

void AddIdentifyCommand(CLI::App& app, int& exitCode);
void AddGammaCommand(CLI::App& app, int& exitCode);
void AddCheckCommand(CLI::App& app, int& exitCode);
void AddModesCommand(CLI::App& app, int& exitCode);
void AddStartupCommand(CLI::App& app, int& exitCode);
void AddEdidCommand(CLI::App& app, int& exitCode);
void AddMergeCommand(CLI::App& app, int& exitCode);
