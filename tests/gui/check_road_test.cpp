// SPDX-License-Identifier: GPL-3.0-or-later
// A heater road driven on screen, its report saved by the program's printer
// as PDF and text copy: heatx-batch check finds both right.
#include "batch/pdf_text.h"
#include "batch/report_check.h"
#include "platform/qt_report_printer.h"
#include "road.h"
#include "window_base/chart_window.h"

#include <QDir>
#include <QRegularExpression>

#include <QTemporaryDir>

using namespace heatx;

class CheckRoadTest : public RoadTest {
    Q_OBJECT

private slots:
    void initTestCase() {
        batch::SetPdfTextReader(batch::PdfText);
        RoadTest::initTestCase();
    }

    void savedReportOfTheRoadIsRight() {
        Road& r = *road;
        r.ToResults();
        Form9* design = r.form9();
        Road::Click(design->Command1);
        // Another construction: 120 tubes, printed under the same head.
        r.PrintWith120TubesAndEnd();
        QCOMPARE(r.platform.printer.documents.size(), 1);

        QTemporaryDir dir;
        qputenv("HEATX_REPORT_DIR", dir.path().toUtf8());
        // The lines again, block by block, through the printer of the program.
        QtReportPrinter printer([](const QString&, const QString&, const QString&) {});
        printer.SetApparatus(QStringLiteral("подогреватель"));
        printer.SetFontName(r.platform.printer.fontName);
        printer.SetFontSize(r.platform.printer.fontSize);
        const QStringList& lines = r.platform.printer.documents[0];
        QCOMPARE(r.platform.printer.blockEnds.size(), 2);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            printer.PrintLine(lines[i]);
            if (r.platform.printer.blockEnds.contains(i + 1)) printer.EndBlock();
        }
        printer.EndDocument();
        qunsetenv("HEATX_REPORT_DIR");
        const QString pdf = printer.LastDestination();
        QVERIFY(pdf.endsWith(QStringLiteral(".pdf")));
        QString txt = pdf;
        txt.replace(QStringLiteral(".pdf"), QStringLiteral(".txt"));
        for (const QString& file : {pdf, txt}) {
            const batch::ReportSummary s = batch::CheckReportFile(file);
            QVERIFY2(s.isReport, qPrintable(file + ": " + s.reason));
            QCOMPARE(s.blocks, 2);
            QCOMPARE(s.mismatches, 0);
            QCOMPARE(s.student, QStringLiteral("Студент С.с. Гр. Х-10"));
            QCOMPARE(s.date, QStringLiteral("2026-12-07 14:05:33"));
        }
    }

    // A chart added after the first block: PNG and SVG beside the report, one
    // line naming the picture, a page of its own in the PDF after the block;
    // check still finds the report right.
    void chartPageAfterABlock() {
        QTemporaryDir dir;
        qputenv("HEATX_REPORT_DIR", dir.path().toUtf8());
        QtReportPrinter printer([](const QString&, const QString&, const QString&) {});
        printer.SetApparatus(QStringLiteral("подогреватель"));
        Road& r = *road;
        r.platform.reportPrinter = &printer;
        r.ToResults();
        Form9* design = r.form9();
        Road::Click(design->findChild<QPushButton*>(QStringLiteral("ChartButton")));
        ChartWindow* chart = nullptr;
        QVERIFY(QTest::qWaitFor([&] { return (chart = OpenChart(design)) && chart->Ready(); }, 10000));
        // Nothing printed yet: no block to put the chart after.
        QVERIFY(!chart->AddToReport());
        QVERIFY(chart->Saved->text().startsWith(QStringLiteral("ГРАФИК НЕ ДОБАВЛЕН В ОТЧЁТ: ")));
        Road::Click(design->Command1);
        QVERIFY(chart->AddToReport());
        r.PrintWith120TubesAndEnd();
        qunsetenv("HEATX_REPORT_DIR");
        r.platform.reportPrinter = nullptr;

        const QString pdf = printer.LastDestination();
        QVERIFY(pdf.endsWith(QStringLiteral(".pdf")));
        const QString base = pdf.chopped(4);
        QFile txt(base + QStringLiteral(".txt")), pdfFile(pdf);
        QVERIFY(txt.open(QIODevice::ReadOnly) && pdfFile.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(txt.readAll()).split(QLatin1Char('\n'));
        const QString picture = QFileInfo(base).fileName() + QStringLiteral("_график_1.png");
        QCOMPARE(lines.count(PictureLine(picture)), 1);
        QCOMPARE(lines.filter(QStringLiteral("ГРАФИК")).size(), 1);
        QVERIFY(QFileInfo(QDir(dir.path()).filePath(picture)).size() > 1000);
        QVERIFY(QFileInfo::exists(QDir(dir.path()).filePath(picture.chopped(4) + QStringLiteral(".svg"))));
        // Head and first block, the chart, the second block: three pages.
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
        QCOMPARE(int(QString::fromLatin1(pdfFile.readAll()).count(page)), 3);
        for (const QString& file : {pdf, txt.fileName()}) {
            const batch::ReportSummary s = batch::CheckReportFile(file);
            QVERIFY2(s.isReport, qPrintable(file + ": " + s.reason));
            QCOMPARE(s.blocks, 2);
            QVERIFY2(s.mismatches == 0, qPrintable(file + ": " + (s.differences.empty() ? QString() : s.differences[0].printed)));
        }
    }
};

QTEST_MAIN(CheckRoadTest)
#include "check_road_test.moc"
