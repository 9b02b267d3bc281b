// SPDX-License-Identifier: GPL-3.0-or-later
// The correlations of the liquid-liquid cooler: forced convection in the
// tubes (helped by free convection in laminar flow), cross flow over the tube
// bundle in the inter-tube space, and the mixed-flow correction of the mean
// driving force. Each result is rounded to a 4-byte float where the program
// stores it.
#pragma once

namespace heatx {

// Tube side, on the inner diameter d_in, m:
//   alpha_1 = C (lambda_1/d_in) Re_1^a Pr_1^0.43 [Gr^0.1],  W/(m2*K)
//   laminar, Re_1 < 2300:                C = 0.15,  a = 0.33, with Gr^0.1
//   transitional, 2300 <= Re_1 < 10 000: C = 0.008, a = 0.9
//   turbulent, Re_1 >= 10 000:           C = 0.023, a = 0.8
// lambda_1 the liquid's conductivity, W/(m*K); Re_1, Pr_1 its Reynolds and
// Prandtl numbers; Gr its Grashof number d_in^3 g rho_1^2 beta / mu_1^2
// without the temperature difference, which CoolerLaminarCorrection brings
// in. The regime is decided on the 4-byte Re_1; the powers of Re_1 and Pr_1
// are formed as exp(a ln x) from lnRe and lnPr, their natural logarithms as
// the program stores them (rounded to 4 bytes).
// Holds for tubes long against their diameter at the Prandtl numbers of
// liquids (about 0.6 to 100); the laminar form is that of viscous flow with
// free convection; the wall temperature correction (Pr/Pr_wall)^0.25 is left
// out.
enum class TubeRegime { Laminar, Transitional, Turbulent };
// The tube-side regime of a 4-byte Re_1: below 2300, from 2300 below 10 000,
// from 10 000.
TubeRegime CoolerTubeRegime(float re);
struct CoolerTubeSide {
    float factor;  // C lambda_1/d_in, W/(m2*K), stored before alpha_1
    float alpha;   // alpha_1, W/(m2*K)
};
CoolerTubeSide CoolerTubeAlpha(float re, float lnRe, float lnPr, float gr, double lambda, double dIn);

// The laminar correction of alpha_1 for the temperature difference that the
// Grashof number wants, the drop across the tube-side film q/alpha_1 with
// q = K dt_m:
//   x = (dt_m K / alpha_1)^0.1,  then alpha_1 = x alpha_1,0
// dt_m corrected mean temperature difference, K; K the overall coefficient of
// the pass before and alpha_1 the tube-side coefficient it was formed with,
// W/(m2*K). Dimensionless; below 1 when the film drop is below 1 K.
float CoolerLaminarCorrection(float dtm, float k, float alphaTube);

// Inter-tube side, liquid in cross flow over the bundle, on the outer
// diameter d, m, with the velocity of the narrowest flow section:
//   Re_2 <= 1000: alpha_2 = 0.336 (lambda_2/d) Re_2^0.5 Pr_2^0.36
//   Re_2 >  1000: alpha_2 = 0.24  (lambda_2/d) Re_2^0.6 Pr_2^0.36
// alpha_2 in W/(m2*K); lambda_2 the shell-side liquid's conductivity,
// W/(m*K); Re_2 = d G_2 / (S mu_2), Pr_2 = c_2 mu_2 / lambda_2. Holds for a
// bundle with segmental baffles at the Prandtl numbers of liquids; the
// correction for the wall temperature is left out.
float CoolerShellAlpha(float re, float pr, double lambda, double d);
// Whether Re_2 takes the square-root form (Re_2 up to 1000).
bool CoolerShellSquareRootForm(float re);

// The mean driving force of mixed (cross and counter) flow:
//   dt_m = eps dt,  K
// dt the logarithmic mean temperature difference of counter flow, K; eps the
// correction factor of the flow scheme, 1 for pure counter flow and below 1
// for mixed flow, read from the charts of the scheme.
float MixedFlowDrivingForce(double eps, double dt);

// Overall heat-transfer coefficient through a thin wall, in series:
//   K = 1 / (1/alpha_2 + sum_r + 1/alpha_1),  W/(m2*K)
// sum_r the thermal resistance of wall and fouling, m2*K/W.
float CoolerOverallK(float alphaShell, double sumR, float alphaTube);

// Heat-exchange surface: F = Q / (dt_m K), m2; Q the heat load, W.
float CoolerSurface(double load, float dtm, float k);

}  // namespace heatx
