// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch in-process: reading what spreadsheets write, byte by byte as well
// as whole; the numbers of the byte path against the input boxes' path; the
// table's number texts against printf.
#include "batch/result_table.h"
#include "batch/row_runner.h"
#include "batch/table_command.h"
#include "batch/input_reader.h"
#include "batch/sheet_reader.h"
#include "sheet_files.h"
#include "batch/table_output.h"
#include "state/calc_state.h"
#include "text/text_format.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QString>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

using namespace heatx;
using namespace heatx::batch;

namespace {

// Hands the bytes out a few at a time, so that every boundary (inside a CR LF,
// a UTF-8 sequence, a UTF-16 unit, the byte order mark) falls between reads.
class TrickleSource : public ByteSource {
public:
    TrickleSource(std::string_view bytes, std::size_t step) : bytes_(bytes), step_(step) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, step_, bytes_.size()});
        std::memcpy(buffer, bytes_.data(), n);
        bytes_.remove_prefix(n);
        return std::ptrdiff_t(n);
    }

private:
    std::string_view bytes_;
    std::size_t step_;
};

struct Read {
    std::vector<std::vector<std::string>> rows;  // id (with idColumn) then fields; "<overlong>" etc.
    std::vector<std::int64_t> lines;
    QStringList notes;
    QString error;
    ReadCounts counts;
};

Read ReadAll(ByteSource& source, ReaderOptions options = {}, int expected = 16) {
    Read r;
    InputReader reader(source, options, expected, [&r](const QString& note) { r.notes.append(note); });
    Record record;
    while (reader.Next(record)) {
        std::vector<std::string> row;
        if (record.problem == Record::Problem::Overlong) row.push_back("<overlong>");
        if (record.problem == Record::Problem::OpenQuote) row.push_back("<quote>");
        if (options.idColumn) row.emplace_back(record.id);
        for (std::string_view f : record.fields) row.emplace_back(f);
        r.rows.push_back(row);
        r.lines.push_back(record.line);
    }
    r.error = reader.Error();
    r.counts = reader.Counts();
    return r;
}

Read ReadBytes(std::string_view bytes, ReaderOptions options = {}, int expected = 16) {
    MemorySource source(bytes);
    Read whole = ReadAll(source, options, expected);
    // The same bytes in pieces of 1, 2, 3 and 7 give the same reading.
    for (std::size_t step : {1, 2, 3, 7}) {
        TrickleSource trickle(bytes, step);
        const Read pieces = ReadAll(trickle, options, expected);
        EXPECT_EQ(pieces.rows, whole.rows) << "pieces of " << step;
        EXPECT_EQ(pieces.notes, whole.notes) << "pieces of " << step;
        EXPECT_EQ(pieces.error, whole.error) << "pieces of " << step;
    }
    return whole;
}

using Rows = std::vector<std::vector<std::string>>;

std::string Utf16(const QString& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

}  // namespace

TEST(InputReader, LineEndsOfEveryKind) {
    const Read r = ReadBytes("1;b\r\n2;d\r3;f\n4;h\r\r\n5", {}, 2);
    EXPECT_EQ(r.rows, (Rows{{"1", "b"}, {"2", "d"}, {"3", "f"}, {"4", "h"}, {"5"}}));
    EXPECT_EQ(r.lines, (std::vector<std::int64_t>{1, 2, 3, 4, 6}));  // CR CR LF: an empty line 5
    EXPECT_EQ(r.counts.blankLines, 1);
    EXPECT_TRUE(r.error.isEmpty());
}

