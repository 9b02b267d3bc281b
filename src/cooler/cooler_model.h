// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "state/calc_state.h"
#include "state/trace.h"

namespace heatx {

// Liquid-liquid cooler: tube-side regimes by the Reynolds number with a
// correction loop for laminar flow, the inter-tube correlation on the
// narrowest flow section, the mixed-flow correction of the mean driving
// force. Reads InputValues 0-17; writes AlphaTube, AlphaShell, HeatTransferK,
// SurfaceF, ReTube, ReShell. The model has no failure exit of its own: it
// leaves CalcError alone, except that it sets it to -1 should a result not be
// a finite number. With a trace, every step is added to it as it is stored.
void CoolerModel(CalcState& state, Trace* trace = nullptr);

}  // namespace heatx
