// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/calc_state.h"
#include "text/text_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <limits>

using namespace heatx;

TEST(NormalizeDecimal, ReplacesOnlyTheFirstCommaAndKeepsEverythingElse) {
    EXPECT_EQ(NormalizeDecimal(""), "0");
    EXPECT_EQ(NormalizeDecimal("12,5"), "12.5");
    EXPECT_EQ(NormalizeDecimal("1,2,3"), "1.2,3");
    EXPECT_EQ(NormalizeDecimal("7"), "7");
    EXPECT_EQ(NormalizeDecimal(" 3,0"), " 3.0");
    EXPECT_EQ(NormalizeDecimal(","), ".");
}

TEST(ReadNumber, ReadsTheLeadingDecimalNumberOnly) {
    EXPECT_FLOAT_EQ(ReadNumber("0.683"), 0.683f);
    EXPECT_FLOAT_EQ(ReadNumber("   957"), 957.0f);
    EXPECT_FLOAT_EQ(ReadNumber("1.5,7"), 1.5f);
    EXPECT_FLOAT_EQ(ReadNumber("-2.5e3x"), -2500.0f);
    EXPECT_FLOAT_EQ(ReadNumber("+.5"), 0.5f);
    EXPECT_FLOAT_EQ(ReadNumber("5."), 5.0f);
    EXPECT_FLOAT_EQ(ReadNumber("2e"), 2.0f);     // no exponent digits: the number ends before e
    EXPECT_FLOAT_EQ(ReadNumber("2e+"), 2.0f);
    EXPECT_FLOAT_EQ(ReadNumber("1.2.3"), 1.2f);  // at most one point
    EXPECT_FLOAT_EQ(ReadNumber("3 4"), 3.0f);
}

TEST(ReadNumber, TextsThatAreNotDecimalNumbersReadAsZero) {
    for (const char* text : {"", "abc", "nan", "NaN", "inf", "-inf", "infinity", ".", "-", "+", "e5",
                             "1,5"}) {
        const float v = ReadNumber(QString::fromUtf8(text));
        if (QString::fromUtf8(text) == "1,5") {
            EXPECT_FLOAT_EQ(v, 1.0f) << text;  // a comma ends the number
        } else {
            EXPECT_EQ(v, 0.0f) << text;
        }
    }
    EXPECT_EQ(ReadNumber("0x10"), 0.0f);  // hexadecimal is not read: 0, then x ends it
    EXPECT_EQ(ReadNumber("\u0661\u0662"), 0.0f);  // Arabic-Indic digits are not decimal digits here
}

