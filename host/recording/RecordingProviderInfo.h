#pragma once
// What a provider factory declares about itself: name, file mask and the user settings.
#include <string>
#include <vector>

#include "vxp/VXPApi.h"

namespace vxphost {

enum class SettingType { Bool, String };

const char* settingTypeName(SettingType type);

struct DeclaredSetting {
    std::string key;
    std::string label;
    SettingType type = SettingType::Bool;
    bool boolDefault = false;
    std::string stringDefault;  // only for string settings
};

class RecordingProviderInfo final : public VXPDataProviderInfo {
public:
    void setName(const VXPString& name) override;
    void setFileMask(const VXPString& mask) override;
    void addBoolSetting(const VXPString& key, const VXPString& label, bool defaultValue) override;
    void addStringSetting(const VXPString& key, const VXPString& label, const VXPString& defaultValue) override;

    const std::string& name() const { return m_name; }
    const std::string& fileMask() const { return m_fileMask; }
    // In declaration order.
    const std::vector<DeclaredSetting>& settings() const { return m_settings; }
    // The last declaration of this key, or null.
    const DeclaredSetting* findSetting(const std::string& key) const;

private:
    std::string m_name;
    std::string m_fileMask;
    std::vector<DeclaredSetting> m_settings;
};

}  // namespace vxphost
