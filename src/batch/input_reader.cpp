// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/input_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <unistd.h>

#include "batch/sheet_reader.h"
#include "platform/safe_output.h"

namespace heatx::batch {

namespace {

constexpr std::size_t kReadSize = 1 << 18;
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

iconv_t Handle(void* converter) { return static_cast<iconv_t>(converter); }

// Bytes of a valid UTF-8 sequence starting at p (1-4), 0 when invalid, -1
// when the text ends inside a sequence that is valid so far.
int Utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char c = *p;
    if (c < 0x80) return 1;
    int length;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        if (p + k >= end) return -1;
        const unsigned char b = p[k];
        if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return 0;
    }
    return length;
}

// True when every sequence from p on is valid UTF-8; a sequence cut by the
// end of the bytes counts as valid unless the input ends there.
bool ValidUtf8(const unsigned char* p, const unsigned char* end, bool atEnd) {
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int length = Utf8SequenceLength(p, end);
        if (length == 0) return false;
        if (length < 0) return !atEnd;
        p += length;
    }
    return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of a thousands blank at p: a blank, a no-break space or a narrow
// no-break space (as Russian spreadsheets write 2 171 000); 0 for others.
std::size_t BlankLength(const char* p, const char* end) {
    if (*p == ' ') return 1;
    if (end - p >= 2 && p[0] == '\xC2' && p[1] == '\xA0') return 2;
    if (end - p >= 3 && p[0] == '\xE2' && p[1] == '\x80' && p[2] == '\xAF') return 3;
    return 0;
}

// Takes out, in place, each blank that stands between two digits. Returns the
// new length.
std::size_t RemoveThousandsBlanks(char* field, std::size_t size) {
    const char* end = field + size;
    std::size_t out = 0;
    for (const char* p = field; p < end;) {
        const std::size_t blank = BlankLength(p, end);
        if (blank > 0 && out > 0 && IsDigit(field[out - 1]) && p + blank < end && IsDigit(p[blank])) {
            p += blank;
            continue;
        }
        field[out++] = *p++;
    }
    return out;
}

bool MayHoldThousandsBlank(std::string_view field) {
    for (char c : field)
        if (c == ' ' || c == '\xC2' || c == '\xE2') return true;
    return false;
}

// Whether the field begins, after blanks, with a number a student could have
// typed (the first comma standing for a point).
bool ReadsAsNumber(std::string_view f) {
    std::size_t i = 0;
    while (i < f.size() && (f[i] == ' ' || f[i] == '\t' || f[i] == '\n' || f[i] == '\r')) ++i;
    if (i < f.size() && (f[i] == '+' || f[i] == '-')) ++i;
    if (i < f.size() && IsDigit(f[i])) return true;
    return i + 1 < f.size() && (f[i] == '.' || f[i] == ',') && IsDigit(f[i + 1]);
}

// A line that holds nothing but blanks (any Unicode white space, as a text
// editor sees it) is skipped like an empty one.
bool IsBlankLine(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c == ' ' || (c >= '\t' && c <= '\r')) continue;
        if (c < 0x80) return false;
        return QString::fromUtf8(line.data() + i, qsizetype(line.size() - i)).trimmed().isEmpty();
    }
    return true;
}

QByteArray CanonicalName(const QByteArray& name) {
    QByteArray n = name.toUpper();
    n.replace('-', QByteArray()).replace('_', QByteArray());
    return n;
}

int UnitSize(const QByteArray& name) {
    const QByteArray n = CanonicalName(name);
    if (n.startsWith("UTF16") || n.startsWith("UCS2")) return 2;
    if (n.startsWith("UTF32") || n.startsWith("UCS4")) return 4;
    return 1;
}

QString SeparatorName(char c) {
    switch (c) {
    case ',': return QStringLiteral("запятая");
    case '\t': return QStringLiteral("табуляция");
    default: return QStringLiteral("точка с запятой");
    }
}

}  // namespace

std::ptrdiff_t FdSource::Read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

std::ptrdiff_t MemorySource::Read(char* buffer, std::size_t size) {
    const std::size_t n = std::min(size, bytes_.size());
    std::memcpy(buffer, bytes_.data(), n);
    bytes_.remove_prefix(n);
    return std::ptrdiff_t(n);
}

