// SPDX-License-Identifier: GPL-3.0-or-later
// One evaluation of each model on a checked example variant.
#include "cooler/cooler_model.h"
#include "evaporator/evap_model.h"
#include "heater/heater_model.h"

#include <benchmark/benchmark.h>

using namespace heatx;

namespace {

CalcState State(std::initializer_list<float> values) {
    CalcState s;
    int i = 0;
    for (float v : values) s.InputValues[i++] = v;
    return s;
}

void BM_HeaterModel(benchmark::State& state) {
    CalcState s = State({0.686f, 932, 2171000, 0.000212f, 0.5f, 0.642f, 0.000549f, 4180, 0.0005f, 60, 5, 0,
                         0.025f, 2, 3, 100});
    s.HeaterHorizontal = kSet;
    for (auto _ : state) {
        HeaterModel(s);
        benchmark::DoNotOptimize(s.SurfaceF);
    }
}
BENCHMARK(BM_HeaterModel);

void BM_CoolerModelTurbulent(benchmark::State& state) {
    CalcState s = State({0.62f, 995, 0.0008f, 4180, 0.0003f, 10, 0.65f, 0.0005f, 4190, 12, 25, 0.0006f, 500000,
                         0.025f, 2, 0.95f, 100, 0.02f});
    for (auto _ : state) {
        CoolerModel(s);
        benchmark::DoNotOptimize(s.SurfaceF);
    }
}
BENCHMARK(BM_CoolerModelTurbulent);

void BM_CoolerModelLaminar(benchmark::State& state) {
    CalcState s = State({0.62f, 995, 0.0008f, 4180, 0.0003f, 1.2f, 0.65f, 0.0005f, 4190, 3, 25, 0.0006f, 100000,
                         0.025f, 1, 0.9f, 100, 0.02f});
    for (auto _ : state) {
        CoolerModel(s);
        benchmark::DoNotOptimize(s.SurfaceF);
    }
}
BENCHMARK(BM_CoolerModelLaminar);

void BM_EvapModel(benchmark::State& state) {
    CalcState s = State({0.684f, 923, 2141000, 0.000191f, 0.683f, 958, 4220, 0.000282f, 0.0589f, 0.598f, 0.598f,
                         2256000, 43, 0.0005f, 1000000, 4});
    for (auto _ : state) {
        EvapModel(s);
        benchmark::DoNotOptimize(s.SurfaceF);
    }
}
BENCHMARK(BM_EvapModel);

// The same runs with their steps recorded, as the windows and heatx-batch
// --trace run them: the cost of the trace against the plain runs above.
void BM_ModelsTraced(benchmark::State& state) {
    CalcState h = State({0.686f, 932, 2171000, 0.000212f, 0.5f, 0.642f, 0.000549f, 4180, 0.0005f, 60, 5, 0,
                         0.025f, 2, 3, 100});
    h.HeaterHorizontal = kSet;
    CalcState c = State({0.62f, 995, 0.0008f, 4180, 0.0003f, 1.2f, 0.65f, 0.0005f, 4190, 3, 25, 0.0006f, 100000,
                         0.025f, 1, 0.9f, 100, 0.02f});
    CalcState e = State({0.684f, 923, 2141000, 0.000191f, 0.683f, 958, 4220, 0.000282f, 0.0589f, 0.598f, 0.598f,
                         2256000, 43, 0.0005f, 1000000, 4});
    for (auto _ : state) {
        Trace trace;
        HeaterModel(h, &trace);
        CoolerModel(c, &trace);
        EvapModel(e, {}, &trace);
        benchmark::DoNotOptimize(trace.Steps().size());
    }
}
BENCHMARK(BM_ModelsTraced);

}  // namespace
