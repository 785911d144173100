#include "tests/support/CaseWriter.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {
namespace {

std::string formatDouble(double v) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(17);
    out << v;
    return out.str();
}

void appendLabelRaw(std::string& out, int value, int labelBits) {
    if (labelBits == 64) {
        const int64_t v = value;
        out.append(reinterpret_cast<const char*>(&v), sizeof(v));
    } else {
        const int32_t v = value;
        out.append(reinterpret_cast<const char*>(&v), sizeof(v));
    }
}

void appendScalarRaw(std::string& out, double value, int scalarBits) {
    if (scalarBits == 32) {
        const float v = static_cast<float>(value);
        out.append(reinterpret_cast<const char*>(&v), sizeof(v));
    } else {
        out.append(reinterpret_cast<const char*>(&value), sizeof(value));
    }
}

int addPoint(std::vector<double>& points, double x, double y, double z) {
    points.push_back(x);
    points.push_back(y);
    points.push_back(z);
    return static_cast<int>(points.size() / 3 - 1);
}

}  // namespace

Mesh hexBlockMesh(int nx, int ny, int nz) {
    Mesh mesh;
    auto pointId = [=](int i, int j, int k) { return i + (nx + 1) * (j + (ny + 1) * k); };
    auto cellId = [=](int i, int j, int k) { return i + nx * (j + ny * k); };
    mesh.points.reserve(3 * static_cast<size_t>(nx + 1) * (ny + 1) * (nz + 1));
    for (int k = 0; k <= nz; ++k)
        for (int j = 0; j <= ny; ++j)
            for (int i = 0; i <= nx; ++i) addPoint(mesh.points, i, j, k);
    mesh.cellCount = nx * ny * nz;
    // Internal faces: normals point from the lower cell to the higher one (+x, +y, +z).
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                if (i + 1 < nx) {
                    mesh.faces.push_back({pointId(i + 1, j, k), pointId(i + 1, j + 1, k), pointId(i + 1, j + 1, k + 1),
                                          pointId(i + 1, j, k + 1)});
                    mesh.owner.push_back(cellId(i, j, k));
                    mesh.neighbour.push_back(cellId(i + 1, j, k));
                }
                if (j + 1 < ny) {
                    mesh.faces.push_back({pointId(i, j + 1, k), pointId(i, j + 1, k + 1), pointId(i + 1, j + 1, k + 1),
                                          pointId(i + 1, j + 1, k)});
                    mesh.owner.push_back(cellId(i, j, k));
                    mesh.neighbour.push_back(cellId(i, j + 1, k));
                }
                if (k + 1 < nz) {
                    mesh.faces.push_back({pointId(i, j, k + 1), pointId(i + 1, j, k + 1), pointId(i + 1, j + 1, k + 1),
                                          pointId(i, j + 1, k + 1)});
                    mesh.owner.push_back(cellId(i, j, k));
                    mesh.neighbour.push_back(cellId(i, j, k + 1));
                }
            }
    auto addPatch = [&mesh](const std::string& name, auto&& faceMaker, int na, int nb) {
        Patch patch{name, "wall", static_cast<int>(mesh.faces.size()), na * nb};
        for (int b = 0; b < nb; ++b)
            for (int a = 0; a < na; ++a) faceMaker(a, b);
        mesh.patches.push_back(patch);
    };
    auto boundary = [&mesh](std::vector<int> face, int cell) {
        mesh.faces.push_back(std::move(face));
        mesh.owner.push_back(cell);
    };
    addPatch("xmin", [&](int j, int k) { boundary({pointId(0, j, k), pointId(0, j, k + 1), pointId(0, j + 1, k + 1), pointId(0, j + 1, k)}, cellId(0, j, k)); }, ny, nz);
    addPatch("xmax", [&](int j, int k) { boundary({pointId(nx, j, k), pointId(nx, j + 1, k), pointId(nx, j + 1, k + 1), pointId(nx, j, k + 1)}, cellId(nx - 1, j, k)); }, ny, nz);
    addPatch("ymin", [&](int i, int k) { boundary({pointId(i, 0, k), pointId(i + 1, 0, k), pointId(i + 1, 0, k + 1), pointId(i, 0, k + 1)}, cellId(i, 0, k)); }, nx, nz);
    addPatch("ymax", [&](int i, int k) { boundary({pointId(i, ny, k), pointId(i, ny, k + 1), pointId(i + 1, ny, k + 1), pointId(i + 1, ny, k)}, cellId(i, ny - 1, k)); }, nx, nz);
    addPatch("zmin", [&](int i, int j) { boundary({pointId(i, j, 0), pointId(i, j + 1, 0), pointId(i + 1, j + 1, 0), pointId(i + 1, j, 0)}, cellId(i, j, 0)); }, nx, ny);
    addPatch("zmax", [&](int i, int j) { boundary({pointId(i, j, nz), pointId(i + 1, j, nz), pointId(i + 1, j + 1, nz), pointId(i, j + 1, nz)}, cellId(i, j, nz - 1)); }, nx, ny);
    return mesh;
}

