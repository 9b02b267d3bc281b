// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_report_printer.h"

#include "platform/cups_job.h"
#include "platform/paged_text_printer.h"
#include "platform/pdf_text_map.h"
#include "platform/report_notes.h"
#include "platform/safe_output.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace heatx {

using SteadyClock = std::chrono::steady_clock;

// One report: its own apparatus, student, file name stem and lines, its text
// copy on disk once a name was claimed for it, and what the print server
// made of it.
struct QtReportPrinter::Document {
    QString apparatus;
    QString student;           // the student's line of the head
    QString stamp;             // yyyy-MM-dd_HH-mm-ss of the first print
    QString stem;              // Отчёт_<apparatus>_<stamp>
    QString fontName;
    double fontSize = 9;
    QStringList lines;         // every line: the head and every block
    QList<qsizetype> blockEnds;  // lines.size() at each end of a block
    ReportPictures pictures;     // the charts added, after lines.size() then
    qsizetype linesOnDisk = 0; // how many of them the text copy holds
    AppendFile text;           // the text copy, open for appending
    QString folder;            // where the text copy is
    QString reason;            // why the last save failed
    QByteArray pdf;            // painted when the document ended
    bool ended = false;        // painted and sent (or found no printer)
    bool saved = false;        // the PDF and its text copy are on disk
    std::unique_ptr<PrintSubmission> submission;  // while the server is asked
    SteadyClock::time_point giveUpAt;             // then it counts as silent
    PrintOutcome outcome;      // NoPrinter until the server said otherwise
    bool swapped = false;      // another file stands under the text copy's name
    ReportNote note;           // for the next start, while the document is open

    QString Base() const { return text.Path().chopped(4); }  // without ".txt"
    bool AllOnDisk() const { return text.IsOpen() && linesOnDisk == lines.size() && text.StillAtPath(); }
    // No printer at all: the student's laptop without a print server, or a
    // server without a default printer.
    bool NoPrinterAtAll() const { return outcome.kind == PrintOutcome::Kind::NoPrinter && outcome.queue.isEmpty(); }
    // The name of the print job and of the PDF: time first (cups-pdf cuts
    // long names and keeps the first characters), then whose report it is.
    QString JobName() const {
        QString suffix;  // _2, _3 … when the stem was taken in the folder
        if (text.IsOpen()) suffix = QFileInfo(Base()).fileName().mid(stem.size());
        QString who;
        for (const QChar c : student) who += c.category() == QChar::Other_Control ? QLatin1Char(' ') : c;
        who = who.simplified();
        return QStringLiteral("%1%2 %3(%4)").arg(stamp, suffix, who.isEmpty() ? QString() : who + QLatin1Char(' '),
                                                 apparatus);
    }
};

namespace {

using Document = QtReportPrinter::Document;

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

QByteArray TextOf(const QStringList& lines, qsizetype from = 0) {
    QByteArray bytes;
    for (qsizetype i = from; i < lines.size(); ++i) {
        bytes += lines[i].toUtf8();
        bytes += '\n';
    }
    return bytes;
}

// Lays the lines out on a paged device; false when it could not be written.
bool PaintLines(QPagedPaintDevice* device, const QString& fontName, double fontSize,
                const QStringList& lines, const QList<qsizetype>& blockEnds, const ReportPictures& pictures) {
    PagedTextPrinter pages(device);
    pages.SetFontName(fontName);
    pages.SetFontSize(fontSize);
    qsizetype nextEnd = 0, nextPicture = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        pages.PrintLine(lines[i]);
        while (nextEnd < blockEnds.size() && blockEnds[nextEnd] <= i + 1) {
            if (blockEnds[nextEnd] == i + 1) pages.EndBlock();
            ++nextEnd;
        }
        for (; nextPicture < pictures.size() && pictures[nextPicture].first <= i + 1; ++nextPicture)
            pages.AddPicture(pictures[nextPicture].second);
    }
    return pages.IsOpen() && pages.Finish();
}

