// SPDX-License-Identifier: GPL-3.0-or-later
// The design space of one apparatus for one set of inputs: the results of the
// model over the constructive range of one construction value (the number of
// tubes n, or the tube height H of the evaporator), one curve for each number
// of tube passes z. Every point is one run of the apparatus's road on the
// student's inputs and construction with only x (and z) changed, so a point
// is the result the design window would show for that construction.
#pragma once

#include "state/calc_state.h"

#include <functional>
#include <vector>

namespace heatx {

struct SweepPoint {
    float x = 0;           // n, pieces, or H, m
    bool computed = false;  // false where the model stops (no result)
    float reTube = 0;      // Reynolds number in the tubes (also where the heater's model stops)
    float alphaTube = 0;   // W/(m²·K)
    float alphaShell = 0;  // W/(m²·K)
    float k = 0;           // overall coefficient, W/(m²·K)
    float f = 0;           // required surface, m²
};

struct SweepCurve {
    float z = 0;  // number of tube passes; 0 when the apparatus has none
    std::vector<SweepPoint> points;
};

enum class SweepAxis { Tubes, Height };
enum class SweepApparatus { Heater, Cooler, Evaporator };

struct Sweep {
    SweepApparatus apparatus = SweepApparatus::Heater;
    SweepAxis axis = SweepAxis::Tubes;
    bool hasReynolds = true;  // the evaporator's model gives no Reynolds number
    std::vector<SweepCurve> curves;
    float ownZ = 0;    // the student's construction
    SweepPoint own;    // and its result
};

// The passes a curve is drawn for: 1, 2, 4, 6, 8 and the student's own,
// ascending, each once.
std::vector<float> SweepPasses(float own);

// The curves over xs, one per z of passes (none when zLine < 0), on a copy
// of state in which only InputValues[xLine] and InputValues[zLine] change;
// compute runs the model on it and tells whether it gave a result. A curve
// without a single result is left out. The student's own point is computed
// at the construction as it stands.
void SweepOver(Sweep& sweep, const CalcState& state, int xLine, int zLine, const std::vector<float>& xs,
               const std::vector<float>& passes, const std::function<bool(CalcState&)>& compute);

// The whole numbers from lower to upper that pass inRange.
std::vector<float> WholeNumbers(double lower, double upper, const std::function<bool(float)>& inRange);

// The first point of a curve, from the start, at which the model stops;
// nullptr when it never does.
const SweepPoint* FirstStop(const SweepCurve& curve);

}  // namespace heatx
