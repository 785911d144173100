#pragma once
// The files of collated decomposed runs, seen as the files of the same run written per
// processor. Case discovery registers a run under a root folder (the run's processors<N>
// folder); the path root + "/processor<k>/<rest>" then names rank k's part of the file <rest>
// of the run: the block of rank k in <folder>/<rest>, where <folder> is the processors<N>_<a>-<b>
// folder holding rank k or else processors<N> itself. Files that are no containers (a time
// folder's uniform/time) are shared by all ranks.
//
// Containers are read whole, once while a request scope is alive: the ranks' readers take
// their blocks from the same copy in memory.
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "io/DecomposedBlockData.h"

namespace collated {

// A folder holding the files of the ranks first..last.
struct RankFolder {
    std::string folder;
    int first = 0;
    int last = 0;
};

// Registers the run under root (the latest registration's folders hold); ranks is the run's
// processor count. Each registration is undone by one unregisterRun.
void registerRun(const std::string& root, int ranks, std::vector<RankFolder> folders);
void unregisterRun(const std::string& root);

// One place where a rank's file may lie: the real path, the block that is the rank's, and how
// many blocks the file must hold.
struct Location {
    std::string realPath;
    size_t block = 0;
    size_t expectedBlocks = 0;
    int rank = 0;
};
// The places of a path below a registered root's rank folders, most specific folder first;
// false (and nothing) for any other path.
bool locations(const std::string& path, std::vector<Location>* out);

// Keeps the files read while it lives (one per request; scopes may nest and overlap).
class RequestScope {
public:
    RequestScope();
    ~RequestScope();
    RequestScope(const RequestScope&) = delete;
    RequestScope& operator=(const RequestScope&) = delete;
};

// A file read whole: a container with its blocks indexed, or any other file.
struct LoadedFile {
    std::string path;  // the file read (its .gz form when that was chosen)
    std::string text;  // decompressed
    bool container = false;
    std::vector<blockdata::Block> blocks;
    std::string indexError;    // why indexing stopped early, if it did
    blockdata::Header header;       // the file's own header
    blockdata::Header firstHeader;  // a container's block 0's header, within block 0
};

// How many files of collated runs have been read whole so far (they are read once per request).
size_t filesRead();

// A rank's file as text in memory, in reading order: the block itself for block 0; block 0's
// header, a line feed and the block for the others (borrowedHeader: the header's note counts
// rank 0's mesh, not this one); the whole text of a file that is no container. owner keeps the
// text alive; shownPath names the container and the rank.
struct RankText {
    std::vector<std::pair<const char*, size_t>> segments;
    std::shared_ptr<const void> owner;
    std::string shownPath;
    bool borrowedHeader = false;
    bool failureReported = false;  // set with the error when the rank's block cannot be read
    // The header as searched for already in the text's first bytes (kept alive by owner), at the
    // same places in the text; null: the reader searches for it.
    const blockdata::Header* header = nullptr;
};
// The text of the rank's file at path (a path below a registered root). False, after one error
// naming the file and the rank, when the rank's block cannot be read; false without a message
// when the file does not exist.
bool openRankFile(const std::string& path, RankText* text);

// The rank folders named in a case folder's listing: processors<N> and processors<N>_<a>-<b>
// with the same N (the largest N when there are several); empty when there is none.
// *ranks receives N.
std::vector<RankFolder> rankFoldersOf(const std::string& caseFolder, const std::vector<std::string>& names,
                                      int* ranks, std::string* runFolderName);

}  // namespace collated
