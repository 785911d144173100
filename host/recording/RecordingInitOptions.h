#pragma once
// The user's setting values handed to a provider's init, and every query the provider made.
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/recording/RecordingProviderInfo.h"
#include "vxp/VXPApi.h"

namespace vxphost {

using SettingValue = std::variant<bool, std::string>;

struct SettingQuery {
    std::string operation;  // "hasSetting", "boolSetting" or "stringSetting"
    std::string key;
};

class RecordingInitOptions final : public VXPInitOptions {
public:
    void setBool(const std::string& key, bool value) { m_values[key] = value; }
    void setString(const std::string& key, const std::string& value) { m_values[key] = value; }

    bool hasSetting(const VXPString& key) const override;
    // A text value is read as a boolean word; an unknown key or word gives false.
    bool boolSetting(const VXPString& key) const override;
    // A boolean value reads as "true" or "false"; an unknown key gives the empty text.
    VXPString stringSetting(const VXPString& key) const override;

    const std::map<std::string, SettingValue>& values() const { return m_values; }
    const std::vector<SettingQuery>& queries() const { return m_queries; }

private:
    void recordQuery(const char* operation, const VXPString& key) const;
    const SettingValue* find(const VXPString& key) const;

    std::map<std::string, SettingValue> m_values;
    mutable std::vector<SettingQuery> m_queries;
};

// on/off/true/false/1/0 in any letter case.
std::optional<bool> parseBoolWord(const std::string& word);

// Applies one "KEY=VALUE" assignment. A key declared as a string setting takes the text as it is;
// any other key takes a boolean word, and an undeclared key whose value is no boolean word keeps
// the text. Returns an error message, or the empty text on success.
std::string applySettingAssignment(const std::string& assignment, const std::vector<DeclaredSetting>& declared,
                                   RecordingInitOptions* options);

}  // namespace vxphost
