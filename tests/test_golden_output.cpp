// Everything the plug-in hands to a host for the real cases in tests/data and for generated meshes
// of every cell shape, compared with the record in tests/data/golden: meta data, every element
// and node group (counts, types, checksums of connectivity, polyhedron tables, coordinates, ids
// and part ids), every result at every state, and the log lines (timings masked).
//
// A change of output made on purpose is recorded with
//     FOAMPROVIDER_UPDATE_GOLDEN=1 build/tests/foamprovider_tests --gtest_filter='*Golden*'
// and the diff of tests/data/golden/ goes into the same commit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iomanip>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/CaseWriter.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ProviderHarness.h"

using namespace vxphost;

namespace {

const std::string DATA = FOAMPROVIDER_TEST_DATA_DIR;

// FNV-1a over the bytes of an array: equal only for bit-identical contents.
template <typename T>
std::string digest(const std::vector<T>& values) {
    uint64_t h = 1469598103934665603ULL;
    const auto* bytes = reinterpret_cast<const unsigned char*>(values.data());
    for (size_t i = 0; i < values.size() * sizeof(T); ++i) h = (h ^ bytes[i]) * 1099511628211ULL;
    std::ostringstream out;
    out << values.size() << ":" << std::hex << std::setw(16) << std::setfill('0') << h;
    return out.str();
}

template <typename K>
std::string histogram(const std::vector<K>& values) {
    std::map<long long, size_t> counts;
    for (const K& v : values) ++counts[static_cast<long long>(v)];
    std::string text = "{";
    for (const auto& entry : counts)
        text += (text.size() > 1 ? " " : "") + std::to_string(entry.first) + ":" + std::to_string(entry.second);
    return text + "}";
}

std::string exact(double v) {
    std::ostringstream out;
    out << std::setprecision(17) << v;
    return out.str();
}

void describeMetaData(const RecordingMetaData& meta, std::ostream& out) {
    if (meta.problemInfo())
        out << "problem \"" << meta.problemInfo()->title << "\" \"" << meta.problemInfo()->description << "\" "
            << meta.problemInfo()->value1 << " " << meta.problemInfo()->value2 << "\n";
    for (const PublishedPart& p : meta.parts()) {
        out << "part " << p.id << " \"" << p.name << "\" " << partViaName(p.via);
        if (p.parent) out << " parent " << *p.parent;
        if (p.flag) out << " flag " << *p.flag;
        for (const auto& a : p.attributes) out << " " << a.first << "=" << a.second;
        out << "\n";
    }
    for (const PublishedState& s : meta.states()) out << "state " << s.id << " \"" << s.name << "\" " << exact(s.value) << "\n";
    for (const PublishedResult& r : meta.results()) {
        out << "result " << r.id << " \"" << r.name << "\" type " << r.type << (r.elementResult ? " element" : " node")
            << " id \"" << r.idString << "\" unit \"" << r.unit << "\"";
        if (r.displacementMode) out << " displacement " << *r.displacementMode;
        out << "\n";
    }
}

void describeGeometry(const RecordingGeometry& geometry, std::ostream& out) {
    for (size_t i = 0; i < geometry.nodeGroupCount(); ++i) {
        const RecordingNodeGroup& g = geometry.nodeGroup(i);
        out << "nodes " << i << ": xyz " << digest(g.coordinates()) << " ids " << digest(g.nodeIds()) << " calls "
            << g.setNodesCalls() << "/" << g.setNodeIdsCalls() << " problems " << g.callProblems().size() << "\n";
    }
    for (size_t i = 0; i < geometry.elementGroupCount(); ++i) {
        const RecordingElementGroup& g = geometry.elementGroup(i);
        out << "elements " << i << " of nodes " << g.nodeGroupIndex() << ": types " << histogram(g.types()) << " "
            << digest(g.types()) << " conn " << digest(g.connectivity()) << " ids " << digest(g.elementIds())
            << "\n  poly nodes " << digest(g.polyhedronNodeCounts()) << " faces " << digest(g.polyhedronFaceCounts())
            << " face nodes " << digest(g.faceNodeCounts()) << " " << digest(g.faceNodes()) << "\n  part ids "
            << histogram(g.partIds()) << " " << digest(g.partIds()) << " calls " << g.setElementsOfTypeCalls() << "/"
            << g.setElementsCalls() << "/" << g.setPolyhedraCalls() << "/" << g.setElementPartIdsCalls()
            << " problems " << g.callProblems().size() << "\n";
    }
}

void describeResult(const RecordingResult& result, std::ostream& out) {
    for (size_t i = 0; i < result.valueGroupCount(); ++i) {
        const RecordingResultValueGroup& g = result.valueGroup(i);
        const size_t undefined =
            static_cast<size_t>(std::count(g.values().begin(), g.values().end(), std::numeric_limits<double>::max()));
        out << "  values " << i << ": " << g.tuples() << "x" << g.components() << " undefined " << undefined << " "
            << digest(g.values()) << " calls " << g.setValuesCalls() << "\n";
    }
}

bool digitAt(const std::string& text, size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; }

// Numbers that have a decimal point or an exponent (timings, versions) as "#".
std::string maskDecimals(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (!digitAt(text, i)) {
            out += text[i++];
            continue;
        }
        size_t end = i;
        while (digitAt(text, end)) ++end;
        const size_t digitsEnd = end;
        if (end < text.size() && text[end] == '.' && digitAt(text, end + 1)) {
            for (++end; digitAt(text, end);) ++end;
        }
        const bool fraction = end > digitsEnd;
        if (end + 2 < text.size() && text[end] == 'e' && (text[end + 1] == '-' || text[end + 1] == '+') &&
            digitAt(text, end + 2)) {
            for (end += 2; digitAt(text, end);) ++end;
        } else if (!fraction) {
            out.append(text, i, end - i);
            i = end;
            continue;
        }
        out += '#';
        i = end;
    }
    return out;
}

