#include <filesystem>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "model/OFBoundary.h"
#include "model/OFPart.h"
#include "model/OFSampledSurface.h"
#include "model/OFUtilities.h"
#include "tests/support/CaseTree.h"

using vx::Str;

namespace {
std::vector<Str> sorted(std::vector<Str> names) {
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

TEST(ModelEntities, ClassifiersAndInitialValues) {
    EXPECT_EQ(OFBoundary::typeFromFaceNodeCount(3), 3);
    EXPECT_EQ(OFBoundary::typeFromFaceNodeCount(4), 5);
    for (size_t n : {0, 1, 2, 5, 100}) EXPECT_EQ(OFBoundary::typeFromFaceNodeCount(n), 17) << n;
    EXPECT_TRUE(OFBoundary::isResultKeyString("valueFraction"));
    EXPECT_FALSE(OFBoundary::isResultKeyString("Value"));
    EXPECT_FALSE(OFBoundary::isResultKeyString(""));
    EXPECT_TRUE(OFBoundary::isKeyForUsingCellValue("calculated"));
    EXPECT_FALSE(OFBoundary::isKeyForUsingCellValue("fixedValue"));

    OFPart part(4, "default_region", "/case/constant/polyMesh");
    EXPECT_EQ(part.nodeCount(), std::numeric_limits<size_t>::max());
    EXPECT_EQ(part.elementCount(), std::numeric_limits<size_t>::max());
    vx::UnsetVector<int> connectivity = {0, 1, 2, 3, 1, 2, 3, 4};
    const int* storage = connectivity.data();
    vx::UnsetVector<uint8_t> counts = {4, 4};
    part.setConnectivities(std::move(connectivity));
    part.setNodesCountPerElt(std::move(counts));
    EXPECT_TRUE(connectivity.empty());
    EXPECT_TRUE(counts.empty());
    EXPECT_EQ(part.connectivities().data(), storage);  // taken over, not copied
    EXPECT_EQ(part.getElementNodesCount(1), 4);

    const OFSampledSurface surface(3, "cut", "/case/postProcessing/sampleSurface/0.1/cut");
    EXPECT_EQ(surface.userName(), Str("cut[Surf]"));
    EXPECT_EQ(surface.globalPartId(), -1);
}

TEST(ModelUtilities, PathComponents) {
    EXPECT_EQ(OFUtilities::fileNameFromPath("C:\\case\\system\\controlDict"), Str("controlDict"));
    EXPECT_EQ(OFUtilities::folderNameFromPath("/tmp/case/"), Str("case"));
    EXPECT_EQ(OFUtilities::fileNameFromPath("///"), Str(""));
    // A case opened as a bare "case.foam" lies in "."; its title is still the folder's name.
    const std::string working = std::filesystem::current_path().filename().string();
    EXPECT_EQ(OFUtilities::folderNameOf("."), Str::fromUtf8(working));
    EXPECT_EQ(OFUtilities::folderNameOf("/tmp/case"), Str("case"));
    EXPECT_EQ(OFUtilities::folderNameOf("/tmp/case/sub/.."), Str("case"));
    EXPECT_EQ(OFUtilities::fileBaseName("/a/b/U.gz"), Str("U"));
    EXPECT_EQ(OFUtilities::fileBaseName("/a/b/p"), Str("p"));
    EXPECT_EQ(OFUtilities::fileBaseName("/a/b/k.orig.gz"), Str("k.orig"));
    EXPECT_EQ(OFUtilities::fileBaseName("/a/b/abc."), Str("abc"));
    EXPECT_EQ(OFUtilities::fileBaseName("/a/b/.abc"), Str(""));
    EXPECT_EQ(OFUtilities::fileBaseName("/a.d/b"), Str("b"));
}

TEST(ModelUtilities, ListingsAndSymbolicLinks) {
    CaseTree tree;
    tree.mkdir("x/.hidden");
    tree.mkdir("x/uniform");
    tree.mkdir("x/r\xc3\xa9gion");
    tree.write("x/U", "u");
    const Str x = tree.path("x");
    EXPECT_TRUE(OFUtilities::fileExists(x + "/U"));
    EXPECT_FALSE(OFUtilities::fileExists(x + "/T"));
    EXPECT_EQ(sorted(OFUtilities::subFolders(x)), (std::vector<Str>{".hidden", Str::fromUtf8("r\xc3\xa9gion"), "uniform"}));
    EXPECT_TRUE(OFUtilities::fileExists(x + "/" + Str::fromUtf8("r\xc3\xa9gion")));
    EXPECT_EQ(sorted(OFUtilities::filesInFolder(x)),
              (std::vector<Str>{x + "/.hidden", x + "/U", x + "/" + Str::fromUtf8("r\xc3\xa9gion"), x + "/uniform"}));
    EXPECT_TRUE(OFUtilities::subFolders(tree.path("missing")).empty());
    EXPECT_TRUE(OFUtilities::filesInFolder(x + "/U").empty());

    tree.mkdir("data/run/0.1");
    tree.write("data/file", "f");
    if (!tree.symlink(tree.path("data/run").toUtf8(), "case/absolute")) GTEST_SKIP() << "no symbolic links here";
    // Relative targets are taken from the folder that holds the link, not from the working folder.
    ASSERT_TRUE(tree.symlink("../data/run", "case/relative"));
    ASSERT_TRUE(tree.symlink("../data/file", "case/toFile", false));
    ASSERT_TRUE(tree.symlink("../data/gone", "case/broken"));
    ASSERT_TRUE(tree.symlink("relative", "case/chained"));
    EXPECT_EQ(sorted(OFUtilities::subFolders(tree.path("case"))), (std::vector<Str>{"absolute", "chained", "relative"}));
    EXPECT_EQ(OFUtilities::subFolders(tree.path("case/relative")), std::vector<Str>{"0.1"});
    EXPECT_EQ(OFUtilities::filesInFolder(tree.path("case")).size(), 5u);
}
