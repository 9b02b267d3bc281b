// SPDX-License-Identifier: GPL-3.0-or-later
// The three heat-transfer models: regime edges, failure exits and the way
// the results move with the inputs.
#include "cooler/cooler_model.h"
#include "evaporator/evap_model.h"
#include "heater/heater_model.h"
#include "state/calc_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace heatx;

namespace {

void Set(CalcState& s, std::initializer_list<std::pair<int, float>> values) {
    for (auto [line, v] : values) s.InputValues[line] = v;
}

// Steam-heated water heater, horizontal, turbulent in the tubes.
CalcState Heater() {
    CalcState s;
    Set(s, {{0, 0.686f}, {1, 932}, {2, 2171000}, {3, 0.000212f}, {4, 0.5f}, {5, 0.642f},
            {6, 0.000549f}, {7, 4180}, {8, 0.0005f}, {9, 60}, {10, 5}, {12, 0.025f}, {13, 2},
            {14, 3}, {15, 100}});
    s.HeaterHorizontal = kSet;
    return s;
}

CalcState Cooler() {
    CalcState s;
    Set(s, {{0, 0.62f}, {1, 995}, {2, 0.0008f}, {3, 4180}, {4, 0.0003f}, {5, 10}, {6, 0.65f},
            {7, 0.0005f}, {8, 4190}, {9, 12}, {10, 25}, {11, 0.0006f}, {12, 500000}, {13, 0.025f},
            {14, 2}, {15, 0.95f}, {16, 100}, {17, 0.02f}});
    return s;
}

// Water boiling at atmospheric pressure, heated by steam of 4 bar.
CalcState Evap() {
    CalcState s;
    Set(s, {{0, 0.684f}, {1, 923}, {2, 2141000}, {3, 0.000191f}, {4, 0.683f}, {5, 958},
            {6, 4220}, {7, 0.000282f}, {8, 0.0589f}, {9, 0.598f}, {10, 0.598f}, {11, 2256000},
            {12, 43}, {13, 0.0005f}, {14, 1000000}, {15, 4}});
    return s;
}

// Steps the float input through neighbouring values until the stored
// result of run equals target exactly; false when no float input gives it.
bool HitExactly(CalcState& s, int line, float target, const std::function<float(CalcState&)>& run) {
    float lo = s.InputValues[line];
    // Coarse: scale the input in proportion (the results below are linear in it).
    for (int i = 0; i < 4; ++i) {
        s.InputValues[line] = lo;
        const float got = run(s);
        lo = static_cast<float>(double(lo) * target / got);
    }
    for (int step = 0; step < 4000; ++step) {
        for (float dir : {1.0f, -1.0f}) {
            float x = lo;
            for (int k = 0; k < step; ++k) x = std::nextafter(x, dir * INFINITY);
            s.InputValues[line] = x;
            if (run(s) == target) return true;
        }
    }
    return false;
}

float HeaterRe(CalcState& s) {
    HeaterModel(s);
    return s.ReTube;
}

void ExpectValid(const CalcState& s) {
    EXPECT_EQ(s.CalcError, kClear);
    for (float v : {s.AlphaTube, s.AlphaShell, s.HeatTransferK, s.SurfaceF}) {
        EXPECT_TRUE(std::isfinite(v));
        EXPECT_GT(v, 0.0f);
    }
}

}  // namespace

