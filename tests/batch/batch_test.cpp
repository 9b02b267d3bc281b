// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch: the row parser, the statuses, and the tool as a teacher runs it.
#include "batch/batch.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace heatx::batch;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun RunTool(const QStringList& args, const QByteArray& input = {}, const QString& lang = QStringLiteral("C.UTF-8")) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("LC_ALL"));
    env.remove(QStringLiteral("LC_NUMERIC"));
    env.insert(QStringLiteral("LANG"), lang);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(HEATX_BATCH), args);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString Golden(const QString& name) {
    QFile file(QStringLiteral(HEATX_GOLDEN_DIR "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(file.readAll());
}

QString Example(const QString& type) { return QStringLiteral(HEATX_EXAMPLES_DIR "/") + type + QStringLiteral(".csv"); }

QStringList Lines(const QString& text) { return text.split(QLatin1Char('\n')); }

const char kHeaterRow[] = "0,686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;%1;0,025;2;3;100";

QByteArray HeaterRowWithType(const QString& type) {
    return QString::fromUtf8(kHeaterRow).arg(type).toUtf8() + '\n';
}

}  // namespace

TEST(SplitRow, SemicolonsAndQuotedFields) {
    EXPECT_EQ(SplitRow(u"a;b;;c"), QStringList({"a", "b", "", "c"}));
    EXPECT_EQ(SplitRow(u""), QStringList({""}));
    EXPECT_EQ(SplitRow(u"\"1;5\";\"say \"\"hi\"\"\";x"), QStringList({"1;5", "say \"hi\"", "x"}));
    EXPECT_EQ(SplitRow(u"\"\";"), QStringList({"", ""}));
    EXPECT_FALSE(SplitRow(u"\"open;b").has_value());
    EXPECT_FALSE(SplitRow(u"\"a\"b;c").has_value());
    EXPECT_EQ(SplitRow(u" \"a\""), QStringList({" \"a\""}));  // not quoted: starts with a blank
}

TEST(HeaterType, CyrillicOrLatinLettersInEitherCase) {
    for (const char* h : {"Г", "г", "H", "h"}) EXPECT_EQ(ParseHeaterHorizontal(QString::fromUtf8(h)), true) << h;
    for (const char* v : {"В", "в", "V", "v"}) EXPECT_EQ(ParseHeaterHorizontal(QString::fromUtf8(v)), false) << v;
    for (const char* bad : {"", "ГГ", "Г ", " Г", "X", "1", "Н"})
        EXPECT_FALSE(ParseHeaterHorizontal(QString::fromUtf8(bad)).has_value()) << bad;
}

TEST(BatchTool, ExampleFilesGiveTheVerifiedResults) {
    for (const QString type : {"heater", "cooler", "evaporator"}) {
        const ToolRun run = RunTool({type, Example(type)});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, Golden(QStringLiteral("results_") + type + QStringLiteral(".csv"))) << type.toStdString();
    }
}

TEST(BatchTool, StatusesAndBadLines) {
    QByteArray input = "# comment\n\n   \n";
    input += HeaterRowWithType(QStringLiteral("h"));      // ok
    input += HeaterRowWithType(QStringLiteral("ГГ"));     // type fails as line 11
    input += HeaterRowWithType(QStringLiteral("\"В\""));  // quoted: ok
    input += "0,686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;Г;0,019;2;3;9.8\n";  // n fails
    input += "0,686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;1;Г;0,025;2;3;100\r\n";  // model
    input += "1;2;3\n";                                    // fields
    input += "\"unterminated;932\n";                       // fields
    input += "nan;inf;0x10;-0;1e39;;;;;;;Г;;;;\n";          // line 0 fails
    const ToolRun run = RunTool({QStringLiteral("heater")}, "\xEF\xBB\xBF" + input);
    ASSERT_EQ(run.exitCode, 0);
    const QStringList lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 10) << run.out.toStdString();
    EXPECT_EQ(lines[0], "status;bad_line;ReTube;AlphaTube;AlphaShell;HeatTransferK;SurfaceF");
    EXPECT_TRUE(lines[1].startsWith("ok;;11043.7988;"));
    EXPECT_EQ(lines[2], "input;11;;;;;");
    EXPECT_TRUE(lines[3].startsWith("ok;;"));
    EXPECT_EQ(lines[4], "input;15;;;;;");
    EXPECT_EQ(lines[5], "model;;2208.75977;;;;");
    EXPECT_EQ(lines[6], "fields;;;;;;");
    EXPECT_EQ(lines[7], "fields;;;;;;");
    EXPECT_EQ(lines[8], "input;0;;;;;");
    EXPECT_EQ(lines[9], "");
}

