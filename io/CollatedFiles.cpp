#include "io/CollatedFiles.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>

#include "core/Str.h"
#include "io/FoamFileSource.h"
#include "plugin/OFLogger.h"

namespace collated {

namespace {

const char* const SOURCE = "OFFile";

void logError(const vx::Str& message) { OFLogger::get()->logError(SOURCE, message); }

// ------------------------------------------------------------------ registered runs

struct Run {
    int ranks = 0;
    std::vector<RankFolder> folders;  // rank groups first, the folder of all ranks last
    int users = 0;                    // readers that registered it (several may open one case)
};

std::mutex g_runsMutex;
std::map<std::string, Run> g_runs;
std::atomic<int> g_runCount{0};

// Parses "processor<k>" followed by the end or "/" at path[pos]; sets k and the end position.
bool parseRankFolder(const std::string& path, size_t pos, int ranks, int* rank, size_t* end) {
    static const std::string word = "processor";
    if (path.compare(pos, word.size(), word) != 0) return false;
    pos += word.size();
    long long k = 0;
    size_t digits = 0;
    while (pos < path.size() && path[pos] >= '0' && path[pos] <= '9' && digits < 10) {
        k = k * 10 + (path[pos] - '0');
        ++pos;
        ++digits;
    }
    if (digits == 0 || k >= ranks || (pos < path.size() && path[pos] != '/')) return false;
    *rank = static_cast<int>(k);
    *end = pos;
    return true;
}

// ------------------------------------------------------------------ files read in a request

struct Entry {
    std::once_flag once;
    std::shared_ptr<const LoadedFile> file;
};

std::mutex g_cacheMutex;
int g_scopes = 0;
std::map<std::string, std::shared_ptr<Entry>> g_cache;

std::atomic<size_t> g_filesRead{0};

std::shared_ptr<const LoadedFile> readAndIndex(const std::string& path) {
    ++g_filesRead;
    auto file = std::make_shared<LoadedFile>();
    file->path = FoamFileSource::disk().exists(path + ".gz") ? path + ".gz" : path;
    if (!FoamFileSource::disk().read(path, &file->text)) return nullptr;
    // Headers are searched for and read once here for all the ranks that read them.
    const char* text = file->text.data();
    file->header = blockdata::findHeader(text, file->text.size(), file->path);
    file->container = blockdata::isContainerHeader(file->header);
    if (file->container) {
        blockdata::indexBlocksBehindHeader(text, file->text.size(), file->header.end, &file->blocks, &file->indexError);
        if (!file->blocks.empty())
            file->firstHeader = blockdata::findHeader(text + file->blocks[0].offset, file->blocks[0].size, file->path);
    }
    return file;
}

// The file at path, read once while a scope is alive (each request reads it once for all its
// ranks); read afresh for every call outside scopes.
std::shared_ptr<const LoadedFile> load(const std::string& path) {
    std::shared_ptr<Entry> entry;
    {
        std::lock_guard<std::mutex> lock(g_cacheMutex);
        if (g_scopes == 0) entry = std::make_shared<Entry>();
        else {
            std::shared_ptr<Entry>& slot = g_cache[path];
            if (!slot) slot = std::make_shared<Entry>();
            entry = slot;
        }
    }
    std::call_once(entry->once, [&] { entry->file = readAndIndex(path); });
    return entry->file;
}

}  // namespace

void registerRun(const std::string& root, int ranks, std::vector<RankFolder> folders) {
    std::stable_sort(folders.begin(), folders.end(), [ranks](const RankFolder& a, const RankFolder& b) {
        const bool aAll = a.first == 0 && a.last == ranks - 1, bAll = b.first == 0 && b.last == ranks - 1;
        return !aAll && bAll;
    });
    std::lock_guard<std::mutex> lock(g_runsMutex);
    Run& run = g_runs[root];
    run.ranks = ranks;
    run.folders = std::move(folders);
    ++run.users;
    g_runCount = static_cast<int>(g_runs.size());
}

void unregisterRun(const std::string& root) {
    std::lock_guard<std::mutex> lock(g_runsMutex);
    const auto it = g_runs.find(root);
    if (it != g_runs.end() && --it->second.users <= 0) g_runs.erase(it);
    g_runCount = static_cast<int>(g_runs.size());
}

bool locations(const std::string& path, std::vector<Location>* out) {
    out->clear();
    if (g_runCount.load() == 0) return false;
    std::lock_guard<std::mutex> lock(g_runsMutex);
    for (const auto& [root, run] : g_runs) {
        if (path.size() <= root.size() + 1 || path.compare(0, root.size(), root) != 0 || path[root.size()] != '/')
            continue;
        int rank = 0;
        size_t end = 0;
        if (!parseRankFolder(path, root.size() + 1, run.ranks, &rank, &end)) continue;
        const std::string rest = path.substr(end);
        for (const RankFolder& folder : run.folders) {
            if (rank < folder.first || rank > folder.last) continue;
            out->push_back({folder.folder + rest, static_cast<size_t>(rank - folder.first),
                            static_cast<size_t>(folder.last - folder.first + 1), rank});
        }
        return true;
    }
    return false;
}

size_t filesRead() { return g_filesRead.load(); }

RequestScope::RequestScope() {
    std::lock_guard<std::mutex> lock(g_cacheMutex);
    ++g_scopes;
}

RequestScope::~RequestScope() {
    std::lock_guard<std::mutex> lock(g_cacheMutex);
    if (--g_scopes == 0) g_cache.clear();
}

namespace {

// The header when the search tells the reader all it would find itself: found, or not in the
// text at all.
const blockdata::Header* knownHeader(const blockdata::Header& header) {
    return header.end != 0 || header.wholeText ? &header : nullptr;
}

}  // namespace

bool openRankFile(const std::string& path, RankText* out) {
    static const char lineFeed = '\n';
    std::vector<Location> places;
    if (!locations(path, &places)) return false;
    for (const Location& place : places) {
        // path.gz when it exists, as for any other file.
        if (!FoamFileSource::disk().exists(place.realPath)) continue;
        const std::string& real = place.realPath;
        const std::shared_ptr<const LoadedFile> file = load(real);
        auto fail = [&](const vx::Str& why) {
            out->failureReported = true;
            logError(vx::Str("Cannot read the block of rank %1 (%2). File basename is %3")
                         .arg(place.rank)
                         .arg(why)
                         .arg(vx::Str::fromUtf8(file ? file->path : real)));
            return false;
        };
        if (!file) return fail("the file cannot be read");
        out->segments.clear();
        out->header = nullptr;
        out->owner = file;
        if (!file->container) {
            out->segments.emplace_back(file->text.data(), file->text.size());
            out->header = knownHeader(file->header);
            out->shownPath = file->path;
            return true;
        }
        if (file->blocks.size() <= place.block) {
            const vx::Str why = !file->indexError.empty()
                                    ? vx::Str::fromUtf8("the file holds " + std::to_string(file->blocks.size()) +
                                                        " whole blocks, then " + file->indexError)
                                    : vx::Str::fromUtf8("the file holds " + std::to_string(file->blocks.size()) +
                                                        " blocks for " + std::to_string(place.expectedBlocks) + " ranks");
            return fail(why);
        }
        const blockdata::Block& first = file->blocks[0];
        const blockdata::Block& mine = file->blocks[place.block];
        const char* text = file->text.data();
        if (place.block > 0) {
            // The other blocks are bodies, read with block 0's header (format, class, arch).
            if (file->firstHeader.end == 0) return fail("block 0 has no FoamFile header");
            out->segments.emplace_back(text + first.offset, file->firstHeader.end);
            out->segments.emplace_back(&lineFeed, 1);
            out->borrowedHeader = true;
        }
        out->segments.emplace_back(text + mine.offset, mine.size);
        out->header = knownHeader(file->firstHeader);
        out->shownPath = file->path + " [rank " + std::to_string(place.rank) + "]";
        return true;
    }
    return false;
}

std::vector<RankFolder> rankFoldersOf(const std::string& caseFolder, const std::vector<std::string>& names,
                                      int* ranks, std::string* runFolderName) {
    std::map<int, std::vector<RankFolder>, std::greater<int>> byCount;
    for (const std::string& name : names) {
        static const std::string word = "processors";
        if (name.compare(0, word.size(), word) != 0) continue;
        size_t pos = word.size();
        auto number = [&name, &pos](long long* value) {
            size_t digits = 0;
            *value = 0;
            while (pos < name.size() && name[pos] >= '0' && name[pos] <= '9' && digits < 9) {
                *value = *value * 10 + (name[pos++] - '0');
                ++digits;
            }
            return digits > 0;
        };
        long long n = 0, first = 0, last = 0;
        if (!number(&n) || n <= 0) continue;
        if (pos == name.size()) {
            first = 0;
            last = n - 1;
        } else if (name[pos] == '_') {
            ++pos;
            if (!number(&first) || pos >= name.size() || name[pos++] != '-' || !number(&last) || pos != name.size() ||
                first > last || last >= n)
                continue;
        } else {
            continue;
        }
        byCount[static_cast<int>(n)].push_back({caseFolder + "/" + name, static_cast<int>(first), static_cast<int>(last)});
    }
    if (byCount.empty()) return {};
    *ranks = byCount.begin()->first;
    *runFolderName = "processors" + std::to_string(*ranks);
    return byCount.begin()->second;
}

}  // namespace collated
