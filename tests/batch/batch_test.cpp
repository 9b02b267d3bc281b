// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch: the row parser, the statuses, and the tool as a teacher runs it.
#include "batch/row_runner.h"
#include "tool_run.h"
#include "../print_server.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace heatx::batch;

namespace {


QStringList Lines(const QString& text) { return text.split(QLatin1Char('\n')); }

const char kHeaterRow[] = "0,686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;%1;0,025;2;3;100";

QByteArray HeaterRowWithType(const QString& type) {
    return QString::fromUtf8(kHeaterRow).arg(type).toUtf8() + '\n';
}


// Three heater variants as a Russian spreadsheet saves them: a header, a
// variant-number column, a thousands blank, empty columns at the end, CR LF.
const char kSpreadsheet[] =
    "Вариант;Теплопроводность;Плотность;Теплота;Вязкость;Расход пара;Теплопр. ж;Вязк. ж;Теплоёмкость;"
    "Сопротивление;Разность;Расход ж;Тип;d;z;L;n;;\r\n"
    "1;0,686;932;2 171 000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;Г;0,025;2;3;100;;\r\n"
    "2;0,686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;X;0,025;2;3;100;;\r\n"
    "А-3;0,686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;1;В;0,025;2;3;100;;\r\n";

const char kSpreadsheetTable[] =
    "id;status;bad_line;ReTube;AlphaTube;AlphaShell;HeatTransferK;SurfaceF\n"
    "1;ok;;11043.7988;2086.50879;13091.4961;947.279175;19.0985584\n"
    "2;input;11;;;;;\n"
    "А-3;model;;2208.75977;;;;\n";

QByteArray Windows1251(const char* utf8) {
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("-t"),
                                          QStringLiteral("WINDOWS-1251")});
    iconv.write(utf8);
    iconv.closeWriteChannel();
    EXPECT_TRUE(iconv.waitForFinished());
    return iconv.readAllStandardOutput();
}

QByteArray Utf16(const QString& text, bool bigEndian) {
    QByteArray out = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

// Peak resident memory of one run of the tool, in kB, from wait4.
long PeakRssKb(const QStringList& args, const QString& inputPath) {
    std::vector<QByteArray> bytes{QByteArray(HEATX_BATCH)};
    for (const QString& a : args) bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes) argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inputPath.toLocal8Bit().constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // AddressSanitizer holds freed memory back for a while (256 MB by
    // default), which would hide what the tool itself keeps.
    std::vector<QByteArray> env{QByteArray("ASAN_OPTIONS=quarantine_size_mb=1"), QByteArray("LANG=C.UTF-8")};
    std::vector<char*> envp;
    for (QByteArray& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return usage.ru_maxrss;
}

}  // namespace

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
        // The base a teacher starts variants from: every row ok.
        const ToolRun base = RunTool({type, Example(QStringLiteral("base-") + type)});
        const QStringList rows = Lines(base.out.trimmed()).mid(1);
        EXPECT_FALSE(rows.isEmpty()) << type.toStdString();
        for (const QString& row : rows) EXPECT_TRUE(row.startsWith(QStringLiteral("ok;"))) << row.toStdString();
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

