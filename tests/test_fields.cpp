#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "core/Undefined.h"
#include "io/FoamDictionary.h"
#include "io/OFFile.h"
#include "io/OFResultReader.h"
#include "model/OFBoundary.h"
#include "tests/support/CaseWriter.h"
#include "tests/support/LogCapture.h"

using namespace testsupport;

namespace {

const double U = vx::UNDEFINED_DOUBLE;
const std::string DATA = FOAMPROVIDER_TEST_DATA_DIR;

std::vector<double> undefined(size_t n) { return std::vector<double>(n, U); }

bool allUndefined(const std::vector<double>& v) {
    for (double x : v)
        if (x != U) return false;
    return true;
}

std::string raw(const std::vector<double>& values) {
    return std::string(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(double));
}

WriteOptions binaryOptions() {
    WriteOptions o;
    o.binary = true;
    return o;
}

// A double whose bytes hold a line feed and zero bytes.
double withLineFeedBytes() {
    const uint64_t bits = 0x3FF000000000000AULL;
    double d = 0;
    std::memcpy(&d, &bits, sizeof(d));
    return d;
}

OFBoundary patch(const std::string& name, const std::vector<int>& cells) {
    OFBoundary b;
    b.setPatchName(name.c_str());
    b.createFaceToCellMapping(cells.size());
    for (size_t i = 0; i < cells.size(); ++i) b.cellIndex(i) = cells[i];
    return b;
}

class FieldTest : public ::testing::Test {
protected:
    void SetUp() override { dir = makeTempFolder("fields"); }
    void TearDown() override { removeFolder(dir); }

    std::string path(const std::string& name) const { return dir + "/" + name; }

    void writeField(const std::string& className, const std::string& body, const WriteOptions& o = {},
                    const std::string& name = "f") {
        writeFile(path(name), foamFile(className, name, body, o), o.gzip);
    }

    // The internal values of file f read into a target of n doubles.
    bool read(const std::string& className, std::vector<double>* values, const std::string& name = "f") {
        OFResultReader reader;
        return reader.readValues(dir.c_str(), name.c_str(), className.c_str(), values);
    }

    std::vector<double> readOk(const std::string& className, size_t n, const std::string& name = "f") {
        std::vector<double> values = undefined(n);
        EXPECT_TRUE(read(className, &values, name)) << className << " " << name;
        return values;
    }

    std::string dir;
};

}  // namespace

TEST_F(FieldTest, ClassSizes) {
    EXPECT_EQ(OFFile::resultSizeFromName("volScalarField"), 1);
    EXPECT_EQ(OFFile::resultSizeFromName("pointVectorField"), 3);
    EXPECT_EQ(OFFile::resultSizeFromName("volTensorField"), 6);
    EXPECT_EQ(OFFile::resultSizeFromName("pointSymmTensorField"), 6);
    EXPECT_EQ(OFFile::calculateNumberOfValues("volSymmTensorField", 10), 60);
    EXPECT_EQ(OFFile::calculateNumberOfValues("volVectorField", -1), -1);

    LogCapture log;
    EXPECT_EQ(OFFile::resultSizeFromName("surfaceScalarField"), -1);
    EXPECT_TRUE(log.contains("Unexpected result class name. Not supported surfaceScalarField", 1));
    writeField("surfaceScalarField", "internalField uniform 1;\n");
    std::vector<double> values = undefined(3);
    EXPECT_FALSE(read("surfaceScalarField", &values));
    EXPECT_TRUE(allUndefined(values));
}

TEST_F(FieldTest, UniformInternalFields) {
    writeField("volScalarField", "dimensions [0 2 -2 0 0 0 0];\ninternalField   uniform 0;\n");
    EXPECT_EQ(readOk("volScalarField", 3), std::vector<double>(3, 0.0));

    for (const std::string value : {"(1 2 3)", "( 1 2 3 )", "(1 2  3)"}) {
        writeField("volVectorField", "internalField uniform " + value + ";\n");
        EXPECT_EQ(readOk("volVectorField", 6), (std::vector<double>{1, 2, 3, 1, 2, 3})) << value;
    }
    // A full tensor gives its symmetric part; symmetric tensors are taken as they are.
    writeField("volTensorField", "internalField uniform (1 2 3 4 5 6 7 8 9);\n");
    EXPECT_EQ(readOk("volTensorField", 6), (std::vector<double>{1, 3, 5, 5, 7, 9}));
    writeField("pointSymmTensorField", "internalField uniform (1 -0 1e-05 2.5e+06 5 6);\n");
    EXPECT_EQ(readOk("pointSymmTensorField", 12), (std::vector<double>{1, 0, 1e-05, 2.5e6, 5, 6, 1, 0, 1e-05, 2.5e6, 5, 6}));
    // A binary header with a text body, as foamFormatConvert writes uniform fields.
    writeField("volVectorField", "dimensions [ 0 1 -1 0 0 0 0 ];\n\ninternalField   uniform ( 0 0 0 );\n",
               binaryOptions());
    EXPECT_EQ(readOk("volVectorField", 3), std::vector<double>(3, 0.0));
}

TEST_F(FieldTest, NonUniformListsInEveryFormat) {
    const std::vector<double> scalars = {1.5, -0.0, 1e-05, 2.5e+06, withLineFeedBytes()};
    const std::vector<double> vectors = {1, 0, 0, 0, withLineFeedBytes(), 0, -3, 4e-9, 10};
    std::vector<double> tensors;
    for (int i = 0; i < 18; ++i) tensors.push_back(i * 1.25);
    const std::vector<double> symmetric = {1, 2, 3, 4, 5, 6, -1, -2, -3, -4, -5, -6};
    WriteOptions ascii, gz, binary = binaryOptions(), binaryGz = binaryOptions(), single = binaryOptions();
    gz.gzip = binaryGz.gzip = true;
    single.scalarBits = 32;
    for (const WriteOptions& o : {ascii, gz, binary, binaryGz}) {
        const std::string format = std::string(o.binary ? "binary" : "ascii") + (o.gzip ? "gz" : "");
        const auto write = [&](const std::string& className, const std::vector<double>& v, int components) {
            writeFile(path(format), fieldFile(className, format, "[0 0 0 0 0 0 0]", v, components, {}, o), o.gzip);
        };
        write("volScalarField", scalars, 1);
        EXPECT_EQ(readOk("volScalarField", 5, format), scalars);
        write("pointVectorField", vectors, 3);
        EXPECT_EQ(readOk("pointVectorField", 9, format), vectors);
        write("volTensorField", tensors, 9);
        const std::vector<double> t = readOk("volTensorField", 12, format);
        EXPECT_EQ(t[1], 0.5 * (tensors[1] + tensors[3])) << format;
        EXPECT_EQ(t[2], 0.5 * (tensors[2] + tensors[6])) << format;
        EXPECT_EQ(t[4], 0.5 * (tensors[5] + tensors[7])) << format;
        EXPECT_EQ(t[11], tensors[17]) << format;
        write("volSymmTensorField", symmetric, 6);
        EXPECT_EQ(readOk("volSymmTensorField", 12, format), symmetric);
    }
    writeFile(path("f"), fieldFile("volScalarField", "f", "[0 0 0 0 0 0 0]", {0.5, 0.25}, 1, {}, single));
    EXPECT_EQ(readOk("volScalarField", 2), (std::vector<double>{0.5, 0.25}));

    // Binary as written by the solvers: count and "(" on the keyword line, raw doubles behind.
    writeField("volScalarField", "internalField   nonuniform List<scalar> 5(" + raw(scalars) + ");\n", binary);
    EXPECT_EQ(readOk("volScalarField", 5), scalars);
}

