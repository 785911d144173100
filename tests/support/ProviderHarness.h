#pragma once
// Drives the plug-in as a host does: through the entry function and the factory, with the
// reference host's recording objects.
#include <memory>
#include <string>

#include "host/recording/RecordingChangeNotifications.h"
#include "host/recording/RecordingGeometry.h"
#include "host/recording/RecordingInitOptions.h"
#include "host/recording/RecordingMetaData.h"
#include "host/recording/RecordingResult.h"
#include "vxp/VXPApi.h"

class ProviderHarness {
public:
    ProviderHarness();
    ~ProviderHarness();

    vxphost::RecordingInitOptions& options() { return m_options; }
    // init on the case.foam of the folder, then getMetaData.
    bool open(const std::string& caseFolder);
    bool geometry();
    bool result(int resultId, int stateId, vxphost::RecordingResult* out);
    bool poll(std::vector<vxphost::NotificationCall>* calls);

    VXPDataProvider* provider() { return m_provider; }
    vxphost::RecordingMetaData& metaData() { return *m_metaData; }
    vxphost::RecordingGeometry& geometryRecord() { return *m_geometry; }
    const vxphost::PublishedResult* resultNamed(const std::string& name) const;

private:
    VXPDataProviderFactory* m_factory = nullptr;
    void (*m_destroyFactory)(VXPDataProviderFactory*) = nullptr;
    VXPDataProvider* m_provider = nullptr;
    vxphost::RecordingInitOptions m_options;
    std::unique_ptr<vxphost::RecordingMetaData> m_metaData;
    std::unique_ptr<vxphost::RecordingGeometry> m_geometry;
    vxphost::RecordingChangeNotifications m_notifications;
};
