// vxphost: the reference host. Loads a data-provider plug-in and drives it from the command line.
#include <CLI/CLI.hpp>
#include <deque>
#include <iostream>
#include <memory>

#include "host/Console.h"
#include "host/HostContext.h"
#include "host/PluginLoader.h"
#include "host/commands/Commands.h"

using namespace vxphost;

namespace {

// The global options are accepted before and after the command, so both the program and every
// subcommand parse them into their own copy; the copies are merged after parsing.
struct ParsedGlobals {
    GlobalOptions values;
    CLI::Option* logLevel = nullptr;
};

void addGlobalOptions(CLI::App& app, ParsedGlobals& globals) {
    app.add_option("--plugin", globals.values.pluginPath, "Plug-in library (default: the build's libfoamprovider)");
    app.add_flag("--json", globals.values.json, "Print JSON");
    globals.logLevel =
        app.add_option("--log-level", globals.values.logLevel, "Show plug-in log lines up to this level (1 errors, 2 warnings, 3 info, 4 developer; default 2)");
    app.add_option("--set", globals.values.settings, "Reader setting KEY=VALUE (repeatable)")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_flag("--quiet", globals.values.quiet, "No progress output");
}

GlobalOptions mergeGlobals(const std::deque<ParsedGlobals>& parsed) {
    GlobalOptions merged;
    for (const ParsedGlobals& globals : parsed) {
        if (!globals.values.pluginPath.empty()) merged.pluginPath = globals.values.pluginPath;
        merged.json = merged.json || globals.values.json;
        merged.quiet = merged.quiet || globals.values.quiet;
        if (globals.logLevel && globals.logLevel->count() > 0) merged.logLevel = globals.values.logLevel;
        merged.settings.insert(merged.settings.end(), globals.values.settings.begin(), globals.values.settings.end());
    }
    if (merged.pluginPath.empty()) merged.pluginPath = defaultPluginPath();
    return merged;
}

bool buildInitOptions(HostContext& host) {
    for (const std::string& assignment : host.options.settings) {
        const std::string error = applySettingAssignment(assignment, host.providerInfo.settings(), &host.initOptions);
        if (!error.empty()) {
            Console::get().error(error);
            return false;
        }
        const std::string key = assignment.substr(0, assignment.find('='));
        if (host.providerInfoRead && !host.providerInfo.findSetting(key)) {
            Console::get().warning("the factory declares no setting " + key);
        }
    }
    return true;
}

int runWithPlugin(HostContext& host, const CommandAction& action) {
    std::string error;
    std::unique_ptr<LoadedPlugin> plugin = LoadedPlugin::load(host.options.pluginPath, &error);
    if (!plugin) {
        Console::get().error("cannot load the plug-in " + host.options.pluginPath + ": " + error);
        return EXIT_LOAD_FAILED;
    }
    host.plugin = plugin.get();
    host.providerInfoRead = plugin->factory()->getProviderInfo(&host.providerInfo);
    if (!host.providerInfoRead) Console::get().warning("the factory's getProviderInfo returned false");
    if (!buildInitOptions(host)) return EXIT_USAGE;
    return action(host);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"vxphost: loads a data-provider plug-in and drives it through the host API 7.0"};
    app.require_subcommand(1);
    CommandAction action;
    addPluginCommand(app, &action);
    addSupportsCommand(app, &action);
    addInfoCommand(app, &action);
    addGeometryCommand(app, &action);
    addResultCommand(app, &action);
    addExportCommand(app, &action);
    addWatchCommand(app, &action);

    std::deque<ParsedGlobals> globals(1);
    addGlobalOptions(app, globals.front());
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        globals.emplace_back();
        addGlobalOptions(*command, globals.back());
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }

    HostContext host;
    host.options = mergeGlobals(globals);
    Console::get().configure(host.options.logLevel, !host.options.quiet);
    return runWithPlugin(host, action);
}
