#include "tests/support/LogCapture.h"

#include "plugin/OFLogger.h"

namespace {
std::mutex g_mutex;
std::vector<std::pair<int, std::string>> g_lines;

void collect(int level, const char* text) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lines.emplace_back(level, text);
}
}  // namespace

LogCapture::LogCapture() {
    clear();
    OFLogger::get()->init(&collect);
}

LogCapture::~LogCapture() { OFLogger::get()->init(nullptr); }

std::vector<std::pair<int, std::string>> LogCapture::lines() const {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_lines;
}

std::vector<std::string> LogCapture::texts(int level) const {
    std::vector<std::string> out;
    for (const auto& line : lines())
        if (level == 0 || line.first == level) out.push_back(line.second);
    return out;
}

bool LogCapture::contains(const std::string& fragment, int level) const {
    for (const std::string& text : texts(level))
        if (text.find(fragment) != std::string::npos) return true;
    return false;
}

size_t LogCapture::count(int level) const { return texts(level).size(); }

void LogCapture::clear() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_lines.clear();
}
