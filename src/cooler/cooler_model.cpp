// SPDX-License-Identifier: GPL-3.0-or-later
#include "cooler/cooler_model.h"

#include "cooler/cooler_correlations.h"
#include "state/float_store.h"

#include <cmath>

namespace heatx {

namespace {
constexpr double kPi = 3.14159265358979;
constexpr double kG = 9.81;          // m/s2
constexpr double kTubeWall = 0.004;  // 2 mm wall on each side, m
// The laminar correction changes K by less each pass and ends within two
// passes; the cap only guards against a value that never settles.
constexpr int kMaxCorrectionPasses = 1000;
}  // namespace

void CoolerModel(CalcState& s) {
    // Between stores the arithmetic is double; every stored cell is rounded
    // to a float and what follows uses the stored value.
    const auto& v = s.InputValues;
    const double lambda1 = v[0];  // tube-side liquid: conductivity, W/(m*K)
    const double rho1 = v[1];     // density, kg/m3
    const double mu1 = v[2];      // viscosity, Pa*s
    const double c1 = v[3];       // heat capacity, J/(kg*K)
    const double beta = v[4];     // volumetric expansion, 1/K
    const double g1 = v[5];       // mass flow, kg/s
    const double lambda2 = v[6];  // shell-side liquid: conductivity, W/(m*K)
    const double mu2 = v[7];      // viscosity, Pa*s
    const double c2 = v[8];       // heat capacity, J/(kg*K)
    const double g2 = v[9];       // mass flow, kg/s
    const double dt = v[10];      // log-mean temperature difference, K
    const double sumR = v[11];    // wall and fouling resistance, m2*K/W
    const double load = v[12];    // heat load, W
    const double d = v[13];       // outer tube diameter, m
    const double z = v[14];       // tube-side passes
    const double eps = v[15];     // mixed-flow correction of the driving force
    const double n = v[16];       // number of tubes
    const double area = v[17];    // narrowest flow section of the shell, m2

    s.ModelWork12 = Store(d - kTubeWall);  // d_in, m
    const double dIn = s.ModelWork12;
    // Re1 = 4 G1 z / (pi n mu1 d_in): mass flow per pass through n/z tubes.
    s.ModelWork11 = Store(n * kPi * mu1 * dIn);
    s.ReTube = Store(4 * g1 * z / s.ModelWork11);
    // Pr1 = c1 mu1 / lambda1, parked in ReShell until the shell side.
    s.ReShell = Store(c1 * mu1 / lambda1);
    // Gr = d_in^3 g rho1^2 beta / mu1^2 (the temperature difference enters
    // through the correction loop), parked in HeatTransferK.
    s.ModelWork11 = Store(dIn * dIn * dIn);
    s.ModelWork15 = Store(rho1 * rho1);
    s.ModelWork16 = Store(mu1 * mu1);
    s.HeatTransferK = Store(double(s.ModelWork11) * kG * s.ModelWork15 * beta / s.ModelWork16);
    s.ModelWork13 = Store(std::log(double(s.ReTube)));
    s.ModelWork14 = Store(std::log(double(s.ReShell)));
    // alpha_1 by the regime of Re1; Gr is still in its cell.
    const CoolerTubeSide tube =
        CoolerTubeAlpha(s.ReTube, s.ModelWork13, s.ModelWork14, s.HeatTransferK, lambda1, dIn);
    s.ModelWork11 = tube.factor;
    s.AlphaTube = tube.alpha;

    // Inter-tube side on the outer diameter: Re2 = d G2 / (S mu2) with the
    // velocity of the narrowest flow section; Pr2 parked in AlphaShell.
    s.ReShell = Store(d * g2 / (area * mu2));
    s.AlphaShell = Store(c2 * mu2 / lambda2);
    s.AlphaShell = CoolerShellAlpha(s.ReShell, s.AlphaShell, lambda2, d);

    s.ModelWork4 = MixedFlowDrivingForce(eps, dt);
    s.HeatTransferK = CoolerOverallK(s.AlphaShell, sumR, s.AlphaTube);
    s.ModelWork2 = s.AlphaTube;  // alpha_1 before the laminar correction

    if (s.ReTube < 2300) {
        // Repeated while K grows by more than 10 %, always from the
        // uncorrected alpha_1,0 (a pass that lowers K ends the loop).
        for (int pass = 0; pass < kMaxCorrectionPasses; ++pass) {
            s.ModelWork17 = s.HeatTransferK;
            s.ModelWork9 = CoolerLaminarCorrection(s.ModelWork4, s.HeatTransferK, s.AlphaTube);
            s.AlphaTube = Store(double(s.ModelWork9) * s.ModelWork2);
            s.HeatTransferK = CoolerOverallK(s.AlphaShell, sumR, s.AlphaTube);
            if (!((double(s.HeatTransferK) - s.ModelWork17) / s.HeatTransferK > 0.1)) break;
        }
    }

    s.SurfaceF = CoolerSurface(load, s.ModelWork4, s.HeatTransferK);

    if (!std::isfinite(s.AlphaTube) || !std::isfinite(s.AlphaShell) ||
        !std::isfinite(s.HeatTransferK) || !std::isfinite(s.SurfaceF) ||
        !std::isfinite(s.ReTube) || !std::isfinite(s.ReShell))
        s.CalcError = kSet;
}

}  // namespace heatx
