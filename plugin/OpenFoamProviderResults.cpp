// Result delivery.
#include "plugin/OpenFoamProvider.h"
#include "plugin/ProviderGuard.h"

bool OpenFoamProvider::getResult(const VXPResultSpec& spec, VXPResult* result) {
    return runGuarded("OpenFoamProvider", "getResult", [&] { return getResultOnCallingThread(spec, result); });
}

bool OpenFoamProvider::getResultOnCallingThread(const VXPResultSpec&, VXPResult*) { return false; }