TEST(InputReader, EncodingsSpreadsheetsWrite) {
    // Windows-1251 with CR LF: "Г" is 0xC3; the note comes once.
    const Read cp = ReadBytes("1;\xC3\r\n2;\xE2\xE5\xF0\r\n", {}, 2);
    EXPECT_EQ(cp.rows, (Rows{{"1", "Г"}, {"2", "вер"}}));
    ASSERT_EQ(cp.notes.size(), 1);
    EXPECT_TRUE(cp.notes[0].contains(QStringLiteral("Windows-1251")));

    // Valid UTF-8, with and without a byte order mark: no note.
    const Read utf8 = ReadBytes("\xEF\xBB\xBF" "1;Г\n", {}, 2);
    EXPECT_EQ(utf8.rows, (Rows{{"1", "Г"}}));
    EXPECT_TRUE(utf8.notes.isEmpty());

    // UTF-16 either way round, by the byte order mark.
    for (bool big : {false, true}) {
        const std::string bytes = Utf16(QStringLiteral("1;Г\r\n2;В\r\n"), big);
        EXPECT_EQ(ReadBytes(bytes, {}, 2).rows, (Rows{{"1", "Г"}, {"2", "В"}})) << big;
    }

    // Named: KOI8-R, where "Г" is 0xE7.
    ReaderOptions koi;
    koi.encoding = "KOI8-R";
    EXPECT_EQ(ReadBytes("1;\xE7\n", koi, 2).rows, (Rows{{"1", "Г"}}));
    EXPECT_TRUE(IsKnownEncoding("windows-1251"));
    EXPECT_FALSE(IsKnownEncoding("NO-SUCH-ENCODING"));
}

TEST(InputReader, BytesThatStopBeingUtf8LateAreReplacedAndToldOnce) {
    // Valid UTF-8 for more than one read, then a Windows-1251 "Г" and a cut
    // sequence: the fields stay UTF-8, one note names the first such line.
    std::string bytes = "1;Г\n";
    const int filler = 80000;  // 320 KB: beyond the first read
    for (int i = 0; i < filler; ++i) bytes += "2;x\n";
    bytes += "3;\xC3\n4;\xD0\n";
    MemorySource source(bytes);
    const Read r = ReadAll(source, {}, 2);
    ASSERT_EQ(r.rows.size(), std::size_t(filler + 3));
    EXPECT_EQ(r.rows[filler + 1], (std::vector<std::string>{"3", "\xEF\xBF\xBD"}));
    EXPECT_EQ(r.rows[filler + 2], (std::vector<std::string>{"4", "\xEF\xBF\xBD"}));
    ASSERT_EQ(r.notes.size(), 1) << r.notes.join('|').toStdString();
    EXPECT_TRUE(r.notes[0].startsWith(QStringLiteral("строка %1: ").arg(filler + 2))) << r.notes[0].toStdString();
}

TEST(InputReader, SpreadsheetShapes) {
    // A header (no field reads as a number) is skipped and said; --no-header keeps it.
    const Read header = ReadBytes("λ;плотность;тип\n0,686;932;Г\n", {}, 3);
    EXPECT_EQ(header.rows, (Rows{{"0,686", "932", "Г"}}));
    EXPECT_EQ(header.counts.headerLines, 1);
    EXPECT_EQ(header.lines, (std::vector<std::int64_t>{2}));
    EXPECT_EQ(header.notes.size(), 1);
    ReaderOptions noHeader;
    noHeader.detectHeader = false;
    EXPECT_EQ(ReadBytes("a;b\n1;2\n", noHeader, 2).rows, (Rows{{"a", "b"}, {"1", "2"}}));
    // A first line with a number is data; a row of empty cells is an empty line.
    const Read empty = ReadBytes(";;\n ; \n", {}, 3);
    EXPECT_TRUE(empty.rows.empty());
    EXPECT_EQ(empty.counts.blankLines, 2);
    EXPECT_EQ(ReadBytes("x;,5\n", {}, 2).rows, (Rows{{"x", ",5"}}));

    // Cells after the last field go; missing ones do not appear.
    EXPECT_EQ(ReadBytes("1;2;;;\n1;;\n1;2;3;;\n", {}, 2).rows, (Rows{{"1", "2"}, {"1", ""}, {"1", "2"}}));

    // A comma-separated export is recognised by its first line and said.
    const Read commas = ReadBytes("0.686,932,\"0,5\",Г\n1,2,3,4\n", {}, 4);
    EXPECT_EQ(commas.rows, (Rows{{"0.686", "932", "0,5", "Г"}, {"1", "2", "3", "4"}}));
    ASSERT_EQ(commas.notes.size(), 1);
    EXPECT_TRUE(commas.notes[0].contains(QStringLiteral("запятая")));
    EXPECT_EQ(ReadBytes("1\t2,5\n", {}, 2).rows, (Rows{{"1", "2,5"}}));  // tabs win over decimal commas
    ReaderOptions tab;
    tab.separator = '\t';
    EXPECT_EQ(ReadBytes("1;2\t3\n", tab, 2).rows, (Rows{{"1;2", "3"}}));

    // The id column: kept as written (blanks around it trimmed, inner blanks kept).
    ReaderOptions id;
    id.idColumn = true;
    const Read ids = ReadBytes("Вариант;a;b\n 1 2 ;2 171;x\n\"7;б\";1;2;;\n", id, 2);
    EXPECT_EQ(ids.rows, (Rows{{"1 2", "2171", "x"}, {"7;б", "1", "2"}}));
}

