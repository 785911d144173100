// The host's groups in order: every geometry group holds the piece the published parts say it
// holds, and every value group of every result lines up with its geometry group, in every real
// case of the test data.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/recording/PieceCatalog.h"
#include "tests/support/ProviderHarness.h"

namespace fs = std::filesystem;
using vxphost::PartKind;
using vxphost::Piece;

namespace {

std::vector<std::string> realCases() {
    std::vector<std::string> cases;
    const fs::path data(FOAMPROVIDER_TEST_DATA_DIR);
    for (const fs::path& root : {data, data / "../../examples"}) {
        for (const auto& entry : fs::directory_iterator(root))
            if (fs::exists(entry.path() / "case.foam")) cases.push_back(entry.path().string());
    }
    std::sort(cases.begin(), cases.end());
    return cases;
}

// The published parts that have a geometry group, in publication order (cell zones have none).
std::vector<const vxphost::PublishedPart*> partsWithGroups(const vxphost::RecordingMetaData& metaData) {
    std::vector<const vxphost::PublishedPart*> parts;
    for (const auto& part : metaData.parts())
        if (vxphost::classifyPart(part) != PartKind::CellZone) parts.push_back(&part);
    return parts;
}

int uniformPartId(const vxphost::RecordingElementGroup& group) {
    const std::vector<int>& ids = group.partIds();
    if (ids.empty()) return -1;
    for (int id : ids)
        if (id != ids.front()) return -1;
    return ids.front();
}

size_t itemsOf(ProviderHarness& host, const Piece& piece, bool elementResult) {
    const auto& geometry = host.geometryRecord();
    const auto& elements = geometry.elementGroup(piece.groupIndex);
    return elementResult ? elements.elementCount() : geometry.nodeGroupOf(elements)->nodeCount();
}

// How many requests took each road, over all cases.
struct Roads {
    size_t held = 0, lacking = 0, displacements = 0;
};

void checkCase(const std::string& folder, Roads* roads) {
    SCOPED_TRACE(folder);
    ProviderHarness host;
    host.options().setBool("LOAD_FACE_ZONES", true);
    ASSERT_TRUE(host.open(folder));
    ASSERT_TRUE(host.geometry());
    const auto& geometry = host.geometryRecord();
    const auto ordered = partsWithGroups(host.metaData());
    ASSERT_EQ(geometry.elementGroupCount(), ordered.size());

    // Each group whose elements carry one part id carries the id of the part at its place.
    for (size_t g = 0; g < ordered.size(); ++g) {
        const int carried = uniformPartId(geometry.elementGroup(g));
        if (carried >= 0 && vxphost::classifyPart(*ordered[g]) != PartKind::Volume) {
            EXPECT_EQ(carried, ordered[g]->id) << "group " << g;
        }
    }

    const std::vector<Piece> pieces = vxphost::matchPiecesToParts(host.metaData(), geometry);
    size_t valued = 0, partValued = 0;
    for (const Piece& piece : pieces) {
        ASSERT_NE(piece.partId, -1) << "group " << piece.groupIndex;
        if (piece.kind != PartKind::FaceZone) ++valued;
        if (piece.kind == PartKind::Volume || piece.kind == PartKind::Patch) ++partValued;
    }

    for (const auto& state : host.metaData().states()) {
        for (const auto& published : host.metaData().results()) {
            SCOPED_TRACE(published.name + " at " + state.name);
            vxphost::RecordingResult values;
            ASSERT_TRUE(host.result(published.id, state.id, &values));
            const size_t count = values.valueGroupCount();
            // All pieces that take values, or (displacements, a result this state lacks) those of the parts.
            EXPECT_TRUE(count == valued || count == partValued) << count << " value groups";
            if (published.displacementMode) {
                EXPECT_EQ(count, partValued);
                ++roads->displacements;
            } else if (count == valued) {
                ++roads->held;
            } else {
                ++roads->lacking;
            }
            const std::vector<size_t> owners = vxphost::valueGroupPieces(pieces, count);
            for (size_t v = 0; v < count; ++v) {
                ASSERT_NE(owners[v], vxphost::NO_PIECE);
                const Piece& piece = pieces[owners[v]];
                EXPECT_EQ(values.valueGroup(v).tuples(), itemsOf(host, piece, published.elementResult))
                    << "value group " << v << " (" << piece.name << ")";
            }
        }
    }
}

}  // namespace

TEST(PieceOrder, ValueGroupsLineUpWithGeometryGroupsInEveryRealCase) {
    const std::vector<std::string> cases = realCases();
    ASSERT_GE(cases.size(), 10u);
    Roads roads;
    for (const std::string& folder : cases) checkCase(folder, &roads);
    // Results the state holds, results it lacks (the undefined road) and displacements were all met.
    EXPECT_GT(roads.held, 0u);
    EXPECT_GT(roads.lacking, 0u);
    EXPECT_GT(roads.displacements, 0u);
}