TEST_F(FieldTest, AsciiListLayouts) {
    const std::vector<std::pair<std::string, std::vector<double>>> scalarForms = {
        {"internalField   nonuniform List<scalar> 3(1.5 2 3);", {1.5, 2, 3}},
        {"internalField nonuniform List<scalar> 3{-0.5};", {-0.5, -0.5, -0.5}},
        {"internalField nonuniform List<scalar> 3\n(\n1\n2\n3\n)\n;", {1, 2, 3}},
        {"internalField nonuniform List<scalar>\n3\n(1 2 3)\n;", {1, 2, 3}},
        {"internalField nonuniform List<scalar> 3(\n1\n2\n3\n);", {1, 2, 3}},
        {"// comment\ninternalField /* here */ nonuniform List<scalar> 3(1 2 3);", {1, 2, 3}},
    };
    for (const auto& form : scalarForms) {
        writeField("volScalarField", form.first + "\n");
        EXPECT_EQ(readOk("volScalarField", 3), form.second) << form.first;
    }
    writeField("volVectorField", "internalField nonuniform List<vector> 2((1 0 0) ( 0 1 0 ));\n");
    EXPECT_EQ(readOk("volVectorField", 6), (std::vector<double>{1, 0, 0, 0, 1, 0}));
    writeField("volTensorField", "internalField nonuniform List<tensor> 1((1 2 3 4 5 6 7 8 9));");
    EXPECT_EQ(readOk("volTensorField", 6), (std::vector<double>{1, 3, 5, 5, 7, 9}));

    // Empty lists fit empty targets only.
    writeField("volScalarField", "internalField nonuniform List<scalar> 0();\n");
    std::vector<double> none;
    EXPECT_TRUE(read("volScalarField", &none));
    std::vector<double> three = undefined(3);
    EXPECT_FALSE(read("volScalarField", &three));
    EXPECT_TRUE(allUndefined(three));
}

TEST_F(FieldTest, LongListsAcrossChunks) {
    const size_t n = 300000;
    std::vector<double> scalars(n), vectors(3 * n);
    for (size_t i = 0; i < n; ++i) scalars[i] = static_cast<double>(i) * 0.001 - 7;
    for (size_t i = 0; i < 3 * n; ++i) vectors[i] = static_cast<double>(i % 1000) * 1e-3;
    writeFile(path("f"), fieldFile("volScalarField", "f", "[0 0 0 0 0 0 0]", scalars, 1, {}, {}));
    EXPECT_EQ(readOk("volScalarField", n), scalars);
    writeFile(path("f"), fieldFile("volVectorField", "f", "[0 0 0 0 0 0 0]", vectors, 3, {}, {}));
    EXPECT_EQ(readOk("volVectorField", 3 * n), vectors);
}

TEST_F(FieldTest, ClassMismatchGivesUndefinedValues) {
    writeField("volScalarField", "internalField uniform 1;\n");
    std::vector<double> values(6, 0.0);
    EXPECT_TRUE(read("volVectorField", &values));
    EXPECT_TRUE(allUndefined(values));
}

TEST_F(FieldTest, MalformedFilesFailWithOneMessage) {
    struct Case {
        std::string className, body;
        size_t size;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"volScalarField", "internalField nonuniform List<scalar> 3(1 2);\n", 3, "Error reading result."},
        {"volScalarField", "internalField nonuniform List<scalar> abc(1 2 3);\n", 3, "Error reading result."},
        {"volScalarField", "internalField nonuniform List<scalar> 4(1 2 3 4);\n", 3, "not correctly dimensioned"},
        {"volScalarField", "internalField nonuniform List<scalar> 2147483647(1);\n", 3, "not correctly dimensioned"},
        {"volScalarField", "internalField nonuniform List<scalar> 4\n(\n1\n2\n3\n4\n)\n;\n", 3, "not correctly dimensioned"},
        {"volScalarField", "internalField nonuniform List<scalar> 3\n(\n1\n2\n", 3, "Error reading result."},
        {"volScalarField", "internalField nonuniform List<scalar> 3\n(\n1\nx\n3\n)\n;\n", 3, "Error reading result."},
        {"volVectorField", "internalField nonuniform List<vector> 2((1 0 0) (1 0));\n", 6, "Error reading result."},
        {"volVectorField", "internalField nonuniform List<scalar> 2(1 0);\n", 6, "Unexpected value list"},
        {"volScalarField", "internalField uniform abc;\n", 3, "Could not convert uniform value"},
        {"volVectorField", "internalField uniform (1 2);\n", 6, "Could not convert uniform value"},
        {"volScalarField", "internalField uniform", 3, "Could not convert uniform value"},
        {"volScalarField", "dimensions [0 0 0 0 0 0 0];\n", 3, "Could not find internalField in File"},
    };
    for (const Case& c : cases) {
        writeField(c.className, c.body);
        LogCapture log;
        std::vector<double> values = undefined(c.size);
        EXPECT_FALSE(read(c.className, &values)) << c.body;
        EXPECT_TRUE(allUndefined(values)) << c.body;
        EXPECT_EQ(log.count(1), 1u) << c.body;
        EXPECT_TRUE(log.contains(c.message, 1)) << c.body;
        EXPECT_TRUE(log.contains(path("f"), 1)) << c.body;
    }
    // A binary list cut short.
    writeField("volScalarField", "internalField nonuniform List<scalar> 3(" + raw({1, 2}), binaryOptions());
    LogCapture log;
    std::vector<double> values = undefined(3);
    EXPECT_FALSE(read("volScalarField", &values));
    EXPECT_EQ(log.count(1), 1u);
    EXPECT_TRUE(allUndefined(values));
    EXPECT_FALSE(read("volScalarField", &values, "missing"));
}

