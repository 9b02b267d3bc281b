// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch variants: every variant is good and different, stays inside its
// spread with the digits of its base, and the same seed gives the same set.
#include "batch/variants.h"
#include "tool_run.h"

#include <QFile>
#include <QProcess>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

using namespace heatx::batch;

namespace {

const QString kHeaterBase = QStringLiteral("0,686;932;2171000;0,000212;0,50;0,642;0,000549;4180;0,0005;60;5;Г;0,025;2;3;100");
const QString kCoolerBase =
    QStringLiteral("0,62;995;0,0008;4180;0,0003;10;0,65;0,0005;4190;12;25;0,0006;500000;0,025;2;0,95;100;0,02");
const QString kEvapBase =
    QStringLiteral("0,685;932;2171000;0,000212;0,107;780;2100;0,00025;0,0184;2,91;2,91;363000;22;0,0004;500000;3");

int Decimals(const QString& t) {
    const qsizetype mark = t.indexOf(QRegularExpression(QStringLiteral("[.,]")));
    return mark < 0 ? 0 : static_cast<int>(t.size() - mark - 1);
}

double Value(QString t) { return t.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(); }

// Every property a teacher relies on, for one apparatus.
void ExpectGoodSet(Apparatus type, const QString& base, int count, int spread) {
    VariantOptions options;
    options.type = type;
    options.count = count;
    options.spread = spread;
    const VariantSet set = MakeVariants(options, base);
    ASSERT_TRUE(set.error.isEmpty()) << set.error.toStdString();
    ASSERT_EQ(static_cast<int>(set.variants.size()), count);
    const QStringList baseFields = base.split(QLatin1Char(';'));
    std::set<std::vector<int64_t>> answers;
    std::set<QString> rows;
    for (std::size_t i = 0; i < set.variants.size(); ++i) {
        const Variant& v = set.variants[i];
        EXPECT_EQ(v.id, QStringLiteral("В%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        // Run again from its texts: ok, as the batch table would say.
        const RowResult again = RunRow(type, v.fields);
        EXPECT_EQ(again.status, Status::Ok) << v.fields.join(';').toStdString();
        if (type == Apparatus::Heater) {
            EXPECT_GT(again.state.ReTube, 2300.0f);
        }
        EXPECT_EQ(PrintedAnswers(type, again), PrintedAnswers(type, v.row));
        for (int f = 0; f < v.fields.size(); ++f) {
            const int p = set.spreads[static_cast<std::size_t>(f)];
            if (p == 0) {
                EXPECT_EQ(v.fields[f], baseFields[f]) << f;
                continue;
            }
            EXPECT_EQ(Decimals(v.fields[f]), Decimals(baseFields[f])) << v.fields[f].toStdString();
            const double b = Value(baseFields[f]);
            EXPECT_LE(std::abs(Value(v.fields[f]) - b), std::abs(b) * p / 10000.0 * (1 + 1e-12))
                << f << " " << v.fields[f].toStdString();
        }
        rows.insert(v.fields.join(';'));
        answers.insert(PrintedAnswers(type, v.row));
    }
    EXPECT_EQ(static_cast<int>(rows.size()), count);
    EXPECT_EQ(static_cast<int>(answers.size()), count);
    // Distinct beyond the one-digit tolerance of a check.
    for (std::size_t i = 0; i < set.variants.size(); ++i)
        for (std::size_t j = 0; j < i; ++j) {
            const auto a = PrintedAnswers(type, set.variants[i].row);
            const auto b = PrintedAnswers(type, set.variants[j].row);
            bool differ = false;
            for (std::size_t k = 0; k < a.size(); ++k) differ = differ || std::llabs(a[k] - b[k]) > 1;
            EXPECT_TRUE(differ) << i << " " << j;
        }
}


}  // namespace

TEST(SplitMix64, KnownSequenceAndUnbiasedRange) {
    SplitMix64 r(0);
    EXPECT_EQ(r.Next(), 0xE220A8397B1DCDAFULL);
    EXPECT_EQ(r.Next(), 0x6E789E6AA1B965F4ULL);
    SplitMix64 one(1);
    EXPECT_EQ(one.Next(), 0x910A2DEC89025CC1ULL);
    SplitMix64 dice(42);
    std::vector<int> seen(7, 0);
    for (int i = 0; i < 7000; ++i) ++seen[dice.Below(7)];
    for (int n : seen) EXPECT_GT(n, 850);
    EXPECT_EQ(dice.Below(0), 0u);
    EXPECT_EQ(dice.Below(1), 0u);
}

TEST(Variants, PercentTexts) {
    EXPECT_EQ(ParsePercent("10"), 1000);
    EXPECT_EQ(ParsePercent("7,5"), 750);
    EXPECT_EQ(ParsePercent("2.25 %"), 225);
    EXPECT_EQ(ParsePercent("0"), 0);
    EXPECT_EQ(ParsePercent("100"), 10000);
    EXPECT_FALSE(ParsePercent("101").has_value());
    EXPECT_FALSE(ParsePercent("-5").has_value());
    EXPECT_FALSE(ParsePercent("ten").has_value());
}

TEST(Variants, EveryApparatusGivesGoodDistinctVariantsInsideTheirSpread) {
    ExpectGoodSet(Apparatus::Heater, kHeaterBase, 30, 1000);
    ExpectGoodSet(Apparatus::Cooler, kCoolerBase, 30, 1000);
    ExpectGoodSet(Apparatus::Evaporator, kEvapBase, 30, 500);
}

TEST(Variants, SameSeedSameVariantsAnotherSeedOthers) {
    VariantOptions options;
    options.count = 10;
    options.seed = 2026;
    const std::string a = VariantsCsv(options, MakeVariants(options, kHeaterBase));
    const std::string b = VariantsCsv(options, MakeVariants(options, kHeaterBase));
    EXPECT_EQ(a, b);
    options.seed = 2027;
    EXPECT_NE(VariantsCsv(options, MakeVariants(options, kHeaterBase)), a);
    // The first variant of seed 1 is fixed by the generator's definition.
    options.seed = 1;
    options.count = 1;
    const VariantSet set = MakeVariants(options, kHeaterBase);
    ASSERT_EQ(set.variants.size(), 1u);
    EXPECT_EQ(set.variants[0].fields.join(QLatin1Char(';')).toStdString(), "0,731;924;2336005;0,000213;0,52;0,616;0,000575;4260;0,0005;59;5;Г;0,025;2;3;100");
}

TEST(Variants, SpreadsFromHeaderAndLinesAndBasesTakenInTurn) {
    VariantOptions options;
    options.count = 6;
    options.lineSpread[15] = 2000;  // the tube count too
    options.lineSpread[2] = 0;      // the heat of condensation kept
    // Header: no field reads as a number; "±0 %" keeps the density.
    const QString text = QStringLiteral(
        "# основа группы Х-21\n"
        "λк;ρк ±0 %;r;μк;G;λ;μ;c;R;Δt;L;тип;d;z;l;n\n") + kHeaterBase + QLatin1Char('\n') +
        QString(kHeaterBase).replace(QStringLiteral(";Г;"), QStringLiteral(";В;")) + QLatin1Char('\n');
    const VariantSet set = MakeVariants(options, text);
    ASSERT_TRUE(set.error.isEmpty()) << set.error.toStdString();
    ASSERT_EQ(set.bases.size(), 2u);
    std::set<QString> tubes;
    for (std::size_t i = 0; i < set.variants.size(); ++i) {
        const Variant& v = set.variants[i];
        EXPECT_EQ(v.base, static_cast<int>(i % 2));
        EXPECT_EQ(v.fields[11], i % 2 ? QStringLiteral("В") : QStringLiteral("Г"));
        EXPECT_EQ(v.fields[1], QStringLiteral("932"));
        EXPECT_EQ(v.fields[2], QStringLiteral("2171000"));
        EXPECT_GE(v.fields[15].toInt(), 80);
        EXPECT_LE(v.fields[15].toInt(), 120);
        tubes.insert(v.fields[15]);
    }
    EXPECT_GT(tubes.size(), 1u);
}

TEST(Variants, ImpossibleRequestsSayWhyInRussian) {
    VariantOptions options;
    options.count = 5;
    options.spread = 0;  // nothing varies: one variant only
    VariantSet set = MakeVariants(options, kHeaterBase);
    EXPECT_TRUE(set.error.contains(QStringLiteral("удалось получить только 1 различных вариантов из 5"))) << set.error.toStdString();
    EXPECT_EQ(set.variants.size(), 1u);
    options.spread = 1000;
    // A base that does not itself give a result (Re below 2300).
    set = MakeVariants(options, QString(kHeaterBase).replace(QStringLiteral(";60;5;"), QStringLiteral(";60;1;")));
    EXPECT_TRUE(set.error.contains(QStringLiteral("сама не даёт результата (model;)"))) << set.error.toStdString();
    set = MakeVariants(options, QStringLiteral("1;2;3\n"));
    EXPECT_TRUE(set.error.contains(QStringLiteral("нужно полей 16, а их 3")));
    set = MakeVariants(options, QString(kHeaterBase).replace(QStringLiteral("4180"), QStringLiteral("4180.000000000001")));
    EXPECT_TRUE(set.error.contains(QStringLiteral("«4180.000000000001»"))) << set.error.toStdString();
    options.lineSpread[11] = 500;
    set = MakeVariants(options, kHeaterBase);
    EXPECT_TRUE(set.error.contains(QStringLiteral("тип аппарата")));
}

TEST(VariantsTool, WritesTheFileAndTheReportsOfItsVariantsCheckRight) {
    QTemporaryDir dir;
    const QString base = dir.filePath("основа.csv");
    WriteFile(base, (kCoolerBase + QLatin1Char('\n')).toUtf8());
    const QString out = dir.filePath("варианты.csv");
    ToolRun run = RunTool({"variants", "cooler", "--from", base, "--count", "12", "--seed", "5", "-o", out});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray file = f.readAll();
    // Standard output gives the same bytes.
    run = RunTool({"variants", "cooler", "--from", base, "--count", "12", "--seed", "5"});
    EXPECT_EQ(run.outBytes, file);
    const QStringList lines = QString::fromUtf8(file).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 13);
    EXPECT_TRUE(lines[0].startsWith(QLatin1Char('#')));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("В01;")));
    EXPECT_TRUE(lines[12].startsWith(QStringLiteral("В12;")));

    // Answer keys of every variant, each page named by its variant, then
    // the check names each report's variant.
    run = RunTool({"--id", "--report", "cooler", out});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QByteArray> reports = run.outBytes.split('\f');
    ASSERT_EQ(reports.size(), 12);
    QStringList files;
    for (int i = 0; i < reports.size(); ++i) {
        files << dir.filePath(QStringLiteral("отчёт%1.txt").arg(i + 1, 2, 10, QLatin1Char('0')));
        WriteFile(files.last(), reports[i]);
    }
    run = RunTool(QStringList{"check", "--variants", out, "--id"} + files);
    EXPECT_EQ(run.exitCode, 0) << run.outBytes.toStdString() << run.err.toStdString();
    const QStringList checked = QString::fromUtf8(run.outBytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(checked.size(), 13);
    for (int i = 1; i < checked.size(); ++i)
        EXPECT_TRUE(checked[i].endsWith(QStringLiteral(";1;0;верно;В%1;").arg(i, 2, 10, QLatin1Char('0'))))
            << checked[i].toStdString();

    // A report whose page names another variant than its data.
    WriteFile(files[0], QString::fromUtf8(reports[0]).replace(QStringLiteral("ВАРИАНТ: В01"), QStringLiteral("ВАРИАНТ: В02")).toUtf8());
    run = RunTool({"check", "--variants", out, "--id", files[0]});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(run.outBytes).contains(QStringLiteral(";неверно;В01;в отчёте вариант В02, а исходные данные — варианта В01")))
        << run.outBytes.toStdString();

    // A spreadsheet: header row, the id and the fields as written.
    const QString xlsx = dir.filePath("варианты.xlsx");
    run = RunTool({"variants", "cooler", "--from", base, "--count", "12", "--seed", "5", "-o", xlsx});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, QStringLiteral("xl/worksheets/sheet1.xml")});
    ASSERT_TRUE(unzip.waitForFinished());
    const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"A1\" t=\"inlineStr\"><is><t>вариант</t></is></c>"))) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"A13\" t=\"inlineStr\"><is><t>В12</t></is></c>")));
    const QString firstField = lines[1].section(QLatin1Char(';'), 1, 1);
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"B2\" t=\"inlineStr\"><is><t>%1</t></is></c>").arg(firstField)));
    // An existing file is replaced only with --force.
    run = RunTool({"variants", "cooler", "--from", base, "--count", "3", "-o", out});
    EXPECT_EQ(run.exitCode, 2);
    const auto contents = [&out] {
        QFile again(out);
        return again.open(QIODevice::ReadOnly) ? again.readAll() : QByteArray();
    };
    EXPECT_EQ(contents(), file);
    run = RunTool({"variants", "cooler", "--from", base, "--count", "3", "--force", "-o", out});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(contents().count('\n'), 4);  // the comment and three variants

    // A base exported from a spreadsheet: Windows-1251, a header giving the
    // density a spread of 0 %, a name column, thousands blanks.
    const QString exported = dir.filePath("основа-1251.csv");
    QByteArray header = "\xe8\xec\xff;\xeb;\xf0 \xb1" "0 %";  // имя;л;р ±0 %
    for (int i = 2; i < 18; ++i) header += ";x" + QByteArray::number(i);
    WriteFile(exported, header + "\r\n\xc1\xe0\xe7\xe0;" +  // База
                        QString(kCoolerBase).replace(QStringLiteral(";500000;"), QStringLiteral(";500 000;")).toUtf8() + "\r\n");
    run = RunTool({"variants", "cooler", "--from", exported, "--id", "--count", "4"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("Windows-1251"))) << run.err.toStdString();
    const QStringList made = QString::fromUtf8(run.outBytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(made.size(), 5);
    for (int i = 1; i < made.size(); ++i) {
        EXPECT_EQ(made[i].section(QLatin1Char(';'), 2, 2), QStringLiteral("995")) << made[i].toStdString();
        EXPECT_FALSE(made[i].contains(QLatin1Char(' ')));
    }

    // Errors: exit 2 with a Russian message; the base is never overwritten.
    run = RunTool({"variants", "cooler", "--from", base, "-o", base});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("входной файл")));
    run = RunTool({"variants", "cooler", "--from", base, "--spread", "0", "--count", "3"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.outBytes.isEmpty());
    EXPECT_EQ(RunTool({"variants", "boiler", "--from", base}).exitCode, 2);
    EXPECT_EQ(RunTool({"variants", "cooler"}).exitCode, 2);
    EXPECT_EQ(RunTool({"variants", "cooler", "--from", base, "--count", "0"}).exitCode, 2);
}

