// SPDX-License-Identifier: GPL-3.0-or-later
// The heater's design space: F, K and the tube Reynolds number over every
// whole number of tubes its construction allows, for 1, 2, 4, 6, 8 and the
// student's own number of passes, on the heater's road.
#pragma once

#include "state/calc_state.h"
#include "state/sweep.h"

namespace heatx {

// state: a checked sheet with the apparatus type and a construction in range.
Sweep SweepHeater(const CalcState& state);

}  // namespace heatx
