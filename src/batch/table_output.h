// SPDX-License-Identifier: GPL-3.0-or-later
// Where heatx-batch writes: standard output, a file that appears whole, a
// device written in place, or memory; and the results table on top of it, as
// semicolon-separated text with either decimal mark or as a spreadsheet file.
// Every write is checked; the first failure sticks and carries a Russian
// reason naming the output.
#pragma once

#include "platform/safe_output.h"

#include <QString>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace heatx::batch {

// Bytes out. Write() may buffer; Finish() makes the output complete (flushed,
// and for a file on disk under its final name). After a failure every call
// returns false and ErrorText() says what and why.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(const char* data, std::size_t size) = 0;
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }
    virtual bool Finish() = 0;
    // Hands what is buffered to a descriptor written in place, so that a
    // terminal or a pipe sees it now; a file that appears whole still appears
    // only at Finish().
    virtual bool Flush() { return true; }
    virtual QString ErrorText() const = 0;
};

// A descriptor written in place: standard output, a device, a pipe.
class FdSink : public ByteSink {
public:
    // name is how messages call it ("стандартный вывод", "файл «/dev/full»").
    FdSink(int fd, QString name, bool ownsFd = false);
    ~FdSink() override;
    bool Write(const char* data, std::size_t size) override;
    bool Finish() override;
    bool Flush() override;
    QString ErrorText() const override;

private:
    int fd_;
    QString name_;
    bool ownsFd_;
    int error_ = 0;
    std::string buffer_;
};

// A regular file that takes its name only when complete.
class FileSink : public ByteSink {
public:
    bool Open(const QString& path, AtomicFile::Mode mode) { return file_.Open(path, mode); }
    bool Write(const char* data, std::size_t size) override { return file_.Write(data, size); }
    bool Finish() override { return file_.Commit(); }
    QString ErrorText() const override { return file_.ErrorText(); }

private:
    AtomicFile file_;
};

// Memory (tests, fuzzing).
class StringSink : public ByteSink {
public:
    bool Write(const char* data, std::size_t size) override {
        bytes.append(data, size);
        return true;
    }
    bool Finish() override { return true; }
    QString ErrorText() const override { return {}; }
    std::string bytes;
};

// Text for a Russian spreadsheet's CSV import: the UTF-8 written to it goes
// on in Windows-1251 (a character that encoding lacks becomes "?"). Finish()
// finishes the output beneath.
class Windows1251Sink : public ByteSink {
public:
    explicit Windows1251Sink(ByteSink& to);
    ~Windows1251Sink() override;
    bool Write(const char* data, std::size_t size) override;
    bool Finish() override;
    bool Flush() override { return to_.Flush(); }
    QString ErrorText() const override { return to_.ErrorText(); }

private:
    ByteSink& to_;
    void* converter_;   // iconv_t
    std::string carry_;  // a character cut between two writes
};

// Whether a path asks for separated text (.csv, any case).
bool IsCsvPath(const QString& path);

struct OutputTarget {
    QString path;
    bool force = false;   // an existing regular file may be replaced
    QString inputPath;    // never written over (empty: standard input)
};

// Checks a named output before anything is read: not the input, not an
// existing file unless force, not a folder. Empty when it may be written,
// else the Russian reason.
QString CheckOutputTarget(const OutputTarget& target);

// Opens a named output: a device, pipe or socket is written in place, any
// other path through a file that appears whole (replacing an existing one
// only with force). Null with *error set when it cannot be opened.
std::unique_ptr<ByteSink> OpenOutput(const OutputTarget& target, QString* error);

// The 4-byte value with 9 significant digits, C locale (as printf "%.9g"),
// written at out (room for 32 characters); returns the end.
char* WriteNineDigits(char* out, float value);

// A results table, one call per cell, EndRow() after each row.
class TableWriter {
public:
    virtual ~TableWriter() = default;
    virtual void Text(std::string_view text) = 0;
    virtual void Number(float value) = 0;
    virtual void Integer(long long value) = 0;
    virtual void Empty() = 0;
    // False once the output has failed: the caller may stop early.
    virtual bool EndRow() = 0;
    // Everything is written (and a file is on disk under its name).
    virtual bool Finish() = 0;
    // The rows ended so far are handed on now where the output is written in
    // place (standard output, a pipe); false once the output has failed.
    virtual bool Flush() { return true; }
    virtual QString ErrorText() const = 0;
};

// Separated text: cells joined by the separator, a line feed after each row,
// numbers with the given decimal mark, a text holding the separator, a quote
// or a line end quoted as in RFC 4180.
class CsvWriter : public TableWriter {
public:
    explicit CsvWriter(ByteSink& sink, char decimalMark = '.', char separator = ';');
    void Text(std::string_view text) override;
    void Number(float value) override;
    void Integer(long long value) override;
    void Empty() override;
    bool EndRow() override;
    bool Finish() override;
    bool Flush() override;
    QString ErrorText() const override { return sink_.ErrorText(); }

private:
    void Separate();
    ByteSink& sink_;
    char decimalMark_;
    char separator_;
    bool rowStarted_ = false;
    bool failed_ = false;
    std::string buffer_;
};

// Whether a path asks for a spreadsheet file (.xlsx, any case).
bool IsXlsxPath(const QString& path);

// A spreadsheet file: one sheet, text and numeric cells, rows streamed to a
// temporary file, the file taking its name only when complete.
class XlsxWriter : public TableWriter {
public:
    // Null with *error set when the file cannot be created.
    static std::unique_ptr<XlsxWriter> Open(const OutputTarget& target, QString* error);
    ~XlsxWriter() override;
    void Text(std::string_view text) override;
    void Number(float value) override;
    void Integer(long long value) override;
    void Empty() override;
    bool EndRow() override;
    bool Finish() override;
    QString ErrorText() const override;

private:
    XlsxWriter() = default;
    void Check(int error);
    // Rewrites the numbers of the written file's sheet as printed.
    static bool PrintedNumbers(const QByteArray& path);
    AtomicFile file_;
    bool rewriteFailed_ = false;
    void* workbook_ = nullptr;   // lxw_workbook
    void* worksheet_ = nullptr;  // lxw_worksheet
    unsigned row_ = 0;
    unsigned short column_ = 0;
    int libraryError_ = 0;
    bool tooManyRows_ = false;
    std::string cell_;
};

}  // namespace heatx::batch
