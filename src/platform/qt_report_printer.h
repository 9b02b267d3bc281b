// SPDX-License-Identifier: GPL-3.0-or-later
// The printer of the windows program. Every document is kept on disk as a
// PDF and, beside it, a UTF-8 text copy of the same lines, in
// $HEATX_REPORT_DIR or else the user's Documents folder; when the system has
// a default printer, that same PDF is also sent to it (cups_job.h).
//
// The text copy is the report's safe place: its name is claimed when the
// first block is printed, and every block is appended and synced to disk at
// once, so a crash, a kill or a power cut after a print loses no printed
// line. The PDF is painted in memory when the document ends and written
// beside its text copy under the same base name, appearing whole; then it
// goes to the print server on a thread of its own, so the windows never wait
// for the server, and whether it was printed, waits in the queue or was
// refused is told when the server has answered. A document that cannot be
// saved keeps its own lines, apparatus and name and is tried again at every
// end of a document; when the program ends it goes to the chosen folder,
// else the home folder, else the system's temporary folder. The student is
// told the truth in one Russian message per document.
//
// While a document is open, a note of it waits in $XDG_STATE_HOME/heatx
// (report_notes.h) until the student has seen where it went. The next start
// of a program killed meanwhile, or ended with no screen to speak in
// (SetQuiet), finishes it from that note: FinishLeftReports.
#pragma once

#include "report/printer.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QTimer;

namespace heatx {

// The PDF of a report's lines (A4 pages, fixed-pitch font, numbered), painted
// in memory; blockEnds are the line counts at the end of each printed block,
// kept whole on a page; pictures (PNG) each on a page of its own after the
// line count it is paired with. Empty when the painter could not make a whole
// file.
using ReportPictures = QList<std::pair<qsizetype, QByteArray>>;
QByteArray PaintReportPdf(const QString& title, const QString& fontName, double fontSize,
                          const QStringList& lines, const QList<qsizetype>& blockEnds = {},
                          const ReportPictures& pictures = {});

// The line a report prints for a picture added after a block: the picture
// file's name (it stands beside the report's text copy).
QString PictureLine(const QString& fileName);

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
    // The student's line of the report head: it names the print job, so that
    // in a shared queue every student finds their own report.
    void SetStudent(const QString& line);

    void SetFontName(const QString& name) override;
    void SetFontSize(double points) override;
    void PrintLine(const QString& line) override;
    // Without a printer the block goes to the text copy on disk now.
    void EndBlock() override;
    // Saves the document and sends it to the default printer, if there is
    // one then, and tries again with documents kept from failed saves. A
    // document with no line since the last end makes no page and no file.
    // Returns at once: the message comes when the print server has answered.
    void EndDocument() override;
    // As EndDocument, then waits (a few seconds at most) for the print
    // server's answers; every document still kept goes to a fallback folder;
    // only when no place takes it is its text shown for copying.
    void EndSession() override;
    // A chart after the current block: PNG and SVG beside the text copy
    // (<report>_график_<k>.png, .svg), one line naming the PNG, the PNG on a
    // page of its own in the PDF. Refused before the first block of a
    // document and while the document has no text copy on disk.
    QString PrintPicture(const QByteArray& png, const QByteArray& svg, QString* error) override;
    // The text copy of the open document; empty before its first block, and
    // when another file stands under its name.
    QString CopyPath() const override;

    // Waits at most ms milliseconds for the print server's answers about
    // ended documents, telling each; true when none is left waiting.
    bool Settle(int ms);
    // Documents whose printing the server has not yet answered about.
    int PendingPrints() const { return int(printing_.size()); }
    // Quiet: messages go to the standard error instead of the screen, and
    // waiting processes no window events (the display may be gone); the
    // server gets shorter time limits and the job is not watched.
    void SetQuiet(bool quiet) { quiet_ = quiet; }

    // The PDF copy of the last document saved; empty when it failed or
    // nothing was printed.
    QString LastDestination() const { return lastDestination_; }
    // Documents whose lines are kept in memory after a failed save.
    int KeptDocuments() const { return int(kept_.size()); }
    // The folder for saved reports.
    static QString ReportFolder();
    // At start: every report an earlier run left unfinished (killed after a
    // print) or never told of (a session ended under it) gets its PDF beside
    // its text copy, or in the home or temporary folder; one message says
    // where they are, and which text copies were gone or swapped.
    static void FinishLeftReports(const Notify& notify);

    struct Document;

private:
    void Finish(bool last);
    void StartPrinting(Document& document);
    void Poll();
    void Conclude(std::unique_ptr<Document> document);
    bool SaveIn(Document& document, const QString& folder);
    void SaveElsewhere(Document& document);
    void Tell(const QString& title, const QString& text, const QString& details = QString());
    void Told(Document& document);

    Notify notify_;
    Clock clock_;
    QString apparatus_ = QStringLiteral("отчёт");
    QString student_;
    QString fontName_;
    double fontSize_ = 9;
    std::unique_ptr<Document> open_;
    std::vector<std::unique_ptr<Document>> kept_;
    std::vector<std::unique_ptr<Document>> printing_;  // saved, waiting for the server
    std::unique_ptr<QTimer> poll_;
    bool quiet_ = false;
    bool sessionEnding_ = false;
    QString lastDestination_;
};

}  // namespace heatx
