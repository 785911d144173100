#pragma once
#include <map>
#include <set>
#include <vector>

#include "core/Str.h"
#include "model/OFReader.h"
#include "plugin/OFInitOptions.h"
#include "plugin/PieceOrder.h"
#include "vxp/VXPApi.h"

class OFPolymeshReader;
class OFPolymeshToVXP;
class OFTriSurfaceReader;
class OFResultReader;

// The host-facing object of one opened case.
class OpenFoamProvider : public VXPDataProvider {
public:
    // Host groups by piece (plugin/PieceOrder.h): geometry pairs and a part's value groups.
    using GroupPair = std::pair<VXPNodeGroup*, VXPElementGroup*>;
    using GroupList = CaseGroups<GroupPair>;
    using PartGroupPairs = PartGroups<GroupPair>;
    using ValueGroups = PartGroups<VXPResultValueGroup*>;

    OpenFoamProvider() = default;
    ~OpenFoamProvider() override;

    bool init(const VXPString& path, const VXPInitOptions& options, VXPError* error) override;
    void close() override;
    bool getMetaData(VXPMetaData* metaData) override;
    bool getGeometry(const VXPGeometrySpec& spec, VXPGeometry* geometry) override;
    bool getSet(int setId, VXPSet* set) override;
    bool getResult(const VXPResultSpec& spec, VXPResult* result) override;
    bool getRigidBodyTransformations(int stateId, VXPRigidBodyTransformations* transformations) override;
    bool getElementVisibilityResult(size_t geometryIndex, int stateId, VXPVisibilityResult* result) override;
    bool pollForChanges(VXPChangeNotifications* notifications) override;
    bool handleClientRequest(const VXPClientRequest& request, VXPClientResponse* response,
                             VXPChangeNotifications* notifications) override;

    // Settings.
    bool getBoolUserSetting(const VXPInitOptions& options, const OFInitOption& option);
    VXPString getStringUserSetting(const VXPInitOptions& options, const OFInitOptionString& option);
    void applyUserReaderSettings(const VXPInitOptions& options);
    static bool caseDirectoryFromPath(const vx::Str& path, vx::Str* directory);

    // Meta data.
    bool addGeometryInfo(VXPMetaData* metaData);
    bool addStateInfo(VXPMetaData* metaData);
    bool addResultInfo(VXPMetaData* metaData);
    bool addSetInfo(VXPMetaData* metaData);

    // Geometry.
    bool getGeometryForPart(int partIndex, OFPolymeshReader& reader, PartGroupPairs& groups,
                            const VXPGeometrySpec& spec);
    bool getGeometryForTrisurface(int surfaceIndex, OFTriSurfaceReader& reader, GroupPair& groups,
                                  const VXPGeometrySpec& spec);
    bool generateBoundaryParts(std::vector<OFBoundary>& boundaries, PartGroupPairs& groups,
                               OFPolymeshToVXP& converter);
    bool generateFaceZones(std::vector<OFFaceZone>& faceZones, PartGroupPairs& groups,
                           std::vector<OFBoundary>& boundaries, OFPolymeshToVXP& converter);
    void generateCellZoneParts(const OFPart& part, size_t elementCount, VXPElementGroup* group);

    // Results.
    bool buildDataResults(OFState& state, OFResult& r, VXPResult* result, const vx::Str& nativeName,
                          const vx::Str& className);
    bool getResultForPart(int partIndex, OFState& state, OFResult& r, ValueGroups& groups, const vx::Str& nativeName,
                          const vx::Str& className);
    void getResultsWithBoundaries(std::vector<OFBoundary>& boundaries, int dimension, OFResultReader& reader,
                                  const vx::Str& folder, const vx::Str& nativeName, const vx::Str& className,
                                  std::vector<double>& values, ValueGroups& groups);
    bool getResultForTrisurface(int surfaceIndex, OFState& state, OFResult& r, VXPResultValueGroup* group,
                                const vx::Str& nativeName, const vx::Str& className);
    bool getDisplacements(int stateId, VXPResult* result);
    // Finds, once per state, the parts whose mesh at the state is not the one delivered, and logs
    // that once, naming the time and the cell counts of both meshes.
    void resolveMeshChanges(OFState& state);
    bool isOnOtherMesh(size_t partIndex, const OFState& state) const;
    bool updatePointsForPart(int partIndex, int stateId, ValueGroups& groups);
    static bool applyNodalDataInFace(const std::vector<double>& nodeValues, std::vector<double>& patchValues,
                                     int dimension, const std::vector<int>& mapping);
    // The folder of a part's field files at a state.
    vx::Str fieldFolder(const OFPart& part, const OFState& state) const;

    // Change polling.
    void runVerificationForChanges(VXPChangeNotifications* notifications);
    void handleRemovedStates(VXPChangeNotifications* notifications, const std::vector<vx::Str>& current,
                             const std::vector<vx::Str>& previous);
    void handleAddedStates(VXPChangeNotifications* notifications, const std::vector<vx::Str>& current,
                           const std::vector<vx::Str>& previous);

    OFReader& reader() { return m_reader; }
    const OFReader& reader() const { return m_reader; }
    int displacementResultId() const { return m_displacementResultId; }
    bool verificationPending() const { return m_verificationPending; }

private:
    bool initCase(const VXPString& path, const VXPInitOptions& options);
    bool getGeometryOnCallingThread(const VXPGeometrySpec& spec, VXPGeometry* geometry);
    bool getResultOnCallingThread(const VXPResultSpec& spec, VXPResult* result);
    bool pollOnCallingThread(VXPChangeNotifications* notifications);
    void reportState(VXPChangeNotifications* notifications, const OFState& state);
    void addWrittenSince(OFState& state);
    void reconcileHostStates(VXPChangeNotifications* notifications);

    OFReader m_reader;
    bool m_verificationPending = false;
    bool m_nodeAverageResults = false;
    int m_displacementResultId = -1;
    // The id of each result's id string, as last numbered.
    std::map<vx::Str, int> m_resultIds;
    // The state ids the host holds: those published, then as the polls reported them.
    std::set<int> m_hostStateIds;
    bool m_loadBoundaryParts = false;
};
