// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/table_output.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <iconv.h>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zip.h>

namespace heatx::batch {

namespace {

constexpr std::size_t kBufferSize = 1 << 18;

lxw_workbook* Book(void* p) { return static_cast<lxw_workbook*>(p); }
lxw_worksheet* Sheet(void* p) { return static_cast<lxw_worksheet*>(p); }

bool StatPath(const QString& path, struct stat& st) {
    return ::stat(QFile::encodeName(path).constData(), &st) == 0;
}

}  // namespace

FdSink::FdSink(int fd, QString name, bool ownsFd) : fd_(fd), name_(std::move(name)), ownsFd_(ownsFd) {
    buffer_.reserve(kBufferSize);
}

FdSink::~FdSink() {
    if (ownsFd_ && fd_ >= 0) ::close(fd_);
}

bool FdSink::Flush() {
    if (error_) return false;
    if (!buffer_.empty() && !WriteAllToFd(fd_, buffer_.data(), buffer_.size())) {
        error_ = errno ? errno : EIO;
        return false;
    }
    buffer_.clear();
    return true;
}

bool FdSink::Write(const char* data, std::size_t size) {
    if (error_) return false;
    if (buffer_.size() + size > kBufferSize) {
        if (!Flush()) return false;
        if (size >= kBufferSize) {
            if (WriteAllToFd(fd_, data, size)) return true;
            error_ = errno ? errno : EIO;
            return false;
        }
    }
    buffer_.append(data, size);
    return true;
}

bool FdSink::Finish() {
    if (!Flush()) return false;
    if (ownsFd_) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 && errno != EINTR) {
            error_ = errno;
            return false;
        }
    }
    return true;
}

QString FdSink::ErrorText() const {
    return QStringLiteral("не удаётся записать %1: %2").arg(name_, SystemErrorText(error_));
}

QString CheckOutputTarget(const OutputTarget& target) {
    if (target.path.isEmpty()) return QStringLiteral("пустое имя файла вывода");
    if (!target.inputPath.isEmpty() && IsSameFile(target.path, target.inputPath))
        return QStringLiteral("«%1» — это входной файл; вывод поверх вариантов не пишется").arg(target.path);
    struct stat st {};
    if (StatPath(target.path, st)) {
        if (S_ISDIR(st.st_mode)) return QStringLiteral("«%1» — это папка, а не файл").arg(target.path);
        if (S_ISREG(st.st_mode) && !target.force)
            return QStringLiteral("файл «%1» уже есть; --force записывает поверх него").arg(target.path);
    }
    return {};
}

