#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "io/OFFile.h"
#include "tests/support/CaseWriter.h"
#include "tests/support/LogCapture.h"

using namespace testsupport;

namespace {

class ListTest : public ::testing::Test {
protected:
    void SetUp() override { dir = makeTempFolder("lists"); }
    void TearDown() override { removeFolder(dir); }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    bool readPoints(const std::string& name, std::vector<double>* values) {
        OFFile file(true);
        return file.readVectorField(path(name).c_str(), "points", values);
    }
    bool readFaces(const std::string& name, FacesData* faces) {
        OFFile file(true);
        return file.readFaceList(path(name).c_str(), "faces", faces);
    }
    bool readOwner(const std::string& name, std::vector<int>* labels, int* cells) {
        OFFile file(true);
        return file.readLabelList(path(name).c_str(), "owner", labels, cells);
    }

    static std::vector<double> randomPoints(size_t n) {
        std::mt19937 rng(7);
        std::uniform_real_distribution<double> uni(-1e3, 1e3);
        std::vector<double> points(3 * n);
        for (double& v : points) v = uni(rng);
        return points;
    }

    static std::vector<std::vector<int>> randomFaces(size_t n, int maxNodes = 12) {
        std::mt19937 rng(11);
        std::uniform_int_distribution<int> count(3, maxNodes);
        std::uniform_int_distribution<int> index(0, 2000000);
        std::vector<std::vector<int>> faces(n);
        for (auto& face : faces) {
            face.resize(static_cast<size_t>(count(rng)));
            for (int& v : face) v = index(rng);
        }
        return faces;
    }

    static void expectFaces(const FacesData& got, const std::vector<std::vector<int>>& expected) {
        ASSERT_EQ(got.faceCount(), expected.size());
        for (size_t f = 0; f < expected.size(); ++f) {
            ASSERT_EQ(got.nodeCounts[f], expected[f].size()) << "face " << f;
            for (size_t k = 0; k < expected[f].size(); ++k)
                ASSERT_EQ(got.nodeIndices[static_cast<size_t>(got.startOffsets[f]) + k], expected[f][k]) << "face " << f;
        }
    }

    void writePoints(const std::string& name, const std::vector<double>& points, const WriteOptions& options) {
        writeFile(path(name), foamFile("vectorField", "points", pointsBody(points, options), options), options.gzip);
    }
    void writeFaces(const std::string& name, const std::vector<std::vector<int>>& faces, const WriteOptions& options) {
        const bool compact = options.binary || options.compactFaces;
        writeFile(path(name), foamFile(compact ? "faceCompactList" : "faceList", "faces", facesBody(faces, options), options),
                  options.gzip);
    }
    void writeOwner(const std::string& name, const std::vector<int>& labels, const WriteOptions& options,
                    const std::string& note = "    note \"nPoints:10 nCells:4 nFaces:20 nInternalFaces:8\";\n") {
        writeFile(path(name), foamFile("labelList", "owner", labelsBody(labels, options), options, note), options.gzip);
    }

    std::string dir;
};

WriteOptions ascii() { return WriteOptions{}; }
WriteOptions binary(int labelBits = 32, int scalarBits = 64) {
    WriteOptions o;
    o.binary = true;
    o.labelBits = labelBits;
    o.scalarBits = scalarBits;
    return o;
}
WriteOptions gzipped(WriteOptions o) {
    o.gzip = true;
    return o;
}

}  // namespace

TEST_F(ListTest, PointsRoundTripInEveryFormat) {
    // Enough points for several passes of four chunks.
    const std::vector<double> points = randomPoints(120000);
    const std::vector<std::pair<std::string, WriteOptions>> formats = {
        {"ascii", ascii()}, {"gz", gzipped(ascii())}, {"binary", binary()}, {"binarygz", gzipped(binary())}};
    for (const auto& format : formats) {
        writePoints(format.first, points, format.second);
        std::vector<double> got;
        ASSERT_TRUE(readPoints(format.first, &got)) << format.first;
        ASSERT_EQ(got.size(), points.size()) << format.first;
        for (size_t i = 0; i < points.size(); ++i) ASSERT_DOUBLE_EQ(got[i], points[i]) << format.first << " " << i;
    }
    writePoints("single", points, binary(32, 32));
    std::vector<double> got;
    ASSERT_TRUE(readPoints("single", &got));
    EXPECT_FLOAT_EQ(static_cast<float>(got[5]), static_cast<float>(points[5]));
}

