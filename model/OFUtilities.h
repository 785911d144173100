#pragma once
#include <vector>

#include "core/Str.h"

// File-system queries used by case and state discovery. Paths are UTF-8 texts with "/" as
// separator; nothing here throws or logs: a refused query gives false or an empty list.
class OFUtilities {
public:
    // Whether the path names an existing file or folder (symbolic links followed).
    static bool fileExists(const vx::Str& path);
    // Whether the file exists plain or gzip-compressed (path + ".gz"), as OpenFOAM looks for it.
    static bool fileOrCompressedExists(const vx::Str& path);
    // Whether the path names a folder (symbolic links followed).
    static bool isFolder(const vx::Str& path);
    // Whether the folder holds at least one entry that is not a folder.
    static bool holdsFile(const vx::Str& path);
    // The last non-empty component of the path ("\" counts as "/"): a/b/ gives b.
    static vx::Str fileNameFromPath(const vx::Str& path);
    static vx::Str folderNameFromPath(const vx::Str& path);
    // The name of the folder the path leads to; "." and ".." (relative paths) give the real name.
    static vx::Str folderNameOf(const vx::Str& path);
    // fileNameFromPath without its extension (the text before the last "."): U.gz gives U,
    // k.orig.gz gives k.orig, .abc gives an empty text.
    static vx::Str fileBaseName(const vx::Str& path);
    // The field a file holds: fileNameFromPath without a ".gz" ending. U.gz gives U, alpha.water
    // gives alpha.water (dots belong to field names).
    static vx::Str fieldNameOfFile(const vx::Str& path);
    // Names of the folders inside path, symbolic links to folders included, in natural order
    // (below), whatever order the file system lists them in.
    static std::vector<vx::Str> subFolders(const vx::Str& path);
    // path + "/" + name of every entry inside path (folders too), in natural order of the names.
    static std::vector<vx::Str> filesInFolder(const vx::Str& path);

    // A stamp of what the folder holds: the names, sizes and times of change of its files and
    // of those of its sub-folders, depth levels down. It changes when a file there is added,
    // removed or written.
    static size_t contentsStamp(const vx::Str& path, int depth);

    // Natural order of names: runs of digits compare by their value, so processor2 comes
    // before processor10; names equal in that order fall back to plain text order.
    static bool naturalLess(const vx::Str& a, const vx::Str& b);
    // Whether a folder name is a time as OpenFOAM reads it: the whole name one decimal number
    // (0, 0.05, 1e-05, -1, +2), sets *value. 0.orig, 5_old, .0.3, 0x10, inf and nan are no times.
    static bool timeValueOfName(const vx::Str& name, double* value);
};
