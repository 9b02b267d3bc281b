// SPDX-License-Identifier: GPL-3.0-or-later
// The printed reports: date line, head once per prepared sheet, one block or
// row per print, and columns that stand under their headings.
#include "cooler/cooler_input.h"
#include "cooler/cooler_model.h"
#include "cooler/cooler_report.h"
#include "evaporator/evap_input.h"
#include "evaporator/evap_model.h"
#include "evaporator/evap_report.h"
#include "heater/heater_input.h"
#include "heater/heater_model.h"
#include "heater/heater_report.h"
#include "report/report_frame.h"
#include "text/text_format.h"

#include <gtest/gtest.h>

using namespace heatx;

namespace {

const QString kDate = QStringLiteral(" 07 декабря 2026г.        14:05:33");
const DateLineSource kDateSource = [] { return kDate; };

void TypeAll(QString* texts, CalcState& s, int count, std::initializer_list<const char*> values) {
    int i = 0;
    for (const char* v : values) StoreTypedLine(texts[i], s.InputValues[i], QString::fromUtf8(v)), ++i;
    ASSERT_EQ(i, count);
}

CalcState PreparedHeater(bool horizontal) {
    CalcState s;
    FillHeaterCaptions(s);
    TypeAll(s.HeaterValueTexts.data(), s, 16,
            {"0,686", "932", "2171000", "0,000212", "0,5", "0,642", "0,000549", "4180", "0,0005", "60",
             "5", "", "0,025", "6", "3", "60"});
    s.HeaterHorizontal = horizontal ? kSet : kClear;
    s.StudentLine = QStringLiteral("Студент С.с. Гр. Х-10 ");
    s.ResetPrintFlags();
    return s;
}

CalcState PreparedEvap() {
    CalcState s;
    FillEvapCaptions(s);
    TypeAll(s.EvapValueTexts.data(), s, 16,
            {"0,684", "923", "2141000", "0,000191", "0,683", "958", "4220", "0,000282", "0,0589",
             "0,598", "0,598", "2256000", "43", "0,0005", "1000000", "4"});
    s.ResetPrintFlags();
    return s;
}

// Column positions of the bars of a table line.
QList<qsizetype> Bars(const QString& line) {
    QList<qsizetype> bars;
    for (qsizetype i = 0; i < line.size(); ++i)
        if (line[i] == QLatin1Char('|')) bars.append(i);
    return bars;
}

class DecimalMarkGuard {
public:
    explicit DecimalMarkGuard(QChar mark) : saved_(DecimalMark()) { SetDecimalMark(mark); }
    ~DecimalMarkGuard() { SetDecimalMark(saved_); }

private:
    QChar saved_;
};

}  // namespace

TEST(DateLine, DayFirstAndMonthFirstShortDates) {
    EXPECT_EQ(DateLineFromTexts("01.01.2027", "10:00:00"), QString(" 01 января 2027г.        10:00:00"));
    EXPECT_EQ(DateLineFromTexts("3/9/2026", "14:05:33"), QString(" 9 марта 2026г.        14:05:33"));
    EXPECT_EQ(DateLineFromTexts("07.12.2026", "14:05:33"), kDate);
    EXPECT_EQ(DateLineFromTexts("31.13.2026", "1:00"), QString(" 31 декабря 2026г.        1:00"));
    EXPECT_FALSE(DateLineFromTexts("2026-12-07", "1:00").has_value());
    EXPECT_FALSE(DateLineFromTexts("", "").has_value());
    EXPECT_FALSE(DateLineFromTexts("x.0.2026", "").has_value());
}

TEST(DateLine, EveryLocaleGivesTheRealDayMonthAndFourDigitYear) {
    const QDateTime moment(QDate(2026, 12, 7), QTime(14, 5, 33));
    EXPECT_EQ(DateLine(moment, QLocale(QStringLiteral("ru_RU"))), kDate);
    // en_US writes 12/7/26: the two-digit year must not become 0026 or 2020.
    const QString english = DateLine(moment, QLocale(QStringLiteral("en_US")));
    EXPECT_TRUE(english.startsWith(QStringLiteral(" 7 декабря 2026г.        2:05:33"))) << english.toStdString();
    EXPECT_TRUE(english.endsWith(QStringLiteral("PM"))) << english.toStdString();
    for (const char* name : {"de_DE", "ja_JP", "ar_EG", "sv_SE", "C", "fa_IR", "zh_CN"}) {
        const QString line = DateLine(moment, QLocale(QString::fromLatin1(name)));
        EXPECT_TRUE(line.contains(QStringLiteral(" декабря 2026г.        "))) << name << ": " << line.toStdString();
        EXPECT_TRUE(line.startsWith(QStringLiteral(" 07 ")) || line.startsWith(QStringLiteral(" 7 ")))
            << name << ": " << line.toStdString();
    }
    // The time always carries seconds.
    EXPECT_TRUE(DateLine(moment, QLocale(QStringLiteral("ru_RU"))).endsWith(QStringLiteral("14:05:33")));
}

