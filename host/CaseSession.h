#pragma once
// One opened case: the provider created by the factory, initialised on the case path and asked
// for its meta data. Closing and destroying the provider happen when the session ends.
#include <string>

#include "host/recording/RecordingMetaData.h"
#include "vxp/VXPApi.h"

namespace vxphost {

class CaseSession {
public:
    explicit CaseSession(VXPDataProviderFactory* factory) : m_factory(factory) {}
    // close() on a provider whose init was called (even when it failed), then destroyProviderInstance.
    ~CaseSession();
    CaseSession(const CaseSession&) = delete;
    CaseSession& operator=(const CaseSession&) = delete;

    // Checks the path with the factory, creates the provider, calls init and getMetaData.
    // Returns the reason of the first step that failed, or the empty text.
    std::string open(const std::string& casePath, const VXPInitOptions& options);

    bool initialised() const { return m_initialised; }
    bool metaDataRead() const { return m_metaDataRead; }
    VXPDataProvider* provider() const { return m_provider; }
    const RecordingMetaData& metaData() const { return m_metaData; }
    const std::string& casePath() const { return m_casePath; }

private:
    VXPDataProviderFactory* m_factory;
    VXPDataProvider* m_provider = nullptr;
    bool m_initCalled = false;
    bool m_initialised = false;
    bool m_metaDataRead = false;
    std::string m_casePath;
    RecordingMetaData m_metaData;
};

// A folder stands for the case file inside it: DIR becomes DIR/case.foam.
std::string caseFilePath(const std::string& argument);

// The name of the folder holding the case file ("case" when there is none).
std::string caseName(const std::string& casePath);

}  // namespace vxphost
