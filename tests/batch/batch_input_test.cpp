// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch in-process: reading what spreadsheets write, byte by byte as well
// as whole; the numbers of the byte path against the input boxes' path; the
// table's number texts against printf.
#include "batch/result_table.h"
#include "batch/row_runner.h"
#include "batch/table_command.h"
#include "batch/input_reader.h"
#include "batch/table_output.h"
#include "state/calc_state.h"
#include "text/text_format.h"

#include <QDir>
#include <QFile>
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
    // A first line of numbers, or of empty fields, is data.
    EXPECT_EQ(ReadBytes(";;\n", {}, 3).rows, (Rows{{"", "", ""}}));
    EXPECT_EQ(ReadBytes("x;,5\n", {}, 2).rows, (Rows{{"x", ",5"}}));

    // Empty cells after the last column go; missing ones do not appear.
    EXPECT_EQ(ReadBytes("1;2;;;\n1;;\n1;2;3;;\n", {}, 2).rows, (Rows{{"1", "2"}, {"1", ""}, {"1", "2", "3"}}));

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
                  "a;b;;c\n\"\";\n \"a\"\n", noHeader, 2);
    EXPECT_EQ(r.rows, (Rows{{"a;b", "say \"hi\""}, {"<quote>"}, {"<quote>"}, {"a", "b", "", "c"}, {"", ""},
                            {" \"a\""}}));  // not quoted: it starts with a blank
    EXPECT_EQ(r.counts.commentLines, 1);
    EXPECT_EQ(r.counts.blankLines, 2);
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
        QStringLiteral(";;;;;;;;;;;;;;;"),
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
