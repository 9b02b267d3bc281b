// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/heater_model.h"

#include "heater/heater_correlations.h"
#include "state/float_store.h"

#include <cmath>

namespace heatx {

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double kTubeWall = 0.004;  // 2 mm wall on each side, m

// The condensation form the model took, from the cells it stored.
void TraceShellForm(Trace& t, const CalcState& s, double n) {
    if (s.HeaterHorizontal != kClear) {
        t.Add(u"ε"_s, u"поправка на ряды труб"_s, {})
            .Out(u"ε"_s, s.ModelWork2)
            .Choose(n > 100 ? u"ε = 0.6"_s : u"ε = 0.7"_s, n > 100 ? u"n > 100"_s : u"n ≤ 100"_s);
        t.Add(u"C, ℓ"_s, u"форма конденсации"_s, u"C = 2.02·ε, ℓ = L"_s)
            .Out(u"C"_s, s.ModelWork4).Out(u"ℓ"_s, s.ModelWork1, u"м"_s)
            .Choose(u"горизонтальный аппарат"_s, {});
    } else {
        t.Add(u"C, ℓ"_s, u"форма конденсации"_s, u"C = 3.78, ℓ = d"_s)
            .Out(u"C"_s, s.ModelWork4).Out(u"ℓ"_s, s.ModelWork1, u"м"_s)
            .Choose(u"вертикальный аппарат"_s, {});
    }
}
}  // namespace