TEST(BatchTool, CoolerAndEvaporatorConstructiveLines) {
    const QByteArray cooler =
        "0,62;995;0,0008;4180;0,0003;10;0,65;0,0005;4190;12;25;0,0006;500000;0,025;2;0,0005;100;0,02\n"
        "0,62;995;0,0008;4180;0,0003;10;0,65;0,0005;4190;12;25;0,0006;500000;0,025;2;0,0001;100;0,02\n"
        "0,62;995;0,0008;4180;0,0003;10;0,65;0,0005;4190;12;25;0,0006;500000;0,025;2;0,95;100;0,5\n";
    const QStringList c = Lines(RunTool({QStringLiteral("cooler")}, cooler).out);
    ASSERT_EQ(c.size(), 5);
    EXPECT_TRUE(c[1].startsWith("ok;;"));  // 0.0005 passes at first entry
    EXPECT_EQ(c[2], "input;15;;;;;;");
    EXPECT_EQ(c[3], "input;17;;;;;;");

    const QByteArray evap =
        "0,684;923;2141000;0,000191;0,683;958;4220;0,000282;0,0589;0,598;0,598;2256000;43;0,0005;1000000;1\n"
        "0,684;923;2141000;0,000191;0,683;958;4220;0,000282;0,0589;0,598;0,598;2256000;43;0,0005;1000000;10,01\n"
        "0,684;923;2141000;0,000191;0,683;958;4220;0,000282;0,0589;0,598;0,598;2256000;43;0,0005;1000000;\n"
        "0,684;923;2141000;0,000191;0,683;958;4220;0,000282;0,0589;0,02;0,598;50000;100;0,0005;1000000;4\n";
    const QStringList e = Lines(RunTool({QStringLiteral("evaporator")}, evap).out);
    ASSERT_EQ(e.size(), 6);
    EXPECT_TRUE(e[1].startsWith("ok;;"));
    EXPECT_EQ(e[2], "input;15;;;;");
    EXPECT_EQ(e[3], "input;15;;;;");
    EXPECT_EQ(e[4], "model;;;;;");
}

TEST(BatchTool, UsageErrorsExitWithTwoAndAMessage) {
    ToolRun run = RunTool({QStringLiteral("boiler")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("неизвестный тип"))) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    run = RunTool({QStringLiteral("heater"), QStringLiteral("/nonexistent/variants.csv")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("не удаётся прочитать")));
    run = RunTool({});
    EXPECT_EQ(run.exitCode, 2);
    run = RunTool({QStringLiteral("--report"), QStringLiteral("--date"), QStringLiteral("7.12.2026"),
                   QStringLiteral("heater")});
    EXPECT_EQ(run.exitCode, 2);
    run = RunTool({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral("Пример")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("status;bad_line;ReTube;ReShell")));
}

TEST(BatchTool, ReportsMatchTheGoldenPagesInRussianAndEnglishLocales) {
    for (const QString type : {"heater", "cooler", "evaporator"}) {
        const QString variant = QStringLiteral(HEATX_GOLDEN_DIR "/") + type + QStringLiteral("_variant.csv");
        const ToolRun ru = RunTool({QStringLiteral("--report"), QStringLiteral("--student"),
                                QStringLiteral("петров п.п. гр. х-21"), QStringLiteral("--date"),
                                QStringLiteral("2026-12-07 14:05:33"), type, variant},
                               {}, QStringLiteral("ru_RU.UTF-8"));
        EXPECT_EQ(ru.exitCode, 0);
        EXPECT_EQ(ru.out, Golden(type + QStringLiteral("_ru.txt"))) << type.toStdString();
        const ToolRun en = RunTool({QStringLiteral("--report"), QStringLiteral("--date"),
                                QStringLiteral("2027-01-01 09:00:00"), type, variant},
                               {}, QStringLiteral("en_US.UTF-8"));
        EXPECT_EQ(en.out, Golden(type + QStringLiteral("_en.txt"))) << type.toStdString();
    }
}

TEST(BatchTool, ReportsOnlyOkRowsSeparatedByAFormFeedLine) {
    QByteArray input = HeaterRowWithType(QStringLiteral("Г"));
    input += HeaterRowWithType(QStringLiteral("X"));
    input += HeaterRowWithType(QStringLiteral("В"));
    const ToolRun run = RunTool({QStringLiteral("--report"), QStringLiteral("heater")}, input);
    const QStringList lines = Lines(run.out);
    EXPECT_EQ(lines.count(QStringLiteral("\f")), 1);
    EXPECT_EQ(lines.size(), 26 + 1 + 26 + 1);  // two reports, the separator, the final empty split
    EXPECT_EQ(lines[1], QStringLiteral("             "));  // no --student: a single blank
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("\n")));
}

TEST(BatchTool, PdfAnswerKeyForAWholeGroup) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("ключ.pdf"));
    const ToolRun run = RunTool({QStringLiteral("--report"), QStringLiteral("--pdf"), pdf, QStringLiteral("cooler"),
                             Example(QStringLiteral("cooler"))});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // Three ok coolers: three pages.
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 3);

    const ToolRun bad = RunTool({QStringLiteral("--report"), QStringLiteral("--pdf"),
                             QStringLiteral("/nonexistent/dir/key.pdf"), QStringLiteral("cooler"),
                             Example(QStringLiteral("cooler"))});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("не удаётся записать")));
}
