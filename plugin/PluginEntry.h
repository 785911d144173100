#pragma once
#include "vxp/VXPApi.h"

#if defined(_WIN32)
#define FOAMPROVIDER_EXPORT __declspec(dllexport)
#else
#define FOAMPROVIDER_EXPORT __attribute__((visibility("default")))
#endif

extern "C" FOAMPROVIDER_EXPORT VXPPluginExitFunc initializeDataProviderPlugin(VXPPluginRecord* record);

void pluginExitFunc();
void destroyProviderFactory(VXPDataProviderFactory* factory);
