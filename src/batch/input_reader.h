// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a teacher's variants file as a stream: what spreadsheets write
// (UTF-8, Windows-1251, UTF-16 with a byte order mark; semicolons, commas or
// tabs; a header row; an id column; LF, CR LF or a lone CR), in bounded
// memory whatever the size of the file or of one line.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace heatx::batch {

class SheetReader;

// Where the bytes come from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to size bytes; 0 at the end; -1 on a read error with errno set.
    virtual std::ptrdiff_t Read(char* buffer, std::size_t size) = 0;
};

// A file descriptor (a file, a pipe, standard input). Does not close it.
class FdSource : public ByteSource {
public:
    explicit FdSource(int fd) : fd_(fd) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override;

private:
    int fd_;
};

// Bytes held in memory (tests, fuzzing, texts given to the library).
class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override;

private:
    std::string_view bytes_;
};

struct ReaderOptions {
    // Encoding name for iconv ("WINDOWS-1251", "UTF-16LE", ...); empty: UTF-8,
    // or UTF-16 by its byte order mark, or Windows-1251 when the text is not
    // valid UTF-8.
    QByteArray encoding;
    // Field separator; 0: a semicolon, unless the first line has none and has
    // tabs (then a tab) or commas (then a comma).
    char separator = 0;
    // A first line in which no field reads as a number is a header: skipped.
    bool detectHeader = true;
    // The first field of each line is the variant's name, not a sheet line.
    bool idColumn = false;
};

// Whether an encoding name is known to the converter.
bool IsKnownEncoding(const QByteArray& name);

// One variant line of the file, its fields split and cleaned.
struct Record {
    enum class Problem {
        None,
        Overlong,    // longer than kMaxLineBytes: not read, no fields
        OpenQuote,   // a quote left open or text after a closing quote
    };
    Problem problem = Problem::None;
    std::int64_t variant = 0;   // 1 for the first variant line, and so on
    std::int64_t line = 0;      // line number in the file, from 1
    std::string_view id;        // with idColumn: the name, as written
    // The fields in UTF-8, quotes removed, each blank that stands between two
    // digits (a thousands separator: blank, no-break or narrow no-break
    // space) taken out; fields beyond expectedFields dropped (a comment
    // column after the last field, empty cells of a spreadsheet).
    std::vector<std::string_view> fields;
};

// Counts of what was read, for the summary at the end.
struct ReadCounts {
    std::int64_t variants = 0;
    std::int64_t headerLines = 0;   // titles and headers: lines without numbers before the first variant
    std::int64_t commentLines = 0;  // lines beginning with # (quoted or not)
    std::int64_t blankLines = 0;    // empty lines and rows of empty cells
};

class InputReader {
public:
    // Lines longer than this are not held in memory: their row is `fields`.
    static constexpr std::size_t kMaxLineBytes = 1 << 20;

    // note receives a Russian sentence for standard error each time the reader
    // decides something the user should know (the encoding, the separator,
    // a skipped header). expectedFields: the fields a row of the apparatus
    // has (the id not counted), for dropping trailing empty fields.
    InputReader(ByteSource& source, ReaderOptions options, int expectedFields,
                std::function<void(const QString&)> note = {});
    ~InputReader();
    InputReader(const InputReader&) = delete;
    InputReader& operator=(const InputReader&) = delete;

    // The next variant line; false at the end of the input or when reading
    // stopped on an error (then Error() is not empty). The views in record
    // stay valid until the next call.
    bool Next(Record& record);

    // Why reading stopped early: a read error, or a zero byte (the input is
    // not text). Empty after a clean end.
    const QString& Error() const { return error_; }
    const ReadCounts& Counts() const { return counts_; }

private:
    enum class Mode { Undecided, Utf8, Convert };

    bool Fill();
    // The first bytes decide: a spreadsheet (a zip archive) is read through a
    // SheetReader, files that are no table are refused, the rest is text.
    bool Sniff();
    bool OpenSheet(std::size_t have);
    bool Decode(const char* data, std::size_t size, bool atEnd);
    bool Convert(const char* data, std::size_t size, bool atEnd);
    bool StartConverter(const QByteArray& from);
    bool NextLine(std::string_view& line, bool& overlong);
    void Split(std::string_view line, Record& record);
    // A quoted field from line[i], its opening quote, to the separator after
    // its closing quote; false when the quote is left open or text follows it.
    bool QuotedField(std::string_view line, std::size_t& i, bool isId, std::string_view& field);
    // An unquoted field from line[i] to the next separator.
    std::string_view PlainField(std::string_view line, std::size_t& i, bool isId);
    bool IsHeader(const Record& record) const;
    // Cells beyond the apparatus' fields (a comment column) are dropped; the
    // first such row is told.
    void DropExtraColumns(Record& record);
    // A line of UTF-8 input with bytes that are not UTF-8: each such byte
    // becomes U+FFFD (the line then views repaired_), and the first such
    // line is told.
    void RepairUtf8(std::string_view& line);
    bool Stop(const QString& error);
    void SetSeparator(char separator);

    ByteSource& source_;
    std::unique_ptr<SheetReader> sheet_;
    bool sniffed_ = false;
    bool extraTold_ = false;
    ReaderOptions options_;
    int expectedFields_;
    std::function<void(const QString&)> note_;

    Mode mode_ = Mode::Undecided;
    void* converter_ = nullptr;  // iconv_t
    std::string carry_;          // bytes of a character split between two reads
    bool started_ = false;       // the byte order mark has been looked at
    bool atEnd_ = false;
    std::unique_ptr<char[]> raw_;
    std::string text_;           // decoded UTF-8 not yet split into lines
    std::size_t pos_ = 0;        // first byte of text_ not yet returned
    std::size_t scan_ = 0;       // bytes before this hold no line end
    int unitSize_ = 1;           // bytes per code unit of the converted encoding
    bool bomChecked_ = false;
    bool skipLineFeed_ = false;  // a CR ended the last line: a LF right after belongs to it
    bool skipping_ = false;      // inside an overlong line
    std::int64_t lineNumber_ = 0;
    bool firstLineSeen_ = false;
    bool dataSeen_ = false;      // a variant line has been read: no more headers
    char separator_ = ';';
    // What each byte may be inside an unquoted field.
    static constexpr unsigned char kSeparatorByte = 1;
    static constexpr unsigned char kBlankByte = 2;
    std::array<unsigned char, 256> byteKind_{};
    std::string fieldBytes_;
    std::string repaired_;
    bool repairTold_ = false;
    ReadCounts counts_;
    QString error_;
};

}  // namespace heatx::batch