TEST_F(ListTest, PointListsAtChunkBoundaries) {
    // Each ascii point line has the same length, so the line count that fills whole chunks is known.
    const std::string line = "(1.25 -2.5 3.75)\n";
    const size_t perChunk = OFFile::CHUNK_READ_SIZE / line.size();
    for (size_t n : {perChunk - 1, perChunk, perChunk + 1, 4 * perChunk, 4 * perChunk + 1, 9 * perChunk + 3}) {
        std::string body = std::to_string(n) + "\n(\n";
        for (size_t i = 0; i < n; ++i) body += line;
        body += ")\n";
        writeFile(path("p"), foamFile("vectorField", "points", body, ascii()));
        std::vector<double> got;
        ASSERT_TRUE(readPoints("p", &got)) << n;
        ASSERT_EQ(got.size(), 3 * n);
        EXPECT_DOUBLE_EQ(got[3 * n - 1], 3.75);
        EXPECT_DOUBLE_EQ(got[3 * n - 3], 1.25);
    }
}

// Items written as densely as the format allows pack each chunk with several times the items of
// solver-written lines; none may be lost or shifted.
TEST_F(ListTest, DenselyWrittenListsReadWhole) {
    const size_t n = 5 * OFFile::CHUNK_READ_SIZE / 8;
    std::string points = std::to_string(n) + "\n(\n";
    std::string faces = std::to_string(2 * n) + "\n(\n";
    std::vector<std::vector<int>> expectedFaces;
    for (size_t i = 0; i < n; ++i) {
        const int a = static_cast<int>(i % 10), b = static_cast<int>(i / 10 % 10), c = static_cast<int>(i / 100 % 10);
        points += "(" + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + ")\n";
        faces += "3(" + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c) + ")\n1(" +
                 std::to_string(c) + ")\n";
        expectedFaces.push_back({a, b, c});
        expectedFaces.push_back({c});
    }
    writeFile(path("p"), foamFile("vectorField", "points", points + ")\n", ascii()));
    writeFile(path("f"), foamFile("faceList", "faces", faces + ")\n", ascii()));
    std::vector<double> got;
    ASSERT_TRUE(readPoints("p", &got));
    ASSERT_EQ(got.size(), 3 * n);
    for (size_t i = 0; i < n; ++i) {
        ASSERT_EQ(got[3 * i], static_cast<double>(i % 10)) << i;
        ASSERT_EQ(got[3 * i + 2], static_cast<double>(i / 100 % 10)) << i;
    }
    FacesData gotFaces;
    ASSERT_TRUE(readFaces("f", &gotFaces));
    expectFaces(gotFaces, expectedFaces);
}

TEST_F(ListTest, VectorSeparatorsAreRunsOfBlanks) {
    writeFile(path("p"), foamFile("vectorField", "points", "3\n(\n(1  2 3)\n(\t4 5\t6 )\n(-0 1e-05 2.5e+06)\n)\n", ascii()));
    std::vector<double> got;
    ASSERT_TRUE(readPoints("p", &got));
    const std::vector<double> expected = {1, 2, 3, 4, 5, 6, 0, 1e-05, 2.5e6};
    EXPECT_EQ(got, expected);
}

TEST_F(ListTest, ShortOrMalformedListsFailWithOneMessage) {
    const std::vector<std::string> bodies = {
        "3\n(\n(1 2 3)\n(4 5 6)\n)\n",          // fewer than announced
        "3\n(\n(1 2 3)\n(4 x 6)\n(7 8 9)\n)\n",  // a broken line in the middle
        "3\n(\n(1 2 3)\n(4 5 6)\n",             // truncated
        "3\n(\n(1 2 3)\n(4 5)\n(7 8 9)\n)\n",    // two components
    };
    for (const std::string& body : bodies) {
        writeFile(path("p"), foamFile("vectorField", "points", body, ascii()));
        LogCapture capture;
        std::vector<double> got;
        EXPECT_FALSE(readPoints("p", &got)) << body;
        EXPECT_EQ(capture.count(1), 1u) << body;
        EXPECT_TRUE(capture.contains("of 3 items")) << body;
        EXPECT_TRUE(capture.contains(path("p"))) << body;
    }
}

