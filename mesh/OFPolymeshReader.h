#pragma once
#include <vector>

#include "core/Str.h"
#include "io/FacesData.h"
#include "mesh/OFPolymesh.h"

// Loads the points, faces, owner and neighbour files of one polyMesh folder and checks that
// they form a consistent mesh before anyone converts it.
class OFPolymeshReader {
public:
    bool read(const vx::Str& folder, OFPolymesh* mesh);
    bool readPolymeshPar(const vx::Str& folder, OFPolymesh* mesh);
    bool readPolymeshSeq(const vx::Str& folder, OFPolymesh* mesh);

    bool readPoints(const vx::Str& folder, std::vector<double>* points);
    bool readNeighbors(const vx::Str& folder, vx::UnsetVector<int>* neighbours);
    bool readFaces(const vx::Str& folder, FacesData* faces);
    bool readOwners(const vx::Str& folder, vx::UnsetVector<int>* owners);

    vx::Str polyMeshFolder() const { return m_folder; }
    // The cell count the folder's owner file states in its header; false when it cannot be read.
    static bool readCellCount(const vx::Str& folder, size_t* cellCount);
    // Whether two polyMesh folders hold the same faces, owners and neighbours (the points may
    // differ). False when either cannot be read.
    static bool sameTopology(const vx::Str& folder, const vx::Str& other);

    // Every index within its array; false with one error message naming the folder.
    static bool validate(const vx::Str& folder, const OFPolymesh& mesh);

private:
    bool finish(const vx::Str& folder, OFPolymesh* mesh, double seconds, const char* strategy);

    vx::Str m_folder;
    int m_cellCount = 0;
};

// One of the four concurrent file reads of a polyMesh folder.
struct OFPolymeshReadFunctor {
    enum Kind { POINTS = 1, NEIGHBOURS = 2, FACES = 3, OWNERS = 4 };
    OFPolymeshReader* reader;
    Kind kind;
    vx::Str folder;
    OFPolymesh* mesh;
    bool* result;
    void operator()() const;
};
