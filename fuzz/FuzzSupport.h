#pragma once
// Fuzz inputs are written to files in a per-process folder, since the readers read files.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "plugin/OFLogger.h"

namespace fuzzsupport {

inline const std::string& folder() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / ("foamprovider-fuzz-" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(p);
        OFLogger::get()->init(nullptr);
        return p;
    }();
    return path;
}

inline std::string writeInput(const std::string& relative, const uint8_t* data, size_t size) {
    const std::filesystem::path path = std::filesystem::path(folder()) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::remove(path.string() + ".gz");
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        if (size) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path.string();
}

inline std::string readFileText(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

}  // namespace fuzzsupport