TEST(BatchTool, ReportPagesForEveryVariantSeparatedByAFormFeedLine) {
    QByteArray input = HeaterRowWithType(QStringLiteral("Г"));
    input += HeaterRowWithType(QStringLiteral("X"));
    input += HeaterRowWithType(QStringLiteral("В"));
    const ToolRun run = RunTool({QStringLiteral("--report"), QStringLiteral("heater")}, input);
    EXPECT_EQ(run.exitCode, 0);
    const QStringList pages = run.out.split(QStringLiteral("\f\n"));
    ASSERT_EQ(pages.size(), 3) << run.out.toStdString();
    EXPECT_EQ(Lines(pages[0]).size(), 26 + 1);  // a whole report, then the final empty split
    EXPECT_EQ(Lines(pages[0])[1], QStringLiteral("             "));  // no --student: a single blank
    // Page 2 is variant 2: its number, its status and its bad line with what was typed.
    EXPECT_EQ(pages[1], QStringLiteral("             ВАРИАНТ 2 (СТРОКА 2 ФАЙЛА)\n\n"
                                       "             РАСЧЁТ НЕ ВЫПОЛНЕН, СТАТУС input\n"
                                       "             СТРОКА 11 (ТИП ТЕПЛООБМЕННИКА) ВНЕ ДОПУСТИМЫХ ПРЕДЕЛОВ: «X»\n"));
    EXPECT_EQ(Lines(pages[2]).size(), 26 + 1);
    EXPECT_TRUE(run.out.endsWith(QStringLiteral("\n")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("прочитано вариантов: 3 (ok: 2, input: 1, model: 0, fields: 0)")))
        << run.err.toStdString();
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
    // Three ok coolers and one that fails its tube diameter: four pages.
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 4);

    const ToolRun bad = RunTool({QStringLiteral("--report"), QStringLiteral("--pdf"),
                             QStringLiteral("/nonexistent/dir/key.pdf"), QStringLiteral("cooler"),
                             Example(QStringLiteral("cooler"))});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("не удаётся записать файл «/nonexistent/dir/key.pdf»: папка не существует")))
        << bad.err.toStdString();
}

// The teacher's answer key to a printer of the test's own print server: the
// printed pages are those of --pdf, and the status and message say whether
// the key reached the printer.
TEST(BatchTool, PrintSendsTheAnswerKeyAndSaysWhatBecameOfIt) {
    heatx::servers::PrivateCupsd cups;
    if (!cups.Error().isEmpty()) GTEST_SKIP() << "ПРОПУЩЕНО: " << cups.Error().toStdString();
    ASSERT_TRUE(cups.AddQueue(QStringLiteral("lab")) && cups.AddQueue(QStringLiteral("refusing")) &&
                cups.SetDefault(QStringLiteral("lab")));
    ASSERT_TRUE(cups.Run(QStringLiteral("cupsreject"), {QStringLiteral("refusing")}));
    heatx::servers::SilentServer silent;
    ASSERT_TRUE(silent.Listening());
    QTemporaryDir dir;
    const QString key = dir.filePath(QStringLiteral("ключ.pdf"));
    const QByteArray saved = qgetenv("CUPS_SERVER");
    struct Case {
        QByteArray server;
        QStringList print;
        int status;
        QString says;
    };
    const Case cases[] = {
        {cups.Server(), {QStringLiteral("--print"), QStringLiteral("--pdf"), key}, 0,
         QStringLiteral("Отчёт напечатан на принтере «lab». Задание 1. PDF записан в «%1».").arg(key)},
        {cups.Server(), {QStringLiteral("--print=refusing")}, 1,
         QStringLiteral("Отчёт не напечатан на принтере «refusing»: очередь не принимает задания")},
        {cups.Server(), {QStringLiteral("--print"), QStringLiteral("nosuch")}, 1,
         QStringLiteral("Принтер не найден: принтера «nosuch» нет на сервере печати.")},
        {silent.Server(), {QStringLiteral("--print")}, 1, QStringLiteral("Отчёт не напечатан: сервер печати не ответил за 3 с.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.print.join(' ').toStdString());
        qputenv("CUPS_SERVER", c.server);
        const ToolRun run = RunTool(QStringList{QStringLiteral("--report")} + c.print +
                                    QStringList{QStringLiteral("heater"), Example(QStringLiteral("heater"))});
        EXPECT_EQ(run.exitCode, c.status);
        EXPECT_TRUE(run.err.contains(c.says)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());  // the pages went to the printer, not to the terminal
    }
    qputenv("CUPS_SERVER", saved);
    ASSERT_EQ(cups.KeptJobs(), QList<int>{1});
    EXPECT_EQ(cups.JobDocument(1), ReadFile(key));
    EXPECT_EQ(RunTool({QStringLiteral("--print"), QStringLiteral("heater"), Example(QStringLiteral("heater"))}).exitCode, 2);
}

TEST(SpreadsheetFiles, Windows1251WithCrLfHeaderIdAndEmptyColumns) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("группа.csv"));
    WriteFile(path, Windows1251(kSpreadsheet));
    const ToolRun run = RunTool({QStringLiteral("--id"), QStringLiteral("heater"), path});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QString::fromUtf8(kSpreadsheetTable));
    EXPECT_EQ(run.err.count(QStringLiteral("Windows-1251")), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("строка 1 — заголовок"))) << run.err.toStdString();

    // The same file in UTF-8 says nothing of its encoding and gives the same table.
    const ToolRun utf8 = RunTool({QStringLiteral("--id"), QStringLiteral("heater")}, kSpreadsheet);
    EXPECT_EQ(utf8.out, QString::fromUtf8(kSpreadsheetTable));
    EXPECT_FALSE(utf8.err.contains(QStringLiteral("Windows-1251")));
    // Without --id the variant number is a field too many: the last column
    // is not read, and that is said.
    const ToolRun noId = RunTool({QStringLiteral("heater")}, kSpreadsheet);
    for (const QString& line : Lines(noId.out).mid(1, 3)) EXPECT_TRUE(line.startsWith(QStringLiteral("input;"))) << line.toStdString();
    EXPECT_EQ(noId.err.count(QStringLiteral("столбцов 17, а вариант занимает 16")), 1) << noId.err.toStdString();
    // --no-header reads the header as a variant.
    const ToolRun header = RunTool({QStringLiteral("--id"), QStringLiteral("--no-header"), QStringLiteral("heater")},
                                   kSpreadsheet);
    EXPECT_EQ(Lines(header.out)[1], QStringLiteral("Вариант;input;0;;;;;"));
}

