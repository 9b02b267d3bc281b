// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/report_frame.h"
#include "state/calc_state.h"
#include "text/text_format.h"

namespace heatx {

// The title of the evaporator's report.
inline const QString kEvapTitle = QStringLiteral("                Расчет испарителя");

inline constexpr uint8_t kEvapTableWidth = 66;

// Head: date line and title, the student line, the fifteen input lines.
void PrintEvapHead(CalcState& state, Printer& printer, const DateLineSource& dateLine);
// The head and the table header when pending (each then cleared), then one
// row of the table for the current tube height, numbers with decimalMark.
void PrintEvapRow(CalcState& state, Printer& printer, const DateLineSource& dateLine,
                  QChar decimalMark = DecimalMark());
// Leaving the evaporator after printing: the closing rule under the table,
// then the end of the document.
void CloseEvapReport(Printer& printer);

}  // namespace heatx