std::unique_ptr<ByteSink> OpenOutput(const OutputTarget& target, QString* error) {
    struct stat st {};
    if (StatPath(target.path, st) && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        // A device or a pipe has no folder to make a temporary file in, and
        // must not be replaced by a file: write into it.
        const int fd = ::open(QFile::encodeName(target.path).constData(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            *error = QStringLiteral("не удаётся открыть «%1»: %2").arg(target.path, SystemErrorText(errno));
            return nullptr;
        }
        return std::make_unique<FdSink>(fd, QStringLiteral("«%1»").arg(target.path), true);
    }
    // Through a symbolic link the file it points to is replaced, not the link.
    const QString canonical = QFileInfo(target.path).canonicalFilePath();
    auto file = std::make_unique<FileSink>();
    const auto mode = target.force ? AtomicFile::Mode::Replace : AtomicFile::Mode::Exclusive;
    if (!file->Open(canonical.isEmpty() ? target.path : canonical, mode)) {
        *error = file->ErrorText();
        return nullptr;
    }
    return file;
}

namespace {

constexpr std::uint64_t kNineDigits = 1000000000;

// value = m * 2^e (m below 2^24) rounded to nine significant digits with the
// decimal exponent x of the leading digit guessed: N in [10^8, 10^9) with the
// exact value equal to N * 10^(x-8) before rounding; halves to even, as the C
// library rounds.
enum class Scaled { Done, GuessTooSmall, GuessTooLarge, TooWide };
Scaled ScaleToNineDigits(std::uint32_t m, int e, int x, std::uint64_t* digits) {
    using u128 = unsigned __int128;
    static constexpr std::uint64_t kTen[] = {1ull,
                                             10ull,
                                             100ull,
                                             1000ull,
                                             10000ull,
                                             100000ull,
                                             1000000ull,
                                             10000000ull,
                                             100000000ull,
                                             1000000000ull,
                                             10000000000ull,
                                             100000000000ull,
                                             1000000000000ull,
                                             10000000000000ull,
                                             100000000000000ull,
                                             1000000000000000ull,
                                             10000000000000000ull,
                                             100000000000000000ull,
                                             1000000000000000000ull};
    const int s = 8 - x;  // value * 10^s should be N
    // Both sides stay below 2^128: the numerator below 2^(24+40+60), the
    // denominator 2^100 or 10^18.
    if (s > 18 || s < -18 || e > 40 || e < -100 || (e < 0 && s < 0)) return Scaled::TooWide;
    u128 num = m, q, r, half;
    bool odd;
    if (s >= 0) num *= kTen[s];
    if (e >= 0) num <<= e;
    if (e < 0) {  // a power of two below: shifts, no division
        q = num >> -e;
        r = num - (q << -e);
        half = u128(1) << (-e - 1);
        odd = false;
    } else if (s < 0) {
        const u128 den = kTen[-s];
        q = num / den;
        r = num % den;
        half = den / 2;
        odd = den % 2 != 0;  // never: 10^k is even
    } else {
        q = num;
        r = 0;
        half = 1;
        odd = false;
    }
    if (q >= kNineDigits) return Scaled::GuessTooSmall;
    if (q < kNineDigits / 10) return Scaled::GuessTooLarge;
    std::uint64_t n = std::uint64_t(q);
    if (r > half || (r == half && !odd && (n & 1))) ++n;
    *digits = n;
    return Scaled::Done;
}

// The nine digits d1..d9 of a value d1.d2...d9 * 10^x, of which digits past
// last are zeros, written as printf "%.9g" writes them.
char* PlaceDigits(char* p, const char (&digits)[9], int last, int x) {
    if (x < -4 || x >= 9) {
        *p++ = digits[0];
        if (last > 0) {
            *p++ = '.';
            for (int k = 1; k <= last; ++k) *p++ = digits[k];
        }
        *p++ = 'e';
        *p++ = x < 0 ? '-' : '+';
        const int ax = x < 0 ? -x : x;
        if (ax >= 100) *p++ = char('0' + ax / 100);
        *p++ = char('0' + ax / 10 % 10);
        *p++ = char('0' + ax % 10);
        return p;
    }
    if (x >= 0) {
        for (int k = 0; k <= x; ++k) *p++ = digits[k];
        if (last > x) {
            *p++ = '.';
            for (int k = x + 1; k <= last; ++k) *p++ = digits[k];
        }
        return p;
    }
    *p++ = '0';
    *p++ = '.';
    for (int k = 0; k < -x - 1; ++k) *p++ = '0';
    for (int k = 0; k <= last; ++k) *p++ = digits[k];
    return p;
}

}  // namespace

char* WriteNineDigits(char* out, float value) {
    // As printf "%.9g": nine significant digits of the exact value, trailing
    // zeros dropped, exponent form below 1e-4 and from 1e9 on. Written here
    // for the usual magnitudes (to_chars with a precision is slow); the rest,
    // zero, infinity and the extremes, by to_chars.
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = int((bits >> 23) & 0xFF);
    const std::uint32_t fraction = bits & 0x7FFFFF;
    const auto fallback = [&] {
        return std::to_chars(out, out + 32, static_cast<double>(value), std::chars_format::general, 9).ptr;
    };
    if (biased == 0 || biased == 0xFF) return fallback();  // zero, subnormal, infinity, not a number
    const std::uint32_t m = fraction | 0x800000;
    const int e = biased - 150;
    // The value lies in [2^k, 2^(k+1)) with k = e + 23: its decimal exponent
    // is floor(k log10 2) or one more (78913 / 2^18 is log10 2 to 6 digits).
    int x = ((e + 23) * 78913) >> 18;
    std::uint64_t n = 0;
    Scaled scaled = ScaleToNineDigits(m, e, x, &n);
    if (scaled == Scaled::GuessTooSmall || scaled == Scaled::GuessTooLarge) {
        x += scaled == Scaled::GuessTooSmall ? 1 : -1;  // log10 was one off near a power of ten
        scaled = ScaleToNineDigits(m, e, x, &n);
    }
    if (scaled != Scaled::Done) return fallback();
    if (n == kNineDigits) {  // rounding carried into a tenth digit
        n = kNineDigits / 10;
        ++x;
    }
    char digits[9];
    for (int k = 8; k >= 0; --k) {
        digits[k] = char('0' + n % 10);
        n /= 10;
    }
    int last = 8;  // the last digit kept: trailing zeros go
    while (last > 0 && digits[last] == '0') --last;
    char* p = out;
    if (bits >> 31) *p++ = '-';
    return PlaceDigits(p, digits, last, x);
}

CsvWriter::CsvWriter(ByteSink& sink, char decimalMark, char separator)
    : sink_(sink), decimalMark_(decimalMark), separator_(separator) {}

void CsvWriter::Separate() {
    if (rowStarted_) buffer_ += separator_;
    rowStarted_ = true;
}

void CsvWriter::Text(std::string_view text) {
    Separate();
    bool quote = false;
    for (char c : text)
        if (c == separator_ || c == '"' || c == '\n' || c == '\r') quote = true;
    if (!quote) {
        buffer_.append(text);
        return;
    }
    buffer_ += '"';
    for (char c : text) {
        if (c == '"') buffer_ += '"';
        buffer_ += c;
    }
    buffer_ += '"';
}

void CsvWriter::Number(float value) {
    Separate();
    char digits[32];
    char* end = WriteNineDigits(digits, value);
    if (decimalMark_ != '.')
        for (char* p = digits; p < end; ++p)
            if (*p == '.') *p = decimalMark_;
    buffer_.append(digits, std::size_t(end - digits));
}

void CsvWriter::Integer(long long value) {
    Separate();
    char digits[24];
    buffer_.append(digits, std::size_t(std::to_chars(digits, digits + sizeof digits, value).ptr - digits));
}

void CsvWriter::Empty() { Separate(); }

bool CsvWriter::EndRow() {
    buffer_ += '\n';
    rowStarted_ = false;
    if (buffer_.size() >= kBufferSize) {
        if (!failed_ && !sink_.Write(buffer_)) failed_ = true;
        buffer_.clear();
    }
    return !failed_;
}

bool CsvWriter::Flush() {
    if (!failed_ && !buffer_.empty() && !sink_.Write(buffer_)) failed_ = true;
    buffer_.clear();
    if (!failed_ && !sink_.Flush()) failed_ = true;
    return !failed_;
}

bool CsvWriter::Finish() {
    if (!failed_ && !buffer_.empty() && !sink_.Write(buffer_)) failed_ = true;
    buffer_.clear();
    if (!failed_ && !sink_.Finish()) failed_ = true;
    return !failed_;
}

Windows1251Sink::Windows1251Sink(ByteSink& to)
    : to_(to), converter_(iconv_open("WINDOWS-1251//TRANSLIT", "UTF-8")) {}

Windows1251Sink::~Windows1251Sink() {
    if (converter_ != reinterpret_cast<void*>(-1)) iconv_close(static_cast<iconv_t>(converter_));
}

bool Windows1251Sink::Write(const char* data, std::size_t size) {
    if (converter_ == reinterpret_cast<void*>(-1)) return false;
    std::string in = std::move(carry_);
    carry_.clear();
    in.append(data, size);
    char* from = in.data();
    std::size_t left = in.size();
    std::string out;
    char buffer[1 << 14];
    while (left > 0) {
        char* to = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t r = iconv(static_cast<iconv_t>(converter_), &from, &left, &to, &room);
        out.append(buffer, std::size_t(to - buffer));
        if (r != std::size_t(-1)) break;
        if (errno == E2BIG) continue;
        if (errno == EINVAL) {  // a character cut by the end of this write
            carry_.assign(from, left);
            break;
        }
        out += '?';  // a byte that is no UTF-8
        ++from;
        --left;
    }
    return to_.Write(out.data(), out.size());
}

bool Windows1251Sink::Finish() {
    if (!carry_.empty() && !to_.Write("?", 1)) return false;
    carry_.clear();
    return to_.Finish();
}

bool IsCsvPath(const QString& path) { return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive); }

