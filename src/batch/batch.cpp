// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/batch.h"

#include "cooler/cooler_input.h"
#include "cooler/cooler_model.h"
#include "cooler/cooler_report.h"
#include "evaporator/evap_input.h"
#include "evaporator/evap_model.h"
#include "evaporator/evap_report.h"
#include "heater/heater_input.h"
#include "heater/heater_model.h"
#include "heater/heater_report.h"

#include <charconv>
#include <cstdlib>

namespace heatx::batch {

std::optional<Apparatus> ParseApparatus(const QString& word) {
    if (word == QLatin1String("heater")) return Apparatus::Heater;
    if (word == QLatin1String("cooler")) return Apparatus::Cooler;
    if (word == QLatin1String("evaporator")) return Apparatus::Evaporator;
    return std::nullopt;
}

int FieldCount(Apparatus type) {
    switch (type) {
    case Apparatus::Heater: return 16;
    case Apparatus::Cooler: return 18;
    case Apparatus::Evaporator: return 16;
    }
    return 0;
}

std::optional<QStringList> SplitRow(QStringView line) {
    QStringList fields;
    fields.reserve(20);
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (true) {
        QString field;
        if (i < n && line[i] == QLatin1Char('"')) {
            ++i;
            bool closed = false;
            while (i < n) {
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < n && line[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                field += line[i++];
            }
            if (!closed) return std::nullopt;
            if (i < n && line[i] != QLatin1Char(';')) return std::nullopt;
        } else {
            const qsizetype start = i;
            while (i < n && line[i] != QLatin1Char(';')) ++i;
            field = line.mid(start, i - start).toString();
        }
        fields.append(field);
        if (i >= n) break;
        ++i;  // the semicolon
    }
    return fields;
}

std::optional<bool> ParseHeaterHorizontal(const QString& field) {
    if (field.size() != 1) return std::nullopt;
    switch (field[0].unicode()) {
    case u'Г': case u'г': case u'H': case u'h': return true;
    case u'В': case u'в': case u'V': case u'v': return false;
    default: return std::nullopt;
    }
}

namespace {

void Reject(RowResult& row, int line) {
    row.status = Status::Input;
    row.badLine = line;
}

RowResult RunHeater(QStringList& f) {
    RowResult row;
    CalcState& s = row.state;
    for (int i = 0; i < kHeaterSheetLines; ++i) StoreTypedLine(s.HeaterValueTexts[i], s.InputValues[i], std::move(f[i]));
    for (int i = 12; i <= 15; ++i) StoreTypedLine(s.HeaterValueTexts[i], s.InputValues[i], std::move(f[i]));

    s.BadLineIndex = CheckHeaterInput(s);
    if (s.CalcError != kClear) { Reject(row, s.BadLineIndex); return row; }
    const auto horizontal = ParseHeaterHorizontal(f[kHeaterTypeLine]);
    if (!horizontal) { Reject(row, kHeaterTypeLine); return row; }
    s.HeaterHorizontal = *horizontal ? kSet : kClear;
    for (int i = 12; i <= 15; ++i)
        if (!HeaterConstructiveInRange(i, s.InputValues[i])) { Reject(row, i); return row; }

    HeaterModel(s);
    row.status = s.CalcError != kClear ? Status::Model : Status::Ok;
    return row;
}

RowResult RunCooler(QStringList& f) {
    RowResult row;
    CalcState& s = row.state;
    for (int i = 0; i < 18; ++i) StoreTypedLine(s.CoolerValueTexts[i], s.InputValues[i], std::move(f[i]));

    s.BadLineIndex = CheckCoolerInput(s);
    if (s.CalcError != kClear) { Reject(row, s.BadLineIndex); return row; }
    for (int i = kCoolerFirstConstructive; i <= kCoolerLastConstructive; ++i)
        if (!CoolerFirstEntryInRange(i, s.InputValues[i])) { Reject(row, i); return row; }

    CoolerModel(s);
    row.status = s.CalcError != kClear ? Status::Model : Status::Ok;
    return row;
}

RowResult RunEvaporator(QStringList& f) {
    RowResult row;
    CalcState& s = row.state;
    for (int i = 0; i < 16; ++i) StoreTypedLine(s.EvapValueTexts[i], s.InputValues[i], std::move(f[i]));

    s.BadLineIndex = CheckEvapInput(s);
    if (s.CalcError != kClear) { Reject(row, s.BadLineIndex); return row; }
    if (!EvapHeightInRange(s.InputValues[kEvapHeightLine])) { Reject(row, kEvapHeightLine); return row; }

    EvapModel(s);
    row.status = s.CalcError != kClear ? Status::Model : Status::Ok;
    return row;
}

}  // namespace

// The captions are filled only when a report is printed: the results table
// does not need them.
RowResult RunRow(Apparatus type, QStringList fields) {
    if (fields.size() != FieldCount(type)) return RowResult{};
    switch (type) {
    case Apparatus::Heater: return RunHeater(fields);
    case Apparatus::Cooler: return RunCooler(fields);
    case Apparatus::Evaporator: return RunEvaporator(fields);
    }
    return RowResult{};
}

std::string FormatNumber(float value) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value),
                                 std::chars_format::general, 9);
    return std::string(buf, r.ptr);
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
    std::string out;
    switch (row.status) {
    case Status::Ok: out = "ok;"; break;
    case Status::Input: out = "input;" + std::to_string(row.badLine); break;
    case Status::Model: out = "model;"; break;
    case Status::Fields: out = "fields;"; break;
    }
    const CalcState& s = row.state;
    const bool ok = row.status == Status::Ok;
    const auto cell = [&out](bool given, float v) {
        out += ';';
        if (given) out += FormatNumber(v);
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
    return out;
}

void PrintRowReport(Apparatus type, RowResult& row, const QString& studentLine,
                    const QString& dateLine, Printer& printer) {
    CalcState& s = row.state;
    s.StudentLine = studentLine;
    s.ResetPrintFlags();
    s.PrintStarted = kSet;
    const DateLineSource date = [&dateLine] { return dateLine; };
    switch (type) {
    case Apparatus::Heater:
        FillHeaterCaptions(s);
        PrintHeaterRow(s, printer, date);
        printer.EndDocument();
        break;
    case Apparatus::Cooler:
        FillCoolerCaptions(s);
        PrintCoolerRow(s, printer, date);
        printer.EndDocument();
        break;
    case Apparatus::Evaporator:
        FillEvapCaptions(s);
        PrintEvapRow(s, printer, date);
        CloseEvapReport(printer);
        break;
    }
}

void ForEachRow(Apparatus type, QStringView text, const std::function<void(RowResult&)>& onRow) {
    if (text.startsWith(QChar(0xFEFF))) text = text.mid(1);  // byte order mark of some editors
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = text.size();
        QStringView line = text.mid(start, end - start);
        start = end + 1;
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const auto fields = SplitRow(line);
        RowResult row = fields ? RunRow(type, std::move(*fields)) : RowResult{};
        onRow(row);
    }
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

QLocale EnvironmentLocale() {
    for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        QString locale = QString::fromLocal8Bit(value);
        const qsizetype dot = locale.indexOf(QLatin1Char('.'));
        if (dot >= 0) locale.truncate(dot);
        const qsizetype at = locale.indexOf(QLatin1Char('@'));
        if (at >= 0) locale.truncate(at);
        if (locale == QLatin1String("C") || locale == QLatin1String("POSIX")) return QLocale::c();
        return QLocale(locale);
    }
    return QLocale::c();
}

}  // namespace heatx::batch
