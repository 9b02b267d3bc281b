// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a saved report from its file: a PDF through its extracted text, any
// other file as text, line by line, in bounded memory: UTF-8 with or without
// a byte order mark, UTF-16 with one, or Windows-1251 (a copy saved by an
// editor of that system); lines ended by LF, CR LF or a lone CR. Only a regular
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
#include <iconv.h>
#include <optional>
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

// How the bytes of a text copy are turned into lines of text.
struct TextDecoding {
    bool firstLine = true;
    bool windows1251 = false;  // a line was not UTF-8: so is the whole copy
    std::optional<QStringDecoder> utf16;  // a copy with a UTF-16 byte order mark
    bool afterCarriageReturn = false;
};

// A line in Windows-1251; false when a byte has no character there.
bool FromWindows1251(const QByteArray& line, QString* text) {
    const iconv_t cd = iconv_open("UTF-8", "WINDOWS-1251");
    if (cd == iconv_t(-1)) return false;
    QByteArray out(line.size() * 3 + 4, Qt::Uninitialized);
    char* in = const_cast<char*>(line.constData());
    std::size_t inLeft = std::size_t(line.size());
    char* to = out.data();
    std::size_t outLeft = std::size_t(out.size());
    const bool ok = iconv(cd, &in, &inLeft, &to, &outLeft) != std::size_t(-1);
    iconv_close(cd);
    if (!ok) return false;
    *text = QString::fromUtf8(out.constData(), qsizetype(out.size() - qsizetype(outLeft)));
    return true;
}

// The text of one line of a text copy; false with *reason when the bytes are
// not text.
bool DecodeLine(QByteArray& line, TextDecoding& state, QString* text, QString* reason) {
    if (state.firstLine && line.startsWith("\xEF\xBB\xBF")) line.remove(0, 3);
    state.firstLine = false;
    if (line.contains('\0')) {
        *reason = QStringLiteral("двоичный файл, а не текст");
        return false;
    }
    if (!state.windows1251) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        *text = utf8.decode(line);
        if (!utf8.hasError()) return true;
        state.windows1251 = true;
    }
    if (FromWindows1251(line, text)) return true;
    *reason = QStringLiteral("текст не в UTF-8, не в UTF-16 и не в Windows-1251");
    return false;
}

// The bytes as UTF-8 (UTF-16 converted) with every line end a LF.
QByteArray TextBytes(const char* data, qsizetype size, TextDecoding& state) {
    QByteArray utf8;
    if (state.utf16) {
        utf8 = QString(state.utf16->decode(QByteArrayView(data, size))).toUtf8();
        data = utf8.constData();
        size = utf8.size();
    }
    QByteArray out;
    out.reserve(size);
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c == '\n' && state.afterCarriageReturn) {
            state.afterCarriageReturn = false;
            continue;
        }
        state.afterCarriageReturn = c == '\r';
        out += c == '\r' ? '\n' : c;
    }
    return out;
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
    bool first = true;
    for (;;) {
        if (StopSignal() != 0) return NotReport(QStringLiteral("проверка прервана"));
        const ssize_t got = ::read(fd, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return NotReport(QStringLiteral("ошибка чтения: %1").arg(ReadErrorText(errno)));
        qsizetype skip = 0;
        if (first && got >= 2) {
            const QByteArrayView mark(buf, 2);
            if (mark == "\xFF\xFE" || mark == "\xFE\xFF") {
                decoding.utf16.emplace(mark == "\xFF\xFE" ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
                skip = 2;
            }
        }
        first = false;
        if (got == 0) break;
        const QByteArray text = TextBytes(buf + skip, got - skip, decoding);
        if (!lines.Feed(text.constData(), text.size())) break;
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
    qsizetype letters = 0, marks = 0;
    const bool read = PdfReader()(fd, [&](QStringView line) {
        if (pageFoot.match(line.toString()).hasMatch()) return;
        if (!line.trimmed().isEmpty()) any = true;
        for (QChar c : line) {
            if (c.isSpace()) continue;
            ++marks;
            letters += c.isLetter() ? 1 : 0;
        }
        checker.Line(line);
    }, &reason);
    if (!read) return NotReport(reason);
    if (!any) return NotReport(QStringLiteral("в PDF нет текста"));
    ReportSummary summary = checker.Finish();
    // A PDF whose text map was lost (re-written by a program that keeps the
    // glyphs but not what they stand for) gives digits and signs where the
    // words were: no heading is found, and few of its marks are letters.
    if (!summary.isReport && summary.reason.startsWith(QStringLiteral("нет ни одного заголовка")) && letters * 10 < marks * 4)
        summary.reason = QStringLiteral("текст PDF не читается: файл, вероятно, пересохранён другой программой; "
                                        "сдайте исходный PDF или .txt");
    return summary;
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
    if (got >= 4 && std::memcmp(magic, "PK\x03\x04", 4) == 0)
        return NotReport(QStringLiteral("zip-архив (таблица .xlsx или .ods, документ .docx или .odt), а не отчёт"));
    ReportSummary summary = CheckTextFile(fd, onHead);
    // A .pdf that is no PDF: a picture or a document saved under the name.
    if (!summary.isReport && path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        summary.reason = QStringLiteral("назван .pdf, но это не PDF (нет заголовка %PDF-): ") + summary.reason;
    return summary;
}

}  // namespace heatx::batch
