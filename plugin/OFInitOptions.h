#pragma once
#include "vxp/VXPString.h"

// A boolean reader setting as declared to the host.
struct OFInitOption {
    OFInitOption(const char* key, const char* label, bool defaultValue)
        : key(VXPString::fromChar(key)), label(VXPString::fromChar(label)), defaultValue(defaultValue) {}
    VXPString key;
    VXPString label;
    bool defaultValue;
};

// A string reader setting as declared to the host.
struct OFInitOptionString {
    OFInitOptionString(const char* key, const char* label, const char* defaultValue)
        : key(VXPString::fromChar(key)), label(VXPString::fromChar(label)), defaultValue(VXPString::fromChar(defaultValue)) {}
    VXPString key;
    VXPString label;
    VXPString defaultValue;
};

extern const OFInitOption OF_LOAD_BOUNDARY_PARTS;
extern const OFInitOption OF_LOAD_CELL_ZONES;
extern const OFInitOption OF_LOAD_GLOBAL_MESH;
extern const OFInitOption OF_LOAD_LOCAL_MESHES;
extern const OFInitOption OF_LOAD_FACE_ZONES;
extern const OFInitOption OF_NODE_AVG_RESULTS;
extern const OFInitOption OF_HIDE_PARALLEL_INTERFACES;
extern const OFInitOptionString OF_RESULTS_NAMES_MAPPING;
