// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/input_line.h"

#include "state/calc_state.h"
#include "text/text_format.h"

namespace heatx {

uint8_t CheckSheet(CalcState& state, const InputLine* lines, int count, bool positivesInFirstPass) {
    state.CalcError = kClear;
    const auto fail = [&state](int i) {
        state.CalcError = kSet;
        return static_cast<uint8_t>(i);
    };
    for (int i = 0; i < count; ++i) {
        if (lines[i].positive && !positivesInFirstPass) continue;
        if (!InRange(state.InputValues[i], lines[i].lower, lines[i].upper)) return fail(i);
    }
    for (int i = 0; i < count; ++i) {
        if (!lines[i].positive) continue;
        const float v = state.InputValues[i];
        if (!(v > 0.0f) || AboveBound(v, lines[i].upper)) return fail(i);
    }
    return 0;
}

namespace {

// The shortest decimal text that reads back as the bound, without exponent,
// with the decimal mark in use.
QString BoundText(double value) {
    QString text;
    for (int decimals = 0; decimals <= 20; ++decimals) {
        text = QString::number(value, 'f', decimals);
        if (text.toDouble() == value) break;
    }
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) text.chop(1);
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    }
    return text.replace(QLatin1Char('.'), DecimalMark());
}

// A student who types the bound's decimal gets its 4-byte reading.
float Typed(const Bound& b) { return static_cast<float>(b.value); }

}  // namespace

QString AllowedRange(Bound lower, Bound upper, bool positive) {
    const bool lowerShut = positive || BelowBound(Typed(lower), lower);
    const bool upperShut = AboveBound(Typed(upper), upper);
    const QString low = BoundText(positive ? 0.0 : lower.value);
    const QString high = BoundText(upper.value);
    if (!lowerShut && !upperShut) return QStringLiteral("ОТ %1 ДО %2").arg(low, high);
    return QStringLiteral("%1 %2 И %3 %4")
        .arg(lowerShut ? QStringLiteral("БОЛЬШЕ") : QStringLiteral("НЕ МЕНЬШЕ"), low,
             upperShut ? QStringLiteral("МЕНЬШЕ") : QStringLiteral("НЕ БОЛЬШЕ"), high);
}

namespace {

// "name: what; ДОПУСТИМО range unit", the unit taken from the caption's end.
QString SaidOfLine(const QString& caption, const QString& what, const QString& range) {
    QString name = caption.trimmed();
    QString unit;
    if (const qsizetype comma = name.lastIndexOf(QStringLiteral(", ")); comma > 0) {
        unit = name.mid(comma + 2).trimmed();
        name.truncate(comma);
    }
    QString line = name + QStringLiteral(": ") + (what.isEmpty() ? QString() : what + QStringLiteral("; ")) +
                   QStringLiteral("ДОПУСТИМО ") + range;
    if (!unit.isEmpty()) line += QLatin1Char(' ') + unit;
    return line;
}

}  // namespace

QString RangeLine(const QString& caption, const QString& range) { return SaidOfLine(caption, QString(), range); }

QString RefusalLine(const QString& caption, const QString& typed, const QString& range) {
    constexpr qsizetype kShown = 40;
    QString shown;
    for (const QChar c : typed.left(kShown)) shown += c.isPrint() ? c : QLatin1Char('?');
    if (typed.size() > kShown) shown += QChar(0x2026);
    const QString what = shown.trimmed().isEmpty() && typed.trimmed().isEmpty()
                             ? QStringLiteral("НИЧЕГО НЕ ВВЕДЕНО")
                             : QStringLiteral("ВВЕДЕНО «%1»").arg(shown);
    return SaidOfLine(caption, what, range);
}

}  // namespace heatx