TEST(ReadNumber, ValuesBeyondTheFloatRangeBecomeInfinityOrZero) {
    EXPECT_EQ(ReadNumber("1e39"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(ReadNumber("-1e39"), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(ReadNumber("1e999999999999"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(ReadNumber("1e-50"), 0.0f);
    EXPECT_EQ(ReadNumber(QString(10000, QLatin1Char('9'))), std::numeric_limits<float>::infinity());
    const float negativeZero = ReadNumber("-0");
    EXPECT_EQ(negativeZero, 0.0f);
    EXPECT_TRUE(std::signbit(negativeZero));
}

TEST(ReadNumber, StoresTheDoubleReadingAsAFourByteFloat) {
    // 0.04 is read in double precision, then rounded to the float just below 0.04.
    EXPECT_EQ(ReadNumber("0.04"), static_cast<float>(0.04));
    EXPECT_LT(static_cast<double>(ReadNumber("0.04")), 0.04);
}

TEST(Blanks, GivesExactlyNBlanks) {
    EXPECT_EQ(Blanks(0), "");
    EXPECT_EQ(Blanks(12), "            ");
    EXPECT_EQ(Blanks(255).size(), 255);
}

TEST(PadTo, PadsToTheWidthAndNeverBeyond) {
    EXPECT_EQ(PadTo("abc", 5), "  ");
    EXPECT_EQ(PadTo(QString(62, QLatin1Char('x')), 62), "");
    EXPECT_EQ(PadTo(QString(70, QLatin1Char('x')), 62), "");  // longer than the width: no blanks
    EXPECT_EQ(ComposeLine(" A", 5, "1.5"), " A   1.5");
}

TEST(FormatFixed, RightJustifiesWithTheGivenDecimalMark) {
    EXPECT_EQ(FormatFixed(2.5f, 8, 2, QLatin1Char('.')), "    2.50");
    EXPECT_EQ(FormatFixed(2.5f, 8, 2, QLatin1Char(',')), "    2,50");
    EXPECT_EQ(FormatFixed(0.004f, 6, 2, QLatin1Char('.')), "  0.00");
    EXPECT_EQ(FormatFixed(123456.78f, 8, 2, QLatin1Char('.')), "123456.78");  // nine characters, no blanks
    EXPECT_EQ(FormatFixed(-3.14159f, 7, 3, QLatin1Char('.')), " -3.142");
    EXPECT_EQ(FormatFixed(7.0f, 3, 0, QLatin1Char('.')), "  7");
    EXPECT_EQ(FormatFixed(0.025f, 6, 3, QLatin1Char('.')), " 0.025");
    EXPECT_EQ(FormatFixed(0.02f, 8, 5, QLatin1Char('.')), " 0.02000");
}

TEST(FormatFixed, RoundsHalvesAwayFromZeroOnTheExactBinaryValue) {
    // Exact binary halves: away from zero (printf would give the even digit).
    EXPECT_EQ(FormatFixed(0.125f, 0, 2, QLatin1Char('.')), "0.13");
    EXPECT_EQ(FormatFixed(-0.125f, 0, 2, QLatin1Char('.')), "-0.13");
    EXPECT_EQ(FormatFixed(2.5f, 0, 0, QLatin1Char('.')), "3");
    EXPECT_EQ(FormatFixed(0.375f, 0, 2, QLatin1Char('.')), "0.38");
    // 1.005 as a float is 1.00499999523...: below the half, so it rounds down.
    EXPECT_EQ(FormatFixed(1.005f, 0, 2, QLatin1Char('.')), "1.00");
    // 2.675 as a float is 2.67499995...: down as well.
    EXPECT_EQ(FormatFixed(2.675f, 0, 2, QLatin1Char('.')), "2.67");
    // 0.015 as a float is 0.0149999996...
    EXPECT_EQ(FormatFixed(0.015f, 0, 2, QLatin1Char('.')), "0.01");
    // Carry through all digits.
    EXPECT_EQ(FormatFixed(9.995f, 0, 2, QLatin1Char('.')), "9.99");  // 9.99499988...
    EXPECT_EQ(FormatFixed(99.9951f, 0, 2, QLatin1Char('.')), "100.00");
}

TEST(FormatFixed, LargeAndTinyValuesHaveNoExponent) {
    EXPECT_EQ(FormatFixed(3.0e10f, 0, 2, QLatin1Char('.')), "30000001024.00");
    EXPECT_EQ(FormatFixed(1.0e-30f, 0, 2, QLatin1Char('.')), "0.00");
    EXPECT_EQ(FormatFixed(0.0f, 9, 2, QLatin1Char(',')), "     0,00");
}

TEST(FormatFixed, DoesNotDependOnTheCLocaleOfTheProcess) {
    // A windows program runs under the user's locale; Russian uses a comma.
    const char* saved = std::setlocale(LC_NUMERIC, nullptr);
    const std::string restore = saved ? saved : "C";
    if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") == nullptr) GTEST_SKIP() << "no ru_RU.UTF-8 locale";
    EXPECT_EQ(FormatFixed(0.025f, 6, 3, QLatin1Char(',')), " 0,025");
    EXPECT_EQ(FormatFixed(2086.51f, 8, 2, QLatin1Char('.')), " 2086.51");
    EXPECT_EQ(WholeNumber(60.4f), "60");
    EXPECT_FLOAT_EQ(ReadNumber("0.683"), 0.683f);
    std::setlocale(LC_NUMERIC, restore.c_str());
}

TEST(CenterCell, CentresTheTrimmedTextAndEndsWithABar) {
    EXPECT_EQ(CenterCell("  ab ", 7), "  ab   |");
    EXPECT_EQ(CenterCell("4", 8), "   4    |");
    EXPECT_EQ(CenterCell("2.5", 8), "  2.5   |");
    EXPECT_EQ(CenterCell("12345.67", 13), "  12345.67   |");  // 8 characters: 2 before, 3 after
    EXPECT_EQ(CenterCell("2086.51", 15), "    2086.51    |");
    EXPECT_EQ(CenterCell("947.28", 18), "      947.28      |");
    EXPECT_EQ(CenterCell("", 4), "    |");
    // Longer than the cell: the trimmed text and the bar, nothing cut.
    EXPECT_EQ(CenterCell(" 2.5000001 ", 8), "2.5000001|");
}

TEST(WholeNumber, RoundsHalvesToEven) {
    EXPECT_EQ(WholeNumber(2.5f), "2");
    EXPECT_EQ(WholeNumber(3.5f), "4");
    EXPECT_EQ(WholeNumber(60.4f), "60");
    EXPECT_EQ(WholeNumber(0.99f), "1");
    EXPECT_EQ(WholeNumber(5000.0f), "5000");
}

TEST(ProperCase, CapitalisesTheFirstLetterOfEveryWord) {
    EXPECT_EQ(ProperCase("студент с.с. гр. х-10"), "Студент С.с. Гр. Х-10");
    EXPECT_EQ(ProperCase("ИВАНОВ\tпЁТР"), "Иванов\tПётр");
    EXPECT_EQ(ProperCase(""), "");
    EXPECT_EQ(ProperCase("  a  b"), "  A  B");
}
