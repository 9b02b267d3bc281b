// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/report_frame.h"
#include "state/calc_state.h"
#include "text/text_format.h"

namespace heatx {

// The texts of the heater's report and design window that a reader of a saved
// report recognises: the title of the head, the words that open a block and
// name the apparatus type, and the red line of the design window when the
// tube Reynolds number is not above 2300.
inline const QString kHeaterTitle = QStringLiteral("            Расчет подогревателя или дефлегматора");
inline const QString kHeaterBlockStart = QStringLiteral(" ТИП ТЕПЛООБМЕННИКА-");
inline const QString kHeaterHorizontalWord = QStringLiteral("ГОРИЗОНТАЛЬНЫЙ");
inline const QString kHeaterVerticalWord = QStringLiteral("ВЕРТИКАЛЬНЫЙ");
inline const QString kReynoldsWarning = QStringLiteral("ЧИСЛО RE В ТРУБАХ");
inline const QString kReynoldsWarningEnd = QStringLiteral(" < 2300 !");

// Head: date line and title, the student line, the eleven input lines.
void PrintHeaterHead(CalcState& state, Printer& printer, const DateLineSource& dateLine);
// The head when PrintHeadPending is set (then cleared), then one block: three
// construction lines and the ruled table of the results, numbers with
// decimalMark.
void PrintHeaterRow(CalcState& state, Printer& printer, const DateLineSource& dateLine,
                    QChar decimalMark = DecimalMark());

}  // namespace heatx
