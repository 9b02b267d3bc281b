// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/variants.h"

#include "batch/result_table.h"
#include "batch/table_output.h"
#include "batch/teacher_output.h"

#include "cooler/cooler_input.h"
#include "evaporator/evap_input.h"
#include "heater/heater_input.h"
#include "text/text_format.h"

#include <QRegularExpression>
#include <algorithm>
#include <limits>
#include <optional>

namespace heatx::batch {

uint64_t SplitMix64::Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

uint64_t SplitMix64::Below(uint64_t n) {
    if (n == 0) return 0;
    // Values at or above the largest multiple of n are drawn again, so every
    // remainder is equally likely.
    const uint64_t limit = std::numeric_limits<uint64_t>::max() - std::numeric_limits<uint64_t>::max() % n;
    uint64_t x = Next();
    while (x >= limit) x = Next();
    return x % n;
}

std::optional<int> ParsePercent(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^\\s*([0-9]{1,3})(?:[.,]([0-9]{1,2}))?\\s*%?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const int whole = m.captured(1).toInt();
    const int hundredths = m.captured(2).isEmpty() ? 0 : m.captured(2).leftJustified(2, QLatin1Char('0')).toInt();
    const int value = whole * 100 + hundredths;
    if (value > 10000) return std::nullopt;
    return value;
}

namespace {

// A base value as written: sign, digits and count of decimals, the mark, and
// the exponent as written (6,8E-01, as spreadsheets write small numbers in
// narrow columns): a variant keeps the exponent and varies the mantissa.
struct WrittenNumber {
    bool negative = false;
    int64_t units = 0;  // the mantissa in units of its last written digit
    int decimals = 0;
    QChar mark = QLatin1Char(',');
    QString exponent;   // "E-01", "e5" or empty
};

std::optional<WrittenNumber> ReadWritten(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^\\s*(-?)([0-9]+)(?:([.,])([0-9]+))?([eE][-+]?[0-9]{1,3})?\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const QString digits = m.captured(2) + m.captured(4);
    if (digits.size() > 15) return std::nullopt;
    WrittenNumber w;
    w.negative = !m.captured(1).isEmpty();
    w.units = digits.toLongLong();
    w.decimals = static_cast<int>(m.captured(4).size());
    if (!m.captured(3).isEmpty()) w.mark = m.captured(3)[0];
    w.exponent = m.captured(5);
    return w;
}

QString WriteNumber(bool negative, int64_t units, const WrittenNumber& as) {
    QString digits = QString::number(units).rightJustified(as.decimals + 1, QLatin1Char('0'));
    if (as.decimals > 0) digits.insert(digits.size() - as.decimals, as.mark);
    digits += as.exponent;
    return negative && units != 0 ? QLatin1Char('-') + digits : digits;
}

bool ReadsAsNumber(const QString& field) {
    static const QRegularExpression re(QStringLiteral("^\\s*[-+]?[0-9]*[.,]?[0-9]+"));
    return re.match(field).hasMatch();
}

std::optional<int> SpreadInHeader(const QString& field) {
    static const QRegularExpression re(QStringLiteral("(?:±|\\+-|\\+/-)\\s*([0-9]{1,3}(?:[.,][0-9]{1,2})?)\\s*%"));
    const auto m = re.match(field);
    if (!m.hasMatch()) return std::nullopt;
    return ParsePercent(m.captured(1));
}

QString Quoted(const QString& field) {
    if (!field.contains(QLatin1Char(';')) && !field.contains(QLatin1Char('"')) && !field.contains(QLatin1Char('\n')))
        return field;
    QString q = field;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// Variants a base cannot give are looked for this many times per variant
// asked for, then the teacher is told.
constexpr int kTriesPerVariant = 2000;
// A base file is a few rows; one longer than this is something else.
constexpr std::int64_t kMaxBaseChars = 16LL * 1024 * 1024;

}  // namespace

std::vector<int64_t> PrintedAnswers(Apparatus type, const RowResult& row) {
    const CalcState& s = row.state;
    std::vector<float> values = {s.AlphaTube, s.AlphaShell, s.HeatTransferK, s.SurfaceF};
    if (type != Apparatus::Evaporator) values.push_back(s.ReTube);
    if (type == Apparatus::Cooler) values.push_back(s.ReShell);
    std::vector<int64_t> out;
    for (const float v : values) {
        QString t = FormatFixed(v, 0, 2, QLatin1Char('.'));
        t.remove(QLatin1Char('.'));
        bool ok = false;
        const int64_t units = t.toLongLong(&ok);
        out.push_back(ok ? units : std::numeric_limits<int64_t>::min());
    }
    return out;
}

namespace {

// A row of the base file that reads as a blank or comment line once the id
// column is taken off: the first field begins with # or is all there is and
// holds only blanks.
bool SkippedRow(const QStringList& fields) {
    if (fields.isEmpty() || (fields.size() == 1 && fields[0].trimmed().isEmpty())) return true;
    const QString& first = fields[0];
    return first.startsWith(QLatin1Char('#')) && !first.contains(QLatin1Char(';')) && !first.contains(QLatin1Char('"'));
}

// The base rows and the spreads of a header row; false with set.error.
bool TakeBases(const VariantOptions& options, const std::vector<BaseRow>& rows, VariantSet& set,
               std::vector<std::int64_t>& lineNumbers) {
    const int fieldCount = FieldCount(options.type);
    bool firstLine = true;
    for (const BaseRow& base : rows) {
        QStringList fields = base.fields;
        if (SkippedRow(fields)) continue;
        while (fields.size() > fieldCount && fields.last().trimmed().isEmpty()) fields.removeLast();
        const bool header = firstLine && std::none_of(fields.begin(), fields.end(), ReadsAsNumber);
        firstLine = false;
        if (header) {
            for (int i = 0; i < std::min<int>(fieldCount, static_cast<int>(fields.size())); ++i)
                if (const auto p = SpreadInHeader(fields[i])) set.spreads[static_cast<std::size_t>(i)] = *p;
            continue;
        }
        if (fields.size() != fieldCount) {
            set.error = QStringLiteral("строка %1 файла основы: нужно полей %2, а их %3")
                            .arg(base.line).arg(fieldCount).arg(fields.size());
            return false;
        }
        set.bases.push_back(fields);
        lineNumbers.push_back(base.line);
    }
    return true;
}

// The spreads of --spread-line; false with set.error.
bool TakeLineSpreads(const VariantOptions& options, VariantSet& set) {
    const int fieldCount = FieldCount(options.type);
    for (const auto& [line, spread] : options.lineSpread) {
        if (line < 0 || line >= fieldCount) {
            set.error = QStringLiteral("--spread-line: строки %1 нет (допустимы 0–%2)").arg(line).arg(fieldCount - 1);
            return false;
        }
        if (options.type == Apparatus::Heater && line == kHeaterTypeLine && spread != 0) {
            set.error = QStringLiteral("--spread-line: строка 11 — тип аппарата, она не варьируется");
            return false;
        }
        set.spreads[static_cast<std::size_t>(line)] = spread;
    }
    return true;
}

using WrittenRow = std::vector<std::optional<WrittenNumber>>;

// Every base must itself be a good variant, and every varied field a number
// written in digits; the written numbers of each base, or set.error.
bool ReadBases(const VariantOptions& options, const std::vector<std::int64_t>& lineNumbers, VariantSet& set,
               std::vector<WrittenRow>& written) {
    const int fieldCount = FieldCount(options.type);
    written.assign(set.bases.size(), {});
    for (std::size_t b = 0; b < set.bases.size(); ++b) {
        const RowResult row = RunRow(options.type, set.bases[b]);
        if (row.status != Status::Ok) {
            set.error = QStringLiteral("строка %1 файла основы сама не даёт результата (%2)")
                            .arg(lineNumbers[b])
                            .arg(QString::fromStdString(ResultLine(options.type, row)).section(QLatin1Char(';'), 0, 1));
            return false;
        }
        for (int f = 0; f < fieldCount; ++f) {
            written[b].push_back(std::nullopt);
            if (set.spreads[static_cast<std::size_t>(f)] == 0) continue;
            written[b].back() = ReadWritten(set.bases[b][f]);
            if (!written[b].back()) {
                set.error = QStringLiteral("строка %1 файла основы, поле %2 «%3»: варьировать можно только число, "
                                           "записанное цифрами (не больше 15), можно с порядком: 6,8E-01")
                                .arg(lineNumbers[b]).arg(f).arg(set.bases[b][f]);
                return false;
            }
        }
    }
    return true;
}

// The fields of a base with every varied number drawn within its spread;
// false when a positive input would become zero.
bool Draw(const QStringList& base, const WrittenRow& written, const std::vector<int>& spreads, SplitMix64& random,
          QStringList& fields) {
    fields = base;
    bool drawn = true;
    for (std::size_t f = 0; f < written.size(); ++f) {
        const auto& w = written[f];
        if (!w) continue;
        // Largest change, in units of the last written digit, that keeps
        // the value within the spread of its base.
        const __int128 reach = static_cast<__int128>(w->units) * spreads[f] / 10000;
        const auto r = static_cast<int64_t>(reach);
        const int64_t k = static_cast<int64_t>(random.Below(static_cast<uint64_t>(2 * r + 1))) - r;
        const int64_t units = w->units + (w->negative ? -k : k);
        if (units <= 0 && w->units > 0) {
            drawn = false;  // a positive input never becomes zero
            continue;
        }
        fields[static_cast<qsizetype>(f)] = WriteNumber(w->negative, units, *w);
    }
    return drawn;
}

// Distinct beyond the tolerance of a check: some answer differs by more than
// one unit of its last printed digit from those of every variant so far.
bool AlikeAny(const std::vector<int64_t>& a, const std::vector<std::vector<int64_t>>& answers) {
    return std::any_of(answers.begin(), answers.end(), [&a](const std::vector<int64_t>& other) {
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i] - other[i] > 1 || other[i] - a[i] > 1) return false;
        return true;
    });
}

// Draws variants from the bases in turn until there are enough or the tries
// run out; the count of tries.
long long DrawVariants(const VariantOptions& options, const std::vector<WrittenRow>& written, VariantSet& set) {
    SplitMix64 random(options.seed);
    std::vector<std::vector<int64_t>> answers;
    const long long budget = static_cast<long long>(options.count) * kTriesPerVariant;
    long long tries = 0;
    while (static_cast<int>(set.variants.size()) < options.count && tries < budget) {
        ++tries;
        const int b = static_cast<int>(set.variants.size() % set.bases.size());
        QStringList fields;
        if (!Draw(set.bases[static_cast<std::size_t>(b)], written[static_cast<std::size_t>(b)], set.spreads, random, fields))
            continue;
        RowResult row = RunRow(options.type, fields);
        if (row.status != Status::Ok) continue;
        std::vector<int64_t> a = PrintedAnswers(options.type, row);
        if (AlikeAny(a, answers)) continue;
        answers.push_back(std::move(a));
        Variant v;
        v.fields = fields;
        v.row = std::move(row);
        v.base = b;
        set.variants.push_back(std::move(v));
    }
    return tries;
}

}  // namespace

