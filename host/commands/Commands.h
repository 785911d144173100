#pragma once
// The vxphost commands. Each adds its subcommand to the command line; when that subcommand is
// chosen, its action is stored in *action and run once the plug-in is loaded.
#include <CLI/CLI.hpp>
#include <functional>

#include "host/HostContext.h"

namespace vxphost {

using CommandAction = std::function<int(HostContext&)>;

void addPluginCommand(CLI::App& app, CommandAction* action);
void addSupportsCommand(CLI::App& app, CommandAction* action);
void addInfoCommand(CLI::App& app, CommandAction* action);
void addGeometryCommand(CLI::App& app, CommandAction* action);
void addResultCommand(CLI::App& app, CommandAction* action);
void addExportCommand(CLI::App& app, CommandAction* action);
void addWatchCommand(CLI::App& app, CommandAction* action);

}  // namespace vxphost
