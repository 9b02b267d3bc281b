// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_report_printer.h"

#include "platform/paged_text_printer.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace heatx {

namespace {

// Lays the lines out on a paged device; false when it could not be written.
bool PaintLines(QPagedPaintDevice* device, const QString& fontName, double fontSize,
                const QStringList& lines) {
    PagedTextPrinter pages(device);
    pages.SetFontName(fontName);
    pages.SetFontSize(fontSize);
    for (const QString& line : lines) pages.PrintLine(line);
    return pages.IsOpen() && pages.Finish();
}

bool WriteText(const QString& path, const QStringList& lines) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += '\n';
    }
    file.write(bytes);
    return file.commit();
}

// A base name (without extension) in folder that neither a .pdf nor a .txt
// file has yet: a report never overwrites another.
QString FreeBaseName(const QDir& folder, const QString& stem) {
    QString base = stem;
    for (int n = 2; QFileInfo::exists(folder.filePath(base + QStringLiteral(".pdf"))) ||
                    QFileInfo::exists(folder.filePath(base + QStringLiteral(".txt")));
         ++n)
        base = stem + QStringLiteral("_%1").arg(n);
    return folder.filePath(base);
}

}  // namespace

QtReportPrinter::QtReportPrinter(Notify notify, Clock clock)
    : notify_(std::move(notify)), clock_(std::move(clock)) {
    if (!clock_) clock_ = [] { return QDateTime::currentDateTime(); };
}

QtReportPrinter::~QtReportPrinter() = default;

void QtReportPrinter::SetApparatus(const QString& word) { apparatus_ = word; }
void QtReportPrinter::SetFontName(const QString& name) { fontName_ = name; }
void QtReportPrinter::SetFontSize(double points) { fontSize_ = points; }
void QtReportPrinter::PrintLine(const QString& line) { lines_.append(line); }

QString QtReportPrinter::ReportFolder() {
    const QString fromEnvironment = qEnvironmentVariable("HEATX_REPORT_DIR");
    if (!fromEnvironment.isEmpty()) return fromEnvironment;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

void QtReportPrinter::EndDocument() {
    lastDestination_.clear();
    if (lines_.isEmpty()) return;  // nothing printed since the last end: no page, no file

    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName(QStringLiteral("Отчёт (%1)").arg(apparatus_));
        if (PaintLines(&printer, fontName_, fontSize_, lines_)) {
            lastDestination_ = info.printerName();
            lines_.clear();
            if (notify_)
                notify_(QStringLiteral("ПЕЧАТЬ ОТЧЁТА"),
                        QStringLiteral("Отчёт отправлен на принтер «%1».").arg(info.printerName()));
            return;
        }
        // The printer refused: the report is saved as a file instead.
    }

    const QString folderPath = ReportFolder();
    QDir folder(folderPath);
    const QString stem = QStringLiteral("Отчёт_%1_%2")
                             .arg(apparatus_, clock_().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    bool saved = QDir().mkpath(folderPath);
    QString base;
    if (saved) {
        base = FreeBaseName(folder, stem);
        saved = WriteText(base + QStringLiteral(".txt"), lines_);
        if (saved) {
            QPdfWriter pdf(base + QStringLiteral(".pdf"));
            pdf.setTitle(QStringLiteral("Отчёт (%1)").arg(apparatus_));
            pdf.setCreator(QStringLiteral("heatx"));
            saved = PaintLines(&pdf, fontName_, fontSize_, lines_);
            if (!saved) QFile::remove(base + QStringLiteral(".txt"));
        }
    }
    if (!saved) {
        // The lines stay: the next end of a document tries again with them,
        // so nothing printed is lost.
        if (notify_)
            notify_(QStringLiteral("ОШИБКА !"),
                    QStringLiteral("Принтер не найден, а сохранить отчёт в папке\n%1\nне удалось "
                                   "(нет доступа на запись или нет места).\n"
                                   "Результаты расчёта не потеряны: отчёт будет сохранён вместе "
                                   "со следующим.\nПапку для отчётов можно указать переменной "
                                   "окружения HEATX_REPORT_DIR.")
                        .arg(QDir::toNativeSeparators(folderPath)));
        return;
    }
    lines_.clear();
    lastDestination_ = base + QStringLiteral(".pdf");
    if (notify_)
        notify_(QStringLiteral("ОТЧЁТ СОХРАНЁН"),
                QStringLiteral("Принтер не найден, поэтому отчёт сохранён в файл\n%1\n"
                               "и его текстовая копия — в файл\n%2")
                    .arg(QDir::toNativeSeparators(base + QStringLiteral(".pdf")),
                         QDir::toNativeSeparators(base + QStringLiteral(".txt"))));
}

}  // namespace heatx