// Log lines in a stable form: sorted (tasks log in any order), with decimals masked and the case
// folder written as CASE.
void describeLog(const LogCapture& log, const std::string& folder, std::ostream& out) {
    std::vector<std::string> lines;
    for (const auto& line : log.lines()) {
        std::string text = line.second;
        for (size_t at = text.find(folder); at != std::string::npos; at = text.find(folder, at))
            text.replace(at, folder.size(), "CASE");
        lines.push_back(std::to_string(line.first) + " " + maskDecimals(text));
    }
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) out << "log " << line << "\n";
}

using Settings = std::map<std::string, bool>;

// Opens the case with the settings and asks for everything a host can ask for.
std::string describeCase(const std::string& folder, const Settings& settings) {
    std::ostringstream out;
    ProviderHarness harness;
    LogCapture log;
    for (const auto& s : settings) harness.options().setBool(s.first, s.second);
    const bool opened = harness.open(folder);
    out << "open " << opened << "\n";
    if (!opened) return out.str();
    describeMetaData(harness.metaData(), out);
    out << "geometry " << harness.geometry() << "\n";
    describeGeometry(harness.geometryRecord(), out);
    for (const PublishedState& state : harness.metaData().states()) {
        for (const PublishedResult& r : harness.metaData().results()) {
            RecordingResult result;
            const bool ok = harness.result(r.id, state.id, &result);
            out << "result \"" << r.name << "\" at " << state.id << ": " << ok << "\n";
            describeResult(result, out);
        }
    }
    describeLog(log, folder, out);
    return out.str();
}

struct Variant {
    const char* name;
    Settings settings;
};

