// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch throughput: rows per second over a file of 100 000 variants.
#include "batch/batch.h"

#include <benchmark/benchmark.h>

#include <QFile>

using namespace heatx::batch;

namespace {

constexpr int kRows = 100000;

QString ExampleRows(const char* type) {
    QFile file(QStringLiteral(HEATX_EXAMPLES_DIR "/") + QString::fromLatin1(type) + QStringLiteral(".csv"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList rows;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1Char('#'))) rows.append(line);
    QString text;
    for (int i = 0; i < kRows; ++i) text += rows[i % rows.size()] + QLatin1Char('\n');
    return text;
}

void BM_BatchRows(benchmark::State& state, Apparatus type, const char* name) {
    const QString text = ExampleRows(name);
    if (text.isEmpty()) {
        state.SkipWithError("examples not found");
        return;
    }
    for (auto _ : state) {
        std::string out = ResultsTable(type, text);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK_CAPTURE(BM_BatchRows, heater, Apparatus::Heater, "heater")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BatchRows, cooler, Apparatus::Cooler, "cooler")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BatchRows, evaporator, Apparatus::Evaporator, "evaporator")->Unit(benchmark::kMillisecond);

}  // namespace
