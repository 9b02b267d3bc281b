// SPDX-License-Identifier: GPL-3.0-or-later
// The first sheet of a spreadsheet file (.xlsx or .ods, both zip archives of
// XML) as the text a spreadsheet would save as CSV: UTF-8, one line per sheet
// row (line N is row N), cells separated by semicolons, a cell quoted when it
// holds a semicolon or a quote, empty cells at the end of a row left out.
// Number cells give the shortest text that reads back as the same double;
// text cells their text; formulas their stored value (nothing is computed).
// Memory and time stay bounded on any archive: the sheet is decompressed and
// parsed as it is read, and sizes, entries, depth and cells are capped.
#pragma once

#include <QString>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace heatx::batch {

class SheetReader {
public:
    // The largest spreadsheet file held in memory.
    static constexpr std::size_t kMaxFileBytes = std::size_t(64) << 20;

    // Whether these first bytes are those of a zip archive.
    static bool LooksLikeZip(std::string_view head);

    // The reader of the archive's first sheet; null with *error (a Russian
    // sentence naming what the file is and why it cannot be read).
    static std::unique_ptr<SheetReader> Open(std::string bytes, QString* error);

    ~SheetReader();
    SheetReader(const SheetReader&) = delete;
    SheetReader& operator=(const SheetReader&) = delete;

    // Up to size bytes of the sheet's text; 0 at its end; -1 when the file
    // turns out damaged (then Error() says how).
    std::ptrdiff_t Read(char* buffer, std::size_t size);
    const QString& Error() const { return error_; }

    QString Kind() const;  // ".xlsx" or ".ods"
    const QString& SheetName() const { return sheetName_; }

    struct Impl;

private:
    explicit SheetReader(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
    QString sheetName_;
    QString error_;
};

// The shortest decimal text that reads back as the double a spreadsheet
// stored ("977.862732", not "977.86273200000003"); in plain digits for the
// magnitudes of physical properties, with an exponent far from them. The text
// unchanged when it is not a number.
std::string ShortestNumberText(std::string_view stored);

}  // namespace heatx::batch
