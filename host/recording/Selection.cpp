#include "host/recording/Selection.h"

#include <cstdlib>
#include <optional>

namespace vxphost {

namespace {

std::optional<int> parseInt(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0') return std::nullopt;
    return static_cast<int>(value);
}

std::vector<std::string> splitAtCommas(const std::string& text) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        if (end > start) pieces.push_back(text.substr(start, end - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return pieces;
}

}  // namespace

const PublishedResult* findPublishedResult(const RecordingMetaData& metaData, const std::string& key) {
    if (const std::optional<int> id = parseInt(key)) {
        if (const PublishedResult* result = metaData.findResult(*id)) return result;
    }
    for (const PublishedResult& result : metaData.results()) {
        if (result.name == key) return &result;
    }
    for (const PublishedResult& result : metaData.results()) {
        if (result.idString == key) return &result;
    }
    return nullptr;
}

std::vector<int> selectStates(const RecordingMetaData& metaData, const std::string& selection, std::string* error) {
    const std::vector<PublishedState>& states = metaData.states();
    std::vector<int> ids;
    if (selection == "all") {
        for (const PublishedState& state : states) ids.push_back(state.id);
    } else if (selection == "first" || selection == "last") {
        if (!states.empty()) ids.push_back(selection == "first" ? states.front().id : states.back().id);
    } else {
        for (const std::string& piece : splitAtCommas(selection)) {
            const std::optional<int> id = parseInt(piece);
            if (!id || !metaData.findState(*id)) {
                *error = "no published state has the id '" + piece + "'";
                return {};
            }
            ids.push_back(*id);
        }
    }
    return ids;
}

std::vector<const PublishedResult*> selectResults(const RecordingMetaData& metaData, const std::string& selection,
                                                  std::string* error) {
    std::vector<const PublishedResult*> results;
    if (selection == "all") {
        for (const PublishedResult& result : metaData.results()) results.push_back(&result);
        return results;
    }
    for (const std::string& key : splitAtCommas(selection)) {
        const PublishedResult* result = findPublishedResult(metaData, key);
        if (!result) {
            *error = "no published result is called '" + key + "'";
            return {};
        }
        results.push_back(result);
    }
    return results;
}

}  // namespace vxphost
