// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch check: saved reports of the windows program and of heatx-batch
// are right; a changed number, head or block is found and named; anything
// else is not a report, and nothing makes the check crash or hang.
#include "batch/pdf_text.h"
#include "tool_run.h"
#include "batch/report_check.h"
#include "heater/heater_input.h"
#include "heater/heater_model.h"
#include "heater/heater_report.h"
#include "cooler/cooler_input.h"
#include "cooler/cooler_model.h"
#include "cooler/cooler_report.h"
#include "evaporator/evap_input.h"
#include "evaporator/evap_model.h"
#include "evaporator/evap_report.h"
#include "platform/paged_text_printer.h"
#include "platform/pdf_text_map.h"
#include "platform/qt_report_printer.h"
#include "report/report_frame.h"
#include "text/text_format.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QProcess>
#include <QStringConverter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace heatx;
using namespace heatx::batch;

namespace {



// The report lines of the tool's output that are not detail lines.
QStringList ReportLines(const QString& out) {
    QStringList lines;
    for (const QString& l : out.split(QLatin1Char('\n')))
        if (!l.isEmpty() && !l.section(QLatin1Char(';'), 1, 1).startsWith(QStringLiteral("блок"))) lines.append(l);
    return lines;
}

ReportSummary Check(const QString& text) { return CheckReportText(text); }

bool HasDifference(const ReportSummary& s, int block, const QString& quantity, const QString& printed,
                   const QString& computed) {
    for (const Difference& d : s.differences)
        if (d.block == block && d.quantity.startsWith(quantity) && d.printed == printed && d.computed == computed)
            return true;
    return false;
}

std::string Describe(const ReportSummary& s) {
    std::string out = s.isReport ? "report" : "not a report: " + s.reason.toStdString();
    for (const Difference& d : s.differences)
        out += "\n  " + std::to_string(d.block) + " | " + d.quantity.toStdString() + " | " + d.printed.toStdString() +
               " | " + d.computed.toStdString();
    return out;
}

// Reports as the windows program prints them, saved by its printer to a PDF
// and its text copy in a folder of our own.
class ProgramReports : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        qputenv("HEATX_REPORT_DIR", dir_.path().toUtf8());
        qputenv("XDG_STATE_HOME", state_.path().toUtf8());  // the printer's notes for the next start
    }
    void TearDown() override {
        qunsetenv("HEATX_REPORT_DIR");
        qunsetenv("XDG_STATE_HOME");
        SetDecimalMark(QLatin1Char('.'));
    }

    // Saves one document through the program's printer; the PDF path.
    QString Save(const QString& apparatus, const std::function<void(Printer&)>& print) {
        QtReportPrinter printer([](const QString&, const QString&, const QString&) {},
                                [this] { return QDateTime(QDate(2026, 12, 7), QTime(14, 5, ++second_)); });
        printer.SetApparatus(apparatus);
        print(printer);
        printer.EndDocument();
        return printer.LastDestination();
    }

    static DateLineSource Date(const QLocale& locale) {
        return [locale] { return DateLine(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 33)), locale); };
    }

    QTemporaryDir dir_;
    QTemporaryDir state_;
    int second_ = 0;
};

const QStringList kHeaterSheet = {"0,686", "932", "2171000", "0,000212", "0,5", "0,642",
                                  "0,000549", "4180", "0,0005", "60", "5"};

// Heater: head and a block; another construction; the sheet changed and a
// vertical apparatus printed under a new head, all in one document.
void PrintHeaterSession(Printer& p, const DateLineSource& date) {
    CalcState s;
    FillHeaterCaptions(s);
    s.StudentLine = ProperCase(QStringLiteral("петров п.п. гр. х-21")) + QLatin1Char(' ');
    for (int i = 0; i < kHeaterSheetLines; ++i) StoreTypedLine(s.HeaterValueTexts[i], s.InputValues[i], kHeaterSheet[i]);
    const QStringList construction = {"0,025", "2", "3", "100"};
    for (int i = 0; i < 4; ++i) StoreTypedLine(s.HeaterValueTexts[12 + i], s.InputValues[12 + i], construction[i]);
    s.ResetPrintFlags();
    s.HeaterHorizontal = kSet;
    HeaterModel(s);
    PrintHeaterRow(s, p, date);
    p.EndBlock();
    StoreTypedLine(s.HeaterValueTexts[15], s.InputValues[15], QStringLiteral("120"));
    HeaterModel(s);
    PrintHeaterRow(s, p, date);
    p.EndBlock();
    StoreTypedLine(s.HeaterValueTexts[4], s.InputValues[4], QStringLiteral("0.7"));
    s.PrintHeadPending = kSet;
    s.HeaterHorizontal = kClear;
    HeaterModel(s);
    ASSERT_EQ(s.CalcError, kClear);
    PrintHeaterRow(s, p, date);
    p.EndBlock();
}

void PrintCoolerSession(Printer& p, const DateLineSource& date) {
    CalcState s;
    FillCoolerCaptions(s);
    s.StudentLine = QStringLiteral("Сидоров С.с. ");
    const QStringList f = {"0,62", "995", "0,0008", "4180", "0,0003", "1,2", "0,65", "0,0005", "4190",
                           "3",    "25",  "0,0006", "100000", "0,025", "1", "0,9", "100", "0,02"};
    for (int i = 0; i < 18; ++i) StoreTypedLine(s.CoolerValueTexts[i], s.InputValues[i], f[i]);
    s.ResetPrintFlags();
    CoolerModel(s);
    PrintCoolerRow(s, p, date);
    p.EndBlock();
    StoreTypedLine(s.CoolerValueTexts[14], s.InputValues[14], QStringLiteral("2"));
    CoolerModel(s);
    PrintCoolerRow(s, p, date);
    p.EndBlock();
}