// Claims a base name in folder for a text copy: stem, then stem_2, stem_3 …
// A base is free when neither its .pdf nor its .txt exists; the .txt is
// created exclusively, so two programs saving in the same second into one
// folder never share a name and each PDF gets its own text copy.
bool ClaimTextCopy(const QString& folder, const QString& stem, AppendFile& file) {
    const QDir dir(folder);
    for (int n = 1; n < 10000; ++n) {
        const QString base = dir.filePath(n == 1 ? stem : stem + QStringLiteral("_%1").arg(n));
        if (QFileInfo::exists(base + QStringLiteral(".pdf"))) continue;
        if (file.Create(base + QStringLiteral(".txt"))) return true;
        if (file.Error() != EEXIST) return false;
    }
    return false;  // Error() is EEXIST
}

// The note of an open document: where its text copy is (the file itself, by
// device and inode, so that a file put in its place is not taken for it), and
// how to make its PDF should the program end before the student is told.
void Remember(Document& d) {
    const AppendFile::Identity id = d.text.Id();
    const QJsonObject note{{QStringLiteral("text"), QFileInfo(d.text.Path()).absoluteFilePath()},
                           {QStringLiteral("device"), QString::number(id.device)},
                           {QStringLiteral("inode"), QString::number(id.inode)},
                           {QStringLiteral("apparatus"), d.apparatus},
                           {QStringLiteral("student"), d.student},
                           {QStringLiteral("stamp"), d.stamp},
                           {QStringLiteral("stem"), d.stem},
                           {QStringLiteral("font"), d.fontName},
                           {QStringLiteral("size"), d.fontSize}};
    d.note.Write(QJsonDocument(note).toJson(QJsonDocument::Compact));
}

// The document now lives in copy (a new text copy in place): the old one
// goes, and the note follows.
void MoveTo(Document& d, AppendFile& copy, const QString& place) {
    d.text.Remove();
    d.text = std::move(copy);
    d.folder = place;
    d.linesOnDisk = d.lines.size();
    Remember(d);
}

// A text copy for the document in folder, noted for the next start.
bool Claim(Document& d, const QString& folder) {
    if (!ClaimTextCopy(folder, d.stem, d.text)) {
        d.reason = d.text.ErrorText();
        return false;
    }
    d.folder = folder;
    d.linesOnDisk = 0;
    d.swapped = false;
    Remember(d);
    return true;
}

// The lines not yet in the text copy go there, synced.
bool AppendRest(Document& d) {
    if (d.linesOnDisk == d.lines.size()) return true;
    if (!d.text.Append(TextOf(d.lines, d.linesOnDisk))) {
        d.reason = d.text.ErrorText();
        return false;
    }
    d.linesOnDisk = d.lines.size();
    return true;
}

// Writes the document's PDF beside its text copy, never over an existing
// file. When a foreign file has taken the PDF's name meanwhile, the document
// moves to a new base name (text copy first) and tries once more.
bool WritePdfBeside(Document& d, const QByteArray& pdf) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        AtomicFile file;
        if (file.Open(d.Base() + QStringLiteral(".pdf"), AtomicFile::Mode::Exclusive) && file.Write(pdf) &&
            file.Commit())
            return true;
        d.reason = file.ErrorText();
        if (!file.FinalNameTaken()) return false;
        AppendFile moved;
        if (!ClaimTextCopy(d.folder, d.stem, moved) || !moved.Append(TextOf(d.lines))) {
            d.reason = moved.ErrorText();
            moved.Remove();
            return false;
        }
        MoveTo(d, moved, d.folder);
    }
    return false;
}

QByteArray PdfOf(Document& d) {
    if (d.pdf.isEmpty()) d.pdf = PaintReportPdf(d.JobName(), d.fontName, d.fontSize, d.lines, d.blockEnds, d.pictures);
    return d.pdf;
}

const QString kCouldNotPaint = QStringLiteral("не удалось построить PDF");

// At the end of a session the print server gets short time limits: the
// report is on disk before it is asked, and the session will not wait long.
constexpr int kQuietTimeLimitMs = 1500;
constexpr int kQuietSettleMs = 4 * kQuietTimeLimitMs + 1000;

// The whole report, a new text copy and its PDF, in place; the document
// moves there. *reason says why not.
bool SavePairIn(const QString& place, Document& d, QString* reason) {
    AppendFile copy;
    if (!ClaimTextCopy(place, d.stem, copy) || !copy.Append(TextOf(d.lines))) {
        *reason = copy.ErrorText();
    } else if (PdfOf(d).isEmpty()) {
        *reason = kCouldNotPaint;
    } else if (WriteWholeFile(copy.Path().chopped(4) + QStringLiteral(".pdf"), d.pdf, AtomicFile::Mode::Exclusive,
                              reason)) {
        MoveTo(d, copy, place);
        return true;
    }
    copy.Remove();
    return false;
}

