// SPDX-License-Identifier: GPL-3.0-or-later
// What the three reports share: the printer font, the left margin, the date
// line of the head and the closing rule of the evaporator table.
#pragma once

#include "report/printer.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <functional>
#include <optional>

namespace heatx {

inline constexpr uint8_t kReportMargin = 12;  // blanks before every printed line
inline const QString kReportFontName = QStringLiteral("Courier New Cyr");
inline constexpr double kReportFontSize = 9;

// Supplies the date line when a head is printed.
using DateLineSource = std::function<QString()>;

// Name of month 1-12 with one blank before and after (" января ").
QString MonthName(int month);

// The parts of the date line as the short-date text gives them: the day as
// written, the month number and the four-digit year. Day first when the text
// holds a point (07.12.2026), month first otherwise (12/7/2026). Empty when
// the text is not of either form.
struct DateParts {
    QString day;
    int month = 0;
    QString year;
};
std::optional<DateParts> SplitShortDate(const QString& dateText);

// " " + day + month name + year + "г." + eight blanks + time text, from a
// short-date text of either form above.
std::optional<QString> DateLineFromTexts(const QString& dateText, const QString& timeText);

// The date line for a moment under a locale's short date and time formats.
// A format with a two-digit year, another separator or other digits still
// gives the day, month name and four-digit year of the real date. The time
// carries seconds.
QString DateLine(const QDateTime& now, const QLocale& locale);

// The locale's time text with seconds.
QString TimeText(const QTime& time, const QLocale& locale);

// Margin and n underscores, then three empty lines.
void PrintClosingRule(Printer& printer, uint8_t n);

// Margin + text, the form of every non-empty report line.
inline QString Margined(const QString& text) { return QString(kReportMargin, QLatin1Char(' ')) + text; }

// Sets the report font on the printer.
void SetReportFont(Printer& printer);

// The head every report starts with: the report font; the date line followed
// by the title; the student line; an empty line; one line per input line,
// caption padded to width and value text; an empty line.
void PrintReportHead(Printer& printer, const QString& dateLine, const QString& title,
                     const QString& studentLine, const QString* captions, const QString* valueTexts,
                     int count, uint8_t width);

}  // namespace heatx
