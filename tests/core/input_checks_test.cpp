// SPDX-License-Identifier: GPL-3.0-or-later
// Range checks of the three input sets, with the bound types that decide the
// result exactly at a bound.
#include "cooler/cooler_input.h"
#include "cooler/cooler_road.h"
#include "evaporator/evap_input.h"
#include "evaporator/evap_road.h"
#include "heater/heater_input.h"
#include "heater/heater_road.h"
#include "text/text_format.h"

#include <QRegularExpression>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

using namespace heatx;

namespace {

// Types every line as a student would and reads it back.
void Type(CalcState& s, int line, const char* text) {
    QString valueText;
    StoreTypedLine(valueText, s.InputValues[line], QString::fromUtf8(text));
}

// A heater sheet that passes, from the example of a steam-heated water heater.
CalcState GoodHeater() {
    CalcState s;
    const char* v[] = {"0.686", "932", "2171000", "0.000212", "0.5", "0.642",
                       "0.000549", "4180", "0.0005", "60", "5"};
    for (int i = 0; i < 11; ++i) Type(s, i, v[i]);
    return s;
}

CalcState GoodCooler() {
    CalcState s;
    const char* v[] = {"0.62", "995", "0.0008", "4180", "0.0003", "10", "0.65",
                       "0.0005", "4190", "12", "25", "0.0006", "500000"};
    for (int i = 0; i < 13; ++i) Type(s, i, v[i]);
    return s;
}

CalcState GoodEvap() {
    CalcState s;
    const char* v[] = {"0.684", "923", "2141000", "0.000191", "0.683", "958", "4220", "0.000282",
                       "0.0589", "0.598", "0.598", "2256000", "43", "0.0005", "1000000"};
    for (int i = 0; i < 15; ++i) Type(s, i, v[i]);
    return s;
}

struct Case {
    int line;
    const char* text;
    bool passes;
};

template <typename Good, typename Check>
void ExpectCases(Good good, Check check, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        CalcState s = good();
        Type(s, c.line, c.text);
        const uint8_t bad = check(s);
        if (c.passes) {
            EXPECT_EQ(s.CalcError, kClear) << "line " << c.line << " = " << c.text << " should pass";
        } else {
            EXPECT_EQ(s.CalcError, kSet) << "line " << c.line << " = " << c.text << " should fail";
            EXPECT_EQ(bad, c.line) << "line " << c.line << " = " << c.text;
        }
    }
}

}  // namespace

TEST(HeaterCheck, BoundsDecideAtTheirNumberTypes) {
    ExpectCases(GoodHeater, CheckHeaterInput,
                {
                    {0, "0.04", false},        // float 0.04 lies below the double 0.04
                    {0, "1", true},            // upper bounds are floats: equal passes
                    {0, "1.0000001", false},
                    {1, "300", true},          // integer bound
                    {1, "299.99", false},
                    {1, "2000", true},
                    {2, "500000", true},
                    {3, "0.00005", false},     // double bound, float value below it
                    {3, "0.1", true},
                    {4, "0.00000001", false},
                    {5, "0.01", false},
                    {6, "0.000003", true},     // float 3e-6 lies above the double bound
                    {7, "500", true},
                    {7, "15000", true},
                    {8, "0.00005", false},
                    {8, "0.01", true},
                    {9, "150", true},
                    {9, "150.01", false},
                    {9, "0", false},
                    {9, "-0", false},
                    {10, "500", true},
                    {10, "0", false},
                    {10, "1e39", false},       // reads as infinity
                    {2, "1e39", false},
                    {2, "-1e39", false},
                    {0, "nan", false},         // not a number: reads 0
                    {0, "", false},            // empty answer: "0"
                });
}

TEST(HeaterCheck, FirstPassOverLinesZeroToEightWinsOverThePositivityPass) {
    CalcState s = GoodHeater();
    Type(s, 9, "0");
    Type(s, 10, "0");
    EXPECT_EQ(CheckHeaterInput(s), 9);
    Type(s, 3, "1");
    EXPECT_EQ(CheckHeaterInput(s), 3);
    // A failing line 0 and a pass both give 0: only CalcError tells them apart.
    CalcState t = GoodHeater();
    EXPECT_EQ(CheckHeaterInput(t), 0);
    EXPECT_EQ(t.CalcError, kClear);
    Type(t, 0, "5");
    EXPECT_EQ(CheckHeaterInput(t), 0);
    EXPECT_EQ(t.CalcError, kSet);
    // The check clears the flag before it checks.
    Type(t, 0, "0.5");
    CheckHeaterInput(t);
    EXPECT_EQ(t.CalcError, kClear);
}