TEST(InputReader, RowsASpreadsheetAdds) {
    // Titles, a header of names and one of units, empty rows, a quoted
    // comment and a comment column: only the variants are read, each skip
    // counted, the extra column said once.
    ReaderOptions id;
    id.idColumn = true;
    const Read r = ReadBytes("Группа Х-21;;;;\nВариант;λ;ρ;r;\n;Вт/(м·К);кг/м3;Дж/кг\n;;;;\n"
                             "В01;0,686;932;2171000;прим.\n\"# Варианты\";;\nВ02;1;2;;\n;;;\nВ03;1;2;3;x\n", id, 3);
    EXPECT_EQ(r.rows, (Rows{{"В01", "0,686", "932", "2171000"}, {"В02", "1", "2", ""}, {"В03", "1", "2", "3"}}));
    EXPECT_EQ(r.lines, (std::vector<std::int64_t>{5, 7, 9}));
    EXPECT_EQ(r.counts.headerLines, 3);
    EXPECT_EQ(r.counts.blankLines, 2);
    EXPECT_EQ(r.counts.commentLines, 1);
    ASSERT_EQ(r.notes.size(), 4) << r.notes.join('|').toStdString();
    EXPECT_EQ(r.notes[3], QStringLiteral("строка 5: столбцов 5, а вариант занимает 4 — столбцы правее 4-го "
                                         "(комментарии) не читаются, и в других строках тоже"));

    // A title standing alone; a line without numbers after the first variant
    // is a variant (its row says what is wrong).
    EXPECT_EQ(ReadBytes("Группа Х-21\n1;2\nа;б\n", {}, 2).rows, (Rows{{"1", "2"}, {"а", "б"}}));
}

