#pragma once
// Loads a data-provider plug-in library, calls its entry function with the host's registration
// record and keeps what the plug-in registered: its properties and its one provider factory.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "vxp/VXPApi.h"

namespace vxphost {

struct RegisteredFactory {
    std::string providerName;
    int apiVersionMajor = 0;
    int apiVersionMinor = 0;
    VXPDataProviderFactory* factory = nullptr;
    void (*destroyFactory)(VXPDataProviderFactory*) = nullptr;
};

class LoadedPlugin {
public:
    // Null with the reason in *error when the library cannot be loaded, has no entry function,
    // refuses to initialise or registers no factory. Only one plug-in can be loaded per process.
    static std::unique_ptr<LoadedPlugin> load(const std::string& path, std::string* error);

    // Destroys the factory with the function the plug-in handed over and calls its exit function.
    // The library itself stays mapped until the process ends, so that no thread the plug-in
    // started can outlive its code.
    ~LoadedPlugin();
    LoadedPlugin(const LoadedPlugin&) = delete;
    LoadedPlugin& operator=(const LoadedPlugin&) = delete;

    const std::string& path() const { return m_path; }
    // Properties in the order the plug-in set them.
    const std::vector<std::pair<std::string, std::string>>& properties() const { return m_properties; }
    const RegisteredFactory& registration() const { return m_registration; }
    VXPDataProviderFactory* factory() const { return m_registration.factory; }

private:
    LoadedPlugin() = default;

    std::string m_path;
    std::vector<std::pair<std::string, std::string>> m_properties;
    RegisteredFactory m_registration;
    VXPPluginExitFunc m_exit = nullptr;
};

// The plug-in next to the build's host folder: <folder of this program>/../libfoamprovider.so
// (foamprovider.dll on Windows).
std::string defaultPluginPath();

}  // namespace vxphost
