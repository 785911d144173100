#pragma once
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// Installs a log callback on the plug-in logger and collects (level, text) lines while alive.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::pair<int, std::string>> lines() const;
    std::vector<std::string> texts(int level) const;
    // Whether some line of the level contains the fragment (level 0: any level).
    bool contains(const std::string& fragment, int level = 0) const;
    size_t count(int level) const;
    void clear();
};
