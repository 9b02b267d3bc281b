// SPDX-License-Identifier: GPL-3.0-or-later
#include "cooler/cooler_sweep.h"

#include "cooler/cooler_road.h"

#include <algorithm>

namespace heatx {

Sweep SweepCooler(const CalcState& state) {
    constexpr int kPasses = 14, kTubes = 16;
    const auto inRange = [](int line) {
        return [line](float v) { return CoolerConstructiveInRange(line, v, CoolerRanges::Either); };
    };
    std::vector<float> passes = SweepPasses(state.InputValues[kPasses]);
    std::erase_if(passes, [&](float z) { return !inRange(kPasses)(z); });
    Sweep sweep;
    sweep.apparatus = SweepApparatus::Cooler;
    SweepOver(sweep, state, kTubes, kPasses,
              WholeNumbers(kCoolerLines[kTubes].lower.value, kCoolerLines[kTubes].upper.value, inRange(kTubes)),
              passes, [](CalcState& s) { return ComputeCooler(s).Ok(); });
    return sweep;
}

}  // namespace heatx
