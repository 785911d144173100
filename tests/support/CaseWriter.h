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