TEST(InputReader, SpreadsheetFilesReadAsTheirFirstSheet) {
    ReaderOptions id;
    id.idColumn = true;
    id.encoding = "WINDOWS-1251";  // a sheet is UTF-8 whatever is asked
    id.separator = ',';
    const std::string xlsx = test::XlsxBytes(
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"
        "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>1</v></c><c r=\"B2\" t=\"inlineStr\"><is><t>λ</t></is></c></row>"
        "<row r=\"4\"><c r=\"A4\" t=\"inlineStr\"><is><t>В01</t></is></c><c r=\"B4\"><v>977.86273200000003</v></c>"
        "<c r=\"D4\" t=\"s\"><v>2</v></c><c r=\"E4\" t=\"s\"><v>3</v></c></row>"
        "<row r=\"5\"><c r=\"A5\" t=\"str\"><f>\"В0\"&amp;2</f><v>В02</v></c><c r=\"B5\"><f>B4*2</f><v>2</v></c>"
        "<c t=\"str\"><v>Г</v></c><c><v>6.8E-1</v></c></row>"
        "<row r=\"6\"/><row r=\"7\"><c r=\"A7\"/><c r=\"B7\"/></row>"
        "<row r=\"8\"><c r=\"A8\" t=\"inlineStr\"><is><r><t>В0</t></r><r><t>3</t></r><rPh><t>x</t></rPh></is></c>"
        "<c r=\"B8\"><v>1E-3</v></c></row><row r=\"9\"><c r=\"B9\"/></row>",
        "<si><t>Группа Х-21</t></si><si><t>Вариант</t></si><si><r><t>a;\"b</t></r><r><t>\"</t></r></si>"
        "<si><t>комментарий</t></si>");
    const std::string ods = test::OdsBytes(
        "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>Группа Х-21</text:p>"
        "</table:table-cell><table:table-cell table:number-columns-repeated=\"1000\"/></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell table:number-columns-repeated=\"3\"/>"
        "</table:table-row><table:table-row><table:table-cell office:value-type=\"string\"><text:p>В01</text:p>"
        "<office:annotation><text:p>заметка</text:p></office:annotation></table:table-cell>"
        "<table:table-cell office:value-type=\"float\" office:value=\"977.86273200000003\"><text:p>977,86</text:p>"
        "</table:table-cell><table:table-cell/><table:table-cell office:value-type=\"string\"><text:p>a<text:s "
        "text:c=\"2\"/>b</text:p><text:p>c;d</text:p></table:table-cell></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"2\"><table:table-cell office:value-type=\"string\">"
        "<text:p>В02</text:p></table:table-cell><table:table-cell table:number-columns-repeated=\"2\" "
        "office:value-type=\"float\" office:value=\"5\"><text:p>5</text:p></table:table-cell></table:table-row>"
        "<table:table-row table:number-rows-repeated=\"1048570\"><table:table-cell "
        "table:number-columns-repeated=\"1024\"/></table:table-row>");
    const struct {
        const char* name;
        const std::string& bytes;
        Rows rows;
        std::vector<std::int64_t> lines;
        std::int64_t headers, blanks;
        QString sheet;
    } cases[] = {
        {"xlsx", xlsx, {{"В01", "977.862732", "", "a;\"b\""}, {"В02", "2", "Г", "0.68"}, {"В03", "0.001"}}, {4, 5, 8}, 2, 3,
         QStringLiteral("таблица .xlsx: читается её первый лист «Варианты»")},
        {"ods", ods, {{"В01", "977.862732", "", "a  b c;d"}, {"В02", "5", "5"}, {"В02", "5", "5"}}, {4, 5, 6}, 1, 2,
         QStringLiteral("таблица .ods: читается её первый лист «Лист1»")},
    };
    for (const auto& c : cases) {
        const Read r = ReadBytes(c.bytes, id, 3);
        EXPECT_EQ(r.rows, c.rows) << c.name;
        EXPECT_EQ(r.lines, c.lines) << c.name;
        EXPECT_EQ(r.counts.headerLines, c.headers) << c.name;
        EXPECT_EQ(r.counts.blankLines, c.blanks) << c.name;
        EXPECT_TRUE(r.error.isEmpty()) << c.name << r.error.toStdString();
        ASSERT_FALSE(r.notes.isEmpty()) << c.name;
        EXPECT_EQ(r.notes[0], c.sheet) << c.name;
    }
    EXPECT_EQ(ShortestNumberText("1e-300"), "1e-300");
    EXPECT_EQ(ShortestNumberText("-2171000"), "-2171000");
    EXPECT_EQ(ShortestNumberText("abc"), "abc");
}

