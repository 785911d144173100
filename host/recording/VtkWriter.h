#pragma once
// VTK XML output: unstructured grid pieces (.vtu, binary appended raw data with UInt64 block
// headers), multiblock sets (.vtm) and time series collections (.pvd).
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace vxphost {

namespace vtk {
constexpr uint8_t POLYGON = 7;
constexpr uint8_t TRIANGLE = 5;
constexpr uint8_t QUAD = 9;
constexpr uint8_t TETRA = 10;
constexpr uint8_t HEXAHEDRON = 12;
constexpr uint8_t WEDGE = 13;
constexpr uint8_t PYRAMID = 14;
constexpr uint8_t POLYHEDRON = 42;
}  // namespace vtk

struct VtkCells {
    std::vector<int64_t> connectivity;
    std::vector<int64_t> offsets;  // per cell the end of its nodes in connectivity
    std::vector<uint8_t> types;
    // Polyhedron face streams (face count, then per face its node count and nodes) and per cell
    // the end of its stream, -1 for cells that are no polyhedra. Empty without polyhedra.
    std::vector<int64_t> faces;
    std::vector<int64_t> faceOffsets;

    size_t count() const { return types.size(); }
};

struct VtkDataArray {
    std::string name;
    int components = 1;
    std::vector<double> values;
};

struct VtkIntArray {
    std::string name;
    std::vector<int32_t> values;
};

struct VtkPiece {
    std::vector<double> points;  // x, y, z per point
    VtkCells cells;
    std::vector<VtkDataArray> pointData;
    std::vector<VtkDataArray> cellData;
    std::vector<VtkIntArray> pointIntData;
    std::vector<VtkIntArray> cellIntData;

    size_t pointCount() const { return points.size() / 3; }
};

void writeVtu(std::ostream& out, const VtkPiece& piece);

struct VtmEntry {
    std::string name;
    std::string file;  // relative to the .vtm file
};

void writeVtm(std::ostream& out, const std::vector<VtmEntry>& entries);

struct PvdEntry {
    double time = 0.0;
    std::string file;  // relative to the .pvd file
};

void writePvd(std::ostream& out, const std::vector<PvdEntry>& entries);

// Write the named file; false (with the reason) when it cannot be written.
bool writeVtuFile(const std::string& path, const VtkPiece& piece, std::string* error);
bool writeVtmFile(const std::string& path, const std::vector<VtmEntry>& entries, std::string* error);
bool writePvdFile(const std::string& path, const std::vector<PvdEntry>& entries, std::string* error);

// Text safe for an XML attribute value.
std::string xmlEscaped(const std::string& text);

}  // namespace vxphost
