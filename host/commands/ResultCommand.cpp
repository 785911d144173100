// vxphost result CASE --state ID --result ID|NAME: reads the geometry, then one result at one
// state, and summarises every value group.
#include <chrono>
#include <iostream>
#include <memory>
#include <sstream>

#include "host/Console.h"
#include "host/JsonReport.h"
#include "host/commands/Commands.h"
#include "host/commands/OpenCase.h"
#include "host/recording/RecordingResult.h"
#include "host/recording/Statistics.h"

namespace vxphost {

namespace {

struct ResultArguments {
    std::string casePath;
    int stateId = -1;  // -1: the first published state
    std::string result;
};

std::string valuesText(const std::vector<double>& values) {
    std::ostringstream text;
    text << "[";
    for (size_t i = 0; i < values.size(); ++i) text << (i ? ", " : "") << values[i];
    text << "]";
    return text.str();
}

void printValueGroupText(const ValueGroupStatistics& stats) {
    std::cout << "value group " << stats.index << ": " << stats.tuples << " x " << stats.components << ", "
              << stats.undefined << " undefined, min " << valuesText(stats.min) << ", max " << valuesText(stats.max)
              << ", mean " << valuesText(stats.mean) << "\n";
}

int chosenState(const RecordingMetaData& metaData, int requested) {
    if (requested >= 0) return requested;
    return metaData.states().empty() ? 1 : metaData.states().front().id;
}

int runResultCommand(HostContext& host, const ResultArguments& arguments) {
    std::unique_ptr<CaseSession> session = openCaseOrReport(host, arguments.casePath);
    if (!session) return EXIT_FAILED;
    const PublishedResult* published = resultReadyToRead(host, *session, arguments.result);
    if (!published) return EXIT_FAILED;
    const int stateId = chosenState(session->metaData(), arguments.stateId);
    const RecordingResultSpec spec(published->id, stateId);
    RecordingResult result;
    bool ok = false;
    const auto start = std::chrono::steady_clock::now();
    {
        ProgressTicker progress("getResult " + published->name);
        ok = session->provider()->getResult(spec, &result);
    }
    const double seconds = secondsSince(start);
    if (!host.options.json) {
        std::cout << "getResult " << published->name << " (id " << published->id << ") at state " << stateId << ": "
                  << (ok ? "ok" : "failed") << " in " << seconds << " s, " << result.valueGroupCount()
                  << " value groups\n";
    }
    Json groups = Json::array();
    for (size_t g = 0; g < result.valueGroupCount(); ++g) {
        const ValueGroupStatistics stats = valueGroupStatistics(result.valueGroup(g), g);
        if (host.options.json) {
            groups.push_back(valueGroupJson(stats));
        } else {
            printValueGroupText(stats);
        }
    }
    if (host.options.json) {
        std::cout << jsonText(Json{{"ok", ok},
                                   {"seconds", seconds},
                                   {"resultId", published->id},
                                   {"stateId", stateId},
                                   {"groups", groups}})
                  << std::endl;
    }
    return ok ? EXIT_OK : EXIT_FAILED;
}

}  // namespace

void addResultCommand(CLI::App& app, CommandAction* action) {
    CLI::App* command = app.add_subcommand("result", "Read one result at one state and summarise each value group");
    auto arguments = std::make_shared<ResultArguments>();
    command->add_option("CASE", arguments->casePath, "The case.foam file or its folder")->required();
    command->add_option("--state", arguments->stateId, "State id (default: the first state)");
    command->add_option("--result", arguments->result, "Result id, name or id string")->required();
    command->callback([action, arguments] {
        *action = [arguments](HostContext& host) { return runResultCommand(host, *arguments); };
    });
}

}  // namespace vxphost
