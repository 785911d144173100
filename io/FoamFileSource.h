#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <string>

// Where the dictionary reader takes its files from: the disk (plain or gzip, through zlib) by
// default, or a set of texts held in memory (tests, fuzzing, blocks of container files).
// Paths are UTF-8 with "/" as separator.
class FoamFileSource {
public:
    virtual ~FoamFileSource() = default;
    // The whole text of the file at path, or of path + ".gz" when that exists; false when
    // neither can be read.
    virtual bool read(const std::string& path, std::string* content) const = 0;
    // Whether path (or path + ".gz") is a readable file.
    virtual bool exists(const std::string& path) const = 0;
    // The file system.
    static const FoamFileSource& disk();
};

class MemoryFileSource : public FoamFileSource {
public:
    void add(const std::string& path, std::string content) { m_files[path] = std::move(content); }
    bool read(const std::string& path, std::string* content) const override;
    bool exists(const std::string& path) const override;

private:
    std::map<std::string, std::string> m_files;
};

// A block of raw bytes of a file that is read into a buffer of its own rather than into the
// file's text: bytes from offset on go to destination. No block when bytes is 0.
struct BlockPlacement {
    size_t offset = 0;
    size_t bytes = 0;
    char* destination = nullptr;
};

// Reads a file from the disk as FoamFileSource::disk().read does (the path as given), but once
// its first headBytes are in, asks place where a block lies that goes to a buffer of its own;
// content is then the file without that block, and placed the block moved (bytes 0 when none
// was). False when the file cannot be read or ends inside the block.
bool readFileAroundBlock(const std::string& path, size_t headBytes,
                         const std::function<BlockPlacement(const std::string& head)>& place, std::string* content,
                         BlockPlacement* placed);

// The buffer to give zlib (gzbuffer) for reading a file: zlib's own default for plain files
// shorter than 64 KB, 64 KB otherwise. zlib takes the buffer's size for its input and twice that
// for its output on the first read; most of a case's files are a few kilobytes long.
inline unsigned zlibBufferSize(const std::string& path, unsigned long long fileSize) {
    const bool compressed = path.size() >= 3 && path.compare(path.size() - 3, 3, ".gz") == 0;
    return !compressed && fileSize < (64u << 10) ? 8192u : 65536u;
}

namespace foampath {
// The folder part of a path ("a/b/c" -> "a/b", "c" -> ".").
std::string folderOf(const std::string& path);
// base + "/" + relative, with "." and "x/.." steps removed; an absolute relative path stays.
std::string join(const std::string& base, const std::string& relative);
// The case folder of a file: the nearest folder above it that holds system/controlDict, else
// the folder above the file's own folder.
std::string caseFolderOf(const std::string& filePath, const FoamFileSource& files);
}  // namespace foampath