void PrintEvapSession(Printer& p, const DateLineSource& date) {
    CalcState s;
    FillEvapCaptions(s);
    s.StudentLine = QStringLiteral("Иванов И.и. ");
    const QStringList f = {"0,684", "923", "2141000", "0,000191", "0,683", "958",  "4220", "0,000282",
                           "0,0589", "0,598", "0,598", "2256000", "43", "0,0005", "1000000", "4"};
    for (int i = 0; i < 16; ++i) StoreTypedLine(s.EvapValueTexts[i], s.InputValues[i], f[i]);
    s.ResetPrintFlags();
    EvapModel(s);
    PrintEvapRow(s, p, date);
    p.EndBlock();
    StoreTypedLine(s.EvapValueTexts[15], s.InputValues[15], QStringLiteral("2.5"));
    EvapModel(s);
    PrintEvapRow(s, p, date);
    p.EndBlock();
    PrintClosingRule(p, kEvapTableWidth);
}

}  // namespace

TEST_F(ProgramReports, SavedPdfAndTextCopyOfEachApparatusAreRightInBothLocales) {
    struct Case {
        QString apparatus;
        void (*print)(Printer&, const DateLineSource&);
        int blocks;
    };
    const Case cases[] = {{"подогреватель", PrintHeaterSession, 3},
                          {"холодильник", PrintCoolerSession, 2},
                          {"испаритель", PrintEvapSession, 2}};
    for (const QLocale& locale : {QLocale(QStringLiteral("ru_RU")), QLocale(QStringLiteral("en_US"))}) {
        SetDecimalMark(locale.decimalPoint()[0]);
        for (const Case& c : cases) {
            const QString pdf = Save(c.apparatus, [&](Printer& p) { c.print(p, Date(locale)); });
            ASSERT_TRUE(pdf.endsWith(QStringLiteral(".pdf"))) << c.apparatus.toStdString();
            QString txt = pdf;
            txt.replace(QStringLiteral(".pdf"), QStringLiteral(".txt"));
            for (const QString& file : {pdf, txt}) {
                const ReportSummary s = CheckReportFile(file);
                SCOPED_TRACE(file.toStdString() + " " + Describe(s));
                EXPECT_TRUE(s.isReport);
                EXPECT_EQ(s.blocks, c.blocks);
                EXPECT_EQ(s.mismatches, 0);
                EXPECT_EQ(s.apparatus, QStringList{c.apparatus});
                EXPECT_EQ(s.date, QStringLiteral("2026-12-07 14:05:33"));
            }
        }
    }
    // The tool on the whole folder: every file right, exit 0.
    const ToolRun run = RunTool({QStringLiteral("check"), dir_.path()});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = ReportLines(run.out);
    ASSERT_EQ(lines.size(), 1 + 12) << run.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("file;student;apparatus;date;blocks;mismatches;verdict"));
    for (int i = 1; i < lines.size(); ++i) EXPECT_TRUE(lines[i].endsWith(QStringLiteral(";0;верно"))) << lines[i].toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral(";Петров П.п. Гр. Х-21;подогреватель;2026-12-07 14:05:33;3;0;верно")));
}

TEST_F(ProgramReports, ChangedPdfIsWrong) {
    // A block printed with a result one hundred off, saved as the program
    // saves it: the PDF text tells the same as the text copy.
    SetDecimalMark(QLatin1Char(','));
    const QString pdf = Save(QStringLiteral("подогреватель"), [](Printer& p) {
        RecordingPrinter r;
        PrintHeaterSession(r, [] { return QStringLiteral(" 07 декабря 2026г.        14:05:33"); });
        for (QString line : r.lines) p.PrintLine(line.replace(QStringLiteral("2086,51"), QStringLiteral("2087,51")));
    });
    const ReportSummary s = CheckReportFile(pdf);
    EXPECT_EQ(s.mismatches, 1) << Describe(s);
    EXPECT_TRUE(HasDifference(s, 1, QStringLiteral("коэффициент теплоотдачи в трубах"), "2087,51", "2086,51"))
        << Describe(s);
}

TEST_F(ProgramReports, APdfOfSeveralNumberedPagesIsRight) {
    SetDecimalMark(QLatin1Char(','));
    const QString pdf = Save(QStringLiteral("подогреватель"), [](Printer& p) {
        for (int k = 0; k < 4; ++k) PrintHeaterSession(p, Date(QLocale(QStringLiteral("ru_RU"))));
    });
    QStringList feet;
    QString reason;
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_TRUE(PdfText(file.handle(), [&](QStringView line) {
        if (line.trimmed().startsWith(QStringLiteral("стр. "))) feet.append(line.trimmed().toString());
    }, &reason)) << reason.toStdString();
    ASSERT_GE(feet.size(), 2);
    EXPECT_EQ(feet.last(), QStringLiteral("стр. %1 из %1").arg(feet.size()));
    const ReportSummary s = CheckReportFile(pdf);
    EXPECT_EQ(s.blocks, 12) << Describe(s);
    EXPECT_EQ(s.mismatches, 0) << Describe(s);
}

// Pages of a PDF as PNG files, one string per page; empty without pdftoppm.
QList<QByteArray> PagePictures(const QString& pdf) {
    QTemporaryDir dir;
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"), pdf,
                                              dir.filePath(QStringLiteral("p"))});
    QList<QByteArray> pages;
    if (!render.waitForFinished(60000) || render.exitCode() != 0) return pages;
    for (const QString& name : QDir(dir.path()).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::ReadOnly)) pages.append(f.readAll());
    }
    return pages;
}

