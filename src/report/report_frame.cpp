// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/report_frame.h"

#include "state/calc_state.h"
#include "text/text_format.h"

namespace heatx {

QString MonthName(int month) {
    static const char16_t* const kNames[12] = {
        u" января ", u" февраля ", u" марта ",    u" апреля ",  u" мая ",    u" июня ",
        u" июля ",   u" августа ", u" сентября ", u" октября ", u" ноября ", u" декабря ",
    };
    if (month < 1 || month > 12) return QString();
    return QString::fromUtf16(kNames[month - 1]);
}

std::optional<DateParts> SplitShortDate(const QString& dateText) {
    if (dateText.size() < 6) return std::nullopt;
    DateParts parts;
    parts.year = dateText.right(4);
    // The separator before the year and the year itself go.
    const QString rest = dateText.left(dateText.size() - 5);
    QString monthText;
    const qsizetype point = rest.indexOf(QLatin1Char('.'));
    if (point >= 0) {
        parts.day = rest.left(point);
        monthText = rest.mid(point + 1);
    } else {
        const qsizetype slash = rest.indexOf(QLatin1Char('/'));
        if (slash < 0) return std::nullopt;
        monthText = rest.left(slash);
        parts.day = rest.mid(slash + 1);
    }
    parts.month = static_cast<int>(ReadNumber(monthText));
    if (parts.month > 12) parts.month = 12;
    if (parts.month < 1) return std::nullopt;
    return parts;
}

namespace {
QString ComposeDateLine(const QString& day, int month, const QString& year, const QString& timeText) {
    return QStringLiteral(" ") + day + MonthName(month) + year + QStringLiteral("г.") + Blanks(8) + timeText;
}
}  // namespace

std::optional<QString> DateLineFromTexts(const QString& dateText, const QString& timeText) {
    const auto parts = SplitShortDate(dateText);
    if (!parts) return std::nullopt;
    return ComposeDateLine(parts->day, parts->month, parts->year, timeText);
}

QString TimeText(const QTime& time, const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1Char('s'))) {
        const qsizetype minutes = format.lastIndexOf(QLatin1String("mm"));
        if (minutes >= 0) format.insert(minutes + 2, QLatin1String(":ss"));
        else format = QStringLiteral("HH:mm:ss");
    }
    return locale.toString(time, format);
}

QString DateLine(const QDateTime& now, const QLocale& locale) {
    const QDate date = now.date();
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy"))) format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    const QString timeText = TimeText(now.time(), locale);
    const QString dateText = locale.toString(date, format);

    // The locale's own text when it reads back as the real date; otherwise
    // day, month and year are taken from the date itself.
    const auto parts = SplitShortDate(dateText);
    const QString year = QString::number(date.year()).rightJustified(4, QLatin1Char('0'));
    if (parts && parts->month == date.month() && parts->year == year &&
        static_cast<int>(ReadNumber(parts->day)) == date.day() && !parts->day.trimmed().isEmpty()) {
        return ComposeDateLine(parts->day, parts->month, parts->year, timeText);
    }
    return ComposeDateLine(QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0')), date.month(), year,
                           timeText);
}

void PrintClosingRule(Printer& printer, uint8_t n) {
    printer.PrintLine(Margined(QString(n, QLatin1Char('_'))));
    for (int i = 0; i < 3; ++i) printer.PrintLine(QString());
}

void SetReportFont(Printer& printer) {
    printer.SetFontName(kReportFontName);
    printer.SetFontSize(kReportFontSize);
}

void PrintReportHead(Printer& printer, const QString& dateLine, const QString& title,
                     const QString& studentLine, const QString* captions, const QString* valueTexts,
                     int count, uint8_t width) {
    SetReportFont(printer);
    printer.PrintLine(Margined(dateLine + title));
    printer.PrintLine(Margined(studentLine));
    printer.PrintLine(QString());
    for (int i = 0; i < count; ++i) printer.PrintLine(Margined(ComposeLine(captions[i], width, valueTexts[i])));
    printer.PrintLine(QString());
}

}  // namespace heatx
