#pragma once
#include "vxp/VXPApi.h"

// The one factory the plug-in registers: describes the provider and creates one per opened case.
class OpenFoamProviderFactory : public VXPDataProviderFactory {
public:
    ~OpenFoamProviderFactory() override;
    bool getProviderInfo(VXPDataProviderInfo* info) override;
    bool isSupportedByProvider(const VXPString& path) override;
    VXPDataProvider* createProviderInstance() override;
    void destroyProviderInstance(VXPDataProvider* provider) override;

    VXPString getProviderFileMask() const;
};
