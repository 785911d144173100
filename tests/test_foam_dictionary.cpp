#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "io/FoamDictionary.h"
#include "io/FoamFieldValues.h"
#include "io/FoamFileSource.h"
#include "io/Units.h"

using namespace foamdict;

namespace {

// Parses /case/0/U (and whatever it includes) from files held in memory.
struct MemoryCase {
    MemoryFileSource files;
    Dictionary dict;
    std::unique_ptr<Parser> parser;

    MemoryCase() { files.add("/case/system/controlDict", "application icoFoam;\n"); }
    bool parse(const std::string& text, const std::string& name = "/case/0/U") {
        files.add(name, text);
        ParseOptions options;
        options.files = &files;
        parser = std::make_unique<Parser>(options);
        return parser->parseFile(name, &dict);
    }
    bool hasProblem(const std::string& fragment) const {
        for (const Problem& p : parser->problems())
            if (p.message.find(fragment) != std::string::npos) return true;
        return false;
    }
};

}  // namespace

TEST(FoamDictionaryLexing, WordsStringsCommentsAndBlocks) {
    MemoryCase c;
    ASSERT_TRUE(c.parse("a grad(U); // comment\n/* block\n b 2; */ div(phi,U) Gauss linear;\n"
                        "s \"x \\\"y\\\"\";\ncode #{ int a; } #};\nlist (1 2.5e-3 -0);\n"));
    EXPECT_EQ(c.dict.text("a"), "grad(U)");
    EXPECT_EQ(c.dict.findLiteral("b"), nullptr);
    EXPECT_EQ(c.dict.text("div(phi,U)"), "Gauss linear");
    EXPECT_EQ(c.dict.text("s"), "\"x \"y\"\"");
    EXPECT_EQ(c.dict.findLiteral("code")->tokens.at(0).kind, TokenKind::Verbatim);
    EXPECT_EQ(c.dict.text("list"), "(1 2.5e-3 -0)");
}

TEST(FoamDictionaryLexing, EscapesBlanksAndZeroBytes) {
    MemoryCase c;
    // An escaped backslash or quote is the character itself; any other backslash stays.
    ASSERT_TRUE(c.parse("s \"p\\\\q\\r\\\"\";\fx\v1;\ty\r\n2;\n" + std::string("z a\0b;\n", 7)));
    EXPECT_EQ(c.dict.findLiteral("s")->tokens.at(0).text, "p\\q\\r\"");
    EXPECT_EQ(c.dict.text("x"), "1");
    EXPECT_EQ(c.dict.text("y"), "2");
    // A zero byte inside the text is part of the word around it, as every other byte that is
    // no blank, punctuation or quote.
    EXPECT_EQ(c.dict.text("z"), std::string("a\0b", 3));

    MemoryCase open;
    EXPECT_FALSE(open.parse("s \"never \\\" closed;\n"));
    EXPECT_TRUE(open.hasProblem("a string is not closed"));
}

TEST(FoamDictionaryLexing, LongListsStayInTheirText) {
    std::string values;
    for (int i = 0; i < 100; ++i) values += std::to_string(i) + "\n";
    MemoryCase c;
    ASSERT_TRUE(c.parse("internalField nonuniform List<scalar> 100\n(\n" + values + ")\n;\nafter 1;\n"));
    const Entry* e = c.dict.findLiteral("internalField");
    ASSERT_EQ(e->tokens.size(), 3u);
    ASSERT_EQ(e->tokens[2].kind, TokenKind::List);
    EXPECT_EQ(e->tokens[2].list->count, 100);
    EXPECT_EQ(std::string(e->tokens[2].list->data(), 2), "\n0");
    EXPECT_EQ(c.dict.text("after"), "1");

    std::vector<double> target(100);
    EXPECT_EQ(foamvalues::readFieldValue(e->tokens, 1, &target, 0).status, foamvalues::ValueStatus::Read);
    EXPECT_EQ(target[99], 99);
    std::vector<double> wrong(99);
    EXPECT_EQ(foamvalues::readFieldValue(e->tokens, 1, &wrong, 0).status, foamvalues::ValueStatus::WrongCount);

    MemoryCase open;
    EXPECT_FALSE(open.parse("x List<scalar> 100(1 2 3"));
    EXPECT_TRUE(open.hasProblem("not closed"));
}