TEST(SpreadsheetFiles, Utf16LoneCrCommasAndThousandsBlanks) {
    const QString expected = QString::fromUtf8(kSpreadsheetTable);
    for (bool big : {false, true}) {
        const ToolRun run = RunTool({QStringLiteral("--id"), QStringLiteral("heater")},
                                    Utf16(QString::fromUtf8(kSpreadsheet), big));
        EXPECT_EQ(run.out, expected) << "big endian " << big << run.err.toStdString();
    }
    // Lone CR line ends (old Mac spreadsheets): nothing lost.
    QByteArray cr = kSpreadsheet;
    cr.replace("\r\n", "\r");
    EXPECT_EQ(RunTool({QStringLiteral("--id"), QStringLiteral("heater")}, cr).out, expected);

    // The default comma-separated export of an English spreadsheet: decimal
    // points, and a quoted field where a cell holds a comma.
    const QByteArray commas =
        "0.686,932,2171000,0.000212,0.5,0.642,0.000549,4180,0.0005,60,5,Г,0.025,2,3,100\n"
        "\"0,686\",932,2171000,0.000212,0.5,0.642,0.000549,4180,0.0005,60,5,В,0.025,2,3,100\n";
    const ToolRun comma = RunTool({QStringLiteral("heater")}, commas);
    const QStringList lines = Lines(comma.out);
    ASSERT_EQ(lines.size(), 4) << comma.out.toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("ok;;11043.7988;2086.50879;13091.4961;947.279175;19.0985584"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("ok;;11043.7988;2086.50879;7095.30762")));
    EXPECT_TRUE(comma.err.contains(QStringLiteral("запятая"))) << comma.err.toStdString();
    const ToolRun forced = RunTool({QStringLiteral("--separator"), QStringLiteral(";"), QStringLiteral("heater")}, commas);
    EXPECT_EQ(Lines(forced.out)[1], QStringLiteral("fields;;;;;;"));

    // Thousands blanks: a blank, a no-break space, a narrow no-break space.
    for (const char* blank : {" ", "\xC2\xA0", "\xE2\x80\xAF"}) {
        const QByteArray row = QByteArray("0,686;932;2") + blank + "171" + blank + "000;0,000212;0,5;0,642;0,000549;"
                                                                                   "4180;0,0005;60;5;Г;0,025;2;3;100\n";
        EXPECT_EQ(Lines(RunTool({QStringLiteral("heater")}, row).out)[1],
                  QStringLiteral("ok;;11043.7988;2086.50879;13091.4961;947.279175;19.0985584"));
    }
}

