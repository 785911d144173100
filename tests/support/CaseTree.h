#pragma once
#include <string>
#include <utility>
#include <vector>

#include "core/Str.h"

// A folder tree in a fresh temporary folder for building case layouts in tests; removed with
// the object. Relative paths use "/".
class CaseTree {
public:
    CaseTree();
    ~CaseTree();
    CaseTree(const CaseTree&) = delete;
    CaseTree& operator=(const CaseTree&) = delete;

    // The root folder, with "/" separators, and root + "/" + relative.
    vx::Str root() const;
    vx::Str path(const std::string& relative) const;

    // Files are written as given (binary safe), parent folders created.
    void write(const std::string& relative, const std::string& content) const;
    void writeGz(const std::string& relative, const std::string& content) const;
    void mkdir(const std::string& relative) const;
    void remove(const std::string& relative) const;
    // A symbolic link at linkRelative with the target text as given (relative or absolute).
    // False where the platform refuses.
    bool symlink(const std::string& target, const std::string& linkRelative, bool toFolder = true) const;

    // A FoamFile header (banner comment included) followed by a blank line.
    static std::string header(const std::string& className, const std::string& object,
                              const std::string& format = "ascii", const std::string& location = "");
    // system/controlDict with the given extra entries.
    void writeControlDict(const std::string& extraEntries = "") const;

    struct Patch {
        std::string name;
        std::string type;
        int faces;
    };
    // A boundary file as OpenFOAM writes it, start faces counted from 100.
    void writeBoundary(const std::string& relative, const std::vector<Patch>& patches) const;
    // A cellZones or faceZones file (object names the kind) with short inline lists; face
    // zones get flip maps of zeros.
    using Zone = std::pair<std::string, std::vector<int>>;
    void writeZones(const std::string& relative, const std::string& object, const std::vector<Zone>& zones) const;

private:
    std::string m_root;  // UTF-8
};