bool IsKnownEncoding(const QByteArray& name) {
    if (name.isEmpty()) return false;
    const iconv_t cd = iconv_open("UTF-8", name.constData());
    if (cd == iconv_t(-1)) return false;
    iconv_close(cd);
    return true;
}

InputReader::InputReader(ByteSource& source, ReaderOptions options, int expectedFields,
                         std::function<void(const QString&)> note)
    : source_(source), options_(std::move(options)), expectedFields_(expectedFields), note_(std::move(note)) {
    SetSeparator(options_.separator != 0 ? options_.separator : ';');
    raw_.reset(new char[kReadSize]);
}

InputReader::~InputReader() {
    if (converter_ != nullptr) iconv_close(Handle(converter_));
}

void InputReader::SetSeparator(char separator) {
    separator_ = separator;
    byteKind_.fill(0);
    for (unsigned char c : {0x20, 0xC2, 0xE2}) byteKind_[c] = kBlankByte;  // the bytes a thousands blank starts with
    byteKind_[static_cast<unsigned char>(separator)] = kSeparatorByte;
}

bool InputReader::Stop(const QString& error) {
    if (error_.isEmpty()) error_ = error;
    atEnd_ = true;
    text_.clear();
    pos_ = scan_ = 0;
    return false;
}

bool InputReader::StartConverter(const QByteArray& from) {
    const iconv_t cd = iconv_open("UTF-8", from.constData());
    if (cd == iconv_t(-1))
        return Stop(QStringLiteral("кодировка «%1» не известна").arg(QString::fromLatin1(from)));
    converter_ = cd;
    unitSize_ = UnitSize(from);
    mode_ = Mode::Convert;
    return true;
}

bool InputReader::Convert(const char* data, std::size_t size, bool atEnd) {
    std::string joined;
    if (!carry_.empty()) {
        joined = std::move(carry_);
        carry_.clear();
        joined.append(data, size);
        data = joined.data();
        size = joined.size();
    }
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    char out[1 << 16];
    while (inLeft > 0) {
        char* outPtr = out;
        std::size_t outLeft = sizeof out;
        const std::size_t r = iconv(Handle(converter_), &in, &inLeft, &outPtr, &outLeft);
        text_.append(out, std::size_t(outPtr - out));
        if (r != std::size_t(-1)) break;
        if (errno == E2BIG) continue;
        if (errno == EILSEQ) {  // a byte the encoding has no character for
            text_.append(kReplacement);
            const std::size_t skip = std::min<std::size_t>(inLeft, std::size_t(unitSize_));
            in += skip;
            inLeft -= skip;
            continue;
        }
        // EINVAL: a character cut by the end of this read
        if (atEnd) text_.append(kReplacement);
        else carry_.assign(in, inLeft);
        break;
    }
    return true;
}

bool InputReader::Decode(const char* data, std::size_t size, bool atEnd) {
    if (!started_) {
        carry_.append(data, size);
        if (carry_.size() < 4 && !atEnd) return true;
        started_ = true;
        std::string first = std::move(carry_);
        carry_.clear();
        std::size_t skip = 0;
        const auto starts = [&first](const char* bom) { return first.compare(0, std::strlen(bom), bom) == 0; };
        if (!options_.encoding.isEmpty()) {
            const QByteArray name = CanonicalName(options_.encoding);
            if (name == "UTF8") {
                mode_ = Mode::Utf8;
            } else if (!StartConverter(options_.encoding)) {
                return false;
            }
        } else if (starts("\xEF\xBB\xBF")) {
            mode_ = Mode::Utf8;
        } else if (starts("\xFF\xFE")) {
            skip = 2;
            if (!StartConverter("UTF-16LE")) return false;
        } else if (starts("\xFE\xFF")) {
            skip = 2;
            if (!StartConverter("UTF-16BE")) return false;
        }
        return Decode(first.data() + skip, first.size() - skip, atEnd);
    }
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const auto* end = p + size;
    if (mode_ == Mode::Undecided) {
        // ASCII reads the same in every encoding a spreadsheet writes; the
        // first other byte decides, together with the rest of this read.
        const auto* q = p;
        while (q < end && *q < 0x80) ++q;
        if (q < end) {
            if (ValidUtf8(q, end, atEnd)) {
                mode_ = Mode::Utf8;
            } else {
                if (note_) note_(QStringLiteral("текст не в UTF-8 — читается как Windows-1251"));
                if (!StartConverter("WINDOWS-1251")) return false;
            }
        }
    }
    if (mode_ == Mode::Convert) {
        if (size > 0 || atEnd) Convert(data, size, atEnd);
    } else {
        text_.append(data, size);
    }
    if (!bomChecked_ && (text_.size() >= 3 || atEnd)) {
        bomChecked_ = true;
        if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) text_.erase(0, 3);  // byte order mark of some editors
    }
    return true;
}