bool IsXlsxPath(const QString& path) { return path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive); }

std::unique_ptr<XlsxWriter> XlsxWriter::Open(const OutputTarget& target, QString* error) {
    struct stat st {};
    if (StatPath(target.path, st) && !S_ISREG(st.st_mode)) {
        *error = QStringLiteral("таблица .xlsx пишется только в обычный файл, а «%1» — не файл").arg(target.path);
        return nullptr;
    }
    std::unique_ptr<XlsxWriter> writer(new XlsxWriter);
    const QString canonical = QFileInfo(target.path).canonicalFilePath();
    const auto mode = target.force ? AtomicFile::Mode::Replace : AtomicFile::Mode::Exclusive;
    if (!writer->file_.Open(canonical.isEmpty() ? target.path : canonical, mode)) {
        *error = writer->file_.ErrorText();
        return nullptr;
    }
    // The library writes the whole file by name at the end; the name is the
    // temporary file beside the final one, whose descriptor then syncs it.
    // Rows go to its own temporary files as they come (constant memory).
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    writer->workbook_ = workbook_new_opt(writer->file_.TempPath().constData(), &options);
    if (writer->workbook_ != nullptr)
        writer->worksheet_ = workbook_add_worksheet(Book(writer->workbook_), "heatx");
    if (writer->worksheet_ == nullptr) {
        *error = QStringLiteral("не удаётся начать таблицу «%1»").arg(target.path);
        return nullptr;
    }
    worksheet_set_column(Sheet(writer->worksheet_), 0, 8, 15, nullptr);
    return writer;
}