TEST(CheckPdf, TextMapSurvivesAGhostscriptRewrite) {
    QByteArray raw;
    {
        QBuffer buffer(&raw);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        PagedTextPrinter printer(&writer);
        for (const QString& line : Golden("heater_ru.txt").split(QLatin1Char('\n'))) printer.PrintLine(line);
        printer.EndDocument();
        ASSERT_TRUE(printer.Finish());
    }
    const QByteArray plain = PlainTextMaps(raw);
    EXPECT_TRUE(raw.contains("beginbfrange"));
    EXPECT_FALSE(plain.contains("beginbfrange"));
    EXPECT_TRUE(plain.contains("beginbfchar\n<0000> <0000>\n<0001> <0020>\n")) << "the blank glyph is a space";
    EXPECT_EQ(PlainTextMaps(plain), plain);
    EXPECT_EQ(PlainTextMaps("%PDF-1.4\nnot what the toolkit writes"), "%PDF-1.4\nnot what the toolkit writes");
    QTemporaryDir dir;
    const QString rawPath = dir.filePath("raw.pdf"), plainPath = dir.filePath("plain.pdf");
    WriteFile(rawPath, raw);
    WriteFile(plainPath, plain);
    const QList<QByteArray> pages = PagePictures(plainPath);
    ASSERT_FALSE(pages.isEmpty()) << "pdftoppm renders the re-written PDF";
    EXPECT_EQ(pages, PagePictures(rawPath)) << "the pages look as they did";
    EXPECT_EQ(CheckReportFile(plainPath).mismatches, 0);
    EXPECT_TRUE(CheckReportFile(plainPath).isReport);

    if (QStandardPaths::findExecutable(QStringLiteral("gs")).isEmpty()) GTEST_SKIP() << "Ghostscript (gs) is not installed";
    const auto rewrite = [&dir](const QString& from) {
        const QString to = dir.filePath(QFileInfo(from).baseName() + QStringLiteral("-gs.pdf"));
        QProcess gs;
        gs.start(QStringLiteral("gs"), {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                                        QStringLiteral("-dSAFER"), QStringLiteral("-sDEVICE=pdfwrite"),
                                        QStringLiteral("-sOutputFile=") + to, from});
        EXPECT_TRUE(gs.waitForFinished(120000));
        EXPECT_EQ(gs.exitCode(), 0) << gs.readAllStandardError().toStdString();
        return to;
    };
    const ReportSummary kept = CheckReportFile(rewrite(plainPath));
    EXPECT_TRUE(kept.isReport) << Describe(kept);
    EXPECT_EQ(kept.mismatches, 0) << Describe(kept);
    EXPECT_EQ(kept.blocks, CheckReportText(Golden("heater_ru.txt")).blocks);
    // The toolkit's own map does not survive: the reason says so plainly.
    EXPECT_EQ(CheckReportFile(rewrite(rawPath)).reason,
              QStringLiteral("текст PDF не читается: файл, вероятно, пересохранён другой программой; "
                             "сдайте исходный PDF или .txt"));
}

TEST(CheckTool, BatchReportsAsTextAndPdfInBothLocalesAreRight) {
    QTemporaryDir dir;
    QStringList files;
    for (const QString& type : {QStringLiteral("heater"), QStringLiteral("cooler"), QStringLiteral("evaporator")}) {
        for (const QString& lang : {QStringLiteral("ru_RU.UTF-8"), QStringLiteral("en_US.UTF-8")}) {
            const QString stem = dir.filePath(type + QLatin1Char('_') + lang.left(2));
            ToolRun run = RunTool({QStringLiteral("--report"), QStringLiteral("--student"), QStringLiteral("иванов и.и."),
                                   type, Example(type)}, {}, lang);
            ASSERT_EQ(run.exitCode, 0);
            WriteFile(stem + QStringLiteral(".txt"), run.out.toUtf8());
            run = RunTool({QStringLiteral("--report"), QStringLiteral("--pdf"), stem + QStringLiteral(".pdf"), type,
                           Example(type)}, {}, lang);
            ASSERT_EQ(run.exitCode, 0);
            files << stem + QStringLiteral(".txt") << stem + QStringLiteral(".pdf");
        }
    }
    const ToolRun run = RunTool(QStringList{QStringLiteral("check")} + files);
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const QStringList lines = ReportLines(run.out);
    ASSERT_EQ(lines.size(), 1 + files.size());
    // Three ok rows in each example file, each its own report of one block.
    for (int i = 1; i < lines.size(); ++i) EXPECT_TRUE(lines[i].endsWith(QStringLiteral(";3;0;верно"))) << lines[i].toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("heater_ru.txt;Иванов И.и.;подогреватель;")));
}

TEST(CheckReport, GoldenReportsAreRightAndTheLastDigitMayDifferByOne) {
    for (const char* name : {"heater_ru.txt", "heater_en.txt", "cooler_ru.txt", "cooler_en.txt",
                                "evaporator_ru.txt", "evaporator_en.txt"}) {
        const ReportSummary s = Check(Golden(name));
        EXPECT_TRUE(s.isReport && s.blocks == 1 && s.mismatches == 0) << name << Describe(s);
    }
    // 2086,51 printed as 2086,52 or 2086,50 still agrees; 2086,53 does not.
    EXPECT_EQ(Check(Golden("heater_ru.txt").replace("2086,51", "2086,52")).mismatches, 0);
    EXPECT_EQ(Check(Golden("heater_ru.txt").replace("2086,51", "2086,50")).mismatches, 0);
    EXPECT_EQ(Check(Golden("heater_ru.txt").replace("2086,51", "2086,53")).mismatches, 1);
    // Fewer decimals is not the program's print.
    EXPECT_EQ(Check(Golden("heater_ru.txt").replace("2086,51", "2086,5")).mismatches, 1);
    // The English report's date: 1 January 2027, 9:00:00 AM.
    EXPECT_EQ(Check(Golden("heater_en.txt")).date, QStringLiteral("2027-01-01 09:00:00"));
}

