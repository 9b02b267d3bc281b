// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/sheet_reader.h"

#include "batch/input_reader.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QXmlStreamReader>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>
#include <zip.h>

namespace heatx::batch {

namespace {

constexpr std::int64_t kMaxEntries = 10000;
constexpr std::int64_t kMaxRows = 1048576;       // as many as a spreadsheet has
constexpr std::size_t kMaxColumns = 16384;
constexpr std::size_t kMaxSmallEntry = std::size_t(4) << 20;       // workbook, relations, mimetype
constexpr std::size_t kMaxSharedStrings = std::size_t(64) << 20;   // bytes of the shared strings' XML
constexpr std::size_t kMaxStylesXml = std::size_t(16) << 20;       // bytes of the cell styles' XML
constexpr std::size_t kMaxStyles = 1 << 17;                         // cell styles looked at
constexpr std::uint64_t kMaxSheetXml = std::uint64_t(1) << 30;     // bytes of the sheet's XML
constexpr std::size_t kMaxRowBytes = InputReader::kMaxLineBytes + 1;
constexpr int kMaxDepth = 64;
constexpr std::size_t kChunk = 1 << 16;

QString Damaged(const QString& kind, const QString& why) {
    return QStringLiteral("таблица %1 повреждена: %2").arg(kind, why);
}

bool Is(const QXmlStreamReader& xml, const char* name) { return xml.name() == QLatin1String(name); }

// An attribute by its local name, whatever prefix the writer gave it.
QStringView Attribute(const QXmlStreamReader& xml, const char* name) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == QLatin1String(name)) return a.value();
    return {};
}

// "AB12" -> 27 (columns from 1); 0 when there are no letters or too many.
std::size_t ColumnOf(QStringView ref) {
    std::size_t column = 0;
    for (QChar c : ref) {
        const char16_t u = c.unicode();
        if (u < u'A' || u > u'Z') break;
        column = column * 26 + std::size_t(u - u'A' + 1);
        if (column > kMaxColumns) return 0;
    }
    return column;
}

void AppendCapped(std::string& to, QStringView text) {
    if (to.size() >= kMaxRowBytes) return;
    to += text.toUtf8().toStdString();
    if (to.size() > kMaxRowBytes) to.resize(kMaxRowBytes);
}

// Whether an .xlsx number format shows a date or a time: one of the
// built-in date formats, or a format code with a day, month, year, hour or
// second in it outside its quoted texts, escapes and colour or locale tags.
bool IsBuiltinDateFormat(int id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
}

bool IsDateFormatCode(QStringView code) {
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"') {
            while (++i < code.size() && code[i] != u'"') {}
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            // [h], [mm], [ss]: elapsed time; [Red], [$-419]: no date.
            const qsizetype end = code.indexOf(u']', i);
            if (end < 0) return false;
            const QStringView tag = code.mid(i + 1, end - i - 1);
            if (!tag.isEmpty() && std::all_of(tag.begin(), tag.end(), [](QChar t) {
                    return QStringView(u"hHmMsS").contains(t);
                }))
                return true;
            i = end;
        } else if (QStringView(u"dDmMyYhHsS").contains(c)) {
            return true;
        }
    }
    return false;
}

// A date or time cell as words: a number typed with a point in a Russian
// spreadsheet ("3.5") becomes the 3rd of May there, and neither the day
// number the file keeps nor the date is the number that was meant; the
// variant then names its line with this text.
std::string DateText(const QDate& date, const QTime& time) {
    if (!date.isValid()) return QStringLiteral("время %1").arg(time.toString(QStringLiteral("HH:mm"))).toStdString();
    QString text = QStringLiteral("дата ") + date.toString(QStringLiteral("dd.MM.yyyy"));
    if (time.isValid() && time != QTime(0, 0)) text += QStringLiteral(" в ") + time.toString(QStringLiteral("HH:mm"));
    return text.toStdString();
}