TEST(SpreadsheetFiles, DecimalCommaAndTheLocalesMark) {
    const QString row = QStringLiteral("1;ok;;11043,7988;2086,50879;13091,4961;947,279175;19,0985584");
    EXPECT_EQ(Lines(RunTool({QStringLiteral("--id"), QStringLiteral("--decimal-comma"), QStringLiteral("heater")},
                            kSpreadsheet).out)[1], row);
    EXPECT_EQ(Lines(RunTool({QStringLiteral("--id"), QStringLiteral("--numbers"), QStringLiteral("locale"),
                             QStringLiteral("heater")}, kSpreadsheet, QStringLiteral("ru_RU.UTF-8")).out)[1], row);
    EXPECT_EQ(Lines(RunTool({QStringLiteral("--id"), QStringLiteral("--numbers"), QStringLiteral("locale"),
                             QStringLiteral("heater")}, kSpreadsheet, QStringLiteral("en_US.UTF-8")).out)[1],
              QStringLiteral("1;ok;;11043.7988;2086.50879;13091.4961;947.279175;19.0985584"));
    // Without an option the locale does not change the table.
    EXPECT_EQ(RunTool({QStringLiteral("--id"), QStringLiteral("heater")}, kSpreadsheet, QStringLiteral("ru_RU.UTF-8")).out,
              QString::fromUtf8(kSpreadsheetTable));
}

TEST(SpreadsheetFiles, CsvFilesForARussianSpreadsheetSayTheirEncoding) {
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("ответы.csv"));
    const QByteArray comma = RunTool({QStringLiteral("--id"), QStringLiteral("--decimal-comma"), QStringLiteral("heater")},
                                     kSpreadsheet).out.toUtf8();
    const struct {
        QStringList options;
        const char* lang;
        QByteArray file;
    } cases[] = {
        {{QStringLiteral("--decimal-comma")}, "C.UTF-8", "\xEF\xBB\xBF" + comma},
        {{QStringLiteral("--numbers"), QStringLiteral("locale")}, "ru_RU.UTF-8", "\xEF\xBB\xBF" + comma},
        {{QStringLiteral("--decimal-comma"), QStringLiteral("--encoding"), QStringLiteral("windows-1251")}, "C.UTF-8",
         Windows1251(comma.constData())},
        {{}, "ru_RU.UTF-8", QByteArray(kSpreadsheetTable)},  // a point: as before, no mark
    };
    for (const auto& c : cases) {
        const QString input = dir.filePath(QStringLiteral("группа.csv"));
        QFile::remove(input);
        WriteFile(input, c.options.contains(QStringLiteral("--encoding")) ? Windows1251(kSpreadsheet) : QByteArray(kSpreadsheet));
        const ToolRun run = RunTool(QStringList{QStringLiteral("--force"), QStringLiteral("--id"), QStringLiteral("-o"), csv} +
                                        c.options + QStringList{QStringLiteral("heater"), input},
                                    {}, QString::fromLatin1(c.lang));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(ReadFile(csv), c.file) << c.options.join(' ').toStdString();
    }
}

TEST(SpreadsheetFiles, OutputFilesCsvAndXlsx) {
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("группа.csv"));
    WriteFile(input, kSpreadsheet);
    const QString csv = dir.filePath(QStringLiteral("ответы.csv"));
    ToolRun run = RunTool({QStringLiteral("--id"), QStringLiteral("-o"), csv, QStringLiteral("heater"), input});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(ReadFile(csv), QByteArray(kSpreadsheetTable));
    // An existing file stays unless --force; the input is never written over.
    WriteFile(csv, "keep");
    run = RunTool({QStringLiteral("--id"), QStringLiteral("-o"), csv, QStringLiteral("heater"), input});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("--force"))) << run.err.toStdString();
    EXPECT_EQ(ReadFile(csv), QByteArray("keep"));
    run = RunTool({QStringLiteral("--force"), QStringLiteral("--id"), QStringLiteral("-o"), csv, QStringLiteral("heater"), input});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ReadFile(csv), QByteArray(kSpreadsheetTable));
    run = RunTool({QStringLiteral("--force"), QStringLiteral("-o"), input, QStringLiteral("heater"), input});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("входной файл"))) << run.err.toStdString();
    EXPECT_EQ(ReadFile(input), QByteArray(kSpreadsheet));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // no temporary left

    // A real spreadsheet: read the sheet back; numbers are numeric cells.
    const QString xlsx = dir.filePath(QStringLiteral("ответы.xlsx"));
    run = RunTool({QStringLiteral("--id"), QStringLiteral("-o"), xlsx, QStringLiteral("heater"), input});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, QStringLiteral("xl/worksheets/sheet1.xml")});
    ASSERT_TRUE(unzip.waitForFinished());
    const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"A1\" t=\"inlineStr\"><is><t>id</t></is></c>"))) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"H1\" t=\"inlineStr\"><is><t>SurfaceF</t></is></c>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"A4\" t=\"inlineStr\"><is><t>А-3</t></is></c>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"D2\"><v>11043.7988</v></c>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"H2\"><v>19.0985584</v></c>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"C3\"><v>11</v></c>")));  // bad_line, a number
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"D4\"><v>2208.75977</v></c>")));
}

