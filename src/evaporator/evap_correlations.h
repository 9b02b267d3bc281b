// SPDX-License-Identifier: GPL-3.0-or-later
// The correlations of the evaporator: a liquid boiling in vertical tubes,
// heated by steam condensing on their outside. Both film coefficients depend
// on the heat flux q, W/m2, which the model solves for; the factors A and B
// are the parts that do not. Each result is rounded to a 4-byte float where
// the program stores it.
#pragma once

namespace heatx {

// Nucleate boiling in the tubes, alpha_b = A q^0.6, with
//   A = 780 lambda^1.3 (rho/sigma)^0.5 rho_v^0.06 / (r_v^0.6 rho_0^0.66 (mu c)^0.3)
// lambda, rho, mu, c the boiling liquid's conductivity, W/(m*K), density,
// kg/m3, viscosity, Pa*s, and heat capacity, J/(kg*K); sigma its surface
// tension, N/m; r_v its heat of vaporisation, J/kg; rho_v, rho_0 the vapour
// density at the boiling temperature and at atmospheric pressure, kg/m3.
// A is in W^0.4/(m^0.8*K). Holds for developed nucleate boiling of a liquid
// on a clean surface, below the critical heat flux (EvapCriticalFlux).
// Stored in three stages, as the product is built; the first two go to
// stages[0] and stages[1] when stages is given.
float EvapBoilingFactor(double lambda, double rho, double sigma, double rhoV, double rV, double rho0,
                        double mu, double c, float* stages = nullptr);

// Film condensation on vertical tubes of height H, alpha_c = B q^(-1/3), with
//   B = 1.21 lambda_c (rho_c^2 g r / (mu_c H))^(1/3)
// lambda_c, rho_c, mu_c the condensate's conductivity, W/(m*K), density,
// kg/m3, and viscosity, Pa*s; r the steam's heat of condensation, J/kg;
// g = 9.81 m/s2; H, m. B is in W^(4/3)/(m^(8/3)*K). Holds for a laminar
// condensate film of pure steam on a vertical wall. The cube root is taken
// as exp(ln(x)/3).
float EvapCondensationFactor(double lambdaC, double rhoC, double r, double muC, double h);

// The largest heat flux of nucleate boiling:
//   q_cr = 0.14 r_v rho_v^0.5 (rho g sigma)^0.25,  W/m2
// symbols as for EvapBoilingFactor, g = 9.81 m/s2 (the fourth root taken as
// two square roots). Above it the boiling turns to film boiling.
float EvapCriticalFlux(double rV, double rhoV, double rho, double sigma);

// The two film coefficients at the heat flux q, W/m2, from their factors:
//   alpha_b = A q^0.6,  alpha_c = B q^(-1/3),  W/(m2*K)
float EvapBoilingAlpha(float a, float q);
float EvapCondensationAlpha(float b, float q);

}  // namespace heatx
