// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/heater_report.h"

#include "heater/heater_input.h"
#include "text/text_format.h"

namespace heatx {

namespace {
const QString kRule = QStringLiteral(" ") + QString(86, QLatin1Char('_'));
}

void PrintHeaterHead(CalcState& s, Printer& p, const DateLineSource& dateLine) {
    PrintReportHead(p, dateLine(), kHeaterTitle,
                    s.StudentLine, s.HeaterCaptions.data(), s.HeaterValueTexts.data(), kHeaterSheetLines, 65);
}

void PrintHeaterRow(CalcState& s, Printer& p, const DateLineSource& dateLine, QChar mark) {
    if (s.PrintHeadPending != kClear) {
        PrintHeaterHead(s, p, dateLine);
        s.PrintHeadPending = kClear;
    }
    const bool horizontal = s.HeaterHorizontal != kClear;
    const auto& v = s.InputValues;
    const QString type = kHeaterBlockStart + (horizontal ? kHeaterHorizontalWord : kHeaterVerticalWord);
    p.PrintLine(Margined(type + PadTo(type, 53) + QStringLiteral("НАРУЖНЫЙ ДИАМЕТР ТРУБ ") +
                         FormatFixed(v[12], 6, 3, mark) + QStringLiteral(" М")));
    p.PrintLine(Margined(
        QStringLiteral(" ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ ") + WholeNumber(v[13]) + QStringLiteral(" ШТ.") +
        (horizontal ? QStringLiteral("          ДЛИНА ТРУБ ") + FormatFixed(v[14], 17, 2, mark)
                    : QStringLiteral("          ВЫСОТА ТРУБ ") + FormatFixed(v[14], 16, 2, mark)) +
        QStringLiteral(" М")));
    const QString tubes = QStringLiteral(" ОБЩЕЕ ЧИСЛО ТРУБ ");
    p.PrintLine(Margined(tubes + PadTo(tubes, 37) + WholeNumber(v[15]) + QStringLiteral(" ШТ.")));

    p.PrintLine(Margined(kRule));
    p.PrintLine(Margined(QStringLiteral(" |  КОЭФФИЦИЕНТ  |  КОЭФФИЦИЕНТ  |   КОЭФФИЦИЕНТ    |   ПОВЕРХНОСТЬ   |     ЧИСЛО     |")));
    p.PrintLine(Margined(QStringLiteral(" |  ТЕПЛООТДАЧИ  |  ТЕПЛООТДАЧИ  |  ТЕПЛОПЕРЕДАЧИ   |   ТЕПЛООБМЕНА   |       RE      |")));
    p.PrintLine(Margined(QStringLiteral(" |  В ТР. ПР-ВЕ  | В МТР. ПР-ВЕ  |                  |       М^2       |    В ТРУБАХ   |")));
    p.PrintLine(Margined(QStringLiteral(" |_______________|_______________|__________________|_________________|_______________|")));
    p.PrintLine(Margined(QStringLiteral(" |") + CenterCell(FormatFixed(s.AlphaTube, 8, 2, mark), 15) +
                         CenterCell(FormatFixed(s.AlphaShell, 10, 2, mark), 15) +
                         CenterCell(FormatFixed(s.HeatTransferK, 8, 2, mark), 18) +
                         CenterCell(FormatFixed(s.SurfaceF, 12, 2, mark), 17) +
                         CenterCell(FormatFixed(s.ReTube, 10, 2, mark), 15)));
    p.PrintLine(Margined(kRule));
    p.PrintLine(QString());
}

}  // namespace heatx
