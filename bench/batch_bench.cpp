// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch throughput in-process: rows per second over 100 000 variants,
// through the same path as the command line (bytes in, table bytes out).
// Whole-process figures against plain Python: bench/batch_speed.sh.
#include "batch/table_command.h"

#include <benchmark/benchmark.h>

#include <QFile>

using namespace heatx::batch;

namespace {

constexpr int kRows = 100000;

std::string ExampleRows(const char* type) {
    QFile file(QStringLiteral(HEATX_EXAMPLES_DIR "/") + QString::fromLatin1(type) + QStringLiteral(".csv"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArrayList rows;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.trimmed().isEmpty() && !line.startsWith('#')) rows.append(line);
    std::string text;
    for (int i = 0; i < kRows; ++i) text += rows[i % rows.size()].toStdString() + '\n';
    return text;
}

void BM_BatchRows(benchmark::State& state, const char* name, bool report) {
    const std::string text = ExampleRows(name);
    if (text.empty()) {
        state.SkipWithError("examples not found");
        return;
    }
    QStringList args;
    if (report) args << QStringLiteral("--report") << QStringLiteral("--date") << QStringLiteral("2026-12-07 14:05:33");
    args << QString::fromLatin1(name);
    CliOptions options;
    QString error;
    if (ParseArguments(args, options, &error) != Parsed::Run) {
        state.SkipWithError("arguments");
        return;
    }
    for (auto _ : state) {
        MemorySource source(text);
        StringSink out;
        Execute(options, source, out, [](const QString&) {});
        benchmark::DoNotOptimize(out.bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK_CAPTURE(BM_BatchRows, heater, "heater", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BatchRows, cooler, "cooler", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BatchRows, evaporator, "evaporator", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BatchRows, heater_report, "heater", true)->Unit(benchmark::kMillisecond);

}  // namespace
