// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/result_table.h"

#include "text/text_format.h"

namespace heatx::batch {

std::string FormatNumber(float value) {
    char buf[32];
    return std::string(buf, WriteNineDigits(buf, value));
}

std::string ResultHeader(Apparatus type) {
    switch (type) {
    case Apparatus::Heater: return "status;bad_line;ReTube;AlphaTube;AlphaShell;HeatTransferK;SurfaceF";
    case Apparatus::Cooler:
        return "status;bad_line;ReTube;ReShell;AlphaTube;AlphaShell;HeatTransferK;SurfaceF";
    case Apparatus::Evaporator: return "status;bad_line;AlphaTube;AlphaShell;HeatTransferK;SurfaceF";
    }
    return {};
}

std::string ResultLine(Apparatus type, const RowResult& row) {
    StringSink sink;
    CsvWriter table(sink);
    WriteResultRow(table, type, row, nullptr);
    table.Finish();
    sink.bytes.pop_back();  // the line feed
    return sink.bytes;
}

void WriteResultHeader(TableWriter& table, Apparatus type, bool withId) {
    if (withId) table.Text("id");
    const std::string header = ResultHeader(type);
    std::string_view rest(header);
    while (true) {
        const std::size_t semicolon = rest.find(';');
        table.Text(rest.substr(0, semicolon));
        if (semicolon == std::string_view::npos) break;
        rest.remove_prefix(semicolon + 1);
    }
    table.EndRow();
}

bool WriteResultRow(TableWriter& table, Apparatus type, const RowResult& row, const std::string_view* id) {
    if (id != nullptr) table.Text(*id);
    table.Text(StatusWord(row.status));
    if (row.status == Status::Input) table.Integer(row.badLine);
    else table.Empty();
    const CalcState& s = row.state;
    const bool ok = row.status == Status::Ok;
    const auto cell = [&table](bool given, float v) {
        if (given) table.Number(v);
        else table.Empty();
    };
    switch (type) {
    case Apparatus::Heater:
        // A heater stopped on the Reynolds test still tells its Reynolds number.
        cell(ok || row.status == Status::Model, s.ReTube);
        break;
    case Apparatus::Cooler:
        cell(ok, s.ReTube);
        cell(ok, s.ReShell);
        break;
    case Apparatus::Evaporator: break;
    }
    cell(ok, s.AlphaTube);
    cell(ok, s.AlphaShell);
    cell(ok, s.HeatTransferK);
    cell(ok, s.SurfaceF);
    return table.EndRow();
}

std::string ResultsTable(Apparatus type, QStringView text) {
    std::string out = ResultHeader(type);
    out += '\n';
    ForEachRow(type, text, [&](RowResult& row) {
        out += ResultLine(type, row);
        out += '\n';
    });
    return out;
}

}  // namespace heatx::batch