TEST(HeaterCheck, ConstructiveRangesCompareFloatsOnBothSides) {
    const auto in = [](int line, const char* text) {
        return HeaterConstructiveInRange(line, ReadNumber(QString::fromUtf8(text)));
    };
    EXPECT_TRUE(in(12, "0.019"));
    EXPECT_TRUE(in(12, "0.06"));
    EXPECT_FALSE(in(12, "0.0189"));
    EXPECT_TRUE(in(13, "0.99"));
    EXPECT_TRUE(in(13, "10.01"));
    EXPECT_TRUE(in(14, "10.01"));
    EXPECT_FALSE(in(14, "10.05"));
    EXPECT_FALSE(in(14, "10.2"));
    EXPECT_TRUE(in(15, "9.9"));
    EXPECT_TRUE(in(15, "5000"));
    EXPECT_FALSE(in(15, "5000.5"));
    EXPECT_FALSE(in(15, "inf"));  // reads 0
    EXPECT_FALSE(in(15, "1e39"));
    EXPECT_FALSE(in(11, "1"));    // not a constructive line
}

TEST(CoolerCheck, BoundsAndThePositivityPass) {
    ExpectCases(GoodCooler, CheckCoolerInput,
                {
                    {0, "0.01", false},   // float just below the double 0.01
                    {1, "0.01", false},
                    {2, "0.000003", true},
                    {3, "500", true},
                    {4, "0.015", true},   // float upper bound
                    {4, "0.0001", false},  // float 1e-4 lies below the double 1e-4
                    {5, "0", false},      // passes the loop, fails the positivity step
                    {5, "500", true},
                    {9, "0", false},
                    {10, "200", true},
                    {10, "0", false},
                    {11, "0.00005", false},
                    {12, "50000000", true},
                    {12, "0", false},
                    {12, "-1e39", false},
                });
    CalcState s = GoodCooler();
    Type(s, 3, "1");
    Type(s, 7, "5");
    EXPECT_EQ(CheckCoolerInput(s), 3);
    CalcState t = GoodCooler();
    Type(t, 5, "0");
    Type(t, 7, "5");
    EXPECT_EQ(CheckCoolerInput(t), 7);  // the bounds loop runs before the positivity step
}

TEST(CoolerCheck, ConstructiveLinesHaveFirstEntryAndChangeBounds) {
    const auto first = [](int line, const char* t) {
        return CoolerFirstEntryInRange(line, ReadNumber(QString::fromUtf8(t)));
    };
    const auto change = [](int line, const char* t) {
        return CoolerChangeInRange(line, ReadNumber(QString::fromUtf8(t)));
    };
    EXPECT_FALSE(first(13, "0.019"));  // double bound at first entry
    EXPECT_TRUE(change(13, "0.019"));  // float bound in the design window
    EXPECT_TRUE(first(15, "0.0005"));
    EXPECT_FALSE(change(15, "0.0005"));
    EXPECT_TRUE(first(14, "1"));
    EXPECT_TRUE(first(14, "10"));
    EXPECT_FALSE(first(14, "10.01"));
    EXPECT_TRUE(first(16, "10"));
    EXPECT_FALSE(first(16, "9.99"));
    EXPECT_TRUE(first(17, "0.4"));
    EXPECT_TRUE(first(17, "0.001"));  // float 0.001 lies above the double 0.001
    EXPECT_FALSE(first(15, "0.0001"));  // float 1e-4 lies below the double 1e-4
    EXPECT_TRUE(change(15, "0.001"));
    EXPECT_TRUE(change(17, "0.001"));
    EXPECT_FALSE(first(12, "1"));
    EXPECT_FALSE(change(18, "1"));
}

TEST(EvapCheck, BoundsDecideAtTheirNumberTypes) {
    ExpectCases(GoodEvap, CheckEvapInput,
                {
                    {1, "1100", true},
                    {1, "800", true},
                    {4, "0.05", true},
                    {8, "0.001", true},
                    {10, "0.1", true},
                    {0, "0.04", false},
                    {3, "0.00001", false},
                    {7, "0.00005", false},
                    {13, "0.00005", false},
                    {9, "0.01", false},
                    {12, "100", true},
                    {12, "0", false},
                    {14, "0", false},
                    {14, "50000000", true},
                });
    CalcState s = GoodEvap();
    Type(s, 12, "0");
    Type(s, 14, "0");
    EXPECT_EQ(CheckEvapInput(s), 12);
    CalcState t = GoodEvap();
    Type(t, 3, "1");
    Type(t, 9, "1000");
    EXPECT_EQ(CheckEvapInput(t), 3);
    CalcState u = GoodEvap();
    Type(u, 12, "0");
    Type(u, 13, "1");
    EXPECT_EQ(CheckEvapInput(u), 13);  // line 12 = 0 passes the first pass

    EXPECT_TRUE(EvapHeightInRange(1.0f));
    EXPECT_TRUE(EvapHeightInRange(10.0f));
    EXPECT_FALSE(EvapHeightInRange(ReadNumber("0.99")));
    EXPECT_FALSE(EvapHeightInRange(ReadNumber("10.01")));
    EXPECT_FALSE(EvapHeightInRange(ReadNumber(NormalizeDecimal(""))));
}