// Binary internal fields as solvers write them are read from the file straight into the target.
// Every other form of the file (or a look-alike of the entry) must read as the text says.
TEST_F(FieldTest, BinaryInternalFieldsReadInPlace) {
    std::vector<double> cells(3 * 5000);
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = i % 7 == 0 ? withLineFeedBytes() : 0.25 * i;
    const std::string list = "nonuniform List<vector> \n5000\n(" + raw(cells) + ")";
    const std::string boundary = "boundaryField\n{\n    a\n    {\n        type calculated;\n"
                                 "        value nonuniform List<vector> 1(" + raw({7, 8, 9}) + ");\n    }\n}\n";
    const auto readWithPatch = [&](const std::string& name, std::vector<double>* target,
                                   std::vector<double>* patchValues) {
        std::vector<OFBoundary> patches = {patch("a", {0})};
        std::vector<std::vector<double>> values = {undefined(3)};
        OFResultReader reader;
        const bool ok = reader.readValuesForCellAndBoundaries(dir.c_str(), name.c_str(), "volVectorField", target,
                                                              patches, values);
        *patchValues = values[0];
        return ok;
    };
    struct Form {
        const char* what;
        std::string body;
        bool gzip;
        std::vector<double> expected;
    };
    const std::vector<Form> forms = {
        {"as written", "dimensions [0 1 0 0 0 0 0];\n\n\ninternalField   " + list + ";\n" + boundary, false, cells},
        {"compressed", "internalField " + list + ";\n" + boundary, true, cells},
        {"look-alike in a comment first",
         "/* internalField nonuniform List<vector> 5000(*/\ninternalField " + list + ";\n" + boundary, false, cells},
        {"redefined behind", "internalField " + list + ";\ninternalField uniform (1 2 3);\n" + boundary, false,
         std::vector<double>(cells.size(), 0.0)},
    };
    for (const Form& form : forms) {
        WriteOptions o = binaryOptions();
        o.gzip = form.gzip;
        const std::string name = "f" + std::to_string(&form - forms.data());
        writeField("volVectorField", form.body, o, name);
        LogCapture log;
        std::vector<double> target = undefined(cells.size()), patchValues;
        ASSERT_TRUE(readWithPatch(name, &target, &patchValues)) << form.what;
        if (form.expected == cells) {
            EXPECT_EQ(std::memcmp(target.data(), cells.data(), cells.size() * sizeof(double)), 0) << form.what;
        } else {
            for (size_t i = 0; i < target.size(); ++i) ASSERT_EQ(target[i], 1.0 + i % 3) << form.what;
        }
        EXPECT_EQ(patchValues, (std::vector<double>{7, 8, 9})) << form.what;
        EXPECT_EQ(log.count(1), 0u) << form.what;
    }

    // Cut short inside the list, long after the file's head: one message, nothing read.
    const std::string whole = foamFile("volVectorField", "f", "internalField " + list + ";\n", binaryOptions());
    writeFile(path("f"), whole.substr(0, whole.size() / 2));
    LogCapture log;
    std::vector<double> target = undefined(cells.size());
    EXPECT_FALSE(read("volVectorField", &target));
    EXPECT_TRUE(allUndefined(target));
    EXPECT_EQ(log.count(1), 1u);
    EXPECT_TRUE(log.contains(path("f"), 1));

    // A target of another size is told so, as for any other list.
    log.clear();
    writeField("volVectorField", "internalField " + list + ";\n", binaryOptions());
    target = undefined(cells.size() - 3);
    EXPECT_FALSE(read("volVectorField", &target));
    EXPECT_TRUE(log.contains("not correctly dimensioned", 1));
}

TEST_F(FieldTest, HeaderlessValueFiles) {
    OFResultReader reader;
    const std::vector<std::pair<std::string, std::vector<double>>> forms = {
        {"3(1 2.5 -3)", {1, 2.5, -3}},
        {"3{2}", {2, 2, 2}},
        {"\n3\n(\n1\n2.5\n-3\n)\n", {1, 2.5, -3}},
    };
    for (const auto& form : forms) {
        writeFile(path("p"), form.first);
        std::vector<double> values = undefined(3);
        EXPECT_TRUE(reader.readNonHeaderValues(dir.c_str(), "p", "pointScalarField", &values)) << form.first;
        EXPECT_EQ(values, form.second) << form.first;
    }
    writeFile(path("U"), "2{(1 0 0)}");
    std::vector<double> sized;
    EXPECT_TRUE(reader.readNonHeaderValuesUpTo(dir.c_str(), "U", "pointVectorField", &sized, 6));
    EXPECT_EQ(sized, (std::vector<double>{1, 0, 0, 1, 0, 0}));
    // A uniform list is no longer than the file; it may not be longer than the caller allows.
    EXPECT_FALSE(reader.readNonHeaderValuesUpTo(dir.c_str(), "U", "pointVectorField", &sized, 5));
    writeFile(path("U"), "200000000{(1 0 0)}");
    EXPECT_FALSE(reader.readNonHeaderValuesUpTo(dir.c_str(), "U", "pointVectorField", &sized, 30));
    EXPECT_LE(sized.capacity(), 30u);

    LogCapture log;
    writeFile(path("p"), "10(1 2 3)");
    std::vector<double> values = undefined(10);
    EXPECT_FALSE(reader.readNonHeaderValues(dir.c_str(), "p", "pointScalarField", &values));
    EXPECT_TRUE(allUndefined(values));
    writeFile(path("p"), "3(1 2 3");
    values = undefined(3);
    EXPECT_FALSE(reader.readNonHeaderValues(dir.c_str(), "p", "pointScalarField", &values));
    writeFile(path("p"), "2000000000(1 2 3)");
    EXPECT_FALSE(reader.readNonHeaderValuesUpTo(dir.c_str(), "p", "pointScalarField", &sized, 1u << 30));
    EXPECT_FALSE(log.contains("file done"));
}

namespace {

// boundaryField of a field on a mesh of 4 cells, patches in the boundary file's order:
// a (2 faces), b (2), c (1), d (3), e (2), f (1).
const char* const BOUNDARY_BODY = R"(
internalField   nonuniform List<scalar> 4(10 11 12 13);

boundaryField
{
    #includeEtc "caseDicts/setConstraintTypes"
    // the patches: c { value uniform 9; }
    /* f
    { */
    a
    {
        type            fixedValue;
        value           uniform 2;
    }
    b
    {
        type            mixed;
        refValue        nonuniform List<scalar> 2(5 6);
        refGradient     uniform 0;
        valueFraction   nonuniform List<scalar>
2
(
0.5
0.5
)
;
        inletDict { nested { deeper 1; } list (1 2); }
        value           nonuniform List<scalar> 2(7 8);
    }
    d
    {
        type            calculated;
        value           nonuniform List<scalar>
3
(
1
2
3
)
;
    }
    c
    {
        type            zeroGradient;
    }
    e
    {
        type            nutkWallFunction;
        Cmu             0.09;
        kappa           0.41;
        E               9.8;
        value           nonuniform List<scalar> 2(4e-06 -0);
    }
    f
    {
        type            empty;
        value           nonuniform List<scalar> 0();
    }
}
)";

}  // namespace

