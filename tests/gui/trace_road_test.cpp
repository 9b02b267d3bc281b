// SPDX-License-Identifier: GPL-3.0-or-later
// «ХОД РАСЧЁТА» of the three design windows: the button with a result only,
// F2, the steps of the shown run, the table of the constructions tried, the
// trace printed into the report after its block, and heatx-batch check
// calling such a report right.
#include "batch/report_check.h"
#include "cooler/cooler_window.h"
#include "evaporator/evap_window.h"
#include "report/trace_block.h"
#include "road.h"

#include <QScreen>

using namespace heatx;

namespace {

QString Cell(const QTableWidget* t, int row, int column) {
    const QTableWidgetItem* item = t->item(row, column);
    return item ? item->text() : QString();
}

// The lines of the open report from the first line holding what on.
QStringList From(const QStringList& lines, const QString& what) {
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].contains(what)) return lines.mid(i);
    return {};
}

}  // namespace

class TraceRoadTest : public RoadTest {
    Q_OBJECT

private slots:
    void heaterButtonStepsAndTableOfConstructions() {
        Road& r = *road;
        r.ToDesign();
        Form9* design = r.form9();
        QVERIFY(design->Steps->Button->isHidden());  // no result yet
        r.platform.Answer(kConstruction);
        Road::Click(design->Command6);
        QVERIFY(design->Steps->Button->isVisible());
        // Below every described control, inside the window, over none of them.
        const QRect button = design->Steps->Button->geometry();
        QVERIFY(design->rect().contains(button));
        for (const QWidget* c : design->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c != design->Steps->Button && c->isVisible()) QVERIFY2(!c->geometry().intersects(button), qPrintable(c->objectName()));
        QVERIFY(button.top() >= design->Command5->geometry().bottom());

        // F2 opens the window the button opens: the steps of this run with
        // the decimal comma, and the construction as the table's one row.
        QVERIFY(Road::FocusIn(design) != nullptr);
        Road::Press(Qt::Key_F2);
        TraceWindow* w = design->Steps->Window();
        QVERIFY(w != nullptr && w->isVisible());
        const QString text = w->Text->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("dвн = d − 0,004 = 0,021 м")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("турбулентный: Re ≥ 10000")));
        QVERIFY(text.contains(QStringLiteral("ε = 0,7: n ≤ 100")));
        QVERIFY(text.contains(QStringLiteral("F = Gп·r/(K·Δt) = 19,09856 м²")));
        QCOMPARE(w->Table->rowCount(), 1);
        QCOMPARE(Cell(w->Table, 0, 0), QStringLiteral("►"));
        QCOMPARE(Cell(w->Table, 0, 10), QStringLiteral("19,10"));
        w->close();

        // 120 tubes, then 5000 (Re far below 2300): the table grows, newest
        // last; the failed run has no result, so no button.
        for (const QString& tubes : {QStringLiteral("120"), QStringLiteral("5000")}) {
            Road::Click(design->Command2);
            QVERIFY(design->Steps->Button->isHidden());
            r.platform.Answer({tubes});
            Road::ClickLine(design->List1, 4);
            Road::Click(design->Command8);
        }
        QVERIFY(design->Steps->Button->isHidden());
        Road::Press(Qt::Key_F2);
        QVERIFY(!w->isVisible());
        Road::Click(design->Command2);
        r.platform.Answer({"100"});
        Road::ClickLine(design->List1, 4);
        Road::Click(design->Command8);
        Road::Click(design->Steps->Button);
        QCOMPARE(w->Table->rowCount(), 4);
        QCOMPARE(Cell(w->Table, 2, 7), QStringLiteral("model"));
        QCOMPARE(Cell(w->Table, 2, 5), QStringLiteral("5000"));
        QCOMPARE(Cell(w->Table, 3, 0), QStringLiteral("►"));
        QCOMPARE(Cell(w->Table, 2, 0), QString());
        QCOMPARE(Cell(w->Table, 3, 10), QStringLiteral("19,10"));

        // A changed sheet starts a new table.
        Road::Click(design->Command3);
        r.platform.Answer({"6"});
        Road::ClickLine(r.form3()->List1, 10);
        Road::Click(r.form3()->Command3);
        r.platform.Answer(kConstruction);
        Road::Click(r.form9()->Command6);
        Road::Click(r.form9()->Steps->Button);
        QCOMPARE(r.form9()->Steps->Window()->Table->rowCount(), 1);
        // So does a sheet prepared again from the menu, the design window kept;
        // the steps window goes with its design window.
        QVERIFY(r.form9()->Steps->Window()->isVisible());
        Road::Click(r.form9()->Command4);
        QVERIFY(!r.form9()->Steps->Window()->isVisible());
        r.ToDesign();
        r.platform.Answer(kConstruction);
        Road::Click(r.form9()->Command7);
        Road::Click(r.form9()->Steps->Button);
        QCOMPARE(r.form9()->Steps->Window()->Table->rowCount(), 1);
        QCOMPARE(Cell(r.form9()->Steps->Window()->Table, 0, 1), QStringLiteral("ВЕРТ."));
    }

    void traceComesAfterItsBlockAndTheReportIsRight() {
        Road& r = *road;
        r.ToResults();
        Form9* design = r.form9();
        Road::Click(design->Steps->Button);
        TraceWindow* w = design->Steps->Window();
        // Not printed yet: the block of results goes first, then the trace.
        Road::Click(w->PrintButton);
        QVERIFY(design->Command1->isHidden());
        QVERIFY(!w->PrintButton->isEnabled());
        QVERIFY(w->Note->text().startsWith(QStringLiteral("ХОД РАСЧЁТА ДОБАВЛЕН В ОТЧЁТ")));
        const QStringList lines = r.platform.printer.lines;
        const QStringList trace = From(lines, QStringLiteral("ХОД РАСЧЁТА"));
        QVERIFY(!trace.isEmpty());
        QVERIFY(From(lines, QStringLiteral("ТИП ТЕПЛООБМЕННИКА")).size() > trace.size());
        QCOMPARE(r.platform.printer.blockEnds.size(), 2);  // the block, then the trace
        QCOMPARE(r.platform.printer.blockEnds.last(), lines.size());
        for (const QString& line : trace) QVERIFY2(line.size() <= 12 + 1 + kTraceReportWidth, qPrintable(line));
        // A second construction printed as usual, under the same head.
        r.PrintWith120TubesAndEnd();
        QCOMPARE(r.platform.printer.documents.size(), 1);
        const batch::ReportSummary s =
            batch::CheckReportText(r.platform.printer.documents[0].join(QLatin1Char('\n')));
        QVERIFY2(s.isReport, qPrintable(s.reason));
        QCOMPARE(s.blocks, 2);
        QCOMPARE(s.mismatches, 0);
    }

    void coolerAndEvaporatorTracesAndTheirReports() {
        Road& r = *road;
        r.ToMenu();
        r.platform.Answer(kCoolerSheet);
        Road::Click(r.form4()->Command3);
        r.platform.Answer(kCoolerConstruction);
        Road::Click(r.Win<SheetWindow>("Form6")->Command1);
        Form13* cooler = r.Win<Form13>("Form13");
        QVERIFY(cooler->Steps->Button->isVisible());
        QVERIFY(cooler->Steps->Button->geometry().top() >= cooler->Command5->geometry().bottom());
        Road::Click(cooler->Steps->Button);
        QString text = cooler->Steps->Window()->Text->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("Re2 = d·G2/(S·μ2) = 3125")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("турбулентный: Re1 ≥ 10000")));
        Road::Click(cooler->Command1);
        Road::Click(cooler->Steps->Window()->PrintButton);
        const QString coolerReport = r.platform.printer.lines.join(QLatin1Char('\n'));
        Road::Click(cooler->Command4);
        QVERIFY(!cooler->Steps->Window()->isVisible());

        // The evaporator: its table is closed for the trace and opened again
        // for the next height.
        r.platform.Answer(kEvapSheet);
        r.form4()->Command1->click();
        r.platform.Answer({"4"});
        Road::Click(r.Win<SheetWindow>("Form10")->Command1);
        Form11* evap = r.Win<Form11>("Form11");
        QVERIFY(evap->Steps->Button->isVisible());
        Road::Click(evap->Steps->Button);
        text = evap->Steps->Window()->Text->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("сошлось за 5 итер.: x2 − x1 ≤ 0,1")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("итерация 5")));
        Road::Click(evap->Steps->Window()->PrintButton);
        r.platform.Answer({"10"});
        Road::Click(evap->Command2);
        Road::Click(evap->Command1);
        Road::Click(evap->Command4);
        QCOMPARE(r.platform.printer.documents.size(), 2);
        for (const QString& report : {coolerReport, r.platform.printer.documents[1].join(QLatin1Char('\n'))}) {
            QVERIFY(report.contains(QStringLiteral("КОНЕЦ ХОДА РАСЧЁТА")));
            const batch::ReportSummary s = batch::CheckReportText(report);
            QVERIFY2(s.isReport && s.mismatches == 0,
                     qPrintable(s.differences.empty() ? s.reason : s.differences[0].quantity + ": " + s.differences[0].printed));
        }
    }
};

QTEST_MAIN(TraceRoadTest)
#include "trace_road_test.moc"
