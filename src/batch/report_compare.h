// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing a printed report with the same report printed again: words and
// numbers, not columns (the text of a PDF keeps the columns only roughly),
// each number to one unit of its last printed digit, in any decimal mark.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

namespace heatx::batch {

// Runs of blanks (and tabs, form feeds, no-break spaces) become one blank and
// the ends are trimmed.
QString Normalize(QStringView line);
// The non-empty lines of a text, normalized.
QStringList NonEmptyNormalized(const QStringList& lines);

// The words of a normalized line, split at blanks and at the bars of a table.
QStringList Tokens(const QString& normalizedLine);

// A number as the reports print it: optional minus, digits, optionally a
// decimal mark (point, comma or the Arabic decimal separator) and digits.
bool IsPrintedNumber(const QString& token);
// The number text as the core reads a typed answer: with a point.
QString WithPoint(QString token);
// Two printed numbers with the same count of decimals that differ by at most
// one unit of the last digit.
bool WithinLastDigit(const QString& a, const QString& b);

// The printed numbers of a line, in order.
QStringList Numbers(const QString& line);
// The decimal mark the lines were printed with. Typed value texts (the
// evaporator's height) always hold a point, so any other mark decides.
QChar MarkOf(const QStringList& lines);

// One word that differs: the line's index, the word's index, both words (the
// whole lines, word index -1, when they hold different counts of words; the
// printed side "нет" when a line is missing).
using OnDifference = std::function<void(qsizetype line, qsizetype word, const QString& printed, const QString& expected)>;
// Compares printed lines with the lines printed again, word by word.
void CompareLines(const QStringList& printed, const QStringList& expected, const OnDifference& onDifference);

}  // namespace heatx::batch