Mesh meshFromCells(const std::vector<double>& points, const std::vector<std::vector<std::vector<int>>>& cells) {
    struct Seen {
        int cell;
        size_t faceIndex;
    };
    std::map<std::vector<int>, Seen> open;
    std::vector<std::pair<std::vector<int>, std::pair<int, int>>> internal;  // face of owner, (owner, neighbour)
    for (size_t c = 0; c < cells.size(); ++c) {
        for (size_t f = 0; f < cells[c].size(); ++f) {
            std::vector<int> key = cells[c][f];
            std::sort(key.begin(), key.end());
            auto it = open.find(key);
            if (it == open.end()) {
                open.emplace(std::move(key), Seen{static_cast<int>(c), f});
            } else {
                const Seen first = it->second;
                internal.push_back({cells[first.cell][first.faceIndex], {first.cell, static_cast<int>(c)}});
                open.erase(it);
            }
        }
    }
    Mesh mesh;
    mesh.points = points;
    mesh.cellCount = static_cast<int>(cells.size());
    std::sort(internal.begin(), internal.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    for (auto& face : internal) {
        mesh.faces.push_back(face.first);
        mesh.owner.push_back(face.second.first);
        mesh.neighbour.push_back(face.second.second);
    }
    std::vector<std::pair<int, std::vector<int>>> boundaryFaces;
    for (const auto& entry : open) boundaryFaces.push_back({entry.second.cell, cells[entry.second.cell][entry.second.faceIndex]});
    std::sort(boundaryFaces.begin(), boundaryFaces.end());
    Patch walls{"walls", "wall", static_cast<int>(mesh.faces.size()), static_cast<int>(boundaryFaces.size())};
    for (auto& face : boundaryFaces) {
        mesh.faces.push_back(face.second);
        mesh.owner.push_back(face.first);
    }
    mesh.patches.push_back(walls);
    return mesh;
}

namespace {

using Vec3 = std::array<double, 3>;

Vec3 pointAt(const std::vector<double>& points, int id) {
    const size_t at = 3 * static_cast<size_t>(id);
    return {points[at], points[at + 1], points[at + 2]};
}

Vec3 centroid(const std::vector<double>& points, const std::vector<int>& ids) {
    Vec3 c{0, 0, 0};
    for (int id : ids) {
        const Vec3 p = pointAt(points, id);
        for (int d = 0; d < 3; ++d) c[d] += p[d] / static_cast<double>(ids.size());
    }
    return c;
}

// Newell's normal of a polygon.
Vec3 faceNormal(const std::vector<double>& points, const std::vector<int>& face) {
    Vec3 n{0, 0, 0};
    for (size_t k = 0; k < face.size(); ++k) {
        const Vec3 a = pointAt(points, face[k]);
        const Vec3 b = pointAt(points, face[(k + 1) % face.size()]);
        n[0] += (a[1] - b[1]) * (a[2] + b[2]);
        n[1] += (a[2] - b[2]) * (a[0] + b[0]);
        n[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    return n;
}

// A small deterministic generator (the standard distributions differ between libraries).
struct Lcg {
    uint64_t state;
    unsigned next(unsigned bound) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<unsigned>((state >> 33) % bound);
    }
};

// The 8 corners of unit cube (i, j, k) of a lattice with `stride` points per unit, in the
// usual hexahedron order (bottom 0-3 counter-clockwise seen from above, top 4-7 above them).
template <typename PointId>
std::array<int, 8> cubeCorners(const PointId& pointId, int i, int j, int k, int stride) {
    const int a = i * stride, b = j * stride, c = k * stride;
    return {pointId(a, b, c),          pointId(a + stride, b, c),          pointId(a + stride, b + stride, c),
            pointId(a, b + stride, c), pointId(a, b, c + stride),          pointId(a + stride, b, c + stride),
            pointId(a + stride, b + stride, c + stride), pointId(a, b + stride, c + stride)};
}

// The six sides of a hexahedron as corner positions, each in cyclic order.
constexpr int HEX_SIDES[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};

std::vector<std::vector<int>> hexFaces(const std::array<int, 8>& v) {
    std::vector<std::vector<int>> faces;
    for (const auto& side : HEX_SIDES) faces.push_back({v[side[0]], v[side[1]], v[side[2]], v[side[3]]});
    return faces;
}

}  // namespace

void orientFacesOutward(CellList* list) {
    for (auto& cell : list->cells) {
        std::vector<int> nodes;
        for (const auto& face : cell) nodes.insert(nodes.end(), face.begin(), face.end());
        std::sort(nodes.begin(), nodes.end());
        nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
        const Vec3 centre = centroid(list->points, nodes);
        for (auto& face : cell) {
            const Vec3 n = faceNormal(list->points, face);
            const Vec3 c = centroid(list->points, face);
            double outward = 0;
            for (int d = 0; d < 3; ++d) outward += n[d] * (c[d] - centre[d]);
            if (outward < 0) std::reverse(face.begin(), face.end());
        }
    }
}

CellList splitBlockCells(int nx, int ny, int nz, const std::string& split) {
    CellList list;
    const Mesh hex = hexBlockMesh(nx, ny, nz);
    list.points = hex.points;
    auto pointId = [=](int i, int j, int k) { return i + (nx + 1) * (j + (ny + 1) * k); };
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                const std::array<int, 8> v = cubeCorners(pointId, i, j, k, 1);
                const std::string shape = split == "tetprism" ? (k % 2 == 0 ? "tet" : "prism") : split;
                if (shape == "hex") {
                    list.cells.push_back(hexFaces(v));
                } else if (shape == "tet") {
                    const int tets[6][4] = {{0, 1, 2, 6}, {0, 2, 3, 6}, {0, 3, 7, 6}, {0, 7, 4, 6}, {0, 4, 5, 6}, {0, 5, 1, 6}};
                    for (const auto& t : tets) {
                        const int a = v[t[0]], b = v[t[1]], c = v[t[2]], d = v[t[3]];
                        list.cells.push_back({{a, b, c}, {a, b, d}, {b, c, d}, {a, c, d}});
                    }
                } else if (shape == "prism") {
                    const int prisms[2][3] = {{0, 1, 2}, {0, 2, 3}};
                    for (const auto& p : prisms) {
                        const int b0 = v[p[0]], b1 = v[p[1]], b2 = v[p[2]];
                        const int t0 = v[p[0] + 4], t1 = v[p[1] + 4], t2 = v[p[2] + 4];
                        list.cells.push_back(
                            {{b0, b1, b2}, {t0, t1, t2}, {b0, b1, t1, t0}, {b1, b2, t2, t1}, {b2, b0, t0, t2}});
                    }
                } else if (shape == "pyramid") {
                    const int apex = addPoint(list.points, i + 0.5, j + 0.5, k + 0.5);
                    for (const std::vector<int>& base : hexFaces(v)) {
                        std::vector<std::vector<int>> cell{base};
                        for (size_t e = 0; e < 4; ++e) cell.push_back({base[e], base[(e + 1) % 4], apex});
                        list.cells.push_back(cell);
                    }
                } else {
                    throw std::invalid_argument("unknown cube split " + split);
                }
            }
    orientFacesOutward(&list);
    return list;
}

CellList refinedBlockCells(int nx, int ny, int nz, bool (*refine)(int, int, int)) {
    // Points live on a lattice of half units; only those that some cell uses are kept.
    const int lx = 2 * nx + 1, ly = 2 * ny + 1;
    auto latticeIndex = [=](int a, int b, int c) { return a + lx * (b + ly * c); };
    auto refined = [&](int i, int j, int k) {
        return i >= 0 && j >= 0 && k >= 0 && i < nx && j < ny && k < nz && refine(i, j, k);
    };
    std::vector<char> used(static_cast<size_t>(lx) * ly * (2 * nz + 1), 0);
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                const int step = refined(i, j, k) ? 1 : 2;
                for (int c = 2 * k; c <= 2 * k + 2; c += step)
                    for (int b = 2 * j; b <= 2 * j + 2; b += step)
                        for (int a = 2 * i; a <= 2 * i + 2; a += step) used[static_cast<size_t>(latticeIndex(a, b, c))] = 1;
            }
    CellList list;
    std::vector<int> id(used.size(), -1);
    for (int c = 0; c <= 2 * nz; ++c)
        for (int b = 0; b < ly; ++b)
            for (int a = 0; a < lx; ++a) {
                const size_t at = static_cast<size_t>(latticeIndex(a, b, c));
                if (used[at]) id[at] = addPoint(list.points, 0.5 * a, 0.5 * b, 0.5 * c);
            }
    auto pointId = [&](int a, int b, int c) { return id[static_cast<size_t>(latticeIndex(a, b, c))]; };
    auto usedAt = [&](int a, int b, int c) { return pointId(a, b, c) >= 0; };
    // Lattice coordinates of the corners, in hexahedron order.
    const int corner[8][3] = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {0, 0, 2}, {2, 0, 2}, {2, 2, 2}, {0, 2, 2}};
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                if (refined(i, j, k)) {
                    for (int c = 0; c < 2; ++c)
                        for (int b = 0; b < 2; ++b)
                            for (int a = 0; a < 2; ++a)
                                list.cells.push_back(hexFaces(cubeCorners(pointId, 2 * i + a, 2 * j + b, 2 * k + c, 1)));
                    continue;
                }
                std::vector<std::vector<int>> cell;
                for (const auto& side : HEX_SIDES) {
                    int p[4][3];
                    for (int e = 0; e < 4; ++e)
                        for (int d = 0; d < 3; ++d) p[e][d] = corner[side[e]][d] + 2 * (d == 0 ? i : d == 1 ? j : k);
                    const int mid[3] = {(p[0][0] + p[2][0]) / 2, (p[0][1] + p[2][1]) / 2, (p[0][2] + p[2][2]) / 2};
                    if (usedAt(mid[0], mid[1], mid[2])) {
                        // The neighbour across this side is refined: four quarter faces.
                        for (int e = 0; e < 4; ++e) {
                            const int* a = p[e];
                            const int* b = p[(e + 1) % 4];
                            const int* d = p[(e + 3) % 4];
                            cell.push_back({pointId(a[0], a[1], a[2]),
                                            pointId((a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2),
                                            pointId(mid[0], mid[1], mid[2]),
                                            pointId((a[0] + d[0]) / 2, (a[1] + d[1]) / 2, (a[2] + d[2]) / 2)});
                        }
                        continue;
                    }
                    std::vector<int> face;
                    for (int e = 0; e < 4; ++e) {
                        const int* a = p[e];
                        const int* b = p[(e + 1) % 4];
                        face.push_back(pointId(a[0], a[1], a[2]));
                        const int m[3] = {(a[0] + b[0]) / 2, (a[1] + b[1]) / 2, (a[2] + b[2]) / 2};
                        if (usedAt(m[0], m[1], m[2])) face.push_back(pointId(m[0], m[1], m[2]));
                    }
                    cell.push_back(face);
                }
                list.cells.push_back(cell);
            }
    orientFacesOutward(&list);
    return list;
}

