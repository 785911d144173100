#include "host/JsonReport.h"

namespace vxphost {

namespace {

Json settingDefault(const DeclaredSetting& setting) {
    if (setting.type == SettingType::Bool) return setting.boolDefault;
    return setting.stringDefault;
}

template <typename T>
Json optionalJson(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json histogramJson(const std::map<int, size_t>& counts) {
    Json object = Json::object();
    for (const auto& entry : counts) object[std::to_string(entry.first)] = entry.second;
    return object;
}

Json pointJson(const std::array<double, 3>& point) { return Json::array({point[0], point[1], point[2]}); }

}  // namespace

Json pluginJson(const LoadedPlugin& plugin, const RecordingProviderInfo& info) {
    Json properties = Json::object();
    for (const auto& property : plugin.properties()) properties[property.first] = property.second;
    Json settings = Json::array();
    for (const DeclaredSetting& setting : info.settings()) {
        settings.push_back({{"key", setting.key},
                            {"label", setting.label},
                            {"type", settingTypeName(setting.type)},
                            {"default", settingDefault(setting)}});
    }
    const RegisteredFactory& registration = plugin.registration();
    Json report;
    report["properties"] = properties;
    report["apiVersion"] =
        std::to_string(registration.apiVersionMajor) + "." + std::to_string(registration.apiVersionMinor);
    report["factory"] = {{"providerName", registration.providerName},
                         {"name", info.name()},
                         {"fileMask", info.fileMask()},
                         {"settings", settings}};
    return report;
}

Json partJson(const PublishedPart& part) {
    Json attributes = Json::object();
    for (const auto& attribute : part.attributes) attributes[attribute.first] = attribute.second;
    return {{"id", part.id},
            {"name", part.name},
            {"via", partViaName(part.via)},
            {"parent", optionalJson(part.parent)},
            {"flag", optionalJson(part.flag)},
            {"attributes", attributes}};
}

Json metaDataJson(bool initialised, const RecordingMetaData& metaData) {
    Json report;
    report["init"] = initialised;
    const std::optional<ProblemInfo>& problem = metaData.problemInfo();
    report["problem"] = problem ? Json{{"title", problem->title},
                                       {"description", problem->description},
                                       {"values", Json::array({problem->value1, problem->value2})}}
                                : Json(nullptr);
    report["geometryIndex"] = optionalJson(metaData.geometryIndex());
    Json parts = Json::array();
    for (const PublishedPart& part : metaData.parts()) parts.push_back(partJson(part));
    report["parts"] = parts;
    Json states = Json::array();
    for (const PublishedState& state : metaData.states()) {
        states.push_back({{"id", state.id}, {"name", state.name}, {"value", state.value}});
    }
    report["states"] = states;
    Json results = Json::array();
    for (const PublishedResult& result : metaData.results()) {
        results.push_back({{"id", result.id},
                           {"type", result.type},
                           {"name", result.name},
                           {"elementResult", result.elementResult},
                           {"idString", result.idString},
                           {"unit", result.unit},
                           {"displacementMode", optionalJson(result.displacementMode)}});
    }
    report["results"] = results;
    return report;
}

Json elementGroupJson(const ElementGroupStatistics& stats, const std::vector<std::string>& problems) {
    Json group;
    group["index"] = stats.index;
    group["nodes"] = stats.nodes;
    group["nodeIds"] =
        stats.nodeIdRange ? Json::array({stats.nodeIdRange->first, stats.nodeIdRange->second}) : Json(nullptr);
    group["elements"] = stats.elements;
    group["types"] = histogramJson(stats.typeCounts);
    group["connectivity"] = stats.connectivity;
    group["polyhedra"] = stats.polyhedra;
    group["polyFaces"] = stats.polyFaces;
    group["partIds"] = stats.partIdCounts ? histogramJson(*stats.partIdCounts) : Json(nullptr);
    group["bbox"] =
        stats.bounds ? Json::array({pointJson(stats.bounds->min), pointJson(stats.bounds->max)}) : Json(nullptr);
    group["problems"] = problems;
    return group;
}

Json valueGroupJson(const ValueGroupStatistics& stats) {
    return {{"index", stats.index},   {"components", stats.components},
            {"tuples", stats.tuples}, {"undefined", stats.undefined},
            {"min", stats.min},       {"max", stats.max},
            {"mean", stats.mean}};
}

Json notificationJson(const NotificationCall& call) {
    if (call.kind == NotificationKind::Remove) return Json::array({"remove", call.id});
    return Json::array({notificationKindName(call.kind), call.id, call.name, call.value});
}

std::string jsonLine(const Json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string jsonText(const Json& value) {
    return value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace vxphost
