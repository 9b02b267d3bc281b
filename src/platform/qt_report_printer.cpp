// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_report_printer.h"

#include "platform/paged_text_printer.h"
#include "platform/safe_output.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <cerrno>

namespace heatx {

// One report: its own apparatus, file name stem and lines, and its text copy
// on disk once a name was claimed for it.
struct QtReportPrinter::Document {
    enum class Output { Undecided, Printer, Files };

    QString apparatus;
    QString stem;              // Отчёт_<apparatus>_<yyyy-MM-dd_HH-mm-ss>
    QString fontName;
    double fontSize = 9;
    QStringList lines;         // every line: the head and every block
    QList<qsizetype> blockEnds;  // lines.size() at each end of a block
    qsizetype linesOnDisk = 0; // how many of them the text copy holds
    Output output = Output::Undecided;
    AppendFile text;           // the text copy, open for appending
    QString folder;            // where the text copy is
    QString reason;            // why the last save failed

    QString Base() const { return text.Path().chopped(4); }  // without ".txt"
    QString Title() const { return QStringLiteral("Отчёт (%1)").arg(apparatus); }
    bool AllOnDisk() const { return text.IsOpen() && linesOnDisk == lines.size(); }
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
                const QStringList& lines, const QList<qsizetype>& blockEnds) {
    PagedTextPrinter pages(device);
    pages.SetFontName(fontName);
    pages.SetFontSize(fontSize);
    qsizetype nextEnd = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        pages.PrintLine(lines[i]);
        while (nextEnd < blockEnds.size() && blockEnds[nextEnd] <= i + 1) {
            if (blockEnds[nextEnd] == i + 1) pages.EndBlock();
            ++nextEnd;
        }
    }
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

QByteArray PdfOf(const Document& d) {
    return PaintReportPdf(d.Title(), d.fontName, d.fontSize, d.lines, d.blockEnds);
}

const QString kCouldNotPaint = QStringLiteral("не удалось построить PDF");

QString SavedText(const QString& base) {
    return QStringLiteral("Принтер не найден, поэтому отчёт сохранён в файл\n%1\nи его текстовая копия — в файл\n%2")
        .arg(Native(base + QStringLiteral(".pdf")), Native(base + QStringLiteral(".txt")));
}

const QString kFolderHint =
    QStringLiteral("Папку для отчётов можно указать переменной окружения HEATX_REPORT_DIR.");

}  // namespace

QByteArray PaintReportPdf(const QString& title, const QString& fontName, double fontSize,
                          const QStringList& lines, const QList<qsizetype>& blockEnds) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool painted = false;
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("heatx"));
        painted = PaintLines(&pdf, fontName, fontSize, lines, blockEnds);
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

QtReportPrinter::~QtReportPrinter() = default;

void QtReportPrinter::SetApparatus(const QString& word) { apparatus_ = word; }
void QtReportPrinter::SetFontName(const QString& name) { fontName_ = name; }
void QtReportPrinter::SetFontSize(double points) { fontSize_ = points; }

