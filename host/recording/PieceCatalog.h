#pragma once
// Names the drawable pieces of a recorded geometry after the published parts, and tells which
// piece each value group of a result belongs to.
//
// Element groups come in the order of the published parts that get a group of their own: per part
// its volume, its patches and its face zones, then the sampled surfaces (cell zones have no group;
// their cells carry the zone's part id inside the volume group). A group whose elements all carry
// one part id is named after that part; any other group after the part at its place in that order.
// Result value groups follow the pieces in order, skipping face zones, which get no values.
#include <string>
#include <vector>

#include "host/recording/RecordingGeometry.h"
#include "host/recording/RecordingMetaData.h"

namespace vxphost {

enum class PartKind { Volume, CellZone, Patch, FaceZone, SampledSurface, Unmatched };

const char* partKindName(PartKind kind);

// From the part's "type" attribute and parent: CellZone, FaceZone and SampledSurface by type, a part
// with a parent is a patch, any other part a volume.
PartKind classifyPart(const PublishedPart& part);

struct Piece {
    size_t groupIndex = 0;
    int partId = -1;  // -1 when no published part matched
    std::string name;
    PartKind kind = PartKind::Unmatched;
};

std::vector<Piece> matchPiecesToParts(const RecordingMetaData& metaData, const RecordingGeometry& geometry);

constexpr size_t NO_PIECE = static_cast<size_t>(-1);

// Per value group the index of its piece, NO_PIECE for groups beyond the pieces that take values.
std::vector<size_t> valueGroupPieces(const std::vector<Piece>& pieces, size_t valueGroupCount);

// A file name stem per piece: its name with every character other than letters, digits, '-' and
// '.' turned into '_' (runs collapsed), made unique by a "_2", "_3", ... suffix.
std::vector<std::string> pieceFileStems(const std::vector<Piece>& pieces);

}  // namespace vxphost