TEST(InputReader, FilesThatAreNoTableSayWhatTheyAre) {
    const std::string good = test::XlsxBytes("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>");
    std::string deep;
    for (int i = 0; i < 80; ++i) deep += "<x>";
    std::string big;
    for (int i = 0; i < 3000; ++i) big += "<row><c><v>" + std::to_string(i * 7919 % 10007) + ".25</v></c></row>";
    std::string flipped = test::XlsxBytes(big);
    for (std::size_t i = flipped.size() / 3; i < flipped.size() / 3 + 40; ++i) flipped[i] = char(flipped[i] ^ 0x5A);
    const struct {
        std::string bytes;
        const char* says;
    } cases[] = {
        {good.substr(0, good.size() / 2), "zip-архив (так хранятся таблицы .xlsx и .ods) повреждён"},
        {flipped, "таблица .xlsx повреждена"},
        {test::ZipBytes({{"a.txt", "1;2"}}), "это zip-архив, но не таблица .xlsx или .ods"},
        {test::ZipBytes({{"word/document.xml", "<w/>"}}), "документ Word (.docx)"},
        {test::ZipBytes({{"mimetype", "application/vnd.oasis.opendocument.text"}}), "документ OpenDocument"},
        {std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'), "старом формате .xls"},
        {"%PDF-1.4\n1 0 obj\n", "это PDF, а не таблица"},
        {test::XlsxBytes("<row><c><v>1</v></row>"), "таблица .xlsx повреждена: ошибка XML"},
        {test::XlsxBytes("<row r=\"1048577\"><c><v>1</v></c></row>"), "в листе больше 1048576 строк"},
        {test::XlsxBytes("<row><c><is>" + deep), "вложенность XML глубже 64"},
        {test::XlsxBytes("<row><c t=\"s\"><v>5</v></c></row>"), "ссылка на строку №5, которой нет"},
        {test::OdsBytes("<table:table-row/><table:table-row table:number-rows-repeated=\"1048576\"><table:table-cell "
                        "office:value-type=\"float\" office:value=\"1\"/></table:table-row>"),
         "в листе больше 1048576 строк"},
    };
    for (const auto& c : cases) {
        const Read r = ReadBytes(c.bytes, {}, 2);
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.says))) << c.says << " / " << r.error.toStdString();
    }
}

// A number typed with a point in a Russian spreadsheet ("3.5") becomes a
// date there; the cell keeps a day number (46145) in .xlsx, a date in .ods.
// Neither is the number meant: the cell reads as the date in words, so the
// variant's bad line shows it. Percent and coloured formats stay numbers.
TEST(InputReader, DateCellsReadAsDates) {
    ReaderOptions id;
    id.idColumn = true;
    const std::string xlsx = test::XlsxBytes(
        "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>В01</t></is></c><c r=\"B1\" s=\"1\"><v>46145</v></c>"
        "<c r=\"C1\" s=\"2\"><v>0.6</v></c><c r=\"D1\" s=\"3\"><v>46145.4375</v></c><c r=\"E1\" s=\"4\"><v>0.5</v></c>"
        "<c r=\"F1\" s=\"5\"><v>1.5</v></c><c r=\"G1\" t=\"d\"><v>2026-05-03T00:00:00</v></c>"
        "<c r=\"H1\" s=\"99\"><v>7</v></c></row>",
        {},
        "<numFmts><numFmt numFmtId=\"164\" formatCode=\"0%\"/><numFmt numFmtId=\"165\" formatCode=\"DD.MM.YY HH:MM\"/>"
        "<numFmt numFmtId=\"166\" formatCode=\"[h]:mm\"/><numFmt numFmtId=\"167\" formatCode=\"[Red]0.0&quot; dm&quot;\"/>"
        "</numFmts><cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/>"
        "<xf numFmtId=\"164\"/><xf numFmtId=\"165\"/><xf numFmtId=\"166\"/><xf numFmtId=\"167\"/></cellXfs>");
    const Read x = ReadBytes(xlsx, id, 7);
    EXPECT_EQ(x.rows, (Rows{{"В01", "дата 03.05.2026", "0.6", "дата 03.05.2026 в 10:30", "время 12:00", "1.5",
                             "дата 03.05.2026", "7"}}));
    const std::string ods = test::OdsBytes(
        "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>В01</text:p></table:table-cell>"
        "<table:table-cell office:value-type=\"date\" office:date-value=\"2026-05-03\"><text:p>03.05.26</text:p>"
        "</table:table-cell><table:table-cell office:value-type=\"time\" office:time-value=\"PT10H30M00S\">"
        "<text:p>10:30</text:p></table:table-cell><table:table-cell office:value-type=\"percentage\" "
        "office:value=\"0.6\"><text:p>60%</text:p></table:table-cell></table:table-row>");
    EXPECT_EQ(ReadBytes(ods, id, 3).rows, (Rows{{"В01", "дата 03.05.2026", "время 10:30", "0.6"}}));
}

