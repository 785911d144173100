#include "plugin/PieceOrder.h"

#include "model/OFReader.h"

std::vector<Piece> piecesInOrder(const OFReader& reader, PieceSet set) {
    std::vector<Piece> pieces;
    for (size_t i = 0; i < reader.partCount(); ++i) {
        const OFPart& part = reader.part(i);
        pieces.push_back({PieceKind::Volume, i, 0});
        for (size_t b = 0; b < part.boundaries().size(); ++b) pieces.push_back({PieceKind::Patch, i, b});
        if (set != PieceSet::Geometry) continue;
        for (size_t z = 0; z < part.faceZones().size(); ++z) pieces.push_back({PieceKind::FaceZone, i, z});
    }
    if (set == PieceSet::PartValues) return pieces;
    for (size_t k = 0; k < reader.sampledSurfaceCount(); ++k) pieces.push_back({PieceKind::SampledSurface, 0, k});
    return pieces;
}

namespace {
PieceSize sizeOf(size_t nodes, size_t elements) {
    if (nodes == OFPart::UNKNOWN_COUNT || elements == OFPart::UNKNOWN_COUNT) return {};
    return {nodes, elements};
}
}  // namespace

PieceSize deliveredSize(const OFPart& part) { return sizeOf(part.nodeCount(), part.elementCount()); }
PieceSize deliveredSize(const OFBoundary& patch) { return sizeOf(patch.nodeCount(), patch.elementCount()); }
PieceSize deliveredSize(const OFSampledSurface& surface) { return sizeOf(surface.nodeCount(), surface.elementCount()); }

namespace pieceorder_detail {
size_t partCount(const OFReader& reader) { return reader.partCount(); }
}  // namespace pieceorder_detail