TEST_F(FieldTest, BoundaryStateMachine) {
    writeField("volScalarField", BOUNDARY_BODY);
    // Boundary order a b d e f c; the file has c between d and e.
    std::vector<OFBoundary> patches = {patch("a", {0, 1}), patch("b", {2, 3}), patch("d", {0, 1, 2}),
                                       patch("e", {1, 2}),  patch("f", {2}),    patch("c", {3})};
    std::vector<std::vector<double>> values = {undefined(2), undefined(2), undefined(3),
                                               undefined(2), undefined(1), undefined(1)};
    std::vector<double> cells = undefined(4);
    LogCapture log;
    OFResultReader reader;
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volScalarField", &cells, patches, values));
    EXPECT_EQ(log.count(1), 0u);
    EXPECT_TRUE(log.contains("OFResultReader : Result f file done. Read 4 cellItems. Read 6 boundary patches "
                             "containing 11 boundaryItems",
                             3));
    EXPECT_EQ(cells, (std::vector<double>{10, 11, 12, 13}));
    EXPECT_EQ(values[0], (std::vector<double>{2, 2}));
    EXPECT_EQ(values[1], (std::vector<double>{7, 8}));
    EXPECT_EQ(values[2], (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(values[3], (std::vector<double>{4e-06, 0}));
    EXPECT_EQ(values[4], (std::vector<double>{12})) << "empty patches take the cell values";
    // Entries out of the boundary file's order are found all the same.
    EXPECT_EQ(values[5], (std::vector<double>{13})) << "zeroGradient takes the cell values";

    // The entry tree of the file, read directly.
    OFFile file(true);
    std::vector<double> internal = undefined(4);
    ASSERT_TRUE(file.readResult(path("f").c_str(), "f", "volScalarField", &internal));
    ASSERT_NE(file.tree(), nullptr);
    const foamdict::Dictionary* field = file.tree()->subDict("boundaryField");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->subDict("a")->text("type"), "fixedValue");
    EXPECT_EQ(field->subDict("c")->text("type"), "zeroGradient");
    EXPECT_EQ(field->subDict("e")->text("Cmu"), "0.09");
    EXPECT_EQ(field->subDict("b")->subDict("inletDict")->subDict("nested")->text("deeper"), "1");
    EXPECT_TRUE(OFFile::shouldApplyCellValueInBoundaryFace({{"type", "zeroGradient"}}));
    EXPECT_FALSE(OFFile::shouldApplyCellValueInBoundaryFace({{"type", "fixedValue"}}));
}

TEST_F(FieldTest, TimeVaryingFixedValuesShowTheValueTheSolverWrote) {
    writeField("volScalarField",
               "internalField nonuniform List<scalar> 2(250 251);\nboundaryField\n{\n"
               "    written { type uniformFixedValue; uniformValue table ((0 260) (10 293)); value uniform 260.5; }\n"
               "    byHand  { type uniformFixedValue; uniformValue table ((0 300) (10 320)); }\n"
               "    fixed   { type uniformFixedValue; uniformValue constant 300; }\n"
               "    bare    { type uniformFixedValue; uniformValue -4.5; }\n}\n");
    std::vector<OFBoundary> patches = {patch("written", {0, 1}), patch("byHand", {1}), patch("fixed", {0, 1}),
                                       patch("bare", {0})};
    std::vector<std::vector<double>> values = {undefined(2), undefined(1), undefined(2), undefined(1)};
    std::vector<double> cells = undefined(2);
    OFResultReader reader;
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volScalarField", &cells, patches, values));
    EXPECT_EQ(values[0], (std::vector<double>{260.5, 260.5}));
    EXPECT_EQ(values[1], (std::vector<double>{251})) << "without a value the cells next to the patch stand in";
    EXPECT_EQ(values[2], (std::vector<double>{300, 300})) << "a constant is the value at every time";
    EXPECT_EQ(values[3], (std::vector<double>{-4.5}));
    writeField("volVectorField", "internalField uniform (0 0 0);\nboundaryField\n{\n"
                                 "    inlet { type uniformFixedValue; uniformValue constant (1 2 3); }\n}\n");
    std::vector<OFBoundary> inlet = {patch("inlet", {0})};
    std::vector<std::vector<double>> velocity = {undefined(3)};
    std::vector<double> cellVelocity = undefined(6);
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volVectorField", &cellVelocity, inlet, velocity));
    EXPECT_EQ(velocity[0], (std::vector<double>{1, 2, 3}));
}

TEST_F(FieldTest, CoupledPatchesWithoutValueShowTheirCells) {
    // As a solver writes a periodic case: cyclic patches carry no value, AMI patches do.
    writeField("volScalarField",
               "internalField nonuniform List<scalar> 3(10 11 12);\nboundaryField\n{\n"
               "    left  { type cyclic; }\n    right { type cyclicSlip; }\n"
               "    ami   { type cyclicAMI; value nonuniform List<scalar> 2(5 6); }\n"
               "    amiByHand { type cyclicAMI; }\n    wall { type fixedValue; }\n}\n");
    std::vector<OFBoundary> patches = {patch("left", {0, 2}), patch("right", {1}), patch("ami", {0, 1}),
                                       patch("amiByHand", {2}), patch("wall", {0})};
    std::vector<std::vector<double>> values = {undefined(2), undefined(1), undefined(2), undefined(1), undefined(1)};
    std::vector<double> cells = undefined(3);
    OFResultReader reader;
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volScalarField", &cells, patches, values));
    EXPECT_EQ(values[0], (std::vector<double>{10, 12}));
    EXPECT_EQ(values[1], (std::vector<double>{11}));
    EXPECT_EQ(values[2], (std::vector<double>{5, 6}));
    EXPECT_EQ(values[3], (std::vector<double>{12}));
    EXPECT_TRUE(allUndefined(values[4])) << "a fixed value without its value stays undefined";
}

TEST_F(FieldTest, HandWrittenPatchesWithoutValueShowWhatOpenFOAMTakes) {
    // Each as OpenFOAM's own conversion shows it: the entry it takes the value from, or the cells.
    writeField("volScalarField",
               "inflow uniform 12;\ninternalField nonuniform List<scalar> 2(10 11);\nboundaryField\n{\n"
               "    outlet { type inletOutlet; inletValue uniform 2; }\n"
               "    inlet  { type outletInlet; outletValue $inflow; }\n"
               "    total  { type totalPressure; p0 uniform 7; }\n"
               "    farA   { type freestream; freestreamValue uniform 3; }\n"
               "    farB   { type freestreamPressure; freestreamValue nonuniform List<scalar> 1(4); }\n"
               "    flux   { type fixedFluxPressure; gradient uniform 1; }\n"
               "    top    { type prghTotalPressure; p0 uniform 8; }\n"
               "    side   { type prghPressure; p uniform 9; }\n"
               "    solved { type totalPressure; p0 uniform 7; value uniform 1; }\n"
               "    fan    { type fanPressure; file \"curve.dat\"; p0 uniform 30; }\n"
               "    free   { type freeSurfacePressure; pa uniform 5; }\n"
               "    level  { type fixedGradient; gradient uniform 0; }\n"
               "    broken { type inletOutlet; }\n"
               "    steep  { type fixedGradient; gradient uniform 2; }\n}\n");
    std::vector<OFBoundary> patches = {patch("outlet", {0}), patch("inlet", {1}), patch("total", {0}),
                                       patch("farA", {0}),   patch("farB", {1}),  patch("flux", {1}),
                                       patch("top", {0}),    patch("side", {0}),  patch("solved", {0}),
                                       patch("fan", {0}),    patch("free", {0}),  patch("level", {1}),
                                       patch("broken", {0}), patch("steep", {0})};
    std::vector<std::vector<double>> values(patches.size(), undefined(1));
    std::vector<double> cells = undefined(2);
    OFResultReader reader;
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volScalarField", &cells, patches, values));
    const std::vector<double> shown = {2, 12, 7, 3, 4, 11, 8, 9, 1, 30, 5, 11};
    for (size_t p = 0; p < shown.size(); ++p) EXPECT_EQ(values[p], (std::vector<double>{shown[p]})) << p;
    EXPECT_TRUE(allUndefined(values[12]));
    EXPECT_TRUE(allUndefined(values[13])) << "a gradient other than zero needs the distance to the cell centres";
}

TEST_F(FieldTest, HandWrittenFunctionsOfTimeAreTakenAtTheFolderTime) {
    // As OpenFOAM evaluates them at the time of the folder: linear between a table's times, its
    // first or last value outside them.
    writeField("volScalarField",
               "internalField nonuniform List<scalar> 2(10 11);\nboundaryField\n{\n"
               "    ramp   { type uniformFixedValue; uniformValue table ((0 300) (10 320)); }\n"
               "    total  { type uniformTotalPressure; p0 table ((0 1e5) (4 1.4e5)); }\n"
               "    mixed  { type uniformInletOutlet; uniformInletValue constant 3; }\n"
               "    late   { type uniformFixedValue; uniformValue table ((-5 1) (1 2)); }\n"
               "    strict { type uniformFixedValue; outOfBounds error; uniformValue table ((-5 1) (1 2)); }\n"
               "    steps  { type uniformFixedValue; uniformValue table ((0 1) (0 2) (5 3)); }\n"
               "    file   { type uniformFixedValue; uniformValue tableFile; }\n}\n");
    std::vector<OFBoundary> patches = {patch("ramp", {0}),   patch("total", {0}), patch("mixed", {0}),
                                       patch("late", {0}),   patch("strict", {1}), patch("steps", {1}),
                                       patch("file", {1})};
    std::vector<std::vector<double>> values(patches.size(), undefined(1));
    std::vector<double> cells = undefined(2);
    OFResultReader reader;
    reader.setTime(2.5);
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volScalarField", &cells, patches, values));
    // Out of a table's bounds with "error", with times that do not increase (OpenFOAM refuses
    // both) or from a file, the cells next to the patch stand in.
    const std::vector<double> shown = {305, 125000, 3, 2, 11, 11, 11};
    for (size_t p = 0; p < shown.size(); ++p) EXPECT_EQ(values[p], (std::vector<double>{shown[p]})) << p;

    std::vector<std::vector<double>> timeless(patches.size(), undefined(1));
    OFResultReader withoutTime;
    ASSERT_TRUE(withoutTime.readValuesForCellAndBoundaries(dir.c_str(), "f", "volScalarField", &cells, patches, timeless));
    EXPECT_EQ(timeless[0], (std::vector<double>{10}));
    EXPECT_TRUE(allUndefined(timeless[1]));
    EXPECT_EQ(timeless[2], (std::vector<double>{3})) << "a constant needs no time";

    writeField("volVectorField", "internalField uniform (7 7 7);\nboundaryField\n{\n"
                                 "    inlet { type uniformFixedValue; uniformValue table ((0 (1 0 0)) (1 (3 2 0))); }\n"
                                 "    wall  { type fixedGradient; gradient uniform (0 0 0); }\n"
                                 "    far   { type freestreamVelocity; freestreamValue uniform (4 0 1); }\n}\n");
    std::vector<OFBoundary> vectorPatches = {patch("inlet", {0}), patch("wall", {1}), patch("far", {0})};
    std::vector<std::vector<double>> velocity = {undefined(3), undefined(3), undefined(3)};
    std::vector<double> cellVelocity = undefined(6);
    reader.setTime(0.5);
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volVectorField", &cellVelocity, vectorPatches, velocity));
    EXPECT_EQ(velocity[0], (std::vector<double>{2, 1, 0}));
    EXPECT_EQ(velocity[1], (std::vector<double>{7, 7, 7}));
    EXPECT_EQ(velocity[2], (std::vector<double>{4, 0, 1})) << "a free stream without value shows its free stream";
}

TEST_F(FieldTest, BinaryBoundaryValues) {
    const std::string body = "internalField   nonuniform List<vector> 2(" + raw({1, 2, 3, 4, 5, 6}) +
                             ");\nboundaryField\n{\n"
                             "    a\n    {\n        type mixed;\n        refValue nonuniform List<vector> 1(" +
                             raw({9, withLineFeedBytes(), 9}) + ");\n        valueFraction nonuniform List<scalar> 1(" +
                             raw({0.5}) + ");\n        value nonuniform List<vector> 1(" + raw({7, 8, 9}) +
                             ");\n    }\n    z\n    {\n        type processor;\n        value nonuniform List<vector> 2(" +
                             raw({withLineFeedBytes(), 0, 0, 0, 0, 0}) +
                             ");\n    }\n    b\n    {\n        type empty;\n        value nonuniform 0;\n    }\n"
                             "    c\n    {\n        type fixedValue;\n        value uniform (1 0 0);\n    }\n}\n";
    WriteOptions o = binaryOptions();
    o.gzip = true;
    writeField("volVectorField", body, o);
    std::vector<OFBoundary> patches = {patch("a", {0}), patch("b", {1}), patch("c", {0})};
    std::vector<std::vector<double>> values = {undefined(3), undefined(3), undefined(3)};
    std::vector<double> cells = undefined(6);
    OFResultReader reader;
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volVectorField", &cells, patches, values));
    EXPECT_EQ(cells, (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(values[0], (std::vector<double>{7, 8, 9}));
    EXPECT_EQ(values[1], (std::vector<double>{4, 5, 6}));
    EXPECT_EQ(values[2], (std::vector<double>{1, 0, 0}));
}

TEST_F(FieldTest, BadBoundaryValuesFailTheirPatch) {
    writeField("volScalarField",
               "internalField uniform 1;\nboundaryField\n{\n"
               "    a { type fixedValue; value nonuniform List<scalar> 3(1 2 3); }\n"
               "    b { type fixedValue; value uniform 5; }\n}\n");
    std::vector<OFBoundary> patches = {patch("a", {0, 0}), patch("b", {0})};
    std::vector<std::vector<double>> values = {undefined(2), undefined(1)};
    std::vector<double> cells = undefined(1);
    OFResultReader reader;
    {
        // The patch that cannot be read is undefined with a note; the others are read.
        LogCapture log;
        EXPECT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volScalarField", &cells, patches, values));
        EXPECT_EQ(log.count(1), 0u);
        EXPECT_TRUE(log.contains("boundary a", 3));
        EXPECT_TRUE(log.contains("Read 1 boundary patches", 3));
    }
    EXPECT_TRUE(allUndefined(values[0]));
    EXPECT_EQ(values[1], (std::vector<double>{5}));

    // Cut off inside a patch.
    writeField("volScalarField", "internalField uniform 1;\nboundaryField\n{\n    a\n    {\n        type fixedValue;\n");
    LogCapture log;
    values = {undefined(2), undefined(1)};
    EXPECT_FALSE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volScalarField", &cells, patches, values));
    EXPECT_EQ(log.count(1), 1u);
}

TEST_F(FieldTest, PointFieldPatchesTakeNodeValues) {
    writeField("pointVectorField",
               "internalField nonuniform List<vector> 3((1 0 0) (2 0 0) (3 0 0));\n"
               "boundaryField\n{\n    a\n    {\n        type slip;\n    }\n"
               "    b\n    {\n        type fixedValue;\n        value uniform (0 0 1);\n    }\n}\n");
    OFBoundary a;
    a.setPatchName("a");
    a.createNodeFaceToNodeMapping(2);
    a.nodeIndex(0) = 2;
    a.nodeIndex(1) = 0;
    std::vector<OFBoundary> patches = {a, patch("b", {})};
    std::vector<std::vector<double>> values = {undefined(6), undefined(3)};
    std::vector<double> nodes = undefined(9);
    OFResultReader reader;
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "pointVectorField", &nodes, patches, values));
    EXPECT_EQ(values[0], (std::vector<double>{3, 0, 0, 1, 0, 0}));
    EXPECT_EQ(values[1], (std::vector<double>{0, 0, 1}));
}

TEST_F(FieldTest, MeshValuesMappedOntoPatches) {
    const std::vector<double> cells = {1, 2, 3, 4, 5, 6};  // two vectors
    std::vector<double> face = undefined(9);
    EXPECT_TRUE(OFFile::applyMeshItemValueInBoundaryItem(&face, 3, &cells, {1, 0, 1}));
    EXPECT_EQ(face, (std::vector<double>{4, 5, 6, 1, 2, 3, 4, 5, 6}));
    face = undefined(9);
    EXPECT_FALSE(OFFile::applyMeshItemValueInBoundaryItem(&face, 3, &cells, {1, 2, -1}));
    EXPECT_TRUE(allUndefined(std::vector<double>(face.begin() + 3, face.end())));
    EXPECT_FALSE(OFFile::applyMeshItemValueInBoundaryItem(&face, 3, &cells, {0}));
}

// Real OpenFOAM output.

namespace {

std::vector<int> owners(const std::string& polyMesh) {
    OFFile file(true);
    std::vector<int> labels;
    int cells = 0;
    EXPECT_TRUE(file.readLabelList((polyMesh + "/owner").c_str(), "owner", &labels, &cells));
    return labels;
}

using PatchSpec = std::tuple<std::string, int, int>;  // name, start face, face count

std::vector<OFBoundary> meshPatches(const std::string& polyMesh, const std::vector<PatchSpec>& specs) {
    const std::vector<int> owner = owners(polyMesh);
    std::vector<OFBoundary> patches;
    for (const PatchSpec& p : specs) {
        const auto start = owner.begin() + std::get<1>(p);
        patches.push_back(patch(std::get<0>(p), std::vector<int>(start, start + std::get<2>(p))));
    }
    return patches;
}

std::vector<OFBoundary> cavityPatches(const std::string& polyMesh) {
    return meshPatches(polyMesh, {PatchSpec{"movingWall", 180, 10}, PatchSpec{"fixedWalls", 190, 30},
                                  PatchSpec{"frontAndBack", 220, 200}});
}

void expectNear(const std::vector<double>& got, const std::vector<double>& expected, size_t from = 0) {
    ASSERT_GE(got.size(), from + expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(got[from + i], expected[i], 1e-5 * std::abs(expected[i]) + 1e-12) << i;
}

}  // namespace

TEST(FieldRealFiles, CavityAsciiAndBinaryGz) {
    OFResultReader reader;
    const std::string ascii = DATA + "/cavity_multi_time";
    std::vector<double> p = undefined(100), u = undefined(300);
    {
        LogCapture log;
        ASSERT_TRUE(reader.readValues((ascii + "/0.1").c_str(), "p", "volScalarField", &p));
        EXPECT_TRUE(log.contains("OFResultReader : Result p file done. Read 100 items. Time used : ", 3));
    }
    expectNear(p, {6.77379e-08, -0.0140308, -0.0157053});
    std::vector<OFBoundary> patches = cavityPatches(ascii + "/constant/polyMesh");
    std::vector<std::vector<double>> values = {undefined(30), undefined(90), undefined(600)};
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries((ascii + "/0.2").c_str(), "U", "volVectorField", &u, patches, values));
    expectNear(u, {-0.000373096, 0.000306439, 0, -0.00571543, 0.0033118, 0, -0.0169752, 0.00450243, 0});
    EXPECT_EQ(values[0], (std::vector<double>{1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(values[1], std::vector<double>(90, 0.0)) << "noSlip writes no value: the wall is at rest";
    const int cell = patches[2].faceToCellMapping()[0];
    expectNear(values[2], {u[3 * cell], u[3 * cell + 1], u[3 * cell + 2]});

    // The binary gzip run: same values as the ascii one at the same times.
    const std::string binary = DATA + "/cavity_binary_gz";
    for (const std::string time : {"0.05", "0.1"}) {
        for (const auto& field : {std::make_pair("p", "volScalarField"), std::make_pair("U", "volVectorField")}) {
            const size_t n = std::string(field.first) == "p" ? 100 : 300;
            std::vector<double> fromAscii = undefined(n), fromBinary = undefined(n);
            ASSERT_TRUE(reader.readValues((ascii + "/" + time).c_str(), field.first, field.second, &fromAscii));
            ASSERT_TRUE(reader.readValues((binary + "/" + time).c_str(), field.first, field.second, &fromBinary));
            expectNear(fromBinary, fromAscii);
        }
    }
    std::vector<double> p15 = undefined(100);
    patches = cavityPatches(binary + "/constant/polyMesh");
    values = {undefined(10), undefined(30), undefined(200)};
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries((binary + "/0.15").c_str(), "p", "volScalarField", &p15, patches, values));
    expectNear(p15, {-3.70297e-08, -0.0142691, -0.0160752});
    EXPECT_EQ(values[0][0], p15[static_cast<size_t>(patches[0].faceToCellMapping()[0])]) << "zeroGradient";
    std::vector<double> u0 = undefined(300);
    values = {undefined(30), undefined(90), undefined(600)};
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries((binary + "/0").c_str(), "U", "volVectorField", &u0, patches, values));
    EXPECT_EQ(values[0][0], 1.0);
}

TEST(FieldRealFiles, TensorsAndWallFunctions) {
    OFResultReader reader;
    const std::string folder = DATA + "/tensors/0.15";
    std::vector<OFBoundary> patches = cavityPatches(DATA + "/tensors/constant/polyMesh");
    std::vector<std::vector<double>> values = {undefined(60), undefined(180), undefined(1200)};
    std::vector<double> grad = undefined(600);
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(folder.c_str(), "grad(U)", "volTensorField", &grad, patches, values));
    expectNear(grad, {-0.055966, 0.5 * (0.0283645 - 0.0319757), 0, 0.0579569, 0, 0});
    expectNear(values[0], {3.13943, 0.5 * (4.12146 + 194.375), 0, -13.4802, 0, 0});

    // The same file as the axial vector of its antisymmetric part.
    std::vector<double> axial = undefined(300);
    std::vector<std::vector<double>> axialValues = {undefined(30), undefined(90), undefined(600)};
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(folder.c_str(), "grad(U)", "volTensorField|axial", &axial, patches,
                                                      axialValues));
    expectNear(axial, {0, 0, 0.5 * (-0.0319757 - 0.0283645)});
    expectNear(axialValues[0], {0, 0, 0.5 * (194.375 - 4.12146)});

    std::vector<double> r = undefined(600);
    values = {undefined(60), undefined(180), undefined(1200)};
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(folder.c_str(), "turbulenceProperties:R", "volSymmTensorField", &r,
                                                      patches, values));
    expectNear(r, {0.00134655, 1.77041e-07, 0, 0.00133538, 0, 0.00134106, 0.00136228});
    expectNear(values[0], {0.00264397, -0.000772315, 0, 0.0027733, 0, 0.0026684});

    std::vector<double> nut = undefined(100);
    values = {undefined(10), undefined(30), undefined(200)};
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(folder.c_str(), "nut", "volScalarField", &nut, patches, values));
    expectNear(values[0], {3.89083e-06, 7.03956e-06});
    expectNear(values[1], {5.12045e-07, 5.64543e-07});

    std::vector<double> shear = undefined(300);
    ASSERT_TRUE(reader.readValues(folder.c_str(), "wallShearStress", "volVectorField", &shear));
    EXPECT_EQ(shear, std::vector<double>(300, 0.0));
}