VariantSet MakeVariants(const VariantOptions& options, const std::vector<BaseRow>& rows) {
    VariantSet set;
    set.spreads.assign(static_cast<std::size_t>(FieldCount(options.type)), 0);
    for (int i = 0; i < SheetLineCount(options.type); ++i) set.spreads[static_cast<std::size_t>(i)] = options.spread;
    std::vector<std::int64_t> lineNumbers;
    if (!TakeBases(options, rows, set, lineNumbers) || !TakeLineSpreads(options, set)) return set;
    if (set.bases.empty()) {
        set.error = QStringLiteral("в файле основы нет ни одной строки варианта");
        return set;
    }
    std::vector<WrittenRow> written;
    if (!ReadBases(options, lineNumbers, set, written)) return set;
    const long long tries = DrawVariants(options, written, set);
    const int width = std::max(2, static_cast<int>(QString::number(options.count).size()));
    for (std::size_t i = 0; i < set.variants.size(); ++i)
        set.variants[i].id = QStringLiteral("В") + QString::number(i + 1).rightJustified(width, QLatin1Char('0'));
    if (static_cast<int>(set.variants.size()) < options.count)
        set.error = QStringLiteral("из основы удалось получить только %1 различных вариантов из %2 (попыток: %3). "
                                   "Увеличьте разброс (--spread, --spread-line), запишите значения основы с "
                                   "большим числом знаков или добавьте строки основы")
                        .arg(set.variants.size()).arg(options.count).arg(tries);
    return set;
}