XlsxWriter::~XlsxWriter() {
    if (workbook_ != nullptr) {
        // Abandoned: the library still frees its memory on close; the
        // temporary file goes with the AtomicFile.
        workbook_close(Book(workbook_));
    }
}

void XlsxWriter::Check(int error) {
    if (error == LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE) tooManyRows_ = true;
    if (error != LXW_NO_ERROR && libraryError_ == 0) libraryError_ = error;
}

void XlsxWriter::Text(std::string_view text) {
    cell_.assign(text);
    if (!cell_.empty()) Check(worksheet_write_string(Sheet(worksheet_), row_, column_, cell_.c_str(), nullptr));
    ++column_;
}

void XlsxWriter::Number(float value) {
    // The cell holds the number the text table shows, not the binary float.
    char digits[33];
    *WriteNineDigits(digits, value) = '\0';
    Check(worksheet_write_number(Sheet(worksheet_), row_, column_, std::strtod(digits, nullptr), nullptr));
    ++column_;
}

void XlsxWriter::Integer(long long value) {
    Check(worksheet_write_number(Sheet(worksheet_), row_, column_, double(value), nullptr));
    ++column_;
}

void XlsxWriter::Empty() { ++column_; }

bool XlsxWriter::EndRow() {
    ++row_;
    column_ = 0;
    return libraryError_ == 0;
}

bool XlsxWriter::Finish() {
    if (libraryError_ != 0) {
        file_.Discard();
        return false;
    }
    const lxw_error closed = workbook_close(Book(workbook_));
    workbook_ = nullptr;
    if (closed != LXW_NO_ERROR) {
        Check(closed);
        file_.Discard();
        return false;
    }
    if (!PrintedNumbers(file_.TempPath())) {
        rewriteFailed_ = true;
        file_.Discard();
        return false;
    }
    return file_.Commit();
}

namespace {

// A number of the sheet as the table prints it: the library writes the
// double nearest to the nine digits with sixteen ("977.8627320000001"),
// which a spreadsheet shows in full. Whole numbers (counts, line numbers)
// come out exact and stay.
void PutPrintedNumber(std::string_view stored, std::string& out) {
    if (stored.find_first_of(".eE") == std::string_view::npos) {
        out += stored;
        return;
    }
    const std::string text(stored);
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) {
        out += stored;
        return;
    }
    char digits[40];
    const int n = std::snprintf(digits, sizeof digits, "%.9g", value);
    out.append(digits, std::size_t(n));
}