TEST(CheckReport, OneChangedDigitOfEachResultIsNamed) {
    struct Case {
        const char* golden;
        const char* from;
        const char* to;
        const char* quantity;
        const char* computed;
    };
    const Case cases[] = {
        {"heater_ru.txt", "7095,31", "7095,38", "коэффициент теплоотдачи в межтрубном пространстве", "7095,31"},
        {"heater_ru.txt", "892,69", "872,69", "коэффициент теплопередачи", "892,69"},
        {"heater_ru.txt", "   20,27", "   20,72", "поверхность теплообмена", "20,27"},
        {"heater_ru.txt", "11043,80", "11043,90", "число Re в трубах", "11043,80"},
        {"cooler_ru.txt", "2010,01", "2010,11", "коэффициент теплоотдачи в межтрубном пространстве", "2010,01"},
        {"cooler_ru.txt", "7500,00", "7600,00", "число Re в межтрубном пространстве", "7500,00"},
        {"evaporator_ru.txt", "43,00", "43,09", "поверхность теплообмена", "43,00"},
        {"evaporator_en.txt", "712.70", "712.76", "коэффициент теплоотдачи в трубах", "712.70"},
    };
    for (const Case& c : cases) {
        const ReportSummary s = Check(Golden(c.golden).replace(c.from, c.to));
        SCOPED_TRACE(std::string(c.golden) + " " + c.to + Describe(s));
        EXPECT_EQ(s.mismatches, 1);
        EXPECT_TRUE(HasDifference(s, 1, c.quantity, QString(c.to).trimmed(), c.computed));
    }
}

TEST(CheckReport, ChangedHeadLinesAndValuesOutOfRange) {
    const QString report = Golden("heater_ru.txt");
    // Density 932 printed as 940: the results no longer belong to the head.
    ReportSummary s = Check(QString(report).replace("                                  932\n",
                                                    "                                  940\n"));
    EXPECT_EQ(s.mismatches, 3) << Describe(s);
    EXPECT_TRUE(HasDifference(s, 1, "коэффициент теплоотдачи в межтрубном пространстве", "7095,31", "7135,85"))
        << Describe(s);
    // A caption the program does not print.
    s = Check(QString(report).replace("ПЛОТНОСТЬ КОНДЕНСАТА", "ПЛОТНОСТЬ ВОДЫ"));
    EXPECT_GE(s.mismatches, 1);
    EXPECT_TRUE(s.differences.front().quantity.startsWith(QStringLiteral("строка 1 заголовка"))) << Describe(s);
    // A sheet line below its range: 0.04 for the condensate conductivity.
    s = Check(QString(report).replace("0.686\n", "0.04\n"));
    EXPECT_EQ(s.mismatches, 1);
    EXPECT_TRUE(HasDifference(s, 1, "строка 0: ТЕПЛОПРОВОДНОСТЬ КОНДЕНСАТА", "0.04", "вне допустимых пределов"))
        << Describe(s);
    // A constructive line out of range: a 12 m tube.
    s = Check(QString(report).replace("3,00 М", "12,00 М"));
    EXPECT_TRUE(HasDifference(s, 1, "строка 14", "12,00", "вне допустимых пределов")) << Describe(s);
    // Cooler: ε above 1 is refused by both the first entry and a change.
    s = Check(Golden("cooler_ru.txt").replace("ТОКЕ  0,900", "ТОКЕ  1,900"));
    EXPECT_TRUE(HasDifference(s, 1, "строка 15", "1,900", "вне допустимых пределов")) << Describe(s);
    // Evaporator: a 12 m tube height.
    s = Check(Golden("evaporator_ru.txt").replace("|   3    |", "|   12   |"));
    EXPECT_TRUE(HasDifference(s, 1, "строка 15", "12", "вне допустимых пределов")) << Describe(s);
}

TEST(CheckReport, RemovedBlocksAndLinesAndStrayLines) {
    const QString report = Golden("heater_ru.txt");
    const QStringList lines = report.split(QLatin1Char('\n'));
    // The block removed: a head alone is never printed.
    ReportSummary s = Check(lines.mid(0, 15).join(QLatin1Char('\n')));
    EXPECT_EQ(s.blocks, 0);
    EXPECT_TRUE(HasDifference(s, 1, "блок результатов", "нет", "после заголовка программа печатает хотя бы один блок"))
        << Describe(s);
    // One line of a block removed.
    QStringList cut = lines;
    cut.removeAt(17);  // ОБЩЕЕ ЧИСЛО ТРУБ
    s = Check(cut.join(QLatin1Char('\n')));
    EXPECT_GE(s.mismatches, 1) << Describe(s);
    // The values line removed.
    cut = lines;
    cut.removeAt(23);
    s = Check(cut.join(QLatin1Char('\n')));
    EXPECT_GE(s.mismatches, 1) << Describe(s);
    // A line the program never prints.
    s = Check(report + QStringLiteral("Проверил: Сидоров\n"));
    EXPECT_TRUE(HasDifference(s, 1, "посторонняя строка", "Проверил: Сидоров", "программа такой строки не печатает"));
    // The line of a chart stands only after a whole block: after the head or
    // inside a block it is a line the program never prints.
    const QString chart = QStringLiteral("            ГРАФИК: Отчёт_подогреватель_график_1.png");
    s = Check(report + chart + QLatin1Char('\n'));
    EXPECT_EQ(s.mismatches, 0) << Describe(s);
    for (const int at : {15, 18}) {
        cut = lines;
        cut.insert(at, chart);
        s = Check(cut.join(QLatin1Char('\n')));
        EXPECT_GE(s.mismatches, 1) << at << Describe(s);
    }
    // Evaporator: a chart after a row of the table, and a row after the closing rule.
    const QString evap = Golden("evaporator_ru.txt");
    const QString row = evap.split(QLatin1Char('\n')).filter(QStringLiteral("712,70")).value(0);
    QString withChart = evap;
    withChart.replace(row + QLatin1Char('\n'), row + QLatin1Char('\n') + chart + QLatin1Char('\n'));
    ASSERT_NE(withChart, evap);
    s = Check(withChart);
    EXPECT_EQ(s.mismatches, 0) << Describe(s);
    s = Check(evap + row + QLatin1Char('\n'));
    EXPECT_EQ(s.blocks, 2);
    EXPECT_EQ(s.mismatches, 1) << Describe(s);
}

