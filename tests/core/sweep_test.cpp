// SPDX-License-Identifier: GPL-3.0-or-later
// The design space of each apparatus: every point of a curve is the result of
// one run of the road at that construction, to the bit; the heater's curve
// stops exactly where its model does.
#include "cooler/cooler_road.h"
#include "cooler/cooler_sweep.h"
#include "evaporator/evap_road.h"
#include "evaporator/evap_sweep.h"
#include "heater/heater_road.h"
#include "heater/heater_sweep.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <bit>
#include <functional>

using namespace heatx;

namespace {

const QStringList kHeater = {"0.686", "932", "2171000", "0.000212", "0.5", "0.642", "0.000549", "4180",
                             "0.0005", "60", "5", "", "0.025", "2.5", "3", "100"};
const QStringList kCooler = {"0.6", "998", "0.001", "4180", "0.0003", "14", "0.13", "0.002", "2000",
                             "5", "30", "0.0005", "350000", "0.025", "2", "0.9", "100", "0.02"};
const QStringList kEvap = {"0.684", "923", "2141000", "0.000191", "0.683", "958", "4220", "0.000282",
                           "0.0589", "0.598", "0.598", "2256000", "43", "0.0005", "1000000", "4"};

struct Case {
    const char* name;
    std::function<CalcState()> computed;    // the student's inputs, computed once
    std::function<Sweep(const CalcState&)> sweep;
    // One run of the road with x typed in its line and z in its own.
    std::function<bool(CalcState&, const QString& x, const QString& z)> single;
    std::size_t curves;
};

CalcState Heater() {
    CalcState s;
    BeginHeaterRoad(s);
    EXPECT_TRUE(RunHeaterRoad(s, kHeater, true).Ok());
    return s;
}
CalcState Cooler() {
    CalcState s;
    BeginCoolerRoad(s);
    EXPECT_TRUE(RunCoolerRoad(s, kCooler, CoolerRanges::FirstEntry).Ok());
    return s;
}
CalcState Evap() {
    CalcState s;
    BeginEvapRoad(s);
    EXPECT_TRUE(RunEvapRoad(s, kEvap).Ok());
    return s;
}

const Case kCases[] = {
    {"heater", Heater, SweepHeater,
     [](CalcState& s, const QString& x, const QString& z) {
         StoreHeaterLine(s, 15, x);
         StoreHeaterLine(s, 13, z);
         return RunHeaterRoad(s, std::optional<bool>(true)).Ok();
     },
     6},
    {"cooler", Cooler, SweepCooler,
     [](CalcState& s, const QString& x, const QString& z) {
         StoreCoolerLine(s, 16, x);
         StoreCoolerLine(s, 14, z);
         return RunCoolerRoad(s, CoolerRanges::Either).Ok();
     },
     5},
    {"evaporator", Evap, SweepEvap,
     [](CalcState& s, const QString& x, const QString&) {
         StoreEvapLine(s, kEvapHeightLine, x);
         return RunEvapRoad(s).Ok();
     },
     1},
};

bool Same(float a, float b) { return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b); }

TEST(Sweep, EveryPointIsOneRunOfTheRoadToTheBit) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const CalcState student = c.computed();
        const Sweep sweep = c.sweep(student);
        ASSERT_EQ(sweep.curves.size(), c.curves);
        for (const SweepCurve& curve : sweep.curves) {
            // The first, the last and every 97th point, whether computed or not.
            for (std::size_t i = 0; i < curve.points.size(); i += (i + 97 < curve.points.size() ? 97 : 1)) {
                const SweepPoint& p = curve.points[i];
                CalcState s = student;
                const QString x = QString::number(double(p.x), 'g', 9);
                const bool computed = c.single(s, x, QString::number(double(curve.z), 'g', 9));
                SCOPED_TRACE(QStringLiteral("z %1, x %2").arg(double(curve.z)).arg(x).toStdString());
                ASSERT_EQ(p.computed, computed);
                if (sweep.hasReynolds) {
                    EXPECT_TRUE(Same(p.reTube, s.ReTube));
                }
                if (!computed) continue;
                EXPECT_TRUE(Same(p.alphaTube, s.AlphaTube));
                EXPECT_TRUE(Same(p.alphaShell, s.AlphaShell));
                EXPECT_TRUE(Same(p.k, s.HeatTransferK));
                EXPECT_TRUE(Same(p.f, s.SurfaceF));
            }
        }
        // The student's own point is the result the window shows.
        EXPECT_TRUE(sweep.own.computed);
        EXPECT_TRUE(Same(sweep.own.f, student.SurfaceF));
        EXPECT_TRUE(Same(sweep.own.k, student.HeatTransferK));
    }
}

TEST(Sweep, CurvesSpanTheConstructiveRangeForTheUsualAndTheOwnPasses) {
    const Sweep heater = SweepHeater(Heater());
    std::vector<float> zs;
    for (const SweepCurve& c : heater.curves) {
        zs.push_back(c.z);
        ASSERT_EQ(c.points.size(), 4991u);  // n = 10 ... 5000
        EXPECT_EQ(c.points.front().x, 10.0f);
        EXPECT_EQ(c.points.back().x, 5000.0f);
    }
    EXPECT_EQ(zs, (std::vector<float>{1, 2, 2.5f, 4, 6, 8}));
    const Sweep evap = SweepEvap(Evap());
    ASSERT_EQ(evap.curves.size(), 1u);
    EXPECT_EQ(evap.curves[0].points.size(), 181u);  // 1.00 ... 10.00 m by 5 cm
    EXPECT_EQ(evap.curves[0].points[1].x, 1.05f);
    EXPECT_FALSE(evap.hasReynolds);
}

TEST(Sweep, HeaterStopsAtTheFirstTubeCountWhoseReynoldsNumberIsNotAbove2300) {
    const Sweep sweep = SweepHeater(Heater());
    for (const SweepCurve& curve : sweep.curves) {
        SCOPED_TRACE(curve.z);
        const SweepPoint* stop = FirstStop(curve);
        ASSERT_NE(stop, nullptr);
        const std::size_t at = std::size_t(stop - curve.points.data());
        ASSERT_GT(at, 0u);
        EXPECT_LE(stop->reTube, 2300.0f);
        EXPECT_GT(curve.points[at - 1].reTube, 2300.0f);
        EXPECT_TRUE(curve.points[at - 1].computed);
        // More tubes only slow the liquid down: nothing is computed after it.
        for (std::size_t i = at; i < curve.points.size(); ++i) ASSERT_FALSE(curve.points[i].computed);
    }
}

TEST(Sweep, PassesAreTheUsualOnesAndTheOwnEachOnce) {
    EXPECT_EQ(SweepPasses(2), (std::vector<float>{1, 2, 4, 6, 8}));
    EXPECT_EQ(SweepPasses(10), (std::vector<float>{1, 2, 4, 6, 8, 10}));
    EXPECT_EQ(SweepPasses(0.99f), (std::vector<float>{0.99f, 1, 2, 4, 6, 8}));
}

}  // namespace
