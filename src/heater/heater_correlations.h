// SPDX-License-Identifier: GPL-3.0-or-later
// The correlations of the heater or dephlegmator: steam condensing on the
// outside of the tubes, a liquid heated by forced convection inside them.
// Each result is rounded to a 4-byte float where the program stores it; the
// factors the program keeps in 4-byte cells (A, m, C, l) come in as floats.
#pragma once

namespace heatx {

// Reynolds number of the liquid in the tubes, each pass carrying the whole
// flow through n/z tubes:
//   Re = 4 G z / (pi d_in mu n),  pi = 3.14159265358979
// G liquid mass flow, kg/s; z tube-side passes; d_in inner tube diameter, m;
// mu liquid viscosity, Pa*s; n number of tubes. Dimensionless.
float HeaterTubeReynolds(double g, double z, double dIn, double mu, double n);

// Forced convection of a liquid inside tubes:
//   Nu = A Re^m Pr^0.43,  alpha = Nu lambda / d_in,  Pr = c mu / lambda
// alpha in W/(m2*K); lambda liquid conductivity, W/(m*K); d_in inner tube
// diameter, m; Pr the liquid's Prandtl number.
//   turbulent, Re >= 10 000:          A = 0.023, m = 0.8
//   transitional, 2300 < Re < 10 000: A = 0.008, m = 0.9
// Holds for steady flow in tubes long against their diameter (l/d_in above
// about 50) at the Prandtl numbers of liquids, about 0.6 to 100; the wall
// temperature correction (Pr/Pr_wall)^0.25 is left out. There is no laminar
// form: the model stops below Re = 2300. Stored twice: Re^m lambda/d_in A
// (into *firstStore when given), then that times Pr^0.43.
float HeaterTubeAlpha(float re, float a, float m, double lambda, double dIn, double pr,
                      float* firstStore = nullptr);

// Film condensation of saturated steam on the tubes, the condensate film
// laminar and running off under gravity:
//   alpha = C lambda_c (rho_c^2 n l / (G_s mu_c))^(1/3),  W/(m2*K)
// lambda_c, rho_c, mu_c the condensate's conductivity, W/(m*K), density,
// kg/m3, and viscosity, Pa*s; n number of tubes; G_s steam condensed, kg/s.
//   vertical tubes:    C = 3.78,      l = d, the outer diameter, m
//   horizontal bundle: C = 2.02 eps,  l = L, the tube length, m, with
//                      eps = 0.7 up to 100 tubes and 0.6 above (the
//                      condensate of the upper rows runs onto the lower)
// Holds for pure steam free of inert gas and a film that stays laminar (a
// film Reynolds number 4 G_s / (perimeter mu_c) below about 2000); the
// physical properties are those of the condensate at the film temperature.
float HeaterCondensationAlpha(float c, double lambdaC, double rhoC, double n, float l, double gs,
                              double muC);

// Overall heat-transfer coefficient through the wall, in series:
//   K = 1 / (1/alpha_tube + sum_r + 1/alpha_shell),  W/(m2*K)
// sum_r the thermal resistance of wall and fouling, m2*K/W. The thin-wall
// form: the difference of the inner and outer surfaces is left out.
float HeaterOverallK(float alphaTube, double sumR, float alphaShell);

// Heat-exchange surface for the heat of condensation of the steam:
//   F = G_s r / (K dt),  m2
// G_s steam flow, kg/s; r heat of condensation, J/kg; dt mean temperature
// difference, K.
float HeaterSurface(double gs, double r, float k, double dt);

}  // namespace heatx
