// vxphost geometry CASE: opens the case, asks for its geometry and summarises every element group.
#include <iostream>
#include <memory>
#include <sstream>

#include "host/Console.h"
#include "host/JsonReport.h"
#include "host/commands/Commands.h"
#include "host/commands/OpenCase.h"
#include "host/recording/ElementLayout.h"
#include "host/recording/Statistics.h"

namespace vxphost {

namespace {

std::string histogramText(const std::map<int, size_t>& counts) {
    std::string text = "{";
    for (const auto& entry : counts) {
        if (text.size() > 1) text += ", ";
        text += std::to_string(entry.first) + ": " + std::to_string(entry.second);
    }
    return text + "}";
}

std::string pointText(const std::array<double, 3>& point) {
    std::ostringstream text;
    text << "(" << point[0] << ", " << point[1] << ", " << point[2] << ")";
    return text.str();
}

void printGroupText(const ElementGroupStatistics& stats) {
    std::cout << "group " << stats.index << ": " << stats.nodes << " nodes";
    if (stats.nodeIdRange) {
        std::cout << " [ids " << stats.nodeIdRange->first << ".." << stats.nodeIdRange->second << "]";
    }
    std::cout << ", " << stats.elements << " elements " << histogramText(stats.typeCounts) << ", connectivity "
              << stats.connectivity << ", polyhedra " << stats.polyhedra << " (" << stats.polyFaces << " faces)";
    if (stats.partIdCounts) std::cout << ", part ids " << histogramText(*stats.partIdCounts);
    if (stats.bounds) std::cout << ", bbox " << pointText(stats.bounds->min) << " - " << pointText(stats.bounds->max);
    std::cout << "\n";
}

std::vector<std::string> groupProblems(const RecordingGeometry& geometry, size_t index) {
    const RecordingElementGroup& group = geometry.elementGroup(index);
    const RecordingNodeGroup* nodes = geometry.nodeGroupOf(group);
    std::vector<std::string> problems = checkElementGroup(group, nodes ? nodes->nodeCount() : 0);
    if (!nodes) {
        problems.push_back("node group " + std::to_string(group.nodeGroupIndex()) + " does not exist");
    } else {
        problems.insert(problems.end(), nodes->callProblems().begin(), nodes->callProblems().end());
    }
    return problems;
}

int runGeometryCommand(HostContext& host, const std::string& caseArgument) {
    std::unique_ptr<CaseSession> session = openCaseOrReport(host, caseArgument);
    if (!session) return EXIT_FAILED;
    RecordingGeometry geometry;
    const GeometryRequest request = requestGeometry(*session, &geometry);
    Json groups = Json::array();
    if (!host.options.json) {
        std::cout << "getGeometry: " << (request.ok ? "ok" : "failed") << " in " << request.seconds << " s, "
                  << geometry.elementGroupCount() << " element groups\n";
    }
    for (size_t g = 0; g < geometry.elementGroupCount(); ++g) {
        const ElementGroupStatistics stats = elementGroupStatistics(geometry, g);
        const std::vector<std::string> problems = groupProblems(geometry, g);
        for (const std::string& problem : problems) {
            Console::get().warning("group " + std::to_string(g) + ": " + problem);
        }
        if (host.options.json) {
            groups.push_back(elementGroupJson(stats, problems));
        } else {
            printGroupText(stats);
        }
    }
    if (host.options.json) {
        std::cout << jsonText(Json{{"ok", request.ok}, {"seconds", request.seconds}, {"groups", groups}}) << std::endl;
    }
    return request.ok ? EXIT_OK : EXIT_FAILED;
}

}  // namespace

void addGeometryCommand(CLI::App& app, CommandAction* action) {
    CLI::App* command = app.add_subcommand("geometry", "Open a case, read its geometry and summarise each group");
    auto casePath = std::make_shared<std::string>();
    command->add_option("CASE", *casePath, "The case.foam file or its folder")->required();
    command->callback([action, casePath] {
        *action = [casePath](HostContext& host) { return runGeometryCommand(host, *casePath); };
    });
}

}  // namespace vxphost
