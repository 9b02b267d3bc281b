// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a saved report from its file: a PDF through its extracted text, any
// other file as UTF-8 text, line by line, in bounded memory. Only a regular
// file is opened, and never in a way that can block: a folder of a class may
// hold anything.
#include "batch/report_check.h"

#include "batch/byte_lines.h"
#include "batch/stop_signals.h"
#include "platform/safe_output.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace heatx::batch {

namespace {

ReportSummary NotReport(const QString& reason) {
    ReportSummary s;
    s.reason = reason;
    return s;
}

QString ReadErrorText(int error) {
    if (error == EACCES || error == EPERM) return QStringLiteral("нет доступа: у этого пользователя нет права читать файл");
    return SystemErrorText(error);
}

// What a path names when it is not a file that can be read.
QString NotRegularReason(const QByteArray& native, const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return ::access(native.constData(), R_OK | X_OK) == 0 ? QStringLiteral("это папка, а не файл")
                                                               : QStringLiteral("папка не читается: нет доступа");
    if (S_ISFIFO(st.st_mode)) return QStringLiteral("не обычный файл, а именованный канал (FIFO)");
    if (S_ISSOCK(st.st_mode)) return QStringLiteral("не обычный файл, а сокет");
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return QStringLiteral("не обычный файл, а устройство");
    return QStringLiteral("не обычный файл");
}

// Why stat fails on a path whose own entry exists (lstat gave link).
QString BrokenPathReason(const QByteArray& native, const struct stat& link, int error) {
    if (!S_ISLNK(link.st_mode)) return ReadErrorText(error);
    if (error == ELOOP) return QStringLiteral("петля ссылок: ссылка в конце концов ведёт сама на себя");
    if (error == ENOENT) {
        char target[4096];
        const ssize_t n = ::readlink(native.constData(), target, sizeof target - 1);
        const QString to = n > 0 ? QFile::decodeName(QByteArray(target, n)) : QString();
        return QStringLiteral("ссылка ведёт на «%1», а такого файла нет").arg(to);
    }
    return ReadErrorText(error);
}

// Opens a regular file (a link to one is followed) for reading; -1 with
// *reason for anything else. The type is looked at before the open, and the
// open itself cannot block (a FIFO swapped in meanwhile is refused).
int OpenReport(const QString& path, QString* reason) {
    const QByteArray native = QFile::encodeName(path);
    struct stat link {};
    struct stat st {};
    if (::lstat(native.constData(), &link) != 0) {
        *reason = errno == ENOENT ? QStringLiteral("файл не найден") : ReadErrorText(errno);
        return -1;
    }
    if (::stat(native.constData(), &st) != 0) {
        *reason = BrokenPathReason(native, link, errno);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        *reason = NotRegularReason(native, st);
        return -1;
    }
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *reason = ReadErrorText(errno);
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        *reason = QStringLiteral("не обычный файл");
        return -1;
    }
    return fd;
}

struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};

// A line of a report is never longer than this; a longer one means the file
// is something else.
constexpr qsizetype kMaxLineBytes = 64 * 1024;

// How the lines of a text copy are turned into text.
struct TextDecoding {
    bool firstLine = true;
};

// The text of one line of a text copy; false with *reason when the bytes are
// not the text the program saves.
bool DecodeLine(QByteArray& line, TextDecoding& state, QString* text, QString* reason) {
    if (state.firstLine && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
    state.firstLine = false;
    if (line.contains('\0')) {
        *reason = QStringLiteral("двоичный файл, а не текст");
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *text = utf8.decode(line);
    if (utf8.hasError()) {
        *reason = QStringLiteral("текст не в кодировке UTF-8");
        return false;
    }
    return true;
}

QString LongLineReason() {
    return QStringLiteral("строка длиннее %1 КБ — программа таких не пишет").arg(kMaxLineBytes / 1024);
}

ReportSummary CheckTextFile(int fd, const std::function<void(const ReportHead&)>& onHead) {
    ReportChecker checker(onHead);
    TextDecoding decoding;
    QString reason;
    ByteLines lines(kMaxLineBytes, [&](QByteArray& line) {
        QString text;
        if (!DecodeLine(line, decoding, &text, &reason)) return false;
        checker.Line(text);
        return !checker.GaveUp();
    });
    char buf[64 * 1024];
    for (;;) {
        if (StopSignal() != 0) return NotReport(QStringLiteral("проверка прервана"));
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return NotReport(QStringLiteral("ошибка чтения: %1").arg(ReadErrorText(errno)));
        if (got == 0 || !lines.Feed(buf, got)) break;
    }
    lines.Finish();
    if (lines.Overlong()) return NotReport(LongLineReason());
    if (!reason.isEmpty()) return NotReport(reason);
    return checker.Finish();
}

PdfTextReader& PdfReader() {
    static PdfTextReader reader;
    return reader;
}

ReportSummary CheckPdfFile(int fd, const std::function<void(const ReportHead&)>& onHead) {
    if (!PdfReader()) return NotReport(QStringLiteral("PDF здесь не читается: нет модуля чтения PDF"));
    ReportChecker checker(onHead);
    QString reason;
    bool any = false;
    // The number at the foot of each PDF page is the page's, not the
    // report's: "стр. 2 из 3".
    static const QRegularExpression pageFoot(QStringLiteral("^\\s*стр\\. [0-9]+ из [0-9]+\\s*$"));
    const bool read = PdfReader()(fd, [&](QStringView line) {
        if (pageFoot.match(line.toString()).hasMatch()) return;
        if (!line.trimmed().isEmpty()) any = true;
        checker.Line(line);
    }, &reason);
    if (!read) return NotReport(reason);
    if (!any) return NotReport(QStringLiteral("в PDF нет текста"));
    return checker.Finish();
}

}  // namespace

void SetPdfTextReader(PdfTextReader reader) { PdfReader() = std::move(reader); }

ReportSummary CheckReportFile(const QString& path, const std::function<void(const ReportHead&)>& onHead) {
    QString reason;
    const int fd = OpenReport(path, &reason);
    if (fd < 0) return NotReport(reason);
    const FdCloser closer{fd};
    char magic[5];
    ssize_t got;
    do got = ::pread(fd, magic, sizeof magic, 0);
    while (got < 0 && errno == EINTR);
    if (got < 0) return NotReport(QStringLiteral("ошибка чтения: %1").arg(ReadErrorText(errno)));
    if (got == 0) return NotReport(QStringLiteral("пустой файл"));
    if (got == 5 && std::memcmp(magic, "%PDF-", 5) == 0) return CheckPdfFile(fd, onHead);
    return CheckTextFile(fd, onHead);
}

}  // namespace heatx::batch