const std::vector<Variant>& variants() {
    static const std::vector<Variant> list = {
        {"default", {}},
        {"face zones, no patches, no node averages",
         {{"LOAD_FACE_ZONES", true}, {"LOAD_BC_PARTS", false}, {"NODE_AVG_RES", false}}},
        {"node averages without patches", {{"LOAD_BC_PARTS", false}}},
    };
    return list;
}

std::string describeAllVariants(const std::string& folder) {
    std::string text;
    for (const Variant& v : variants()) text += "=== " + std::string(v.name) + "\n" + describeCase(folder, v.settings);
    return text;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Compares with the recorded text, or records it when asked to.
void expectRecorded(const std::string& name, const std::string& actual) {
    const std::string path = DATA + "/golden/" + name + ".txt";
    if (const char* update = std::getenv("FOAMPROVIDER_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "no record " << path << " (FOAMPROVIDER_UPDATE_GOLDEN=1 writes it)";
    std::stringstream expected;
    expected << in.rdbuf();
    if (expected.str() == actual) return;
    const std::vector<std::string> want = linesOf(expected.str()), got = linesOf(actual);
    std::ostringstream report;
    size_t shown = 0;
    for (size_t i = 0; i < std::max(want.size(), got.size()) && shown < 12; ++i) {
        const std::string* w = i < want.size() ? &want[i] : nullptr;
        const std::string* g = i < got.size() ? &got[i] : nullptr;
        if (w && g && *w == *g) continue;
        report << "line " << i + 1 << "\n  recorded: " << (w ? *w : "(none)") << "\n  now:      " << (g ? *g : "(none)")
               << "\n";
        ++shown;
    }
    ADD_FAILURE() << "output of " << name << " differs from " << path << "\n" << report.str();
}

// ---- the real cases ----------------------------------------------------------------------

class GoldenCase : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenCase, ReproducesTheRecordedOutput) {
    const std::string name = GetParam();
    const std::string folder = name == "examples_cavity" ? DATA + "/../../examples/cavity" : DATA + "/" + name;
    expectRecorded(name, describeAllVariants(folder));
}

// Every case folder in tests/data (a folder holding a case.foam), and the demo case.
std::vector<std::string> recordedCases() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(DATA))
        if (std::filesystem::exists(entry.path() / "case.foam")) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    names.push_back("examples_cavity");
    return names;
}