TEST(FoamDictionaryLexing, LongVectorListsParseInParallelPieces) {
    const int n = 40000;
    std::string text = "v nonuniform List<vector> " + std::to_string(n) + "\n(\n";
    for (int i = 0; i < n; ++i) text += "(" + std::to_string(i) + " 0.5 -" + std::to_string(i) + ")\n";
    text += ");\n";
    MemoryCase c;
    ASSERT_TRUE(c.parse(text));
    std::vector<double> values(3 * n);
    ASSERT_EQ(foamvalues::readFieldValue(c.dict.findLiteral("v")->tokens, 3, &values, 0).status,
              foamvalues::ValueStatus::Read);
    for (int i = 0; i < n; i += 997) {
        EXPECT_EQ(values[3 * i], i);
        EXPECT_EQ(values[3 * i + 2], -i);
    }
}

// A long list ends at the ")" that closes its own "(", however deep the items nest and however
// far apart the parentheses are.
TEST(FoamDictionaryLexing, LongListsEndAtTheirOwnClosingParenthesis) {
    std::string nested;
    for (int i = 0; i < 40; ++i) nested += i % 3 ? "((1 2) (3 (4 5)))\n" : "()\n";
    std::string wide = "(";
    for (int i = 0; i < 200; ++i) wide += " 1";
    wide += ")";
    for (const std::string& items : {nested, wide + "\n" + wide + "\n" + nested}) {
        const long long count = items == nested ? 40 : 42;
        MemoryCase c;
        ASSERT_TRUE(c.parse("x List<tensor> " + std::to_string(count) + "\n(\n" + items + ")\n;\nafter (7);\n"));
        const Entry* e = c.dict.findLiteral("x");
        ASSERT_EQ(e->tokens.back().kind, TokenKind::List);
        EXPECT_EQ(e->tokens.back().list->count, count);
        EXPECT_EQ(std::string(e->tokens.back().list->data(), e->tokens.back().list->size()), "\n" + items);
        EXPECT_EQ(c.dict.text("after"), "(7)");
    }
    MemoryCase open;
    EXPECT_FALSE(open.parse("x List<vector> 40\n(\n" + nested + ";\n"));
    EXPECT_TRUE(open.hasProblem("not closed"));

    // The same wherever the parentheses fall against the blocks the scan reads, with runs of
    // ")" longer and shorter than the depth, and with the closing one among the last bytes.
    std::string deep;
    for (int i = 0; i < 40; ++i) deep += std::string(static_cast<size_t>(i % 19), '(') + "1" + std::string(static_cast<size_t>(i % 19), ')') + " ";
    const std::string loose = wide + " 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20\n";
    for (const std::string& items : {nested, deep, loose}) {
        for (size_t shift = 0; shift < 17; ++shift) {
            for (const std::string& tail : {std::string(")\n;\nafter (7);\n"), std::string(")")}) {
                const std::string text = "x List<tensor> 40" + std::string(shift, ' ') + "(" + items + tail;
                MemoryCase c;
                ASSERT_TRUE(c.parse(text)) << shift;
                const Entry* e = c.dict.findLiteral("x");
                ASSERT_EQ(e->tokens.back().kind, TokenKind::List) << shift;
                EXPECT_EQ(std::string(e->tokens.back().list->data(), e->tokens.back().list->size()), items) << shift;
            }
        }
    }
}