TEST(HeaterReport, HeadOnceThenOneBlockPerPrint) {
    CalcState s = PreparedHeater(true);
    HeaterModel(s);
    ASSERT_EQ(s.CalcError, kClear);
    RecordingPrinter p;
    PrintHeaterRow(s, p, kDateSource);
    EXPECT_EQ(p.fontName, "Courier New Cyr");
    EXPECT_EQ(p.fontSize, 9);
    EXPECT_EQ(s.PrintHeadPending, kClear);
    const qsizetype first = p.lines.size();
    // head: title, student, empty, 11 lines, empty; block: 3 + 7 + empty
    EXPECT_EQ(first, 15 + 11);
    PrintHeaterRow(s, p, kDateSource);
    EXPECT_EQ(p.lines.size(), first + 11);
    EXPECT_EQ(p.lines.count(QStringLiteral("            ") + kDate +
                            QStringLiteral("            Расчет подогревателя или дефлегматора")),
              1);
    EXPECT_EQ(p.lines[1], QStringLiteral("            Студент С.с. Гр. Х-10 "));
    EXPECT_EQ(p.lines[2], QString());
    EXPECT_EQ(p.lines[3], QStringLiteral("             ТЕПЛОПРОВОДНОСТЬ КОНДЕНСАТА, ВТ/(М*К)") + Blanks(27) +
                              QStringLiteral("0.686"));
}

TEST(HeaterReport, ConstructionLinesForBothOrientations) {
    DecimalMarkGuard mark(QLatin1Char(','));
    for (bool horizontal : {true, false}) {
        CalcState s = PreparedHeater(horizontal);
        HeaterModel(s);
        s.PrintHeadPending = kClear;
        RecordingPrinter p;
        PrintHeaterRow(s, p, kDateSource);
        ASSERT_EQ(p.lines.size(), 11);
        EXPECT_EQ(p.lines[0], Blanks(12) +
                                  (horizontal ? QStringLiteral(" ТИП ТЕПЛООБМЕННИКА-ГОРИЗОНТАЛЬНЫЙ                   ")
                                              : QStringLiteral(" ТИП ТЕПЛООБМЕННИКА-ВЕРТИКАЛЬНЫЙ                     ")) +
                                  QStringLiteral("НАРУЖНЫЙ ДИАМЕТР ТРУБ  0,025 М"));
        // z = 6 and a length (height) of 3: 13 blanks before 3,00.
        EXPECT_EQ(p.lines[1], Blanks(12) + QStringLiteral(" ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ 6 ШТ.") +
                                  (horizontal ? QStringLiteral("          ДЛИНА ТРУБ ")
                                              : QStringLiteral("          ВЫСОТА ТРУБ ")) +
                                  Blanks(horizontal ? 13 : 12) + QStringLiteral("3,00 М"));
        EXPECT_EQ(p.lines[1].size(), p.lines[1].size());
        EXPECT_EQ(p.lines[2], Blanks(12) + QStringLiteral(" ОБЩЕЕ ЧИСЛО ТРУБ ") + Blanks(19) + QStringLiteral("60 ШТ."));
        // The rules are 87 wide and the values stand under the bars of the heading.
        EXPECT_EQ(p.lines[3].size(), 12 + 87);
        EXPECT_EQ(p.lines[9], p.lines[3]);
        for (int i = 5; i <= 8; ++i) EXPECT_EQ(Bars(p.lines[i]), Bars(p.lines[4])) << i;
        EXPECT_EQ(p.lines[10], QString());
    }
}

TEST(HeaterReport, WholeNumbersRoundHalvesToEven) {
    CalcState s = PreparedHeater(true);
    s.InputValues[13] = 2.5f;
    s.InputValues[15] = 60.4f;
    s.PrintHeadPending = kClear;
    RecordingPrinter p;
    PrintHeaterRow(s, p, kDateSource);
    EXPECT_TRUE(p.lines[1].contains(QStringLiteral("ПРОСТРАНСТВУ 2 ШТ.")));
    EXPECT_TRUE(p.lines[2].endsWith(QStringLiteral(" 60 ШТ.")));
    s.InputValues[13] = 3.5f;
    PrintHeaterRow(s, p, kDateSource);
    EXPECT_TRUE(p.lines[12].contains(QStringLiteral("ПРОСТРАНСТВУ 4 ШТ.")));
}

