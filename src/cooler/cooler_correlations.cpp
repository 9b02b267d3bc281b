// SPDX-License-Identifier: GPL-3.0-or-later
#include "cooler/cooler_correlations.h"

#include "state/float_store.h"

#include <cmath>

namespace heatx {

TubeRegime CoolerTubeRegime(float re) {
    if (re < 2300) return TubeRegime::Laminar;
    if (re < 10000) return TubeRegime::Transitional;
    return TubeRegime::Turbulent;
}

CoolerTubeSide CoolerTubeAlpha(float re, float lnRe, float lnPr, float gr, double lambda, double dIn) {
    CoolerTubeSide t{};
    switch (CoolerTubeRegime(re)) {
    case TubeRegime::Laminar:
        t.factor = Store(0.15 * lambda / dIn);
        t.alpha = Store(t.factor * std::exp(0.33 * lnRe) * std::exp(0.43 * lnPr) * std::pow(double(gr), 0.1));
        break;
    case TubeRegime::Transitional:
        t.factor = Store(0.008 * lambda / dIn);
        t.alpha = Store(t.factor * std::exp(0.9 * lnRe) * std::exp(0.43 * lnPr));
        break;
    case TubeRegime::Turbulent:
        t.factor = Store(0.023 * lambda / dIn);
        t.alpha = Store(t.factor * std::exp(0.8 * lnRe) * std::exp(0.43 * lnPr));
        break;
    }
    return t;
}

float CoolerLaminarCorrection(float dtm, float k, float alphaTube) {
    return Store(std::pow(double(dtm) * k / alphaTube, 0.1));
}

float CoolerShellAlpha(float re, float pr, double lambda, double d) {
    const double re2 = re;
    const double pr2 = pr;
    if (CoolerShellSquareRootForm(re)) return Store(0.336 * (lambda / d) * std::sqrt(re2) * std::pow(pr2, 0.36));
    return Store(0.24 * (lambda / d) * std::pow(re2, 0.6) * std::pow(pr2, 0.36));
}

bool CoolerShellSquareRootForm(float re) { return re <= 1000; }

float MixedFlowDrivingForce(double eps, double dt) { return Store(eps * dt); }

float CoolerOverallK(float alphaShell, double sumR, float alphaTube) {
    return Store(1.0 / (1.0 / alphaShell + sumR + 1.0 / alphaTube));
}

float CoolerSurface(double load, float dtm, float k) { return Store(load / (double(dtm) * k)); }

}  // namespace heatx
