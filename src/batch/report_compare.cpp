// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/report_compare.h"

#include <QRegularExpression>
#include <algorithm>
#include <cstdlib>

namespace heatx::batch {

namespace {

bool IsDecimalMark(QChar c) { return c == QLatin1Char('.') || c == QLatin1Char(',') || c == QChar(0x066B); }

int Decimals(const QString& t) {
    for (qsizetype i = 0; i < t.size(); ++i)
        if (IsDecimalMark(t[i])) return static_cast<int>(t.size() - i - 1);
    return 0;
}

}  // namespace

QString Normalize(QStringView line) {
    QString out;
    out.reserve(line.size());
    bool blank = false;
    for (const QChar c : line) {
        if (c.isSpace() || c == QChar(0)) {
            blank = true;
            continue;
        }
        if (blank && !out.isEmpty()) out += QLatin1Char(' ');
        blank = false;
        out += c;
    }
    return out;
}

QStringList NonEmptyNormalized(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines) {
        const QString n = Normalize(l);
        if (!n.isEmpty()) out.append(n);
    }
    return out;
}

QStringList Tokens(const QString& normalizedLine) {
    QStringList tokens;
    QString current;
    for (const QChar c : normalizedLine) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('|')) {
            if (!current.isEmpty()) tokens.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.isEmpty()) tokens.append(current);
    return tokens;
}

bool IsPrintedNumber(const QString& t) {
    static const QRegularExpression re(QStringLiteral("^-?[0-9]+([.,\\x{066B}][0-9]+)?$"));
    return re.match(t).hasMatch();
}

QString WithPoint(QString t) {
    for (QChar& c : t)
        if (IsDecimalMark(c)) c = QLatin1Char('.');
    return t;
}

bool WithinLastDigit(const QString& a, const QString& b) {
    if (!IsPrintedNumber(a) || !IsPrintedNumber(b) || Decimals(a) != Decimals(b)) return false;
    QString da = WithPoint(a), db = WithPoint(b);
    da.remove(QLatin1Char('.'));
    db.remove(QLatin1Char('.'));
    if (da.size() > 18 || db.size() > 18) return da == db;
    bool okA = false, okB = false;
    const qint64 ia = da.toLongLong(&okA);
    const qint64 ib = db.toLongLong(&okB);
    return okA && okB && std::llabs(ia - ib) <= 1;
}

QStringList Numbers(const QString& line) {
    QStringList out;
    for (const QString& t : Tokens(line))
        if (IsPrintedNumber(t)) out.append(t);
    return out;
}

QChar MarkOf(const QStringList& lines) {
    for (const QString& l : lines)
        for (const QString& t : Tokens(l))
            if (IsPrintedNumber(t))
                for (const QChar c : t)
                    if (IsDecimalMark(c) && c != QLatin1Char('.')) return c;
    return QLatin1Char('.');
}

void CompareLines(const QStringList& printed, const QStringList& expected, const OnDifference& onDifference) {
    const qsizetype common = std::min(printed.size(), expected.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (printed[i] == expected[i]) continue;
        const QStringList a = Tokens(printed[i]);
        const QStringList b = Tokens(expected[i]);
        if (a.size() != b.size()) {
            onDifference(i, -1, printed[i], expected[i]);
            continue;
        }
        for (qsizetype k = 0; k < a.size(); ++k)
            if (a[k] != b[k] && !WithinLastDigit(a[k], b[k])) onDifference(i, k, a[k], b[k]);
    }
    if (printed.size() < expected.size()) onDifference(common, -1, QStringLiteral("нет"), expected[common]);
}

}  // namespace heatx::batch
