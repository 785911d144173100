#pragma once
// Turns what the host received into VTK pieces: element types and node orders mapped to VTK's
// cells, result values attached as point or cell data, displaced positions applied.
//
// Node order conventions of the provider and of VTK:
// - hexahedron: nodes 0-3 are the base, their right-hand normal points to the top face 4-7, top
//   node 4+k joined to base node k. VTK's hexahedron is the same.
// - pyramid: base 0-3 with its normal towards the apex 4. VTK's pyramid is the same.
// - tetrahedron: (p1-p0) x (p2-p0) . (p3-p0) > 0. VTK's tetrahedron asks for the same sign.
// - pentahedron: base 0,1,2 with its normal towards the top 3,4,5 (3+k above k). VTK's wedge runs
//   its base the other way (the normal of 0,1,2 points away from 3,4,5), so both triangles are
//   reversed: 0,2,1,3,5,4.
// - type 17: a polyhedron (VTK_POLYHEDRON with its face streams) when its row in the polyhedron
//   tables has several faces, a polygon (VTK_POLYGON, nodes of its single face) when it has one.
#include <string>
#include <vector>

#include "host/recording/RecordingGeometry.h"
#include "host/recording/RecordingMetaData.h"
#include "host/recording/RecordingResult.h"
#include "host/recording/VtkWriter.h"

namespace vxphost {

// VTK cell type of a host element type with a fixed node count; 0 for type 17 and unknown types.
uint8_t vtkCellType(VXPElementType type);

// Position i of the VTK cell takes host node order[i]; empty for type 17 and unknown types.
const std::vector<int>& vtkNodeOrder(VXPElementType type);

// The group's elements as VTK cells. A group whose tables do not fit together gives no cells and
// its problems in *problems.
VtkCells convertElementGroup(const RecordingElementGroup& group, std::vector<std::string>* problems);

// Points and cells of one element group, with the node ids as point data "NodeId" and the element
// ids and part ids as cell data "ElementId" and "PartId" where the provider sent them.
VtkPiece buildGeometryPiece(const RecordingGeometry& geometry, size_t groupIndex, std::vector<std::string>* problems);

// Adds the group's values as cell data (element results) or point data (node results), undefined
// values as NaN. Returns the reason when the tuple count fits neither the cells nor the points.
std::string addResultArray(VtkPiece& piece, const std::string& name, bool elementResult,
                           const RecordingResultValueGroup& values);

// Moves the points to the positions in the group (3 components per point); points whose tuple is
// undefined keep their place. Returns the reason when the group does not fit the points.
std::string applyDisplacedPositions(VtkPiece& piece, const RecordingResultValueGroup& positions);

}  // namespace vxphost