TEST(CoolerReport, BlockLayoutAndHeadOncePerPreparedSheet) {
    DecimalMarkGuard mark(QLatin1Char('.'));
    CalcState s;
    FillCoolerCaptions(s);
    TypeAll(s.CoolerValueTexts.data(), s, 18,
            {"0,62", "995", "0,0008", "4180", "0,0003", "10", "0,65", "0,0005", "4190", "12", "25",
             "0,0006", "500000", "0,025", "2,5", "0,95", "100", "0,02"});
    s.ResetPrintFlags();
    CoolerModel(s);
    RecordingPrinter p;
    PrintCoolerRow(s, p, kDateSource);
    ASSERT_EQ(p.lines.size(), 17 + 11);
    EXPECT_EQ(p.lines[0], Blanks(12) + kDate + QStringLiteral("                    Расчет холодильника"));
    EXPECT_EQ(p.lines[3].size(), 12 + 70 + 4);  // caption padded to 70, then "0.62"
    const QStringList block = p.lines.mid(17);
    EXPECT_EQ(block[0], Blanks(12) + QStringLiteral(" НАРУЖНЫЙ ДИАМЕТР ТРУБ   0.025 М") + Blanks(9) +
                            QStringLiteral("  ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ  2 ШТ."));
    EXPECT_EQ(block[1], Blanks(12) +
                            QStringLiteral(" КОЭФФИЦИЕНТ, УЧИТЫВАЮЩИЙ СНИЖЕН. СРЕДНЕЙ ДВИЖУЩЕЙ СИЛЫ ПРИ СМЕШ. ТОКЕ  0.950 Безразм."));
    EXPECT_EQ(block[2], Blanks(12) + QStringLiteral(" ЧИСЛО ТРУБ 100 ШТ.") + Blanks(6) +
                            QStringLiteral(" ПЛОЩАДЬ НАИБОЛЕЕ УЗК.СЕЧЕНИЯ ПОТОКА В МТР.ПР-ВЕ  0.02000 М^2"));
    for (int i = 3; i <= 9; ++i) EXPECT_EQ(block[i].size(), 12 + 84) << i;
    for (int i = 5; i <= 8; ++i) EXPECT_EQ(Bars(block[i]), Bars(block[4])) << i;
    EXPECT_EQ(block[9], block[3]);

    // A second print for the same sheet: one more block, no head.
    PrintCoolerRow(s, p, kDateSource);
    EXPECT_EQ(p.lines.size(), 17 + 22);
    // Another cooler prepared from the menu: a new head.
    s.ResetPrintFlags();
    PrintCoolerRow(s, p, kDateSource);
    EXPECT_EQ(p.lines.size(), 17 + 22 + 17 + 11);
}

TEST(EvapReport, HeaderOnceRowsPerHeightClosingRuleOnLeaving) {
    DecimalMarkGuard mark(QLatin1Char(','));
    CalcState s = PreparedEvap();
    s.StudentLine = QStringLiteral(" ");
    RecordingPrinter p;
    for (const char* height : {"4", "2,5", "10"}) {
        StoreTypedLine(s.EvapValueTexts[15], s.InputValues[15], QString::fromUtf8(height));
        EvapModel(s);
        ASSERT_EQ(s.CalcError, kClear);
        PrintEvapRow(s, p, kDateSource);
    }
    CloseEvapReport(p);
    ASSERT_EQ(p.documents.size(), 1);
    const QStringList& doc = p.documents[0];
    // head 19 lines, header 5, three rows, rule and three empty lines
    ASSERT_EQ(doc.size(), 19 + 5 + 3 + 4);
    EXPECT_EQ(doc[0], Blanks(12) + kDate + QStringLiteral("                Расчет испарителя"));
    EXPECT_EQ(doc[1], Blanks(13));
    EXPECT_EQ(doc[19], Blanks(12) + QString(66, QLatin1Char('_')));
    EXPECT_TRUE(doc[24].startsWith(Blanks(12) + QStringLiteral("|   4    |")));
    EXPECT_TRUE(doc[25].startsWith(Blanks(12) + QStringLiteral("|  2.5   |")));
    EXPECT_TRUE(doc[26].startsWith(Blanks(12) + QStringLiteral("|   10   |")));
    for (int i = 20; i <= 26; ++i) {
        EXPECT_EQ(doc[i].size(), 12 + 66) << i;
        EXPECT_EQ(Bars(doc[i]), Bars(doc[20])) << i;
    }
    EXPECT_EQ(doc[27], doc[19]);
    EXPECT_EQ(doc.mid(28), QStringList({QString(), QString(), QString()}));
    EXPECT_TRUE(doc[24].contains(QLatin1Char(',')));  // regional decimal mark in the numbers
}

TEST(EvapReport, PhysicalPropertyChangeRepeatsHeadAndHeaderInTheSameDocument) {
    CalcState s = PreparedEvap();
    EvapModel(s);
    RecordingPrinter p;
    PrintEvapRow(s, p, kDateSource);
    // Back to the sheet from the design window: both flags are set again.
    s.PrintHeadPending = kSet;
    s.PrintTableHeaderPending = kSet;
    PrintEvapRow(s, p, kDateSource);
    EXPECT_EQ(p.lines.size(), 2 * (19 + 5 + 1));
    EXPECT_TRUE(p.documents.isEmpty());
}
