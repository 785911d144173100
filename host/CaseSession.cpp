#include "host/CaseSession.h"

#include <filesystem>
#include <system_error>

namespace vxphost {

CaseSession::~CaseSession() {
    if (!m_provider) return;
    if (m_initCalled) m_provider->close();
    m_factory->destroyProviderInstance(m_provider);
}

std::string CaseSession::open(const std::string& casePath, const VXPInitOptions& options) {
    m_casePath = casePath;
    const VXPString path = VXPString::fromUtf8(casePath.c_str());
    if (!m_factory->isSupportedByProvider(path)) return "the provider does not read " + casePath;
    m_provider = m_factory->createProviderInstance();
    if (!m_provider) return "the provider could not be created";
    m_initCalled = true;
    m_initialised = m_provider->init(path, options, nullptr);
    if (!m_initialised) return "the provider could not open " + casePath;
    m_metaDataRead = m_provider->getMetaData(&m_metaData);
    if (!m_metaDataRead) return "the provider could not deliver the meta data of " + casePath;
    return std::string();
}

std::string caseFilePath(const std::string& argument) {
    std::error_code error;
    if (!std::filesystem::is_directory(argument, error)) return argument;
    const bool endsWithSeparator = argument.back() == '/' || argument.back() == '\\';
    return argument + (endsWithSeparator ? "" : "/") + "case.foam";
}

std::string caseName(const std::string& casePath) {
    std::string normalised = casePath;
    for (char& c : normalised) {
        if (c == '\\') c = '/';
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(normalised, error);
    const std::string name = (error ? std::filesystem::path(normalised) : absolute).parent_path().filename().string();
    if (name.empty() || name == "." || name == "..") return "case";
    return name;
}

}  // namespace vxphost
