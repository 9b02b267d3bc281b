// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/report_frame.h"
#include "state/calc_state.h"

namespace heatx {

inline constexpr uint8_t kEvapTableWidth = 66;

// Head: date line and title, the student line, the fifteen input lines.
void PrintEvapHead(CalcState& state, Printer& printer, const DateLineSource& dateLine);
// The head and the table header when pending (each then cleared), then one
// row of the table for the current tube height.
void PrintEvapRow(CalcState& state, Printer& printer, const DateLineSource& dateLine);
// Leaving the evaporator after printing: the closing rule under the table,
// then the end of the document.
void CloseEvapReport(Printer& printer);

}  // namespace heatx
