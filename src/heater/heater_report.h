// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/report_frame.h"
#include "state/calc_state.h"

namespace heatx {

// Head: date line and title, the student line, the eleven input lines.
void PrintHeaterHead(CalcState& state, Printer& printer, const DateLineSource& dateLine);
// The head when PrintHeadPending is set (then cleared), then one block: three
// construction lines and the ruled table of the results.
void PrintHeaterRow(CalcState& state, Printer& printer, const DateLineSource& dateLine);

}  // namespace heatx
