// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/heater_correlations.h"

#include "state/float_store.h"

#include <cmath>

namespace heatx {

namespace {
constexpr double kPi = 3.14159265358979;
}  // namespace

float HeaterTubeReynolds(double g, double z, double dIn, double mu, double n) {
    return Store(4 * g * z / (kPi * dIn * mu * n));
}

float HeaterTubeAlpha(float re, float a, float m, double lambda, double dIn, double pr, float* firstStore) {
    const float alpha = Store(std::pow(double(re), double(m)) * (lambda / dIn * a));
    if (firstStore) *firstStore = alpha;
    return Store(std::pow(pr, 0.43) * alpha);
}

float HeaterCondensationAlpha(float c, double lambdaC, double rhoC, double n, float l, double gs,
                              double muC) {
    return Store(std::pow(rhoC * rhoC * n * l / (gs * muC), 1.0 / 3.0) * (c * lambdaC));
}

float HeaterOverallK(float alphaTube, double sumR, float alphaShell) {
    return Store(1.0 / (1.0 / alphaTube + sumR + 1.0 / alphaShell));
}

float HeaterSurface(double gs, double r, float k, double dt) { return Store(gs * r / (k * dt)); }

}  // namespace heatx