TEST(SpreadsheetFiles, ReportPagesNameEveryVariant) {
    const ToolRun run = RunTool({QStringLiteral("--id"), QStringLiteral("--report"), QStringLiteral("heater")},
                                kSpreadsheet);
    EXPECT_EQ(run.exitCode, 0);
    const QStringList pages = run.out.split(QStringLiteral("\f\n"));
    ASSERT_EQ(pages.size(), 3);
    EXPECT_TRUE(pages[0].startsWith(QStringLiteral("             ВАРИАНТ: 1\n")));
    EXPECT_TRUE(pages[1].startsWith(QStringLiteral("             ВАРИАНТ: 2 (СТРОКА 3 ФАЙЛА)\n")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("ВАРИАНТ: А-3 (СТРОКА 4 ФАЙЛА)")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("СТАТУС model")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("ЧИСЛО RE В ТРУБАХ 2208.76 НЕ БОЛЬШЕ 2300")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("прочитано вариантов: 3 (ok: 1, input: 1, model: 1, fields: 0); "
                                                "пропущено строк: заголовок — 1, комментарии — 0, пустые — 0")))
        << run.err.toStdString();

    // The PDF key: page N is variant N, the failed ones included.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("ключ.pdf"));
    const ToolRun key = RunTool({QStringLiteral("--id"), QStringLiteral("--report"), QStringLiteral("--pdf"), pdf,
                                 QStringLiteral("heater")}, kSpreadsheet);
    EXPECT_EQ(key.exitCode, 0) << key.err.toStdString();
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished());
    const QStringList pdfPages = QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f'));
    ASSERT_GE(pdfPages.size(), 3);
    EXPECT_TRUE(pdfPages[0].contains(QStringLiteral("ВАРИАНТ: 1")));
    EXPECT_TRUE(pdfPages[0].contains(QStringLiteral("Расчет подогревателя")));
    EXPECT_TRUE(pdfPages[1].contains(QStringLiteral("СТАТУС input")));
    EXPECT_TRUE(pdfPages[1].contains(QStringLiteral("ТИП ТЕПЛООБМЕННИКА")));
    EXPECT_TRUE(pdfPages[2].contains(QStringLiteral("ВАРИАНТ: А-3")));
}

