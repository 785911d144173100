#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "io/OFFile.h"
#include "tests/support/CaseWriter.h"

using namespace testsupport;

namespace {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override { dir = makeTempFolder("file"); }
    void TearDown() override { removeFolder(dir); }
    std::string write(const std::string& name, const std::string& text, bool gzip = false) {
        writeFile(dir + "/" + name, text, gzip);
        return dir + "/" + name;
    }
    std::string dir;
};

const char* const HEADER = "FoamFile\n{\n    version 2.0;\n    format ascii;\n    class dictionary;\n    object x;\n}\n";

}  // namespace

TEST_F(FileTest, PrefersTheCompressedFormAndReadsTheHeader) {
    write("U", std::string(HEADER) + "plain\n");
    write("U", "FoamFile\n{\n    format      ascii;\n    location    \"0\";\n    object      U;\n}\ngz\n", true);
    OFFile file(true);
    ASSERT_TRUE(file.open((dir + "/U").c_str()));
    EXPECT_EQ(file.headerValue("location"), "\"0\"");
    EXPECT_EQ(file.headerValue("object"), "U");
    char* line = nullptr;
    ASSERT_TRUE(file.getNextLine(&line));
    EXPECT_STREQ(line, "gz\n");
    EXPECT_FALSE(file.open((dir + "/missing").c_str()));
    EXPECT_FALSE(file.open(""));
}

TEST_F(FileTest, HeaderFormsThatAreRejectedOrKept) {
    OFFile file(true);
    // The header is a dictionary like any other: layout, comments and sub-dictionaries are free.
    EXPECT_TRUE(file.open(write("a", "FoamFile\n{\n    format ascii;\n  }\n").c_str())) << "indented }";
    EXPECT_TRUE(file.open(write("b", "FoamFile\n{\n    format ascii;\n\n}\n").c_str())) << "blank line";
    EXPECT_TRUE(file.open(write("c", "FoamFile\n{\n    format ascii;\n    // note\n}\n").c_str())) << "comment";
    ASSERT_TRUE(file.open(write("m", "FoamFile\n{\n    class regIOobject;\n    meta\n    {\n        names\n"
                                      "        (\n            zoneA zoneB\n        );\n    }\n    object\n"
                                      "        cellZones;\n}\n1\n").c_str()));
    EXPECT_EQ(file.headerValue("object"), "cellZones");
    EXPECT_EQ(file.headerValue("meta"), "");
    int count = 0;
    EXPECT_TRUE(file.readNextIntLine(&count));
    EXPECT_EQ(count, 1);
    EXPECT_FALSE(file.open(write("d", "FoamFile\n{\n    format ascii;\n").c_str())) << "no end";
    ASSERT_TRUE(file.open(write("e", "FoamFile {\n    format      binary ;\n}\n").c_str()));
    EXPECT_EQ(file.headerValue("format"), "binary");
    EXPECT_TRUE(file.isBinary());
    ASSERT_TRUE(file.open(write("f", "FoamFile\n{\n format binary;\n arch \"LSB;label=64;scalar=32\";\n}\n").c_str()));
    EXPECT_TRUE(file.isBinary());
    EXPECT_EQ(file.labelBytes(), 8);
    EXPECT_EQ(file.scalarBytes(), 4);
    ASSERT_TRUE(file.open(write("g", "banner\r\nFoamFile\r\n{\r\n format ascii;\r\n}\r\n").c_str()));
    EXPECT_EQ(file.headerValue("format"), "ascii");
}

TEST_F(FileTest, AHeaderlessFileOfClosingBracesIsRefusedAtOnce) {
    // Every "}" could end a header; looking again at each of a megabyte of them took hours.
    OFFile file(true);
    EXPECT_FALSE(file.open(write("braces", std::string(1 << 20, '}')).c_str()));
    EXPECT_FALSE(file.open(write("comment", "/*" + std::string(1 << 20, '}')).c_str()));
    EXPECT_FALSE(file.open(write("named", "FoamFile" + std::string(1 << 20, '}')).c_str()));
    const std::string manyBraces = "FoamFile\n{\n    note \"" + std::string(200, '}') + "\";\n    format ascii;\n}\n";
    ASSERT_TRUE(file.open(write("note", manyBraces).c_str()));
    EXPECT_EQ(file.headerValue("format"), "ascii");
}