TEST(CheckReport, DateLinesOfManyLocalesAndEitherDecimalMark) {
    for (const char* name : {"ru_RU", "en_US", "de_DE", "uk_UA", "kk_KZ", "ja_JP", "fr_CA", "ar_EG", "hi_IN"}) {
        const QLocale locale{QString::fromLatin1(name)};
        // The locale's own mark too: the Arabic decimal separator of ar_EG.
        for (const QChar mark : {QChar(u','), QChar(u'.'), QChar(locale.decimalPoint()[0])}) {
            SetDecimalMark(mark);
            RecordingPrinter p;
            PrintHeaterSession(p, [&locale] {
                return DateLine(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 33)), locale);
            });
            const ReportSummary s = Check(p.lines.join(QLatin1Char('\n')));
            EXPECT_EQ(s.blocks, 3) << name;
            EXPECT_EQ(s.mismatches, 0) << name << Describe(s);
            EXPECT_TRUE(s.date.startsWith(QStringLiteral("2026-12-07 "))) << name << " " << s.date.toStdString();
        }
    }
    SetDecimalMark(QLatin1Char('.'));
}

TEST(CheckReport, DateLinesInTheDigitsOfTheLocale) {
    // The date line as the windows program builds it from the system's
    // texts, each in the locale's own digits and day-half marks.
    const QDate date(2026, 12, 7);
    const QTime time(14, 5, 33);
    const QString golden = Golden("heater_ru.txt");
    const qsizetype titleAt = golden.indexOf(QStringLiteral("            Расчет"));
    for (const char* name : {"ar_EG", "fa_IR", "bn_BD", "my_MM", "ne_NP", "ko_KR", "en_US", "ru_RU"}) {
        const QLocale locale{QString::fromLatin1(name)};
        // The day with the right-to-left mark that ar_EG writes after it.
        const QString rlm = locale.toString(date, QLocale::ShortFormat).contains(QChar(0x200F)) ? QString(QChar(0x200F)) : QString();
        const QString line = QStringLiteral(" ") + locale.toString(date, QStringLiteral("d")) + rlm +
                             MonthName(12) + locale.toString(date, QStringLiteral("yyyy")) + QStringLiteral("г.") +
                             QString(8, QLatin1Char(' ')) + TimeText(time, locale);
        const ReportSummary s = Check(QString(12, QLatin1Char(' ')) + line + golden.mid(titleAt));
        EXPECT_EQ(s.mismatches, 0) << name << Describe(s);
        EXPECT_EQ(s.date.toStdString(), "2026-12-07 14:05:33") << name << " " << line.toStdString();
    }
}

TEST(CheckReport, SeveralDocumentsInOneFileAndWindowsLineEnds) {
    // A text copy that kept the lines of a failed save holds two documents.
    QString two = Golden("heater_ru.txt") + Golden("cooler_en.txt");
    ReportSummary s = Check(two);
    EXPECT_EQ(s.blocks, 2);
    EXPECT_EQ(s.mismatches, 0) << Describe(s);
    EXPECT_EQ(s.apparatus, QStringList({"подогреватель", "холодильник"}));
    EXPECT_EQ(s.student, QStringLiteral("Петров П.п. Гр. Х-21"));
    // Opened and saved again by an editor with CR LF line ends.
    s = Check(two.replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
    EXPECT_EQ(s.blocks, 2);
    EXPECT_EQ(s.mismatches, 0) << Describe(s);
}

TEST(CheckReport, AnswerKeysWithVariantNamesAndShortPagesOfFailedVariants) {
    const QString margin(12, QLatin1Char(' '));
    const QString key = margin + QStringLiteral(" ВАРИАНТ: В07\n") + Golden("heater_ru.txt") + QStringLiteral("\f\n") +
                        margin + QStringLiteral(" ВАРИАНТ: В08 (СТРОКА 9 ФАЙЛА)\n\n") + margin +
                        QStringLiteral(" РАСЧЁТ НЕ ВЫПОЛНЕН, СТАТУС input\n") + margin +
                        QStringLiteral(" СТРОКА 0 (ТЕПЛОПРОВОДНОСТЬ КОНДЕНСАТА) ВНЕ ДОПУСТИМЫХ ПРЕДЕЛОВ: «0,04»\n\f\n") +
                        margin + QStringLiteral(" ВАРИАНТ: В09\n") + Golden("heater_en.txt");
    QStringList labels;
    const ReportSummary s = CheckReportText(key, [&labels](const ReportHead& h) { labels.append(h.label); });
    EXPECT_EQ(s.blocks, 2);
    EXPECT_EQ(s.mismatches, 0) << Describe(s);
    EXPECT_EQ(labels, QStringList({"В07", "В09"}));
    // A name line does not excuse a head without its block.
    const QString cut = margin + QStringLiteral(" ВАРИАНТ: В07\n") +
                        Golden("heater_ru.txt").split(QLatin1Char('\n')).mid(0, 15).join(QLatin1Char('\n')) +
                        QLatin1Char('\n') + margin + QStringLiteral(" ВАРИАНТ: В09\n") + Golden("heater_en.txt");
    EXPECT_EQ(Check(cut).mismatches, 1);
}

TEST(CheckReport, ReynoldsWarningLineMustBeTheModels) {
    // The heater of examples with 1 kg/s of water: Re 2208,76 in the tubes.
    QString report = Golden("heater_ru.txt").replace("                                           5\n",
                                                     "                                           1\n");
    QStringList lines = report.split(QLatin1Char('\n'));
    const int rule = static_cast<int>(lines.indexOf(QRegularExpression(QStringLiteral("^ +_+$"))));
    ASSERT_GT(rule, 0);
    // The construction (vertical: a two-pass apparatus in Re 2208,76 < 2300), then the warning.
    QStringList warned = lines.mid(0, rule);
    warned << QString(12, QLatin1Char(' ')) + QStringLiteral("ЧИСЛО RE В ТРУБАХ  2208,76 < 2300 !");
    ReportSummary s = Check(warned.join(QLatin1Char('\n')));
    EXPECT_EQ(s.blocks, 1);
    EXPECT_EQ(s.mismatches, 0) << Describe(s);
    warned.last().replace(QStringLiteral("2208,76"), QStringLiteral("2218,76"));
    s = Check(warned.join(QLatin1Char('\n')));
    EXPECT_TRUE(HasDifference(s, 1, "число Re в трубах", "2218,76", "2208,76")) << Describe(s);
    // Results printed where the program could not compute.
    s = Check(report);
    EXPECT_TRUE(HasDifference(s, 1, "расчёт", "результаты напечатаны",
                              "расчёт невозможен: число Re в трубах 2208,76 не больше 2300"))
        << Describe(s);
    // A warning where the model does compute.
    lines = Golden("heater_ru.txt").split(QLatin1Char('\n'));
    warned = lines.mid(0, rule);
    warned << QString(12, QLatin1Char(' ')) + QStringLiteral("ЧИСЛО RE В ТРУБАХ  2208,76 < 2300 !");
    s = Check(warned.join(QLatin1Char('\n')));
    EXPECT_EQ(s.mismatches, 1) << Describe(s);
}

TEST(CheckReport, EveryLineOfAReportCounts) {
    // Any one line taken away is found, except the student's line (a blank
    // student line is printed too) and the closing rule of the evaporator
    // table (a report saved block by block before the end has none).
    for (const char* name : {"heater_ru.txt", "cooler_en.txt", "evaporator_ru.txt"}) {
        const QStringList lines = Golden(name).split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            if (lines[i].trimmed().isEmpty() || i == 1) continue;
            if (QString(name).startsWith("evaporator") && i == lines.size() - 5) continue;
            QStringList cut = lines;
            cut.removeAt(i);
            const ReportSummary s = Check(cut.join(QLatin1Char('\n')));
            EXPECT_TRUE(!s.isReport || s.mismatches > 0) << name << " line " << i << ": " << lines[i].toStdString();
        }
    }
}

