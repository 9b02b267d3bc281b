// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch: the calculation core without windows. One variant per line of
// a semicolon-separated file, each field a text exactly as a student would
// type it into an input box; one result line per variant, or the report a
// student would print for it.
#pragma once

#include "report/printer.h"
#include "state/calc_state.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

namespace heatx::batch {

enum class Apparatus { Heater, Cooler, Evaporator };

std::optional<Apparatus> ParseApparatus(const QString& word);

// Fields per row: heater 16, cooler 18, evaporator 16.
int FieldCount(Apparatus type);

// Splits one line at semicolons; a field may be double-quoted as in RFC 4180
// ("" inside quotes is one quote). Empty when a quote is left open or text
// follows a closing quote.
std::optional<QStringList> SplitRow(QStringView line);

enum class Status { Ok, Input, Model, Fields };

struct RowResult {
    Status status = Status::Fields;
    int badLine = -1;  // first rejected line when status is Input
    CalcState state;   // the state as the windows would leave it
};

// Runs one variant on a fresh state: the sheet check, (heater) the apparatus
// type as line 11, the constructive checks in prompt order, then the model.
RowResult RunRow(Apparatus type, QStringList fields);

// Reads the heater type word: Cyrillic or Latin Г/H (horizontal) or В/V
// (vertical), either case.
std::optional<bool> ParseHeaterHorizontal(const QString& field);

// Header line of the results table and one result line (no line feed).
std::string ResultHeader(Apparatus type);
std::string ResultLine(Apparatus type, const RowResult& row);

// Numbers of the results table: the 4-byte value with 9 significant digits,
// C locale.
std::string FormatNumber(float value);

// Prints the report of an ok row as a student gets it by preparing the sheet,
// pressing the print button once and leaving the design window: the head and
// one block (the evaporator: head, table header, one row and the closing
// rule), then the end of the document.
void PrintRowReport(Apparatus type, RowResult& row, const QString& studentLine,
                    const QString& dateLine, Printer& printer);

// Runs every variant of a file's text (blank lines and lines beginning with
// # skipped, CR LF accepted) and hands each result to onRow in file order.
void ForEachRow(Apparatus type, QStringView text, const std::function<void(RowResult&)>& onRow);

// The results table of a file's text: header and one line per variant, each
// ending with a line feed.
std::string ResultsTable(Apparatus type, QStringView text);

// Locale named by LC_ALL, LC_NUMERIC or LANG (the first that is set), for the
// decimal mark and the date formats of reports.
QLocale EnvironmentLocale();

// The whole tool; returns the exit status (0 read, 2 usage error).
int Main(int argc, char** argv);

}  // namespace heatx::batch
