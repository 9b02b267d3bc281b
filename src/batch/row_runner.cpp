// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/row_runner.h"

#include "cooler/cooler_input.h"
#include "cooler/cooler_model.h"
#include "evaporator/evap_input.h"
#include "evaporator/evap_model.h"
#include "heater/heater_input.h"
#include "heater/heater_model.h"
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

void Reject(RowResult& row, int line) {
    row.status = Status::Input;
    row.badLine = line;
}

using Fields = std::span<const std::string_view>;

void RunHeater(Fields f, RowResult& row) {
    CalcState& s = row.state;
    for (int i = 0; i < kHeaterSheetLines; ++i) s.InputValues[i] = ReadTypedNumber(f[i]);
    for (int i = 12; i <= 15; ++i) s.InputValues[i] = ReadTypedNumber(f[i]);

    s.BadLineIndex = CheckHeaterInput(s);
    if (s.CalcError != kClear) return Reject(row, s.BadLineIndex);
    const auto horizontal = ParseHeaterHorizontal(f[kHeaterTypeLine]);
    if (!horizontal) return Reject(row, kHeaterTypeLine);
    s.HeaterHorizontal = *horizontal ? kSet : kClear;
    for (int i = 12; i <= 15; ++i)
        if (!HeaterConstructiveInRange(i, s.InputValues[i])) return Reject(row, i);

    HeaterModel(s);
    row.status = s.CalcError != kClear ? Status::Model : Status::Ok;
}

void RunCooler(Fields f, RowResult& row) {
    CalcState& s = row.state;
    for (int i = 0; i < 18; ++i) s.InputValues[i] = ReadTypedNumber(f[i]);

    s.BadLineIndex = CheckCoolerInput(s);
    if (s.CalcError != kClear) return Reject(row, s.BadLineIndex);
    for (int i = kCoolerFirstConstructive; i <= kCoolerLastConstructive; ++i)
        if (!CoolerFirstEntryInRange(i, s.InputValues[i])) return Reject(row, i);

    CoolerModel(s);
    row.status = s.CalcError != kClear ? Status::Model : Status::Ok;
}

void RunEvaporator(Fields f, RowResult& row) {
    CalcState& s = row.state;
    for (int i = 0; i < 16; ++i) s.InputValues[i] = ReadTypedNumber(f[i]);

    s.BadLineIndex = CheckEvapInput(s);
    if (s.CalcError != kClear) return Reject(row, s.BadLineIndex);
    if (!EvapHeightInRange(s.InputValues[kEvapHeightLine])) return Reject(row, kEvapHeightLine);

    EvapModel(s);
    row.status = s.CalcError != kClear ? Status::Model : Status::Ok;
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

RowResult RowOf(Apparatus type, const Record& record) {
    if (record.problem != Record::Problem::None) {
        RowResult row;
        row.problem = record.problem;
        return row;
    }
    return RunRow(type, record.fields);
}

// The captions are filled only when a report is printed: the results table
// does not need them.
RowResult RunRow(Apparatus type, std::span<const std::string_view> fields) {
    RowResult row;
    row.givenFields = int(fields.size());
    if (row.givenFields != FieldCount(type)) return row;
    switch (type) {
    case Apparatus::Heater: RunHeater(fields, row); break;
    case Apparatus::Cooler: RunCooler(fields, row); break;
    case Apparatus::Evaporator: RunEvaporator(fields, row); break;
    }
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
    switch (type) {
    case Apparatus::Heater:
        for (int i = 0; i < kHeaterSheetLines; ++i) s.HeaterValueTexts[i] = ValueText(f[i]);
        for (int i = 12; i <= 15; ++i) s.HeaterValueTexts[i] = ValueText(f[i]);
        break;
    case Apparatus::Cooler:
        for (int i = 0; i < 18; ++i) s.CoolerValueTexts[i] = ValueText(f[i]);
        break;
    case Apparatus::Evaporator:
        for (int i = 0; i < 16; ++i) s.EvapValueTexts[i] = ValueText(f[i]);
        break;
    }
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
