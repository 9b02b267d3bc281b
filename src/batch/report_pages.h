// SPDX-License-Identifier: GPL-3.0-or-later
// The pages of heatx-batch --report: the report a student would print for a
// variant, or a short page for a variant without a result, as text or as the
// pages of a PDF.
#pragma once

#include "batch/apparatus.h"
#include "batch/input_reader.h"
#include "batch/row_runner.h"
#include "batch/table_output.h"
#include "report/printer.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

namespace heatx::batch {

// The words of the lines heatx-batch adds to an answer key, which its check
// recognises: the name of a variant above its page, the status of a page
// without a result.
inline const QString kVariantWord = QStringLiteral("ВАРИАНТ");
inline const QString kNoResultLine = QStringLiteral(" РАСЧЁТ НЕ ВЫПОЛНЕН, СТАТУС ");

// Prints the report of an ok row as a student gets it by preparing the sheet,
// pressing the print button once and leaving the design window: the head and
// one block (the evaporator: head, table header, one row and the closing
// rule), then the end of the document. Numbers carry decimalMark. With a
// trace, its block follows the results on the same page.
void PrintRowReport(Apparatus type, RowResult& row, const QString& studentLine, const QString& dateLine,
                    QChar decimalMark, Printer& printer, const Trace* trace = nullptr);

// The page of a variant that has no report (its status is not ok): its name
// (id, or number and file line), its status and what was wrong, so that in an
// answer key page N is still variant N.
void PrintProblemPage(Apparatus type, const RowResult& row, const Record& record, bool withId, QChar decimalMark,
                      Printer& printer);
// The line that names a variant at the top of its report page (with --id).
QString VariantIdLine(std::string_view id);

// Paints report pages into a PDF held in memory (the windows toolkit lives in
// a module of its own, not in this library).
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

}  // namespace heatx::batch