TEST(InputReader, ThousandsBlanksOnlyBetweenDigits) {
    const std::string nbsp = "\xC2\xA0", narrow = "\xE2\x80\xAF";
    const Read r = ReadBytes("2 171 000;2" + nbsp + "171" + narrow + "000;1 ;a 1;1  2;\"3 000,5\"\n", {}, 6);
    EXPECT_EQ(r.rows, (Rows{{"2171000", "2171000", "1 ", "a 1", "1  2", "3000,5"}}));
    // The windows read a typed number as they always did: the blank ends it.
    EXPECT_EQ(ReadNumber(NormalizeDecimal(QStringLiteral("2 171 000"))), 2.0f);
}

TEST(InputReader, QuotesAndComments) {
    ReaderOptions noHeader;
    noHeader.detectHeader = false;
    const Read r =
        ReadBytes("# комментарий\n\"a;b\";\"say \"\"hi\"\"\"\n\"open;x\n\"a\"b;c\n  \n\xC2\xA0\n"
                  "a;b;;c\n\"\";\n \"a\"\n\"# quoted\";;\n", noHeader, 4);
    EXPECT_EQ(r.rows, (Rows{{"a;b", "say \"hi\""}, {"<quote>"}, {"<quote>"}, {"a", "b", "", "c"},
                            {" \"a\""}}));  // not quoted: it starts with a blank
    EXPECT_EQ(r.counts.commentLines, 2);
    EXPECT_EQ(r.counts.blankLines, 3);  // "" is an empty cell
}

TEST(InputReader, OverlongLinesAndBinaryInputInBoundedMemory) {
    std::string bytes = "1;2\n";
    bytes += std::string(2 << 20, '7');  // a 2 MB line
    bytes += "\n3;4\r\n";
    bytes += std::string(InputReader::kMaxLineBytes + 5, 'x');  // the last line, no line end
    MemorySource source(bytes);
    const Read r = ReadAll(source, {}, 2);
    EXPECT_EQ(r.rows, (Rows{{"1", "2"}, {"<overlong>"}, {"3", "4"}, {"<overlong>"}}));
    EXPECT_EQ(r.lines, (std::vector<std::int64_t>{1, 2, 3, 4}));
    EXPECT_TRUE(r.error.isEmpty());

    // A zero byte: not text. Reading stops with a reason naming the line.
    const Read zero = ReadBytes(std::string("1;2\n3;\0;4\n5;6\n", 13), {}, 2);
    EXPECT_EQ(zero.rows, (Rows{{"1", "2"}}));
    EXPECT_TRUE(zero.error.contains(QStringLiteral("в строке 2 нулевой байт"))) << zero.error.toStdString();
}

TEST(ReadTypedNumber, SameValueAsTheInputBoxes) {
    // Hand-picked texts, then many generated ones from the characters that
    // matter to a number.
    std::vector<std::string> texts = {"", "0", ",5", " ,5", "1,5,3", "1.5,3", "-,5e3", "+1e", "1e+", "1e-5x",
                                      "a,5", "  \t12", "0x10", "nan", "inf", "1e39", "-1e39", "1e-50", "Г",
                                      "5,", ".", ",", "-", "1 000", "\xC2\xA0" "5", "2,171e6", "00012,50"};
    std::mt19937 rng(11);
    const char alphabet[] = "0123456789.,eE+- \tx\xD0\x93";
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        const int n = int(rng() % 12);
        for (int k = 0; k < n; ++k) t += alphabet[rng() % (sizeof alphabet - 1)];
        texts.push_back(t);
    }
    for (const std::string& t : texts) {
        const float boxes = ReadNumber(NormalizeDecimal(QString::fromUtf8(t.data(), qsizetype(t.size()))));
        const float bytes = ReadTypedNumber(t);
        EXPECT_TRUE(std::memcmp(&boxes, &bytes, sizeof boxes) == 0 || (std::isnan(boxes) && std::isnan(bytes)))
            << "«" << t << "»: " << boxes << " vs " << bytes;
    }
}

