#include "model/OFUtilities.h"

#include "io/CollatedFiles.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <functional>
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

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// The end of the run of digits starting at i.
size_t digitRunEnd(const vx::Str& text, size_t i) {
    while (i < text.size() && isDigit(text.at(i))) ++i;
    return i;
}

// Compares the digit runs [a0, a1) and [b0, b1) by value: -1, 0 or 1.
int compareDigitRuns(const vx::Str& a, size_t a0, size_t a1, const vx::Str& b, size_t b0, size_t b1) {
    while (a0 < a1 && a.at(a0) == U'0') ++a0;
    while (b0 < b1 && b.at(b0) == U'0') ++b0;
    if (a1 - a0 != b1 - b0) return a1 - a0 < b1 - b0 ? -1 : 1;
    for (; a0 < a1; ++a0, ++b0)
        if (a.at(a0) != b.at(b0)) return a.at(a0) < b.at(b0) ? -1 : 1;
    return 0;
}

int naturalCompare(const vx::Str& a, const vx::Str& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a.at(i)) && isDigit(b.at(j))) {
            const size_t iEnd = digitRunEnd(a, i), jEnd = digitRunEnd(b, j);
            if (const int order = compareDigitRuns(a, i, iEnd, b, j, jEnd)) return order;
            i = iEnd;
            j = jEnd;
            continue;
        }
        if (a.at(i) != b.at(j)) return a.at(i) < b.at(j) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

void sortNatural(std::vector<vx::Str>& names) { std::sort(names.begin(), names.end(), OFUtilities::naturalLess); }

// A rank's folder of a collated run (io/CollatedFiles.h) is the union of the real folders that
// hold its files: *real receives them, most specific first.
bool rankFolderPlaces(const vx::Str& path, std::vector<vx::Str>* real) {
    std::vector<collated::Location> places;
    if (!collated::locations(path.toUtf8(), &places)) return false;
    real->clear();
    for (const collated::Location& place : places) real->push_back(vx::Str::fromUtf8(place.realPath));
    return true;
}

// The names of the union of several listings, in natural order, each once.
template <typename List>
std::vector<vx::Str> unionOfListings(const std::vector<vx::Str>& folders, List list) {
    std::vector<vx::Str> names;
    for (const vx::Str& folder : folders) {
        const std::vector<vx::Str> more = list(folder);
        names.insert(names.end(), more.begin(), more.end());
    }
    sortNatural(names);
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// One line per file of the folder (and, depth allowing, of its sub-folders): its path below
// the folder, size and time of change.
void describeContents(const vx::Str& path, const std::string& prefix, int depth, std::vector<std::string>* lines) {
    std::vector<vx::Str> real;
    if (rankFolderPlaces(path, &real)) {
        for (const vx::Str& folder : real) describeContents(folder, prefix, depth, lines);
        return;
    }
    listFolder(path, [&](const fs::path&, const fs::directory_entry& entry) {
        const std::string name = prefix + entryName(entry).toUtf8();
        std::error_code ec;
        if (entry.is_directory(ec)) {
            if (depth > 0) describeContents(path + "/" + entryName(entry), name + "/", depth - 1, lines);
            return;
        }
        // A file that cannot be looked at gives the same fixed size and time each time.
        const auto size = entry.file_size(ec);
        const auto changed = entry.last_write_time(ec).time_since_epoch().count();
        lines->push_back(name + "|" + std::to_string(size) + "|" + std::to_string(changed));
    });
}

}  // namespace

size_t OFUtilities::contentsStamp(const vx::Str& path, int depth) {
    std::vector<std::string> lines;
    describeContents(path, "", depth, &lines);
    std::sort(lines.begin(), lines.end());
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return std::hash<std::string>()(all);
}

bool OFUtilities::naturalLess(const vx::Str& a, const vx::Str& b) {
    const int order = naturalCompare(a, b);
    return order != 0 ? order < 0 : a < b;
}

bool OFUtilities::timeValueOfName(const vx::Str& name, double* value) {
    std::string text;
    for (size_t i = 0; i < name.size(); ++i) {
        const char32_t c = name.at(i);
        // Digits, signs, the point and the exponent letter are all a number can hold.
        if (!(isDigit(c) || c == U'+' || c == U'-' || c == U'.' || c == U'e' || c == U'E')) return false;
        text.push_back(static_cast<char>(c));
    }
    size_t start = 0;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) start = 1;
    // A hidden name (.5) is no time, and the number starts with a digit.
    if (start >= text.size() || !std::isdigit(static_cast<unsigned char>(text[start]))) return false;
    double parsed = 0.0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data() + start, end, parsed, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end) return false;
    *value = text[0] == '-' ? -parsed : parsed;
    return true;
}