// Lists long enough to be parsed in pieces: items counted right whatever blanks separate them
// (tabs, carriage returns, several on a line, blanks where the pieces are cut).
TEST(FoamDictionaryLexing, LongScalarListsCountedWhateverTheBlanks) {
    const int n = 120000;
    const char* const separators[] = {"\n", " ", "\t", "\r\n", "   \n\t"};
    std::string text = "s nonuniform List<scalar> " + std::to_string(n) + "\n(";
    for (int i = 0; i < n; ++i) text += separators[i % 5] + std::to_string(i) + ".5";
    const std::string tail = "\n)\n;\n";
    MemoryCase c;
    ASSERT_TRUE(c.parse(text + tail));
    std::vector<double> values(n);
    ASSERT_EQ(foamvalues::readFieldValue(c.dict.findLiteral("s")->tokens, 1, &values, 0).status,
              foamvalues::ValueStatus::Read);
    for (int i = 0; i < n; i += 1009) EXPECT_EQ(values[i], i + 0.5);
    EXPECT_EQ(values[n - 1], n - 0.5);

    // One number too many or too few is a failed read, not a shifted one.
    for (const std::string& changed : {text + " 1" + tail, text.substr(0, text.rfind(' ')) + tail}) {
        MemoryCase d;
        ASSERT_TRUE(d.parse(changed));
        std::vector<double> target(n);
        EXPECT_NE(foamvalues::readFieldValue(d.dict.findLiteral("s")->tokens, 1, &target, 0).status,
                  foamvalues::ValueStatus::Read);
    }
}

TEST(FoamDictionarySubstitution, ScopesAsOpenFOAMDoes) {
    MemoryCase c;
    ASSERT_TRUE(c.parse("top 1;\n"
                        "outer { inner { deep 4; } mid 2; near $mid; up $..mid; far $top; }\n"
                        "later { abs $:outer.inner.deep; }\n"
                        "dotted $outer.inner.deep;\n"
                        "braced ${outer.mid};\n"
                        "slash $outer/inner/deep;\n"
                        "vec (1 $top 3);\n"
                        "copy { $outer; extra 5; }\n"));
    const Dictionary* outer = c.dict.subDict("outer");
    EXPECT_EQ(outer->text("near"), "2");
    EXPECT_EQ(outer->text("far"), "1");
    EXPECT_EQ(c.dict.subDict("later")->text("abs"), "4");
    EXPECT_EQ(c.dict.text("dotted"), "4");
    EXPECT_EQ(c.dict.text("braced"), "2");
    EXPECT_EQ(c.dict.text("slash"), "4");
    EXPECT_EQ(c.dict.text("vec"), "(1 1 3)");
    EXPECT_EQ(c.dict.subDict("copy")->subDict("inner")->text("deep"), "4");
    EXPECT_EQ(c.dict.subDict("copy")->text("extra"), "5");
}

TEST(FoamDictionarySubstitution, UndefinedAndCyclicNamesAreErrorsNotHangs) {
    MemoryCase c;
    ASSERT_TRUE(c.parse("a $b;\nb $a;\nok 1;\n"));
    EXPECT_EQ(c.dict.findLiteral("a")->unresolved, "$b");
    EXPECT_FALSE(c.dict.findLiteral("b")->unresolved.empty());
    EXPECT_EQ(c.dict.text("ok"), "1");
    EXPECT_TRUE(c.hasProblem("Undefined variable $b"));

    // Where a file of the installation was left unread, an unknown name may come from it: a note.
    MemoryCase etc;
    ASSERT_TRUE(etc.parse("post\n{\n    #includeEtc \"caseDicts/postProcessing/visualization/runTimePostPro.cfg\"\n"
                          "    colours { ${..colourScheme.blueGradient}; }\n    level $..scale;\n}\nlater $gone;\n"));
    size_t notes = 0, errors = 0;
    for (const Problem& p : etc.parser->problems()) {
        if (p.message.find("Undefined variable") == std::string::npos) continue;
        (p.info ? notes : errors) += 1;
    }
    EXPECT_EQ(notes, 2u);
    EXPECT_EQ(errors, 1u) << "outside the dictionary that included it, a name is still an error";

    // Doubling on every step: bounded, not exponential.
    std::string text = "x0 (1 1);\n";
    for (int i = 1; i < 40; ++i)
        text += "x" + std::to_string(i) + " ($x" + std::to_string(i - 1) + " $x" + std::to_string(i - 1) + ");\n";
    MemoryCase big;
    EXPECT_FALSE(big.parse(text));
    EXPECT_TRUE(big.hasProblem("too"));

    // The same with dictionaries merged in by name.
    std::string dicts = "d0 { k 1; }\n";
    for (int i = 1; i < 40; ++i)
        dicts += "d" + std::to_string(i) + " { p { $d" + std::to_string(i - 1) + "; } q { $d" + std::to_string(i - 1) + "; } }\n";
    MemoryCase tree;
    EXPECT_FALSE(tree.parse(dicts));
    EXPECT_TRUE(tree.hasProblem("too many tokens"));
}