TEST(HeaterModel, TurbulentHorizontalCaseAgreesWithTheCorrelations) {
    CalcState s = Heater();
    HeaterModel(s);
    ExpectValid(s);
    // Re = 4 G z / (pi d_in mu n) with d_in = 0.021 m.
    EXPECT_NEAR(s.ReTube, 4 * 5.0 * 2 / (3.14159265358979 * 0.021 * 0.000549 * 100), 0.01);
    const double pr = 4180 * 0.000549 / 0.642;
    EXPECT_NEAR(s.AlphaTube, 0.023 * std::pow(double(s.ReTube), 0.8) * std::pow(pr, 0.43) * 0.642 / 0.021,
                s.AlphaTube * 2e-6);
    const double alphaShell = 2.02 * 0.7 * 0.686 * std::cbrt(932.0 * 932 * 100 * 3 / (0.5 * 0.000212));
    EXPECT_NEAR(s.AlphaShell, alphaShell, alphaShell * 2e-6);
    const double k = 1 / (1 / double(s.AlphaTube) + 0.0005 + 1 / double(s.AlphaShell));
    EXPECT_NEAR(s.HeatTransferK, k, k * 2e-6);
    EXPECT_NEAR(s.SurfaceF, 0.5 * 2171000 / (k * 60), s.SurfaceF * 2e-6);
}

TEST(HeaterModel, ReynoldsEdgesAt2300And10000) {
    // Exactly 2300 stops the model; the other results keep their earlier values.
    CalcState s = Heater();
    HeaterModel(s);
    const float k = s.HeatTransferK;
    ASSERT_TRUE(HitExactly(s, 10, 2300.0f, HeaterRe));
    EXPECT_EQ(s.ReTube, 2300.0f);
    EXPECT_EQ(s.CalcError, kSet);
    EXPECT_EQ(s.HeatTransferK, k);

    // Just above 2300: transitional constants A = 0.008, m = 0.9.
    s.InputValues[10] = std::nextafter(s.InputValues[10], INFINITY);
    HeaterModel(s);
    while (!(s.ReTube > 2300)) {
        s.InputValues[10] = std::nextafter(s.InputValues[10], INFINITY);
        HeaterModel(s);
    }
    ExpectValid(s);
    EXPECT_EQ(s.ModelWork3, 0.008f);
    EXPECT_EQ(s.MessageAnswer, 0.9f);

    // Exactly 10000 counts as turbulent; just below it as transitional.
    ASSERT_TRUE(HitExactly(s, 10, 10000.0f, HeaterRe));
    EXPECT_EQ(s.ModelWork3, 0.023f);
    EXPECT_EQ(s.MessageAnswer, 0.8f);
    s.InputValues[10] = std::nextafter(s.InputValues[10], 0.0f);
    HeaterModel(s);
    ASSERT_LT(s.ReTube, 10000.0f);
    EXPECT_EQ(s.ModelWork3, 0.008f);

    // A run after a failed run reports its own outcome.
    s.InputValues[10] = 5;
    HeaterModel(s);
    EXPECT_EQ(s.CalcError, kClear);
}

TEST(HeaterModel, BundleFactorChangesAbove100Tubes) {
    CalcState a = Heater();
    a.InputValues[15] = 100;
    HeaterModel(a);
    CalcState b = Heater();
    b.InputValues[15] = 101;
    HeaterModel(b);
    EXPECT_EQ(a.ModelWork2, 0.7f);
    EXPECT_EQ(b.ModelWork2, 0.6f);
    const double expected = double(a.AlphaShell) * (0.6 / 0.7) * std::cbrt(101.0 / 100.0);
    EXPECT_NEAR(b.AlphaShell, expected, expected * 2e-6);
}

TEST(HeaterModel, VerticalApparatusIgnoresHeightAndBundleFactor) {
    CalcState a = Heater();
    a.HeaterHorizontal = kClear;
    HeaterModel(a);
    CalcState b = a;
    b.InputValues[14] = 7;    // tube height
    b.InputValues[15] = 101;  // eps would change for a horizontal bundle
    HeaterModel(b);
    const double shellA = double(a.AlphaShell) / std::cbrt(100.0);
    const double shellB = double(b.AlphaShell) / std::cbrt(101.0);
    EXPECT_NEAR(shellA, shellB, shellA * 2e-6);  // only n changed it, through (n)^(1/3)
    const double vertical = 3.78 * 0.686 * std::cbrt(932.0 * 932 * 100 * 0.025 / (0.5 * 0.000212));
    EXPECT_NEAR(a.AlphaShell, vertical, vertical * 2e-6);
}

