#include "host/recording/PieceCatalog.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace vxphost {

const char* partKindName(PartKind kind) {
    switch (kind) {
        case PartKind::Volume: return "volume";
        case PartKind::CellZone: return "cellZone";
        case PartKind::Patch: return "patch";
        case PartKind::FaceZone: return "faceZone";
        case PartKind::SampledSurface: return "sampledSurface";
        case PartKind::Unmatched: return "unmatched";
    }
    return "unmatched";
}

PartKind classifyPart(const PublishedPart& part) {
    if (const std::string* type = part.attribute("type")) {
        if (*type == "CellZone") return PartKind::CellZone;
        if (*type == "FaceZone") return PartKind::FaceZone;
        if (*type == "SampledSurface") return PartKind::SampledSurface;
    }
    return part.parent ? PartKind::Patch : PartKind::Volume;
}

namespace {

std::vector<const PublishedPart*> partsWithGroups(const RecordingMetaData& metaData) {
    std::vector<const PublishedPart*> parts;
    for (const PublishedPart& part : metaData.parts()) {
        if (classifyPart(part) != PartKind::CellZone) parts.push_back(&part);
    }
    return parts;
}

// The part id every element of the group carries, or -1.
int uniformPartId(const RecordingElementGroup& group) {
    const std::vector<int>& ids = group.partIds();
    if (!group.hasPartIds() || ids.empty()) return -1;
    const bool uniform = std::all_of(ids.begin(), ids.end(), [&](int id) { return id == ids.front(); });
    return uniform ? ids.front() : -1;
}

const PublishedPart* partOfGroup(const RecordingMetaData& metaData, const RecordingElementGroup& group,
                                 const PublishedPart* partInOrder) {
    const int carried = uniformPartId(group);
    if (carried >= 0) {
        const PublishedPart* part = metaData.findPart(carried);
        if (part && classifyPart(*part) != PartKind::CellZone) return part;
    }
    return partInOrder;
}

}  // namespace

std::vector<Piece> matchPiecesToParts(const RecordingMetaData& metaData, const RecordingGeometry& geometry) {
    const std::vector<const PublishedPart*> ordered = partsWithGroups(metaData);
    std::vector<Piece> pieces;
    for (size_t g = 0; g < geometry.elementGroupCount(); ++g) {
        const PublishedPart* inOrder = g < ordered.size() ? ordered[g] : nullptr;
        const PublishedPart* part = partOfGroup(metaData, geometry.elementGroup(g), inOrder);
        Piece piece;
        piece.groupIndex = g;
        if (part) {
            piece.partId = part->id;
            piece.name = part->name;
            piece.kind = classifyPart(*part);
        } else {
            piece.name = "group_" + std::to_string(g);
        }
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

std::vector<size_t> valueGroupPieces(const std::vector<Piece>& pieces, size_t valueGroupCount) {
    std::vector<size_t> owners(valueGroupCount, NO_PIECE);
    size_t next = 0;
    for (size_t p = 0; p < pieces.size() && next < valueGroupCount; ++p) {
        if (pieces[p].kind != PartKind::FaceZone) owners[next++] = p;
    }
    return owners;
}

namespace {
std::string sanitizedStem(const std::string& name) {
    std::string stem;
    for (unsigned char c : name) {
        const bool keep = std::isalnum(c) || c == '-' || c == '.';
        if (keep) {
            stem += static_cast<char>(c);
        } else if (stem.empty() || stem.back() != '_') {
            stem += '_';
        }
    }
    while (!stem.empty() && (stem.back() == '_' || stem.back() == '.')) stem.pop_back();
    while (!stem.empty() && (stem.front() == '_' || stem.front() == '.')) stem.erase(stem.begin());
    return stem;
}
}  // namespace

std::vector<std::string> pieceFileStems(const std::vector<Piece>& pieces) {
    std::vector<std::string> stems;
    std::set<std::string> used;
    for (const Piece& piece : pieces) {
        std::string base = sanitizedStem(piece.name);
        if (base.empty()) base = "group_" + std::to_string(piece.groupIndex);
        std::string stem = base;
        for (int suffix = 2; used.count(stem); ++suffix) stem = base + "_" + std::to_string(suffix);
        used.insert(stem);
        stems.push_back(stem);
    }
    return stems;
}

}  // namespace vxphost
