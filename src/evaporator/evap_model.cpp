// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaporator/evap_model.h"

#include "evaporator/evap_correlations.h"
#include "state/float_store.h"

#include <cmath>

namespace heatx {

void EvapModel(CalcState& s, const std::function<void()>& beep) {
    const auto& v = s.InputValues;
    const double lambdaK = v[0];  // condensate conductivity, W/(m*K)
    const double rhoK = v[1];     // condensate density, kg/m3
    const double r = v[2];        // heat of condensation of the steam, J/kg
    const double muK = v[3];      // condensate viscosity, Pa*s
    const double lambda = v[4];   // liquid conductivity, W/(m*K)
    const double rho = v[5];      // liquid density, kg/m3
    const double c = v[6];        // liquid heat capacity, J/(kg*K)
    const double mu = v[7];       // liquid viscosity, Pa*s
    const double sigma = v[8];    // surface tension, N/m
    const double rhoV = v[9];     // vapour density at boiling, kg/m3
    const double rho0 = v[10];    // vapour density at 1 atm, kg/m3
    const double rV = v[11];      // heat of vaporisation, J/kg
    const double dt = v[12];      // mean temperature difference, K
    const double sumR = v[13];    // wall and fouling resistance, m2*K/W
    const double load = v[14];    // heat load, W
    const double h = v[15];       // tube height, m

    s.CalcError = kClear;
    const auto fail = [&] {
        if (beep) beep();
        s.CalcError = kSet;
    };

    // The boiling factor A, the condensation factor B and the critical flux.
    s.AlphaTube = EvapBoilingFactor(lambda, rho, sigma, rhoV, rV, rho0, mu, c);
    const double a = s.AlphaTube;
    s.AlphaShell = EvapCondensationFactor(lambdaK, rhoK, r, muK, h);
    const double b = s.AlphaShell;
    s.ModelWork5 = EvapCriticalFlux(rV, rhoV, rho, sigma);

    // Sum of the temperature drops less dt, as a function of x = q^(1/3):
    // f(x) = x^1.2/A + x^4/B + sum_r x^3 - dt, f'(x) = 1.2 x^0.2/A + 4 x^3/B + 3 sum_r x^2.
    // x^1.2 is formed as x * x^0.2, so that f and f' at one point share a power.
    const auto f = [&](double x, double x02) { return x * x02 / a + x * x * x * x / b + sumR * x * x * x - dt; };
    const auto df = [&](double x, double x02) { return 1.2 * x02 / a + 4 * x * x * x / b + 3 * sumR * x * x; };

    s.SurfaceF = 1.0f;                                           // left end x1
    s.ReTube = Store(std::exp(std::log(double(s.ModelWork5)) / 3));  // right end x2
    const float tolerance = 0.1f;
    bool settled = false;
    for (int iteration = 0; iteration < kEvapMaxIterations; ++iteration) {
        const double x1 = s.SurfaceF;
        const double x2 = s.ReTube;
        const double x2Power = std::pow(x2, 0.2);
        s.ReShell = Store(f(x1, std::pow(x1, 0.2)));  // f(x1)
        s.ModelWork6 = Store(f(x2, x2Power));          // f(x2)
        s.ModelWork7 = Store(df(x2, x2Power));         // f'(x2)
        // Chord through (x1, f1) and (x2, f2) moves the left end ...
        s.SurfaceF = Store(x1 - (x2 - x1) * s.ReShell / (double(s.ModelWork6) - s.ReShell));
        // ... and the tangent at x2 the right end.
        s.ReTube = Store(x2 - double(s.ModelWork6) / s.ModelWork7);
        // Even 1 W/m2 gives more than dt: the chord leaves the bracket.
        if (!(s.SurfaceF >= 1.0f)) return fail();
        // The required flux exceeds the critical flux: the ends cross.
        if (s.ReTube < s.SurfaceF || std::isnan(s.ReTube)) return fail();
        if (!(Store(double(s.ReTube) - s.SurfaceF) > tolerance)) {
            settled = true;
            break;
        }
    }
    if (!settled) return fail();

    s.ModelWork8 = Store((double(s.SurfaceF) + s.ReTube) / 2);  // x
    const double x = s.ModelWork8;
    s.ModelWork9 = Store(x * x * x);  // heat flux q, W/m2
    const double q = s.ModelWork9;
    // A and B are still in their cells.
    s.AlphaTube = EvapBoilingAlpha(s.AlphaTube, s.ModelWork9);
    s.AlphaShell = EvapCondensationAlpha(s.AlphaShell, s.ModelWork9);
    s.HeatTransferK = Store(q / dt);  // K = q / dt, W/(m2*K)
    s.SurfaceF = Store(load / q);     // F = Q / q, m2

    if (!std::isfinite(s.AlphaTube) || !std::isfinite(s.AlphaShell) ||
        !std::isfinite(s.HeatTransferK) || !std::isfinite(s.SurfaceF))
        fail();
}

}  // namespace heatx