TEST(FieldRealFiles, ProcessorPatchesAndSampledSurfaces) {
    OFResultReader reader;
    const std::string proc = DATA + "/decomposed/processor0";
    std::vector<OFBoundary> patches =
        meshPatches(proc + "/constant/polyMesh", {PatchSpec{"movingWall", 85, 5}, PatchSpec{"fixedWalls", 90, 15},
                                                  PatchSpec{"frontAndBack", 105, 100}, PatchSpec{"procBoundary0to1", 205, 10}});
    std::vector<std::vector<double>> values = {undefined(15), undefined(45), undefined(300), undefined(30)};
    std::vector<double> u = undefined(150);
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries((proc + "/0.15").c_str(), "U", "volVectorField", &u, patches, values));
    expectNear(values[3], {-0.0353813, -0.00113194, 0, -0.0836323, -0.00539249, 0});

    const std::string surfaces = DATA + "/sampled_surfaces/postProcessing/sampleSurface/0.1";
    std::vector<double> p = undefined(10);
    ASSERT_TRUE(reader.readNonHeaderValues((surfaces + "/lid/scalarField").c_str(), "p", "pointScalarField", &p));
    expectNear(p, {-1.99483, -0.8515, -0.363677, -0.186072, -0.0793338, 0.0266563, 0.176548, 0.443882, 1.04972, 2.30846});
    std::vector<double> lid;
    ASSERT_TRUE(reader.readNonHeaderValuesUpTo((surfaces + "/lid/vectorField").c_str(), "U", "pointVectorField", &lid, 30));
    ASSERT_EQ(lid.size(), 30u);
    EXPECT_EQ(lid[27], 1.0);
    std::vector<double> mid = undefined(30);
    ASSERT_TRUE(reader.readNonHeaderValues((surfaces + "/midPlane/vectorField").c_str(), "U", "pointVectorField", &mid));
    expectNear(mid, {-0.0348501, -0.00111174, 0, -0.0823837});
    std::vector<double> perPoint = undefined(22);
    EXPECT_FALSE(reader.readNonHeaderValues((surfaces + "/midPlane/scalarField").c_str(), "p", "pointScalarField", &perPoint));
}

