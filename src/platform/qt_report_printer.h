// SPDX-License-Identifier: GPL-3.0-or-later
// The printer of the windows program. With a default printer on the system
// the report goes to it; without one (most student laptops) each document is
// saved as a PDF and, beside it, a UTF-8 text copy of the same lines, in
// $HEATX_REPORT_DIR or else the user's Documents folder.
//
// Without a printer the text copy is the report's safe place: its name is
// claimed when the first block is printed, and every block is appended and
// synced to disk at once, so a crash, a kill or a power cut after a print
// loses no printed line. The PDF is painted in memory when the document ends
// and written beside its text copy under the same base name, appearing whole.
// A document that cannot be saved keeps its own lines, apparatus and name and
// is tried again at every end of a document; when the program ends it goes to
// the chosen folder, else the home folder, else the system's temporary
// folder. The student is told the truth in one Russian message per document.
#pragma once

#include "report/printer.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace heatx {

// The PDF of a report's lines (A4 pages, fixed-pitch font, numbered), painted
// in memory; blockEnds are the line counts at the end of each printed block,
// kept whole on a page. Empty when the painter could not make a whole file.
QByteArray PaintReportPdf(const QString& title, const QString& fontName, double fontSize,
                          const QStringList& lines, const QList<qsizetype>& blockEnds = {});

class QtReportPrinter : public Printer {
public:
    // notify(title, text, details) shows one message to the student; details,
    // when not empty, is text the student can select and copy (the report
    // itself when it could be saved nowhere).
    using Notify = std::function<void(const QString& title, const QString& text, const QString& details)>;
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
    // Without a printer the block goes to the text copy on disk now.
    void EndBlock() override;
    // Sends or saves the document, and tries again with documents kept from
    // failed saves. A document with no line since the last end makes no page
    // and no file.
    void EndDocument() override;
    // As EndDocument, then every document still kept goes to a fallback
    // folder; only when no place takes it is its text shown for copying.
    void EndSession() override;

    // The text copy of the open document once its first block is in it.
    QString CopyPath() const override;
    // Where the last saved document went (the printer name or the PDF path);
    // empty when it failed or nothing was printed.
    QString LastDestination() const { return lastDestination_; }
    // Documents whose lines are kept in memory after a failed save.
    int KeptDocuments() const { return int(kept_.size()); }
    // The folder for saved reports.
    static QString ReportFolder();

    struct Document;

private:
    void Finish(bool last);
    bool SendToPrinter(Document& document);
    bool SaveIn(Document& document, const QString& folder);
    void SaveElsewhere(Document& document);
    void Tell(const QString& title, const QString& text, const QString& details = QString());

    Notify notify_;
    Clock clock_;
    QString apparatus_ = QStringLiteral("отчёт");
    QString fontName_;
    double fontSize_ = 9;
    std::unique_ptr<Document> open_;
    std::vector<std::unique_ptr<Document>> kept_;
    QString lastDestination_;
};

}  // namespace heatx
