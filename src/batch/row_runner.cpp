// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/row_runner.h"

#include "cooler/cooler_road.h"
#include "evaporator/evap_road.h"
#include "heater/heater_road.h"
#include "text/text_format.h"

#include <vector>

namespace heatx::batch {

std::optional<bool> ParseHeaterHorizontal(const QString& field) {
    if (field.size() != 1) return std::nullopt;
    switch (field[0].unicode()) {
    case u'Г': case u'г': case u'H': case u'h': return true;
    case u'В': case u'в': case u'V': case u'v': return false;
    default: return std::nullopt;
    }
}

std::optional<bool> ParseHeaterHorizontal(std::string_view f) {
    if (f.size() == 1) {
        switch (f[0]) {
        case 'H': case 'h': return true;
        case 'V': case 'v': return false;
        default: return std::nullopt;
        }
    }
    // Г г В в in UTF-8
    if (f == "\xD0\x93" || f == "\xD0\xB3") return true;
    if (f == "\xD0\x92" || f == "\xD0\xB2") return false;
    return std::nullopt;
}

namespace {

using Fields = std::span<const std::string_view>;

bool IsTypedLine(Apparatus type, int line) { return type != Apparatus::Heater || line != kHeaterTypeLine; }

// The road of the row's apparatus, on the numbers of its fields as the input
// boxes read them.
RoadOutcome RunRoad(Apparatus type, Fields f, CalcState& s, Trace* trace) {
    for (int line = 0; line < int(f.size()); ++line)
        if (IsTypedLine(type, line)) s.InputValues[line] = ReadTypedNumber(f[std::size_t(line)]);
    switch (type) {
    case Apparatus::Heater: return RunHeaterRoad(s, ParseHeaterHorizontal(f[kHeaterTypeLine]), trace);
    case Apparatus::Cooler: return RunCoolerRoad(s, CoolerRanges::FirstEntry, trace);
    case Apparatus::Evaporator: return RunEvapRoad(s, trace);
    }
    return {};
}

QString& ValueTextOf(Apparatus type, CalcState& s, int line) {
    switch (type) {
    case Apparatus::Heater: return HeaterValueText(s, line);
    case Apparatus::Cooler: return CoolerValueText(s, line);
    case Apparatus::Evaporator: break;
    }
    return EvapValueText(s, line);
}

// The value text an input box stores for a typed answer.
QString ValueText(std::string_view typed) {
    return NormalizeDecimal(QString::fromUtf8(typed.data(), qsizetype(typed.size())));
}

}  // namespace

const char* StatusWord(Status status) {
    switch (status) {
    case Status::Ok: return "ok";
    case Status::Input: return "input";
    case Status::Model: return "model";
    case Status::Fields: return "fields";
    }
    return "";
}

void TakeOutcome(RowResult& row, const RoadOutcome& outcome) {
    switch (outcome.kind) {
    case RoadOutcome::Kind::Computed: row.status = Status::Ok; break;
    case RoadOutcome::Kind::BadLine:
        row.status = Status::Input;
        row.badLine = outcome.line;
        break;
    case RoadOutcome::Kind::ModelFailed: row.status = Status::Model; break;
    }
}

RowResult RowOf(Apparatus type, const Record& record, Trace* trace) {
    if (record.problem != Record::Problem::None) {
        RowResult row;
        row.problem = record.problem;
        return row;
    }
    return RunRow(type, record.fields, trace);
}

// The captions are filled only when a report is printed: the results table
// does not need them.
RowResult RunRow(Apparatus type, std::span<const std::string_view> fields, Trace* trace) {
    RowResult row;
    row.givenFields = int(fields.size());
    if (row.givenFields != FieldCount(type)) return row;
    TakeOutcome(row, RunRoad(type, fields, row.state, trace));
    return row;
}

RowResult RunRow(Apparatus type, QStringList fields) {
    std::vector<QByteArray> bytes;
    bytes.reserve(std::size_t(fields.size()));
    for (const QString& f : fields) bytes.push_back(f.toUtf8());
    std::vector<std::string_view> views;
    for (const QByteArray& b : bytes) views.emplace_back(b.constData(), std::size_t(b.size()));
    RowResult row = RunRow(type, views);
    if (row.givenFields == FieldCount(type)) StoreValueTexts(type, views, row.state);
    return row;
}

void StoreValueTexts(Apparatus type, std::span<const std::string_view> f, CalcState& s) {
    if (int(f.size()) != FieldCount(type)) return;
    for (int line = 0; line < int(f.size()); ++line)
        if (IsTypedLine(type, line)) ValueTextOf(type, s, line) = ValueText(f[std::size_t(line)]);
}

void ForEachRow(Apparatus type, QStringView text, const std::function<void(RowResult&)>& onRow) {
    const QByteArray bytes = text.toUtf8();
    MemorySource source(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    InputReader reader(source, ReaderOptions{}, FieldCount(type));
    Record record;
    while (reader.Next(record)) {
        RowResult row = RowOf(type, record);
        if (row.status == Status::Ok) StoreValueTexts(type, record.fields, row.state);
        onRow(row);
    }
}

}  // namespace heatx::batch