namespace {
OFBoundary typedPatch(const std::string& name, const std::string& type, const std::vector<std::string>& groups,
                      const std::vector<int>& cells) {
    OFBoundary b = patch(name, cells);
    b.setType(type.c_str());
    b.setGroups(groups);
    return b;
}
}  // namespace

TEST_F(FieldTest, HandWrittenBoundaryFieldsMatchAsOpenFOAMDoes) {
    writeFile(path("include/initialConditions"), "flowVelocity (4 0 0);\ninlet { type fixedValue; value uniform (9 0 0); }\n");
    writeField("volVectorField",
               "#include \"include/initialConditions\"\n"
               "internalField uniform $flowVelocity;\n"
               "boundaryField\n{\n"
               "    #includeEtc \"caseDicts/setConstraintTypes\"\n"
               "    \".*\" { type fixedValue; value uniform (1 0 0); }\n"
               "    \"(lowerWall|upperWall)\" { type fixedValue; value $internalField; }\n"
               "    wall { type noSlip; }\n"
               "    baffles { type fixedValue; value uniform (2 0 0); }\n"
               "    inlet { $:inlet; }\n"
               "    lowerWall { type fixedValue; value uniform (5 0 0); }\n"
               "    odd { type fixedValue; value #calc \"1+1\"; }\n"
               "}\n");
    std::vector<OFBoundary> patches = {
        typedPatch("upperWall", "patch", {}, {0}),             // the later of two patterns
        typedPatch("lowerWall", "wall", {"wall"}, {0}),        // its own name before any group
        typedPatch("side", "wall", {"wall", "baffles"}, {0}),  // the group written last
        typedPatch("front", "empty", {}, {1}),                 // the constraint type's own entry
        typedPatch("axis", "wedge", {}, {1}),                  // likewise: cell values
        typedPatch("outlet", "patch", {}, {0}),                // the pattern for everything
        typedPatch("inlet", "patch", {}, {0}),                 // a dictionary merged in by name
        typedPatch("odd", "patch", {}, {0}),                   // needs evaluation: undefined
    };
    std::vector<std::vector<double>> values(patches.size(), undefined(3));
    std::vector<double> cells = {1, 2, 3, 6, 7, 8};
    LogCapture log;
    OFResultReader reader;
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volVectorField", &cells, patches, values));
    EXPECT_EQ(cells, (std::vector<double>{4, 0, 0, 4, 0, 0}));
    EXPECT_EQ(values[0], (std::vector<double>{4, 0, 0}));
    EXPECT_EQ(values[1], (std::vector<double>{5, 0, 0}));
    EXPECT_EQ(values[2], (std::vector<double>{2, 0, 0}));
    EXPECT_EQ(values[3], (std::vector<double>{4, 0, 0}));
    EXPECT_EQ(values[4], (std::vector<double>{4, 0, 0}));
    EXPECT_EQ(values[5], (std::vector<double>{1, 0, 0}));
    EXPECT_EQ(values[6], (std::vector<double>{9, 0, 0}));
    EXPECT_TRUE(allUndefined(values[7]));
    EXPECT_EQ(log.count(1), 0u);
    EXPECT_TRUE(log.contains("#includeEtc \"caseDicts/setConstraintTypes\" is not read", 3));
    EXPECT_TRUE(log.contains("Entry value needs #calc", 3));
    EXPECT_TRUE(log.contains("Read 7 boundary patches", 3));

    // Without the constraint types, a patch that no key names is undefined with a note.
    writeField("volScalarField", "internalField uniform 1;\nboundaryField\n{\n    a { type zeroGradient; }\n}\n");
    std::vector<OFBoundary> two = {typedPatch("a", "patch", {}, {0}), typedPatch("b", "symmetry", {}, {0})};
    std::vector<std::vector<double>> scalars(2, undefined(1));
    std::vector<double> one = undefined(2);
    LogCapture notes;
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volScalarField", &one, two, scalars));
    EXPECT_EQ(scalars[0], (std::vector<double>{1}));
    EXPECT_TRUE(allUndefined(scalars[1]));
    EXPECT_TRUE(notes.contains("No boundaryField entry for patch b in result file. File basename is " +
                                   dir + "/f",
                               3));
    EXPECT_TRUE(notes.contains("Read 1 boundary patches", 3));
}