bool OFUtilities::fileExists(const vx::Str& path) {
    if (path.isEmpty()) return false;
    std::vector<vx::Str> real;
    if (rankFolderPlaces(path, &real)) return std::any_of(real.begin(), real.end(), fileExists);
    std::error_code ec;
    return fs::exists(toPath(path), ec);
}

bool OFUtilities::fileOrCompressedExists(const vx::Str& path) { return fileExists(path) || fileExists(path + ".gz"); }

bool OFUtilities::isFolder(const vx::Str& path) {
    if (path.isEmpty()) return false;
    std::vector<vx::Str> real;
    if (rankFolderPlaces(path, &real)) return std::any_of(real.begin(), real.end(), isFolder);
    std::error_code ec;
    return fs::is_directory(toPath(path), ec);
}

bool OFUtilities::holdsFile(const vx::Str& path) {
    std::vector<vx::Str> real;
    if (rankFolderPlaces(path, &real)) return std::any_of(real.begin(), real.end(), holdsFile);
    bool found = false;
    listFolder(path, [&found](const fs::path&, const fs::directory_entry& entry) {
        std::error_code ec;
        if (!entry.is_directory(ec)) found = true;
    });
    return found;
}

vx::Str OFUtilities::fileNameFromPath(const vx::Str& path) {
    vx::Str normal(path);
    normal.replace("\\", "/");
    const std::vector<vx::Str> pieces = normal.split("/");
    return pieces.empty() ? vx::Str() : pieces.back();
}

vx::Str OFUtilities::folderNameFromPath(const vx::Str& path) { return fileNameFromPath(path); }

vx::Str OFUtilities::folderNameOf(const vx::Str& path) {
    const vx::Str name = fileNameFromPath(path);
    if (name != "." && name != "..") return name;
    std::error_code ec;
    fs::path real = fs::weakly_canonical(fs::absolute(toPath(path), ec), ec);
    if (!real.has_filename()) real = real.parent_path();  // "/tmp/case/" after a folder that is not there
    if (ec || !real.has_filename()) return name;
    const auto text = real.filename().u8string();
    return vx::Str::fromUtf8(std::string(text.begin(), text.end()));
}

vx::Str OFUtilities::fileBaseName(const vx::Str& path) {
    const vx::Str name = fileNameFromPath(path);
    for (size_t i = name.size(); i > 0; --i) {
        if (name.at(i - 1) == U'.') return name.subStr(0, i - 1);
    }
    return name;
}

vx::Str OFUtilities::fieldNameOfFile(const vx::Str& path) {
    const vx::Str name = fileNameFromPath(path);
    return name.endsWith(".gz") ? name.subStr(0, name.size() - 3) : name;
}

std::vector<vx::Str> OFUtilities::subFolders(const vx::Str& path) {
    std::vector<vx::Str> real;
    if (rankFolderPlaces(path, &real)) return unionOfListings(real, subFolders);
    std::vector<vx::Str> names;
    listFolder(path, [&names](const fs::path& folder, const fs::directory_entry& entry) {
        std::error_code ec;
        const fs::file_status status = entry.symlink_status(ec);
        if (ec) return;
        if (fs::is_directory(status) || (fs::is_symlink(status) && linkNamesFolder(folder, entry.path())))
            names.push_back(entryName(entry));
    });
    sortNatural(names);
    return names;
}

std::vector<vx::Str> OFUtilities::filesInFolder(const vx::Str& path) {
    std::vector<vx::Str> real;
    std::vector<vx::Str> names;
    if (rankFolderPlaces(path, &real)) {
        names = unionOfListings(real, [](const vx::Str& folder) {
            std::vector<vx::Str> entries = filesInFolder(folder);
            for (vx::Str& entry : entries) entry = fileNameFromPath(entry);
            return entries;
        });
    } else {
        listFolder(path, [&names](const fs::path&, const fs::directory_entry& entry) { names.push_back(entryName(entry)); });
        sortNatural(names);
    }
    std::vector<vx::Str> files;
    files.reserve(names.size());
    for (const vx::Str& name : names) files.push_back(path + "/" + name);
    return files;
}
