// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/sweep.h"

#include <algorithm>
#include <cmath>

namespace heatx {

std::vector<float> SweepPasses(float own) {
    std::vector<float> passes{1, 2, 4, 6, 8, own};
    std::sort(passes.begin(), passes.end());
    passes.erase(std::unique(passes.begin(), passes.end()), passes.end());
    return passes;
}

namespace {
SweepPoint Point(float x, bool computed, const CalcState& s) {
    SweepPoint p;
    p.x = x;
    p.computed = computed;
    p.reTube = s.ReTube;
    if (computed) {
        p.alphaTube = s.AlphaTube;
        p.alphaShell = s.AlphaShell;
        p.k = s.HeatTransferK;
        p.f = s.SurfaceF;
    }
    return p;
}
}  // namespace

void SweepOver(Sweep& sweep, const CalcState& state, int xLine, int zLine, const std::vector<float>& xs,
               const std::vector<float>& passes, const std::function<bool(CalcState&)>& compute) {
    CalcState s = state;
    sweep.ownZ = zLine >= 0 ? state.InputValues[std::size_t(zLine)] : 0;
    const bool ownComputed = compute(s);
    sweep.own = Point(state.InputValues[std::size_t(xLine)], ownComputed, s);
    sweep.curves.clear();
    const std::vector<float> none{0};
    for (const float z : zLine >= 0 ? passes : none) {
        SweepCurve curve;
        curve.z = z;
        curve.points.reserve(xs.size());
        bool any = false;
        for (const float x : xs) {
            s.InputValues[std::size_t(xLine)] = x;
            if (zLine >= 0) s.InputValues[std::size_t(zLine)] = z;
            const bool computed = compute(s);
            any = any || computed;
            curve.points.push_back(Point(x, computed, s));
        }
        if (any) sweep.curves.push_back(std::move(curve));
    }
}

std::vector<float> WholeNumbers(double lower, double upper, const std::function<bool(float)>& inRange) {
    std::vector<float> xs;
    for (double x = std::ceil(lower); x <= std::floor(upper); ++x)
        if (inRange(float(x))) xs.push_back(float(x));
    return xs;
}

const SweepPoint* FirstStop(const SweepCurve& curve) {
    for (const SweepPoint& p : curve.points)
        if (!p.computed) return &p;
    return nullptr;
}

}  // namespace heatx