INSTANTIATE_TEST_SUITE_P(TestData, GoldenCase, ::testing::ValuesIn(recordedCases()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

// ---- generated meshes of every cell shape ------------------------------------------------

struct ShapeCase {
    const char* name;
    std::function<testsupport::CellList()> cells;
    testsupport::WriteOptions options;
};

testsupport::WriteOptions format(bool binary, bool gzip, bool compact = false) {
    testsupport::WriteOptions o;
    o.binary = binary;
    o.gzip = gzip;
    o.compactFaces = compact;
    return o;
}

bool sparseRefinement(int i, int j, int k) { return i % 3 == 0 && j % 3 == 0 && k % 3 == 0; }
bool checkerRefinement(int i, int j, int k) { return (i + j + k) % 2 == 0; }

testsupport::CellList scrambled(testsupport::CellList list, unsigned seed) {
    testsupport::scrambleCells(&list, seed);
    return list;
}

testsupport::CellList damaged(testsupport::CellList list) {
    testsupport::damageCells(&list);
    return list;
}

const std::vector<ShapeCase>& shapeCases() {
    using testsupport::splitBlockCells;
    using testsupport::refinedBlockCells;
    static const std::vector<ShapeCase> cases = {
        {"hex", [] { return splitBlockCells(16, 12, 10, "hex"); }, format(false, false)},
        {"tet", [] { return splitBlockCells(6, 5, 4, "tet"); }, format(true, false)},
        {"prism", [] { return splitBlockCells(8, 6, 5, "prism"); }, format(false, true)},
        {"pyramid", [] { return splitBlockCells(6, 5, 4, "pyramid"); }, format(true, true)},
        {"tetprism", [] { return splitBlockCells(6, 6, 6, "tetprism"); }, format(false, false, true)},
        {"refined_sparse", [] { return refinedBlockCells(9, 9, 9, sparseRefinement); }, format(true, false)},
        {"refined_checker", [] { return refinedBlockCells(6, 6, 6, checkerRefinement); }, format(false, false)},
        {"hex_scrambled", [] { return scrambled(splitBlockCells(7, 6, 5, "hex"), 1); }, format(true, false)},
        {"tet_scrambled", [] { return scrambled(splitBlockCells(4, 4, 3, "tet"), 2); }, format(false, false)},
        {"prism_scrambled", [] { return scrambled(splitBlockCells(5, 4, 4, "prism"), 3); }, format(true, false)},
        {"pyramid_scrambled", [] { return scrambled(splitBlockCells(4, 4, 3, "pyramid"), 4); }, format(false, false)},
        {"refined_scrambled", [] { return scrambled(refinedBlockCells(6, 6, 6, sparseRefinement), 5); },
         format(false, false)},
        {"refined_checker_large", [] { return refinedBlockCells(16, 16, 16, checkerRefinement); }, format(true, false)},
        {"tet_large", [] { return splitBlockCells(12, 12, 10, "tet"); }, format(true, false)},
        {"hex_damaged", [] { return damaged(splitBlockCells(6, 5, 4, "hex")); }, format(false, false)},
        {"prism_damaged", [] { return damaged(splitBlockCells(4, 4, 3, "prism")); }, format(true, false)},
        {"refined_damaged", [] { return damaged(scrambled(refinedBlockCells(5, 5, 5, checkerRefinement), 6)); },
         format(false, false)},
    };
    return cases;
}

// One time folder with a scalar and a vector per cell; the vector is fixed on the walls.
void writeShapeCase(const std::string& folder, const ShapeCase& shape) {
    using namespace testsupport;
    const Mesh mesh = meshFromCells(shape.cells());
    writeCaseSkeleton(folder);
    writePolyMesh(folder + "/constant/polyMesh", mesh, shape.options);
    const size_t cells = static_cast<size_t>(mesh.cellCount);
    std::vector<double> s(cells), v(3 * cells);
    for (size_t c = 0; c < cells; ++c) {
        s[c] = std::sin(0.37 * static_cast<double>(c)) + 2.0;
        v[3 * c] = 0.001 * static_cast<double>(c);
        v[3 * c + 1] = std::cos(0.11 * static_cast<double>(c));
        v[3 * c + 2] = -1.0 / (1.0 + static_cast<double>(c));
    }
    writeFile(folder + "/1/s", fieldFile("volScalarField", "s", "[0 0 0 0 0 0 0]", s, 1, {{"walls", "type zeroGradient;"}},
                                         shape.options),
              shape.options.gzip);
    writeFile(folder + "/1/v",
              fieldFile("volVectorField", "v", "[0 1 -1 0 0 0 0]", v, 3,
                        {{"walls", "type fixedValue;\n        value uniform (1 2 3);"}}, shape.options),
              shape.options.gzip);
}

class GoldenShape : public ::testing::TestWithParam<size_t> {};

TEST_P(GoldenShape, ReproducesTheRecordedOutput) {
    const ShapeCase& shape = shapeCases()[GetParam()];
    // The folder's name is the case's title: the same in every run.
    const std::string parent = testsupport::makeTempFolder("golden");
    const std::string folder = parent + "/" + shape.name;
    writeShapeCase(folder, shape);
    const std::string text = describeAllVariants(folder);
    testsupport::removeFolder(parent);
    expectRecorded(std::string("shape_") + shape.name, text);
}

INSTANTIATE_TEST_SUITE_P(Generated, GoldenShape, ::testing::Range<size_t>(0, shapeCases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return std::string(shapeCases()[info.param].name);
                         });

}  // namespace
