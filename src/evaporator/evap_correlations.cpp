// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaporator/evap_correlations.h"

#include "state/float_store.h"

#include <cmath>

namespace heatx {

namespace {
constexpr double kG = 9.81;  // m/s2
}  // namespace

float EvapBoilingFactor(double lambda, double rho, double sigma, double rhoV, double rV, double rho0,
                        double mu, double c, float* stages) {
    float a = Store(780 * std::pow(lambda, 1.3) * std::pow(rho / sigma, 0.5));
    if (stages) stages[0] = a;
    a = Store(a * std::pow(rhoV, 0.06) / std::pow(rV, 0.6));
    if (stages) stages[1] = a;
    return Store(a / (std::pow(rho0, 0.66) * std::pow(mu * c, 0.3)));
}

float EvapCondensationFactor(double lambdaC, double rhoC, double r, double muC, double h) {
    return Store(1.21 * lambdaC * std::exp(std::log(rhoC * rhoC * kG * r / (muC * h)) / 3));
}

float EvapCriticalFlux(double rV, double rhoV, double rho, double sigma) {
    return Store(0.14 * rV * std::sqrt(rhoV) * std::sqrt(std::sqrt(rho * kG * sigma)));
}

float EvapBoilingAlpha(float a, float q) { return Store(double(a) * std::pow(double(q), 0.6)); }

float EvapCondensationAlpha(float b, float q) { return Store(double(b) * std::pow(double(q), -1.0 / 3.0)); }

}  // namespace heatx
