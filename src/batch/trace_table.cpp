// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/trace_table.h"

#include "batch/result_table.h"

namespace heatx::batch {

using namespace Qt::Literals::StringLiterals;

namespace {

// A step with one stored value under its own name.
TraceColumn Value(const QString& symbol) { return {symbol, symbol, symbol}; }
TraceColumn Value(const QString& key, const QString& symbol) { return {key + u": "_s + symbol, key, symbol}; }
TraceColumn ChoiceOf(const QString& key) { return {key, key, {}}; }

// The evaporator converges in about five iterations from its start values;
// ten leave room for a slow variant. The cooler's correction makes at most two.
constexpr int kEvapPasses = 10;
constexpr int kCoolerPasses = 2;

void Utf8Text(TableWriter& table, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    table.Text(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

const TraceStep* StepOf(const Trace& trace, const QString& key) {
    for (const TraceStep& step : trace.Steps())
        if (step.key == key) return &step;
    return nullptr;
}

// Steps of the loop beyond the table's columns.
int LoopSteps(Apparatus type, const Trace& trace) {
    const QString prefix = type == Apparatus::Evaporator ? u"итерация "_s : u"проход "_s;
    int n = 0;
    for (const TraceStep& step : trace.Steps())
        if (step.key.startsWith(prefix)) ++n;
    return n;
}

}  // namespace

int TraceTablePasses(Apparatus type) {
    switch (type) {
    case Apparatus::Heater: return 0;
    case Apparatus::Cooler: return kCoolerPasses;
    case Apparatus::Evaporator: return kEvapPasses;
    }
    return 0;
}

std::vector<TraceColumn> TraceColumns(Apparatus type) {
    std::vector<TraceColumn> c;
    switch (type) {
    case Apparatus::Heater:
        c = {Value(u"dвн"_s), Value(u"Re"_s), ChoiceOf(u"режим"_s), Value(u"режим"_s, u"A"_s),
             Value(u"режим"_s, u"m"_s), Value(u"Pr"_s), Value(u"α1'"_s), Value(u"α1"_s), Value(u"ε"_s),
             ChoiceOf(u"C, ℓ"_s), Value(u"C, ℓ"_s, u"C"_s), Value(u"C, ℓ"_s, u"ℓ"_s), Value(u"α2"_s), Value(u"K"_s),
             Value(u"Q"_s), Value(u"F"_s)};
        break;
    case Apparatus::Cooler:
        c = {Value(u"dвн"_s), Value(u"Re1"_s), Value(u"Pr1"_s), Value(u"Gr"_s), ChoiceOf(u"α1"_s),
             Value(u"α1"_s, u"C·λ1/dвн"_s), Value(u"α1"_s), Value(u"Re2"_s), Value(u"Pr2"_s), ChoiceOf(u"α2"_s),
             Value(u"α2"_s), Value(u"Δtm"_s), Value(u"K"_s)};
        for (int pass = 1; pass <= kCoolerPasses; ++pass) {
            const QString key = u"проход %1"_s.arg(pass);
            for (const QString& symbol : {u"x"_s, u"α1"_s, u"K"_s}) c.push_back(Value(key, symbol));
            c.push_back(ChoiceOf(key));
        }
        c.push_back(Value(u"Q"_s));
        c.push_back(Value(u"F"_s));
        break;
    case Apparatus::Evaporator:
        c = {Value(u"A1"_s), Value(u"A2"_s), Value(u"A"_s), Value(u"B"_s), Value(u"qкр"_s),
             Value(u"начало"_s, u"x1"_s), Value(u"начало"_s, u"x2"_s)};
        for (int pass = 1; pass <= kEvapPasses; ++pass) {
            const QString key = u"итерация %1"_s.arg(pass);
            for (const QString& symbol : {u"f(x1)"_s, u"f(x2)"_s, u"f′(x2)"_s, u"x1"_s, u"x2"_s, u"x2 − x1"_s})
                c.push_back(Value(key, symbol));
        }
        c.push_back(ChoiceOf(u"конец"_s));
        for (const QString& symbol : {u"x"_s, u"q"_s, u"α1"_s, u"α2"_s, u"K"_s, u"F"_s}) c.push_back(Value(symbol));
        break;
    }
    return c;
}

RowTable ResultTableWriter(Apparatus type, bool withId) {
    RowTable t;
    t.header = [type, withId](TableWriter& table) { WriteResultHeader(table, type, withId); };
    t.row = [type, withId](TableWriter& table, const RowResult& row, const Trace&, const Record& record) {
        return WriteResultRow(table, type, row, withId ? &record.id : nullptr);
    };
    return t;
}

RowTable TraceTableWriter(Apparatus type, bool withId, std::function<void(const QString&)> message) {
    RowTable t;
    t.traced = true;
    const std::vector<TraceColumn> columns = TraceColumns(type);
    t.header = [columns, withId](TableWriter& table) {
        if (withId) table.Text("id");
        table.Text("status");
        table.Text("bad_line");
        for (const TraceColumn& c : columns) Utf8Text(table, c.header);
        table.EndRow();
    };
    t.row = [type, columns, withId, message](TableWriter& table, const RowResult& row, const Trace& trace,
                                             const Record& record) {
        if (withId) table.Text(record.id);
        table.Text(StatusWord(row.status));
        if (row.status == Status::Input) table.Integer(row.badLine);
        else table.Empty();
        for (const TraceColumn& c : columns) {
            const TraceStep* step = StepOf(trace, c.key);
            if (step && c.symbol.isEmpty() && !step->choice.isEmpty()) {
                Utf8Text(table, step->choice);
                continue;
            }
            std::optional<float> value;
            if (step)
                for (const TraceResult& r : step->results)
                    if (r.symbol == c.symbol) value = r.value;
            if (value) table.Number(*value);
            else table.Empty();
        }
        if (const int passes = LoopSteps(type, trace); passes > TraceTablePasses(type) && message)
            message(u"вариант %1: %2 %3, в таблице первые %4 и конец расчёта"_s
                        .arg(withId ? QString::fromUtf8(record.id.data(), qsizetype(record.id.size()))
                                    : QString::number(record.variant))
                        .arg(passes)
                        .arg(type == Apparatus::Evaporator ? u"итераций"_s : u"проходов поправки"_s)
                        .arg(TraceTablePasses(type)));
        return table.EndRow();
    };
    return t;
}

}  // namespace heatx::batch
