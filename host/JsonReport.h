#pragma once
// The JSON forms of what the host received. Keys keep the order in which they are added.
#include <nlohmann/json.hpp>
#include <vector>

#include "host/PluginLoader.h"
#include "host/recording/RecordingChangeNotifications.h"
#include "host/recording/RecordingMetaData.h"
#include "host/recording/RecordingProviderInfo.h"
#include "host/recording/Statistics.h"

namespace vxphost {

using Json = nlohmann::ordered_json;

Json pluginJson(const LoadedPlugin& plugin, const RecordingProviderInfo& info);

// {"init", "problem", "geometryIndex", "parts", "states", "results"}.
Json metaDataJson(bool initialised, const RecordingMetaData& metaData);
Json partJson(const PublishedPart& part);

Json elementGroupJson(const ElementGroupStatistics& stats, const std::vector<std::string>& problems);
Json valueGroupJson(const ValueGroupStatistics& stats);
// ["update", id, name, value], ["add", id, name, value] or ["remove", id].
Json notificationJson(const NotificationCall& call);

// One line, non-finite numbers as null; invalid UTF-8 replaced.
std::string jsonLine(const Json& value);
// Indented, for the commands that print one object.
std::string jsonText(const Json& value);

}  // namespace vxphost
