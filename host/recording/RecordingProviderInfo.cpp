#include "host/recording/RecordingProviderInfo.h"

namespace vxphost {

const char* settingTypeName(SettingType type) { return type == SettingType::Bool ? "bool" : "string"; }

void RecordingProviderInfo::setName(const VXPString& name) { m_name = name.utf8(); }

void RecordingProviderInfo::setFileMask(const VXPString& mask) { m_fileMask = mask.utf8(); }

void RecordingProviderInfo::addBoolSetting(const VXPString& key, const VXPString& label, bool defaultValue) {
    m_settings.push_back({key.utf8(), label.utf8(), SettingType::Bool, defaultValue, std::string()});
}

void RecordingProviderInfo::addStringSetting(const VXPString& key, const VXPString& label,
                                             const VXPString& defaultValue) {
    m_settings.push_back({key.utf8(), label.utf8(), SettingType::String, false, defaultValue.utf8()});
}

const DeclaredSetting* RecordingProviderInfo::findSetting(const std::string& key) const {
    for (auto it = m_settings.rbegin(); it != m_settings.rend(); ++it) {
        if (it->key == key) return &*it;
    }
    return nullptr;
}

}  // namespace vxphost