// .xlsx: the day number of the 1900 date system (day 1 is 1 January 1900;
// the spreadsheets count a 29 February 1900 that never was, so later days
// are counted from 30 December 1899).
std::string SerialDateText(const std::string& stored) {
    double v = 0;
    const auto [end, ec] = std::from_chars(stored.data(), stored.data() + stored.size(), v);
    if (ec != std::errc() || end != stored.data() + stored.size() || !(v >= 0 && v < 2958466)) return stored;
    const double days = std::floor(v);
    const QTime time = QTime(0, 0).addSecs(int(std::lround((v - days) * 86400)) % 86400);
    return DateText(days < 1 ? QDate() : QDate(1899, 12, 30).addDays(qint64(days)), time);
}

// .ods and the ISO dates of .xlsx: "2026-05-03" or "2026-05-03T10:30:00".
std::string IsoDateText(const std::string& stored) {
    const QString text = QString::fromStdString(stored);
    const QDateTime at = QDateTime::fromString(text.left(19), Qt::ISODate);
    if (at.isValid()) return DateText(at.date(), at.time());
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() ? DateText(date, QTime()) : stored;
}

}  // namespace

std::string ShortestNumberText(std::string_view stored) {
    std::size_t b = 0, e = stored.size();
    while (b < e && stored[b] == ' ') ++b;
    while (e > b && stored[e - 1] == ' ') --e;
    double v = 0;
    const auto [end, ec] = std::from_chars(stored.data() + b, stored.data() + e, v);
    if (ec != std::errc() || end != stored.data() + e || !std::isfinite(v)) return std::string(stored);
    if (v == 0) return "0";
    char text[64];
    const double a = std::fabs(v);
    const auto format = a >= 1e-7 && a < 1e15 ? std::chars_format::fixed : std::chars_format::scientific;
    const auto r = std::to_chars(text, text + sizeof text, v, format);
    return std::string(text, r.ptr);
}

struct SheetReader::Impl {
    bool ods = false;
    std::string bytes;  // the archive; libzip reads it in place
    zip_t* zip = nullptr;
    zip_file_t* sheet = nullptr;
    QXmlStreamReader xml;
    std::uint64_t inflated = 0;
    bool xmlEnded = false;  // the sheet's rows are over
    QString error;

    std::vector<std::string> shared;  // .xlsx: the shared strings
    std::vector<bool> dateStyles;     // .xlsx: by cell style, whether it shows a date or a time

    // What waits to be handed out: blank lines, then a line repeated.
    std::string out;
    std::size_t outPos = 0;
    std::int64_t blanksLeft = 0;
    std::string line;
    std::int64_t lineRepeats = 0;

    // Where the parse is.
    int depth = 0;
    int skipDepth = 0;         // inside an element whose text is no cell's (annotations, phonetics)
    bool inSheet = false;      // .ods: inside the first table
    bool done = false;         // the first sheet has ended
    std::int64_t rowsWritten = 0;   // lines handed out or queued, blank ones included
    std::int64_t pendingBlank = 0;  // empty rows not yet written: dropped at the end
    std::int64_t rowNumber = 0;     // the current row, from 1
    std::int64_t rowRepeat = 1;
    std::vector<std::string> cells;
    std::size_t rowBytes = 0;
    bool inCell = false;
    std::size_t column = 0;    // of the current cell, from 1
    std::size_t nextColumn = 1;  // .ods: where the next cell starts
    std::size_t cellRepeat = 1;
    QString cellType;
    QString cellStyle;         // .xlsx: the cell's style number
    std::string cellValue;     // .ods: office:value
    std::string cellText;
    bool inValue = false;      // .xlsx: inside <v> or inside <t> of an inline string
    int paragraphs = 0;        // .ods: text:p seen in this cell
    bool inParagraph = false;
    int sheetDepth = 0;        // .ods: the depth of the first table's element
    QString sheetName;

    ~Impl() {
        if (sheet != nullptr) zip_fclose(sheet);
        if (zip != nullptr) zip_discard(zip);
    }