Mesh tetBlockMesh(int nx, int ny, int nz) { return meshFromCells(splitBlockCells(nx, ny, nz, "tet")); }

void damageCells(CellList* list) {
    for (size_t i = 0; i < list->cells.size(); ++i) {
        auto& cell = list->cells[i];
        if (cell.size() < 3) continue;
        switch (i % 7) {
            case 1: cell.pop_back(); break;
            case 3: std::reverse(cell[0].begin(), cell[0].end()); break;
            case 5: std::swap(cell[1][0], cell[1][1]); break;
            case 6: cell[2][2] = cell[2][1]; break;
            default: break;
        }
    }
}

void scrambleCells(CellList* list, unsigned seed) {
    Lcg random{seed * 2654435761ULL + 1};
    auto& cells = list->cells;
    for (size_t c = cells.size(); c > 1; --c) std::swap(cells[c - 1], cells[random.next(static_cast<unsigned>(c))]);
    for (auto& cell : cells) {
        for (size_t f = cell.size(); f > 1; --f) std::swap(cell[f - 1], cell[random.next(static_cast<unsigned>(f))]);
        for (auto& face : cell)
            std::rotate(face.begin(), face.begin() + random.next(static_cast<unsigned>(face.size())), face.end());
    }
}

std::string foamFile(const std::string& className, const std::string& object, const std::string& body,
                     const WriteOptions& options, const std::string& extraHeaderLines) {
    std::ostringstream out;
    out << "/*--------------------------------*- C++ -*----------------------------------*\\\n"
        << "  =========                 |\n"
        << "\\*---------------------------------------------------------------------------*/\n"
        << "FoamFile\n{\n"
        << "    version     2.0;\n"
        << "    format      " << (options.binary ? "binary" : "ascii") << ";\n";
    if (options.binary && options.writeArch)
        out << "    arch        \"LSB;label=" << options.labelBits << ";scalar=" << options.scalarBits << "\";\n";
    out << "    class       " << className << ";\n" << extraHeaderLines << "    object      " << object << ";\n"
        << "}\n"
        << "// * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * * //\n\n";
    return out.str() + body +
           "\n\n// ************************************************************************* //\n";
}