bool InputReader::Fill() {
    if (atEnd_) return false;
    if (pos_ > 0) {
        text_.erase(0, pos_);
        scan_ -= pos_;
        pos_ = 0;
    }
    if (!sniffed_) return Sniff();
    const std::ptrdiff_t n = sheet_ ? sheet_->Read(raw_.get(), kReadSize) : source_.Read(raw_.get(), kReadSize);
    if (n < 0) return Stop(sheet_ ? sheet_->Error() : QStringLiteral("ошибка чтения: %1").arg(SystemErrorText(errno)));
    if (n == 0) {
        atEnd_ = true;
        return Decode(nullptr, 0, true);
    }
    return Decode(raw_.get(), std::size_t(n), false);
}

bool InputReader::Sniff() {
    sniffed_ = true;
    constexpr std::size_t kHead = 8;
    std::size_t have = 0;
    while (have < kHead) {
        const std::ptrdiff_t n = source_.Read(raw_.get() + have, kHead - have);
        if (n < 0) return Stop(QStringLiteral("ошибка чтения: %1").arg(SystemErrorText(errno)));
        if (n == 0) break;
        have += std::size_t(n);
    }
    const std::string_view head(raw_.get(), have);
    if (SheetReader::LooksLikeZip(head)) return OpenSheet(have);
    if (head == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return Stop(QStringLiteral("это таблица в старом формате .xls (или защищённая паролем) — "
                                   "сохраните её как .xlsx, .ods или CSV"));
    if (head.substr(0, 5) == "%PDF-") return Stop(QStringLiteral("это PDF, а не таблица"));
    if (have < kHead) atEnd_ = true;
    return Decode(raw_.get(), have, atEnd_);
}

bool InputReader::OpenSheet(std::size_t have) {
    std::string bytes(raw_.get(), have);
    for (;;) {
        const std::ptrdiff_t n = source_.Read(raw_.get(), kReadSize);
        if (n < 0) return Stop(QStringLiteral("ошибка чтения: %1").arg(SystemErrorText(errno)));
        if (n == 0) break;
        if (bytes.size() + std::size_t(n) > SheetReader::kMaxFileBytes)
            return Stop(QStringLiteral("таблица больше %1 МБ — это не файл вариантов").arg(SheetReader::kMaxFileBytes >> 20));
        bytes.append(raw_.get(), std::size_t(n));
    }
    QString error;
    sheet_ = SheetReader::Open(std::move(bytes), &error);
    if (!sheet_) return Stop(error);
    // The sheet's text is UTF-8 with semicolons, whatever the options say.
    started_ = bomChecked_ = true;
    mode_ = Mode::Utf8;
    options_.separator = ';';
    SetSeparator(';');
    if (note_) {
        note_(sheet_->SheetName().isEmpty()
                  ? QStringLiteral("таблица %1: читается её первый лист").arg(sheet_->Kind())
                  : QStringLiteral("таблица %1: читается её первый лист «%2»").arg(sheet_->Kind(), sheet_->SheetName()));
    }
    return true;
}

bool InputReader::NextLine(std::string_view& line, bool& overlong) {
    for (;;) {
        if (skipLineFeed_ && pos_ < text_.size()) {
            if (text_[pos_] == '\n') {
                ++pos_;
                if (scan_ < pos_) scan_ = pos_;
            }
            skipLineFeed_ = false;
        }
        const char* b = text_.data();
        const std::size_t end = text_.size();
        std::size_t k = scan_ < pos_ ? pos_ : scan_;
        // Eight bytes at a time while none is below 14 (no line end, no zero
        // byte can be among them), then byte by byte.
        for (std::uint64_t w; k + 8 <= end; k += 8) {
            std::memcpy(&w, b + k, 8);
            if (((w - 0x0E0E0E0E0E0E0E0Eull) & ~w & 0x8080808080808080ull) != 0) break;
        }
        for (; k < end; ++k) {
            const unsigned char c = static_cast<unsigned char>(b[k]);
            if (c <= '\r' && (c == '\n' || c == '\r' || c == 0)) break;
        }
        if (k < end) {
            if (b[k] == 0)
                return Stop(QStringLiteral("в строке %1 нулевой байт: это не текст (двоичный файл или UTF-16 "
                                           "без метки порядка байтов — тогда укажите --encoding UTF-16LE); "
                                           "чтение остановлено")
                                .arg(lineNumber_ + 1));
            overlong = skipping_;
            line = skipping_ ? std::string_view() : std::string_view(b + pos_, k - pos_);
            skipping_ = false;
            skipLineFeed_ = b[k] == '\r';
            ++lineNumber_;
            pos_ = scan_ = k + 1;
            return true;
        }
        scan_ = end;
        if (skipping_ || end - pos_ > kMaxLineBytes) {
            // An overlong line is not kept: its bytes go as they come.
            skipping_ = true;
            text_.clear();
            pos_ = scan_ = 0;
        }
        if (atEnd_) {
            if (!error_.isEmpty()) return false;
            if (pos_ < text_.size() || skipping_) {
                overlong = skipping_;
                line = skipping_ ? std::string_view() : std::string_view(text_.data() + pos_, text_.size() - pos_);
                skipping_ = false;
                ++lineNumber_;
                pos_ = scan_ = text_.size();
                return true;
            }
            return false;
        }
        if (!Fill() && !error_.isEmpty()) return false;
    }
}

bool InputReader::QuotedField(std::string_view line, std::size_t& i, bool isId, std::string_view& field) {
    // Quoted as in RFC 4180: "" inside quotes is one quote.
    const char* const data = line.data();
    const std::size_t n = line.size();
    const std::size_t start = fieldBytes_.size();
    ++i;
    bool closed = false;
    while (i < n) {
        if (data[i] == '"') {
            if (i + 1 < n && data[i + 1] == '"') {
                fieldBytes_ += '"';
                i += 2;
                continue;
            }
            ++i;
            closed = true;
            break;
        }
        fieldBytes_ += data[i++];
    }
    if (!closed || (i < n && data[i] != separator_)) return false;
    std::size_t size = fieldBytes_.size() - start;
    if (!isId && MayHoldThousandsBlank(std::string_view(fieldBytes_.data() + start, size))) {
        size = RemoveThousandsBlanks(fieldBytes_.data() + start, size);
        fieldBytes_.resize(start + size);
    }
    field = std::string_view(fieldBytes_.data() + start, size);
    return true;
}

std::string_view InputReader::PlainField(std::string_view line, std::size_t& i, bool isId) {
    const char* const data = line.data();
    const std::size_t n = line.size();
    const std::size_t start = i;
    bool blank = false;
    for (; i < n; ++i) {
        const unsigned char kind = byteKind_[static_cast<unsigned char>(data[i])];
        if (kind == kSeparatorByte) break;
        blank |= kind == kBlankByte;
    }
    std::string_view field(data + start, i - start);
    if (blank && !isId) {
        const std::size_t at = fieldBytes_.size();
        fieldBytes_.append(field);
        const std::size_t size = RemoveThousandsBlanks(fieldBytes_.data() + at, field.size());
        fieldBytes_.resize(at + size);
        field = std::string_view(fieldBytes_.data() + at, size);
    }
    return field;
}

void InputReader::Split(std::string_view line, Record& record) {
    // A field that needs no change is a view into the line; a quoted one or
    // one with a thousands blank is rebuilt in fieldBytes_, which never
    // grows beyond the line and so never moves while views into it exist.
    fieldBytes_.clear();
    fieldBytes_.reserve(line.size());
    auto& fields = record.fields;
    const std::size_t n = line.size();
    std::size_t i = 0;
    for (int index = 0;; ++index) {
        const bool isId = options_.idColumn && index == 0;
        std::string_view field;
        if (i < n && line[i] == '"') {
            if (!QuotedField(line, i, isId, field)) {
                record.problem = Record::Problem::OpenQuote;
                fields.clear();
                record.id = {};
                return;
            }
        } else {
            field = PlainField(line, i, isId);
        }
        if (isId) {
            while (!field.empty() && (field.front() == ' ' || field.front() == '\t')) field.remove_prefix(1);
            while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
            record.id = field;
        } else {
            fields.push_back(field);
        }
        if (i >= n) break;
        ++i;  // the separator
    }
    // Spreadsheets write empty cells after the last column.
    while (fields.size() > std::size_t(expectedFields_) && fields.back().empty()) fields.pop_back();
}

bool InputReader::IsHeader(const Record& record) const {
    for (std::string_view f : record.fields)
        if (ReadsAsNumber(f)) return false;
    return true;
}

void InputReader::DropExtraColumns(Record& record) {
    if (record.fields.size() <= std::size_t(expectedFields_)) return;
    if (!extraTold_ && note_) {
        const int id = options_.idColumn ? 1 : 0;
        note_(QStringLiteral("строка %1: столбцов %2, а вариант занимает %3 — столбцы правее %3-го "
                             "(комментарии) не читаются, и в других строках тоже")
                  .arg(record.line)
                  .arg(record.fields.size() + std::size_t(id))
                  .arg(expectedFields_ + id));
    }
    extraTold_ = true;
    record.fields.resize(std::size_t(expectedFields_));
}

void InputReader::RepairUtf8(std::string_view& line) {
    if (mode_ == Mode::Convert) return;  // iconv writes valid UTF-8
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    const auto* end = p + line.size();
    for (std::uint64_t w; end - p >= 8 && (std::memcpy(&w, p, 8), (w & 0x8080808080808080ull) == 0);) p += 8;
    if (ValidUtf8(p, end, true)) return;
    repaired_.assign(line.data(), std::size_t(p - reinterpret_cast<const unsigned char*>(line.data())));
    while (p < end) {
        const int length = Utf8SequenceLength(p, end);
        if (length > 0) repaired_.append(reinterpret_cast<const char*>(p), std::size_t(length));
        else repaired_.append(kReplacement);
        p += length > 0 ? length : 1;
    }
    line = repaired_;
    if (!repairTold_ && note_)
        note_(QStringLiteral("строка %1: дальше текст не в UTF-8 — неверные байты заменены знаком «\uFFFD»")
                  .arg(lineNumber_));
    repairTold_ = true;
}

bool InputReader::Next(Record& record) {
    for (;;) {
        std::string_view line;
        bool overlong = false;
        if (!NextLine(line, overlong)) return false;
        if (!overlong) {
            RepairUtf8(line);
            if (IsBlankLine(line)) {
                ++counts_.blankLines;
                continue;
            }
            if (line.front() == '#' || (line.size() > 1 && line[0] == '"' && line[1] == '#')) {
                ++counts_.commentLines;
                continue;
            }
        }
        record.problem = overlong ? Record::Problem::Overlong : Record::Problem::None;
        record.line = lineNumber_;
        record.id = {};
        record.fields.clear();
        if (!overlong) {
            if (!firstLineSeen_ && options_.separator == 0) {
                std::size_t semicolons = 0, commas = 0, tabs = 0;
                for (char c : line) {
                    semicolons += c == ';';
                    commas += c == ',';
                    tabs += c == '\t';
                }
                if (semicolons == 0 && (tabs > 0 || commas > 0)) {
                    SetSeparator(tabs > 0 ? '\t' : ',');
                    if (note_)
                        note_(QStringLiteral("в первой строке нет точек с запятой: поля разделяет %1")
                                  .arg(SeparatorName(separator_)));
                }
            }
            firstLineSeen_ = true;
            Split(line, record);
            if (record.problem == Record::Problem::None && record.id.empty() &&
                std::all_of(record.fields.begin(), record.fields.end(), [](std::string_view f) { return IsBlankLine(f); })) {
                ++counts_.blankLines;  // a spreadsheet's empty row: ;;;;;
                continue;
            }
            if (!dataSeen_ && options_.detectHeader && record.problem == Record::Problem::None && IsHeader(record)) {
                // Titles above the table, a header of one line or of two
                // (names, then units).
                if (note_ && counts_.headerLines < 3)
                    note_(QStringLiteral("строка %1 — заголовок (в ней нет чисел), пропущена; "
                                         "--no-header читает её как вариант")
                              .arg(lineNumber_));
                else if (note_ && counts_.headerLines == 3)
                    note_(QStringLiteral("и дальше строки без чисел до первого варианта пропускаются как заголовок"));
                ++counts_.headerLines;
                continue;
            }
            DropExtraColumns(record);
        }
        firstLineSeen_ = true;
        dataSeen_ = true;
        record.variant = ++counts_.variants;
        return true;
    }
}

}  // namespace heatx::batch
