#pragma once
// What every command gets: the global options, the loaded plug-in, what its factory declared and
// the setting values built from --set.
#include <string>
#include <vector>

#include "host/PluginLoader.h"
#include "host/recording/RecordingInitOptions.h"
#include "host/recording/RecordingProviderInfo.h"

namespace vxphost {

enum ExitCode : int {
    EXIT_OK = 0,
    EXIT_FAILED = 1,       // the provider refused, init failed or an operation returned false; "no"
    EXIT_LOAD_FAILED = 2,  // the plug-in could not be loaded or registered no factory
    EXIT_USAGE = 3,        // a --set or other argument the host cannot use
};

struct GlobalOptions {
    std::string pluginPath;
    bool json = false;
    int logLevel = 2;  // the plug-in's errors and warnings; 3 adds its info lines
    std::vector<std::string> settings;  // KEY=VALUE
    bool quiet = false;
};

struct HostContext {
    GlobalOptions options;
    LoadedPlugin* plugin = nullptr;
    bool providerInfoRead = false;
    RecordingProviderInfo providerInfo;
    RecordingInitOptions initOptions;
};

}  // namespace vxphost
