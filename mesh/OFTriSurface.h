#pragma once
#include <vector>

#include "core/Str.h"
#include "io/FacesData.h"
#include "vxp/VXPApi.h"

// A sampled surface as written by the surface sampling: points, face centres and faces.
class OFTriSurface {
public:
    std::vector<double>& points() { return m_points; }
    const std::vector<double>& points() const { return m_points; }
    std::vector<double>& facecenters() { return m_faceCentres; }
    const std::vector<double>& facecenters() const { return m_faceCentres; }
    FacesData& faces() { return m_faces; }
    const FacesData& faces() const { return m_faces; }

private:
    std::vector<double> m_points;
    std::vector<double> m_faceCentres;
    FacesData m_faces;
};

// Reads the three header-less files of a surface folder concurrently.
class OFTriSurfaceReader {
public:
    bool read(const vx::Str& folder, OFTriSurface* surface);
    bool readPoints(const vx::Str& folder, std::vector<double>* points);
    bool readFaceCenters(const vx::Str& folder, std::vector<double>* centres);
    bool readFaces(const vx::Str& folder, FacesData* faces);

private:
    bool readTriSurfacePar(const vx::Str& folder, OFTriSurface* surface);
};

// Hands a surface's points and faces to the host's node and element groups.
class OFTriSurfaceToVXP {
public:
    explicit OFTriSurfaceToVXP(OFTriSurface* surface) : m_surface(surface) {}

    bool populateNodeGroup(VXPNodeGroup* group, size_t* nodeCount);
    bool populateElementGroup(VXPElementGroup* group, size_t* elementCount);
    bool populateNodeAndElementGroup(VXPNodeGroup* nodes, VXPElementGroup* elements, size_t* nodeCount,
                                     size_t* elementCount);

private:
    bool facesReferToPoints() const;
    OFTriSurface* m_surface;
};
