// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaporator/evap_sweep.h"

#include "evaporator/evap_road.h"

namespace heatx {

std::vector<float> EvapSweepHeights() {
    std::vector<float> heights;
    for (int cm = 100; cm <= 1000; cm += 5) heights.push_back(float(cm / 100.0));
    return heights;
}

Sweep SweepEvap(const CalcState& state) {
    Sweep sweep;
    sweep.apparatus = SweepApparatus::Evaporator;
    sweep.axis = SweepAxis::Height;
    sweep.hasReynolds = false;
    SweepOver(sweep, state, kEvapHeightLine, -1, EvapSweepHeights(), {},
              [](CalcState& s) { return ComputeEvap(s).Ok(); });
    return sweep;
}

}  // namespace heatx