TEST_F(ListTest, SurplusEntriesAreDropped) {
    writeFile(path("p"), foamFile("vectorField", "points", "2\n(\n(1 2 3)\n(4 5 6)\n(7 8 9)\n)\n", ascii()));
    std::vector<double> got;
    ASSERT_TRUE(readPoints("p", &got));
    EXPECT_EQ(got.size(), 6u);
}

TEST_F(ListTest, CountsThatCannotFitTheFileFailAtOnce) {
    writeFile(path("p"), foamFile("vectorField", "points", "2000000000\n(\n(1 2 3)\n)\n", ascii()));
    LogCapture capture;
    std::vector<double> got;
    EXPECT_FALSE(readPoints("p", &got));
    EXPECT_TRUE(capture.contains("Invalid number of items in vector field file"));
    writeFile(path("q"), foamFile("vectorField", "points", "99999999999\n(\n)\n", ascii()));
    EXPECT_FALSE(readPoints("q", &got));
    writeFile(path("f"), foamFile("faceList", "faces", "2147483647\n(\n)\n", ascii()));
    FacesData faces;
    EXPECT_FALSE(readFaces("f", &faces));
    // A compressed file's text is at most about a thousand times its length.
    for (const auto& format : {gzipped(ascii()), gzipped(binary())}) {
        writeFile(path("z"), foamFile("vectorField", "points", "400000000\n(\n(1 2 3)\n)\n", format), true);
        capture.clear();
        EXPECT_FALSE(readPoints("z", &got));
        EXPECT_TRUE(capture.contains("Invalid number of items in vector field file"));
        writeFile(path("y"), foamFile("faceList", "faces", "400000000\n(\n3(0 1 2)\n)\n", format), true);
        EXPECT_FALSE(readFaces("y", &faces));
    }
}

TEST_F(ListTest, FacesRoundTripInEveryFormat) {
    const auto faces = randomFaces(90000);
    WriteOptions compactAscii = ascii();
    compactAscii.compactFaces = true;
    const std::vector<std::pair<std::string, WriteOptions>> formats = {
        {"ascii", ascii()},         {"gz", gzipped(ascii())},  {"compact", compactAscii},
        {"binary", binary()},       {"label64", binary(64)},   {"binarygz", gzipped(binary())}};
    for (const auto& format : formats) {
        writeFaces(format.first, faces, format.second);
        FacesData got;
        ASSERT_TRUE(readFaces(format.first, &got)) << format.first;
        expectFaces(got, faces);
    }
}

TEST_F(ListTest, FaceFormsOfRealFiles) {
    // Faces of more than ten nodes are written over several lines, and may cross a chunk.
    std::vector<std::vector<int>> faces;
    std::string body;
    const std::string filler = "4(10 11 12 13)\n";
    const size_t fillers = OFFile::CHUNK_READ_SIZE / filler.size() - 2;
    for (size_t i = 0; i < fillers; ++i) {
        faces.push_back({10, 11, 12, 13});
        body += filler;
    }
    std::vector<int> big;
    body += "14\n(\n";
    for (int k = 0; k < 14; ++k) {
        big.push_back(100 + k);
        body += std::to_string(100 + k) + "\n";
    }
    body += ")\n3(0 1 2)\n";
    faces.push_back(big);
    faces.push_back({0, 1, 2});
    writeFile(path("f"), foamFile("faceList", "faces",
                                  std::to_string(faces.size()) + "\n(\n" + body + ")\n", ascii()));
    FacesData got;
    ASSERT_TRUE(readFaces("f", &got));
    expectFaces(got, faces);

    writeFile(path("g"), foamFile("faceList", "faces", "1\n(\n3(0 1 2)\n)\n", ascii()));
    ASSERT_TRUE(readFaces("g", &got));
    EXPECT_EQ(got.startOffsets[0], 0);
    EXPECT_EQ(got.nodeCounts[0], 3);
    writeFile(path("e"), foamFile("faceList", "faces", "0\n(\n)\n", ascii()));
    ASSERT_TRUE(readFaces("e", &got));
    EXPECT_EQ(got.faceCount(), 0u);
}

