#include <gtest/gtest.h>

#include <clocale>
#include <thread>

#include "core/Str.h"
#include "core/Timer.h"
#include "core/Undefined.h"

using vx::Str;

TEST(Str, ArgumentSubstitutionFillsLowestEscapeEverywhere) {
    EXPECT_EQ(Str("%1 and %1").arg("x"), Str("x and x"));
    EXPECT_EQ(Str("100%").arg(3), Str("100%"));
    EXPECT_EQ(Str("%2 %1").arg("a"), Str("%2 a"));
    EXPECT_EQ(Str("%10 %2").arg("a"), Str("%10 a"));
    EXPECT_EQ(Str("%10 %2").arg("a").arg("b"), Str("b a"));
    EXPECT_EQ(Str("Read %1 of %2").arg(5).arg(7), Str("Read 5 of 7"));
    EXPECT_EQ(Str("%1").arg(-12), Str("-12"));
    EXPECT_EQ(Str("% %a %1").arg("z"), Str("% %a z"));
}

TEST(Str, ArgumentPaddingAndNumberFormats) {
    EXPECT_EQ(Str("[%1]").arg("ab", 4), Str("[  ab]"));
    EXPECT_EQ(Str("[%1]").arg("ab", -4, '.'), Str("[ab..]"));
    EXPECT_EQ(Str("[%1]").arg("abcdef", 2), Str("[abcdef]"));
    EXPECT_EQ(Str("%1").arg(0.1), Str("0.1"));
    EXPECT_EQ(Str("%1").arg(1234567.0), Str("1.23457e+06"));
    EXPECT_EQ(Str::number(0.5, 'f', 5), Str("0.50000"));
    EXPECT_EQ(Str::number(1e-05, 'f', 5), Str("0.00001"));
    EXPECT_EQ(Str::number(1234.5, 'e', 2), Str("1.23e+03"));
    EXPECT_EQ(Str::number(1234.5, 'E', 2), Str("1.23E+03"));
    EXPECT_EQ(Str::number(1234.5, 'g', 2), Str("1.2e+03"));
    EXPECT_EQ(Str::number(2.0), Str("2"));
    EXPECT_EQ(Str::number(2.0, 'x'), Str("2"));
}

TEST(Str, NumberFormattingIgnoresTheCLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) std::setlocale(LC_ALL, "C");
    EXPECT_EQ(Str::number(0.25, 'f', 2), Str("0.25"));
    EXPECT_DOUBLE_EQ(Str("0.25").toDouble(), 0.25);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(Str, SplitDropsEmptyPiecesAndTreatsSeparatorsAsASet) {
    const auto a = Str(" a  b ").split(" ");
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0], Str("a"));
    EXPECT_EQ(a[1], Str("b"));
    const auto b = Str("a,;b").split(",;");
    ASSERT_EQ(b.size(), 2u);
    EXPECT_EQ(b[1], Str("b"));
    EXPECT_TRUE(Str("").split(" ").empty());
    EXPECT_TRUE(Str("///").split("/").empty());
}

TEST(Str, NumberParsing) {
    bool ok = false;
    EXPECT_DOUBLE_EQ(Str(" \t12.5e1 xyz").toDouble(&ok), 125.0);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Str("abc").toDouble(&ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Str("").toDouble(&ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_DOUBLE_EQ(Str("1.5abc").toDouble(&ok), 1.5);
    EXPECT_TRUE(ok);
    EXPECT_DOUBLE_EQ(Str("-0.5").toDouble(&ok), -0.5);
    EXPECT_DOUBLE_EQ(Str("+2").toDouble(&ok), 2.0);
    EXPECT_EQ(Str("inf").toDouble(&ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Str("nan").toDouble(&ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Str("1e999").toDouble(&ok), 0.0);
    EXPECT_FALSE(ok);
    EXPECT_DOUBLE_EQ(Str("x").toDouble(7.0), 7.0);
    EXPECT_DOUBLE_EQ(Str("0.orig").toDouble(-1.0), 0.0);
    EXPECT_DOUBLE_EQ(Str("5_old").toDouble(-1.0), 5.0);

    EXPECT_EQ(Str("1.5").toInt(&ok), 1);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Str(" -42x").toInt(&ok), -42);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Str("2147483648").toInt(&ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Str("-2147483648").toInt(&ok), -2147483647 - 1);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Str("0.05").toInt(0), 0);
    EXPECT_EQ(Str("abc").toInt(9), 9);

    EXPECT_EQ(Str("-1").toUInt(&ok), 0u);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Str("4294967295").toUInt(&ok), 4294967295u);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Str("4294967296").toUInt(&ok), 0u);
    EXPECT_FALSE(ok);
}