bool ReadBaseRows(ByteSource& source, const ReaderOptions& readerOptions, Apparatus type,
                  const std::function<void(const QString&)>& note, std::vector<BaseRow>& rows, QString* problem) {
    ReaderOptions o = readerOptions;
    o.detectHeader = false;  // a header row gives the spreads: MakeVariants reads it
    InputReader reader(source, o, FieldCount(type), note);
    Record record;
    std::int64_t chars = 0;
    while (reader.Next(record)) {
        if (record.problem != Record::Problem::None || chars > kMaxBaseChars) {
            *problem = QStringLiteral("строка %1 файла основы не читается (незакрытая кавычка или больше 1 МБ)")
                           .arg(record.line);
            return false;
        }
        BaseRow row;
        row.line = record.line;
        for (const std::string_view f : record.fields) {
            row.fields.append(QString::fromUtf8(f.data(), static_cast<qsizetype>(f.size())));
            chars += row.fields.last().size() + 1;
        }
        rows.push_back(std::move(row));
    }
    *problem = reader.Error();
    return problem->isEmpty();
}

VariantSet MakeVariants(const VariantOptions& options, QStringView baseText) {
    const QByteArray bytes = baseText.toUtf8();
    MemorySource source(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    ReaderOptions readerOptions;
    readerOptions.idColumn = options.baseHasId;
    readerOptions.separator = ';';
    std::vector<BaseRow> rows;
    QString problem;
    if (!ReadBaseRows(source, readerOptions, options.type, {}, rows, &problem)) {
        VariantSet set;
        set.error = problem;
        return set;
    }
    return MakeVariants(options, rows);
}

namespace {
QString Comment(const VariantOptions& options, const VariantSet& set) {
    return QStringLiteral("# Варианты heatx-batch variants: %1, %2 шт., seed %3")
        .arg(TypeWord(options.type))
        .arg(set.variants.size())
        .arg(options.seed);
}

QString OutputField(const VariantOptions& options, QString f) {
    if (options.decimalComma && ReadWritten(f)) f.replace(QLatin1Char('.'), QLatin1Char(','));
    return f;
}

}  // namespace

bool WriteVariants(const VariantOptions& options, const VariantSet& set, bool spreadsheet, TableWriter& table) {
    bool ok = true;
    if (spreadsheet) {
        TextCell(table, QStringLiteral("вариант"));
        for (int f = 0; f < FieldCount(options.type); ++f) TextCell(table, QStringLiteral("строка %1").arg(f));
    } else {
        TextCell(table, Comment(options, set));
    }
    ok = table.EndRow() && ok;
    for (const Variant& v : set.variants) {
        TextCell(table, v.id);
        for (const QString& f : v.fields) TextCell(table, OutputField(options, f));
        ok = table.EndRow() && ok;
    }
    return ok;
}

std::string VariantsCsv(const VariantOptions& options, const VariantSet& set) {
    QString out = Comment(options, set) + QLatin1Char('\n');
    for (const Variant& v : set.variants) {
        out += v.id;
        for (const QString& f : v.fields) out += QLatin1Char(';') + Quoted(OutputField(options, f));
        out += QLatin1Char('\n');
    }
    return out.toStdString();
}

}  // namespace heatx::batch
