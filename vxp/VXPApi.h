#pragma once
// Host data-provider API 7.0. The host owns every object declared here except the
// factory and provider, which the plug-in implements. Virtual operations are listed
// in the host's virtual-table order.
#include <cstddef>
#include <cstdint>

#include "vxp/VXPString.h"

#define VXP_API_VERSION_MAJOR 7
#define VXP_API_VERSION_MINOR 0

enum VXPElementType : int32_t {
    VXP_TRIANGLE = 3,
    VXP_QUADRILATERAL = 5,
    VXP_TETRAHEDRON = 8,
    VXP_HEXAHEDRON = 10,
    VXP_PENTAHEDRON = 12,
    VXP_PYRAMID = 15,
    VXP_POLYGON_OR_POLYHEDRON = 17
};

// Types that appear only in provider signatures; the plug-in never calls them.
class VXPError;
class VXPVisibilityResult;
class VXPClientRequest;
class VXPClientResponse;
class VXPRigidBodyTransformations;

class VXPDataProviderInfo {
public:
    virtual void setName(const VXPString& name) = 0;
    virtual void setFileMask(const VXPString& mask) = 0;
    virtual void addBoolSetting(const VXPString& key, const VXPString& label, bool defaultValue) = 0;
    virtual void addStringSetting(const VXPString& key, const VXPString& label, const VXPString& defaultValue) = 0;
protected:
    ~VXPDataProviderInfo() = default;
};

class VXPInitOptions {
public:
    virtual bool hasSetting(const VXPString& key) const = 0;
    virtual bool boolSetting(const VXPString& key) const = 0;
    virtual VXPString stringSetting(const VXPString& key) const = 0;
protected:
    ~VXPInitOptions() = default;
};

class VXPResultInfo {
public:
    virtual void setIdString(const VXPString& idString) = 0;
    virtual void setUnit(const VXPString& unit) = 0;
    virtual void setDisplacementMode(int mode) = 0;
protected:
    ~VXPResultInfo() = default;
};

class VXPElementGroupInfo {
public:
    virtual void addPart(int id, const VXPString& name) = 0;
    virtual void setPartFlag(int id, int flag) = 0;
    virtual void setParentPart(int id, int parentId) = 0;
    virtual void setPartAttribute(int id, const VXPString& key, const VXPString& value) = 0;
protected:
    ~VXPElementGroupInfo() = default;
};

class VXPGeometryInfo {
public:
    virtual void addPart(int id, const VXPString& name) = 0;
    virtual VXPElementGroupInfo* elementGroupInfo() = 0;
    virtual void setGeometryIndex(int index) = 0;
protected:
    ~VXPGeometryInfo() = default;
};

class VXPMetaData {
public:
    virtual void setProblemInfo(const VXPString& title, const VXPString& description, int value1, int value2) = 0;
    virtual VXPGeometryInfo* geometryInfo() = 0;
    virtual void addState(int id, const VXPString& name, double referenceValue) = 0;
    virtual VXPResultInfo* addResult(int type, int id, const VXPString& name, bool elementResult) = 0;
protected:
    ~VXPMetaData() = default;
};

class VXPSet {
public:
    virtual void addElements(int geometry, int part, const int* indices, size_t count) = 0;
protected:
    ~VXPSet() = default;
};

class VXPGeometrySpec {
public:
    virtual int geometryIndex(int i) const = 0;
protected:
    ~VXPGeometrySpec() = default;
};

class VXPNodeGroup {
public:
    // xyz holds 3 * count coordinates.
    virtual void setNodes(const double* xyz, size_t count) = 0;
    virtual void setNodeIds(const int* ids, size_t count) = 0;
    virtual int index() const = 0;
protected:
    ~VXPNodeGroup() = default;
};

