// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch TYPE [FILE]: the calculation core without windows. One variant
// per line of a teacher's file (see input_reader.h), each field a text
// exactly as a student would type it into an input box; one result row per
// variant (result_table.h), or the report a student would print for it
// (report_pages.h).
#pragma once

#include "batch/apparatus.h"
#include "batch/command_line.h"
#include "batch/input_reader.h"
#include "batch/report_pages.h"
#include "batch/table_output.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>

namespace heatx::batch {

// Everything a call of the tool asks for.
struct CliOptions {
    Apparatus type = Apparatus::Heater;
    QString inputPath;  // empty: standard input
    ReaderOptions input;
    bool report = false;
    bool trace = false;       // --trace: each report page followed by the trace of its run
    bool traceTable = false;  // heatx-batch trace: the traces as a table, a column a step
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

// Reads the arguments (without the program name). The locale comes from the
// environment. On Error, *error says what is wrong.
Parsed ParseArguments(const QStringList& args, CliOptions& options, QString* error);
const char* HelpText();

// Runs a parsed call: reads the input, writes the table, the report text or
// the PDF (through makePdf) to standardOutput or the named file, sends each
// Russian message (without the program name) to message, and returns the
// exit status. The path every call of heatx-batch takes.
int Execute(const CliOptions& options, ByteSource& input, ByteSink& standardOutput,
            const std::function<void(const QString&)>& message, const PdfPagesFactory& makePdf = {});

// The whole tool; returns the exit status.
int Main(int argc, char** argv, const PdfPagesFactory& makePdf = {});

}  // namespace heatx::batch
