// SPDX-License-Identifier: GPL-3.0-or-later
// The trace of a model run printed as a block of the report, after the block
// of results it belongs to: a heading, one step a line (a long step goes on
// in lines indented under its formula), a closing line.
#pragma once

#include "report/printer.h"
#include "state/trace.h"

#include <QChar>
#include <QString>
#include <QStringList>

namespace heatx {

inline const QString kTraceHeading = QStringLiteral("ХОД РАСЧЁТА");
inline const QString kTraceEnd = QStringLiteral("КОНЕЦ ХОДА РАСЧЁТА");
// Characters of a trace line after the report margin.
inline constexpr int kTraceReportWidth = 86;

// The lines of the block, margin included: an empty line, the heading, the
// steps, the closing line.
QStringList TraceBlockLines(const Trace& trace, QChar decimalMark);
void PrintTraceBlock(const Trace& trace, Printer& printer, QChar decimalMark);

// A line broken into pieces of at most width characters, preferably after
// "; " or ", ", else at a blank; every piece after the first begins with
// indent blanks.
QStringList WrapLine(const QString& line, int width, int indent);

}  // namespace heatx