TEST(CoolerModel, RegimesOfTheTubeSide) {
    const auto tubeRe = [](CalcState& s) {
        CoolerModel(s);
        return s.ReTube;
    };
    // Exactly 2300 is transitional (no correction loop: alpha_1 stays alpha_1,0).
    CalcState s = Cooler();
    ASSERT_TRUE(HitExactly(s, 5, 2300.0f, tubeRe));
    EXPECT_EQ(s.AlphaTube, s.ModelWork2);
    const double pr1 = 4180 * double(0.0008f) / double(0.62f);
    const double transitional = 0.008 * 0.62 / 0.021 * std::pow(2300.0, 0.9) * std::pow(pr1, 0.43);
    EXPECT_NEAR(s.AlphaTube, transitional, transitional * 1e-5);

    // Exactly 10000 is turbulent.
    ASSERT_TRUE(HitExactly(s, 5, 10000.0f, tubeRe));
    const double turbulent = 0.023 * 0.62 / 0.021 * std::pow(10000.0, 0.8) * std::pow(pr1, 0.43);
    EXPECT_NEAR(s.AlphaTube, turbulent, turbulent * 1e-5);
}

TEST(CoolerModel, ShellSideSquareRootFormUpToRe1000) {
    const auto shellRe = [](CalcState& s) {
        CoolerModel(s);
        return s.ReShell;
    };
    CalcState s = Cooler();
    ASSERT_TRUE(HitExactly(s, 9, 1000.0f, shellRe));
    const double pr2 = 4190 * double(0.0005f) / double(0.65f);
    const double root = 0.336 * 0.65 / 0.025 * std::sqrt(1000.0) * std::pow(pr2, 0.36);
    EXPECT_NEAR(s.AlphaShell, root, root * 1e-5);
    s.InputValues[9] = std::nextafter(s.InputValues[9], INFINITY);
    CoolerModel(s);
    ASSERT_GT(s.ReShell, 1000.0f);
    const double power = 0.24 * 0.65 / 0.025 * std::pow(double(s.ReShell), 0.6) * std::pow(pr2, 0.36);
    EXPECT_NEAR(s.AlphaShell, power, power * 1e-5);
}

TEST(CoolerModel, LaminarCorrectionLoop) {
    // Laminar flow: the loop corrects alpha_1 by (K dtm / alpha_1)^0.1 of the
    // last pass, always from the uncorrected alpha_1,0.
    CalcState s = Cooler();
    Set(s, {{5, 1.2f}, {14, 1}, {9, 3}, {12, 100000}, {15, 0.9f}});
    CoolerModel(s);
    ASSERT_LT(s.ReTube, 2300.0f);
    ExpectValid(s);
    const float alpha0 = s.ModelWork2;
    EXPECT_NE(s.AlphaTube, alpha0);
    EXPECT_FLOAT_EQ(s.AlphaTube, s.ModelWork9 * alpha0);
    // The film temperature drop here is several kelvin: the factor raises alpha_1.
    EXPECT_GT(s.ModelWork9, 1.0f);
    // The last pass changed K by no more than 10 % upwards.
    EXPECT_LE((double(s.HeatTransferK) - s.ModelWork17) / s.HeatTransferK, 0.1);
    const double f = 100000 / (double(s.ModelWork4) * s.HeatTransferK);
    EXPECT_NEAR(s.SurfaceF, f, f * 2e-6);

    // A film drop below 1 K: the first pass lowers alpha_1 and ends the loop.
    CalcState t = Cooler();
    Set(t, {{5, 1.2f}, {14, 1}, {9, 3}, {10, 0.5f}, {15, 0.1f}, {11, 0.01f}});
    CoolerModel(t);
    ASSERT_LT(t.ReTube, 2300.0f);
    EXPECT_LT(t.ModelWork9, 1.0f);
    EXPECT_LT(t.AlphaTube, t.ModelWork2);
    EXPECT_LT(t.HeatTransferK, t.ModelWork17);  // the one pass lowered K
}