class VXPElementGroup {
public:
    // All elements of one type; nodes holds nodeCount node indices.
    virtual void setElementsOfType(VXPElementType type, size_t count, const int* nodes, size_t nodeCount,
                                   const int* ids) = 0;
    // One type per element; nodes holds the elements' node indices one after the other.
    virtual void setElements(const VXPElementType* types, size_t count, const int* nodes, size_t nodeCount,
                             const int* ids) = 0;
    // The elements of type 17 in element order: per element its node and face counts, per face
    // its node count, and the face nodes face after face.
    virtual void setPolyhedra(const uint8_t* nodesPerElement, const uint8_t* facesPerElement, size_t elementCount,
                              const uint8_t* nodesPerFace, size_t faceCount, const int* faceNodes,
                              size_t faceNodeCount) = 0;
    virtual void setElementPartIds(const int* partIds, size_t count) = 0;
protected:
    ~VXPElementGroup() = default;
};

class VXPGeometry {
public:
    virtual VXPNodeGroup* addNodeGroup() = 0;
    virtual VXPElementGroup* addElementGroup(int nodeGroupIndex) = 0;
protected:
    ~VXPGeometry() = default;
};

class VXPResultSpec {
public:
    virtual int resultId() const = 0;
    virtual int stateId() const = 0;
protected:
    ~VXPResultSpec() = default;
};

class VXPResultValueGroup {
public:
    // tuples items of components doubles each; a later call replaces the values.
    virtual void setValues(const double* values, int components, size_t tuples) = 0;
protected:
    ~VXPResultValueGroup() = default;
};

class VXPResult {
public:
    virtual VXPResultValueGroup* addValueGroup() = 0;
protected:
    ~VXPResult() = default;
};

class VXPChangeNotifications {
public:
    virtual void updateState(int id, const VXPString& name, double referenceValue) = 0;
    virtual void addState(int id, const VXPString& name, double referenceValue) = 0;
    virtual void removeState(int id) = 0;
protected:
    ~VXPChangeNotifications() = default;
};

class VXPDataProvider {
public:
    virtual ~VXPDataProvider() = default;
    virtual bool init(const VXPString& path, const VXPInitOptions& options, VXPError* error) = 0;
    virtual void close() = 0;
    virtual bool getMetaData(VXPMetaData* metaData) = 0;
    virtual bool getGeometry(const VXPGeometrySpec& spec, VXPGeometry* geometry) = 0;
    virtual bool getSet(int setId, VXPSet* set) = 0;
    virtual bool getResult(const VXPResultSpec& spec, VXPResult* result) = 0;
    virtual bool getRigidBodyTransformations(int stateId, VXPRigidBodyTransformations* transformations) = 0;
    virtual bool getElementVisibilityResult(size_t geometryIndex, int stateId, VXPVisibilityResult* result) = 0;
    virtual bool pollForChanges(VXPChangeNotifications* notifications) = 0;
    virtual bool handleClientRequest(const VXPClientRequest& request, VXPClientResponse* response,
                                     VXPChangeNotifications* notifications) = 0;
};

class VXPDataProviderFactory {
public:
    virtual ~VXPDataProviderFactory() = default;
    virtual bool getProviderInfo(VXPDataProviderInfo* info) = 0;
    virtual bool isSupportedByProvider(const VXPString& path) = 0;
    virtual VXPDataProvider* createProviderInstance() = 0;
    virtual void destroyProviderInstance(VXPDataProvider* provider) = 0;
};

struct VXPProviderFactoryInfo {
    int32_t apiVersionMajor;
    int32_t apiVersionMinor;
    VXPDataProviderFactory* factory;
    void (*destroyFactory)(VXPDataProviderFactory* factory);
};

struct VXPPluginRecord {
    void* reserved;
    int (*registerProviderFactory)(const char* providerName, const VXPProviderFactoryInfo* info);
    void (*logCallback)(int level, const char* text);  // may be null
    void (*setPluginProperty)(const char* key, const char* value);
};

typedef void (*VXPPluginExitFunc)();

// The one function a host looks up in the plug-in library.
#define VXP_ENTRY_FUNCTION_NAME "initializeDataProviderPlugin"
typedef VXPPluginExitFunc (*VXPInitializePluginFunc)(VXPPluginRecord* record);
