#pragma once
#include <vector>

#include "core/Str.h"

// File-system queries used by case and state discovery. Paths are UTF-8 texts with "/" as
// separator; nothing here throws or logs: a refused query gives false or an empty list.
class OFUtilities {
public:
    // Whether the path names an existing file or folder (symbolic links followed).
    static bool fileExists(const vx::Str& path);
    // The last non-empty component of the path ("\" counts as "/"): a/b/ gives b.
    static vx::Str fileNameFromPath(const vx::Str& path);
    static vx::Str folderNameFromPath(const vx::Str& path);
    // fileNameFromPath without its extension (the text before the last "."): U.gz gives U,
    // k.orig.gz gives k.orig, .abc gives an empty text.
    static vx::Str fileBaseName(const vx::Str& path);
    // Names of the folders inside path, symbolic links to folders included, in listing order.
    static std::vector<vx::Str> subFolders(const vx::Str& path);
    // path + "/" + name of every entry inside path (folders too), in listing order.
    static std::vector<vx::Str> filesInFolder(const vx::Str& path);
};