void HeaterModel(CalcState& s, Trace* t) {
    const auto& v = s.InputValues;
    const double lambdaC = v[0];  // condensate conductivity, W/(m*K)
    const double rhoC = v[1];     // condensate density, kg/m3
    const double r = v[2];        // heat of condensation, J/kg
    const double muC = v[3];      // condensate viscosity, Pa*s
    const double gs = v[4];       // steam flow, kg/s
    const double lambdaL = v[5];  // liquid conductivity, W/(m*K)
    const double muL = v[6];      // liquid viscosity, Pa*s
    const double cL = v[7];       // liquid heat capacity, J/(kg*K)
    const double sumR = v[8];     // wall and fouling resistance, m2*K/W
    const double dt = v[9];       // mean temperature difference, K
    const double gl = v[10];      // liquid flow, kg/s
    const double d = v[12];       // outer tube diameter, m
    const double z = v[13];       // tube-side passes
    const double n = v[15];       // number of tubes

    s.CalcError = kClear;
    s.ModelWork2 = 0.7f;     // bundle factor eps of a horizontal bundle
    s.ModelWork3 = 0.023f;   // tube-side constant A
    s.MessageAnswer = 0.8f;  // tube-side exponent m
    if (v[15] > 100) s.ModelWork2 = 0.6f;

    const double dIn = d - kTubeWall;
    if (t) t->Add(u"dвн"_s, u"внутренний диаметр труб"_s, u"dвн = d − 0.004"_s).In(u"d"_s, d, u"м"_s).Out(u"dвн"_s, float(dIn), u"м"_s);
    s.ReTube = HeaterTubeReynolds(gl, z, dIn, muL, n);
    if (t)
        t->Add(u"Re"_s, u"число Re в трубах"_s, u"Re = 4·Gж·z/(π·dвн·μж·n)"_s)
            .In(u"Gж"_s, gl, u"кг/с"_s).In(u"z"_s, z).In(u"dвн"_s, dIn, u"м"_s).In(u"μж"_s, muL, u"Па·с"_s).In(u"n"_s, n)
            .Out(u"Re"_s, s.ReTube);
    if (!(s.ReTube > 2300)) {
        s.CalcError = kSet;
        if (t)
            t->Add(u"режим"_s, u"режим течения в трубах"_s, {})
                .Choose(u"расчёт остановлен"_s, u"Re ≤ 2300, для ламинарного течения формулы нет"_s);
        return;
    }
    if (s.ReTube < 10000) {  // transitional flow
        s.ModelWork3 = 0.008f;
        s.MessageAnswer = 0.9f;
    }
    if (t)
        t->Add(u"режим"_s, u"режим течения в трубах"_s, {})
            .Out(u"A"_s, s.ModelWork3).Out(u"m"_s, s.MessageAnswer)
            .Choose(s.ReTube < 10000 ? u"переходный"_s : u"турбулентный"_s,
                    s.ReTube < 10000 ? u"2300 < Re < 10000"_s : u"Re ≥ 10000"_s);
    const double pr = cL * muL / lambdaL;
    float alphaFirst = 0;
    s.AlphaTube = HeaterTubeAlpha(s.ReTube, s.ModelWork3, s.MessageAnswer, lambdaL, dIn, pr, t ? &alphaFirst : nullptr);
    if (t) {
        t->Add(u"Pr"_s, u"число Pr жидкости"_s, u"Pr = cж·μж/λж"_s)
            .In(u"cж"_s, cL, u"Дж/(кг·К)"_s).In(u"μж"_s, muL, u"Па·с"_s).In(u"λж"_s, lambdaL, u"Вт/(м·К)"_s)
            .Out(u"Pr"_s, float(pr));
        t->Add(u"α1'"_s, u"α в трубах без Pr"_s, u"α1' = Re^m·λж/dвн·A"_s)
            .In(u"Re"_s, s.ReTube).In(u"m"_s, s.MessageAnswer).In(u"λж"_s, lambdaL, u"Вт/(м·К)"_s)
            .In(u"dвн"_s, dIn, u"м"_s).In(u"A"_s, s.ModelWork3)
            .Out(u"α1'"_s, alphaFirst, u"Вт/(м²·К)"_s);
        t->Add(u"α1"_s, u"теплоотдача в трубах"_s, u"α1 = Pr^0.43·α1'"_s)
            .In(u"Pr"_s, pr).In(u"α1'"_s, alphaFirst, u"Вт/(м²·К)"_s)
            .Out(u"α1"_s, s.AlphaTube, u"Вт/(м²·К)"_s);
    }

    // Condensation: vertical tubes C = 3.78 with l = d; horizontal bundle
    // C = 2.02 eps with l = L.
    if (s.HeaterHorizontal == kClear) {
        s.ModelWork4 = 3.78f;
        s.ModelWork1 = v[12];
    } else {
        s.ModelWork4 = Store(2.02 * s.ModelWork2);
        s.ModelWork1 = v[14];  // tube length, m
    }
    if (t) TraceShellForm(*t, s, n);
    s.AlphaShell = HeaterCondensationAlpha(s.ModelWork4, lambdaC, rhoC, n, s.ModelWork1, gs, muC);
    s.HeatTransferK = HeaterOverallK(s.AlphaTube, sumR, s.AlphaShell);
    s.SurfaceF = HeaterSurface(gs, r, s.HeatTransferK, dt);
    if (t) {
        t->Add(u"α2"_s, u"теплоотдача конденсации"_s, u"α2 = (ρк²·n·ℓ/(Gп·μк))^(1/3)·(C·λк)"_s)
            .In(u"ρк"_s, rhoC, u"кг/м³"_s).In(u"n"_s, n).In(u"ℓ"_s, s.ModelWork1, u"м"_s).In(u"Gп"_s, gs, u"кг/с"_s)
            .In(u"μк"_s, muC, u"Па·с"_s).In(u"C"_s, s.ModelWork4).In(u"λк"_s, lambdaC, u"Вт/(м·К)"_s)
            .Out(u"α2"_s, s.AlphaShell, u"Вт/(м²·К)"_s);
        t->Add(u"K"_s, u"коэффициент теплопередачи"_s, u"K = 1/(1/α1 + Σr + 1/α2)"_s)
            .In(u"α1"_s, s.AlphaTube, u"Вт/(м²·К)"_s).In(u"Σr"_s, sumR, u"м²·К/Вт"_s).In(u"α2"_s, s.AlphaShell, u"Вт/(м²·К)"_s)
            .Out(u"K"_s, s.HeatTransferK, u"Вт/(м²·К)"_s);
        // The model forms F from G_s r at once; Q is shown rounded as a cell would hold it.
        t->Add(u"Q"_s, u"тепловая нагрузка"_s, u"Q = Gп·r"_s)
            .In(u"Gп"_s, gs, u"кг/с"_s).In(u"r"_s, r, u"Дж/кг"_s)
            .Out(u"Q"_s, Store(gs * r), u"Вт"_s);
        t->Add(u"F"_s, u"поверхность теплообмена"_s, u"F = Gп·r/(K·Δt)"_s)
            .In(u"Gп"_s, gs, u"кг/с"_s).In(u"r"_s, r, u"Дж/кг"_s).In(u"K"_s, s.HeatTransferK, u"Вт/(м²·К)"_s)
            .In(u"Δt"_s, dt, u"К"_s)
            .Out(u"F"_s, s.SurfaceF, u"м²"_s);
    }

    if (!std::isfinite(s.AlphaTube) || !std::isfinite(s.AlphaShell) ||
        !std::isfinite(s.HeatTransferK) || !std::isfinite(s.SurfaceF))
        s.CalcError = kSet;
}

}  // namespace heatx