void QtReportPrinter::PrintLine(const QString& line) {
    if (!open_) {
        open_ = std::make_unique<Document>();
        open_->apparatus = apparatus_;
        open_->stem = QStringLiteral("Отчёт_%1_%2")
                          .arg(apparatus_, clock_().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    }
    open_->lines.append(line);
}

QString QtReportPrinter::ReportFolder() {
    const QString fromEnvironment = qEnvironmentVariable("HEATX_REPORT_DIR");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void QtReportPrinter::Tell(const QString& title, const QString& text, const QString& details) {
    if (notify_) notify_(title, text, details);
}

void QtReportPrinter::EndBlock() {
    if (open_ && (open_->blockEnds.isEmpty() || open_->blockEnds.last() != open_->lines.size()))
        open_->blockEnds.append(open_->lines.size());
    if (!open_ || open_->linesOnDisk == open_->lines.size()) return;
    Document& d = *open_;
    if (d.output == Document::Output::Undecided)
        d.output = QPrinterInfo::defaultPrinter().isNull() ? Document::Output::Files : Document::Output::Printer;
    if (d.output == Document::Output::Printer) return;  // the lines go to the printer at the end
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

bool QtReportPrinter::SendToPrinter(Document& d) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return false;
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(d.Title());
    if (!PaintLines(&printer, d.fontName, d.fontSize, d.lines, d.blockEnds)) return false;
    lastDestination_ = info.printerName();
    Tell(QStringLiteral("ПЕЧАТЬ ОТЧЁТА"), QStringLiteral("Отчёт отправлен на принтер «%1».").arg(info.printerName()));
    return true;
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
                Tell(QStringLiteral("ОТЧЁТ СОХРАНЁН"),
                     QStringLiteral("Принтер не найден, а в папке\n%1\nсохранить отчёт не удалось (%2).\n"
                                    "Поэтому отчёт сохранён в файл\n%3\nи его текстовая копия — в файл\n%4")
                         .arg(Native(chosen), d.reason, Native(base + QStringLiteral(".pdf")),
                              Native(base + QStringLiteral(".txt"))));
                return;
            }
            reason = error;
        }
        copy.Remove();
        tried.append(QStringLiteral("%1 — %2").arg(Native(place), reason));
    }

    // No place took a PDF: the lines on disk as text are the next best.
    const QString pdfReasons = QStringLiteral("PDF сохранить не удалось:\n") + tried.join(QLatin1Char('\n'));
    if (d.text.IsOpen() && AppendRest(d)) {
        Tell(QStringLiteral("ОШИБКА !"),
             QStringLiteral("Принтер не найден, и %1\nРезультаты расчёта не потеряны: все строки отчёта "
                            "записаны в текстовую копию\n%2")
                 .arg(pdfReasons, Native(d.text.Path())));
        return;
    }
    for (const QString& place : QStringList{chosen} + places) {
        AppendFile copy;
        if (ClaimTextCopy(place, d.stem, copy) && copy.Append(TextOf(d.lines))) {
            d.text.Remove();
            Tell(QStringLiteral("ОШИБКА !"),
                 QStringLiteral("Принтер не найден, и %1\nРезультаты расчёта не потеряны: все строки отчёта "
                                "записаны в текстовую копию\n%2")
                     .arg(pdfReasons, Native(copy.Path())));
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
         QStringLiteral("Принтер не найден, и сохранить отчёт не удалось ни в одной папке:\n%1\n%2"
                        "ОТЧЁТ НЕ СОХРАНЁН. Его текст показан ниже: выделите его и скопируйте, "
                        "пока это окно открыто.")
             .arg(tried.join(QLatin1Char('\n')), part),
         QString::fromUtf8(TextOf(d.lines)));
}

QString QtReportPrinter::CopyPath() const {
    return open_ && open_->text.IsOpen() ? Native(open_->text.Path()) : QString();
}

void QtReportPrinter::EndDocument() { Finish(false); }
void QtReportPrinter::EndSession() { Finish(true); }

void QtReportPrinter::Finish(bool last) {
    lastDestination_.clear();
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
        if (d.output == Document::Output::Undecided)
            d.output = QPrinterInfo::defaultPrinter().isNull() ? Document::Output::Files
                                                                : Document::Output::Printer;
        if (d.output == Document::Output::Printer) {
            if (SendToPrinter(d)) continue;
            d.output = Document::Output::Files;  // the printer refused: the report is saved as files
        }
        const QString folder = d.text.IsOpen() ? d.folder : ReportFolder();
        if (SaveIn(d, folder)) {
            lastDestination_ = d.Base() + QStringLiteral(".pdf");
            Tell(QStringLiteral("ОТЧЁТ СОХРАНЁН"), SavedText(d.Base()));
            continue;
        }
        if (last) {
            SaveElsewhere(d);
            continue;
        }
        // Kept with its own lines and name for the next end of a document
        // and for the end of the program.
        QString text = QStringLiteral("Принтер не найден, а сохранить отчёт в папке\n%1\nне удалось (%2).\n")
                           .arg(Native(folder), d.reason);
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
}

}  // namespace heatx
