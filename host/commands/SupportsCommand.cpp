// vxphost supports PATH: asks the factory whether it reads the file; exit code 0 for yes, 1 for no.
#include <iostream>
#include <memory>

#include "host/commands/Commands.h"

namespace vxphost {

void addSupportsCommand(CLI::App& app, CommandAction* action) {
    CLI::App* command = app.add_subcommand("supports", "Ask the factory whether it reads PATH (prints yes or no)");
    auto path = std::make_shared<std::string>();
    command->add_option("PATH", *path, "File to check")->required();
    command->callback([action, path] {
        *action = [path](HostContext& host) {
            const bool supported = host.plugin->factory()->isSupportedByProvider(VXPString::fromUtf8(path->c_str()));
            std::cout << (supported ? "yes" : "no") << std::endl;
            return supported ? EXIT_OK : EXIT_FAILED;
        };
    });
}

}  // namespace vxphost
