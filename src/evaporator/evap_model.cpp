// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaporator/evap_model.h"

#include "evaporator/evap_correlations.h"
#include "state/float_store.h"

#include <cmath>

namespace heatx {

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kAlphaUnit = u"Вт/(м²·К)"_s;
const QString kFluxUnit = u"Вт/м²"_s;
}  // namespace

void EvapModel(CalcState& s, const std::function<void()>& beep, Trace* t) {
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
    int iterations = 0;
    const auto fail = [&](const char16_t* why) {
        if (beep) beep();
        s.CalcError = kSet;
        if (t)
            t->Add(u"конец"_s, u"конец итераций"_s, {})
                .Choose(u"остановлено после итерации %1"_s.arg(iterations), QString::fromUtf16(why));
    };

    // The boiling factor A, the condensation factor B and the critical flux.
    float stages[2] = {0, 0};
    s.AlphaTube = EvapBoilingFactor(lambda, rho, sigma, rhoV, rV, rho0, mu, c, t ? stages : nullptr);
    const double a = s.AlphaTube;
    s.AlphaShell = EvapCondensationFactor(lambdaK, rhoK, r, muK, h);
    const double b = s.AlphaShell;
    s.ModelWork5 = EvapCriticalFlux(rV, rhoV, rho, sigma);
    if (t) {
        t->Add(u"A1"_s, u"множитель A, этап 1"_s, u"A1 = 780·λ^1.3·(ρ/σ)^0.5"_s)
            .In(u"λ"_s, lambda, u"Вт/(м·К)"_s).In(u"ρ"_s, rho, u"кг/м³"_s).In(u"σ"_s, sigma, u"Н/м"_s)
            .Out(u"A1"_s, stages[0]);
        t->Add(u"A2"_s, u"множитель A, этап 2"_s, u"A2 = A1·ρп^0.06/rп^0.6"_s)
            .In(u"A1"_s, stages[0]).In(u"ρп"_s, rhoV, u"кг/м³"_s).In(u"rп"_s, rV, u"Дж/кг"_s)
            .Out(u"A2"_s, stages[1]);
        t->Add(u"A"_s, u"множитель A кипения"_s, u"A = A2/(ρ0^0.66·(μ·c)^0.3)"_s)
            .In(u"A2"_s, stages[1]).In(u"ρ0"_s, rho0, u"кг/м³"_s).In(u"μ"_s, mu, u"Па·с"_s).In(u"c"_s, c, u"Дж/(кг·К)"_s)
            .Out(u"A"_s, s.AlphaTube);
        t->Add(u"B"_s, u"множитель B конденсации"_s, u"B = 1.21·λк·(ρк²·9.81·r/(μк·H))^(1/3)"_s)
            .In(u"λк"_s, lambdaK, u"Вт/(м·К)"_s).In(u"ρк"_s, rhoK, u"кг/м³"_s).In(u"r"_s, r, u"Дж/кг"_s)
            .In(u"μк"_s, muK, u"Па·с"_s).In(u"H"_s, h, u"м"_s)
            .Out(u"B"_s, s.AlphaShell);
        t->Add(u"qкр"_s, u"критический тепловой поток"_s, u"qкр = 0.14·rп·ρп^0.5·(ρ·9.81·σ)^0.25"_s)
            .In(u"rп"_s, rV, u"Дж/кг"_s).In(u"ρп"_s, rhoV, u"кг/м³"_s).In(u"ρ"_s, rho, u"кг/м³"_s).In(u"σ"_s, sigma, u"Н/м"_s)
            .Out(u"qкр"_s, s.ModelWork5, kFluxUnit);
    }

    // Sum of the temperature drops less dt, as a function of x = q^(1/3):
    // f(x) = x^1.2/A + x^4/B + sum_r x^3 - dt, f'(x) = 1.2 x^0.2/A + 4 x^3/B + 3 sum_r x^2.
    // x^1.2 is formed as x * x^0.2, so that f and f' at one point share a power.
    const auto f = [&](double x, double x02) { return x * x02 / a + x * x * x * x / b + sumR * x * x * x - dt; };
    const auto df = [&](double x, double x02) { return 1.2 * x02 / a + 4 * x * x * x / b + 3 * sumR * x * x; };

    s.SurfaceF = 1.0f;                                           // left end x1
    s.ReTube = Store(std::exp(std::log(double(s.ModelWork5)) / 3));  // right end x2
    const float tolerance = 0.1f;
    if (t) {
        t->Add(u"f(x)"_s, u"баланс перепадов, x = q^(1/3)"_s, u"f(x) = x^1.2/A + x^4/B + Σr·x^3 − Δt"_s)
            .In(u"A"_s, a).In(u"B"_s, b).In(u"Σr"_s, sumR, u"м²·К/Вт"_s).In(u"Δt"_s, dt, u"К"_s);
        t->Add(u"шаг"_s, u"хорда и касательная"_s,
               u"x1 ← x1 − (x2 − x1)·f(x1)/(f(x2) − f(x1)), x2 ← x2 − f(x2)/f′(x2)"_s)
            .Choose(u"до x2 − x1 ≤ 0.1"_s, {});
        t->Add(u"начало"_s, u"начальные значения"_s, u"x1 = 1, x2 = qкр^(1/3)"_s)
            .In(u"qкр"_s, s.ModelWork5, kFluxUnit).Out(u"x1"_s, s.SurfaceF).Out(u"x2"_s, s.ReTube);
    }
    bool settled = false;
    for (int iteration = 0; iteration < kEvapMaxIterations; ++iteration) {
        iterations = iteration + 1;
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
        const float width = Store(double(s.ReTube) - s.SurfaceF);
        if (t)
            t->Add(u"итерация %1"_s.arg(iterations), u"итерация %1"_s.arg(iterations), {})
                .In(u"x1"_s, x1).In(u"x2"_s, x2)
                .Out(u"f(x1)"_s, s.ReShell).Out(u"f(x2)"_s, s.ModelWork6).Out(u"f′(x2)"_s, s.ModelWork7)
                .Out(u"x1"_s, s.SurfaceF).Out(u"x2"_s, s.ReTube).Out(u"x2 − x1"_s, width);
        // Even 1 W/m2 gives more than dt: the chord leaves the bracket.
        if (!(s.SurfaceF >= 1.0f))
            return fail(u"x1 < 1: даже при q = 1 Вт/м² сумма перепадов больше Δt");
        // The required flux exceeds the critical flux: the ends cross.
        if (s.ReTube < s.SurfaceF || std::isnan(s.ReTube))
            return fail(u"x2 < x1: нужный тепловой поток больше qкр");
        if (!(width > tolerance)) {
            settled = true;
            break;
        }
    }
    static_assert(kEvapMaxIterations == 1000, "the message names the limit");
    if (!settled) return fail(u"x2 − x1 > 0.1 после 1000 итераций");
    if (t)
        t->Add(u"конец"_s, u"конец итераций"_s, {})
            .Choose(u"сошлось за %1 итер."_s.arg(iterations), u"x2 − x1 ≤ 0.1"_s);

    s.ModelWork8 = Store((double(s.SurfaceF) + s.ReTube) / 2);  // x
    const double x = s.ModelWork8;
    s.ModelWork9 = Store(x * x * x);  // heat flux q, W/m2
    const double q = s.ModelWork9;
    // A and B are still in their cells.
    s.AlphaTube = EvapBoilingAlpha(s.AlphaTube, s.ModelWork9);
    s.AlphaShell = EvapCondensationAlpha(s.AlphaShell, s.ModelWork9);
    s.HeatTransferK = Store(q / dt);  // K = q / dt, W/(m2*K)
    s.SurfaceF = Store(load / q);     // F = Q / q, m2
    if (t) {
        t->Add(u"x"_s, u"середина отрезка"_s, u"x = (x1 + x2)/2"_s).Out(u"x"_s, s.ModelWork8);
        t->Add(u"q"_s, u"тепловой поток"_s, u"q = x³"_s).In(u"x"_s, x).Out(u"q"_s, s.ModelWork9, kFluxUnit);
        t->Add(u"α1"_s, u"теплоотдача кипения"_s, u"α1 = A·q^0.6"_s).In(u"A"_s, a).In(u"q"_s, q, kFluxUnit)
            .Out(u"α1"_s, s.AlphaTube, kAlphaUnit);
        t->Add(u"α2"_s, u"теплоотдача конденсации"_s, u"α2 = B·q^(−1/3)"_s).In(u"B"_s, b).In(u"q"_s, q, kFluxUnit)
            .Out(u"α2"_s, s.AlphaShell, kAlphaUnit);
        t->Add(u"K"_s, u"коэффициент теплопередачи"_s, u"K = q/Δt"_s).In(u"q"_s, q, kFluxUnit).In(u"Δt"_s, dt, u"К"_s)
            .Out(u"K"_s, s.HeatTransferK, kAlphaUnit);
        t->Add(u"F"_s, u"поверхность теплообмена"_s, u"F = Q/q"_s).In(u"Q"_s, load, u"Вт"_s).In(u"q"_s, q, kFluxUnit)
            .Out(u"F"_s, s.SurfaceF, u"м²"_s);
    }

    if (!std::isfinite(s.AlphaTube) || !std::isfinite(s.AlphaShell) ||
        !std::isfinite(s.HeatTransferK) || !std::isfinite(s.SurfaceF))
        fail(u"результат не конечное число");
}

}  // namespace heatx
