// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaporator/evap_report.h"

#include "evaporator/evap_input.h"
#include "text/text_format.h"

namespace heatx {

void PrintEvapHead(CalcState& s, Printer& p, const DateLineSource& dateLine) {
    PrintReportHead(p, dateLine(), kEvapTitle, s.StudentLine, s.EvapCaptions.data(),
                    s.EvapValueTexts.data(), kEvapSheetLines, 65);
}

void PrintEvapRow(CalcState& s, Printer& p, const DateLineSource& dateLine, QChar mark) {
    if (s.PrintHeadPending != kClear) {
        PrintEvapHead(s, p, dateLine);
        s.PrintHeadPending = kClear;
    }
    if (s.PrintTableHeaderPending != kClear) {
        p.PrintLine(Margined(QString(kEvapTableWidth, QLatin1Char('_'))));
        p.PrintLine(Margined(QStringLiteral("| ВЫСОТА | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | ПОВЕРХНОСТЬ |")));
        p.PrintLine(Margined(QStringLiteral("|  ТРУБ  | ТЕПЛООТДАЧИ | ТЕПЛООТДАЧИ |ТЕПЛОПЕРЕДАЧИ| ТЕПЛООБМЕНА |")));
        p.PrintLine(Margined(QStringLiteral("|   М    | В ТР. ПР-ВЕ | В МТР.ПР-ВЕ |             |     М^2     |")));
        p.PrintLine(Margined(QStringLiteral("|________|_____________|_____________|_____________|_____________|")));
        s.PrintTableHeaderPending = kClear;
    }
    p.PrintLine(Margined(QStringLiteral("|") + CenterCell(s.EvapValueTexts[kEvapHeightLine], 8) +
                         CenterCell(FormatFixed(s.AlphaTube, 10, 2, mark), 13) +
                         CenterCell(FormatFixed(s.AlphaShell, 11, 2, mark), 13) +
                         CenterCell(FormatFixed(s.HeatTransferK, 12, 2, mark), 13) +
                         CenterCell(FormatFixed(s.SurfaceF, 10, 2, mark), 13)));
}

void CloseEvapReport(Printer& p) {
    PrintClosingRule(p, kEvapTableWidth);
    p.EndDocument();
}

}  // namespace heatx
