// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "state/calc_state.h"
#include "state/trace.h"

#include <functional>

namespace heatx {

// Evaporator: a liquid boils in vertical tubes heated by condensing steam.
// Both film coefficients depend on the heat flux q, so the balance of the
// temperature drops is solved for x = q^(1/3) by chords (left end) and
// tangents (right end). Reads InputValues 0-15; on success writes AlphaTube,
// AlphaShell, HeatTransferK, SurfaceF with CalcError = 0. When the balance has
// no root in the bracket (or the iteration does not settle within
// kEvapMaxIterations) it calls beep, sets CalcError = -1 and leaves its
// working values in the result cells. With a trace, every step is added to
// it as it is stored, each iteration one step.
void EvapModel(CalcState& state, const std::function<void()>& beep = {}, Trace* trace = nullptr);

inline constexpr int kEvapMaxIterations = 1000;

}  // namespace heatx
