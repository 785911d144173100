#include "plugin/OpenFoamProviderFactory.h"

#include <exception>

#include "core/Str.h"
#include "plugin/OFInitOptions.h"
#include "plugin/OFLogger.h"
#include "plugin/OpenFoamProvider.h"
#include "plugin/ProviderGuard.h"

namespace {
const char* const FACTORY_SOURCE = "OpenFoamProviderFactory";

void logFailure(const char* operation, const char* what) {
    OFLogger::get()->logError(FACTORY_SOURCE, vx::Str("%1 failed: %2").arg(operation).arg(what));
}
}  // namespace

OpenFoamProviderFactory::~OpenFoamProviderFactory() = default;

VXPString OpenFoamProviderFactory::getProviderFileMask() const { return VXPString::fromChar("case.foam"); }

bool OpenFoamProviderFactory::getProviderInfo(VXPDataProviderInfo* info) {
    try {
        info->setName(VXPString::fromChar("OpenFoam DataProvider Reader"));
        info->setFileMask(getProviderFileMask());
        for (const OFInitOption* option :
             {&OF_LOAD_BOUNDARY_PARTS, &OF_LOAD_CELL_ZONES, &OF_LOAD_FACE_ZONES, &OF_LOAD_GLOBAL_MESH,
              &OF_LOAD_LOCAL_MESHES, &OF_NODE_AVG_RESULTS, &OF_HIDE_PARALLEL_INTERFACES}) {
            info->addBoolSetting(option->key, option->label, option->defaultValue);
        }
        info->addStringSetting(OF_RESULTS_NAMES_MAPPING.key, OF_RESULTS_NAMES_MAPPING.label,
                               OF_RESULTS_NAMES_MAPPING.defaultValue);
        return true;
    } catch (const std::exception& e) {
        logFailure("getProviderInfo", e.what());
    } catch (...) {
        logFailure("getProviderInfo", "unknown exception");
    }
    return false;
}

bool OpenFoamProviderFactory::isSupportedByProvider(const VXPString& path) {
    try {
        vx::Str text(path.utf8());
        text.replace("\\", "/");
        const std::vector<vx::Str> pieces = text.split("/");
        if (pieces.empty()) return false;
        return pieces.back().toLower() == vx::Str(getProviderFileMask().utf8());
    } catch (const std::exception& e) {
        logFailure("isSupportedByProvider", e.what());
    } catch (...) {
        logFailure("isSupportedByProvider", "unknown exception");
    }
    return false;
}

VXPDataProvider* OpenFoamProviderFactory::createProviderInstance() {
    VXPDataProvider* provider = nullptr;
    runGuarded(FACTORY_SOURCE, "createProviderInstance", [&] {
        provider = new OpenFoamProvider;
        return true;
    });
    return provider;
}

void OpenFoamProviderFactory::destroyProviderInstance(VXPDataProvider* provider) {
    runGuarded(FACTORY_SOURCE, "destroyProviderInstance", [&] {
        delete provider;
        return true;
    });
}