TEST(Variants, NumbersInScientificNotationKeepTheirExponent) {
    // As a spreadsheet writes small numbers in a narrow column.
    const QString base = QString(kHeaterBase)
                             .replace(QStringLiteral("0,000212"), QStringLiteral("2,12E-04"))
                             .replace(QStringLiteral("0,686"), QStringLiteral("6.86e-1"));
    ExpectGoodSet(Apparatus::Heater, base, 6, 1000);
    VariantOptions options;
    options.count = 6;
    const VariantSet set = MakeVariants(options, base);
    ASSERT_TRUE(set.error.isEmpty()) << set.error.toStdString();
    for (const Variant& v : set.variants) {
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9],[0-9]{2}E-04$")).match(v.fields[3]).hasMatch()) << v.fields[3].toStdString();
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9]\\.[0-9]{2}e-1$")).match(v.fields[0]).hasMatch()) << v.fields[0].toStdString();
    }
}

TEST(Variants, DecimalMarkOfTheBaseOrACommaWhenAsked) {
    VariantOptions options;
    options.count = 3;
    const QString pointBase = QString(kHeaterBase).replace(QLatin1Char(','), QLatin1Char('.'));
    const VariantSet set = MakeVariants(options, pointBase);
    ASSERT_TRUE(set.error.isEmpty());
    const QString asWritten = QString::fromStdString(VariantsCsv(options, set));
    EXPECT_TRUE(asWritten.contains(QStringLiteral(";0.025;2;3;100\n")));
    EXPECT_FALSE(asWritten.section(QLatin1Char('\n'), 1).contains(QLatin1Char(',')));
    options.decimalComma = true;
    const QString withComma = QString::fromStdString(VariantsCsv(options, set));
    EXPECT_TRUE(withComma.contains(QStringLiteral(";0,025;2;3;100\n")));
    EXPECT_FALSE(withComma.section(QLatin1Char('\n'), 1).contains(QLatin1Char('.')));
    // The same numbers either way.
    QString back = withComma;
    EXPECT_EQ(back.replace(QLatin1Char(','), QLatin1Char('.')).section(QLatin1Char('\n'), 1),
              asWritten.section(QLatin1Char('\n'), 1));
}

