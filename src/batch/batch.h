// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch: the calculation core without windows. One variant per line of
// a teacher's file (see input_reader.h), each field a text exactly as a
// student would type it into an input box; one result row per variant, or the
// report a student would print for it.
#pragma once

#include "batch/input_reader.h"
#include "batch/table_output.h"
#include "report/printer.h"
#include "state/calc_state.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

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
    // Why a row is `fields`: how many fields it had, or what was wrong with it.
    int givenFields = 0;
    Record::Problem problem = Record::Problem::None;
    CalcState state;   // the state as the windows would leave it
};

// Runs one variant on a fresh state: the sheet check, (heater) the apparatus
// type as line 11, the constructive checks in prompt order, then the model.
// The fields are UTF-8 texts; the value texts of the state stay empty (see
// StoreValueTexts), the numbers are those the typed texts give.
RowResult RunRow(Apparatus type, std::span<const std::string_view> fields);
// The row of a record as read from a file.
RowResult RowOf(Apparatus type, const Record& record);
// The same from texts, value texts stored.
RowResult RunRow(Apparatus type, QStringList fields);

// Stores the value texts of a row's fields in its state, as the input boxes
// would (empty becomes 0, the first comma a point): what a report prints.
void StoreValueTexts(Apparatus type, std::span<const std::string_view> fields, CalcState& state);

// The heater type word in UTF-8.
std::optional<bool> ParseHeaterHorizontal(std::string_view field);

// Reads the heater type word: Cyrillic or Latin Г/H (horizontal) or В/V
// (vertical), either case.
std::optional<bool> ParseHeaterHorizontal(const QString& field);

// Header line of the results table and one result line (no line feed).
std::string ResultHeader(Apparatus type);
std::string ResultLine(Apparatus type, const RowResult& row);

// The same as table cells; with withId (and id) the variant's name first.
void WriteResultHeader(TableWriter& table, Apparatus type, bool withId);
// False once the output has failed.
bool WriteResultRow(TableWriter& table, Apparatus type, const RowResult& row, const std::string_view* id);

// Numbers of the results table: the 4-byte value with 9 significant digits,
// C locale.
std::string FormatNumber(float value);

// Prints the report of an ok row as a student gets it by preparing the sheet,
// pressing the print button once and leaving the design window: the head and
// one block (the evaporator: head, table header, one row and the closing
// rule), then the end of the document.
void PrintRowReport(Apparatus type, RowResult& row, const QString& studentLine,
                    const QString& dateLine, Printer& printer);

// The page of a variant that has no report (its status is not ok): its name
// (id, or number and file line), its status and what was wrong, so that in an
// answer key page N is still variant N.
void PrintProblemPage(Apparatus type, const RowResult& row, const Record& record, bool withId, Printer& printer);
// The line that names a variant at the top of its report page (with --id).
QString VariantIdLine(std::string_view id);

// Runs every variant of a file's text (blank lines and lines beginning with
// # skipped, any line end accepted, a header line skipped) and hands each
// result to onRow in file order.
void ForEachRow(Apparatus type, QStringView text, const std::function<void(RowResult&)>& onRow);

// The results table of a file's text: header and one line per variant, each
// ending with a line feed.
std::string ResultsTable(Apparatus type, QStringView text);

// Locale named by LC_ALL, LC_NUMERIC or LANG (the first that is set), for the
// decimal mark and the date formats of reports.
QLocale EnvironmentLocale();

// Exit statuses of the tool.
inline constexpr int kExitDone = 0;
inline constexpr int kExitOutputFailed = 1;  // an output could not be written
inline constexpr int kExitUsage = 2;         // a usage error or an input that cannot be read

// Everything a call of the tool asks for.
struct CliOptions {
    Apparatus type = Apparatus::Heater;
    QString inputPath;  // empty: standard input
    ReaderOptions input;
    bool report = false;
    QString studentLine = QStringLiteral(" ");
    QDateTime moment;   // of the reports' date line
    QLocale locale = QLocale::c();  // decimal mark and date formats of reports
    char decimalMark = '.';         // of the results table
    QString outputPath;  // -o: the table (or report text) goes there
    QString pdfPath;
    bool print = false;   // --print: the report's PDF goes to a printer
    QString printQueue;   // its queue; empty: the default printer
    bool force = false;
};

enum class Parsed { Run, Help, Error };
// Reads the arguments (without the program name). The locale comes from the
// environment. On Error, *error says what is wrong.
Parsed ParseArguments(const QStringList& args, CliOptions& options, QString* error);
const char* HelpText();

// Paints report pages into a PDF held in memory (the windows toolkit lives in
// the program, not in this library).
class PdfPages {
public:
    virtual ~PdfPages() = default;
    virtual Printer& Pages() = 0;
    // Ends the painting; false when the painter failed.
    virtual bool Finish(QByteArray& pdf) = 0;
};
// Makes the pages, or says why it cannot (null and *error set).
using PdfPagesFactory = std::function<std::unique_ptr<PdfPages>(QString* error)>;

// Text of reports: every line followed by a line feed, a line holding only a
// form feed between two reports.
class TextReportPrinter : public Printer {
public:
    explicit TextReportPrinter(ByteSink& sink) : sink_(sink) {}
    void SetFontName(const QString&) override {}
    void SetFontSize(double) override {}
    void PrintLine(const QString& line) override;
    void EndDocument() override { pendingSeparator_ = true; }

private:
    ByteSink& sink_;
    bool pendingSeparator_ = false;
};

// Runs a parsed call: reads the input, writes the table, the report text or
// the PDF (through makePdf) to standardOutput or the named file, sends each
// Russian message (without the program name) to message, and returns the
// exit status. The path every call of heatx-batch takes.
int Execute(const CliOptions& options, ByteSource& input, ByteSink& standardOutput,
            const std::function<void(const QString&)>& message, const PdfPagesFactory& makePdf = {});

// The whole tool; returns the exit status.
int Main(int argc, char** argv, const PdfPagesFactory& makePdf = {});

}  // namespace heatx::batch
