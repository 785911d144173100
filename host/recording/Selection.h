#pragma once
// Picking states and results from the published meta data by what a user types.
#include <string>
#include <vector>

#include "host/recording/RecordingMetaData.h"

namespace vxphost {

// A result by id (when the key is a number that a published result carries), else by name, else
// by id string; null when none matches.
const PublishedResult* findPublishedResult(const RecordingMetaData& metaData, const std::string& key);

// "all", "first", "last" or a comma-separated list of state ids (which must be published).
// Returns the state ids in the order asked, or sets *error.
std::vector<int> selectStates(const RecordingMetaData& metaData, const std::string& selection, std::string* error);

// "all" or a comma-separated list of result ids, names or id strings.
std::vector<const PublishedResult*> selectResults(const RecordingMetaData& metaData, const std::string& selection,
                                                  std::string* error);

}  // namespace vxphost