    QString Kind() const { return ods ? QStringLiteral(".ods") : QStringLiteral(".xlsx"); }

    bool Fail(const QString& why) {
        if (error.isEmpty()) error = Damaged(Kind(), why);
        return false;
    }

    // A whole small entry; empty with *found false when there is none.
    bool ReadEntry(const char* name, std::size_t cap, QByteArray& data, bool* found) {
        *found = false;
        const zip_int64_t index = zip_name_locate(zip, name, 0);
        if (index < 0) return true;
        *found = true;
        zip_file_t* f = zip_fopen_index(zip, zip_uint64_t(index), 0);
        if (f == nullptr) return OpenFailed(name);
        char buffer[kChunk];
        bool ok = true;
        for (;;) {
            const zip_int64_t n = zip_fread(f, buffer, sizeof buffer);
            if (n < 0) {
                ok = Fail(QStringLiteral("часть «%1» не распаковывается").arg(QString::fromUtf8(name)));
                break;
            }
            if (n == 0) break;
            if (std::size_t(data.size()) + std::size_t(n) > cap) {
                ok = Fail(QStringLiteral("часть «%1» больше %2 МБ").arg(QString::fromUtf8(name)).arg(cap >> 20));
                break;
            }
            data.append(buffer, qsizetype(n));
        }
        zip_fclose(f);
        return ok;
    }

