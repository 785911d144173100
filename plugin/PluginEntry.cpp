#include "plugin/PluginEntry.h"

#include <exception>

#include "core/Str.h"
#include "plugin/OFLogger.h"
#include "plugin/OpenFoamProviderFactory.h"
#include "plugin/VXPUtils.h"

namespace {
const char* const PLUGIN_NAME = "OpenFoamPlugin";
const char* const PLUGIN_VERSION = "1.10.0";
const char* const PROVIDER_NAME = "OpenFoamProvider";

VXPPluginExitFunc registerPlugin(VXPPluginRecord* record) {
    OFLogger* logger = OFLogger::get();
    logger->init(record->logCallback);
    logger->logInfo(PLUGIN_NAME, "initializeDataProviderPlugin");
    logger->logInfo(PLUGIN_NAME, vx::Str("  version: %1").arg(PLUGIN_VERSION));
    logger->logInfo(PLUGIN_NAME, vx::Str("  vxp api version: %1.%2").arg(VXP_API_VERSION_MAJOR).arg(VXP_API_VERSION_MINOR));
    const std::string compiler = VXPUtils::compilerInfoString();
    logger->logInfo(PLUGIN_NAME, vx::Str("  compiler info: %1").arg(compiler));

    if (record->setPluginProperty) {
        record->setPluginProperty("name", PLUGIN_NAME);
        record->setPluginProperty("version", PLUGIN_VERSION);
        record->setPluginProperty("compiler", compiler.c_str());
    }

    VXPProviderFactoryInfo info{VXP_API_VERSION_MAJOR, VXP_API_VERSION_MINOR, new OpenFoamProviderFactory,
                                &destroyProviderFactory};
    if (record->registerProviderFactory && record->registerProviderFactory(PROVIDER_NAME, &info) != 0) {
        return &pluginExitFunc;
    }
    // The host did not take the factory, so nobody else will ever release it.
    delete info.factory;
    return nullptr;
}
}  // namespace

void pluginExitFunc() {}

void destroyProviderFactory(VXPDataProviderFactory* factory) { delete factory; }

extern "C" VXPPluginExitFunc initializeDataProviderPlugin(VXPPluginRecord* record) {
    if (!record) return nullptr;
    try {
        return registerPlugin(record);
    } catch (const std::exception& e) {
        OFLogger::get()->logError(PLUGIN_NAME, vx::Str("initializeDataProviderPlugin failed: %1").arg(e.what()));
    } catch (...) {
        OFLogger::get()->logError(PLUGIN_NAME, "initializeDataProviderPlugin failed: unknown exception");
    }
    return nullptr;
}
