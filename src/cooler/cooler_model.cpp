// SPDX-License-Identifier: GPL-3.0-or-later
#include "cooler/cooler_model.h"

#include "cooler/cooler_correlations.h"
#include "state/float_store.h"

#include <cmath>

namespace heatx {

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kAlphaUnit = u"Вт/(м²·К)"_s;

QString TubeFormula(TubeRegime regime) {
    switch (regime) {
    case TubeRegime::Laminar: return u"α1 = 0.15·λ1/dвн·Re1^0.33·Pr1^0.43·Gr^0.1"_s;
    case TubeRegime::Transitional: return u"α1 = 0.008·λ1/dвн·Re1^0.9·Pr1^0.43"_s;
    case TubeRegime::Turbulent: break;
    }
    return u"α1 = 0.023·λ1/dвн·Re1^0.8·Pr1^0.43"_s;
}

void TraceTubeSide(Trace& t, const CalcState& s, double lambda1, double dIn) {
    const TubeRegime regime = CoolerTubeRegime(s.ReTube);
    TraceStep& step = t.Add(u"α1"_s, u"теплоотдача в трубах"_s, TubeFormula(regime))
                          .In(u"λ1"_s, lambda1, u"Вт/(м·К)"_s).In(u"dвн"_s, dIn, u"м"_s)
                          .In(u"ln Re1"_s, s.ModelWork13).In(u"ln Pr1"_s, s.ModelWork14);
    if (regime == TubeRegime::Laminar) step.In(u"Gr"_s, s.HeatTransferK);
    step.Out(u"C·λ1/dвн"_s, s.ModelWork11, u"Вт/(м²·К)"_s).Out(u"α1"_s, s.AlphaTube, kAlphaUnit);
    switch (regime) {
    case TubeRegime::Laminar: step.Choose(u"ламинарный"_s, u"Re1 < 2300"_s); break;
    case TubeRegime::Transitional: step.Choose(u"переходный"_s, u"2300 ≤ Re1 < 10000"_s); break;
    case TubeRegime::Turbulent: step.Choose(u"турбулентный"_s, u"Re1 ≥ 10000"_s); break;
    }
}

constexpr double kPi = 3.14159265358979;
constexpr double kG = 9.81;          // m/s2
constexpr double kTubeWall = 0.004;  // 2 mm wall on each side, m
// The laminar correction changes K by less each pass and ends within two
// passes; the cap only guards against a value that never settles.
constexpr int kMaxCorrectionPasses = 1000;
}  // namespace

