#include "io/FoamFileSource.h"

#include <zlib.h>

#include <algorithm>

#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "core/LargeArrays.h"

namespace fs = std::filesystem;

namespace {

fs::path toPath(const std::string& utf8) {
#if defined(__cpp_char8_t)
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return fs::u8path(utf8);
#endif
}

bool isRegularFile(const std::string& utf8) {
    std::error_code ec;
    const fs::path p = toPath(utf8);
    return fs::exists(p, ec) && !fs::is_directory(p, ec);
}

// Appends what remains of the stream, a block at a time.
bool appendRest(gzFile file, std::string* content) {
    // Left uninitialised: most files are small, and zeroing a large block cost more than reading them.
    constexpr unsigned BLOCK = 1 << 16;
    const std::unique_ptr<char[]> block(new char[BLOCK]);
    while (true) {
        const int n = gzread(file, block.get(), BLOCK);
        if (n < 0) return false;
        if (n == 0) return true;
        content->append(block.get(), static_cast<size_t>(n));
    }
}

// Reads a plain file of known size straight into its final place: requests this large bypass
// zlib's own buffer, and the string is sized (and its pages advised) once.
bool readPlainInPlace(gzFile file, size_t size, std::string* content) {
    content->reserve(size);
    vx::adviseHugePages(content->data(), size);
    vx::supplyPages(content->data(), size);
    content->resize(size);
    constexpr size_t REQUEST = size_t(1) << 30;
    size_t got = 0;
    while (got < size) {
        const int n = gzread(file, &(*content)[got], static_cast<unsigned>(std::min(REQUEST, size - got)));
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    content->resize(got);
    // A file that grew since its size was taken is read to its end as it is now.
    return got < size || appendRest(file, content);
}

bool readThroughZlib(const std::string& utf8, std::string* content) {
#if defined(_WIN32)
    gzFile file = gzopen_w(toPath(utf8).wstring().c_str(), "rb");
#else
    gzFile file = gzopen(utf8.c_str(), "rb");
#endif
    if (!file) return false;
    std::error_code ec;
    const auto length = fs::file_size(toPath(utf8), ec);
    gzbuffer(file, zlibBufferSize(utf8, ec ? ~0ull : length));
    content->clear();
    const auto size = gzdirect(file) && !ec ? length : 0;
    const bool ok = gzdirect(file) && !ec && size > 0 ? readPlainInPlace(file, static_cast<size_t>(size), content)
                                                      : appendRest(file, content);
    gzclose(file);
    return ok;
}

class DiskFileSource : public FoamFileSource {
public:
    bool read(const std::string& path, std::string* content) const override {
        if (path.empty()) return false;
        if (isRegularFile(path + ".gz")) return readThroughZlib(path + ".gz", content);
        return isRegularFile(path) && readThroughZlib(path, content);
    }
    bool exists(const std::string& path) const override {
        return !path.empty() && (isRegularFile(path + ".gz") || isRegularFile(path));
    }
};

}  // namespace

const FoamFileSource& FoamFileSource::disk() {
    static const DiskFileSource source;
    return source;
}

bool MemoryFileSource::read(const std::string& path, std::string* content) const {
    auto it = m_files.find(path + ".gz");
    if (it == m_files.end()) it = m_files.find(path);
    if (it == m_files.end()) return false;
    *content = it->second;
    return true;
}

bool MemoryFileSource::exists(const std::string& path) const {
    return m_files.count(path) > 0 || m_files.count(path + ".gz") > 0;
}

namespace foampath {

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

namespace {
bool isAbsolute(const std::string& path) {
    return (!path.empty() && path[0] == '/') || (path.size() > 1 && path[1] == ':');
}
}  // namespace

std::string join(const std::string& base, const std::string& relative) {
    const std::string whole = isAbsolute(relative) || base.empty() ? relative : base + "/" + relative;
    std::vector<std::string> parts;
    size_t start = 0;
    const bool absolute = !whole.empty() && whole[0] == '/';
    while (start <= whole.size()) {
        size_t end = whole.find('/', start);
        if (end == std::string::npos) end = whole.size();
        const std::string part = whole.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (!absolute)
                parts.push_back(part);
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string result = absolute ? "/" : "";
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) result += '/';
        result += parts[i];
    }
    return result.empty() ? "." : result;
}

std::string caseFolderOf(const std::string& filePath, const FoamFileSource& files) {
    std::string folder = folderOf(filePath);
    for (int level = 0; level < 6 && folder != "." && folder != "/"; ++level) {
        if (files.exists(folder + "/system/controlDict")) return folder;
        folder = folderOf(folder);
    }
    return folderOf(folderOf(filePath));
}

}  // namespace foampath
