#pragma once
// Writes OpenFOAM files and case folders from in-memory meshes and fields, in ascii or
// binary, plain or gzip-compressed, for tests and benchmarks.
#include <string>
#include <vector>

namespace testsupport {

struct Patch {
    std::string name;
    std::string type = "patch";
    int startFace = 0;
    int nFaces = 0;
};

struct Mesh {
    std::vector<double> points;            // x, y, z per point
    std::vector<std::vector<int>> faces;   // internal faces first, then the patches' faces
    std::vector<int> owner;
    std::vector<int> neighbour;            // one per internal face
    int cellCount = 0;
    std::vector<Patch> patches;

    size_t pointCount() const { return points.size() / 3; }
};

struct WriteOptions {
    bool binary = false;
    bool gzip = false;
    bool compactFaces = false;  // ascii faces as faceCompactList (binary faces always are)
    int labelBits = 32;
    int scalarBits = 64;
    bool writeArch = true;      // binary files carry an arch entry unless this is off
};

// A cube block of nx*ny*nz hexahedra over [0,nx]x[0,ny]x[0,nz], with one patch per side.
Mesh hexBlockMesh(int nx, int ny, int nz);

// Builds a polyMesh from cells given by their faces (node lists, each oriented outward).
// Shared faces become internal faces (owner = lower cell); the others go to one patch "walls".
Mesh meshFromCells(const std::vector<double>& points, const std::vector<std::vector<std::vector<int>>>& cells);

// The hex block with every hexahedron split into 6 tetrahedra.
Mesh tetBlockMesh(int nx, int ny, int nz);

// Cells as lists of faces (node lists) over a point list, before they become a polyMesh.
struct CellList {
    std::vector<double> points;
    std::vector<std::vector<std::vector<int>>> cells;
};

// Each cell's faces turned so that their normals point away from the cell's centre (convex cells).
void orientFacesOutward(CellList* cells);

// The cells of an nx*ny*nz block over [0,nx]x[0,ny]x[0,nz], each unit cube split as `split` says:
// "hex" (kept whole), "tet" (6 tetrahedra around the diagonal 0-6), "prism" (2 prisms with their
// triangles on the z sides), "pyramid" (6 pyramids around the cube's centre) or "tetprism"
// (layers of tetrahedra on even k, of prisms on odd k; their triangles match).
CellList splitBlockCells(int nx, int ny, int nz, const std::string& split);

// The block after one level of hexRef8-style refinement of the cubes for which refine(i, j, k)
// holds: each becomes 8 hexahedra. An unrefined cube next to a refined one becomes a polyhedron:
// a side it shares with a refined cube is split into four, and a side that meets a refined cube
// along an edge carries that edge's midpoint.
CellList refinedBlockCells(int nx, int ny, int nz, bool (*refine)(int i, int j, int k));

// The same cells in a scrambled numbering: cells permuted, each cell's faces in another order and
// each face starting at another node (orientation kept). Deterministic for a seed.
void scrambleCells(CellList* cells, unsigned seed);

// Damages cells the way broken or hand-edited meshes are, by cell index i: i % 7 == 1 loses its
// last face (it is open), i % 7 == 3 has its first face turned inward, i % 7 == 5 its second face
// twisted (two nodes swapped), i % 7 == 6 a face with a node twice (its third node replaced by
// its second).
void damageCells(CellList* cells);

inline Mesh meshFromCells(const CellList& list) { return meshFromCells(list.points, list.cells); }

// Whole file text with a FoamFile header and the given body.
std::string foamFile(const std::string& className, const std::string& object, const std::string& body,
                     const WriteOptions& options, const std::string& extraHeaderLines = "");

// Writes text to path (path + ".gz" compressed when gzip is set). Creates parent folders.
void writeFile(const std::string& path, const std::string& content, bool gzip = false);

std::string pointsBody(const std::vector<double>& points, const WriteOptions& options);
std::string labelsBody(const std::vector<int>& labels, const WriteOptions& options);
std::string facesBody(const std::vector<std::vector<int>>& faces, const WriteOptions& options);
std::string boundaryBody(const std::vector<Patch>& patches);

// points, faces, owner, neighbour and boundary of the mesh into folder (a polyMesh folder).
void writePolyMesh(const std::string& folder, const Mesh& mesh, const WriteOptions& options = {});

// A field file: internal values (components per item: 1, 3, 6 or 9) and, per patch, a raw
// boundaryField entry body (e.g. "type zeroGradient;").
struct PatchField {
    std::string name;
    std::string entries;
};
std::string fieldFile(const std::string& className, const std::string& object, const std::string& dimensions,
                      const std::vector<double>& values, int components, const std::vector<PatchField>& patches,
                      const WriteOptions& options);

// system/controlDict with the given writeInterval, plus an empty case.foam.
void writeCaseSkeleton(const std::string& caseFolder, const std::string& writeInterval = "1");

// A fresh empty folder under the system temp folder.
std::string makeTempFolder(const std::string& stem);
void removeFolder(const std::string& folder);

}  // namespace testsupport