TEST(ReadTypedNumber, ShortDecimalsAsStrtodReadsThem) {
    // The short path (mantissa below 2^53, at most 22 decimals) against the C
    // library's reading rounded once more to a float.
    std::mt19937_64 rng(3);
    for (int i = 0; i < 200000; ++i) {
        std::string t = std::to_string(rng() >> (rng() % 64));
        const std::size_t point = rng() % (t.size() + 1);
        if (rng() % 4 != 0) t.insert(point, 1, '.');
        t.insert(0, std::string(rng() % 3, '0'));
        if (rng() % 2) t.insert(0, 1, '-');
        const double wide = std::strtod(t.c_str(), nullptr);
        const float expected = static_cast<float>(wide);
        const float got = ReadTypedNumber(t);
        ASSERT_EQ(std::memcmp(&expected, &got, sizeof got), 0) << t;
        std::replace(t.begin(), t.end(), '.', ',');
        ASSERT_EQ(ReadTypedNumber(t), expected) << t;
    }
}

TEST(TableOutput, NumbersAsPrintfWritesThem) {
    std::mt19937 rng(7);
    std::vector<float> values = {0.0f, -0.0f, 1.0f, 11043.7988f, 1e-7f, 123456789.0f, 1e9f, 3.4e38f, 1.17549435e-38f,
                                 1e-45f, INFINITY, -INFINITY};
    for (int i = 0; i < 200000; ++i) {
        const std::uint32_t bits = rng();
        float v;
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isnan(v)) values.push_back(v);
    }
    // The magnitudes results have, each float around every power of ten, and
    // floats with few significant digits (trailing zeros dropped).
    std::uniform_real_distribution<double> exponent(-12, 14);
    for (int i = 0; i < 300000; ++i) values.push_back(float(std::pow(10.0, exponent(rng))));
    for (int p = -40; p <= 39; ++p) {
        const float power = float(std::pow(10.0, p));
        values.push_back(power);
        values.push_back(std::nextafter(power, 0.0f));
        values.push_back(std::nextafter(power, INFINITY));
        values.push_back(-power);
    }
    for (int i = 0; i < 100000; ++i) values.push_back(float(int(rng() % 2000001) - 1000000) / 1000.0f);
    for (float v : values) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.9g", double(v));
        char got[32];
        const std::string text(got, WriteNineDigits(got, v));
        ASSERT_EQ(text, expected) << "bits of " << v;
    }
}

TEST(TableOutput, XlsxCellsHoldThePrintedNineDigits) {
    // Results-like floats, one per cell; each cell's stored text is the
    // table's text, not the double's sixteen digits.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.xlsx"));
    QString error;
    auto table = XlsxWriter::Open({path, false, {}}, &error);
    ASSERT_TRUE(table) << error.toStdString();
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> exponent(-6, 6);
    std::vector<std::string> expected;
    for (int row = 0; row < 2000; ++row) {
        for (int k = 0; k < 5; ++k) {
            const float v = float(std::pow(10.0, exponent(rng)));
            table->Number(v);
            char text[32];
            expected.emplace_back(text, WriteNineDigits(text, v));
        }
        table->Integer(row * 1000003LL);
        expected.push_back(std::to_string(row * 1000003LL));
        ASSERT_TRUE(table->EndRow());
    }
    ASSERT_TRUE(table->Finish()) << table->ErrorText().toStdString();
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet1.xml")});
    ASSERT_TRUE(unzip.waitForFinished());
    const std::string sheet = unzip.readAllStandardOutput().toStdString();
    std::vector<std::string> stored;
    for (std::size_t at = 0; (at = sheet.find("<v>", at)) != std::string::npos; at += 3)
        stored.push_back(sheet.substr(at + 3, sheet.find("</v>", at) - at - 3));
    EXPECT_EQ(stored, expected);
    // Read back as a table file: the same texts.
    const QByteArray bytes = [&path] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    const Read back = ReadBytes(std::string_view(bytes.constData(), std::size_t(bytes.size())), {}, 6);
    ASSERT_EQ(back.rows.size(), 2000u);
    EXPECT_EQ(back.rows[7][2], expected[7 * 6 + 2]);
}