    bool OpenFailed(const char* name) {
        const int code = zip_error_code_zip(zip_get_error(zip));
        if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP) {
            error = QStringLiteral("таблица %1 защищена паролем — сохраните её без пароля").arg(Kind());
            return false;
        }
        return Fail(QStringLiteral("часть «%1» не открывается").arg(QString::fromUtf8(name)));
    }

    bool XmlFailed(const QXmlStreamReader& x, const char* name) {
        return Fail(QStringLiteral("ошибка XML в «%1», строка %2: %3")
                        .arg(QString::fromUtf8(name)).arg(x.lineNumber()).arg(x.errorString()));
    }

    // .xlsx: the path of the first sheet, by the workbook and its relations.
    bool FirstSheetPath(std::string& path, QString& sheetName) {
        QByteArray workbook, relations;
        bool found = false;
        if (!ReadEntry("xl/workbook.xml", kMaxSmallEntry, workbook, &found)) return false;
        QString id;
        {
            QXmlStreamReader x(workbook);
            while (!x.atEnd() && id.isEmpty()) {
                if (x.readNext() == QXmlStreamReader::StartElement && Is(x, "sheet")) {
                    sheetName = Attribute(x, "name").toString();
                    id = Attribute(x, "id").toString();
                }
            }
            if (x.hasError()) return XmlFailed(x, "xl/workbook.xml");
        }
        path = "xl/worksheets/sheet1.xml";
        if (id.isEmpty()) return true;
        if (!ReadEntry("xl/_rels/workbook.xml.rels", kMaxSmallEntry, relations, &found)) return false;
        QXmlStreamReader x(relations);
        while (!x.atEnd()) {
            if (x.readNext() == QXmlStreamReader::StartElement && Is(x, "Relationship") && Attribute(x, "Id") == id) {
                QString target = Attribute(x, "Target").toString();
                path = target.startsWith(QLatin1Char('/')) ? target.mid(1).toStdString()
                                                           : "xl/" + target.toStdString();
                break;
            }
        }
        if (x.hasError()) return XmlFailed(x, "xl/_rels/workbook.xml.rels");
        return true;
    }

    bool ReadSharedStrings() {
        QByteArray data;
        bool found = false;
        if (!ReadEntry("xl/sharedStrings.xml", kMaxSharedStrings, data, &found) || !found) return error.isEmpty();
        QXmlStreamReader x(data);
        std::string current;
        bool inText = false;
        int phonetic = 0;
        while (!x.atEnd()) {
            switch (x.readNext()) {
            case QXmlStreamReader::StartElement:
                if (Is(x, "si")) current.clear();
                else if (Is(x, "rPh")) ++phonetic;
                else if (Is(x, "t")) inText = phonetic == 0;
                break;
            case QXmlStreamReader::EndElement:
                if (Is(x, "si")) {
                    shared.push_back(current);
                    current.clear();
                } else if (Is(x, "rPh")) {
                    --phonetic;
                } else if (Is(x, "t")) {
                    inText = false;
                }
                break;
            case QXmlStreamReader::Characters:
                if (inText) AppendCapped(current, x.text());
                break;
            default: break;
            }
        }
        if (x.hasError()) return XmlFailed(x, "xl/sharedStrings.xml");
        return true;
    }

    // .xlsx: which cell styles show their number as a date or a time. A
    // styles part that is no XML only loses the dates.
    bool ReadDateStyles() {
        QByteArray data;
        bool found = false;
        if (!ReadEntry("xl/styles.xml", kMaxStylesXml, data, &found) || !found) return error.isEmpty();
        QXmlStreamReader x(data);
        std::map<int, bool> formats;  // the file's own number formats
        bool inCellStyles = false;
        while (!x.atEnd() && dateStyles.size() < kMaxStyles) {
            const QXmlStreamReader::TokenType token = x.readNext();
            if (token == QXmlStreamReader::StartElement) {
                if (Is(x, "numFmt") && formats.size() < kMaxStyles) {
                    formats[Attribute(x, "numFmtId").toInt()] = IsDateFormatCode(Attribute(x, "formatCode"));
                } else if (Is(x, "cellXfs")) {
                    inCellStyles = true;
                } else if (inCellStyles && Is(x, "xf")) {
                    const int id = Attribute(x, "numFmtId").toInt();
                    const auto own = formats.find(id);
                    dateStyles.push_back(own != formats.end() ? own->second : IsBuiltinDateFormat(id));
                }
            } else if (token == QXmlStreamReader::EndElement && Is(x, "cellXfs")) {
                inCellStyles = false;
            }
        }
        if (x.hasError()) dateStyles.clear();
        return true;
    }

    bool IsDateStyle() const {
        bool ok = false;
        const qsizetype style = cellStyle.toLongLong(&ok);
        return ok && style >= 0 && std::size_t(style) < dateStyles.size() && dateStyles[std::size_t(style)];
    }

    bool OpenSheetEntry(const std::string& path) {
        const zip_int64_t index = zip_name_locate(zip, path.c_str(), 0);
        if (index < 0) return Fail(QStringLiteral("нет листа «%1»").arg(QString::fromStdString(path)));
        sheet = zip_fopen_index(zip, zip_uint64_t(index), 0);
        if (sheet == nullptr) return OpenFailed(path.c_str());
        return true;
    }

    // The row's text; an overlong row becomes a line the reader will not hold.
    std::string RowLine() const {
        if (rowBytes >= kMaxRowBytes) return std::string(kMaxRowBytes, 'x');
        std::size_t last = cells.size();
        while (last > 0 && cells[last - 1].empty()) --last;
        std::string text;
        for (std::size_t i = 0; i < last; ++i) {
            if (i > 0) text += ';';
            std::string cell = cells[i];
            std::replace(cell.begin(), cell.end(), '\n', ' ');
            std::replace(cell.begin(), cell.end(), '\r', ' ');
            if (cell.find_first_of(";\"") == std::string::npos) {
                text += cell;
                continue;
            }
            text += '"';
            for (char c : cell) {
                if (c == '"') text += '"';
                text += c;
            }
            text += '"';
        }
        return text;
    }

    void PutCell(std::size_t at, std::string value, std::size_t repeat) {
        for (std::size_t k = 0; k < repeat && at + k <= kMaxColumns; ++k) {
            if (cells.size() < at + k) cells.resize(at + k);
            rowBytes += value.size() + 1;
            if (rowBytes >= kMaxRowBytes) return;
            cells[at + k - 1] = value;
        }
    }

    void StartRow(std::int64_t number, std::int64_t repeat) {
        rowNumber = number;
        rowRepeat = repeat;
        cells.clear();
        rowBytes = 0;
        column = 0;
        nextColumn = 1;
    }

    bool EndRow() {
        const std::string text = RowLine();
        if (text.empty()) {
            pendingBlank += rowRepeat;
            return true;
        }
        if (rowNumber - 1 + rowRepeat > kMaxRows)
            return Fail(QStringLiteral("в листе больше %1 строк").arg(kMaxRows));
        blanksLeft = rowNumber - 1 - rowsWritten;  // rows skipped, empty rows, both
        rowsWritten = rowNumber - 1 + rowRepeat;
        pendingBlank = 0;
        line = text;
        lineRepeats = rowRepeat;
        return true;
    }

    void StartCell() {
        inCell = true;
        cellText.clear();
        cellValue.clear();
        inValue = false;
        paragraphs = 0;
        cellType = Attribute(xml, ods ? "value-type" : "t").toString();
        cellRepeat = 1;
        if (ods) {
            bool ok = false;
            const qint64 r = Attribute(xml, "number-columns-repeated").toLongLong(&ok);
            if (ok && r > 1) cellRepeat = std::size_t(std::min<qint64>(r, qint64(kMaxColumns)));
            cellValue = Attribute(xml, cellType == QLatin1String("date") ? "date-value" : "value").toString().toStdString();
            column = nextColumn;
        } else {
            cellStyle = Attribute(xml, "s").toString();
            const std::size_t at = ColumnOf(Attribute(xml, "r"));
            column = at > 0 ? at : column + 1;
        }
    }

    bool EndCell() {
        inCell = false;
        std::string value;
        if (ods) {
            if (cellType == QLatin1String("float") || cellType == QLatin1String("percentage") ||
                cellType == QLatin1String("currency"))
                value = ShortestNumberText(cellValue);
            else if (cellType == QLatin1String("date"))
                value = IsoDateText(cellValue);
            else if (cellType == QLatin1String("time"))
                value = "время " + cellText;
            else
                value = cellText;
            nextColumn = column + cellRepeat;
            if (!value.empty()) PutCell(column, value, cellRepeat);
            return true;
        }
        if (cellType == QLatin1String("s")) {
            std::size_t index = 0;
            const auto [end, ec] = std::from_chars(cellText.data(), cellText.data() + cellText.size(), index);
            if (ec != std::errc() || end != cellText.data() + cellText.size() || index >= shared.size()) {
                if (!cellText.empty()) return Fail(QStringLiteral("ссылка на строку №%1, которой нет").arg(QString::fromStdString(cellText)));
            } else {
                value = shared[index];
            }
        } else if (cellType.isEmpty() || cellType == QLatin1String("n")) {
            value = IsDateStyle() ? SerialDateText(cellText) : ShortestNumberText(cellText);
        } else if (cellType == QLatin1String("d")) {
            value = IsoDateText(cellText);
        } else {
            value = cellText;
        }
        if (!value.empty() && column >= 1) PutCell(column, std::move(value), 1);
        return true;
    }

    // One token of the sheet; false on an error.
    bool Token(QXmlStreamReader::TokenType token) {
        switch (token) {
        case QXmlStreamReader::StartElement:
            if (++depth > kMaxDepth) return Fail(QStringLiteral("вложенность XML глубже %1").arg(kMaxDepth));
            if (skipDepth > 0) {
                ++skipDepth;
                return true;
            }
            return ods ? StartOds() : StartXlsx();
        case QXmlStreamReader::EndElement:
            --depth;
            if (skipDepth > 0) {
                --skipDepth;
                return true;
            }
            return ods ? EndOds() : EndXlsx();
        case QXmlStreamReader::Characters:
            if (skipDepth == 0 && inCell && (ods ? inParagraph : inValue)) AppendCapped(cellText, xml.text());
            return true;
        default: return true;
        }
    }

    bool StartXlsx() {
        if (Is(xml, "row")) {
            bool ok = false;
            const qint64 r = Attribute(xml, "r").toLongLong(&ok);
            const std::int64_t number = ok && r > rowNumber ? r : rowNumber + 1;
            if (number > kMaxRows) return Fail(QStringLiteral("в листе больше %1 строк").arg(kMaxRows));
            StartRow(number, 1);
        } else if (Is(xml, "c")) {
            StartCell();
        } else if (inCell && (Is(xml, "v") || Is(xml, "t"))) {
            inValue = true;
        } else if (Is(xml, "rPh") || Is(xml, "f")) {
            skipDepth = 1;
        }
        return true;
    }

    bool EndXlsx() {
        if (Is(xml, "row")) return EndRow();
        if (Is(xml, "c")) return EndCell();
        if (Is(xml, "v") || Is(xml, "t")) inValue = false;
        else if (Is(xml, "sheetData")) done = true;
        return true;
    }

    bool StartOds() {
        if (!inSheet) {
            if (Is(xml, "table")) {
                inSheet = true;
                sheetDepth = depth;
                sheetName = Attribute(xml, "name").toString();
            }
            return true;
        }
        if (Is(xml, "table") || Is(xml, "annotation") || Is(xml, "shapes") || Is(xml, "table-columns") ||
            Is(xml, "table-column")) {
            skipDepth = 1;
        } else if (Is(xml, "table-row")) {
            bool ok = false;
            const qint64 r = Attribute(xml, "number-rows-repeated").toLongLong(&ok);
            StartRow(rowNumber + rowRepeat, ok && r > 1 ? std::min<qint64>(r, kMaxRows * 2) : 1);
        } else if (Is(xml, "table-cell") || Is(xml, "covered-table-cell")) {
            StartCell();
        } else if (inCell && Is(xml, "p")) {
            if (paragraphs++ > 0) AppendCapped(cellText, u" ");
            inParagraph = true;
        } else if (inCell && Is(xml, "s")) {
            bool ok = false;
            const qint64 c = Attribute(xml, "c").toLongLong(&ok);
            AppendCapped(cellText, QString(int(std::clamp<qint64>(ok ? c : 1, 1, 1024)), QLatin1Char(' ')));
        } else if (inCell && (Is(xml, "tab") || Is(xml, "line-break"))) {
            AppendCapped(cellText, u" ");
        }
        return true;
    }

    bool EndOds() {
        if (!inSheet) return true;
        if (depth + 1 == sheetDepth) {  // the first table ends
            done = true;
            return true;
        }
        if (Is(xml, "table-row")) return EndRow();
        if (Is(xml, "table-cell") || Is(xml, "covered-table-cell")) return EndCell();
        if (Is(xml, "p")) inParagraph = false;
        return true;
    }

    // Parses until there is something to hand out or the sheet is over (or,
    // with untilSheet, until an .ods file's first table begins).
    bool Pump(bool untilSheet = false) {
        char buffer[kChunk];
        while (!done && blanksLeft == 0 && lineRepeats == 0 && !(untilSheet && inSheet)) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (xml.hasError()) {
                if (xml.error() != QXmlStreamReader::PrematureEndOfDocumentError) return XmlFailed(xml, "лист");
                const zip_int64_t n = zip_fread(sheet, buffer, sizeof buffer);
                if (n < 0) return Fail(QStringLiteral("лист не распаковывается"));
                if (n == 0) return Fail(QStringLiteral("лист обрывается"));
                inflated += std::uint64_t(n);
                if (inflated > kMaxSheetXml) return Fail(QStringLiteral("лист больше %1 МБ").arg(kMaxSheetXml >> 20));
                xml.addData(QByteArray(buffer, qsizetype(n)));
                continue;
            }
            if (token == QXmlStreamReader::EndDocument) {
                done = true;
                break;
            }
            if (!Token(token)) return false;
        }
        return true;
    }
};

