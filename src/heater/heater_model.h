// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "state/calc_state.h"
#include "state/trace.h"

namespace heatx {

// Heater or dephlegmator: steam condenses in the inter-tube space, a liquid is
// heated in the tubes. Reads InputValues 0-10 and 12-15 and HeaterHorizontal;
// writes ReTube and, when the tube Reynolds number is above 2300, AlphaTube,
// AlphaShell, HeatTransferK and SurfaceF. CalcError = -1 when the Reynolds
// number is not above 2300 (the model has no laminar branch) or a result is
// not a finite number. With a trace, every step is added to it as it is
// stored.
void HeaterModel(CalcState& state, Trace* trace = nullptr);

}  // namespace heatx
