// SPDX-License-Identifier: GPL-3.0-or-later
// Any line of a variants file, for every apparatus type: the row parser, the
// checks, the models, the result line and the report of an ok row.
#include "batch/report_pages.h"
#include "batch/result_table.h"
#include "batch/row_runner.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace heatx::batch;

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (Apparatus type : {Apparatus::Heater, Apparatus::Cooler, Apparatus::Evaporator}) {
        int rows = 0;
        ForEachRow(type, text, [&](RowResult& row) {
            ++rows;
            const std::string line = ResultLine(type, row);
            Check(!line.empty() && line.find('\n') == std::string::npos);
            if (row.status == Status::Input) Check(row.badLine >= 0 && row.badLine < FieldCount(type));
            else Check(row.badLine == -1);
            if (row.status == Status::Ok) {
                const auto& s = row.state;
                for (float v : {s.AlphaTube, s.AlphaShell, s.HeatTransferK, s.SurfaceF})
                    Check(std::isfinite(v) && v > 0);
                heatx::RecordingPrinter printer;
                PrintRowReport(type, row, QStringLiteral(" "), QStringLiteral(" 07 декабря 2026г."), QLatin1Char('.'), printer);
                Check(printer.documents.size() == 1 && printer.lines.isEmpty());
            }
        });
        Check(rows <= text.count(QLatin1Char('\n')) + text.count(QLatin1Char('\r')) + 1);  // any line end
    }
    return 0;
}
