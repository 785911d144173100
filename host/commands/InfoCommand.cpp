// vxphost info CASE: opens the case and prints its meta data: problem info, the part tree, states
// and results.
#include <iostream>
#include <memory>

#include "host/Console.h"
#include "host/JsonReport.h"
#include "host/commands/Commands.h"
#include "host/commands/OpenCase.h"

namespace vxphost {

namespace {

std::string partLine(const PublishedPart& part) {
    std::string line = std::to_string(part.id) + " " + part.name + " [" + partViaName(part.via) + "]";
    if (part.flag) line += " flag " + std::to_string(*part.flag);
    for (const auto& attribute : part.attributes) line += " " + attribute.first + "=" + attribute.second;
    return line;
}

bool hasPublishedParent(const RecordingMetaData& metaData, const PublishedPart& part) {
    return part.parent && *part.parent != part.id && metaData.findPart(*part.parent);
}

void printPartTree(const RecordingMetaData& metaData, int parentId, int depth) {
    for (const PublishedPart& part : metaData.parts()) {
        const bool belongsHere = depth == 0 ? !hasPublishedParent(metaData, part)
                                            : hasPublishedParent(metaData, part) && *part.parent == parentId;
        if (!belongsHere) continue;
        std::cout << std::string(2 + 2 * static_cast<size_t>(depth), ' ') << partLine(part) << "\n";
        if (depth < 8) printPartTree(metaData, part.id, depth + 1);
    }
}

void printMetaDataText(const RecordingMetaData& metaData) {
    if (const auto& problem = metaData.problemInfo()) {
        std::cout << "problem: \"" << problem->title << "\" / \"" << problem->description << "\" (" << problem->value1
                  << ", " << problem->value2 << ")\n";
    }
    if (metaData.geometryIndex()) std::cout << "geometry index: " << *metaData.geometryIndex() << "\n";
    std::cout << "parts (" << metaData.parts().size() << "):\n";
    printPartTree(metaData, 0, 0);
    std::cout << "states (" << metaData.states().size() << "):\n";
    for (const PublishedState& state : metaData.states()) {
        std::cout << "  " << state.id << " \"" << state.name << "\" " << state.value << "\n";
    }
    std::cout << "results (" << metaData.results().size() << "):\n";
    for (const PublishedResult& result : metaData.results()) {
        std::cout << "  " << result.id << " " << result.name << " (type " << result.type << ", "
                  << (result.elementResult ? "element" : "node") << ", id string " << result.idString << ", unit '"
                  << result.unit << "'";
        if (result.displacementMode) std::cout << ", displacement mode " << *result.displacementMode;
        std::cout << ")\n";
    }
}

int runInfoCommand(HostContext& host, const std::string& caseArgument) {
    CaseSession session(host.plugin->factory());
    const std::string failure = session.open(caseFilePath(caseArgument), host.initOptions);
    if (!session.provider()) {
        reportFailure(host, failure);
        return EXIT_FAILED;
    }
    if (!failure.empty()) Console::get().error(failure);
    if (host.options.json) {
        Json report = metaDataJson(session.initialised(), session.metaData());
        if (session.initialised()) report["metaData"] = session.metaDataRead();
        std::cout << jsonText(report) << std::endl;
    } else if (session.initialised()) {
        printMetaDataText(session.metaData());
    }
    return failure.empty() ? EXIT_OK : EXIT_FAILED;
}

}  // namespace

void addInfoCommand(CLI::App& app, CommandAction* action) {
    CLI::App* command = app.add_subcommand("info", "Open a case and print its parts, states and results");
    auto casePath = std::make_shared<std::string>();
    command->add_option("CASE", *casePath, "The case.foam file or its folder")->required();
    command->callback(
        [action, casePath] { *action = [casePath](HostContext& host) { return runInfoCommand(host, *casePath); }; });
}

}  // namespace vxphost