TEST(CheckReport, RandomDamageNeverCrashesOrPassesAChangedResult) {
    // Deterministic damage: characters replaced, lines doubled or dropped,
    // bytes of any kind. The checker must come back every time.
    const QString golden = Golden("cooler_ru.txt");
    uint64_t x = 12345;
    const auto next = [&x] {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        return x;
    };
    for (int round = 0; round < 1500; ++round) {
        QString text = golden;
        const int edits = 1 + static_cast<int>(next() % 4);
        for (int e = 0; e < edits; ++e) {
            const qsizetype at = static_cast<qsizetype>(next() % static_cast<uint64_t>(text.size()));
            switch (next() % 4) {
            case 0: text[at] = QChar(static_cast<char16_t>(next() % 0x500)); break;
            case 1: text.insert(at, text.mid(at, static_cast<qsizetype>(next() % 200))); break;
            case 2: text.remove(at, static_cast<qsizetype>(next() % 50)); break;
            default: text[at] = QLatin1Char("0123456789,.|_ \n"[next() % 16]); break;
            }
        }
        const ReportSummary s = Check(text);
        EXPECT_TRUE(s.isReport || !s.reason.isEmpty());
    }
    // One result changed by ten units of its last digit is never right.
    const QStringList results = {"332,27", "2010,01", "243,48", "18,25", "909,46", "7500,00"};
    for (const QString& r : results) {
        QString changed = r;
        changed[changed.size() - 2] = changed[changed.size() - 2] == QLatin1Char('9') ? QLatin1Char('0') : QChar(changed[changed.size() - 2].unicode() + 1);
        EXPECT_EQ(Check(QString(golden).replace(r, changed)).mismatches, 1) << r.toStdString();
    }
}

TEST(CheckReport, TextCopiesAsEditorsSaveThem) {
    const QString text = Golden("heater_ru.txt");
    const auto windows1251 = [](const QString& t) {
        QProcess iconv;
        iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("-t"),
                                              QStringLiteral("WINDOWS-1251")});
        iconv.write(t.toUtf8());
        iconv.closeWriteChannel();
        iconv.waitForFinished();
        return iconv.readAllStandardOutput();
    };
    const auto utf16 = [](const QString& t, QStringConverter::Encoding e) {
        QStringEncoder encoder(e, QStringEncoder::Flag::WriteBom);
        return QByteArray(encoder.encode(t));
    };
    QString crOnly = text;
    crOnly.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    QString crlf = text;
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const struct {
        const char* name;
        QByteArray bytes;
    } copies[] = {
        {"bom.txt", "\xEF\xBB\xBF" + text.toUtf8()},
        {"cr.txt", crOnly.toUtf8()},
        {"utf16le.txt", utf16(crlf, QStringConverter::Utf16LE)},
        {"utf16be.txt", utf16(text, QStringConverter::Utf16BE)},
        {"cp1251.txt", windows1251(crlf)},
        {"cp1251cr.txt", windows1251(crOnly)},
    };
    QTemporaryDir dir;
    for (const auto& c : copies) {
        ASSERT_GT(c.bytes.size(), 1000) << c.name;
        WriteFile(dir.filePath(c.name), c.bytes);
        const ReportSummary s = CheckReportFile(dir.filePath(c.name));
        EXPECT_TRUE(s.isReport) << c.name << ": " << Describe(s);
        EXPECT_EQ(s.mismatches, 0) << c.name << ": " << Describe(s);
        EXPECT_EQ(s.student, CheckReportText(text).student) << c.name;
    }
    // Bytes that no such encoding has.
    WriteFile(dir.filePath("x.txt"), "abc\x98\xFF\n");
    EXPECT_EQ(CheckReportFile(dir.filePath("x.txt")).reason, QStringLiteral("текст не в UTF-8, не в UTF-16 и не в Windows-1251"));
    WriteFile(dir.filePath("ответы.txt"), QByteArray("PK\x03\x04\x14\0\0\0", 8));
    EXPECT_EQ(CheckReportFile(dir.filePath("ответы.txt")).reason,
              QStringLiteral("zip-архив (таблица .xlsx или .ods, документ .docx или .odt), а не отчёт"));
}