// The places a report goes when its folder takes none: the home folder, then
// the system's temporary folder (as Qt names it, or /tmp when $TMPDIR names
// no folder), without the folder already tried.
QStringList FallbackFolders(const QString& tried) {
    QStringList places;
    const QString temporary = QDir::tempPath().isEmpty() ? QStringLiteral("/tmp") : QDir::tempPath();
    for (const QString& place : {QDir::homePath(), temporary})
        if (!place.isEmpty() && QDir(place) != QDir(tried) && !places.contains(place)) places.append(place);
    return places;
}

// What the print server made of the document, in one sentence.
QString PrintingText(const Document& d) { return PrintOutcomeText(d.outcome); }

// The opening of a message: without any printer the words the student has
// always read, else the sentence about the printer and then the rest.
QString Opening(const Document& d, const QString& withoutPrinter, const QString& rest) {
    return d.NoPrinterAtAll() ? withoutPrinter : PrintingText(d) + QLatin1Char('\n') + rest;
}

QString SavedTitle(const Document& d) {
    if (d.NoPrinterAtAll()) return QStringLiteral("ОТЧЁТ СОХРАНЁН");
    return d.outcome.Accepted() ? QStringLiteral("ПЕЧАТЬ ОТЧЁТА") : QStringLiteral("ОТЧЁТ НЕ НАПЕЧАТАН");
}

QString SavedText(const Document& d, const QString& base) {
    const QString pdf = Native(base + QStringLiteral(".pdf"));
    const QString txt = Native(base + QStringLiteral(".txt"));
    if (d.NoPrinterAtAll())
        return QStringLiteral("Принтер не найден, поэтому отчёт сохранён в файл\n%1\nи его текстовая копия — в файл\n%2")
            .arg(pdf, txt);
    if (d.outcome.Accepted())
        return PrintingText(d) + QStringLiteral("\nЕго копия сохранена в файл\n%1\nи текстовая копия — в файл\n%2")
                                     .arg(pdf, txt);
    return PrintingText(d) + QStringLiteral("\nОтчёт сохранён в файл\n%1\nи его текстовая копия — в файл\n%2")
                                 .arg(pdf, txt);
}

const QString kFolderHint =
    QStringLiteral("Папку для отчётов можно указать переменной окружения HEATX_REPORT_DIR.");

}  // namespace

QString PictureLine(const QString& fileName) { return QString(12, QLatin1Char(' ')) + QStringLiteral("ГРАФИК: ") + fileName; }

QByteArray PaintReportPdf(const QString& title, const QString& fontName, double fontSize,
                          const QStringList& lines, const QList<qsizetype>& blockEnds,
                          const ReportPictures& pictures) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool painted = false;
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("heatx"));
        painted = PaintLines(&pdf, fontName, fontSize, lines, blockEnds, pictures);
    }
    const QByteArray& bytes = buffer.data();
    // A whole PDF starts with its header and ends with the end-of-file mark
    // after the cross-reference table and trailer.
    if (!painted || !bytes.startsWith("%PDF-") || !bytes.trimmed().endsWith("%%EOF")) return QByteArray();
    return PlainTextMaps(bytes);
}

QtReportPrinter::QtReportPrinter(Notify notify, Clock clock)
    : notify_(std::move(notify)), clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return QDateTime::currentDateTime(); };
}

// Documents still waiting for the server go with the printer; their threads
// end by themselves within their time limits.
QtReportPrinter::~QtReportPrinter() = default;

void QtReportPrinter::SetApparatus(const QString& word) { apparatus_ = word; }
void QtReportPrinter::SetStudent(const QString& line) { student_ = line; }
void QtReportPrinter::SetFontName(const QString& name) { fontName_ = name; }
void QtReportPrinter::SetFontSize(double points) { fontSize_ = points; }

void QtReportPrinter::PrintLine(const QString& line) {
    if (!open_) {
        open_ = std::make_unique<Document>();
        open_->apparatus = apparatus_;
        open_->student = student_;
        open_->stamp = clock_().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
        open_->stem = QStringLiteral("Отчёт_%1_%2").arg(apparatus_, open_->stamp);
    }
    open_->lines.append(line);
}

