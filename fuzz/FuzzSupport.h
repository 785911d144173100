#pragma once
// What the fuzz targets share. Readers that read files get each input written over the same
// file in one folder per process on a RAM-backed file system (/dev/shm where there is one), so
// an input costs no disk traffic. The plug-in's log is silenced, and the thread pool is started
// once for the whole process with a fixed number of threads (FOAMPROVIDER_FUZZ_THREADS, default
// 1: the parallel readers then run their tasks on the fuzzing thread, where a sanitizer report
// shows the input's whole call stack).
#include <tbb/global_control.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "plugin/OFLogger.h"

namespace fuzzsupport {

inline void startProcess() {
    static const std::unique_ptr<tbb::global_control> threads = [] {
        const char* text = std::getenv("FOAMPROVIDER_FUZZ_THREADS");
        const int count = text ? std::max(1, std::atoi(text)) : 1;
        OFLogger::get()->init(nullptr);
        return std::make_unique<tbb::global_control>(tbb::global_control::max_allowed_parallelism,
                                                      static_cast<size_t>(count));
    }();
    (void)threads;
}

inline const std::string& folder() {
    // Never destroyed: the exit handler that removes the folder runs after static destructors.
    static const std::string* const path = [] {
        startProcess();
        const std::filesystem::path shm("/dev/shm");
        std::error_code ec;
        const std::filesystem::path base =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        const auto* p = new std::string((base / ("foamprovider-fuzz-" + std::to_string(getpid()))).string());
        std::filesystem::create_directories(*p);
        std::atexit([] { std::error_code ignored; std::filesystem::remove_all(folder(), ignored); });
        return p;
    }();
    return *path;
}

// Writes data over folder()/relative (and removes a compressed twin left by an earlier input);
// the full path.
inline std::string writeInput(const std::string& relative, const uint8_t* data, size_t size) {
    static std::set<std::string> made;
    const std::string path = folder() + "/" + relative;
    if (made.insert(relative).second) std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    return path;
}

// Writes data gzip-compressed to path + ".gz", which the readers then prefer to path.
inline void writeCompressed(const std::string& path, const uint8_t* data, size_t size) {
    if (gzFile gz = gzopen((path + ".gz").c_str(), "wb1")) {
        if (size) gzwrite(gz, data, static_cast<unsigned>(size));
        gzclose(gz);
    }
}

inline void removeCompressed(const std::string& path) { std::remove((path + ".gz").c_str()); }

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