TEST(Captions, AreStoredWithTheirBlanksAndFitEveryWidthThatPadsThem) {
    CalcState s;
    FillHeaterCaptions(s);
    FillCoolerCaptions(s);
    FillEvapCaptions(s);
    EXPECT_EQ(s.HeaterCaptions[6].size(), 45);
    EXPECT_EQ(s.HeaterCaptions[11], " ТИП ТЕПЛООБМЕННИКА   ");
    EXPECT_EQ(s.HeaterCaptions[16].size(), 44);
    EXPECT_EQ(s.CoolerCaptions[15].size(), 72);
    EXPECT_EQ(s.CoolerCaptions[6].size(), 67);
    EXPECT_EQ(s.CoolerCaptions[12], " ТЕПЛОВАЯ НАГРУЗКА, ВТ  ");
    EXPECT_EQ(s.EvapCaptions[9].size(), 59);
    for (int i = 0; i < 11; ++i) EXPECT_LT(s.HeaterCaptions[i].size(), 62) << i;
    for (int i = 0; i < 13; ++i) EXPECT_LE(s.CoolerCaptions[i].size(), 70) << i;
    for (int i = 0; i < 15; ++i) EXPECT_LT(s.EvapCaptions[i].size(), 62) << i;
    for (const auto* caps : {&s.HeaterCaptions[0], &s.CoolerCaptions[0], &s.EvapCaptions[0]})
        EXPECT_TRUE(caps->startsWith(QLatin1Char(' ')));
}

namespace {

// The example rows of the three apparatus with one text replaced.
std::vector<QString> Row(const char* row, int line = -1, const char* text = "") {
    std::vector<QString> texts;
    for (const QString& f : QString::fromUtf8(row).split(QLatin1Char(';'))) texts.push_back(f);
    if (line >= 0) texts[std::size_t(line)] = QString::fromUtf8(text);
    return texts;
}

constexpr const char* kHeaterRow = "0,686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;Г;0,025;2;3;100";
constexpr const char* kCoolerRow = "0,62;995;0,0008;4180;0,0003;10;0,65;0,0005;4190;12;25;0,0006;500000;0,025;2;0,95;100;0,02";
constexpr const char* kEvapRow =
    "0,684;923;2141000;0,000191;0,683;958;4220;0,000282;0,0589;0,598;0,598;2256000;43;0,0005;1000000;4";

struct RoadCase {
    const char* what;
    std::function<RoadOutcome(CalcState&)> run;
    RoadOutcome::Kind kind;
    int line;
};

}  // namespace

