#include "io/FoamFileSource.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
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

constexpr size_t LARGEST_REQUEST = size_t(1) << 30;

// Reads up to size bytes into out; the count read, or -1 on a read error.
long long readInto(gzFile file, char* out, size_t size) {
    size_t got = 0;
    while (got < size) {
        const int n = gzread(file, out + got, static_cast<unsigned>(std::min(LARGEST_REQUEST, size - got)));
        if (n < 0) return -1;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    return static_cast<long long>(got);
}

// Reads the rest of a plain file, whose text is to be size bytes long, straight into its final
// place behind what content holds: requests this large bypass zlib's own buffer, and the string
// is sized (and its pages advised) once.
bool readPlainInPlace(gzFile file, size_t size, std::string* content) {
    const size_t had = content->size();
    if (size <= had) return appendRest(file, content);
    content->reserve(size);
    vx::adviseHugePages(content->data(), size);
    vx::supplyPages(content->data(), size);
    content->resize(size);
    const long long got = readInto(file, &(*content)[had], size - had);
    if (got < 0) return false;
    content->resize(had + static_cast<size_t>(got));
    // A file that grew since its size was taken is read to its end as it is now.
    return content->size() < size || appendRest(file, content);
}

// Moves the placed block out of content, which holds the file's first bytes, reading what of it
// is still to come straight into its buffer.
bool moveBlock(gzFile file, const BlockPlacement& block, std::string* content) {
    const size_t have = content->size();
    if (block.offset > have || !block.destination) return false;
    const size_t inContent = std::min(block.bytes, have - block.offset);
    std::memcpy(block.destination, content->data() + block.offset, inContent);
    if (inContent == block.bytes) {
        content->erase(block.offset, block.bytes);
        return true;
    }
    content->resize(block.offset);
    const size_t rest = block.bytes - inContent;
    return readInto(file, block.destination + inContent, rest) == static_cast<long long>(rest);
}

gzFile openThroughZlib(const std::string& utf8) {
#if defined(_WIN32)
    return gzopen_w(toPath(utf8).wstring().c_str(), "rb");
#else
    return gzopen(utf8.c_str(), "rb");
#endif
}

bool readThroughZlib(const std::string& utf8, std::string* content,
                     const std::function<BlockPlacement(const std::string&)>* place = nullptr, size_t headBytes = 0,
                     BlockPlacement* placed = nullptr) {
    gzFile file = openThroughZlib(utf8);
    if (!file) return false;
    std::error_code ec;
    const auto length = fs::file_size(toPath(utf8), ec);
    gzbuffer(file, zlibBufferSize(utf8, ec ? ~0ull : length));
    content->clear();
    const bool knownSize = gzdirect(file) && !ec && length > 0;
    size_t size = knownSize ? static_cast<size_t>(length) : 0;
    bool ok = true;
    if (place) {
        content->resize(knownSize ? std::min<size_t>(headBytes, size) : headBytes);
        const long long got = readInto(file, &(*content)[0], content->size());
        ok = got >= 0;
        content->resize(ok ? static_cast<size_t>(got) : 0);
        const BlockPlacement block = ok ? (*place)(*content) : BlockPlacement{};
        if (ok && block.bytes > 0) {
            ok = moveBlock(file, block, content);
            *placed = block;
            size -= std::min(size, block.bytes);
        }
    }
    if (ok) ok = knownSize ? readPlainInPlace(file, size, content) : appendRest(file, content);
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

bool readFileAroundBlock(const std::string& path, size_t headBytes,
                         const std::function<BlockPlacement(const std::string& head)>& place, std::string* content,
                         BlockPlacement* placed) {
    *placed = BlockPlacement{};
    return isRegularFile(path) && readThroughZlib(path, content, &place, headBytes, placed);
}

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