TEST_F(FileTest, StreamTokens) {
    OFFile file(false);
    ASSERT_TRUE(file.open(write("t", "12(0 1\n").c_str()));
    int value = 0;
    ASSERT_TRUE(file.readNextInt(&value, '\n'));
    EXPECT_EQ(value, 12);
    ASSERT_TRUE(file.skipAfterNext('('));
    ASSERT_TRUE(file.open(write("t2", " 12\n").c_str()));
    EXPECT_FALSE(file.readNextInt(&value, '\n'));
    ASSERT_TRUE(file.open(write("t3", "abc 12\n8(\n").c_str()));
    ASSERT_TRUE(file.readNextIntLine(&value));
    EXPECT_EQ(value, 12);
    ASSERT_TRUE(file.readNextIntLine(&value));
    EXPECT_EQ(value, 8);
    EXPECT_FALSE(file.readNextIntLine(&value));
    ASSERT_TRUE(file.open(write("t4", "99999999999\n5\n").c_str()));
    EXPECT_FALSE(file.readNextIntLine(&value)) << "an overflowing count must not be skipped";
    double d = 0;
    ASSERT_TRUE(file.open(write("t5", " 2.5e+06;-0;1,5;").c_str()));
    ASSERT_TRUE(file.readNextDouble(&d, ';'));
    EXPECT_DOUBLE_EQ(d, 2.5e6);
    ASSERT_TRUE(file.readNextDouble(&d, ';'));
    EXPECT_EQ(d, 0.0);
    EXPECT_FALSE(file.readNextDouble(&d, ';'));
}

TEST_F(FileTest, BufferTokens) {
    int value = 0;
    char text1[] = "12 34\n";
    char* cursor = text1;
    ASSERT_TRUE(OFFile::readNextBufInt(&cursor, &value, ')', false));
    EXPECT_EQ(value, 12);
    EXPECT_EQ(*cursor, '3');
    char text2[] = "7\nrest)x";
    cursor = text2;
    ASSERT_TRUE(OFFile::readNextBufInt(&cursor, &value, ')', false));
    EXPECT_EQ(*cursor, 'x');
    char text3[] = "7\nrest";
    cursor = text3;
    EXPECT_FALSE(OFFile::readNextBufInt(&cursor, &value, ')', false));
    EXPECT_EQ(cursor, text3);
    char text4[] = "x1";
    cursor = text4;
    EXPECT_FALSE(OFFile::readNextBufInt(&cursor, &value, ')', true));
    char text5[] = "99999999999 ";
    cursor = text5;
    EXPECT_FALSE(OFFile::readNextBufInt(&cursor, &value, ')', true));
    double d = 0;
    char text6[] = "1.5 2)";
    cursor = text6;
    ASSERT_TRUE(OFFile::readNextBufDouble(&cursor, &d, ' '));
    EXPECT_DOUBLE_EQ(d, 1.5);
    ASSERT_TRUE(OFFile::readNextBufDouble(&cursor, &d, ')'));
    EXPECT_DOUBLE_EQ(d, 2.0);
    char text7[] = "1.5x ";
    cursor = text7;
    EXPECT_FALSE(OFFile::readNextBufDouble(&cursor, &d, ' '));
}

TEST_F(FileTest, LinesAndChunks) {
    OFFile file(false);
    ASSERT_TRUE(file.open(write("l", "first\n\nsecond\nlast").c_str()));
    char* line = nullptr;
    ASSERT_TRUE(file.getNextLineUsingChunk(&line));
    EXPECT_STREQ(line, "first");
    ASSERT_TRUE(file.getNextLine(&line));
    EXPECT_STREQ(line, "second");
    EXPECT_FALSE(file.getNextLine(&line)) << "a last line without line feed is not handed out from a chunk";

    const std::string longLine(5000, 'x');
    ASSERT_TRUE(file.open(write("long", longLine + "\n").c_str()));
    EXPECT_FALSE(file.getNextLine(&line));
    EXPECT_TRUE(file.lineOverflowed());
    ASSERT_TRUE(file.open(write("long2", "a\n" + longLine + "\n").c_str()));
    ASSERT_TRUE(file.getNextLineUsingChunk(&line));
    EXPECT_FALSE(file.getNextLine(&line));

    // A line that does not fit the room behind a full chunk fails the chunk read.
    const std::string block(OFFile::CHUNK_READ_SIZE - 1, 'y');
    ASSERT_TRUE(file.open(write("chunk", block + std::string(5000, 'z') + "\n").c_str()));
    std::unique_ptr<char[]> buffer(new char[OFFile::CHUNK_BUFFER_SIZE]);
    char* text = buffer.get();
    EXPECT_FALSE(file.getNextChunkOfLines(&text));
    EXPECT_TRUE(file.lineOverflowed());
}

TEST_F(FileTest, DimensionsInBothWritersForms) {
    OFFile file(false);
    std::vector<vx::Str> tokens;
    ASSERT_TRUE(file.open(write("d1", "x\ndimensions      [0 1 -1 0 0 0 0];\n").c_str()));
    ASSERT_TRUE(file.readDimensions(&tokens));
    EXPECT_EQ(tokens[1], vx::Str("[0"));
    EXPECT_EQ(tokens[7], vx::Str("0];"));
    ASSERT_TRUE(file.open(write("d2", "dimensions [ 0 1 -1 0 0 0 0 ];\n").c_str()));
    ASSERT_TRUE(file.readDimensions(&tokens));
    EXPECT_EQ(tokens[1], vx::Str("[0"));
    EXPECT_EQ(tokens[3], vx::Str("-1"));
    EXPECT_EQ(tokens[7], vx::Str("0];"));
    ASSERT_TRUE(file.open(write("d3", "dimensions [0 1 -1 0 0];\n").c_str()));
    EXPECT_FALSE(file.readDimensions(&tokens));
}