void CoolerModel(CalcState& s, Trace* t) {
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
    if (t) {
        t->Add(u"dвн"_s, u"внутренний диаметр труб"_s, u"dвн = d − 0.004"_s).In(u"d"_s, d, u"м"_s)
            .Out(u"dвн"_s, s.ModelWork12, u"м"_s);
        t->Add(u"Re1"_s, u"число Re в трубах"_s, u"Re1 = 4·G1·z/(π·n·μ1·dвн)"_s)
            .In(u"G1"_s, g1, u"кг/с"_s).In(u"z"_s, z).In(u"n"_s, n).In(u"μ1"_s, mu1, u"Па·с"_s).In(u"dвн"_s, dIn, u"м"_s)
            .Out(u"Re1"_s, s.ReTube);
        t->Add(u"Pr1"_s, u"число Pr в трубах"_s, u"Pr1 = c1·μ1/λ1"_s)
            .In(u"c1"_s, c1, u"Дж/(кг·К)"_s).In(u"μ1"_s, mu1, u"Па·с"_s).In(u"λ1"_s, lambda1, u"Вт/(м·К)"_s)
            .Out(u"Pr1"_s, s.ReShell);
        t->Add(u"Gr"_s, u"число Gr без Δt"_s, u"Gr = dвн³·9.81·ρ1²·β/μ1²"_s)
            .In(u"dвн³"_s, s.ModelWork11, u"м³"_s).In(u"ρ1²"_s, s.ModelWork15, u"кг²/м⁶"_s).In(u"β"_s, beta, u"1/К"_s)
            .In(u"μ1²"_s, s.ModelWork16, u"Па²·с²"_s)
            .Out(u"Gr"_s, s.HeatTransferK);
    }
    // alpha_1 by the regime of Re1; Gr is still in its cell.
    const CoolerTubeSide tube =
        CoolerTubeAlpha(s.ReTube, s.ModelWork13, s.ModelWork14, s.HeatTransferK, lambda1, dIn);
    s.ModelWork11 = tube.factor;
    s.AlphaTube = tube.alpha;
    if (t) TraceTubeSide(*t, s, lambda1, dIn);

    // Inter-tube side on the outer diameter: Re2 = d G2 / (S mu2) with the
    // velocity of the narrowest flow section; Pr2 parked in AlphaShell.
    s.ReShell = Store(d * g2 / (area * mu2));
    s.AlphaShell = Store(c2 * mu2 / lambda2);
    const float pr2 = s.AlphaShell;
    s.AlphaShell = CoolerShellAlpha(s.ReShell, s.AlphaShell, lambda2, d);
    if (t) {
        t->Add(u"Re2"_s, u"число Re в межтрубном"_s, u"Re2 = d·G2/(S·μ2)"_s)
            .In(u"d"_s, d, u"м"_s).In(u"G2"_s, g2, u"кг/с"_s).In(u"S"_s, area, u"м²"_s).In(u"μ2"_s, mu2, u"Па·с"_s)
            .Out(u"Re2"_s, s.ReShell);
        t->Add(u"Pr2"_s, u"число Pr в межтрубном"_s, u"Pr2 = c2·μ2/λ2"_s)
            .In(u"c2"_s, c2, u"Дж/(кг·К)"_s).In(u"μ2"_s, mu2, u"Па·с"_s).In(u"λ2"_s, lambda2, u"Вт/(м·К)"_s)
            .Out(u"Pr2"_s, pr2);
        const bool root = CoolerShellSquareRootForm(s.ReShell);
        t->Add(u"α2"_s, u"теплоотдача в межтрубном"_s,
               root ? u"α2 = 0.336·λ2/d·Re2^0.5·Pr2^0.36"_s : u"α2 = 0.24·λ2/d·Re2^0.6·Pr2^0.36"_s)
            .In(u"λ2"_s, lambda2, u"Вт/(м·К)"_s).In(u"d"_s, d, u"м"_s).In(u"Re2"_s, s.ReShell).In(u"Pr2"_s, pr2)
            .Out(u"α2"_s, s.AlphaShell, kAlphaUnit)
            .Choose(root ? u"форма с корнем"_s : u"степенная форма"_s, root ? u"Re2 ≤ 1000"_s : u"Re2 > 1000"_s);
    }

    s.ModelWork4 = MixedFlowDrivingForce(eps, dt);
    s.HeatTransferK = CoolerOverallK(s.AlphaShell, sumR, s.AlphaTube);
    s.ModelWork2 = s.AlphaTube;  // alpha_1 before the laminar correction
    if (t) {
        t->Add(u"Δtm"_s, u"средняя движущая сила"_s, u"Δtm = ε·Δt"_s).In(u"ε"_s, eps).In(u"Δt"_s, dt, u"К"_s)
            .Out(u"Δtm"_s, s.ModelWork4, u"К"_s);
        t->Add(u"K"_s, u"коэффициент теплопередачи"_s, u"K = 1/(1/α2 + Σr + 1/α1)"_s)
            .In(u"α2"_s, s.AlphaShell, kAlphaUnit).In(u"Σr"_s, sumR, u"м²·К/Вт"_s).In(u"α1"_s, s.AlphaTube, kAlphaUnit)
            .Out(u"K"_s, s.HeatTransferK, kAlphaUnit);
    }

    if (CoolerTubeRegime(s.ReTube) == TubeRegime::Laminar) {
        // Repeated while K grows by more than 10 %, always from the
        // uncorrected alpha_1,0 (a pass that lowers K ends the loop).
        for (int pass = 0; pass < kMaxCorrectionPasses; ++pass) {
            const float alphaBefore = s.AlphaTube;
            s.ModelWork17 = s.HeatTransferK;
            s.ModelWork9 = CoolerLaminarCorrection(s.ModelWork4, s.HeatTransferK, s.AlphaTube);
            s.AlphaTube = Store(double(s.ModelWork9) * s.ModelWork2);
            s.HeatTransferK = CoolerOverallK(s.AlphaShell, sumR, s.AlphaTube);
            const double change = (double(s.HeatTransferK) - s.ModelWork17) / s.HeatTransferK;
            const bool again = change > 0.1;
            if (t)
                t->Add(u"проход %1"_s.arg(pass + 1), u"поправка α1, проход %1"_s.arg(pass + 1),
                       u"α1 = x·α1,0, x = (Δtm·K/α1)^0.1"_s)
                    .In(u"K"_s, s.ModelWork17, kAlphaUnit).In(u"α1"_s, alphaBefore, kAlphaUnit)
                    .In(u"α1,0"_s, s.ModelWork2, kAlphaUnit)
                    .Out(u"x"_s, s.ModelWork9).Out(u"α1"_s, s.AlphaTube, kAlphaUnit).Out(u"K"_s, s.HeatTransferK, kAlphaUnit)
                    .Choose(again ? u"ещё проход"_s : u"конец поправки"_s,
                            u"(K − Kпред)/K = %1 %2 0.1"_s.arg(QString::number(change, 'g', 4).replace(u'-', u'−'),
                                                               again ? u">"_s : u"≤"_s));
            if (!again) break;
        }
    }

    s.SurfaceF = CoolerSurface(load, s.ModelWork4, s.HeatTransferK);
    if (t) {
        t->Add(u"Q"_s, u"тепловая нагрузка"_s, u"Q"_s).Out(u"Q"_s, v[12], u"Вт"_s).Choose(u"задана"_s, u"строка листа 12"_s);
        t->Add(u"F"_s, u"поверхность теплообмена"_s, u"F = Q/(Δtm·K)"_s)
            .In(u"Q"_s, load, u"Вт"_s).In(u"Δtm"_s, s.ModelWork4, u"К"_s).In(u"K"_s, s.HeatTransferK, kAlphaUnit)
            .Out(u"F"_s, s.SurfaceF, u"м²"_s);
    }

    if (!std::isfinite(s.AlphaTube) || !std::isfinite(s.AlphaShell) ||
        !std::isfinite(s.HeatTransferK) || !std::isfinite(s.SurfaceF) ||
        !std::isfinite(s.ReTube) || !std::isfinite(s.ReShell))
        s.CalcError = kSet;
}

}  // namespace heatx
