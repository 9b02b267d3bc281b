// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/trace.h"

#include <QRegularExpression>
#include <cmath>

namespace heatx {

TraceStep& TraceStep::In(QString symbol, double value, QString unit) {
    inputs.push_back({std::move(symbol), value, std::move(unit)});
    return *this;
}

TraceStep& TraceStep::Out(QString symbol, float value, QString unit) {
    results.push_back({std::move(symbol), value, std::move(unit)});
    return *this;
}

TraceStep& TraceStep::Choose(QString c, QString r) {
    choice = std::move(c);
    reason = std::move(r);
    return *this;
}

TraceStep& Trace::Add(QString key, QString title, QString formula) {
    TraceStep step;
    step.key = std::move(key);
    step.title = std::move(title);
    step.formula = std::move(formula);
    steps_.push_back(std::move(step));
    return steps_.back();
}

std::optional<float> Trace::Last(QStringView symbol) const {
    for (auto step = steps_.rbegin(); step != steps_.rend(); ++step)
        for (auto r = step->results.rbegin(); r != step->results.rend(); ++r)
            if (r->symbol == symbol) return r->value;
    return std::nullopt;
}

QString TraceNumber(double value, QChar decimalMark) {
    if (std::isnan(value)) return QStringLiteral("не число");
    if (std::isinf(value)) return value > 0 ? QStringLiteral("∞") : QStringLiteral("−∞");
    QString text = QString::number(value, 'g', 7);
    if (decimalMark != QLatin1Char('.')) text.replace(QLatin1Char('.'), decimalMark);
    if (text.startsWith(QLatin1Char('-'))) text[0] = QChar(0x2212);  // the minus sign of printed formulas
    return text;
}

namespace {

// Width of the title column: the longest title and a blank.
constexpr int kTitleWidth = 30;

QString WithUnit(const QString& symbol, double value, const QString& unit, QChar mark) {
    QString text = symbol + QStringLiteral(" = ") + TraceNumber(value, mark);
    if (!unit.isEmpty()) text += QLatin1Char(' ') + unit;
    return text;
}

QString FormulaText(const QString& formula, QChar mark) {
    if (mark == QLatin1Char('.')) return formula;
    static const QRegularExpression point(QStringLiteral("(\\d)\\.(\\d)"));
    QString text = formula;
    return text.replace(point, QStringLiteral("\\1") + mark + QStringLiteral("\\2"));
}

}  // namespace

QString TraceLine(const TraceStep& step, QChar mark) {
    // The formula with what it gave, then the choice, then the values put in.
    QString what = FormulaText(step.formula, mark);
    if (step.results.size() == 1 && !step.formula.isEmpty()) {
        const TraceResult& r = step.results.front();
        what += QStringLiteral(" = ") + TraceNumber(r.value, mark);
        if (!r.unit.isEmpty()) what += QLatin1Char(' ') + r.unit;
    } else if (!step.results.empty()) {
        QStringList out;
        for (const TraceResult& r : step.results) out << WithUnit(r.symbol, r.value, r.unit, mark);
        what += (what.isEmpty() ? QString() : QStringLiteral(" → ")) + out.join(QStringLiteral(", "));
    }
    QStringList parts;
    if (!what.isEmpty()) parts << what;
    if (!step.choice.isEmpty())
        parts << FormulaText(step.choice, mark) + (step.reason.isEmpty() ? QString() : QStringLiteral(": ") + FormulaText(step.reason, mark));
    if (!step.inputs.empty()) {
        QStringList in;
        for (const TraceInput& i : step.inputs) in << WithUnit(i.symbol, i.value, i.unit, mark);
        parts << in.join(QStringLiteral(", "));
    }
    QString line = step.title;
    line += QString(std::max<qsizetype>(1, kTitleWidth - line.size()), QLatin1Char(' '));
    return line + parts.join(QStringLiteral(";  "));
}

QStringList TraceLines(const Trace& trace, QChar mark) {
    QStringList lines;
    for (const TraceStep& step : trace.Steps()) lines << TraceLine(step, mark);
    return lines;
}

}  // namespace heatx
