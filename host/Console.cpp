#include "host/Console.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define VXPHOST_ISATTY _isatty
#define VXPHOST_FILENO _fileno
#else
#include <unistd.h>
#define VXPHOST_ISATTY isatty
#define VXPHOST_FILENO fileno
#endif

namespace vxphost {

Console& Console::get() {
    static Console console;
    return console;
}

void Console::configure(int maxLogLevel, bool progressAllowed) {
    m_maxLogLevel.store(maxLogLevel);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_progress = progressAllowed && VXPHOST_ISATTY(VXPHOST_FILENO(stderr));
}

std::string logLevelName(int level) {
    switch (level) {
        case 1: return "ERROR";
        case 2: return "WARNING";
        case 3: return "INFO";
        case 4: return "DEVELOPER";
        default: return std::to_string(level);
    }
}

void Console::pluginLog(int level, const char* text) {
    if (level > m_maxLogLevel.load()) return;
    printLine("[" + logLevelName(level) + "] " + (text ? text : ""));
}

void Console::error(const std::string& text) { printLine("vxphost: error: " + text); }

void Console::warning(const std::string& text) { printLine("vxphost: warning: " + text); }

void Console::eraseStatus() {
    if (!m_statusVisible) return;
    std::fputs("\r\033[K", stderr);
    m_statusVisible = false;
}

void Console::printLine(const std::string& line) {
    std::lock_guard<std::mutex> lock(m_mutex);
    eraseStatus();
    std::fputs(line.c_str(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

void Console::showStatus(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_progress) return;
    std::fputs("\r\033[K", stderr);
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
    m_statusVisible = true;
}

void Console::clearStatus() {
    std::lock_guard<std::mutex> lock(m_mutex);
    eraseStatus();
    std::fflush(stderr);
}

ProgressTicker::ProgressTicker(std::string label)
    : m_label(std::move(label)), m_start(std::chrono::steady_clock::now()) {
    if (Console::get().progressShown()) m_thread = std::thread(&ProgressTicker::run, this);
}

ProgressTicker::~ProgressTicker() {
    if (!m_thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    Console::get().clearStatus();
}

void ProgressTicker::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        char text[64];
        std::snprintf(text, sizeof(text), "  %.1f s", seconds);
        Console::get().showStatus(m_label + text);
        m_wake.wait_for(lock, std::chrono::milliseconds(200), [this] { return m_stop; });
    }
}

}  // namespace vxphost