TEST(SpreadsheetFiles, OverlongLinesZeroBytesAndBoundedMemory) {
    QByteArray input = HeaterRowWithType(QStringLiteral("Г"));
    input += QByteArray(2 << 20, '5') + "\n";  // a 2 MB line
    input += HeaterRowWithType(QStringLiteral("В"));
    const ToolRun run = RunTool({QStringLiteral("heater")}, input);
    EXPECT_EQ(run.exitCode, 0);
    const QStringList lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("ok;;")));
    EXPECT_EQ(lines[2], QStringLiteral("fields;;;;;;"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("ok;;")));

    // Endless zero bytes: not text; a clear message, exit 2, soon.
    const ToolRun zero = RunTool({QStringLiteral("heater"), QStringLiteral("/dev/zero")});
    EXPECT_EQ(zero.exitCode, 2);
    EXPECT_TRUE(zero.err.contains(QStringLiteral("нулевой байт"))) << zero.err.toStdString();

    // Memory does not grow with the input: 30 MB of variants and comments
    // take little more than a few lines do (the whole file held in memory
    // would add over 100 MB).
    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("small.csv"));
    const QString large = dir.filePath(QStringLiteral("large.csv"));
    const QByteArray row = HeaterRowWithType(QStringLiteral("Г"));
    WriteFile(small, row);
    {
        QFile file(large);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray block;
        for (int i = 0; i < 300; ++i) block += row;
        block += "# " + QByteArray(400000, 'x') + "\n";
        while (file.size() < (30 << 20)) ASSERT_EQ(file.write(block), block.size());
    }
    for (const QStringList& mode : {QStringList{QStringLiteral("heater")},
                                    QStringList{QStringLiteral("--report"), QStringLiteral("heater")}}) {
        const long base = PeakRssKb(mode, small);
        const long big = PeakRssKb(mode, large);
        ASSERT_GT(base, 0);
        ASSERT_GT(big, 0);
        EXPECT_LT(big - base, 20 * 1024) << mode.join(' ').toStdString() << ": " << base << " kB vs " << big << " kB";
    }
}

TEST(BatchFailures, EveryWriteFailureIsSaidAndExitsWithOne) {
    const QString example = Example(QStringLiteral("heater"));
    ToolRun run = RunTool({QStringLiteral("heater"), example}, {}, QStringLiteral("C.UTF-8"), QStringLiteral("/dev/full"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("не удаётся записать стандартный вывод: нет места на устройстве")))
        << run.err.toStdString();
    run = RunTool({QStringLiteral("--report"), QStringLiteral("heater"), example}, {}, QStringLiteral("C.UTF-8"),
                  QStringLiteral("/dev/full"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("нет места на устройстве"))) << run.err.toStdString();
    run = RunTool({QStringLiteral("--report"), QStringLiteral("--pdf"), QStringLiteral("/dev/full"),
                   QStringLiteral("heater"), example});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("«/dev/full»: нет места на устройстве"))) << run.err.toStdString();
    run = RunTool({QStringLiteral("-o"), QStringLiteral("/dev/full"), QStringLiteral("heater"), example});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("«/dev/full»: нет места на устройстве"))) << run.err.toStdString();
}

TEST(BatchFailures, PdfNeverOverTheInputOrAnExistingFile) {
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("варианты.csv"));
    const QByteArray variants = ReadFile(Example(QStringLiteral("cooler")));
    WriteFile(input, variants);
    ToolRun run = RunTool({QStringLiteral("--report"), QStringLiteral("--pdf"), input, QStringLiteral("--force"),
                           QStringLiteral("cooler"), input});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("входной файл"))) << run.err.toStdString();
    EXPECT_EQ(ReadFile(input), variants);

    const QString pdf = dir.filePath(QStringLiteral("ключ.pdf"));
    WriteFile(pdf, "old key");
    run = RunTool({QStringLiteral("--report"), QStringLiteral("--pdf"), pdf, QStringLiteral("cooler"), input});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("уже есть"))) << run.err.toStdString();
    EXPECT_EQ(ReadFile(pdf), QByteArray("old key"));
    run = RunTool({QStringLiteral("--report"), QStringLiteral("--force"), QStringLiteral("--pdf"), pdf,
                   QStringLiteral("cooler"), input});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(ReadFile(pdf).startsWith("%PDF"));
    EXPECT_TRUE(ReadFile(pdf).trimmed().endsWith("%%EOF"));
}

TEST(BatchFailures, ControlCharactersInStudentOrDateAreUsageErrors) {
    for (const QString& student : {QStringLiteral("иванов\nи.и."), QStringLiteral("иванов\f"),
                                   QStringLiteral("a\rb"), QStringLiteral("a\u2028b"), QStringLiteral("a\tb")}) {
        const ToolRun run = RunTool({QStringLiteral("--report"), QStringLiteral("--student"), student,
                                     QStringLiteral("heater"), Example(QStringLiteral("heater"))});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains(QStringLiteral("--student"))) << run.err.toStdString();
    }
    const ToolRun date = RunTool({QStringLiteral("--report"), QStringLiteral("--date"),
                                  QStringLiteral("2026-12-07 14:05:33\n\f"), QStringLiteral("heater")});
    EXPECT_EQ(date.exitCode, 2);
    const ToolRun help = RunTool({QStringLiteral("--help")});
    EXPECT_TRUE(help.out.contains(QStringLiteral("Код выхода: 0 — готово; 1 — вывод не удалось записать")));
}

