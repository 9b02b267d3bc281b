// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a saved report from its file: a PDF through its extracted text, any
// other file as UTF-8 text, line by line, in bounded memory.
#include "batch/report_check.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cstring>

namespace heatx::batch {

namespace {

// A line of a report is never longer than this; a longer one means the file
// is something else.
constexpr qsizetype kMaxLineBytes = 64 * 1024;

ReportSummary NotReport(const QString& reason) {
    ReportSummary s;
    s.reason = reason;
    return s;
}

ReportSummary CheckTextFile(QFile& file, const std::function<void(const ReportHead&)>& onHead) {
    ReportChecker checker(onHead);
    QByteArray line;
    bool first = true;
    char buf[64 * 1024];
    while (!checker.GaveUp()) {
        const qint64 got = file.read(buf, sizeof buf);
        if (got < 0) return NotReport(QStringLiteral("ошибка чтения: %1").arg(file.errorString()));
        if (got == 0) break;
        qint64 start = 0;
        while (start < got) {
            const char* nl = static_cast<const char*>(std::memchr(buf + start, '\n', static_cast<std::size_t>(got - start)));
            const qint64 end = nl ? nl - buf : got;
            line.append(buf + start, end - start);
            if (line.size() > kMaxLineBytes)
                return NotReport(QStringLiteral("строка длиннее %1 КБ — программа таких не пишет").arg(kMaxLineBytes / 1024));
            start = end;
            if (!nl) break;
            ++start;  // the line feed
            if (first && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
            first = false;
            if (line.contains('\0')) return NotReport(QStringLiteral("двоичный файл, а не текст"));
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString text = utf8.decode(line);
            if (utf8.hasError()) return NotReport(QStringLiteral("текст не в кодировке UTF-8"));
            checker.Line(text);
            line.clear();
            if (checker.GaveUp()) break;
        }
    }
    if (!line.isEmpty() && !checker.GaveUp()) {
        if (first && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
        if (line.contains('\0')) return NotReport(QStringLiteral("двоичный файл, а не текст"));
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(line);
        if (utf8.hasError()) return NotReport(QStringLiteral("текст не в кодировке UTF-8"));
        checker.Line(text);
    }
    return checker.Finish();
}

}  // namespace

namespace {
PdfTextReader& PdfReader() {
    static PdfTextReader reader;
    return reader;
}
}  // namespace

void SetPdfTextReader(PdfTextReader reader) { PdfReader() = std::move(reader); }

ReportSummary CheckReportFile(const QString& path, const std::function<void(const ReportHead&)>& onHead) {
    const QFileInfo info(path);
    if (!info.exists()) return NotReport(QStringLiteral("файл не найден"));
    if (info.isDir()) return NotReport(QStringLiteral("это папка"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return NotReport(QStringLiteral("не открывается: %1").arg(file.errorString()));
    const QByteArray magic = file.peek(5);
    if (magic == "%PDF-") {
        file.close();
        ReportChecker checker(onHead);
        QString reason;
        bool any = false;
        if (!PdfReader()) return NotReport(QStringLiteral("PDF здесь не читается: нет модуля чтения PDF"));
        // The number at the foot of each PDF page is the page's, not the
        // report's: "стр. 2 из 3".
        static const QRegularExpression pageFoot(QStringLiteral("^\\s*стр\\. [0-9]+ из [0-9]+\\s*$"));
        const bool read = PdfReader()(path, [&](QStringView line) {
            if (pageFoot.match(line.toString()).hasMatch()) return;
            if (!line.trimmed().isEmpty()) any = true;
            checker.Line(line);
        }, &reason);
        if (!read) return NotReport(reason);
        if (!any) return NotReport(QStringLiteral("в PDF нет текста"));
        return checker.Finish();
    }
    if (file.size() == 0) return NotReport(QStringLiteral("пустой файл"));
    return CheckTextFile(file, onHead);
}

}  // namespace heatx::batch
