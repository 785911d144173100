#pragma once
// All of vxphost's output to stderr: the plug-in's log lines, messages and a one-line progress
// status that is shown only when stderr is a terminal. Safe to use from any thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace vxphost {

class Console {
public:
    static Console& get();

    // Log lines above maxLogLevel are dropped; progress appears only when allowed and stderr is a terminal.
    void configure(int maxLogLevel, bool progressAllowed);

    // Prints "[LEVEL] text" when the level is shown.
    void pluginLog(int level, const char* text);
    void error(const std::string& text);
    void warning(const std::string& text);
    // Replaces the progress line; ignored when progress is off.
    void showStatus(const std::string& text);
    void clearStatus();
    bool progressShown() const { return m_progress; }

private:
    Console() = default;
    void printLine(const std::string& line);
    void eraseStatus();

    std::mutex m_mutex;
    std::atomic<int> m_maxLogLevel{2};
    bool m_progress = false;
    bool m_statusVisible = false;
};

// Name printed for a plug-in log level: 1 ERROR, 2 WARNING, 3 INFO, 4 DEVELOPER, else the number.
std::string logLevelName(int level);

// Shows "label  1.2 s" on the progress line, refreshed while the object lives.
class ProgressTicker {
public:
    explicit ProgressTicker(std::string label);
    ~ProgressTicker();
    ProgressTicker(const ProgressTicker&) = delete;
    ProgressTicker& operator=(const ProgressTicker&) = delete;

private:
    void run();

    std::string m_label;
    std::chrono::steady_clock::time_point m_start;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace vxphost