TEST(BatchTrace, TraceTableEndsInTheResultsTable) {
    // Each row of heatx-batch trace ends in the numbers of the results table
    // (the same 4-byte values, the same nine digits).
    struct Type {
        const char* type;
        std::vector<std::pair<const char*, const char*>> columns;  // trace column, results column
    };
    const Type types[] = {
        {"heater", {{"Re", "ReTube"}, {"α1", "AlphaTube"}, {"α2", "AlphaShell"}, {"K", "HeatTransferK"}, {"F", "SurfaceF"}}},
        {"cooler", {{"Re1", "ReTube"}, {"Re2", "ReShell"}, {"α2", "AlphaShell"}, {"F", "SurfaceF"}}},
        {"evaporator", {{"α1", "AlphaTube"}, {"α2", "AlphaShell"}, {"K", "HeatTransferK"}, {"F", "SurfaceF"}}},
    };
    for (const Type& t : types) {
        SCOPED_TRACE(t.type);
        const ToolRun run = RunTool({QStringLiteral("trace"), QString::fromUtf8(t.type), Example(QString::fromUtf8(t.type))});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QStringList traceRows = Lines(run.out.trimmed());
        const QStringList resultRows = Lines(Golden(QStringLiteral("results_%1.csv").arg(QString::fromUtf8(t.type))).trimmed());
        ASSERT_EQ(traceRows.size(), resultRows.size());
        const QStringList traceHead = traceRows[0].split(QLatin1Char(';'));
        const QStringList resultHead = resultRows[0].split(QLatin1Char(';'));
        int compared = 0;
        for (qsizetype r = 1; r < traceRows.size(); ++r) {
            const QStringList tr = traceRows[r].split(QLatin1Char(';'));
            const QStringList rr = resultRows[r].split(QLatin1Char(';'));
            ASSERT_EQ(tr.size(), traceHead.size());
            EXPECT_EQ(tr[0], rr[0]);  // status
            if (rr[0] != QLatin1String("ok")) continue;
            for (auto [traceColumn, resultColumn] : t.columns) {
                // The last column of that name: the value the run ended with.
                const qsizetype at = traceHead.lastIndexOf(QString::fromUtf8(traceColumn));
                ASSERT_GE(at, 0) << traceColumn;
                EXPECT_EQ(tr[at], rr[resultHead.indexOf(QString::fromUtf8(resultColumn))]) << traceColumn;
                ++compared;
            }
        }
        EXPECT_GT(compared, 0);
    }

    // The regime is a text cell; --decimal-comma and .xlsx as for the results table.
    ToolRun run = RunTool({QStringLiteral("trace"), QStringLiteral("--decimal-comma"), QStringLiteral("heater"),
                           Example(QStringLiteral("heater"))});
    EXPECT_TRUE(run.out.contains(QStringLiteral(";турбулентный;0,023;0,800000012;"))) << run.out.toStdString();
    QTemporaryDir dir;
    const QString xlsx = dir.filePath(QStringLiteral("ход.xlsx"));
    run = RunTool({QStringLiteral("trace"), QStringLiteral("-o"), xlsx, QStringLiteral("cooler"), Example(QStringLiteral("cooler"))});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, QStringLiteral("xl/worksheets/sheet1.xml")});
    ASSERT_TRUE(unzip.waitForFinished());
    const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
    EXPECT_TRUE(sheet.contains(QStringLiteral("<t>проход 1: x</t>"))) << sheet.left(2000).toStdString();

    // --trace belongs to reports; the trace table is no report.
    for (const QStringList& args : {QStringList{QStringLiteral("--trace"), QStringLiteral("heater")},
                                    QStringList{QStringLiteral("trace"), QStringLiteral("--report"), QStringLiteral("heater")}}) {
        run = RunTool(args, HeaterRowWithType(QStringLiteral("Г")));
        EXPECT_EQ(run.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("--report"))) << run.err.toStdString();
    }
}