TEST(FoamDictionaryDirectives, IncludesRelativeTaggedAndOptional) {
    MemoryCase c;
    c.files.add("/case/0/include/initialConditions", "flowVelocity (10 0 0);\n#include \"more\"\n");
    c.files.add("/case/0/include/more", "pressure 0;\n");
    c.files.add("/case/constant/shared", "nu 1e-05;\n");
    ASSERT_TRUE(c.parse("#include \"include/initialConditions\"\n#include \"<constant>/shared\"\n"
                        "#includeIfPresent \"absent\"\n#sinclude \"absent\"\n"
                        "internalField uniform $flowVelocity;\np $pressure;\n"));
    EXPECT_EQ(c.dict.text("internalField"), "uniform (10 0 0)");
    EXPECT_EQ(c.dict.text("p"), "0");
    EXPECT_EQ(c.dict.text("nu"), "1e-05");
    EXPECT_TRUE(c.parser->problems().empty());

    MemoryCase missing;
    ASSERT_TRUE(missing.parse("#include \"nowhere\"\na 1;\n"));
    EXPECT_TRUE(missing.hasProblem("Cannot find include file /case/0/nowhere"));
    EXPECT_EQ(missing.dict.text("a"), "1");
}

TEST(FoamDictionaryDirectives, CaseTaggedIncludesOfACaseOpenedByARelativePath) {
    MemoryFileSource files;
    files.add("run/pitz/system/controlDict", "application simpleFoam;\n");
    files.add("run/pitz/constant/vals", "Umean 7.5;\n");
    files.add("run/pitz/0/include/inlets", "k 0.375;\n");
    files.add("run/pitz/0/U", "#include \"<case>/0/include/inlets\"\n#include \"<constant>/vals\"\n"
                              "#include \"$FOAM_CASE/constant/vals\"\n#include \"${FOAM_CASE}/0/include/inlets\"\n"
                              "u ($Umean 0 0);\nkIn $k;\n");
    ParseOptions options;
    options.files = &files;
    Parser parser(options);
    Dictionary dict;
    ASSERT_TRUE(parser.parseFile("run/pitz/0/U", &dict));
    EXPECT_TRUE(parser.problems().empty()) << parser.problems().front().message;
    EXPECT_EQ(dict.text("u"), "(7.5 0 0)");
    EXPECT_EQ(dict.text("kIn"), "0.375");
}

TEST(FoamDictionaryDirectives, IncludeCyclesAndUnbalancedIncludesFail) {
    MemoryCase self;
    EXPECT_FALSE(self.parse("a 1;\n#include \"U\"\n"));
    EXPECT_TRUE(self.hasProblem("Include cycle: /case/0/U includes itself"));

    MemoryCase pair;
    pair.files.add("/case/0/b", "#include \"U\"\n");
    EXPECT_FALSE(pair.parse("#include \"b\"\n"));
    EXPECT_TRUE(pair.hasProblem("Include cycle"));

    MemoryCase open;
    open.files.add("/case/0/half", "inner { a 1;\n");
    EXPECT_FALSE(open.parse("outer { #include \"half\" }\n"));
    EXPECT_TRUE(open.hasProblem("unexpected end of file inside a dictionary in /case/0/half"));
}

