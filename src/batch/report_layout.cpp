// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/report_layout.h"

#include "batch/report_compare.h"
#include "cooler/cooler_input.h"
#include "cooler/cooler_report.h"
#include "evaporator/evap_input.h"
#include "evaporator/evap_report.h"
#include "heater/heater_input.h"
#include "heater/heater_report.h"
#include "report/report_frame.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QTime>
#include <vector>

namespace heatx::batch {

namespace {

template <typename Captions>
QStringList NormalizedCaptions(const Captions& captions, int n) {
    QStringList out;
    for (int i = 0; i < n; ++i) out.append(Normalize(captions[i]));
    return out;
}

const std::vector<ReportType>& Types() {
    static const std::vector<ReportType> types = [] {
        CalcState s;
        FillHeaterCaptions(s);
        FillCoolerCaptions(s);
        FillEvapCaptions(s);
        return std::vector<ReportType>{
            {Apparatus::Heater, Normalize(kHeaterTitle), kHeaterSheetLines, Normalize(kHeaterBlockStart),
             NormalizedCaptions(s.HeaterCaptions, 17), {kTubeAlpha, kShellAlpha, kTransferK, kSurface, kTubeRe}},
            {Apparatus::Cooler, Normalize(kCoolerTitle), kCoolerSheetLines, Normalize(kCoolerBlockStart),
             NormalizedCaptions(s.CoolerCaptions, 18), {kTubeAlpha, kShellAlpha, kTransferK, kSurface, kTubeRe, kShellRe}},
            {Apparatus::Evaporator, Normalize(kEvapTitle), kEvapSheetLines, QString(),
             NormalizedCaptions(s.EvapCaptions, 15),
             {QStringLiteral("высота труб"), kTubeAlpha, kShellAlpha, kTransferK, kSurface}},
        };
    }();
    return types;
}

QStringList MonthNames() {
    QStringList months;
    for (int m = 1; m <= 12; ++m) months.append(MonthName(m).trimmed());
    return months;
}

// The date line: day, month name, year with "г.", the time; then a title.
// The year is four decimal digits of any script: the date text is the
// system's, in its own digits.
const QRegularExpression& TitlePattern() {
    static const QRegularExpression re = [] {
        QStringList titles;
        for (const ReportType& t : Types()) titles.append(QRegularExpression::escape(t.title));
        return QRegularExpression(QStringLiteral("^(\\S+) (%1) (\\p{Nd}{4})г\\. (.+) (%2)$")
                                      .arg(MonthNames().join(QLatin1Char('|')), titles.join(QLatin1Char('|'))));
    }();
    return re;
}

// Decimal digits of any script as 0-9, the marks of writing direction that
// right-to-left locales put into dates and times left out.
QString LatinDigits(QStringView text) {
    QString out;
    for (const char32_t c : text.toUcs4()) {
        if (c == 0x200E || c == 0x200F || c == 0x061C) continue;
        if (QChar::isDigit(c)) out.append(QChar(u'0' + QChar::digitValue(c)));
        else out.append(QStringView(QChar::fromUcs4(c)));
    }
    return out;
}

// The texts of the morning and afternoon marks of every locale, case folded;
// a text that is a morning mark somewhere and an afternoon mark elsewhere is
// in neither.
struct DayHalves {
    QSet<QString> am, pm;
};
const DayHalves& Halves() {
    static const DayHalves halves = [] {
        DayHalves h;
        for (const QLocale& l : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            h.am.insert(LatinDigits(l.amText()).toCaseFolded());
            h.pm.insert(LatinDigits(l.pmText()).toCaseFolded());
        }
        const QSet<QString> both = QSet<QString>(h.am).intersect(h.pm);
        h.am.subtract(both);
        h.pm.subtract(both);
        return h;
    }();
    return halves;
}

// The time text of any locale the program runs under, in any digits, as
// HH:mm:ss; as printed when it does not read.
QString TimeOf(const QString& printed) {
    static const QRegularExpression re(QStringLiteral("^(.*?)([0-9]{1,2})[:.]([0-9]{2})[:.]([0-9]{2})(.*)$"));
    const auto m = re.match(LatinDigits(printed).trimmed());
    if (!m.hasMatch()) return printed;
    int hour = m.captured(2).toInt();
    const QString mark = (m.captured(1) + m.captured(5)).trimmed().toCaseFolded();
    if (!mark.isEmpty()) {
        const bool pm = Halves().pm.contains(mark);
        if ((!pm && !Halves().am.contains(mark)) || hour > 12) return printed;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    const QTime time(hour, m.captured(3).toInt(), m.captured(4).toInt());
    return time.isValid() ? time.toString(QStringLiteral("HH:mm:ss")) : printed;
}

}  // namespace

const ReportType& ReportTypeOf(Apparatus type) {
    for (const ReportType& t : Types())
        if (t.type == type) return t;
    return Types().front();
}

std::optional<TitleLine> ReadTitle(const QString& n) {
    const auto m = TitlePattern().match(n);
    if (!m.hasMatch()) return std::nullopt;
    TitleLine t;
    for (const ReportType& info : Types())
        if (info.title == m.captured(5)) t.type = &info;
    static const QStringList months = MonthNames();
    bool dayOk = false;
    const int day = LatinDigits(m.captured(1)).toInt(&dayOk);
    const QDate date(LatinDigits(m.captured(3)).toInt(), static_cast<int>(months.indexOf(m.captured(2))) + 1, dayOk ? day : 0);
    t.date = (date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd"))
                             : m.captured(1) + QLatin1Char(' ') + m.captured(2) + QLatin1Char(' ') + m.captured(3)) +
             QLatin1Char(' ') + TimeOf(m.captured(4));
    return t;
}

QStringList RenderBlock(Apparatus type, CalcState& s, QChar mark) {
    RecordingPrinter p;
    const DateLineSource noDate = [] { return QString(); };
    s.PrintHeadPending = kClear;
    s.PrintTableHeaderPending = kClear;
    switch (type) {
    case Apparatus::Heater: PrintHeaterRow(s, p, noDate, mark); break;
    case Apparatus::Cooler: PrintCoolerRow(s, p, noDate, mark); break;
    case Apparatus::Evaporator: PrintEvapRow(s, p, noDate, mark); break;
    }
    return NonEmptyNormalized(p.lines);
}

int BlockLineCount(Apparatus type) {
    static const int heater = [] {
        CalcState s;
        return static_cast<int>(RenderBlock(Apparatus::Heater, s, QLatin1Char('.')).size());
    }();
    static const int cooler = [] {
        CalcState s;
        return static_cast<int>(RenderBlock(Apparatus::Cooler, s, QLatin1Char('.')).size());
    }();
    return type == Apparatus::Heater ? heater : cooler;
}

const QStringList& EvapTableHeader() {
    static const QStringList header = [] {
        CalcState s;
        RecordingPrinter p;
        s.PrintHeadPending = kClear;
        s.PrintTableHeaderPending = kSet;
        PrintEvapRow(s, p, [] { return QString(); }, QLatin1Char('.'));
        QStringList lines = NonEmptyNormalized(p.lines);
        lines.removeLast();  // the row
        return lines;
    }();
    return header;
}

const QString& EvapClosingRule() {
    static const QString rule = [] {
        RecordingPrinter p;
        PrintClosingRule(p, kEvapTableWidth);
        return NonEmptyNormalized(p.lines).value(0);
    }();
    return rule;
}

const QString& ReynoldsWarning() {
    static const QString text = Normalize(kReynoldsWarning);
    return text;
}

const QString& HorizontalWord() { return kHeaterHorizontalWord; }
const QString& VerticalWord() { return kHeaterVerticalWord; }

}  // namespace heatx::batch
