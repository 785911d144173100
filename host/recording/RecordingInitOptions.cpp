#include "host/recording/RecordingInitOptions.h"

#include <algorithm>
#include <cctype>

namespace vxphost {

void RecordingInitOptions::recordQuery(const char* operation, const VXPString& key) const {
    m_queries.push_back({operation, key.utf8()});
}

const SettingValue* RecordingInitOptions::find(const VXPString& key) const {
    const auto it = m_values.find(key.utf8());
    return it == m_values.end() ? nullptr : &it->second;
}

bool RecordingInitOptions::hasSetting(const VXPString& key) const {
    recordQuery("hasSetting", key);
    return find(key) != nullptr;
}

bool RecordingInitOptions::boolSetting(const VXPString& key) const {
    recordQuery("boolSetting", key);
    const SettingValue* value = find(key);
    if (!value) return false;
    if (const bool* flag = std::get_if<bool>(value)) return *flag;
    return parseBoolWord(std::get<std::string>(*value)).value_or(false);
}

VXPString RecordingInitOptions::stringSetting(const VXPString& key) const {
    recordQuery("stringSetting", key);
    const SettingValue* value = find(key);
    if (!value) return VXPString();
    if (const bool* flag = std::get_if<bool>(value)) return VXPString::fromUtf8(*flag ? "true" : "false");
    return VXPString::fromUtf8(std::get<std::string>(*value).c_str());
}

std::optional<bool> parseBoolWord(const std::string& word) {
    std::string lower(word);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "on" || lower == "true" || lower == "1") return true;
    if (lower == "off" || lower == "false" || lower == "0") return false;
    return std::nullopt;
}

namespace {
const DeclaredSetting* findDeclared(const std::vector<DeclaredSetting>& declared, const std::string& key) {
    for (const DeclaredSetting& setting : declared) {
        if (setting.key == key) return &setting;
    }
    return nullptr;
}
}  // namespace

std::string applySettingAssignment(const std::string& assignment, const std::vector<DeclaredSetting>& declared,
                                   RecordingInitOptions* options) {
    const size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) return "expected KEY=VALUE, got '" + assignment + "'";
    const std::string key = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    const DeclaredSetting* setting = findDeclared(declared, key);
    if (setting && setting->type == SettingType::String) {
        options->setString(key, value);
        return std::string();
    }
    const std::optional<bool> flag = parseBoolWord(value);
    if (flag) {
        options->setBool(key, *flag);
        return std::string();
    }
    if (setting) return "setting " + key + " takes on/off/true/false/1/0, got '" + value + "'";
    options->setString(key, value);
    return std::string();
}

}  // namespace vxphost
