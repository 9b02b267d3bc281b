// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/heater_model.h"

#include "heater/heater_correlations.h"
#include "state/float_store.h"

#include <cmath>

namespace heatx {

namespace {
constexpr double kTubeWall = 0.004;  // 2 mm wall on each side, m
}  // namespace

void HeaterModel(CalcState& s) {
    const auto& v = s.InputValues;
    const double lambdaC = v[0];  // condensate conductivity, W/(m*K)
    const double rhoC = v[1];     // condensate density, kg/m3
    const double r = v[2];        // heat of condensation, J/kg
    const double muC = v[3];      // condensate viscosity, Pa*s
    const double gs = v[4];       // steam flow, kg/s
    const double lambdaL = v[5];  // liquid conductivity, W/(m*K)
    const double muL = v[6];      // liquid viscosity, Pa*s
    const double cL = v[7];       // liquid heat capacity, J/(kg*K)
    const double sumR = v[8];     // wall and fouling resistance, m2*K/W
    const double dt = v[9];       // mean temperature difference, K
    const double gl = v[10];      // liquid flow, kg/s
    const double d = v[12];       // outer tube diameter, m
    const double z = v[13];       // tube-side passes
    const double n = v[15];       // number of tubes

    s.CalcError = kClear;
    s.ModelWork2 = 0.7f;     // bundle factor eps of a horizontal bundle
    s.ModelWork3 = 0.023f;   // tube-side constant A
    s.MessageAnswer = 0.8f;  // tube-side exponent m
    if (v[15] > 100) s.ModelWork2 = 0.6f;

    const double dIn = d - kTubeWall;
    s.ReTube = HeaterTubeReynolds(gl, z, dIn, muL, n);
    if (!(s.ReTube > 2300)) {
        s.CalcError = kSet;
        return;
    }
    if (s.ReTube < 10000) {  // transitional flow
        s.ModelWork3 = 0.008f;
        s.MessageAnswer = 0.9f;
    }
    s.AlphaTube = HeaterTubeAlpha(s.ReTube, s.ModelWork3, s.MessageAnswer, lambdaL, dIn, cL * muL / lambdaL);

    // Condensation: vertical tubes C = 3.78 with l = d; horizontal bundle
    // C = 2.02 eps with l = L.
    if (s.HeaterHorizontal == kClear) {
        s.ModelWork4 = 3.78f;
        s.ModelWork1 = v[12];
    } else {
        s.ModelWork4 = Store(2.02 * s.ModelWork2);
        s.ModelWork1 = v[14];  // tube length, m
    }
    s.AlphaShell = HeaterCondensationAlpha(s.ModelWork4, lambdaC, rhoC, n, s.ModelWork1, gs, muC);
    s.HeatTransferK = HeaterOverallK(s.AlphaTube, sumR, s.AlphaShell);
    s.SurfaceF = HeaterSurface(gs, r, s.HeatTransferK, dt);

    if (!std::isfinite(s.AlphaTube) || !std::isfinite(s.AlphaShell) ||
        !std::isfinite(s.HeatTransferK) || !std::isfinite(s.SurfaceF))
        s.CalcError = kSet;
}

}  // namespace heatx
