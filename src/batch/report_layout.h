// SPDX-License-Identifier: GPL-3.0-or-later
// What a reader of a saved report knows of its layout: the title line of each
// head, the captions of its input lines, the lines of a block and where its
// values stand, the evaporator's table. Everything is taken from the report
// routines themselves, printed once and normalized, so that a change of a
// report is a change of what its check expects.
#pragma once

#include "batch/apparatus.h"
#include "state/calc_state.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

namespace heatx::batch {

// The quantities of the values line, as the differences name them.
inline const QString kTubeAlpha = QStringLiteral("коэффициент теплоотдачи в трубах");
inline const QString kShellAlpha = QStringLiteral("коэффициент теплоотдачи в межтрубном пространстве");
inline const QString kTransferK = QStringLiteral("коэффициент теплопередачи");
inline const QString kSurface = QStringLiteral("поверхность теплообмена");
inline const QString kTubeRe = QStringLiteral("число Re в трубах");
inline const QString kShellRe = QStringLiteral("число Re в межтрубном пространстве");

struct ReportType {
    Apparatus type;
    QString title;          // normalized title of the head
    int sheetLines;
    QString blockMarker;    // first words of a block (heater, cooler)
    QStringList captions;   // normalized captions of every line
    QStringList resultNames;  // the cells of the values line, in order
};

const ReportType& ReportTypeOf(Apparatus type);

// The head's first line: the date line of the program followed by a title.
struct TitleLine {
    const ReportType* type = nullptr;
    QString date;  // yyyy-MM-dd HH:mm:ss when it reads, else as printed
};
std::optional<TitleLine> ReadTitle(const QString& normalizedLine);

// A block (heater, cooler) or a table row (evaporator) of a computed state as
// the report prints it, without the head, normalized.
QStringList RenderBlock(Apparatus type, CalcState& state, QChar decimalMark);
// Lines of a complete heater or cooler block.
int BlockLineCount(Apparatus type);
// The line of the values in a heater or cooler block: after the three
// construction lines and five lines of the table head.
inline constexpr int kValuesLine = 8;

// The five lines of the evaporator table header and its closing rule.
const QStringList& EvapTableHeader();
const QString& EvapClosingRule();

// The red line of the heater's design window (a saved text may carry it in
// place of the table) and the words that tell the heater's type.
const QString& ReynoldsWarning();
const QString& HorizontalWord();
const QString& VerticalWord();

}  // namespace heatx::batch
