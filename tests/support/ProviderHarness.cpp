#include "tests/support/ProviderHarness.h"

#include "plugin/PluginEntry.h"

namespace {
VXPProviderFactoryInfo g_registered{0, 0, nullptr, nullptr};
int registerFactory(const char*, const VXPProviderFactoryInfo* info) {
    g_registered = *info;
    return 1;
}
void ignoreProperty(const char*, const char*) {}
}  // namespace

ProviderHarness::ProviderHarness() {
    VXPPluginRecord record{nullptr, &registerFactory, nullptr, &ignoreProperty};
    initializeDataProviderPlugin(&record);
    m_factory = g_registered.factory;
    m_destroyFactory = g_registered.destroyFactory;
    m_provider = m_factory->createProviderInstance();
}

ProviderHarness::~ProviderHarness() {
    if (m_provider) {
        m_provider->close();
        m_factory->destroyProviderInstance(m_provider);
    }
    if (m_destroyFactory) m_destroyFactory(m_factory);
}

bool ProviderHarness::open(const std::string& caseFolder) {
    const VXPString path = VXPString::fromUtf8((caseFolder + "/case.foam").c_str());
    if (!m_factory->isSupportedByProvider(path) || !m_provider->init(path, m_options, nullptr)) return false;
    m_metaData = std::make_unique<vxphost::RecordingMetaData>();
    return m_provider->getMetaData(m_metaData.get());
}

bool ProviderHarness::geometry() {
    m_geometry = std::make_unique<vxphost::RecordingGeometry>();
    vxphost::RecordingGeometrySpec spec;
    return m_provider->getGeometry(spec, m_geometry.get());
}

bool ProviderHarness::result(int resultId, int stateId, vxphost::RecordingResult* out) {
    vxphost::RecordingResultSpec spec(resultId, stateId);
    return m_provider->getResult(spec, out);
}

bool ProviderHarness::poll(std::vector<vxphost::NotificationCall>* calls) {
    const bool ok = m_provider->pollForChanges(&m_notifications);
    *calls = m_notifications.takeCalls();
    return ok;
}

const vxphost::PublishedResult* ProviderHarness::resultNamed(const std::string& name) const {
    for (const auto& r : m_metaData->results())
        if (r.name == name) return &r;
    return nullptr;
}
