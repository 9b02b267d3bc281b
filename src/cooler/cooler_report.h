// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "report/report_frame.h"
#include "state/calc_state.h"

namespace heatx {

// Head: date line and title, the student line, the thirteen input lines.
void PrintCoolerHead(CalcState& state, Printer& printer, const DateLineSource& dateLine);
// The head when PrintHeadPending is set (then cleared), then one block: the
// constructive lines and a one-row table of the results.
void PrintCoolerRow(CalcState& state, Printer& printer, const DateLineSource& dateLine);

}  // namespace heatx