bool SheetReader::LooksLikeZip(std::string_view head) { return head.substr(0, 4) == std::string_view("PK\x03\x04", 4); }

std::unique_ptr<SheetReader> SheetReader::Open(std::string bytes, QString* error) {
    auto impl = std::make_unique<Impl>();
    impl->bytes = std::move(bytes);
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(impl->bytes.data(), impl->bytes.size(), 0, &zipError);
    if (source != nullptr) {
        impl->zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zipError);
        if (impl->zip == nullptr) zip_source_free(source);
    }
    zip_error_fini(&zipError);
    if (impl->zip == nullptr) {
        *error = QStringLiteral("zip-архив (так хранятся таблицы .xlsx и .ods) повреждён или записан не до конца");
        return nullptr;
    }
    if (zip_get_num_entries(impl->zip, 0) > kMaxEntries) {
        *error = QStringLiteral("zip-архив из больше чем %1 частей — это не таблица").arg(kMaxEntries);
        return nullptr;
    }
    QByteArray mimetype;
    bool found = false;
    if (!impl->ReadEntry("mimetype", kMaxSmallEntry, mimetype, &found)) {
        *error = impl->error;
        return nullptr;
    }
    std::string path;
    QString sheetName;
    if (found) {
        if (!mimetype.startsWith("application/vnd.oasis.opendocument.spreadsheet")) {
            *error = QStringLiteral("это документ OpenDocument (%1), а не таблица .ods").arg(QString::fromUtf8(mimetype.left(80)));
            return nullptr;
        }
        impl->ods = true;
        path = "content.xml";
    } else if (zip_name_locate(impl->zip, "xl/workbook.xml", 0) >= 0) {
        if (!impl->FirstSheetPath(path, sheetName) || !impl->ReadSharedStrings() || !impl->ReadDateStyles()) {
            *error = impl->error;
            return nullptr;
        }
    } else if (zip_name_locate(impl->zip, "word/document.xml", 0) >= 0) {
        *error = QStringLiteral("это документ Word (.docx), а не таблица");
        return nullptr;
    } else {
        *error = QStringLiteral("это zip-архив, но не таблица .xlsx или .ods");
        return nullptr;
    }
    if (!impl->OpenSheetEntry(path)) {
        *error = impl->error;
        return nullptr;
    }
    if (impl->ods) {
        if (!impl->Pump(true)) {
            *error = impl->error;
            return nullptr;
        }
        sheetName = impl->sheetName;
    }
    std::unique_ptr<SheetReader> reader(new SheetReader(std::move(impl)));
    reader->sheetName_ = sheetName;
    return reader;
}

SheetReader::SheetReader(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
SheetReader::~SheetReader() = default;

QString SheetReader::Kind() const { return impl_->Kind(); }

std::ptrdiff_t SheetReader::Read(char* buffer, std::size_t size) {
    Impl& s = *impl_;
    std::size_t given = 0;
    while (given < size) {
        if (s.outPos < s.out.size()) {
            const std::size_t n = std::min(size - given, s.out.size() - s.outPos);
            std::memcpy(buffer + given, s.out.data() + s.outPos, n);
            s.outPos += n;
            given += n;
            continue;
        }
        s.out.clear();
        s.outPos = 0;
        if (s.blanksLeft > 0) {
            const std::int64_t n = std::min<std::int64_t>(s.blanksLeft, std::int64_t(kChunk));
            s.out.assign(std::size_t(n), '\n');
            s.blanksLeft -= n;
        } else if (s.lineRepeats > 0) {
            s.out = s.line;
            s.out += '\n';
            --s.lineRepeats;
        } else if (s.done) {
            break;
        } else if (!s.Pump()) {
            error_ = s.error;
            return -1;
        }
    }
    return std::ptrdiff_t(given);
}

}  // namespace heatx::batch