QString QtReportPrinter::PrintPicture(const QByteArray& png, const QByteArray& svg, QString* error) {
    if (!open_ || open_->lines.isEmpty()) {
        *error = QStringLiteral("в отчёте ещё нет блока: сначала напечатайте результат");
        return {};
    }
    if (png.isEmpty() || svg.isEmpty()) {
        *error = QStringLiteral("рисунок не удалось нарисовать");
        return {};
    }
    // The block before it goes to the text copy first, claiming it.
    EndBlock();
    Document& d = *open_;
    if (!d.text.IsOpen() || !d.text.StillAtPath()) {
        *error = QStringLiteral("текстовая копия отчёта не записана") +
                 (d.reason.isEmpty() ? QString() : QStringLiteral(": ") + d.reason);
        return {};
    }
    // Under a free name beside the copy, never over another file.
    for (int k = 1; k < 1000; ++k) {
        const QString stem = d.Base() + QStringLiteral("_график_%1").arg(k);
        if (QFileInfo::exists(stem + QStringLiteral(".png")) || QFileInfo::exists(stem + QStringLiteral(".svg")))
            continue;
        QString reason;
        if (!WriteWholeFile(stem + QStringLiteral(".png"), png, AtomicFile::Mode::Exclusive, &reason)) {
            if (QFileInfo::exists(stem + QStringLiteral(".png"))) continue;
            *error = reason;
            return {};
        }
        if (!WriteWholeFile(stem + QStringLiteral(".svg"), svg, AtomicFile::Mode::Exclusive, &reason)) {
            QFile::remove(stem + QStringLiteral(".png"));
            if (QFileInfo::exists(stem + QStringLiteral(".svg"))) continue;
            *error = reason;
            return {};
        }
        const QString pngPath = stem + QStringLiteral(".png");
        PrintLine(PictureLine(QFileInfo(pngPath).fileName()));
        d.pictures.append({d.lines.size(), png});
        EndBlock();
        return Native(pngPath);
    }
    *error = QStringLiteral("нет свободного имени для рисунка");
    return {};
}

// Never a file that another program put under the copy's name.
QString QtReportPrinter::CopyPath() const {
    return open_ && open_->text.IsOpen() && open_->text.StillAtPath() ? Native(open_->text.Path()) : QString();
}