TEST(CheckReport, AnythingElseIsNotAReport) {
    EXPECT_FALSE(Check(QString()).isReport);
    EXPECT_FALSE(Check(QStringLiteral("Отчёт по лабораторной работе\nРасчет подогревателя\n")).isReport);
    QTemporaryDir dir;
    const QString stranger = dir.filePath("письмо.txt");
    WriteFile(stranger, "Здравствуйте! Отчёт пришлю завтра.\n");
    const QString empty = dir.filePath("пустой.pdf");
    WriteFile(empty, "");
    const QString broken = dir.filePath("битый.pdf");
    WriteFile(broken, "%PDF-1.4\n1 0 obj << /Type /Catalog >> endobj\ntrailer\n");
    const QString binary = dir.filePath("картинка.txt");
    WriteFile(binary, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    const QString picture = dir.filePath("рисунок.PDF");
    WriteFile(picture, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    const QString latin1 = dir.filePath("latin1.txt");
    WriteFile(latin1, "caf\xe9\n");
    const QString longLine = dir.filePath("длинная.txt");
    WriteFile(longLine, QByteArray(3 * 1024 * 1024, 'x'));
    QByteArray many;
    for (int i = 0; i < 200000; ++i) many += "строка без заголовка\n";
    const QString manyLines = dir.filePath("много.txt");
    WriteFile(manyLines, many);
    // A PDF with a page and no text on it.
    const QString blank = dir.filePath("чистый.pdf");
    {
        QPdfWriter writer(blank);
        QPainter painter(&writer);
    }
    for (const QString& file : {stranger, empty, broken, binary, latin1, longLine, manyLines, blank,
                                dir.filePath("нет.txt"), dir.path()}) {
        const ReportSummary s = CheckReportFile(file);
        EXPECT_FALSE(s.isReport) << file.toStdString();
        EXPECT_FALSE(s.reason.isEmpty()) << file.toStdString();
    }
    // The tool: one line each, the reason on standard error, exit 1.
    const ToolRun run = RunTool({QStringLiteral("check"), stranger, empty, blank, picture});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(ReportLines(run.out).size(), 5);
    EXPECT_TRUE(run.out.contains(stranger + QStringLiteral(";;;;;;не отчёт\n")));
    EXPECT_TRUE(run.out.contains(empty + QStringLiteral(";;;;;;не отчёт\n")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("письмо.txt: не отчёт — ")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("чистый.pdf: не отчёт — в PDF нет текста")));
    EXPECT_TRUE(run.err.contains(
        QStringLiteral("рисунок.PDF: не отчёт — назван .pdf, но это не PDF (нет заголовка %PDF-): двоичный файл")));
}

TEST(CheckTool, DetailsAndExitStatuses) {
    QTemporaryDir dir;
    const QString right = dir.filePath("верный.txt");
    WriteFile(right, Golden("cooler_ru.txt").toUtf8());
    const QString wrong = dir.filePath("неверный.txt");
    WriteFile(wrong, Golden("cooler_ru.txt").replace("243,48", "234,48").toUtf8());
    ToolRun run = RunTool({QStringLiteral("check"), right});
    EXPECT_EQ(run.exitCode, 0);
    run = RunTool({QStringLiteral("check"), QStringLiteral("--details"), right, wrong});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.contains(wrong + QStringLiteral(";Петров П.п. Гр. Х-21;холодильник;2026-12-07 14:05:33;1;1;неверно\n") +
                                 wrong + QStringLiteral(";блок 1;коэффициент теплопередачи;234,48;243,48\n")))
        << run.out.toStdString();
    // Without --details no detail line.
    run = RunTool({QStringLiteral("check"), wrong});
    EXPECT_FALSE(run.out.contains(QStringLiteral(";блок 1;")));
    // -o: the table in a file, never over an input.
    const QString table = dir.filePath("итог.csv");
    run = RunTool({QStringLiteral("check"), QStringLiteral("-o"), table, right});
    EXPECT_EQ(run.exitCode, 0);
    QFile f(table);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(f.readAll()).endsWith(QStringLiteral(";1;0;верно\n")));
    // A spreadsheet: the counts are numeric cells.
    const QString xlsx = dir.filePath("итог.xlsx");
    run = RunTool({QStringLiteral("check"), QStringLiteral("-o"), xlsx, right});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), xlsx, QStringLiteral("xl/worksheets/sheet1.xml")});
    ASSERT_TRUE(unzip.waitForFinished());
    const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"G1\" t=\"inlineStr\"><is><t>verdict</t></is></c>"))) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"E2\"><v>1</v></c>")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("<c r=\"G2\" t=\"inlineStr\"><is><t>верно</t></is></c>")));
    // An existing table is replaced only with --force.
    EXPECT_EQ(RunTool({QStringLiteral("check"), QStringLiteral("-o"), table, right}).exitCode, 2);
    EXPECT_EQ(RunTool({QStringLiteral("check"), QStringLiteral("--force"), QStringLiteral("-o"), table, right}).exitCode, 0);
    run = RunTool({QStringLiteral("check"), QStringLiteral("-o"), right, right});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(Golden("cooler_ru.txt").toUtf8(), [&] { QFile r(right); r.open(QIODevice::ReadOnly); return r.readAll(); }());
    // Output that cannot be written: a clear message and exit 1.
    run = RunTool({QStringLiteral("check"), QStringLiteral("-o"), dir.filePath("нет/итог.csv"), right});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("не удаётся записать файл"))) << run.err.toStdString();
    QProcess full;
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    full.start(QStringLiteral(HEATX_BATCH), {QStringLiteral("check"), right});
    ASSERT_TRUE(full.waitForFinished(60000));
    EXPECT_EQ(full.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(full.readAllStandardError()).contains(QStringLiteral("не удаётся записать стандартный вывод")));
    // Usage errors.
    EXPECT_EQ(RunTool({QStringLiteral("check")}).exitCode, 2);
    EXPECT_EQ(RunTool({QStringLiteral("check"), QStringLiteral("--frobnicate"), right}).exitCode, 2);
    EXPECT_EQ(RunTool({QStringLiteral("check"), QStringLiteral("--roster"), right, right}).exitCode, 2);
    run = RunTool({QStringLiteral("check"), QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral("file;student;apparatus;date;blocks;mismatches;verdict")));
}

