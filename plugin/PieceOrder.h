#pragma once
// The order of the host's groups, and the only place that states it.
//
// A geometry request creates one node and element group pair per piece: per part (in the
// reader's order) its volume, then each of its patches, then each of its face zones; after the
// last part one pair per sampled surface. Cell zones have no group of their own: their cells
// carry the zone's part id inside the volume group.
//
// A result request creates one value group per piece that takes values, in the same order
// without the face zones. The displacement result and a result the state does not hold end
// with the parts: sampled surfaces get no value group there.
//
// Values are sized by what the geometry delivered: a piece that was not delivered (no geometry
// request yet, or a piece the request had to skip) takes no values.
#include <cstddef>
#include <vector>

class OFReader;
class OFPart;
class OFBoundary;
class OFSampledSurface;

enum class PieceKind { Volume, Patch, FaceZone, SampledSurface };

struct Piece {
    PieceKind kind = PieceKind::Volume;
    size_t part = 0;   // the part's index; 0 for sampled surfaces
    size_t index = 0;  // the patch, face zone or surface index; 0 for volumes
    bool operator==(const Piece& o) const { return kind == o.kind && part == o.part && index == o.index; }
};

enum class PieceSet {
    Geometry,    // node and element groups
    Values,      // value groups of a result the state holds
    PartValues,  // value groups of the displacement result and of a result the state lacks
};

// The pieces of a request, one per host group, in the order the groups are created.
std::vector<Piece> piecesInOrder(const OFReader& reader, PieceSet set);

// The host groups of one request, made in group order and found by their piece.
template <typename Group>
struct PartGroups {
    Group volume{};
    std::vector<Group> patches;
    std::vector<Group> faceZones;  // empty for value groups
};

template <typename Group>
struct CaseGroups {
    std::vector<PartGroups<Group>> parts;
    std::vector<Group> surfaces;
    bool empty() const { return parts.empty() && surfaces.empty(); }
    // Parts first, then surfaces: the index range of the per-part / per-surface tasks.
    size_t taskCount() const { return parts.size() + surfaces.size(); }
};

// Calls make(piece) for every piece of the set in group order and files each group under its
// piece.
template <typename Group, typename Make>
CaseGroups<Group> makeCaseGroups(const OFReader& reader, PieceSet set, Make make);

// Node and element counts of a piece as the geometry delivered them; both 0 for a piece not
// delivered.
struct PieceSize {
    size_t nodes = 0;
    size_t elements = 0;
};
PieceSize deliveredSize(const OFPart& part);
PieceSize deliveredSize(const OFBoundary& patch);
PieceSize deliveredSize(const OFSampledSurface& surface);

// ---------------------------------------------------------------- implementation

namespace pieceorder_detail {
size_t partCount(const OFReader& reader);
}  // namespace pieceorder_detail

template <typename Group, typename Make>
CaseGroups<Group> makeCaseGroups(const OFReader& reader, PieceSet set, Make make) {
    CaseGroups<Group> groups;
    groups.parts.resize(pieceorder_detail::partCount(reader));
    for (const Piece& piece : piecesInOrder(reader, set)) {
        switch (piece.kind) {
            case PieceKind::Volume: groups.parts[piece.part].volume = make(piece); break;
            case PieceKind::Patch: groups.parts[piece.part].patches.push_back(make(piece)); break;
            case PieceKind::FaceZone: groups.parts[piece.part].faceZones.push_back(make(piece)); break;
            case PieceKind::SampledSurface: groups.surfaces.push_back(make(piece)); break;
        }
    }
    return groups;
}
