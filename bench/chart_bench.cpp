// SPDX-License-Identifier: GPL-3.0-or-later
// The chart of the design space over the whole range of 10 ... 5000 tubes:
// the curves computed (the heater's and the cooler's road, six and five
// numbers of passes) and drawn into a picture of the chart window's size.
// The goal is under 200 ms for computing and drawing together.
#include "cooler/cooler_road.h"
#include "cooler/cooler_sweep.h"
#include "heater/heater_road.h"
#include "heater/heater_sweep.h"
#include "platform/sweep_chart.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <benchmark/benchmark.h>

using namespace heatx;

namespace {

// z = 2.5 adds a sixth curve.
CalcState Heater() {
    CalcState s;
    BeginHeaterRoad(s);
    RunHeaterRoad(s, QStringList{"0.686", "932", "2171000", "0.000212", "0.5", "0.642", "0.000549", "4180", "0.0005",
                                 "60", "5", "", "0.025", "2.5", "3", "100"}, true);
    return s;
}

CalcState Cooler() {
    CalcState s;
    BeginCoolerRoad(s);
    RunCoolerRoad(s, QStringList{"0.6", "998", "0.001", "4180", "0.0003", "14", "0.13", "0.002", "2000", "5", "30",
                                 "0.0005", "350000", "0.025", "2", "0.9", "100", "0.02"},
                  CoolerRanges::FirstEntry);
    return s;
}

void Draw(const Sweep& sweep) {
    QImage image(1100, 560, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintSweep(painter, QRectF(0, 0, 1100, 560), sweep);
}

void BM_SweepHeater(benchmark::State& state) {
    const CalcState s = Heater();
    for (auto _ : state) benchmark::DoNotOptimize(SweepHeater(s).curves.size());
}
BENCHMARK(BM_SweepHeater)->Unit(benchmark::kMillisecond);

void BM_SweepAndDrawHeater(benchmark::State& state) {
    const CalcState s = Heater();
    for (auto _ : state) Draw(SweepHeater(s));
}
BENCHMARK(BM_SweepAndDrawHeater)->Unit(benchmark::kMillisecond);

void BM_SweepAndDrawCooler(benchmark::State& state) {
    const CalcState s = Cooler();
    for (auto _ : state) Draw(SweepCooler(s));
}
BENCHMARK(BM_SweepAndDrawCooler)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