TEST(CheckTool, VariantsAndRosterNameTheVariantAndFlagStrangers) {
    QTemporaryDir dir;
    // The group's file: В01 is the golden heater's sheet, В02 another one.
    const QString variants = dir.filePath("группа.csv");
    WriteFile(variants,
          "В01;0,686;932;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;В;0,025;2;3;100\n"
          "В02;0,686;940;2171000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;В;0,025;2;3;100\n");
    const QString roster = dir.filePath("список.csv");
    WriteFile(roster, "В01;Петров П.П.\nВ02;Сидоров С.С.\n");
    const QString petrov = dir.filePath("петров.txt");
    WriteFile(petrov, Golden("heater_ru.txt").toUtf8());
    const QString stolen = dir.filePath("сидоров.txt");
    WriteFile(stolen, Golden("heater_ru.txt").replace("Петров П.п.", "Сидоров С.с.").toUtf8());
    const QString unknown = dir.filePath("чужой.txt");
    WriteFile(unknown, Golden("cooler_ru.txt").toUtf8());
    const ToolRun run = RunTool({QStringLiteral("check"), QStringLiteral("--variants"), variants, QStringLiteral("--id"),
                                 QStringLiteral("--roster"), roster, petrov, stolen, unknown});
    EXPECT_EQ(run.exitCode, 1);
    const QStringList lines = ReportLines(run.out);
    ASSERT_EQ(lines.size(), 4) << run.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("file;student;apparatus;date;blocks;mismatches;verdict;variant;note"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(";1;0;верно;В01;"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(";1;0;неверно;В01;вариант В01 выдан другому студенту: Петров П.П.")))
        << lines[2].toStdString();
    EXPECT_TRUE(lines[3].endsWith(QStringLiteral(";1;0;неверно;;исходные данные не совпадают ни с одним вариантом")))
        << lines[3].toStdString();

    // The group's spreadsheet exported in Windows-1251 with a header row and
    // thousands blanks: read as heatx-batch reads it.
    const QString exported = dir.filePath("группа-1251.csv");
    WriteFile(exported,
          "\xc2\xe0\xf0\xe8\xe0\xed\xf2;\xeb\xff\xec\xe1\xe4\xe0\n"  // Вариант;лямбда
          "\xc2" "01;0,686;932;2 171 000;0,000212;0,5;0,642;0,000549;4180;0,0005;60;5;\xc2;0,025;2;3;100\n");
    const ToolRun fromExport =
        RunTool({QStringLiteral("check"), QStringLiteral("--variants"), exported, QStringLiteral("--id"), petrov});
    EXPECT_EQ(fromExport.exitCode, 0) << fromExport.err.toStdString();
    EXPECT_TRUE(fromExport.out.contains(QStringLiteral(";1;0;верно;В01;\n"))) << fromExport.out.toStdString();
    EXPECT_TRUE(fromExport.err.contains(QStringLiteral("Windows-1251"))) << fromExport.err.toStdString();
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    SetPdfTextReader(PdfText);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

TEST(CheckTool, AnswerKeysWithTheTraceAreRightAndTheirPagesUnchanged) {
    QTemporaryDir dir;
    QStringList files;
    for (const QString& type : {QStringLiteral("heater"), QStringLiteral("cooler"), QStringLiteral("evaporator")}) {
        const QStringList args{QStringLiteral("--report"), QStringLiteral("--date"), QStringLiteral("2026-12-07 14:05:33"),
                               type, Example(type)};
        const ToolRun plain = RunTool(args, {}, QStringLiteral("ru_RU.UTF-8"));
        const ToolRun traced = RunTool(QStringList{QStringLiteral("--trace")} + args, {}, QStringLiteral("ru_RU.UTF-8"));
        ASSERT_EQ(traced.exitCode, 0) << traced.err.toStdString();
        // Every ok page carries one trace after its results; without the
        // trace blocks the pages are those of --report alone.
        QStringList kept;
        int traces = 0;
        bool inTrace = false, afterTrace = false;
        for (const QString& line : traced.out.split(QLatin1Char('\n'))) {
            if (line.trimmed() == QStringLiteral("ХОД РАСЧЁТА")) {
                ++traces;
                inTrace = true;
                kept.removeLast();  // the empty line before the heading
            } else if (inTrace) {
                afterTrace = line.trimmed() == QStringLiteral("КОНЕЦ ХОДА РАСЧЁТА");
                inTrace = !afterTrace;
            } else if (afterTrace) {
                afterTrace = false;  // the empty line after the block
            } else {
                kept << line;
            }
        }
        EXPECT_EQ(traces, 3) << type.toStdString();
        EXPECT_TRUE(traced.out.contains(QStringLiteral("F = ")));
        const QString file = dir.filePath(type + QStringLiteral(".txt"));
        WriteFile(file, traced.out.toUtf8());
        files << file;
        // A page after the next without its closing line is no trace of the program.
        QString cut = traced.out;
        cut.remove(cut.indexOf(QStringLiteral("КОНЕЦ ХОДА РАСЧЁТА")), 18);
        const ReportSummary s = Check(cut);
        EXPECT_GT(s.mismatches, 0) << type.toStdString();
        EXPECT_EQ(kept.join(QLatin1Char('\n')), plain.out) << type.toStdString();
    }
    const ToolRun run = RunTool(QStringList{QStringLiteral("check")} + files);
    EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    const QStringList lines = ReportLines(run.out);
    ASSERT_EQ(lines.size(), 1 + files.size());
    for (int i = 1; i < lines.size(); ++i) EXPECT_TRUE(lines[i].endsWith(QStringLiteral(";3;0;верно"))) << lines[i].toStdString();
}
