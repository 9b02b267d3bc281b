// SPDX-License-Identifier: GPL-3.0-or-later
// The printer of the windows program. With a default printer on the system
// the report goes to it; without one (most student laptops) each document is
// saved as a PDF and, beside it, a UTF-8 text copy of the same lines, in
// $HEATX_REPORT_DIR or else the user's Documents folder. When a document ends
// the student is told in one Russian message where it went; a folder that
// cannot be written gives a clear message and the program goes on.
#pragma once

#include "report/printer.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QPrinter;

namespace heatx {

class PagedTextPrinter;

class QtReportPrinter : public Printer {
public:
    // notify(title, text) shows one message to the student.
    using Notify = std::function<void(const QString& title, const QString& text)>;
    // now() gives the moment used in the file names.
    using Clock = std::function<QDateTime()>;

    explicit QtReportPrinter(Notify notify, Clock clock = {});
    ~QtReportPrinter() override;

    // The apparatus word of the file names: "подогреватель", "холодильник"
    // or "испаритель". Set before the first line of a document.
    void SetApparatus(const QString& word);

    void SetFontName(const QString& name) override;
    void SetFontSize(double points) override;
    void PrintLine(const QString& line) override;
    // Sends or saves the document. A document with no line since the last
    // end makes no page and no file.
    void EndDocument() override;

    // Where the last document went (the printer name or the PDF path);
    // empty when it failed or nothing was printed.
    QString LastDestination() const { return lastDestination_; }
    // The folder for saved reports.
    static QString ReportFolder();

private:
    Notify notify_;
    Clock clock_;
    QString apparatus_ = QStringLiteral("отчёт");
    QString fontName_;
    double fontSize_ = 9;
    QStringList lines_;
    QString lastDestination_;
};

}  // namespace heatx