TEST_F(ListTest, BinaryCompactOffsetsGiveFaceSizes) {
    writeFaces("f", {{0, 1, 2}, {3, 4, 5, 6}}, binary());
    FacesData got;
    ASSERT_TRUE(readFaces("f", &got));
    ASSERT_EQ(got.faceCount(), 2u);
    EXPECT_EQ(got.nodeCounts[1], 4);
    EXPECT_EQ(got.startOffsets[1], 3);
}

TEST_F(ListTest, BadFaceListsFail) {
    LogCapture capture;
    FacesData got;
    std::vector<int> wide(300);
    for (int k = 0; k < 300; ++k) wide[static_cast<size_t>(k)] = k;
    writeFaces("wide", {{0, 1, 2}, wide}, ascii());
    EXPECT_FALSE(readFaces("wide", &got));
    EXPECT_TRUE(capture.contains("more than 255 nodes"));
    writeFaces("widebin", {{0, 1, 2}, wide}, binary());
    EXPECT_FALSE(readFaces("widebin", &got));
    writeFile(path("zero"), foamFile("faceList", "faces", "2\n(\n3(0 1 2)\n0()\n)\n", ascii()));
    EXPECT_FALSE(readFaces("zero", &got));
    writeFile(path("neg"), foamFile("faceList", "faces", "1\n(\n3(0 -1 2)\n)\n", ascii()));
    EXPECT_FALSE(readFaces("neg", &got));
    writeFile(path("plainbin"), foamFile("faceList", "faces", "1\n(\n)\n", binary()));
    EXPECT_FALSE(readFaces("plainbin", &got));
    writeFile(path("msb"), foamFile("faceCompactList", "faces", "1\n(\n)\n", binary()).replace(0, 0, ""));
    std::string text = foamFile("faceCompactList", "faces", "2\n(\n)\n", binary());
    text.replace(text.find("LSB"), 3, "MSB");
    writeFile(path("msb"), text);
    capture.clear();
    EXPECT_FALSE(readFaces("msb", &got));
    EXPECT_TRUE(capture.contains("Big-endian"));
}

TEST_F(ListTest, TruncatedCompactFaceListsCountOnlyWholeFaces) {
    // Offsets alone make no face: a list cut in or before its indices never reports more faces
    // read than it announced (it used to say "Read 421 of 420 items").
    const std::vector<std::vector<int>> faces(400, std::vector<int>{0, 1, 2, 3});
    WriteOptions compactAscii = ascii();
    compactAscii.compactFaces = true;
    for (const auto& format : std::vector<std::pair<std::string, WriteOptions>>{
             {"ascii", compactAscii}, {"binary", binary()}, {"label64", binary(64)}}) {
        writeFaces(format.first, faces, format.second);
        std::ifstream in(path(format.first), std::ios::binary);
        const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const size_t indices = whole.rfind("1600");
        ASSERT_NE(indices, std::string::npos);
        for (size_t keep : {indices - 2, indices + 7, indices + (whole.size() - indices) / 2}) {
            writeFile(path("cut"), whole.substr(0, keep));
            LogCapture capture;
            FacesData got;
            EXPECT_FALSE(readFaces("cut", &got)) << format.first << " " << keep;
            const std::vector<std::string> errors = capture.texts(1);
            ASSERT_EQ(errors.size(), 1u) << format.first << " " << keep;
            const std::string& message = errors[0];
            const size_t read = message.find("Read ");
            ASSERT_NE(read, std::string::npos) << message;
            EXPECT_LE(std::stoul(message.substr(read + 5)), 400u) << format.first << " " << keep << ": " << message;
            EXPECT_TRUE(capture.contains("of 400 items")) << message;
        }
    }
}

