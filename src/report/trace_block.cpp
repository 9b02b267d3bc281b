// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/trace_block.h"

#include "report/report_frame.h"

namespace heatx {

namespace {
// Continuation lines start under the formula, after the step's title.
constexpr int kContinuationIndent = 30;

// Where to break text so that at most room characters stay on the line: after
// the last separator that fits, else at the last blank, else hard.
qsizetype BreakAt(const QString& text, qsizetype room) {
    for (const QString& sep : {QStringLiteral("; "), QStringLiteral(", ")}) {
        const qsizetype at = text.lastIndexOf(sep, room - qsizetype(sep.size()));
        if (at > room / 3) return at + sep.size();
    }
    const qsizetype blank = text.lastIndexOf(QLatin1Char(' '), room);
    if (blank > 0) return blank + 1;
    return room;
}
}  // namespace

QStringList WrapLine(const QString& line, int width, int indent) {
    QStringList pieces;
    QString rest = line;
    QString lead;
    while (lead.size() + rest.size() > width) {
        const qsizetype room = width - lead.size();
        if (room <= 0) break;
        const qsizetype at = BreakAt(rest, room);
        pieces << lead + rest.left(at).trimmed();
        rest = rest.mid(at).trimmed();
        lead = QString(indent, QLatin1Char(' '));
    }
    if (!rest.isEmpty() || pieces.isEmpty()) pieces << lead + rest;
    return pieces;
}

QStringList TraceBlockLines(const Trace& trace, QChar mark) {
    QStringList lines{QString(), Margined(QLatin1Char(' ') + kTraceHeading)};
    for (const QString& step : TraceLines(trace, mark))
        for (const QString& piece : WrapLine(step, kTraceReportWidth, kContinuationIndent))
            lines << Margined(QLatin1Char(' ') + piece);
    lines << Margined(QLatin1Char(' ') + kTraceEnd) << QString();
    return lines;
}

void PrintTraceBlock(const Trace& trace, Printer& printer, QChar mark) {
    SetReportFont(printer);
    for (const QString& line : TraceBlockLines(trace, mark)) printer.PrintLine(line);
}

}  // namespace heatx
