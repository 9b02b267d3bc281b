// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_report_printer.h"

#include "platform/cups_job.h"
#include "platform/paged_text_printer.h"
#include "platform/safe_output.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QStandardPaths>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <cstdio>

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

    QString Base() const { return text.Path().chopped(4); }  // without ".txt"
    bool AllOnDisk() const { return text.IsOpen() && linesOnDisk == lines.size(); }
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
                const QStringList& lines) {
    PagedTextPrinter pages(device);
    pages.SetFontName(fontName);
    pages.SetFontSize(fontSize);
    for (const QString& line : lines) pages.PrintLine(line);
    return pages.IsOpen() && pages.Finish();
}

// Claims a base name in folder for a text copy: stem, then stem_2, stem_3 …
// A base is free when neither its .pdf nor its .txt exists; the .txt is
// created exclusively, so two programs saving in the same second into one
// folder never share a name and each PDF gets its own text copy.
bool ClaimTextCopy(const QString& folder, const QString& stem, AppendFile& file) {
    QDir().mkpath(folder);  // a failure shows in the create below, with its reason
    const QDir dir(folder);
    for (int n = 1; n < 10000; ++n) {
        const QString base = dir.filePath(n == 1 ? stem : stem + QStringLiteral("_%1").arg(n));
        if (QFileInfo::exists(base + QStringLiteral(".pdf"))) continue;
        if (file.Create(base + QStringLiteral(".txt"))) return true;
        if (file.Error() != EEXIST) return false;
    }
    return false;  // Error() is EEXIST
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
        if (file.Error() != EEXIST) return false;
        AppendFile moved;
        if (!ClaimTextCopy(d.folder, d.stem, moved) || !moved.Append(TextOf(d.lines))) {
            d.reason = moved.ErrorText();
            moved.Remove();
            return false;
        }
        d.text.Remove();
        d.text = std::move(moved);
        d.linesOnDisk = d.lines.size();
    }
    return false;
}

QByteArray PdfOf(Document& d) {
    if (d.pdf.isEmpty()) d.pdf = PaintReportPdf(d.JobName(), d.fontName, d.fontSize, d.lines);
    return d.pdf;
}

const QString kCouldNotPaint = QStringLiteral("не удалось построить PDF");

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

QByteArray PaintReportPdf(const QString& title, const QString& fontName, double fontSize,
                          const QStringList& lines) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool painted = false;
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("heatx"));
        painted = PaintLines(&pdf, fontName, fontSize, lines);
    }
    const QByteArray& bytes = buffer.data();
    // A whole PDF starts with its header and ends with the end-of-file mark
    // after the cross-reference table and trailer.
    if (!painted || !bytes.startsWith("%PDF-") || !bytes.trimmed().endsWith("%%EOF")) return QByteArray();
    return bytes;
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

QString QtReportPrinter::CopyPath() const { return open_ && open_->text.IsOpen() ? open_->text.Path() : QString(); }

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
    if (!open_ || open_->linesOnDisk == open_->lines.size()) return;
    Document& d = *open_;
    if (!d.text.IsOpen()) {
        // A folder that cannot be written now is tried again at the end of
        // the document; the lines stay in memory meanwhile.
        const QString folder = ReportFolder();
        if (!ClaimTextCopy(folder, d.stem, d.text)) {
            d.reason = d.text.ErrorText();
            return;
        }
        d.folder = folder;
    }
    AppendRest(d);
}

// The PDF goes to the print server on a thread of its own; the answer is
// fetched by Poll().
void QtReportPrinter::StartPrinting(Document& d) {
    PrintRequest request;
    request.jobName = d.JobName();
    request.pdf = d.pdf;
    if (quiet_) {
        request.timeLimitMs = 1500;
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
    const SteadyClock::time_point end = SteadyClock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        Poll();
        if (printing_.empty()) return true;
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
    if (!d.text.IsOpen()) {
        if (!ClaimTextCopy(folder, d.stem, d.text)) {
            d.reason = d.text.ErrorText();
            return false;
        }
        d.folder = folder;
        d.linesOnDisk = 0;
    }
    if (!AppendRest(d)) return false;
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
    const QString chosen = d.text.IsOpen() ? d.folder : ReportFolder();
    QStringList tried = {QStringLiteral("%1 — %2").arg(Native(chosen), d.reason)};
    QStringList places;
    // The temporary folder as Qt names it, or /tmp when $TMPDIR names no folder.
    const QString temporary = QDir::tempPath().isEmpty() ? QStringLiteral("/tmp") : QDir::tempPath();
    for (const QString& place : {QDir::homePath(), temporary})
        if (!place.isEmpty() && QDir(place) != QDir(chosen) && !places.contains(place)) places.append(place);

    const QByteArray pdf = PdfOf(d);
    for (const QString& place : places) {
        AppendFile copy;
        QString reason;
        if (!ClaimTextCopy(place, d.stem, copy) || !copy.Append(TextOf(d.lines))) {
            reason = copy.ErrorText();
        } else if (pdf.isEmpty()) {
            reason = kCouldNotPaint;
        } else {
            QString error;
            const QString base = copy.Path().chopped(4);
            if (WriteWholeFile(base + QStringLiteral(".pdf"), pdf, AtomicFile::Mode::Exclusive, &error)) {
                d.text.Remove();  // a text copy left in the chosen folder: the whole report is here now
                lastDestination_ = base + QStringLiteral(".pdf");
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
            reason = error;
        }
        copy.Remove();
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
        Tell(QStringLiteral("ОШИБКА !"), textOnly(d.text.Path()));
        return;
    }
    for (const QString& place : QStringList{chosen} + places) {
        AppendFile copy;
        if (ClaimTextCopy(place, d.stem, copy) && copy.Append(TextOf(d.lines))) {
            d.text.Remove();
            Tell(QStringLiteral("ОШИБКА !"), textOnly(copy.Path()));
            return;
        }
        copy.Remove();
    }
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
    Settle(quiet_ ? 4 * 1500 + 1000 : 4 * kPrintServerTimeLimitMs + kPrintWatchMs + 1000);
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
        Tell(SavedTitle(d), SavedText(d, d.Base()));
        return;
    }
    if (sessionEnding_) {
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
    Tell(QStringLiteral("ОШИБКА !"), text + kFolderHint);
    kept_.push_back(std::move(owned));
}

}  // namespace heatx
