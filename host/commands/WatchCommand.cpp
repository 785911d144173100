// vxphost watch CASE: polls the open case for changes and prints every notification as it arrives.
#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>
#include <memory>
#include <thread>

#include "host/Console.h"
#include "host/JsonReport.h"
#include "host/commands/Commands.h"
#include "host/commands/OpenCase.h"
#include "host/recording/RecordingChangeNotifications.h"

namespace vxphost {

namespace {

struct WatchArguments {
    std::string casePath;
    double intervalSeconds = 2.0;
    int count = 0;  // 0: until interrupted
};

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int) { g_interrupted.store(true); }

// Sleeps for the interval in short steps; false when interrupted meanwhile.
bool waitInterval(double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (g_interrupted.load()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return !g_interrupted.load();
}

void printPollText(int poll, const std::vector<NotificationCall>& calls) {
    for (const NotificationCall& call : calls) {
        std::cout << "poll " << poll << ": " << notificationKindName(call.kind) << " " << call.id;
        if (call.kind != NotificationKind::Remove) std::cout << " \"" << call.name << "\" " << call.value;
        std::cout << "\n";
    }
    std::cout.flush();
}

void printPollJson(int poll, const std::vector<NotificationCall>& calls) {
    Json callList = Json::array();
    for (const NotificationCall& call : calls) callList.push_back(notificationJson(call));
    std::cout << jsonLine(Json{{"poll", poll}, {"calls", callList}}) << std::endl;
}

int runWatchCommand(HostContext& host, const WatchArguments& arguments) {
    std::unique_ptr<CaseSession> session = openCaseOrReport(host, arguments.casePath);
    if (!session) return EXIT_FAILED;
    std::signal(SIGINT, onInterrupt);
    RecordingChangeNotifications notifications;
    bool allPollsDone = true;
    for (int poll = 1; arguments.count <= 0 || poll <= arguments.count; ++poll) {
        if (!waitInterval(arguments.intervalSeconds)) break;
        if (!session->provider()->pollForChanges(&notifications)) {
            Console::get().warning("pollForChanges returned false at poll " + std::to_string(poll));
            allPollsDone = false;
        }
        const std::vector<NotificationCall> calls = notifications.takeCalls();
        if (host.options.json) {
            printPollJson(poll, calls);
        } else {
            printPollText(poll, calls);
        }
    }
    std::signal(SIGINT, SIG_DFL);
    return allPollsDone ? EXIT_OK : EXIT_FAILED;
}

}  // namespace

void addWatchCommand(CLI::App& app, CommandAction* action) {
    CLI::App* command = app.add_subcommand("watch", "Poll an open case for new or removed states");
    auto arguments = std::make_shared<WatchArguments>();
    command->add_option("CASE", arguments->casePath, "The case.foam file or its folder")->required();
    command->add_option("--interval", arguments->intervalSeconds, "Seconds between polls")->capture_default_str();
    command->add_option("--count", arguments->count, "Stop after this many polls (0: until Ctrl-C)")
        ->capture_default_str();
    command->callback([action, arguments] {
        *action = [arguments](HostContext& host) { return runWatchCommand(host, *arguments); };
    });
}

}  // namespace vxphost
