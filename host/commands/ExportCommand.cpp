// vxphost export CASE --out DIR: writes the geometry and the chosen results of the chosen states
// as VTK files (see CaseExporter).
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "host/Console.h"
#include "host/JsonReport.h"
#include "host/commands/Commands.h"
#include "host/commands/OpenCase.h"
#include "host/recording/CaseExporter.h"
#include "host/recording/Selection.h"

namespace vxphost {

namespace {

struct ExportArguments {
    std::string casePath;
    std::string outputFolder;
    std::string states = "all";
    std::string results = "all";
};

bool buildRequest(const HostContext& host, const CaseSession& session, const ExportArguments& arguments,
                  ExportRequest* request) {
    std::string error;
    request->outputFolder = arguments.outputFolder;
    request->caseName = caseName(session.casePath());
    request->stateIds = selectStates(session.metaData(), arguments.states, &error);
    if (error.empty()) request->results = selectResults(session.metaData(), arguments.results, &error);
    if (error.empty()) return true;
    reportFailure(host, error);
    return false;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The files a user opens (the time series and one multi-block file per state) by name; the piece
// files beside them only counted. --json lists every file.
void printFileSummary(const std::vector<std::string>& files) {
    size_t pieces = 0;
    for (const std::string& file : files) {
        if (endsWith(file, ".vtu")) {
            ++pieces;
        } else {
            std::cout << "  " << file << "\n";
        }
    }
    if (pieces > 0) std::cout << "  and " << pieces << " piece files (.vtu) beside them\n";
}

void printReport(const HostContext& host, const ExportReport& report) {
    for (const std::string& problem : report.problems) Console::get().warning(problem);
    if (host.options.json) {
        std::cout << jsonText(Json{{"ok", report.ok}, {"files", report.files}, {"problems", report.problems}})
                  << std::endl;
        return;
    }
    std::cout << "export: " << (report.ok ? "ok" : "failed") << ", " << report.files.size() << " files\n";
    printFileSummary(report.files);
}

int runExportCommand(HostContext& host, const ExportArguments& arguments) {
    std::unique_ptr<CaseSession> session = openCaseOrReport(host, arguments.casePath);
    if (!session) return EXIT_FAILED;
    ExportRequest request;
    if (!buildRequest(host, *session, arguments, &request)) return EXIT_USAGE;
    RecordingGeometry geometry;
    if (!requestGeometry(*session, &geometry).ok) {
        reportFailure(host, "getGeometry failed");
        return EXIT_FAILED;
    }
    const ExportReport report = exportCase(*session->provider(), session->metaData(), geometry, request,
                                           [](const std::string& step) { Console::get().showStatus(step); });
    Console::get().clearStatus();
    printReport(host, report);
    return report.ok ? EXIT_OK : EXIT_FAILED;
}

}  // namespace

void addExportCommand(CLI::App& app, CommandAction* action) {
    CLI::App* command =
        app.add_subcommand("export", "Write the case as VTK files (.vtu per piece, .vtm per state, .pvd)");
    auto arguments = std::make_shared<ExportArguments>();
    command->add_option("CASE", arguments->casePath, "The case.foam file or its folder")->required();
    command->add_option("--out", arguments->outputFolder, "Output folder")->required();
    command->add_option("--states", arguments->states, "all, first, last or state ids separated by commas")
        ->capture_default_str();
    command->add_option("--results", arguments->results, "all or result names/ids separated by commas")
        ->capture_default_str();
    command->callback([action, arguments] {
        *action = [arguments](HostContext& host) { return runExportCommand(host, *arguments); };
    });
}

}  // namespace vxphost
