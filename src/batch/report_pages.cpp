// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/report_pages.h"

#include "cooler/cooler_input.h"
#include "cooler/cooler_road.h"
#include "cooler/cooler_report.h"
#include "evaporator/evap_input.h"
#include "evaporator/evap_road.h"
#include "evaporator/evap_report.h"
#include "heater/heater_input.h"
#include "heater/heater_road.h"
#include "heater/heater_report.h"
#include "report/report_frame.h"
#include "report/trace_block.h"
#include "text/text_format.h"

namespace heatx::batch {

void PrintRowReport(Apparatus type, RowResult& row, const QString& studentLine, const QString& dateLine,
                    QChar decimalMark, Printer& printer, const Trace* trace) {
    CalcState& s = row.state;
    s.StudentLine = studentLine;
    switch (type) {
    case Apparatus::Heater: BeginHeaterRoad(s); break;
    case Apparatus::Cooler: BeginCoolerRoad(s); break;
    case Apparatus::Evaporator: BeginEvapRoad(s); break;
    }
    s.PrintStarted = kSet;
    const DateLineSource date = [&dateLine] { return dateLine; };
    switch (type) {
    case Apparatus::Heater: PrintHeaterRow(s, printer, date, decimalMark); break;
    case Apparatus::Cooler: PrintCoolerRow(s, printer, date, decimalMark); break;
    case Apparatus::Evaporator:
        PrintEvapRow(s, printer, date, decimalMark);
        // The table is closed before the trace, so that it stays whole.
        PrintClosingRule(printer, kEvapTableWidth);
        break;
    }
    if (trace) PrintTraceBlock(*trace, printer, decimalMark);
    printer.EndDocument();
}

namespace {

QString Trimmed(const char16_t* caption) { return QString::fromUtf16(caption).trimmed(); }

QString LineCaption(Apparatus type, int line) {
    switch (type) {
    case Apparatus::Heater: return line >= 0 && line < 17 ? Trimmed(kHeaterLines[line].caption) : QString();
    case Apparatus::Cooler: return line >= 0 && line < 18 ? Trimmed(kCoolerLines[line].caption) : QString();
    case Apparatus::Evaporator:
        if (line == kEvapHeightLine) return QStringLiteral("ВЫСОТА ТРУБ, М");
        return line >= 0 && line < kEvapSheetLines ? Trimmed(kEvapLines[line].caption) : QString();
    }
    return {};
}

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

QString VariantIdLine(std::string_view id) {
    return Margined(QLatin1Char(' ') + kVariantWord + QStringLiteral(": ") + FromUtf8(id));
}

void PrintProblemPage(Apparatus type, const RowResult& row, const Record& record, bool withId, QChar decimalMark,
                      Printer& printer) {
    SetReportFont(printer);
    const QString where = QStringLiteral("СТРОКА %1 ФАЙЛА").arg(record.line);
    printer.PrintLine(withId ? Margined(QStringLiteral(" %1: %2 (%3)").arg(kVariantWord, FromUtf8(record.id), where))
                             : Margined(QStringLiteral(" %1 %2 (%3)").arg(kVariantWord).arg(record.variant).arg(where)));
    printer.PrintLine(QString());
    printer.PrintLine(Margined(kNoResultLine + QLatin1String(StatusWord(row.status))));
    QString reason;
    switch (row.status) {
    case Status::Ok: break;
    case Status::Input: {
        const QString typed = row.badLine >= 0 && std::size_t(row.badLine) < record.fields.size()
                                  ? FromUtf8(record.fields[std::size_t(row.badLine)])
                                  : QString();
        reason = QStringLiteral(" СТРОКА %1 (%2) ВНЕ ДОПУСТИМЫХ ПРЕДЕЛОВ: «%3»")
                     .arg(row.badLine)
                     .arg(LineCaption(type, row.badLine), typed);
        break;
    }
    case Status::Model:
        if (type == Apparatus::Heater && !(row.state.ReTube > 2300))
            reason = QStringLiteral(" РАСЧЁТ НЕВОЗМОЖЕН: ЧИСЛО RE В ТРУБАХ %1 НЕ БОЛЬШЕ 2300")
                         .arg(FormatFixed(row.state.ReTube, 0, 2, decimalMark).trimmed());
        else
            reason = QStringLiteral(" РАСЧЁТ НЕВОЗМОЖЕН ПРИ ЭТИХ ДАННЫХ");
        break;
    case Status::Fields:
        switch (row.problem) {
        case Record::Problem::Overlong: reason = QStringLiteral(" СТРОКА ФАЙЛА ДЛИННЕЕ 1 МБ, НЕ ПРОЧИТАНА"); break;
        case Record::Problem::OpenQuote:
            reason = QStringLiteral(" КАВЫЧКА НЕ ЗАКРЫТА ИЛИ ПОСЛЕ ЗАКРЫВАЮЩЕЙ КАВЫЧКИ ЕЩЁ ТЕКСТ");
            break;
        case Record::Problem::None:
            reason = QStringLiteral(" ПОЛЕЙ %1 ВМЕСТО %2").arg(row.givenFields).arg(FieldCount(type));
            break;
        }
        break;
    }
    printer.PrintLine(Margined(reason));
    printer.EndDocument();
}

void TextReportPrinter::PrintLine(const QString& line) {
    if (pendingSeparator_) {
        sink_.Write("\f\n", 2);
        pendingSeparator_ = false;
    }
    const QByteArray bytes = line.toUtf8();
    sink_.Write(bytes.constData(), std::size_t(bytes.size()));
    sink_.Write("\n", 1);
}

}  // namespace heatx::batch