QString QtReportPrinter::ReportFolder() {
    const QString fromEnvironment = qEnvironmentVariable("HEATX_REPORT_DIR");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void QtReportPrinter::Tell(const QString& title, const QString& text, const QString& details) {
    if (quiet_) {
        // No one to read a window: the standard error keeps the message.
        const QByteArray line = "heatx: " + title.toUtf8() + ": " + QString(text).replace('\n', ' ').toUtf8() + '\n';
        WriteAllToFd(2, line.constData(), std::size_t(line.size()));
        return;
    }
    if (notify_) notify_(title, text, details);
}

void QtReportPrinter::EndBlock() {
    if (open_ && (open_->blockEnds.isEmpty() || open_->blockEnds.last() != open_->lines.size()))
        open_->blockEnds.append(open_->lines.size());
    if (!open_ || open_->linesOnDisk == open_->lines.size()) return;
    Document& d = *open_;
    d.fontName = fontName_;
    d.fontSize = fontSize_;
    // A folder that cannot be written now is tried again at the end of the
    // document; the lines stay in memory meanwhile.
    if (!d.text.IsOpen() && !Claim(d, ReportFolder())) return;
    AppendRest(d);
}

// The PDF goes to the print server on a thread of its own; the answer is
// fetched by Poll().
void QtReportPrinter::StartPrinting(Document& d) {
    PrintRequest request;
    request.jobName = d.JobName();
    request.pdf = d.pdf;
    if (quiet_) {
        request.timeLimitMs = kQuietTimeLimitMs;
        request.watchMs = 0;
    }
    d.giveUpAt = SteadyClock::now() + std::chrono::milliseconds(4 * request.timeLimitMs + request.watchMs + 1000);
    d.submission = std::make_unique<PrintSubmission>(std::move(request));
    if (!poll_) {
        poll_ = std::make_unique<QTimer>();
        poll_->setInterval(50);
        QObject::connect(poll_.get(), &QTimer::timeout, [this] { Poll(); });
    }
    poll_->start();
}

void QtReportPrinter::Poll() {
    // The answered documents leave the list before any message is shown: a
    // message box runs events, and this may be called again meanwhile.
    std::vector<std::unique_ptr<Document>> answered;
    for (auto it = printing_.begin(); it != printing_.end();) {
        Document& d = **it;
        const bool done = d.submission->Done();
        if (!done && SteadyClock::now() < d.giveUpAt) {
            ++it;
            continue;
        }
        if (done) {
            d.outcome = d.submission->Outcome();
        } else {
            d.outcome.kind = PrintOutcome::Kind::NoAnswer;
            d.outcome.reason = QStringLiteral("сервер печати не ответил");
        }
        d.submission.reset();
        answered.push_back(std::move(*it));
        it = printing_.erase(it);
    }
    if (printing_.empty() && poll_) poll_->stop();
    for (std::unique_ptr<Document>& d : answered) Conclude(std::move(d));
}

bool QtReportPrinter::Settle(int ms) {
    SteadyClock::time_point end = SteadyClock::now() + std::chrono::milliseconds(ms);
    bool wasQuiet = quiet_;
    for (;;) {
        Poll();
        if (printing_.empty()) return true;
        if (quiet_ && !wasQuiet) {
            // The session began to end meanwhile: it waits no longer than one
            // that began quiet.
            wasQuiet = true;
            end = std::min(end, SteadyClock::now() + std::chrono::milliseconds(kQuietSettleMs));
        }
        if (SteadyClock::now() >= end) return false;
        printing_.front()->submission->WaitFor(20);
        // The windows keep being drawn, but nothing the student does reaches
        // them meanwhile.
        if (!quiet_ && QCoreApplication::instance() != nullptr)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

// The whole document in folder: its text copy brought up to date (claimed
// there first when it has none), then its PDF beside it. True only when both
// files are on disk.
bool QtReportPrinter::SaveIn(Document& d, const QString& folder) {
    if (!d.text.IsOpen() && !Claim(d, folder)) return false;
    if (!AppendRest(d)) return false;
    if (!d.text.StillAtPath()) {
        // In a folder others can write, the text copy was replaced or taken
        // away: the report goes elsewhere, never named by that file.
        d.reason = QStringLiteral("файл «%1» подменён или удалён другой программой").arg(Native(d.text.Path()));
        d.swapped = true;
        d.text.Close();
        return false;
    }
    const QByteArray pdf = PdfOf(d);
    if (pdf.isEmpty()) {
        d.reason = kCouldNotPaint;
        return false;
    }
    return WritePdfBeside(d, pdf);
}

// The last chance when the program ends: the home folder, then the system's
// temporary folder, each with a PDF and its text copy; failing that a text
// copy alone anywhere; failing that the report's text on the screen.
void QtReportPrinter::SaveElsewhere(Document& d) {
    const QString chosen = d.text.IsOpen() || d.swapped ? d.folder : ReportFolder();
    QStringList tried = {QStringLiteral("%1 — %2").arg(Native(chosen), d.reason)};
    const QStringList places = FallbackFolders(chosen);

    for (const QString& place : places) {
        QString reason;
        if (SavePairIn(place, d, &reason)) {
            // A text copy left in the chosen folder went: the whole report is here now.
            const QString base = d.Base();
            lastDestination_ = base + QStringLiteral(".pdf");
            Told(d);
            Tell(SavedTitle(d),
                 Opening(d,
                         QStringLiteral("Принтер не найден, а в папке\n%1\nсохранить отчёт не удалось (%2).\n"
                                        "Поэтому отчёт сохранён в файл\n%3\nи его текстовая копия — в файл\n%4")
                             .arg(Native(chosen), d.reason, Native(base + QStringLiteral(".pdf")),
                                  Native(base + QStringLiteral(".txt"))),
                         QStringLiteral("В папке\n%1\nсохранить отчёт не удалось (%2).\n"
                                        "Поэтому он сохранён в файл\n%3\nи его текстовая копия — в файл\n%4")
                             .arg(Native(chosen), d.reason, Native(base + QStringLiteral(".pdf")),
                                  Native(base + QStringLiteral(".txt")))));
            return;
        }
        tried.append(QStringLiteral("%1 — %2").arg(Native(place), reason));
    }

    // No place took a PDF: the lines on disk as text are the next best.
    const QString pdfReasons = QStringLiteral("PDF сохранить не удалось:\n") + tried.join(QLatin1Char('\n'));
    const auto textOnly = [&](const QString& path) {
        const QString rest = QStringLiteral("%1\nРезультаты расчёта не потеряны: все строки отчёта записаны в "
                                            "текстовую копию\n%2")
                                 .arg(pdfReasons, Native(path));
        return Opening(d, QStringLiteral("Принтер не найден, и ") + rest, rest);
    };
    if (d.text.IsOpen() && AppendRest(d)) {
        Told(d);
        Tell(QStringLiteral("ОШИБКА !"), textOnly(d.text.Path()));
        return;
    }
    for (const QString& place : d.swapped ? places : QStringList{chosen} + places) {
        AppendFile copy;
        if (ClaimTextCopy(place, d.stem, copy) && copy.Append(TextOf(d.lines))) {
            MoveTo(d, copy, place);
            Told(d);
            Tell(QStringLiteral("ОШИБКА !"), textOnly(d.text.Path()));
            return;
        }
        copy.Remove();
    }
    // Only part of the report, or none, is on disk: nothing for the next
    // start to finish.
    d.note.Remove();
    QString part;
    if (d.text.IsOpen() && d.linesOnDisk > 0)
        part = QStringLiteral("В файле\n%1\nзаписана только часть строк отчёта.\n").arg(Native(d.text.Path()));
    else
        d.text.Remove();  // an empty claim would only mislead
    Tell(QStringLiteral("ОШИБКА !"),
         Opening(d, QStringLiteral("Принтер не найден, и сохранить отчёт не удалось ни в одной папке:\n"),
                 QStringLiteral("Сохранить отчёт не удалось ни в одной папке:\n")) +
             QStringLiteral("%1\n%2ОТЧЁТ НЕ СОХРАНЁН. Его текст показан ниже: выделите его и скопируйте, "
                            "пока это окно открыто.")
                 .arg(tried.join(QLatin1Char('\n')), part),
         QString::fromUtf8(TextOf(d.lines)));
}

void QtReportPrinter::EndDocument() { Finish(false); }

void QtReportPrinter::EndSession() {
    Finish(true);
    // Every document ended before has its answer by then, or counts as not
    // answered.
    Settle(quiet_ ? kQuietSettleMs : 4 * kPrintServerTimeLimitMs + kPrintWatchMs + 1000);
    std::vector<std::unique_ptr<Document>> silent = std::move(printing_);
    printing_.clear();
    for (std::unique_ptr<Document>& d : silent) {
        d->outcome.kind = PrintOutcome::Kind::NoAnswer;
        d->outcome.reason = QStringLiteral("сервер печати не ответил");
        d->submission.reset();
        Conclude(std::move(d));
    }
}

void QtReportPrinter::Finish(bool last) {
    lastDestination_.clear();
    if (last) sessionEnding_ = true;
    // Older kept documents first, then the one just ended.
    std::vector<std::unique_ptr<Document>> documents = std::move(kept_);
    kept_.clear();
    if (open_) {
        open_->fontName = fontName_;
        open_->fontSize = fontSize_;
        documents.push_back(std::move(open_));
    }

    for (std::unique_ptr<Document>& owned : documents) {
        Document& d = *owned;
        const bool first = !d.ended;
        d.ended = true;
        if (first) PdfOf(d);  // printed even when no folder takes the copy
        // The copy first, so that it is on disk whatever the printer does;
        // then the same PDF to the printer, once.
        const QString folder = d.text.IsOpen() ? d.folder : ReportFolder();
        d.saved = SaveIn(d, folder);
        if (d.saved) lastDestination_ = d.Base() + QStringLiteral(".pdf");
        if (first && !d.pdf.isEmpty()) {
            StartPrinting(d);
            printing_.push_back(std::move(owned));
            continue;
        }
        Conclude(std::move(owned));
    }
}

// The one message of a document whose printing is decided: where it is, or
// why it is not saved yet.
void QtReportPrinter::Conclude(std::unique_ptr<Document> owned) {
    Document& d = *owned;
    if (d.saved) {
        Told(d);
        Tell(SavedTitle(d), SavedText(d, d.Base()));
        return;
    }
    if (sessionEnding_ || d.swapped) {
        SaveElsewhere(d);
        return;
    }
    // Kept with its own lines and name for the next end of a document and
    // for the end of the program.
    const QString folder = d.text.IsOpen() ? d.folder : ReportFolder();
    QString text =
        Opening(d,
                QStringLiteral("Принтер не найден, а сохранить отчёт в папке\n%1\nне удалось (%2).\n")
                    .arg(Native(folder), d.reason),
                QStringLiteral("Сохранить отчёт в папке\n%1\nне удалось (%2).\n").arg(Native(folder), d.reason));
    if (d.AllOnDisk())
        text += QStringLiteral("Результаты расчёта не потеряны: все строки отчёта записаны в текстовую копию\n"
                               "%1\nPDF программа попробует сохранить снова при окончании следующего отчёта "
                               "и при окончании работы с программой.\n")
                    .arg(Native(d.text.Path()));
    else if (d.text.IsOpen() && d.linesOnDisk > 0)
        text += QStringLiteral("В текстовую копию\n%1\nзаписана только часть строк отчёта, остальные "
                               "пока хранятся только в памяти программы. Она попробует сохранить их снова "
                               "при окончании следующего отчёта и при окончании работы с программой.\n")
                    .arg(Native(d.text.Path()));
    else
        text += QStringLiteral("Строки отчёта пока хранятся только в памяти программы. Она попробует "
                               "сохранить их снова при окончании следующего отчёта и при окончании работы "
                               "с программой (тогда, если эта папка так и не станет доступной, — в "
                               "домашнюю папку или во временную папку системы).\n");
    // Kept before the message: the end of a session may come while it is
    // on the screen, and must find the document.
    kept_.push_back(std::move(owned));
    Tell(QStringLiteral("ОШИБКА !"), text + kFolderHint);
}

void QtReportPrinter::Told(Document& d) {
    // A message on the screen: the student knows where the report is. One
    // only written to the standard error (the session is ending) leaves the
    // note, so that the next start tells it.
    if (!quiet_) d.note.Remove();
}

namespace {

constexpr qint64 kMaxLeftText = 64 << 20;

// A whole PDF of this user already beside the text copy: made just before
// the end, when only the student's message was left to come.
bool WholePdfBeside(const Document& d) {
    QFile pdf(d.Base() + QStringLiteral(".pdf"));
    return QFileInfo(pdf).ownerId() == ::geteuid() && pdf.open(QIODevice::ReadOnly) && pdf.size() < kMaxLeftText &&
           pdf.read(5) == "%PDF-" && pdf.readAll().trimmed().endsWith("%%EOF");
}

// The charts added to a report an earlier run left: each named by its line
// in the text copy, its PNG beside the copy (this user's own regular file),
// on a page of its own after that line again. A picture that is gone leaves
// its line alone.
void AddLeftPictures(Document& d) {
    constexpr qint64 kMaxLeftPicture = 32 << 20;
    const QString prefix = PictureLine(QString());
    for (qsizetype i = 0; i < d.lines.size(); ++i) {
        if (!d.lines[i].startsWith(prefix)) continue;
        const QString name = d.lines[i].mid(prefix.size());
        if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.')) ||
            !name.endsWith(QStringLiteral(".png")))
            continue;
        QFile png(QDir(d.folder).filePath(name));
        const QFileInfo info(png);
        if (info.isSymLink() || !info.isFile() || info.ownerId() != ::geteuid() || info.size() > kMaxLeftPicture ||
            !png.open(QIODevice::ReadOnly))
            continue;
        d.pictures.append({i + 1, png.read(kMaxLeftPicture)});
    }
}

// The report of one note an earlier run left: its PDF made beside its text
// copy, or the pair in the home or temporary folder. Returns the sentence
// that says where it is or why not (*trouble then), empty when there was
// nothing to finish.
QString FinishLeft(const LeftNote& left, bool* trouble) {
    *trouble = true;
    const QJsonObject o = QJsonDocument::fromJson(left.content).object();
    Document d;
    const QString txt = o.value(QStringLiteral("text")).toString();
    const AppendFile::Identity id{o.value(QStringLiteral("device")).toString().toULongLong(),
                                  o.value(QStringLiteral("inode")).toString().toULongLong()};
    d.apparatus = o.value(QStringLiteral("apparatus")).toString();
    d.student = o.value(QStringLiteral("student")).toString();
    d.stamp = o.value(QStringLiteral("stamp")).toString();
    d.stem = o.value(QStringLiteral("stem")).toString();
    d.fontName = o.value(QStringLiteral("font")).toString();
    d.fontSize = std::clamp(o.value(QStringLiteral("size")).toDouble(9), 4.0, 72.0);
    if (!QDir::isAbsolutePath(txt) || !txt.endsWith(QStringLiteral(".txt")) || d.stem.isEmpty() ||
        d.stem.contains(QLatin1Char('/')) || id.inode == 0)
        return QStringLiteral("Запись о незаконченном отчёте\n%1\nне читается; она удалена.").arg(Native(left.note.Path()));
    if (!d.text.OpenExisting(txt)) {
        if (d.text.Error() == ENOENT)
            return QStringLiteral("Текстовой копии отчёта\n%1\nбольше нет; запись о ней удалена.").arg(Native(txt));
        return QStringLiteral("Текстовую копию отчёта\n%1\nоткрыть нельзя (%2); запись о ней удалена.")
            .arg(Native(txt), SystemErrorText(d.text.Error()));
    }
    if (!(d.text.Id() == id)) {
        d.text.Close();
        return QStringLiteral("Под именем текстовой копии отчёта\n%1\nтеперь другой файл; он не тронут, а запись "
                              "об отчёте удалена.")
            .arg(Native(txt));
    }
    QByteArray bytes;
    if (!d.text.ReadBack(kMaxLeftText, &bytes))
        return QStringLiteral("Текстовую копию отчёта\n%1\nпрочитать нельзя; запись о ней удалена.").arg(Native(txt));
    if (bytes.isEmpty()) {
        // Claimed, and the program ended before its first block reached it.
        d.text.Remove();
        *trouble = false;
        return QString();
    }
    // The printed lines as the text copy keeps them: whole blocks only.
    QString text = QString::fromUtf8(bytes);
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    d.lines = text.split(QLatin1Char('\n'));
    d.linesOnDisk = d.lines.size();
    d.folder = QFileInfo(txt).absolutePath();
    AddLeftPictures(d);

    QString said;
    if (WholePdfBeside(d) || (!PdfOf(d).isEmpty() && WritePdfBeside(d, d.pdf))) {
        *trouble = false;
        said = QStringLiteral("Отчёт сохранён в файл\n%1\nи его текстовая копия — в файл\n%2")
                   .arg(Native(d.Base() + QStringLiteral(".pdf")), Native(d.text.Path()));
    } else {
        const QString folder = d.folder;
        const QString why = d.pdf.isEmpty() ? kCouldNotPaint : d.reason;
        QStringList tried = {QStringLiteral("%1 — %2").arg(Native(folder), why)};
        for (const QString& place : FallbackFolders(folder)) {
            QString reason;
            if (SavePairIn(place, d, &reason)) {
                *trouble = false;
                said = QStringLiteral("В папке\n%1\nсохранить PDF не удалось (%2), поэтому отчёт сохранён в файл\n%3\n"
                                      "и его текстовая копия — в файл\n%4")
                           .arg(Native(folder), why, Native(d.Base() + QStringLiteral(".pdf")), Native(d.text.Path()));
                break;
            }
            tried.append(QStringLiteral("%1 — %2").arg(Native(place), reason));
        }
        if (*trouble)
            said = QStringLiteral("PDF отчёта сохранить не удалось:\n%1\nНо все его напечатанные строки — в текстовой "
                                  "копии\n%2")
                       .arg(tried.join(QLatin1Char('\n')), Native(d.text.Path()));
    }
    d.note.Remove();  // written again when the report moved to a new name
    return said;
}

}  // namespace

void QtReportPrinter::FinishLeftReports(const Notify& notify) {
    QStringList saved;
    QStringList troubles;
    for (LeftNote& left : TakeLeftNotes()) {
        bool trouble = false;
        const QString said = FinishLeft(left, &trouble);
        left.note.Remove();
        if (!said.isEmpty()) (trouble ? troubles : saved).append(said);
    }
    if (saved.isEmpty() && troubles.isEmpty()) return;
    QString message = QStringLiteral("В прошлый раз программа закончила работу, не успев показать, где сохранён "
                                     "отчёт (сеанс был закрыт или программа прервалась).");
    for (const QString& part : saved + troubles) message += QStringLiteral("\n\n") + part;
    if (notify)
        notify(troubles.isEmpty() ? QStringLiteral("ОТЧЁТ СОХРАНЁН") : QStringLiteral("ОШИБКА !"), message, QString());
}

}  // namespace heatx
