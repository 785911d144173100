#include "model/OFUtilities.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr size_t MAX_LINK_TARGET_BYTES = 4096;

fs::path toPath(const vx::Str& path) {
    const std::string utf8 = path.toUtf8();
#if defined(__cpp_char8_t)
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
    return fs::u8path(utf8);
#endif
}

vx::Str entryName(const fs::directory_entry& entry) {
    const auto name = entry.path().filename().u8string();
    return vx::Str::fromUtf8(std::string(name.begin(), name.end()));
}

// Whether the symbolic link names a folder. A relative target is taken from the folder that
// holds the link, as the operating system does when it follows the link.
bool linkNamesFolder(const fs::path& folder, const fs::path& link) {
    std::error_code ec;
    const fs::path target = fs::read_symlink(link, ec);
    if (ec || target.empty() || target.native().size() > MAX_LINK_TARGET_BYTES) return false;
    const fs::path resolved = target.is_absolute() ? target : folder / target;
    return fs::is_directory(resolved, ec);
}

template <typename Visit>
void listFolder(const vx::Str& path, Visit visit) {
    std::error_code ec;
    const fs::path folder = toPath(path);
    fs::directory_iterator it(folder, ec);
    if (ec) return;
    const fs::directory_iterator end;
    while (it != end) {
        // The iterator never yields "." and "..".
        visit(folder, *it);
        it.increment(ec);
        if (ec) return;
    }
}

}  // namespace

bool OFUtilities::fileExists(const vx::Str& path) {
    if (path.isEmpty()) return false;
    std::error_code ec;
    return fs::exists(toPath(path), ec);
}

vx::Str OFUtilities::fileNameFromPath(const vx::Str& path) {
    vx::Str normal(path);
    normal.replace("\\", "/");
    const std::vector<vx::Str> pieces = normal.split("/");
    return pieces.empty() ? vx::Str() : pieces.back();
}

vx::Str OFUtilities::folderNameFromPath(const vx::Str& path) { return fileNameFromPath(path); }

vx::Str OFUtilities::fileBaseName(const vx::Str& path) {
    const vx::Str name = fileNameFromPath(path);
    for (size_t i = name.size(); i > 0; --i) {
        if (name.at(i - 1) == U'.') return name.subStr(0, i - 1);
    }
    return name;
}

std::vector<vx::Str> OFUtilities::subFolders(const vx::Str& path) {
    std::vector<vx::Str> names;
    listFolder(path, [&names](const fs::path& folder, const fs::directory_entry& entry) {
        std::error_code ec;
        const fs::file_status status = entry.symlink_status(ec);
        if (ec) return;
        if (fs::is_directory(status) || (fs::is_symlink(status) && linkNamesFolder(folder, entry.path())))
            names.push_back(entryName(entry));
    });
    return names;
}

std::vector<vx::Str> OFUtilities::filesInFolder(const vx::Str& path) {
    std::vector<vx::Str> files;
    listFolder(path, [&files, &path](const fs::path&, const fs::directory_entry& entry) {
        files.push_back(path + "/" + entryName(entry));
    });
    return files;
}