TEST(TableOutput, CsvCellsQuotingAndDecimalComma) {
    StringSink sink;
    CsvWriter table(sink, ',');
    table.Text("id;1");
    table.Text("say \"hi\"");
    table.Number(2086.50879f);
    table.Integer(-11);
    table.Empty();
    EXPECT_TRUE(table.EndRow());
    table.Text("plain");
    EXPECT_TRUE(table.EndRow());
    EXPECT_TRUE(table.Finish());
    EXPECT_EQ(sink.bytes, "\"id;1\";\"say \"\"hi\"\"\";2086,50879;-11;\nplain\n");
}

TEST(BatchRows, TableLineOfTheByteReaderMatchesTheTextPath) {
    // The same rows through the old text interface (QStringList) and the
    // byte path give the same result line and report texts.
    const QString rows[] = {
        QStringLiteral("0,686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;Г;0,025;2;3;100"),
        QStringLiteral("0.686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;в;0,025;2;3;100"),
        QStringLiteral("0,686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;1;Г;0,025;2;3;100"),
        QStringLiteral("0,686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;ГГ;0,025;2;3;100"),
        QStringLiteral(";;;;;;;;;;;;;;;0"),
    };
    for (const QString& text : rows) {
        const QStringList fields = text.split(QLatin1Char(';'));
        const RowResult viaTexts = RunRow(Apparatus::Heater, fields);
        const QByteArray bytes = text.toUtf8();
        MemorySource source(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        ReaderOptions options;
        options.detectHeader = false;
        InputReader reader(source, options, 16);
        Record record;
        ASSERT_TRUE(reader.Next(record));
        RowResult viaBytes = RowOf(Apparatus::Heater, record);
        StoreValueTexts(Apparatus::Heater, record.fields, viaBytes.state);
        EXPECT_EQ(ResultLine(Apparatus::Heater, viaBytes), ResultLine(Apparatus::Heater, viaTexts))
            << text.toStdString();
        EXPECT_EQ(viaBytes.state.HeaterValueTexts, viaTexts.state.HeaterValueTexts);
    }
}

// Inputs the whole-file fuzzer once broke, each run the way the fuzzer runs
// it: every apparatus, table and report, point and comma.
TEST(FuzzRegressions, CrashInputsOfTheFileFuzzer) {
    const QDir dir(QStringLiteral(HEATX_FUZZ_REGRESSIONS));
    const QStringList names = dir.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    const QStringList modes[] = {
        {QStringLiteral("heater")},
        {QStringLiteral("--decimal-comma"), QStringLiteral("--id"), QStringLiteral("cooler")},
        {QStringLiteral("--report"), QStringLiteral("--date"), QStringLiteral("2026-12-07 14:05:33"), QStringLiteral("evaporator")},
    };
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (const QStringList& args : modes) {
            CliOptions options;
            QString error;
            ASSERT_EQ(ParseArguments(args, options, &error), Parsed::Run);
            MemorySource source(std::string_view(bytes.constData(), std::size_t(bytes.size())));
            StringSink out;
            QStringList messages;
            const int status = Execute(options, source, out, [&](const QString& m) { messages.append(m); });
            EXPECT_TRUE(status == kExitDone || (status == kExitUsage && bytes.contains('\0')))
                << name.toStdString() << " " << status;
            if (!options.report) {
                // The rows read before a stop are still written, header first.
                ASSERT_FALSE(out.bytes.empty()) << name.toStdString();
                EXPECT_EQ(out.bytes.back(), '\n');
                EXPECT_EQ(out.bytes.rfind(options.input.idColumn ? "id;status" : "status;", 0), 0u);
            }
        }
    }
}
