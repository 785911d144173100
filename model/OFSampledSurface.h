#pragma once
#include <cstddef>
#include <limits>

#include "core/Str.h"

// One surface written in the foam surface format by a `surfaces` function object under
// postProcessing/<function object>/<time>/<surface folder> (the function object's folder may lie
// one level deeper, beside or below a region's folder).
class OFSampledSurface {
public:
    static constexpr size_t UNKNOWN_COUNT = std::numeric_limits<size_t>::max();

    OFSampledSurface(int id, const vx::Str& name, const vx::Str& folder)
        : m_name(name), m_userName(name + "[Surf]"), m_id(id), m_folder(folder) {}

    // The surface folder's name, led by the function object's folder (relative to
    // postProcessing) for every function object but sampleSurface: surfaces/midPlane.
    vx::Str name() const { return m_name; }
    // The function object's folder holding the time folders (full path).
    vx::Str sourceFolder() const { return m_sourceFolder; }
    void setSourceFolder(const vx::Str& folder) { m_sourceFolder = folder; }
    // The surface's folder name inside each time folder.
    vx::Str surfaceFolderName() const { return m_surfaceFolderName; }
    void setSurfaceFolderName(const vx::Str& name) { m_surfaceFolderName = name; }
    // The name shown to the user: plane1 shows as plane1[Surf].
    vx::Str userName() const { return m_userName; }
    vx::Str folder() const { return m_folder; }
    // 1-based position in the reader's surface list.
    int id() const { return m_id; }
    int globalPartId() const { return m_globalPartId; }
    void setGlobalPartId(int id) { m_globalPartId = id; }
    // Node and triangle counts delivered by the geometry; UNKNOWN_COUNT until then.
    size_t nodeCount() const { return m_nodeCount; }
    void setNodeCount(size_t count) { m_nodeCount = count; }
    size_t elementCount() const { return m_elementCount; }
    void setElementCount(size_t count) { m_elementCount = count; }

private:
    vx::Str m_name;
    vx::Str m_userName;
    size_t m_nodeCount = UNKNOWN_COUNT;
    size_t m_elementCount = UNKNOWN_COUNT;
    int m_id;
    int m_globalPartId = -1;
    vx::Str m_folder;
    vx::Str m_sourceFolder;
    vx::Str m_surfaceFolderName;
};
