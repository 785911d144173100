// vxphost watch CASE [--result NAME]: polls the open case for changes and prints every
// notification as it arrives; with a result, reads it at the latest state after every poll, as a
// host following a running simulation does.
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
#include "host/recording/RecordingResult.h"
#include "host/recording/Statistics.h"

namespace vxphost {

namespace {

struct WatchArguments {
    std::string casePath;
    double intervalSeconds = 2.0;
    int count = 0;  // 0: until interrupted
    std::string result;  // empty: no result is read
};

// What reading the followed result at the latest state gave.
struct FollowedRead {
    int stateId = 0;
    bool ok = false;
    size_t values = 0;
    size_t undefined = 0;
};

FollowedRead readFollowedResult(CaseSession& session, int resultId, int stateId) {
    FollowedRead read;
    read.stateId = stateId;
    RecordingResult result;
    read.ok = session.provider()->getResult(RecordingResultSpec(resultId, stateId), &result);
    for (size_t g = 0; g < result.valueGroupCount(); ++g) {
        const ValueGroupStatistics stats = valueGroupStatistics(result.valueGroup(g), g);
        read.values += stats.tuples;
        read.undefined += stats.undefined;
    }
    return read;
}

// The state of the latest time the host holds.
int latestState(const HostStates& states) {
    int latest = 0;
    double latestValue = 0.0;
    for (const auto& [id, value] : states) {
        if (latest == 0 || value >= latestValue) {
            latest = id;
            latestValue = value;
        }
    }
    return latest;
}

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

Json pollCallsJson(const std::vector<NotificationCall>& calls) {
    Json callList = Json::array();
    for (const NotificationCall& call : calls) callList.push_back(notificationJson(call));
    return callList;
}

void printFollowedText(int poll, const std::string& name, const FollowedRead& read) {
    std::cout << "poll " << poll << ": " << name << " at " << read.stateId << ": " << (read.ok ? "ok" : "failed")
              << ", " << read.undefined << " of " << read.values << " values undefined\n";
    std::cout.flush();
}

Json followedJson(const FollowedRead& read) {
    return Json{{"stateId", read.stateId}, {"ok", read.ok}, {"values", read.values}, {"undefined", read.undefined}};
}

int runWatchCommand(HostContext& host, const WatchArguments& arguments) {
    std::unique_ptr<CaseSession> session = openCaseOrReport(host, arguments.casePath);
    if (!session) return EXIT_FAILED;
    const PublishedResult* followed = nullptr;
    if (!arguments.result.empty()) {
        followed = resultReadyToRead(host, *session, arguments.result);
        if (!followed) return EXIT_FAILED;
    }
    HostStates hostStates;
    for (const PublishedState& state : session->metaData().states()) hostStates[state.id] = state.value;
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
        applyStateCalls(calls, &hostStates);
        const int latest = latestState(hostStates);
        if (host.options.json) {
            Json line{{"poll", poll}, {"calls", pollCallsJson(calls)}};
            if (followed) line["result"] = followedJson(readFollowedResult(*session, followed->id, latest));
            std::cout << jsonLine(line) << std::endl;
        } else {
            printPollText(poll, calls);
            if (followed) printFollowedText(poll, followed->name, readFollowedResult(*session, followed->id, latest));
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
    command->add_option("--result", arguments->result,
                        "After every poll, read this result (id, name or id string) at the latest state");
    command->callback([action, arguments] {
        *action = [arguments](HostContext& host) { return runWatchCommand(host, *arguments); };
    });
}

}  // namespace vxphost
