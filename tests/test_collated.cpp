// Collated decomposed runs (-fileHandler collated): the container format, and runs read exactly
// as the same runs written per processor (tests/data, made from one set-up in both ways).
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/Undefined.h"
#include "io/CollatedFiles.h"
#include "io/DecomposedBlockData.h"
#include "io/OFFile.h"
#include "plugin/OpenFoamProvider.h"
#include "tests/support/CaseWriter.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ProviderHarness.h"

using vxphost::NotificationCall;
using vxphost::NotificationKind;

namespace {

const std::string DATA = FOAMPROVIDER_TEST_DATA_DIR;

const std::string OUTER_HEADER =
    "/* banner */\nFoamFile\n{\n    version 2.0;\n    format binary;\n    class decomposedBlockData;\n"
    "    location \"/a/processors3/0.1/p\";\n    object p;\n}\n// * * //\n\n";

std::string block(int rank, const std::string& bytes, const char* word = "Processor") {
    return "\n// " + std::string(word) + std::to_string(rank) + "\n\n" + std::to_string(bytes.size()) + "\n(" + bytes + ")\n";
}

std::vector<std::string> blockTexts(const std::string& text, std::string* error) {
    std::vector<blockdata::Block> blocks;
    error->clear();
    blockdata::indexBlocks(text.data(), text.size(), &blocks, error);
    std::vector<std::string> out;
    for (const blockdata::Block& b : blocks) out.push_back(text.substr(b.offset, b.size));
    return out;
}

// Everything the host receives from a case: meta data calls (the title aside), every geometry
// group, every result at every state.
struct HostView {
    std::vector<std::string> metaData;
    std::vector<std::vector<double>> coordinates;
    std::vector<std::vector<int>> nodeIds;
    std::vector<std::vector<int>> connectivity, types, elementIds, partIds;
    std::vector<std::vector<double>> values;
};

HostView viewOf(const std::string& caseFolder, bool hideProcessorPatches = false) {
    HostView view;
    ProviderHarness host;
    host.options().setBool("HIDE_PARALLEL_INTERFACES", hideProcessorPatches);
    EXPECT_TRUE(host.open(caseFolder)) << caseFolder;
    for (const auto& call : host.metaData().calls()) {
        if (call.operation == "setProblemInfo") continue;
        std::string text = call.object + "." + call.operation;
        for (const std::string& argument : call.arguments) text += " " + argument;
        view.metaData.push_back(text);
    }
    EXPECT_TRUE(host.geometry());
    const auto& geometry = host.geometryRecord();
    for (size_t g = 0; g < geometry.elementGroupCount(); ++g) {
        const auto& nodes = geometry.nodeGroup(g);
        const auto& elements = geometry.elementGroup(g);
        view.coordinates.push_back(nodes.coordinates());
        view.nodeIds.push_back(nodes.nodeIds());
        view.connectivity.push_back(elements.connectivity());
        view.types.push_back(std::vector<int>(elements.types().begin(), elements.types().end()));
        view.elementIds.push_back(elements.elementIds());
        view.partIds.push_back(elements.partIds());
    }
    for (const auto& state : host.metaData().states()) {
        for (const auto& result : host.metaData().results()) {
            vxphost::RecordingResult values;
            EXPECT_TRUE(host.result(result.id, state.id, &values)) << result.name;
            for (size_t g = 0; g < values.valueGroupCount(); ++g) view.values.push_back(values.valueGroup(g).values());
        }
    }
    return view;
}

// The nodes a group's elements use, each as often as it is used (the order of a cell's nodes is
// the converter's matter, tested with it).
std::vector<int> usedNodes(std::vector<int> connectivity) {
    std::sort(connectivity.begin(), connectivity.end());
    return connectivity;
}

void expectSameElements(const HostView& a, const HostView& b) {
    ASSERT_EQ(a.connectivity.size(), b.connectivity.size());
    for (size_t g = 0; g < a.connectivity.size(); ++g)
        EXPECT_EQ(usedNodes(a.connectivity[g]), usedNodes(b.connectivity[g])) << "group " << g;
}

// Case folders below the test data, or absolute paths.
void expectSameView(const std::string& perProcessor, const std::string& collated, bool hide = false) {
    SCOPED_TRACE(collated);
    const auto folder = [](const std::string& name) { return name.front() == '/' ? name : DATA + "/" + name; };
    const HostView a = viewOf(folder(perProcessor), hide);
    const HostView b = viewOf(folder(collated), hide);
    EXPECT_EQ(a.metaData, b.metaData);
    ASSERT_EQ(a.coordinates.size(), b.coordinates.size());
    for (size_t g = 0; g < a.coordinates.size(); ++g) {
        EXPECT_EQ(a.coordinates[g], b.coordinates[g]) << "group " << g;
        EXPECT_EQ(a.nodeIds[g], b.nodeIds[g]) << "group " << g;
        EXPECT_EQ(a.types[g], b.types[g]) << "group " << g;
        EXPECT_EQ(a.elementIds[g], b.elementIds[g]) << "group " << g;
        EXPECT_EQ(a.partIds[g], b.partIds[g]) << "group " << g;
    }
    expectSameElements(a, b);
    ASSERT_EQ(a.values.size(), b.values.size());
    size_t defined = 0;
    for (size_t v = 0; v < a.values.size(); ++v) {
        EXPECT_EQ(a.values[v], b.values[v]) << "value group " << v;
        defined += static_cast<size_t>(std::count_if(a.values[v].begin(), a.values[v].end(),
                                                     [](double x) { return x != vx::UNDEFINED_DOUBLE; }));
    }
    EXPECT_GT(defined, 0u);
}

std::string copyOfData(const std::string& name) {
    const std::string dir = testsupport::makeTempFolder(name);
    std::filesystem::copy(DATA + "/" + name, dir, std::filesystem::copy_options::recursive);
    return dir;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Group indices of each part's volume group.
std::vector<size_t> volumeGroups(ProviderHarness& host) {
    const OFReader& reader = dynamic_cast<OpenFoamProvider*>(host.provider())->reader();
    std::vector<size_t> groups;
    size_t g = 0;
    for (size_t i = 0; i < reader.partCount(); ++i) {
        groups.push_back(g);
        g += 1 + reader.part(i).boundaries().size();
    }
    return groups;
}

size_t undefinedCount(const std::vector<double>& values) {
    return static_cast<size_t>(std::count(values.begin(), values.end(), vx::UNDEFINED_DOUBLE));
}

std::string readMaybeGz(const std::string& path) {
    gzFile file = gzopen(path.c_str(), "rb");
    std::string text;
    char chunk[65536];
    int n = 0;
    while (file && (n = gzread(file, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<size_t>(n));
    if (file) gzclose(file);
    return text;
}

// Rewrites a case written per processor as OpenFOAM's collated file handler would: every file of
// processor0..processor<ranks-1> becomes one container in processors<ranks> (compressed when the
// files were), block 0 the whole file of rank 0, the others the bodies of theirs.
void collate(const std::string& caseFolder, int ranks) {
    namespace fs = std::filesystem;
    const std::string run = caseFolder + "/processors" + std::to_string(ranks);
    for (const auto& entry : fs::recursive_directory_iterator(caseFolder + "/processor0")) {
        if (!entry.is_regular_file()) continue;
        const std::string relative = fs::relative(entry.path(), caseFolder + "/processor0").string();
        std::string text = OUTER_HEADER;
        for (int k = 0; k < ranks; ++k) {
            const std::string file = readMaybeGz(caseFolder + "/processor" + std::to_string(k) + "/" + relative);
            const std::string bytes = k == 0 ? file : file.substr(blockdata::headerEnd(file.data(), file.size()));
            text += block(k, bytes);
        }
        const bool gz = relative.size() > 3 && relative.compare(relative.size() - 3, 3, ".gz") == 0;
        testsupport::writeFile(run + "/" + (gz ? relative.substr(0, relative.size() - 3) : relative), text, gz);
    }
    for (int k = 0; k < ranks; ++k) fs::remove_all(caseFolder + "/processor" + std::to_string(k));
}

}  // namespace

TEST(CollatedContainer, BlocksAreIndexedByTheirByteCounts) {
    std::string error;
    // Counts are bytes: a block may hold anything, parentheses and comment marks included.
    const std::string body1 = "dimensions [0 2 -2 0 0 0 0];\ninternalField uniform 1; // ) (";
    const std::string binary("\x00\x01)(\xff", 5);
    const std::string text = OUTER_HEADER + block(0, "FoamFile { format ascii; }\n0()") + block(1, body1, "processor") +
                             "\n// Processor2\n\n0\n" + block(3, binary);
    const std::vector<std::string> blocks = blockTexts(text, &error);
    EXPECT_EQ(error, "");
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(blocks[1], body1);
    EXPECT_EQ(blocks[2], "");
    EXPECT_EQ(blocks[3], binary);
    EXPECT_TRUE(blockdata::isContainer(text.data(), text.size()));
    EXPECT_EQ(text.compare(blockdata::headerEnd(text.data(), text.size()) - 2, 2, "\n}"), 0);
    const std::string withMeta = "FoamFile\n{\n    meta { names (a b); }\n    class decomposedBlockData;\n}\n";
    EXPECT_TRUE(blockdata::isContainer(withMeta.data(), withMeta.size()));
    const std::string field = "FoamFile\n{\n    class volScalarField;\n}\n";
    EXPECT_FALSE(blockdata::isContainer(field.data(), field.size()));
}

TEST(CollatedContainer, BrokenContainersKeepTheBlocksBeforeTheFault) {
    const std::string good = OUTER_HEADER + block(0, "abc") + block(1, "de");
    struct Case {
        std::string text;
        size_t blocks;
        std::string error;
    };
    const std::vector<Case> cases = {
        {good.substr(0, good.size() - 3), 1, "a byte count past the end of the file"},   // cut short
        {good + "\n// Processor2\n\n99999999999999999999999\n(", 2, "a byte count past the end of the file"},
        {good + "\n// Processor2\n\n18446744073709551617\n(x)", 2, "a byte count past the end of the file"},
        {OUTER_HEADER + "\n3\n(abcd)", 0, "no \")\" where a block ends"},
        {OUTER_HEADER + "\n3 abc", 0, "no \"(\" after a byte count"},
        {good + "garbage", 2, "text where a byte count should stand"},
        {"no header at all", 0, "no FoamFile header"},
        {"FoamFile\n{\n    class decomposedBlockData;\n", 0, "no FoamFile header"},  // unclosed header
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(blockTexts(c.text, &error).size(), c.blocks) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(Collated, ReadAsTheSameRunWrittenPerProcessor) {
    expectSameView("uncollated_binary", "collated_binary");
    // writeCompression on (p.gz holding every rank) and -ioRanks: the times in processors4_0-1 and
    // processors4_2-3, the mesh in processors4.
    expectSameView("uncollated_ascii_gz", "collated_ascii_gz", true);
    // Five regions in four ranks, with empty blocks for the ranks without heater cells.
    expectSameView("multi_region_decomposed", "multi_region_collated");
}

// Decomposed per processor, then run with the collated file handler: the mesh and the first time
// stay in processor<k>, the later times are written into processors<N>.
TEST(Collated, ARunDecomposedPerProcessorAndWrittenCollatedIsOneRun) {
    namespace fs = std::filesystem;
    const std::string dir = copyOfData("uncollated_binary");
    for (int k = 0; k < 4; ++k)
        for (const char* time : {"0.05", "0.1"}) fs::remove_all(dir + "/processor" + std::to_string(k) + "/" + time);
    fs::copy(DATA + "/collated_binary/processors4", dir + "/processors4", fs::copy_options::recursive);
    fs::remove_all(dir + "/processors4/constant");
    fs::remove_all(dir + "/processors4/0");
    {
        LogCapture log;
        expectSameView("uncollated_binary", dir);
        EXPECT_EQ(log.count(1), 0u) << (log.count(1) ? log.texts(1).front() : "");
    }

    // Processor folders of another decomposition are read alone, and the collated folder is no mesh.
    fs::remove_all(dir + "/processor3");
    LogCapture log;
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_TRUE(host.geometry());
    std::vector<std::string> volumes;
    for (const auto& part : host.metaData().parts())
        if (part.via == vxphost::PartVia::Geometry) volumes.push_back(part.name);
    EXPECT_EQ(volumes, (std::vector<std::string>{"processor0", "processor1", "processor2"}));
    EXPECT_EQ(log.count(1), 0u) << (log.count(1) ? log.texts(1).front() : "");
    testsupport::removeFolder(dir);
}

TEST(Collated, EachFileIsReadOnceForAllRanksOfARequest) {
    ProviderHarness host;
    ASSERT_TRUE(host.open(DATA + "/collated_binary"));
    size_t before = collated::filesRead();
    ASSERT_TRUE(host.geometry());
    EXPECT_EQ(collated::filesRead() - before, 4u);  // points, faces, owner, neighbour
    before = collated::filesRead();
    vxphost::RecordingResult values;
    ASSERT_TRUE(host.result(host.resultNamed("Pressure")->id, 3, &values));
    EXPECT_EQ(collated::filesRead() - before, 1u);
    // The next request reads the file again (it may have changed in between).
    ASSERT_TRUE(host.result(host.resultNamed("Pressure")->id, 3, &values));
    EXPECT_EQ(collated::filesRead() - before, 2u);
}

TEST(Collated, TimeFoldersAppearAndVanishInTheRunFolder) {
    const std::string dir = copyOfData("collated_binary");
    ProviderHarness host;
    ASSERT_TRUE(host.open(dir));
    ASSERT_EQ(host.metaData().states().size(), 3u);
    ASSERT_TRUE(host.geometry());
    std::filesystem::copy(dir + "/processors4/0.1", dir + "/processors4/0.15", std::filesystem::copy_options::recursive);
    std::vector<NotificationCall> calls;
    ASSERT_TRUE(host.poll(&calls));
    ASSERT_FALSE(calls.empty());  // then the states held since opening, under their new ids
    EXPECT_EQ(calls[0].kind, NotificationKind::Add);
    EXPECT_DOUBLE_EQ(calls[0].value, 0.15);
    vxphost::RecordingResult values;
    ASSERT_TRUE(host.result(host.resultNamed("Pressure")->id, calls[0].id, &values));
    for (size_t g : volumeGroups(host)) {
        EXPECT_EQ(values.valueGroup(g).values().size(), 25u);
        EXPECT_EQ(undefinedCount(values.valueGroup(g).values()), 0u);
    }
    host.poll(&calls);  // the verification pass
    std::filesystem::remove_all(dir + "/processors4/0.15");
    ASSERT_TRUE(host.poll(&calls));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().kind, NotificationKind::Remove);
    testsupport::removeFolder(dir);
}

TEST(Collated, BrokenContainerLosesOnlyTheRanksItCannotGive) {
    const std::string dir = copyOfData("collated_binary");
    const std::string file = dir + "/processors4/0.1/p";
    const std::string original = readBytes(file);
    const size_t rank2 = original.find("// Processor2");
    ASSERT_NE(rank2, std::string::npos);
    struct Damage {
        const char* what;
        std::string bytes;
        std::vector<size_t> lostRanks;
    };
    std::string garbled = original;
    const size_t field1 = garbled.find("internalField", garbled.find("// Processor1"));
    garbled.replace(field1, 13, "internalFiel#");
    std::string countPastEnd = original;
    countPastEnd.insert(original.find('\n', rank2 + 16), "00000000");
    const std::vector<Damage> damages = {
        {"cut short in rank 2's block", original.substr(0, rank2 + 60), {2, 3}},
        {"three blocks for four ranks", original.substr(0, original.find("// Processor3")), {3}},
        {"a byte count past the end", countPastEnd, {2, 3}},
        {"a block that does not parse", garbled, {1}},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        writeBytes(file, damage.bytes);
        ProviderHarness host;
        ASSERT_TRUE(host.open(dir));
        ASSERT_TRUE(host.geometry());
        LogCapture log;
        vxphost::RecordingResult values;
        ASSERT_TRUE(host.result(host.resultNamed("Pressure")->id, 3, &values));
        const std::vector<size_t> groups = volumeGroups(host);
        for (size_t rank = 0; rank < 4; ++rank) {
            const bool lost = std::count(damage.lostRanks.begin(), damage.lostRanks.end(), rank) > 0;
            EXPECT_EQ(undefinedCount(values.valueGroup(groups[rank]).values()), lost ? 25u : 0u) << "rank " << rank;
            // An error names the container and the rank.
            const std::vector<std::string> errors = log.texts(1);
            const auto naming = std::count_if(errors.begin(), errors.end(), [rank](const std::string& line) {
                const std::string k = std::to_string(rank);
                return (line.find("processors4/0.1/p") != std::string::npos &&
                        (line.find("[rank " + k + "]") != std::string::npos ||
                         line.find("block of rank " + k + " ") != std::string::npos)) ||
                       line.find("processors4/processor" + k + "/0.1/p") != std::string::npos;
            });
            EXPECT_EQ(naming > 0, lost) << "rank " << rank;
        }
    }
    testsupport::removeFolder(dir);
}

TEST(Collated, SixtyFourBitLabelsThirtyTwoBitScalarsCompressed) {
    using namespace testsupport;
    // Two ranks of different sizes, binary with 64-bit labels and 32-bit scalars, gzip.
    const std::string perProcessor = makeTempFolder("uncollated64");
    writeCaseSkeleton(perProcessor);
    WriteOptions options;
    options.binary = true;
    options.gzip = true;
    options.labelBits = 64;
    options.scalarBits = 32;
    const Mesh meshes[2] = {hexBlockMesh(2, 1, 1), tetBlockMesh(1, 2, 1)};
    for (int k = 0; k < 2; ++k) {
        const std::string processor = perProcessor + "/processor" + std::to_string(k);
        writePolyMesh(processor + "/constant/polyMesh", meshes[k], options);
        std::vector<PatchField> patches;
        for (const Patch& p : meshes[k].patches) patches.push_back({p.name, "type zeroGradient;"});
        std::vector<double> values(static_cast<size_t>(meshes[k].cellCount));
        for (size_t c = 0; c < values.size(); ++c) values[c] = 0.5 * static_cast<double>(c) + k;
        for (const char* time : {"0", "1"})
            writeFile(processor + "/" + time + "/p",
                      fieldFile("volScalarField", "p", "[0 2 -2 0 0 0 0]", values, 1, patches, options), true);
        // Moved points at 1: the displacement result.
        std::vector<double> moved = meshes[k].points;
        for (double& x : moved) x *= 2.0;
        writeFile(processor + "/1/polyMesh/points", foamFile("vectorField", "points", pointsBody(moved, options), options),
                  true);
    }
    const std::string collatedCase = makeTempFolder("collated64");
    std::filesystem::copy(perProcessor, collatedCase, std::filesystem::copy_options::recursive);
    collate(collatedCase, 2);
    ASSERT_TRUE(std::filesystem::exists(collatedCase + "/processors2/1/p.gz"));

    const HostView a = viewOf(perProcessor);
    const HostView b = viewOf(collatedCase);
    EXPECT_EQ(a.metaData, b.metaData);
    EXPECT_EQ(a.coordinates, b.coordinates);
    EXPECT_EQ(a.types, b.types);
    expectSameElements(a, b);
    EXPECT_EQ(a.values, b.values);
    ASSERT_GE(b.coordinates.size(), 2u);
    EXPECT_FALSE(b.coordinates[0].empty());
    // Rank 0's cell values, and rank 1's moved points at time 1 as the displacement result.
    EXPECT_NE(std::find(b.values.begin(), b.values.end(), std::vector<double>{0.0, 0.5}), b.values.end());
    std::vector<double> moved = meshes[1].points;
    for (double& x : moved) x *= 2.0;
    EXPECT_NE(std::find(b.values.begin(), b.values.end(), moved), b.values.end());
    removeFolder(perProcessor);
    removeFolder(collatedCase);
}

TEST(Collated, EveryRankSeesTheHeaderItsOwnSearchWouldFind) {
    // Headers are searched for once per container (and once in a file all ranks share); each
    // rank, streamed or read whole, must still get what its own search of its text would give.
    const std::string root = testsupport::makeTempFolder("collatedheaders") + "/processors2";
    collated::registerRun(root, 2, {{root, 0, 1}});
    const std::string header =
        "FoamFile\n{\n    format ascii;\n    class labelList;\n    note \"nPoints:8 nCells:3 nFaces:3\";\n    object owner;\n}\n";
    auto container = [&](const std::string& front, const std::string& ownHeader) {
        return OUTER_HEADER + block(0, front + ownHeader + "3(0 1 2)\n") + block(1, "2(5 6)\n");
    };
    auto readRank = [&](int rank, std::vector<int>* labels, std::string* noteReadWhole) {
        const vx::Str path = vx::Str::fromUtf8(root + "/processor" + std::to_string(rank) + "/owner");
        OFFile streamed(true);
        int cells = 0;
        const bool ok = streamed.readLabelList(path, "owner", labels, &cells);
        OFFile whole(true);
        *noteReadWhole = whole.loadWhole(path) ? whole.headerValue("class") + "|" + whole.headerValue("note") : "failed";
        return ok;
    };
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::vector<int>> labels;  // per rank; empty: not readable
        std::vector<std::string> headers;      // per rank, as loadWhole sees it
    };
    const std::string longComment = "/*" + std::string(70000, '-') + "*/\n";
    const std::vector<Case> cases = {
        {"container", container("", header), {{0, 1, 2}, {5, 6}}, {"labelList|\"nPoints:8 nCells:3 nFaces:3\"", "labelList|"}},
        // Beyond the first 64 KB of block 0: rank 0 finds it itself, the others cannot borrow it.
        {"block 0's header behind a long comment", container(longComment, header), {{0, 1, 2}, {}},
         {"labelList|\"nPoints:8 nCells:3 nFaces:3\"", "failed"}},
        {"block 0 without a header", container("// none\n", ""), {{}, {}}, {"failed", "failed"}},
        {"a file all ranks share", header + "3(0 1 2)\n", {{0, 1, 2}, {0, 1, 2}},
         {"labelList|\"nPoints:8 nCells:3 nFaces:3\"", "labelList|\"nPoints:8 nCells:3 nFaces:3\""}},
        {"a shared file without a header", "3(0 1 2)\n", {{}, {}}, {"failed", "failed"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::writeFile(root + "/owner", c.text);
        const collated::RequestScope scope;
        LogCapture log;
        for (int rank = 0; rank < 2; ++rank) {
            std::vector<int> labels;
            std::string seen;
            const bool ok = readRank(rank, &labels, &seen);
            EXPECT_EQ(ok, !c.labels[rank].empty()) << "rank " << rank;
            if (ok) {
                EXPECT_EQ(labels, c.labels[rank]) << "rank " << rank;
            }
            EXPECT_EQ(seen, c.headers[rank]) << "rank " << rank;
        }
    }
    collated::unregisterRun(root);
    testsupport::removeFolder(root + "/..");
}

TEST(Collated, AFieldFileRankZeroCannotReadLeavesTheOtherRanksTheirValues) {
    struct Case {
        const char* data;
        const char* damaged;
        std::vector<size_t> lostRanks;
        const char* namedInError;
    };
    // Per processor, processor0's file as a stopped run leaves it (empty): the field is still
    // listed from the other ranks. Collated, block 0's header is every rank's header.
    const std::vector<Case> cases = {
        {"uncollated_binary", "processor0/0.1/p", {0}, "processor0/0.1/p"},
        {"collated_binary", "processors4/0.1/p", {0, 1, 2, 3}, "processors4/0.1/p"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const std::string dir = copyOfData(c.data);
        const std::string file = dir + "/" + c.damaged;
        std::string bytes;
        if (std::string(c.data) == "collated_binary") {
            bytes = readBytes(file);
            bytes.replace(bytes.find("FoamFile", bytes.find("// Processor0")), 8, "FoamFilx");
        }
        writeBytes(file, bytes);
        ProviderHarness host;
        const LogCapture log;  // after the plug-in's entry, which sets the host's logger
        ASSERT_TRUE(host.open(dir));
        ASSERT_TRUE(host.geometry());
        ASSERT_NE(host.resultNamed("Pressure"), nullptr);
        vxphost::RecordingResult values;
        ASSERT_TRUE(host.result(host.resultNamed("Pressure")->id, 3, &values));
        const std::vector<size_t> groups = volumeGroups(host);
        for (size_t rank = 0; rank < 4; ++rank) {
            const bool lost = std::count(c.lostRanks.begin(), c.lostRanks.end(), rank) > 0;
            EXPECT_EQ(undefinedCount(values.valueGroup(groups[rank]).values()), lost ? 25u : 0u) << "rank " << rank;
        }
        const std::vector<std::string> errors = log.texts(1);
        ASSERT_EQ(errors.size(), 1u) << ::testing::PrintToString(errors);
        EXPECT_NE(errors[0].find(c.namedInError), std::string::npos) << errors[0];
        testsupport::removeFolder(dir);
    }
}