TEST(VariantsTool, RoundTripsThroughARealSpreadsheetGiveTheSameAnswers) {
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: no spreadsheet to try the files with";
    QTemporaryDir dir;
    const QString base = QStringLiteral(HEATX_EXAMPLES_DIR "/base-heater.csv");
    const QString csv = dir.filePath("v.csv"), xlsx = dir.filePath("v.xlsx");
    for (const QString& out : {csv, xlsx})
        ASSERT_EQ(RunTool({"variants", "heater", "--from", base, "--count", "8", "--seed", "3", "-o", out}).exitCode, 0);
    const ToolRun reference = RunTool({"--id", "heater", csv});
    ASSERT_EQ(reference.exitCode, 0) << reference.err.toStdString();
    ASSERT_EQ(reference.out.count(QStringLiteral(";ok;")), 8);

    // The spreadsheet converts in a profile of its own, into a folder per step.
    const auto convert = [&dir](const QString& file, const QString& to, const QString& folder, const QString& filter = {}) {
        QStringList args = {QStringLiteral("-env:UserInstallation=file://") + dir.filePath("profile"), "--headless"};
        if (!filter.isEmpty()) args << QStringLiteral("--infilter=") + filter;
        args << "--convert-to" << to << "--outdir" << dir.filePath(folder) << file;
        QProcess soffice;
        soffice.start(QStringLiteral("soffice"), args);
        EXPECT_TRUE(soffice.waitForFinished(180000));
        return dir.filePath(folder) + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QLatin1Char('.') +
               to.section(QLatin1Char(':'), 0, 0);
    };
    const QString ods = convert(xlsx, "ods", "ods");
    const QString calcXlsx = convert(ods, "xlsx", "calc");
    // Saved back as CSV the way a Russian Calc offers: semicolons, quoted text, Windows-1251.
    const QString cp1251 = convert(ods, "csv:Text - txt - csv (StarCalc):59,34,34,1,,0,true", "csv1251");
    // The CSV opened with Russian number reading: numeric cells, then saved as .xlsx and .ods.
    const QString numeric = convert(csv, "xlsx", "numeric", "Text - txt - csv (StarCalc):59,34,76,1,,1049");
    const QString numericOds = convert(csv, "ods", "numeric", "Text - txt - csv (StarCalc):59,34,76,1,,1049");
    for (const QString& file : {xlsx, ods, calcXlsx, cp1251, numeric, numericOds}) {
        const ToolRun run = RunTool({"--id", "heater", file});
        EXPECT_EQ(run.exitCode, 0) << file.toStdString() << run.err.toStdString();
        EXPECT_EQ(run.out, reference.out) << file.toStdString() << "\n" << run.err.toStdString();
    }

    // The answers as a spreadsheet, saved by Calc as CSV: the same numbers.
    const QString answers = dir.filePath("ответы.xlsx");
    ASSERT_EQ(RunTool({"--id", "-o", answers, "heater", xlsx}).exitCode, 0);
    QFile back(convert(answers, "csv:Text - txt - csv (StarCalc):59,34,76,1", "answers"));
    ASSERT_TRUE(back.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(back.readAll()).remove(QLatin1Char('"')), reference.out);
}
