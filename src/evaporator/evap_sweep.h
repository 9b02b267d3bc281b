// SPDX-License-Identifier: GPL-3.0-or-later
// The evaporator's design space. Its only construction value is the tube
// height H (1 to 10 m): the condensation coefficient falls as H^(-1/3), so K
// falls and F grows with H, and where the required heat flux passes the
// critical one the model finds no root. One curve over H in steps of 5 cm;
// the model gives no Reynolds number, so the second chart shows the two
// film coefficients.
#pragma once

#include "state/calc_state.h"
#include "state/sweep.h"

namespace heatx {

// The heights of the curve: 1.00, 1.05 ... 10.00 m, each the 4-byte value a
// typed text of two decimals gives.
std::vector<float> EvapSweepHeights();

// state: a checked sheet with a tube height in range.
Sweep SweepEvap(const CalcState& state);

}  // namespace heatx