TEST(FoamDictionaryDirectives, InputModeRemoveEtcAndEvaluation) {
    MemoryCase c;
    ASSERT_TRUE(c.parse("a 1;\na 2;\nd { x 1; }\nd { y 2; }\n"
                        "#inputMode protect\na 3;\n#inputMode overwrite\nd { z 3; }\n#inputMode merge\n"
                        "r1 1; r2 2; keep 3;\n#remove r1\n#remove (\"r.*\")\n"
                        "bf { #includeEtc \"caseDicts/setConstraintTypes\" }\n"
                        "calc #calc \"$a * 2\";\nlater 4;\n#if x\n"));
    EXPECT_EQ(c.dict.text("a"), "2");
    EXPECT_EQ(c.dict.subDict("d")->findLiteral("x"), nullptr);
    EXPECT_EQ(c.dict.subDict("d")->text("z"), "3");
    EXPECT_EQ(c.dict.findLiteral("r1"), nullptr);
    EXPECT_EQ(c.dict.findLiteral("r2"), nullptr);
    EXPECT_EQ(c.dict.text("keep"), "3");
    EXPECT_EQ(c.dict.subDict("bf")->subDict("wedge")->text("type"), "wedge");
    EXPECT_EQ(c.dict.subDict("bf")->skippedEtcIncludes().size(), 1u);
    EXPECT_EQ(c.dict.findLiteral("calc")->unresolved, "#calc");
    EXPECT_EQ(c.dict.text("later"), "4");
    EXPECT_TRUE(c.hasProblem("needs #calc"));
    EXPECT_TRUE(c.hasProblem("#if is not supported"));
}

TEST(FoamDictionaryPatterns, WholeNamesLastWrittenFirst) {
    EXPECT_TRUE(patternMatches("(lowerWall|upperWall)", "lowerWall"));
    EXPECT_FALSE(patternMatches("(lowerWall|upperWall)", "lowerWall2"));
    EXPECT_TRUE(patternMatches(".*Wall", "topWall"));
    EXPECT_TRUE(patternMatches("(?i)inlet.*", "INLET_1"));
    EXPECT_FALSE(patternMatches("(unclosed", "unclosed"));
    EXPECT_TRUE(patternMatches("wall{1,2}", "walll"));
    // Repeat counts the regex compiler would overflow on match nothing.
    EXPECT_FALSE(patternMatches("i{2044444444444444444444}", "i"));
    EXPECT_FALSE(patternMatches("a{1,99999999999999999999}", "a"));
    // Nested repeats: a name of 26 letters took the backtracking engine minutes.
    EXPECT_FALSE(patternMatches("(a*)*b", std::string(26, 'a')));
    EXPECT_TRUE(patternMatches("(a*)*b", std::string(26, 'a') + "b"));
    MemoryCase c;
    ASSERT_TRUE(c.parse("\".*\" { v 1; }\n\"in.*\" { v 2; }\ninlet { v 3; }\n"));
    EXPECT_EQ(c.dict.find("inlet")->dict->text("v"), "3");
    EXPECT_EQ(c.dict.find("inflow")->dict->text("v"), "2");
    EXPECT_EQ(c.dict.find("outlet")->dict->text("v"), "1");
}

