// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/heater_sweep.h"

#include "heater/heater_road.h"

#include <algorithm>

namespace heatx {

Sweep SweepHeater(const CalcState& state) {
    constexpr int kPasses = 13, kTubes = 15;
    const auto inRange = [](int line) { return [line](float v) { return HeaterConstructiveInRange(line, v); }; };
    std::vector<float> passes = SweepPasses(state.InputValues[kPasses]);
    std::erase_if(passes, [&](float z) { return !inRange(kPasses)(z); });
    Sweep sweep;
    sweep.apparatus = SweepApparatus::Heater;
    SweepOver(sweep, state, kTubes, kPasses,
              WholeNumbers(kHeaterLines[kTubes].lower.value, kHeaterLines[kTubes].upper.value, inRange(kTubes)),
              passes, [](CalcState& s) { return ComputeHeater(s).Ok(); });
    return sweep;
}

}  // namespace heatx
