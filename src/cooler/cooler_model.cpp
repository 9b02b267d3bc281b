#include "cooler/cooler_model.h"

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

float OverallK(float alphaShell, double sumR, float alphaTube) {
    // K = 1 / (1/alpha_2 + sum r + 1/alpha_1), W/(m2*K).
    return Store(1.0L / (1.0L / alphaShell + sumR + 1.0L / alphaTube));
}
}  // namespace

void CoolerModel(CalcState& s) {
    using L = long double;  // within one formula the arithmetic is extended
    const auto& v = s.InputValues;
    const L lambda1 = v[0], rho1 = v[1], mu1 = v[2], c1 = v[3], beta = v[4], g1 = v[5];
    const L lambda2 = v[6], mu2 = v[7], c2 = v[8], g2 = v[9], dt = v[10];
    const double sumR = v[11];
    const L q = v[12], d = v[13], z = v[14], eps = v[15], n = v[16], area = v[17];

    s.ModelWork12 = Store(double(d - kTubeWall));  // d_in, m
    const L dIn = s.ModelWork12;
    // Re1 = 4 G1 z / (pi n mu1 d_in): mass flow per pass through n/z tubes.
    s.ModelWork11 = Store(double(n * kPi * mu1 * dIn));
    s.ReTube = Store(double(4 * g1 * z / s.ModelWork11));
    // Pr1 = c1 mu1 / lambda1, parked in ReShell until the shell side.
    s.ReShell = Store(double(c1 * mu1 / lambda1));
    // Gr = d_in^3 g rho1^2 beta / mu1^2 (the temperature difference enters
    // through the correction loop), parked in HeatTransferK.
    s.ModelWork11 = Store(double(dIn * dIn * dIn));
    s.ModelWork15 = Store(double(rho1 * rho1));
    s.ModelWork16 = Store(double(mu1 * mu1));
    s.HeatTransferK = Store(double(L(s.ModelWork11) * kG * s.ModelWork15 * beta / s.ModelWork16));
    s.ModelWork13 = Store(std::log(double(s.ReTube)));
    s.ModelWork14 = Store(std::log(double(s.ReShell)));

    // Tube side, alpha_1 = C (lambda1/d_in) Re1^a Pr1^0.43 [Gr^0.1], W/(m2*K).
    const bool laminar = s.ReTube < 2300;
    if (laminar) {
        s.ModelWork11 = Store(double(0.15L * lambda1 / dIn));
        s.AlphaTube = Store(double(L(s.ModelWork11) * std::exp(0.33L * s.ModelWork13) *
                                   std::exp(0.43L * s.ModelWork14) *
                                   std::pow(L(s.HeatTransferK), 0.1L)));
    } else if (s.ReTube < 10000) {
        s.ModelWork11 = Store(double(0.008L * lambda1 / dIn));
        s.AlphaTube = Store(double(L(s.ModelWork11) * std::exp(0.9L * s.ModelWork13) *
                                   std::exp(0.43L * s.ModelWork14)));
    } else {
        s.ModelWork11 = Store(double(0.023L * lambda1 / dIn));
        s.AlphaTube = Store(double(L(s.ModelWork11) * std::exp(0.8L * s.ModelWork13) *
                                   std::exp(0.43L * s.ModelWork14)));
    }

    // Inter-tube side: Re2 = d G2 / (S mu2) on the outer diameter and the
    // narrowest flow section; Pr2 parked in AlphaShell.
    s.ReShell = Store(double(d * g2 / (area * mu2)));
    s.AlphaShell = Store(double(c2 * mu2 / lambda2));
    if (s.ReShell <= 1000) {
        // alpha_2 = 0.336 (lambda2/d) Re2^0.5 Pr2^0.36
        s.AlphaShell = Store(double(0.336L * (lambda2 / d) * std::sqrt(L(s.ReShell)) *
                                    std::pow(L(s.AlphaShell), 0.36L)));
    } else {
        // alpha_2 = 0.24 (lambda2/d) Re2^0.6 Pr2^0.36
        s.AlphaShell = Store(double(0.24L * (lambda2 / d) * std::pow(L(s.ReShell), 0.6L) *
                                    std::pow(L(s.AlphaShell), 0.36L)));
    }

    s.ModelWork4 = Store(double(eps * dt));  // corrected driving force, K
    s.HeatTransferK = OverallK(s.AlphaShell, sumR, s.AlphaTube);
    s.ModelWork2 = s.AlphaTube;  // alpha_1 before the laminar correction

    if (laminar) {
        // The Grashof number wants the film temperature drop q/alpha_1 with
        // q = K dtm; alpha_1 = alpha_1,0 (K dtm / alpha_1)^0.1 until K
        // settles within 10 % (a pass that lowers K ends the loop).
        for (int pass = 0; pass < kMaxCorrectionPasses; ++pass) {
            s.ModelWork17 = s.HeatTransferK;
            s.ModelWork9 = Store(
                double(std::pow(L(s.ModelWork4) * s.HeatTransferK / s.AlphaTube, 0.1L)));
            s.AlphaTube = Store(double(L(s.ModelWork9) * s.ModelWork2));
            s.HeatTransferK = OverallK(s.AlphaShell, sumR, s.AlphaTube);
            if (!((L(s.HeatTransferK) - s.ModelWork17) / s.HeatTransferK > 0.1L)) break;
        }
    }

    // F = Q / (dtm K), m2.
    s.SurfaceF = Store(double(q / (L(s.ModelWork4) * s.HeatTransferK)));

    if (!std::isfinite(s.AlphaTube) || !std::isfinite(s.AlphaShell) ||
        !std::isfinite(s.HeatTransferK) || !std::isfinite(s.SurfaceF) ||
        !std::isfinite(s.ReTube) || !std::isfinite(s.ReShell))
        s.CalcError = kSet;
}

}  // namespace heatx