TEST(Str, EditingAndSearching) {
    EXPECT_EQ(Str("\r\n").trimmed(), Str(""));
    EXPECT_EQ(Str(" \tab c\v\f").trimmed(), Str("ab c"));
    Str s("aXbX");
    EXPECT_EQ(s.replace("X", "XX"), Str("aXXbXX"));
    Str t("abc");
    EXPECT_EQ(t.replace("", "z"), Str("abc"));
    EXPECT_EQ(Str("abcdef").subStr(2, 2), Str("cd"));
    EXPECT_EQ(Str("abcdef").subStr(4), Str("ef"));
    EXPECT_EQ(Str("abc").subStr(3), Str(""));
    EXPECT_EQ(Str("abcabc").find("c", 3), 5u);
    EXPECT_EQ(Str("abc").find("d"), Str::npos);
    EXPECT_TRUE(Str("abc").startsWith(""));
    EXPECT_TRUE(Str("processor0").startsWith("processor"));
    EXPECT_FALSE(Str("proc").startsWith("processor"));
    EXPECT_EQ(Str("Case.FOAM").toLower(), Str("case.foam"));
    EXPECT_EQ(Str("grad(U)").toUpper(), Str("GRAD(U)"));
}

TEST(Str, OrderingAndConversions) {
    EXPECT_TRUE(Str("a") < Str("ab"));
    EXPECT_TRUE(Str("ab") < Str("b"));
    EXPECT_FALSE(Str("b") < Str("b"));
    EXPECT_TRUE(Str("10") < Str("2"));
    EXPECT_EQ("x" + Str("y"), Str("xy"));
}

TEST(Str, Utf8TextSurvivesTheRoundTripUnchanged) {
    // Names read from files are UTF-8: one character per sequence, the same bytes back out.
    EXPECT_EQ(Str("deckelWand_\xC3\xA4").size(), 12u);
    EXPECT_EQ(Str("deckelWand_\xC3\xA4").toUtf8(), "deckelWand_\xC3\xA4");
    EXPECT_EQ(Str(std::string("\xE2\x82\xAC\xF0\x9F\x8C\x8A")).toStdString(), "\xE2\x82\xAC\xF0\x9F\x8C\x8A");
    EXPECT_EQ(Str::fromUtf8("a\xC3\xA9"), Str("a\xC3\xA9"));
    EXPECT_EQ(Str("%1/p").arg(Str("druck_\xC3\xB6")).toUtf8(), "druck_\xC3\xB6/p");
    // Bytes outside any valid sequence (Latin-1 text, cut sequences, overlong forms, encoded
    // surrogates) are kept byte for byte rather than re-encoded.
    for (const std::string& bytes : {std::string("a\xE9"), std::string("\xC3"), std::string("\xE2\x82"),
                                     std::string("\xC0\xAF"), std::string("\xED\xA0\x80"), std::string("\xFF\xFE")}) {
        EXPECT_EQ(Str(bytes).toUtf8(), bytes);
        EXPECT_EQ(Str(bytes).size(), bytes.size());
    }
}

TEST(Timer, LapTimesAddUpToTheTotal) {
    vx::Timer timer;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const double lap1 = timer.lapTime();
    const double lap2 = timer.lapTime();
    EXPECT_GE(lap1, 0.004);
    EXPECT_LE(lap2, lap1 + 1.0);
    EXPECT_GE(timer.time(), lap1 + lap2 - 1e-9);
    EXPECT_EQ(vx::UNDEFINED_DOUBLE, 1.7976931348623157e308);
}
