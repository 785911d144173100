#pragma once
#include <cstddef>

#include "core/Str.h"

// One triangulated surface written by the sampling function object under
// postProcessing/sampleSurface/<time>/<name>.
class OFSampledSurface {
public:
    OFSampledSurface(int id, const vx::Str& name, const vx::Str& folder)
        : m_name(name), m_userName(name + "[Surf]"), m_id(id), m_folder(folder) {}

    vx::Str name() const { return m_name; }
    // The name shown to the user: plane1 shows as plane1[Surf].
    vx::Str userName() const { return m_userName; }
    vx::Str folder() const { return m_folder; }
    // 1-based position in the reader's surface list.
    int id() const { return m_id; }
    int globalPartId() const { return m_globalPartId; }
    void setGlobalPartId(int id) { m_globalPartId = id; }
    size_t nodeCount() const { return m_nodeCount; }
    void setNodeCount(size_t count) { m_nodeCount = count; }
    size_t elementCount() const { return m_elementCount; }
    void setElementCount(size_t count) { m_elementCount = count; }

private:
    vx::Str m_name;
    vx::Str m_userName;
    size_t m_nodeCount = 0;
    size_t m_elementCount = 0;
    int m_id;
    int m_globalPartId = -1;
    vx::Str m_folder;
};
