// SPDX-License-Identifier: GPL-3.0-or-later
// A model run step by step: for each step the formula as the program writes
// it, the values put into it with their units, the 4-byte values it stored
// and, where the model chooses a regime or a form, the choice and why. The
// models fill it at the statements that store their cells, so the values are
// those of the run itself; a model called without a trace records nothing.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>
#include <vector>

namespace heatx {

struct TraceInput {
    QString symbol;  // as the formula writes it: "Gж", "dвн"
    double value = 0;
    QString unit;    // empty for a dimensionless number
};

struct TraceResult {
    QString symbol;
    float value = 0;  // exactly the 4-byte value the model keeps
    QString unit;
};

struct TraceStep {
    QString key;      // short name, unique in one trace: "Re", "итерация 2"
    QString title;    // what the step gives, in words
    QString formula;  // "Re = 4·Gж·z/(π·dвн·μж·n)"; numbers with a point
    std::vector<TraceInput> inputs;
    std::vector<TraceResult> results;
    QString choice;   // the regime or form taken, empty where none is chosen
    QString reason;   // why

    TraceStep& In(QString symbol, double value, QString unit = {});
    TraceStep& Out(QString symbol, float value, QString unit = {});
    TraceStep& Choose(QString choice, QString reason);
};

class Trace {
public:
    TraceStep& Add(QString key, QString title, QString formula);
    void Clear() { steps_.clear(); }
    bool Empty() const { return steps_.empty(); }
    const std::vector<TraceStep>& Steps() const { return steps_; }
    // The value last stored under symbol, none when no step stored it.
    std::optional<float> Last(QStringView symbol) const;

private:
    std::vector<TraceStep> steps_;
};

// A number of a trace as a person reads it: 7 significant digits (all a
// 4-byte value holds), the decimal mark given.
QString TraceNumber(double value, QChar decimalMark);

// One line a step: the title, the formula with its results, the values put
// in, the choice and why. Numbers carry decimalMark, and so do the constants
// of the formulas.
QStringList TraceLines(const Trace& trace, QChar decimalMark);
// The line of one step.
QString TraceLine(const TraceStep& step, QChar decimalMark);

}  // namespace heatx