TEST_F(FieldTest, ReferenceLevelIsAddedAsOpenFOAMReadsIt) {
    // As OpenFOAM's conversion shows a hand-written fluidised bed: the level is added to the
    // cells and to every patch value, and the cells next to a patch already carry it.
    writeField("volScalarField",
               "internalField nonuniform List<scalar> 2(0 1);\nreferenceLevel 1e-4;\nboundaryField\n{\n"
               "    inlet  { type fixedValue; value uniform 1e-4; }\n"
               "    outlet { type zeroGradient; }\n    odd { type fixedValue; value #calc \"1\"; }\n}\n");
    std::vector<OFBoundary> patches = {patch("inlet", {0}), patch("outlet", {1}), patch("odd", {0})};
    std::vector<std::vector<double>> values = {undefined(1), undefined(1), undefined(1)};
    std::vector<double> cells = undefined(2);
    OFResultReader reader;
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volScalarField", &cells, patches, values));
    EXPECT_EQ(cells, (std::vector<double>{1e-4, 1 + 1e-4}));
    EXPECT_EQ(values[0], (std::vector<double>{2e-4}));
    EXPECT_EQ(values[1], (std::vector<double>{1 + 1e-4}));
    EXPECT_TRUE(allUndefined(values[2])) << "undefined values stay undefined";

    writeField("volVectorField", "internalField uniform (1 2 3);\nreferenceLevel (10 20 30);\nboundaryField\n{\n}\n");
    std::vector<double> vectors = undefined(3);
    ASSERT_TRUE(read("volVectorField", &vectors));
    EXPECT_EQ(vectors, (std::vector<double>{11, 22, 33}));
}