TEST(Roads, StopAtTheFirstBadLineInPromptOrderOrAtTheModel) {
    using K = RoadOutcome::Kind;
    const std::vector<RoadCase> cases = {
        {"heater example", [](CalcState& s) { return RunHeaterRoad(s, Row(kHeaterRow), true); }, K::Computed, -1},
        {"heater sheet before construction",
         [](CalcState& s) { return RunHeaterRoad(s, Row(kHeaterRow, 0, "0,04"), true); }, K::BadLine, 0},
        {"heater construction in prompt order", [](CalcState& s) {
             std::vector<QString> t = Row(kHeaterRow, 13, "0");
             t[15] = QStringLiteral("1");
             return RunHeaterRoad(s, t, true);
         }, K::BadLine, 13},
        {"heater without a type", [](CalcState& s) {
             RunHeaterRoad(s, Row(kHeaterRow), true);
             return RunHeaterRoad(s, std::nullopt);
         }, K::BadLine, kHeaterTypeLine},
        {"heater Re not above 2300", [](CalcState& s) { return RunHeaterRoad(s, Row(kHeaterRow, 10, "1"), true); },
         K::ModelFailed, -1},
        {"cooler example", [](CalcState& s) { return RunCoolerRoad(s, Row(kCoolerRow), CoolerRanges::FirstEntry); },
         K::Computed, -1},
        // 0.019 typed is a float below the 8-byte bound of the first entry but
        // at the float bound of a change.
        {"cooler first entry of d = 0.019",
         [](CalcState& s) { return RunCoolerRoad(s, Row(kCoolerRow, 13, "0,019"), CoolerRanges::FirstEntry); },
         K::BadLine, 13},
        {"cooler d = 0.019 as a change",
         [](CalcState& s) { return RunCoolerRoad(s, Row(kCoolerRow, 13, "0,019"), CoolerRanges::Either); },
         K::Computed, -1},
        {"evaporator example", [](CalcState& s) { return RunEvapRoad(s, Row(kEvapRow)); }, K::Computed, -1},
        {"evaporator height 11 m", [](CalcState& s) { return RunEvapRoad(s, Row(kEvapRow, 15, "11")); }, K::BadLine,
         kEvapHeightLine},
        {"evaporator without a heat flux", [](CalcState& s) { return RunEvapRoad(s, Row(kEvapRow, 12, "0,00001")); },
         K::ModelFailed, -1},
    };
    for (const RoadCase& c : cases) {
        CalcState s;
        const RoadOutcome outcome = c.run(s);
        EXPECT_EQ(outcome.kind, c.kind) << c.what;
        EXPECT_EQ(outcome.line, c.line) << c.what;
        // The sheet check and the model set the program's flag; a
        // constructive line is refused without it, as in the design windows.
        const bool flagged = c.kind == K::ModelFailed || (c.kind == K::BadLine && c.line == 0);
        EXPECT_EQ(s.CalcError != kClear, flagged) << c.what;
        if (outcome.Ok()) {
            EXPECT_GT(s.SurfaceF, 0.0f) << c.what;
        }
    }
}

namespace {

// Sets the decimal mark of printed numbers for one test.
struct MarkScope {
    explicit MarkScope(QChar mark) : old(DecimalMark()) { SetDecimalMark(mark); }
    ~MarkScope() { SetDecimalMark(old); }
    QChar old;
};

struct Described {
    const char* what;
    QString range;
    std::function<bool(const char*)> accepts;  // the check of that line, given the typed text
};

template <typename Good, typename Check>
std::function<bool(const char*)> SheetLine(Good good, Check check, int line) {
    return [=](const char* text) {
        CalcState s = good();
        Type(s, line, text);
        check(s);
        return s.CalcError == kClear;
    };
}

std::function<bool(const char*)> Alone(bool (*inRange)(int, float), int line) {
    return [=](const char* text) {
        CalcState s;
        Type(s, line, text);
        return inRange(line, s.InputValues[line]);
    };
}

}  // namespace

// Every allowed range the student is shown tells the truth at both ends: a
// bound typed as shown passes exactly where the text says "ОТ", "ДО", "НЕ
// МЕНЬШЕ" or "НЕ БОЛЬШЕ", and fails where it says "БОЛЬШЕ" or "МЕНЬШЕ".
TEST(AllowedRange, TellsTheTruthAtBothBoundsOfEveryLine) {
    const MarkScope comma(QLatin1Char(','));
    std::vector<Described> all;
    for (int i = 0; i < 11; ++i) all.push_back({"heater sheet", HeaterAllowedRange(i), SheetLine(GoodHeater, CheckHeaterInput, i)});
    for (int i = 12; i <= 15; ++i)
        all.push_back({"heater construction", HeaterAllowedRange(i), Alone(HeaterConstructiveInRange, i)});
    for (int i = 0; i < 13; ++i) all.push_back({"cooler sheet", CoolerAllowedRange(i), SheetLine(GoodCooler, CheckCoolerInput, i)});
    for (int i = 13; i <= 17; ++i) {
        all.push_back({"cooler first entry", CoolerAllowedRange(i), Alone(CoolerFirstEntryInRange, i)});
        all.push_back({"cooler change", CoolerAllowedRange(i, true), Alone(CoolerChangeInRange, i)});
    }
    for (int i = 0; i < 15; ++i) all.push_back({"evaporator sheet", EvapAllowedRange(i), SheetLine(GoodEvap, CheckEvapInput, i)});
    all.push_back({"evaporator height", EvapAllowedRange(15), [](const char* text) {
                       CalcState s;
                       Type(s, 15, text);
                       return EvapHeightInRange(s.InputValues[15]);
                   }});
    static const QRegularExpression form(
        QStringLiteral("^(ОТ|БОЛЬШЕ|НЕ МЕНЬШЕ) ([0-9,]+) (ДО|И НЕ БОЛЬШЕ|И МЕНЬШЕ) ([0-9,]+)$"));
    for (const Described& d : all) {
        const auto m = form.match(d.range);
        ASSERT_TRUE(m.hasMatch()) << d.what << ": " << d.range.toStdString();
        const QByteArray low = m.captured(2).replace(',', '.').toUtf8();
        const QByteArray high = m.captured(4).replace(',', '.').toUtf8();
        const bool lowIn = m.captured(1) != QStringLiteral("БОЛЬШЕ");
        const bool highIn = m.captured(3) != QStringLiteral("И МЕНЬШЕ");
        EXPECT_EQ(d.accepts(low.constData()), lowIn) << d.what << " " << d.range.toStdString();
        EXPECT_EQ(d.accepts(high.constData()), highIn) << d.what << " " << d.range.toStdString();
    }
}