void writeFile(const std::string& path, const std::string& content, bool gzip) {
    const fs::path target(path);
    if (target.has_parent_path()) fs::create_directories(target.parent_path());
    if (gzip) {
        gzFile file = gzopen((path + ".gz").c_str(), "wb");
        if (!file) throw std::runtime_error("cannot write " + path + ".gz");
        size_t done = 0;
        while (done < content.size()) {
            const unsigned step = static_cast<unsigned>(std::min<size_t>(content.size() - done, 1u << 30));
            gzwrite(file, content.data() + done, step);
            done += step;
        }
        gzclose(file);
        return;
    }
    std::ofstream out(path, std::ios::binary);
    if (!out) throw std::runtime_error("cannot write " + path);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string pointsBody(const std::vector<double>& points, const WriteOptions& options) {
    const size_t n = points.size() / 3;
    std::string out = std::to_string(n) + "\n(";
    if (options.binary) {
        for (double v : points) appendScalarRaw(out, v, options.scalarBits);
        return out + ")";
    }
    out += "\n";
    for (size_t i = 0; i < n; ++i)
        out += "(" + formatDouble(points[3 * i]) + " " + formatDouble(points[3 * i + 1]) + " " +
               formatDouble(points[3 * i + 2]) + ")\n";
    return out + ")";
}

std::string labelsBody(const std::vector<int>& labels, const WriteOptions& options) {
    std::string out = std::to_string(labels.size()) + "\n(";
    if (options.binary) {
        for (int v : labels) appendLabelRaw(out, v, options.labelBits);
        return out + ")";
    }
    out += "\n";
    for (int v : labels) out += std::to_string(v) + "\n";
    return out + ")";
}

std::string facesBody(const std::vector<std::vector<int>>& faces, const WriteOptions& options) {
    if (options.binary || options.compactFaces) {
        std::vector<int> offsets{0};
        std::vector<int> indices;
        for (const auto& face : faces) {
            indices.insert(indices.end(), face.begin(), face.end());
            offsets.push_back(static_cast<int>(indices.size()));
        }
        return labelsBody(offsets, options) + "\n\n" + labelsBody(indices, options);
    }
    std::string out = std::to_string(faces.size()) + "\n(\n";
    for (const auto& face : faces) {
        out += std::to_string(face.size()) + "(";
        for (size_t k = 0; k < face.size(); ++k) out += (k ? " " : "") + std::to_string(face[k]);
        out += ")\n";
    }
    return out + ")";
}

std::string boundaryBody(const std::vector<Patch>& patches) {
    std::ostringstream out;
    out << patches.size() << "\n(\n";
    for (const Patch& p : patches)
        out << "    " << p.name << "\n    {\n        type            " << p.type << ";\n        nFaces          "
            << p.nFaces << ";\n        startFace       " << p.startFace << ";\n    }\n";
    out << ")";
    return out.str();
}

void writePolyMesh(const std::string& folder, const Mesh& mesh, const WriteOptions& options) {
    const std::string note = "    note        \"nPoints:" + std::to_string(mesh.pointCount()) +
                             "  nCells:" + std::to_string(mesh.cellCount) + "  nFaces:" +
                             std::to_string(mesh.faces.size()) + "  nInternalFaces:" +
                             std::to_string(mesh.neighbour.size()) + "\";\n";
    const std::string location = "    location    \"constant/polyMesh\";\n";
    writeFile(folder + "/points", foamFile("vectorField", "points", pointsBody(mesh.points, options), options, location),
              options.gzip);
    const bool compact = options.binary || options.compactFaces;
    writeFile(folder + "/faces",
              foamFile(compact ? "faceCompactList" : "faceList", "faces", facesBody(mesh.faces, options), options, location),
              options.gzip);
    writeFile(folder + "/owner", foamFile("labelList", "owner", labelsBody(mesh.owner, options), options, note + location),
              options.gzip);
    writeFile(folder + "/neighbour",
              foamFile("labelList", "neighbour", labelsBody(mesh.neighbour, options), options, note + location),
              options.gzip);
    WriteOptions ascii = options;
    ascii.binary = false;
    writeFile(folder + "/boundary", foamFile("polyBoundaryMesh", "boundary", boundaryBody(mesh.patches), ascii, location),
              false);
}

std::string fieldFile(const std::string& className, const std::string& object, const std::string& dimensions,
                      const std::vector<double>& values, int components, const std::vector<PatchField>& patches,
                      const WriteOptions& options) {
    const size_t n = values.size() / static_cast<size_t>(components);
    const char* kind = components == 1 ? "scalar" : components == 3 ? "vector" : components == 6 ? "symmTensor" : "tensor";
    std::string body = "dimensions      " + dimensions + ";\n\ninternalField   nonuniform List<" + kind + "> " +
                       std::to_string(n) + "\n(";
    if (options.binary) {
        for (double v : values) appendScalarRaw(body, v, options.scalarBits);
    } else {
        body += "\n";
        for (size_t i = 0; i < n; ++i) {
            if (components == 1) {
                body += formatDouble(values[i]) + "\n";
                continue;
            }
            body += "(";
            for (int c = 0; c < components; ++c)
                body += (c ? " " : "") + formatDouble(values[i * static_cast<size_t>(components) + static_cast<size_t>(c)]);
            body += ")\n";
        }
    }
    body += ")\n;\n\nboundaryField\n{\n";
    for (const PatchField& p : patches) body += "    " + p.name + "\n    {\n        " + p.entries + "\n    }\n";
    body += "}\n";
    return foamFile(className, object, body, options);
}

void writeCaseSkeleton(const std::string& caseFolder, const std::string& writeInterval) {
    WriteOptions ascii;
    writeFile(caseFolder + "/system/controlDict",
              foamFile("dictionary", "controlDict",
                       "application     icoFoam;\nstartTime       0;\nwriteControl    timeStep;\nwriteInterval   " +
                           writeInterval + ";\n",
                       ascii));
    writeFile(caseFolder + "/case.foam", "");
}

std::string makeTempFolder(const std::string& stem) {
    static std::atomic<int> counter{0};
    const fs::path base = fs::temp_directory_path() /
                          ("foamprovider-" + stem + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(base);
    fs::create_directories(base);
    return base.string();
}

void removeFolder(const std::string& folder) {
    std::error_code ec;
    fs::remove_all(folder, ec);
}

}  // namespace testsupport