TEST(CoolerModel, LeavesTheCheckFlagAlone) {
    CalcState s = Cooler();
    s.CalcError = kClear;
    CoolerModel(s);
    ExpectValid(s);
    EXPECT_NEAR(s.ReShell, 0.025 * 12 / (0.02 * 0.0005), 0.01);
}

TEST(EvapModel, SolvesTheBalanceOfTemperatureDrops) {
    CalcState s = Evap();
    int beeps = 0;
    EvapModel(s, [&] { ++beeps; });
    ExpectValid(s);
    EXPECT_EQ(beeps, 0);
    // At the solution the drops add up to dt within the tolerance of x.
    const double q = double(s.HeatTransferK) * 43;
    const double drops = q / s.AlphaTube + q / s.AlphaShell + 0.0005 * q;
    EXPECT_NEAR(drops, 43, 43 * 0.02);
    EXPECT_NEAR(s.SurfaceF, 1000000 / q, s.SurfaceF * 1e-5);
}

TEST(EvapModel, TallerTubesLowerCondensationAndRaiseTheSurface) {
    CalcState a = Evap();
    EvapModel(a);
    CalcState b = Evap();
    b.InputValues[15] = 8;
    EvapModel(b);
    ExpectValid(b);
    EXPECT_LT(b.AlphaShell, a.AlphaShell);
    EXPECT_GT(b.SurfaceF, a.SurfaceF);
}

TEST(EvapModel, HeatLoadOnlyScalesTheSurface) {
    CalcState a = Evap();
    EvapModel(a);
    CalcState b = Evap();
    b.InputValues[14] = 2000000;
    EvapModel(b);
    EXPECT_EQ(a.AlphaTube, b.AlphaTube);
    EXPECT_EQ(a.AlphaShell, b.AlphaShell);
    EXPECT_EQ(a.HeatTransferK, b.HeatTransferK);
    EXPECT_NEAR(b.SurfaceF, 2 * a.SurfaceF, a.SurfaceF * 1e-6);
}

TEST(EvapModel, FailsWithABeepWhenTheBalanceHasNoRoot) {
    // dt so small that even 1 W/m2 gives more: the chord leaves x >= 1.
    CalcState s = Evap();
    s.InputValues[12] = 0.00001f;
    const float kBefore = s.HeatTransferK = 123.0f;
    int beeps = 0;
    EvapModel(s, [&] { ++beeps; });
    EXPECT_EQ(s.CalcError, kSet);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(s.HeatTransferK, kBefore);

    // dt so large that the required flux exceeds the critical flux: the ends cross.
    CalcState t = Evap();
    t.InputValues[12] = 100;
    t.InputValues[9] = 0.02f;   // thin vapour and a small heat of vaporisation:
    t.InputValues[11] = 50000;  // a critical flux of a few hundred W/m2
    beeps = 0;
    EvapModel(t, [&] { ++beeps; });
    EXPECT_EQ(t.CalcError, kSet);
    EXPECT_EQ(beeps, 1);

    // The next good run reports its own outcome.
    CalcState u = Evap();
    u.CalcError = kSet;
    EvapModel(u);
    EXPECT_EQ(u.CalcError, kClear);
}

TEST(Models, NeverReportNonFiniteResultsAsValid) {
    // Inputs no check would pass: the models must not mark garbage as a result.
    CalcState h = Heater();
    h.InputValues[3] = 0;  // condensate viscosity 0: division by zero
    HeaterModel(h);
    EXPECT_EQ(h.CalcError, kSet);

    CalcState c = Cooler();
    c.InputValues[17] = 0;  // no flow section
    CoolerModel(c);
    EXPECT_EQ(c.CalcError, kSet);

    CalcState e = Evap();
    e.InputValues[15] = 0;  // tube height 0
    EvapModel(e);
    EXPECT_EQ(e.CalcError, kSet);
}
