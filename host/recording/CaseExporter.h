#pragma once
// Writes what a provider delivered as VTK files: per drawable piece one .vtu, per state one .vtm
// holding them, and a .pvd time series over the states. Without states the geometry is written
// once (one .vtm, no .pvd).
//
// Layout in the output folder, with NAME the case name and S a state id:
//   NAME.pvd, NAME_S.vtm, NAME_S/<piece>.vtu     (with states)
//   NAME.vtm, NAME/<piece>.vtu                   (without states)
#include <functional>
#include <string>
#include <vector>

#include "host/recording/RecordingGeometry.h"
#include "host/recording/RecordingMetaData.h"
#include "vxp/VXPApi.h"

namespace vxphost {

struct ExportRequest {
    std::string outputFolder;
    std::string caseName;
    std::vector<int> stateIds;
    // Results to request per state. One whose displacement mode is set moves the points of its
    // state instead of becoming a data array.
    std::vector<const PublishedResult*> results;
};

struct ExportReport {
    bool ok = true;                     // false when a result request returned false or a file could not be written
    std::vector<std::string> files;     // every file written, in writing order
    std::vector<std::string> problems;  // what could not be exported as asked
};

using ExportProgress = std::function<void(const std::string& step)>;

ExportReport exportCase(VXPDataProvider& provider, const RecordingMetaData& metaData, const RecordingGeometry& geometry,
                        const ExportRequest& request, const ExportProgress& progress = ExportProgress());

}  // namespace vxphost
