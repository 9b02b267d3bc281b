// SPDX-License-Identifier: GPL-3.0-or-later
#include "cooler/cooler_report.h"

#include "cooler/cooler_input.h"
#include "text/text_format.h"

namespace heatx {

namespace {
const QString kRule = QStringLiteral(" ") + QString(83, QLatin1Char('_'));
}

void PrintCoolerHead(CalcState& s, Printer& p, const DateLineSource& dateLine) {
    PrintReportHead(p, dateLine(), kCoolerTitle, s.StudentLine, s.CoolerCaptions.data(),
                    s.CoolerValueTexts.data(), kCoolerSheetLines, 70);
}

void PrintCoolerRow(CalcState& s, Printer& p, const DateLineSource& dateLine, QChar mark) {
    if (s.PrintHeadPending != kClear) {
        PrintCoolerHead(s, p, dateLine);
        s.PrintHeadPending = kClear;
    }
    const auto& v = s.InputValues;
    p.PrintLine(Margined(kCoolerBlockStart + PadTo(kCoolerBlockStart, 24) + FormatFixed(v[13], 6, 3, mark) + QStringLiteral(" М") +
                         Blanks(9) + QStringLiteral("  ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ  ") +
                         WholeNumber(v[14]) + QStringLiteral(" ШТ.")));
    p.PrintLine(Margined(
        QStringLiteral(" КОЭФФИЦИЕНТ, УЧИТЫВАЮЩИЙ СНИЖЕН. СРЕДНЕЙ ДВИЖУЩЕЙ СИЛЫ ПРИ СМЕШ. ТОКЕ") +
        FormatFixed(v[15], 7, 3, mark) + QStringLiteral(" Безразм.")));
    p.PrintLine(Margined(QStringLiteral(" ЧИСЛО ТРУБ ") + WholeNumber(v[16]) + QStringLiteral(" ШТ.") + Blanks(6) +
                         QStringLiteral(" ПЛОЩАДЬ НАИБОЛЕЕ УЗК.СЕЧЕНИЯ ПОТОКА В МТР.ПР-ВЕ ") +
                         FormatFixed(v[17], 8, 5, mark) + QStringLiteral(" М^2")));

    p.PrintLine(Margined(kRule));
    p.PrintLine(Margined(QStringLiteral(" | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | ПОВЕРХНОСТЬ |    ЧИСЛО   |   ЧИСЛО    |")));
    p.PrintLine(Margined(QStringLiteral(" | ТЕПЛООТДАЧИ | ТЕПЛООТДАЧИ |ТЕПЛОПЕРЕДАЧИ| ТЕПЛООБМЕНА |     RE     |    RE      |")));
    p.PrintLine(Margined(QStringLiteral(" | В ТР. ПР-ВЕ |В МТР. ПР-ВЕ |             |     М^2     |  В ТРУБАХ  |В МТР. ПР-ВЕ|")));
    p.PrintLine(Margined(QStringLiteral(" |_____________|_____________|_____________|_____________|____________|____________|")));
    p.PrintLine(Margined(QStringLiteral(" |") + CenterCell(FormatFixed(s.AlphaTube, 11, 2, mark), 13) +
                         CenterCell(FormatFixed(s.AlphaShell, 10, 2, mark), 13) +
                         CenterCell(FormatFixed(s.HeatTransferK, 12, 2, mark), 13) +
                         CenterCell(FormatFixed(s.SurfaceF, 11, 2, mark), 13) +
                         CenterCell(FormatFixed(s.ReTube, 10, 2, mark), 12) +
                         CenterCell(FormatFixed(s.ReShell, 10, 2, mark), 12)));
    p.PrintLine(Margined(kRule));
    p.PrintLine(QString());
}

}  // namespace heatx
