// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/report_frame.h"
#include "state/calc_state.h"
#include "text/text_format.h"

namespace heatx {

// The title of the cooler's report and the words that open each block.
inline const QString kCoolerTitle = QStringLiteral("                    Расчет холодильника");
inline const QString kCoolerBlockStart = QStringLiteral(" НАРУЖНЫЙ ДИАМЕТР ТРУБ ");

// Head: date line and title, the student line, the thirteen input lines.
void PrintCoolerHead(CalcState& state, Printer& printer, const DateLineSource& dateLine);
// The head when PrintHeadPending is set (then cleared), then one block: the
// constructive lines and a one-row table of the results, numbers with
// decimalMark.
void PrintCoolerRow(CalcState& state, Printer& printer, const DateLineSource& dateLine,
                    QChar decimalMark = DecimalMark());

}  // namespace heatx