// heatx-batch chart: the picture of one variant in each format, the axis
// titles in the SVG and each curve one path; refusals of a bad call.
TEST(BatchChart, SvgPngAndPdfOfOneVariant) {
    QTemporaryDir dir;
    const QString examples = QStringLiteral(HEATX_EXAMPLES_DIR);
    const auto chart = [&](const QString& type, const QString& out, const QStringList& more = {},
                           const QString& lang = QStringLiteral("ru_RU.UTF-8")) {
        return RunTool(QStringList{QStringLiteral("chart"), type, examples + '/' + type + QStringLiteral(".csv"),
                                   QStringLiteral("--row"), QStringLiteral("1"), QStringLiteral("-o"),
                                   dir.filePath(out)} + more, {}, lang);
    };
    ToolRun run = chart(QStringLiteral("heater"), QStringLiteral("h.svg"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile svg(dir.filePath(QStringLiteral("h.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(svg.readAll());
    // The titles may be written a word to a text element.
    QString words;
    static const QRegularExpression element(QStringLiteral("<text[^>]*>([^<]*)</text>"));
    for (const QRegularExpressionMatch& m : element.globalMatch(text)) words += m.captured(1);
    for (const char* title : {"Общее число труб n, шт.", "Поверхность теплообмена F, м²",
                              "Коэффициент теплопередачи K, Вт/(м²·К)", "Число Рейнольдса Re в трубах"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(title))) << title;
    // The axes in the decimal mark of the locale: 20,0 m² here, 20.0 in C.
    EXPECT_TRUE(words.contains(QStringLiteral("20,0"))) << words.toStdString();
    ASSERT_EQ(chart(QStringLiteral("heater"), QStringLiteral("c.svg"), {}, QStringLiteral("C.UTF-8")).exitCode, 0);
    QFile plain(dir.filePath(QStringLiteral("c.svg")));
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    EXPECT_TRUE(plain.readAll().contains(">20.0<"));
    // z = 1, 2, 4, 6, 8 (the variant's own 2 among them): each a path of its
    // colour for F, K and Re, the heater's gap at the end of each.
    static const QRegularExpression group(QStringLiteral("<g [^>]*stroke=\"(#[0-9a-f]{6})\"[^>]*>(.*?)</g>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    QMap<QString, int> paths;
    for (const QRegularExpressionMatch& m : group.globalMatch(text)) paths[m.captured(1)] += int(m.captured(2).count("<path"));
    for (const char* colour : {"#0000c0", "#c00000", "#008000", "#800080", "#000000"})
        EXPECT_EQ(paths.value(QString::fromLatin1(colour)), 3) << colour;
    EXPECT_EQ(paths.value(QStringLiteral("#a05000")), 0);  // no sixth curve

    run = chart(QStringLiteral("cooler"), QStringLiteral("c.png"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile png(dir.filePath(QStringLiteral("c.png")));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    EXPECT_EQ(png.read(4), QByteArray("\x89PNG"));
    run = chart(QStringLiteral("evaporator"), QStringLiteral("e.pdf"));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile pdf(dir.filePath(QStringLiteral("e.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), QByteArray("%PDF-"));

    // An existing picture stays unless --force; a variant the file lacks, an
    // unknown format: usage errors.
    run = chart(QStringLiteral("evaporator"), QStringLiteral("e.pdf"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("--force"))) << run.err.toStdString();
    EXPECT_EQ(chart(QStringLiteral("evaporator"), QStringLiteral("e.pdf"), {QStringLiteral("--force")}).exitCode, 0);
    run = RunTool({QStringLiteral("chart"), QStringLiteral("heater"), examples + QStringLiteral("/heater.csv"),
                   QStringLiteral("--row"), QStringLiteral("9999"), QStringLiteral("-o"), dir.filePath("x.svg")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QStringLiteral("варианта 9999 нет"))) << run.err.toStdString();
    EXPECT_EQ(chart(QStringLiteral("heater"), QStringLiteral("h.gif")).exitCode, 2);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.svg"))));
}