TEST(FoamDictionaryHeader, HeaderEndAndEntryLists) {
    const std::string text = "// banner\nFoamFile\n{\n    meta { names (a b); }\n    object x;\n}\n2\n(\n"
                             "a { type wall; nFaces 2; }\nb { type patch; }\n)\n";
    size_t start = 0;
    const size_t end = headerEnd(text, &start);
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(text.substr(end, 2), "\n2");
    EXPECT_EQ(headerEnd("FoamFile { object x;"), std::string::npos);
    EXPECT_EQ(headerEnd("no header here"), 0u);
    Parser parser;
    Dictionary list;
    long long count = 0;
    ASSERT_TRUE(parser.parseEntryList(std::make_shared<std::string>(text), end, "x", &list, &count));
    EXPECT_EQ(count, 2);
    ASSERT_EQ(list.entries().size(), 2u);
    EXPECT_EQ(list.entries()[1]->dict->text("type"), "patch");

    // Long lists of entries are read entry by entry, not left in the text.
    std::string many = "40\n(\n";
    for (int i = 0; i < 40; ++i) many += "p" + std::to_string(i) + " { nFaces 1; }\n";
    Dictionary manyList;
    ASSERT_TRUE(parser.parseEntryList(std::make_shared<std::string>(many + ")\n"), 0, "x", &manyList, &count));
    EXPECT_EQ(manyList.entries().size(), 40u);
}

TEST(FoamUnits, NamedDimensionsAndUnitExpressions) {
    units::Dimension d;
    double factor = 0;
    ASSERT_TRUE(units::parseUnit("0 1 -1 0 0 0 0", &d, &factor));
    EXPECT_EQ(d, (units::Dimension{0, 1, -1, 0, 0, 0, 0}));
    ASSERT_TRUE(units::parseUnit("velocity", &d, &factor));
    EXPECT_EQ(d, (units::Dimension{0, 1, -1, 0, 0, 0, 0}));
    ASSERT_TRUE(units::parseUnit("kinematicPressure", &d, &factor));
    EXPECT_EQ(d, (units::Dimension{0, 2, -2, 0, 0, 0, 0}));
    ASSERT_TRUE(units::parseUnit("m^2/s^2", &d, &factor));
    EXPECT_EQ(d, (units::Dimension{0, 2, -2, 0, 0, 0, 0}));
    ASSERT_TRUE(units::parseUnit("kg/m^3", &d, &factor));
    EXPECT_EQ(d, (units::Dimension{1, -3, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(units::parseUnit("bar", &d, &factor));
    EXPECT_EQ(factor, 1e5);
    ASSERT_TRUE(units::parseUnit("mm/s", &d, &factor));
    EXPECT_DOUBLE_EQ(factor, 1e-3);
    // OpenFOAM counts substance in kmol, so a mol is a thousandth of its unit; cP is kg/m/s.
    ASSERT_TRUE(units::parseUnit("mol/m^3", &d, &factor));
    EXPECT_EQ(d, (units::Dimension{0, -3, 0, 0, 1, 0, 0}));
    EXPECT_DOUBLE_EQ(factor, 1e-3);
    ASSERT_TRUE(units::parseUnit("cP", &d, &factor));
    EXPECT_EQ(d, (units::Dimension{1, -1, -1, 0, 0, 0, 0}));
    EXPECT_DOUBLE_EQ(factor, 1e-3);
    EXPECT_FALSE(units::parseUnit("furlongs", &d, &factor));
    EXPECT_FALSE(units::parseUnit("1 2 3", &d, &factor));

    // A unit written after a value converts it to SI.
    MemoryCase c;
    ASSERT_TRUE(c.parse("p uniform 1 [bar];\nU uniform (1 0 0) [mm/s];\nbad uniform 1 [furlongs];\n"));
    std::vector<double> p(2), u(3), bad(1);
    ASSERT_EQ(foamvalues::readFieldValue(c.dict.findLiteral("p")->tokens, 1, &p, 0).status,
              foamvalues::ValueStatus::Read);
    EXPECT_EQ(p, (std::vector<double>{1e5, 1e5}));
    ASSERT_EQ(foamvalues::readFieldValue(c.dict.findLiteral("U")->tokens, 3, &u, 0).status,
              foamvalues::ValueStatus::Read);
    EXPECT_DOUBLE_EQ(u[0], 1e-3);
    EXPECT_NE(foamvalues::readFieldValue(c.dict.findLiteral("bad")->tokens, 1, &bad, 0).status,
              foamvalues::ValueStatus::Read);
}
