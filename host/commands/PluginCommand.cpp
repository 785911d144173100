// vxphost plugin: what the plug-in registered and what its factory declares.
#include <iostream>

#include "host/JsonReport.h"
#include "host/commands/Commands.h"

namespace vxphost {

namespace {

std::string defaultText(const DeclaredSetting& setting) {
    if (setting.type == SettingType::Bool) return setting.boolDefault ? "on" : "off";
    return "\"" + setting.stringDefault + "\"";
}

void printPluginText(const LoadedPlugin& plugin, const RecordingProviderInfo& info) {
    std::cout << "plug-in: " << plugin.path() << "\n";
    for (const auto& property : plugin.properties()) {
        std::cout << "  " << property.first << ": " << property.second << "\n";
    }
    const RegisteredFactory& registration = plugin.registration();
    std::cout << "API version: " << registration.apiVersionMajor << "." << registration.apiVersionMinor << "\n";
    std::cout << "provider: " << registration.providerName << "\n";
    std::cout << "factory: " << info.name() << "\n";
    std::cout << "file mask: " << info.fileMask() << "\n";
    std::cout << "settings:\n";
    for (const DeclaredSetting& setting : info.settings()) {
        std::cout << "  " << setting.key << " (" << settingTypeName(setting.type) << ", default "
                  << defaultText(setting) << "): " << setting.label << "\n";
    }
}

int runPluginCommand(HostContext& host) {
    if (host.options.json) {
        std::cout << jsonText(pluginJson(*host.plugin, host.providerInfo)) << std::endl;
    } else {
        printPluginText(*host.plugin, host.providerInfo);
    }
    return host.providerInfoRead ? EXIT_OK : EXIT_FAILED;
}

}  // namespace

void addPluginCommand(CLI::App& app, CommandAction* action) {
    CLI::App* command = app.add_subcommand("plugin", "Show the plug-in's properties, factory and settings");
    command->callback([action] { *action = runPluginCommand; });
}

}  // namespace vxphost