TEST(AllowedRange, ReadsAsTheStudentTypesAndNamesTheRefusal) {
    const MarkScope comma(QLatin1Char(','));
    EXPECT_EQ(HeaterAllowedRange(0), QStringLiteral("БОЛЬШЕ 0,04 И НЕ БОЛЬШЕ 1"));
    EXPECT_EQ(HeaterAllowedRange(4), QStringLiteral("БОЛЬШЕ 0,00000001 И НЕ БОЛЬШЕ 200"));
    EXPECT_EQ(HeaterAllowedRange(6), QStringLiteral("ОТ 0,000003 ДО 0,1"));
    EXPECT_EQ(HeaterAllowedRange(9), QStringLiteral("БОЛЬШЕ 0 И НЕ БОЛЬШЕ 150"));
    EXPECT_EQ(HeaterAllowedRange(12), QStringLiteral("ОТ 0,019 ДО 0,06"));
    EXPECT_EQ(CoolerAllowedRange(12), QStringLiteral("БОЛЬШЕ 0 И НЕ БОЛЬШЕ 50000000"));
    EXPECT_EQ(CoolerAllowedRange(13), QStringLiteral("БОЛЬШЕ 0,019 И НЕ БОЛЬШЕ 0,06"));
    EXPECT_EQ(CoolerAllowedRange(13, true), QStringLiteral("ОТ 0,019 ДО 0,06"));
    EXPECT_EQ(CoolerAllowedRange(15, true), QStringLiteral("ОТ 0,001 ДО 1"));
    EXPECT_EQ(EvapAllowedRange(15), QStringLiteral("ОТ 1 ДО 10"));
    {
        const MarkScope point(QLatin1Char('.'));
        EXPECT_EQ(HeaterAllowedRange(12), QStringLiteral("ОТ 0.019 ДО 0.06"));
    }

    CalcState s;
    FillHeaterCaptions(s);
    EXPECT_EQ(HeaterRefusal(s, 12, QStringLiteral("0,1")),
              QStringLiteral("НАРУЖНЫЙ ДИАМЕТР ТРУБ: ВВЕДЕНО «0,1»; ДОПУСТИМО ОТ 0,019 ДО 0,06 М"));
    EXPECT_EQ(HeaterRefusal(s, 13, QStringLiteral("11")),
              QStringLiteral("ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ: ВВЕДЕНО «11»; ДОПУСТИМО ОТ 0,99 ДО 10,01 ШТ."));
    s.HeaterHorizontal = kClear;
    EXPECT_EQ(HeaterRefusal(s, 14, QString()),
              QStringLiteral("ВЫСОТА ТРУБ: НИЧЕГО НЕ ВВЕДЕНО; ДОПУСТИМО ОТ 0,99 ДО 10,01 М"));
    // A caption without a unit after a comma; a long or unprintable text.
    EXPECT_EQ(CoolerRefusal(15, QString(50, QLatin1Char('9')), false),
              QStringLiteral("КОЭФФИЦИЕНТ,УЧИТЫВАЮЩИЙ СНИЖЕНИЕ СРЕДН.ДВИЖ.СИЛЫ ПРИ СМЕШ.ТОКЕ(БЕЗРАЗМ): ВВЕДЕНО «") +
                  QString(40, QLatin1Char('9')) + QStringLiteral("…»; ДОПУСТИМО БОЛЬШЕ 0,0001 И НЕ БОЛЬШЕ 1"));
    EXPECT_EQ(EvapHeightRefusal(QStringLiteral("1\n2\u202e")),
              QStringLiteral("ВЫСОТА ТРУБ: ВВЕДЕНО «1?2?»; ДОПУСТИМО ОТ 1 ДО 10 М"));
}
