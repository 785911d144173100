#include "host/PluginLoader.h"

#include <mutex>

#include "host/Console.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>
#endif

namespace vxphost {

namespace {

// The plug-in reports to the host through plain function pointers, so what it reports during
// initialisation is collected here.
struct RegistrationSink {
    std::mutex mutex;
    std::vector<std::pair<std::string, std::string>> properties;
    RegisteredFactory factory;
    bool loaded = false;
};

RegistrationSink& sink() {
    static RegistrationSink instance;
    return instance;
}

int registerProviderFactory(const char* providerName, const VXPProviderFactoryInfo* info) {
    RegistrationSink& registrations = sink();
    std::lock_guard<std::mutex> lock(registrations.mutex);
    if (!info || !info->factory) return 0;
    if (info->apiVersionMajor != VXP_API_VERSION_MAJOR) {
        Console::get().error("the plug-in's factory is built for API " + std::to_string(info->apiVersionMajor) + "." +
                             std::to_string(info->apiVersionMinor) + ", this host speaks " +
                             std::to_string(VXP_API_VERSION_MAJOR) + "." + std::to_string(VXP_API_VERSION_MINOR));
        return 0;
    }
    if (registrations.factory.factory) {
        Console::get().warning("the plug-in registered a second factory; keeping the first");
        return 0;
    }
    registrations.factory = RegisteredFactory{providerName ? providerName : "", info->apiVersionMajor,
                                              info->apiVersionMinor, info->factory, info->destroyFactory};
    return 1;
}

void logFromPlugin(int level, const char* text) { Console::get().pluginLog(level, text); }

void setPluginProperty(const char* key, const char* value) {
    RegistrationSink& registrations = sink();
    std::lock_guard<std::mutex> lock(registrations.mutex);
    registrations.properties.emplace_back(key ? key : "", value ? value : "");
}

#if defined(_WIN32)
using LibraryHandle = HMODULE;

LibraryHandle openLibrary(const std::string& path, std::string* error) {
    HMODULE handle = LoadLibraryA(path.c_str());
    if (!handle) *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return handle;
}

void* findSymbol(LibraryHandle library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(library, name));
}
#else
using LibraryHandle = void*;

LibraryHandle openLibrary(const std::string& path, std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) *error = dlerror();
    return handle;
}

void* findSymbol(LibraryHandle library, const char* name) { return dlsym(library, name); }
#endif

void destroyRegisteredFactory(RegisteredFactory& registration) {
    if (registration.factory && registration.destroyFactory) registration.destroyFactory(registration.factory);
    registration.factory = nullptr;
}

}  // namespace

std::unique_ptr<LoadedPlugin> LoadedPlugin::load(const std::string& path, std::string* error) {
    if (sink().loaded) {
        *error = "a plug-in is already loaded";
        return nullptr;
    }
    LibraryHandle library = openLibrary(path, error);
    if (!library) return nullptr;
    void* entry = findSymbol(library, VXP_ENTRY_FUNCTION_NAME);
    if (!entry) {
        *error = path + " has no function " VXP_ENTRY_FUNCTION_NAME;
        return nullptr;
    }
    sink().loaded = true;
    VXPPluginRecord record{nullptr, &registerProviderFactory, &logFromPlugin, &setPluginProperty};
    const VXPPluginExitFunc exitFunction = reinterpret_cast<VXPInitializePluginFunc>(entry)(&record);

    std::unique_ptr<LoadedPlugin> plugin(new LoadedPlugin);
    plugin->m_path = path;
    {
        std::lock_guard<std::mutex> lock(sink().mutex);
        plugin->m_properties = sink().properties;
        plugin->m_registration = sink().factory;
    }
    plugin->m_exit = exitFunction;
    if (!exitFunction) {
        *error = "the plug-in refused to initialise (its entry function returned null)";
        return nullptr;  // the destructor releases a factory that was registered all the same
    }
    if (!plugin->m_registration.factory) {
        *error = "the plug-in registered no provider factory";
        return nullptr;
    }
    return plugin;
}

LoadedPlugin::~LoadedPlugin() {
    destroyRegisteredFactory(m_registration);
    if (m_exit) m_exit();
}

std::string defaultPluginPath() {
#if defined(_WIN32)
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string program(buffer, length);
    const char* separators = "\\/";
    const char* libraryName = "foamprovider.dll";
#else
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    std::string program(buffer, length > 0 ? static_cast<size_t>(length) : 0);
    const char* separators = "/";
    const char* libraryName = "libfoamprovider.so";
#endif
    const size_t programSlash = program.find_last_of(separators);
    if (programSlash == std::string::npos) return libraryName;
    const std::string programFolder = program.substr(0, programSlash);
    const size_t folderSlash = programFolder.find_last_of(separators);
    if (folderSlash == std::string::npos) return libraryName;
    return programFolder.substr(0, folderSlash + 1) + libraryName;
}

}  // namespace vxphost