TEST_F(FieldTest, InternalFieldsHoldCellValuesOnly) {
    writeField("volVectorField::Internal", "dimensions [0 1 -1 0 0 0 0];\nvalue nonuniform List<vector> 2((1 2 3) (4 5 6));\n");
    std::vector<OFBoundary> patches = {patch("a", {0})};
    std::vector<std::vector<double>> values = {undefined(3)};
    std::vector<double> cells = undefined(6);
    OFResultReader reader;
    LogCapture log;
    ASSERT_TRUE(reader.readValuesForCellAndBoundaries(dir.c_str(), "f", "volVectorField::Internal", &cells, patches, values));
    EXPECT_EQ(cells, (std::vector<double>{1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(allUndefined(values[0]));
    EXPECT_EQ(log.count(1), 0u);
    writeField("volScalarField::Internal", "value uniform 2.5;\n");
    std::vector<double> scalars = undefined(3);
    ASSERT_TRUE(read("volScalarField::Internal", &scalars));
    EXPECT_EQ(scalars, (std::vector<double>(3, 2.5)));
}

TEST(FieldRealFiles, HandWrittenFilesAgainstOpenFOAMsOwnReading) {
    // 0/U and 0/p use includes, $-names, #includeEtc, a group key, patterns and entries out of
    // order; mag(U) and mag(p) are what OpenFOAM wrote from the same files once resolved.
    const std::string root = DATA + "/handwritten";
    std::vector<OFBoundary> patches;
    OFFile boundary(true);
    ASSERT_TRUE(boundary.readBoundary((root + "/constant/polyMesh/boundary").c_str(), "boundary", patches, 1));
    const std::vector<int> owner = owners(root + "/constant/polyMesh");
    for (OFBoundary& b : patches) {
        b.createFaceToCellMapping(b.faceCount());
        for (size_t i = 0; i < b.faceCount(); ++i) b.cellIndex(i) = owner[static_cast<size_t>(b.startFaceIndex()) + i];
    }
    OFResultReader reader;
    auto read = [&](const char* name, const char* className, size_t components, std::vector<double>* cells) {
        std::vector<std::vector<double>> values;
        for (const OFBoundary& b : patches) values.push_back(undefined(b.faceCount() * components));
        *cells = undefined(400 * components);
        EXPECT_TRUE(reader.readValuesForCellAndBoundaries((root + "/0").c_str(), name, className, cells, patches, values))
            << name;
        return values;
    };
    std::vector<double> u, magU, p, magP;
    const auto uPatches = read("U", "volVectorField", 3, &u);
    const auto magUPatches = read("mag(U)", "volScalarField", 1, &magU);
    const auto pPatches = read("p", "volScalarField", 1, &p);
    const auto magPPatches = read("mag(p)", "volScalarField", 1, &magP);
    for (size_t b = 0; b < patches.size(); ++b) {
        if (patches[b].type() == vx::Str("empty")) continue;  // OpenFOAM writes no values there
        for (size_t f = 0; f < patches[b].faceCount(); ++f) {
            const double* v = &uPatches[b][3 * f];
            EXPECT_DOUBLE_EQ(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), magUPatches[b][f]) << b;
            EXPECT_DOUBLE_EQ(std::abs(pPatches[b][f]), magPPatches[b][f]) << b;
        }
    }
    EXPECT_EQ(u[0], 1.0);
    EXPECT_EQ(p[0], 5.0);
    EXPECT_EQ(uPatches[0][0], 3.0) << "movingWall: its own entry, not the pattern or the wall group";
    EXPECT_EQ(pPatches[1][0], 7.0) << "fixedWalls: the pattern";

    // The full tensor T as its axial vector: ((T_zy - T_yz)/2, (T_xz - T_zx)/2, (T_yx - T_xy)/2).
    std::vector<double> axial;
    const auto axialPatches = read("T", "volTensorField|axial", 3, &axial);
    expectNear(axial, {1, -2, 1});
    expectNear(axialPatches[0], {-1, 2, -1});
}
