#pragma once
// Patch and face-zone surfaces cut out of a polyMesh: the nodes the faces use and one
// surface element per face.
#include <vector>

#include "mesh/OFPolymesh.h"
#include "model/OFBoundary.h"
#include "model/OFFaceZone.h"
#include "vxp/VXPApi.h"

namespace ofsurface {

// Fills the groups with the patch's faces and stores in the patch its face node counts and
// mesh points, its face owners and the mesh point of each surface node. False, with one error
// message, for a patch whose faces lie outside the mesh.
bool populateBoundaryGroup(const OFPolymesh& mesh, OFBoundary& boundary, VXPNodeGroup* nodes, size_t* nodeCount,
                           VXPElementGroup* elements, size_t* elementCount);

// The same for a face zone, faces in the zone's list order and as stored (the flip map is
// not applied). Nothing is stored in the zone.
bool populateFaceZoneGroup(const OFPolymesh& mesh, const OFFaceZone& zone, VXPNodeGroup* nodes, size_t* nodeCount,
                           VXPElementGroup* elements, size_t* elementCount);

}  // namespace ofsurface