// The <v> values of the sheet's XML, as it streams through.
class NumberRewriter {
public:
    std::string Feed(std::string_view chunk, bool atEnd) {
        pending_ += chunk;
        std::string out;
        std::size_t pos = 0;
        for (;;) {
            const std::size_t open = pending_.find("<v>", pos);
            if (open == std::string::npos) {
                const std::size_t keep = atEnd ? 0 : std::min<std::size_t>(pending_.size() - pos, 2);
                out.append(pending_, pos, pending_.size() - pos - keep);
                pos = pending_.size() - keep;
                break;
            }
            const std::size_t close = pending_.find("</v>", open + 3);
            if (close == std::string::npos) {
                out.append(pending_, pos, open - pos);
                pos = open;
                if (atEnd) {
                    out.append(pending_, pos);
                    pos = pending_.size();
                }
                break;
            }
            out.append(pending_, pos, open + 3 - pos);
            PutPrintedNumber(std::string_view(pending_).substr(open + 3, close - open - 3), out);
            out += "</v>";
            pos = close + 4;
        }
        pending_.erase(0, pos);
        return out;
    }

private:
    std::string pending_;
};

}  // namespace

// The written file's sheet again with the printed numbers. The archive is
// rebuilt in memory and written back into the same file (the one whose
// descriptor the commit syncs); the sheet's text goes through a temporary
// file, so that a large table is never held whole.
bool XlsxWriter::PrintedNumbers(const QByteArray& path) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadWrite)) return false;
    const QByteArray archive = file.readAll();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(archive.constData(), zip_uint64_t(archive.size()), 0, &error);
    zip_t* zip = source != nullptr ? zip_open_from_source(source, 0, &error) : nullptr;
    zip_error_fini(&error);
    if (zip == nullptr) {
        if (source != nullptr) zip_source_free(source);
        return false;
    }
    zip_source_keep(source);
    bool ok = false;
    QTemporaryFile sheetText(QFileInfo(file).absolutePath() + QStringLiteral("/.heatx-sheet-XXXXXX"));
    const zip_int64_t index = zip_name_locate(zip, "xl/worksheets/sheet1.xml", 0);
    zip_file_t* sheet = index >= 0 ? zip_fopen_index(zip, zip_uint64_t(index), 0) : nullptr;
    if (sheet != nullptr && sheetText.open()) {
        NumberRewriter rewriter;
        char buffer[1 << 16];
        ok = true;
        for (;;) {
            const zip_int64_t n = zip_fread(sheet, buffer, sizeof buffer);
            if (n < 0) ok = false;
            if (n <= 0) break;
            const std::string out = rewriter.Feed(std::string_view(buffer, std::size_t(n)), false);
            ok = ok && sheetText.write(out.data(), qint64(out.size())) == qint64(out.size());
        }
        const std::string rest = rewriter.Feed({}, true);
        ok = ok && sheetText.write(rest.data(), qint64(rest.size())) == qint64(rest.size()) && sheetText.flush();
    }
    if (sheet != nullptr) zip_fclose(sheet);
    if (ok) {
        const QByteArray name = QFile::encodeName(sheetText.fileName());
        zip_source_t* text = zip_source_file(zip, name.constData(), 0, -1);
        ok = text != nullptr && zip_file_replace(zip, zip_uint64_t(index), text, 0) == 0;
        if (!ok && text != nullptr) zip_source_free(text);
    }
    if (ok) {
        ok = zip_close(zip) == 0;
    } else {
        zip_discard(zip);
    }
    QByteArray rebuilt;
    if (ok && zip_source_open(source) == 0) {
        char buffer[1 << 16];
        for (zip_int64_t n; (n = zip_source_read(source, buffer, sizeof buffer)) > 0;) rebuilt.append(buffer, qsizetype(n));
        zip_source_close(source);
    }
    zip_source_free(source);
    if (!ok || rebuilt.isEmpty()) return false;
    return file.seek(0) && file.resize(0) && file.write(rebuilt) == rebuilt.size() && file.flush();
}

QString XlsxWriter::ErrorText() const {
    if (rewriteFailed_) return QStringLiteral("не удаётся записать файл «%1»: не дописываются числа листа").arg(file_.Path());
    if (tooManyRows_)
        return QStringLiteral("не удаётся записать файл «%1»: в листе таблицы не больше 1 048 576 строк")
            .arg(file_.Path());
    if (libraryError_ != 0)
        return QStringLiteral("не удаётся записать файл «%1»: %2")
            .arg(file_.Path(), QString::fromUtf8(lxw_strerror(lxw_error(libraryError_))));
    return file_.ErrorText();
}

}  // namespace heatx::batch