TEST_F(ListTest, LabelListsWithTheirCellCountNote) {
    std::vector<int> labels(70000);
    for (size_t i = 0; i < labels.size(); ++i) labels[i] = static_cast<int>(i / 3);
    int variant = 0;
    for (const auto& options : {ascii(), gzipped(ascii()), binary(), binary(64)}) {
        const std::string name = "owner" + std::to_string(variant++);
        writeOwner(name, labels, options);
        std::vector<int> got;
        int cells = 0;
        ASSERT_TRUE(readOwner(name, &got, &cells));
        EXPECT_EQ(cells, 4);
        EXPECT_EQ(got, labels);
    }
    // The note as OpenFOAM writes it, and notes that do not give the cell count.
    writeOwner("owner", {0, 1}, ascii(), "    note \"nPoints:882  nCells:400  nFaces:1640  nInternalFaces:760\";\n");
    std::vector<int> got;
    int cells = 0;
    ASSERT_TRUE(readOwner("owner", &got, &cells));
    EXPECT_EQ(cells, 400);
    // Without a note giving it, the cells are counted from the lists (-1 here), as OpenFOAM does.
    LogCapture capture;
    writeOwner("owner", {0, 1}, ascii(), "    note \"nFaces:20 nCells:4\";\n");
    EXPECT_TRUE(readOwner("owner", &got, &cells));
    EXPECT_EQ(cells, -1);
    cells = 0;
    writeOwner("owner", {0, 1}, ascii(), "");
    EXPECT_TRUE(readOwner("owner", &got, &cells));
    EXPECT_EQ(cells, -1);
    EXPECT_EQ(got, (std::vector<int>{0, 1}));
    EXPECT_EQ(capture.count(1), 0u);
}

TEST_F(ListTest, WideLabelsOutOfRangeFail) {
    std::string body = "2\n(";
    const int64_t values[2] = {1, int64_t(1) << 40};
    body.append(reinterpret_cast<const char*>(values), sizeof(values));
    body += ")";
    writeFile(path("owner"), foamFile("labelList", "owner", body, binary(64),
                                      "    note \"nCells:4 nFaces:20\";\n"));
    std::vector<int> got;
    int cells = 0;
    EXPECT_FALSE(readOwner("owner", &got, &cells));
}

TEST_F(ListTest, InlineAndMultiLineLabelListsReadAlike) {
    for (const char* text : {"x 3(4 5 6) ;", "x\n3\n(\n4\n5\n6\n)\n;"}) {
        writeFile(path("l"), text);
        OFFile file(false);
        ASSERT_TRUE(file.open(path("l").c_str()));
        int n = 0;
        ASSERT_TRUE(file.readNextIntLine(&n));
        std::vector<int> labels(static_cast<size_t>(n));
        ASSERT_TRUE(file.readNextLabelList(&labels));
        EXPECT_EQ(labels, (std::vector<int>{4, 5, 6}));
        EXPECT_TRUE(file.skipAfterNext(';'));
    }
    writeFile(path("l"), "x\n3(4 5 6 7)\n");
    OFFile file(false);
    ASSERT_TRUE(file.open(path("l").c_str()));
    int n = 0;
    ASSERT_TRUE(file.readNextIntLine(&n));
    std::vector<int> labels(3);
    EXPECT_FALSE(file.readNextLabelList(&labels)) << "more labels than counted";
}

TEST_F(ListTest, SequentialValueReadersLeaveTheChunkBehindTheList) {
    writeFile(path("v"), "(\n1\n2.5\n-3\n)\n;\nboundaryField\n");
    OFFile file(false);
    ASSERT_TRUE(file.open(path("v").c_str()));
    ASSERT_TRUE(file.skipAfterNext('('));
    std::vector<double> values(3);
    ASSERT_TRUE(file.readNextVolScalarFieldAscii(&values));
    EXPECT_EQ(values, (std::vector<double>{1, 2.5, -3}));
    char* line = nullptr;
    ASSERT_TRUE(file.getNextLine(&line));
    EXPECT_STREQ(line, "boundaryField");

    writeFile(path("w"), "(\n(1 2 3)\n( 4 5 6 )\n)\n;\n");
    ASSERT_TRUE(file.open(path("w").c_str()));
    ASSERT_TRUE(file.skipAfterNext('('));
    std::vector<double> vectors(6);
    ASSERT_TRUE(file.readNextVectorFieldAscii(&vectors));
    EXPECT_EQ(vectors, (std::vector<double>{1, 2, 3, 4, 5, 6}));

    writeFile(path("x"), "(\n1\n2\n3\n)\n;\n");
    ASSERT_TRUE(file.open(path("x").c_str()));
    ASSERT_TRUE(file.skipAfterNext('('));
    std::vector<double> two(2);
    EXPECT_FALSE(file.readNextVolScalarFieldAscii(&two)) << "a longer list than its target";
}
