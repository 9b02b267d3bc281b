// SPDX-License-Identifier: GPL-3.0-or-later
// The chart beside a result, in each design window: the button and F3 only
// with a result, the window with its curves, hovering, saving the pictures,
// and the chart gone with the result it was drawn for.
#include "road.h"
#include "platform/sweep_chart.h"
#include "window_base/chart_window.h"

#include <QAbstractAxis>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QLineSeries>
#include <QPointer>
#include <QRegularExpression>

namespace heatx {

namespace {

// The design window of an apparatus with a result shown.
FormWindow* ToResult(Road& r, const QString& apparatus) {
    if (apparatus == QLatin1String("heater")) {
        r.ToResults();
        return r.form9();
    }
    r.ToMenu();
    if (apparatus == QLatin1String("cooler")) {
        r.platform.Answer(kCoolerSheet);
        Road::Click(r.form4()->Command3);
        r.platform.Answer(kCoolerConstruction);
        Road::Click(r.Win<SheetWindow>("Form6")->Command1);
        return r.program->Loaded(QStringLiteral("Form13"));
    }
    r.platform.Answer(kEvapSheet);
    r.form4()->Command1->click();  // the hidden evaporator button
    r.platform.Answer({QStringLiteral("4")});
    Road::Click(r.Win<SheetWindow>("Form10")->Command1);
    return r.program->Loaded(QStringLiteral("Form11"));
}

QPushButton* ChartButton(FormWindow* design) { return design->findChild<QPushButton*>(QStringLiteral("ChartButton")); }

ChartWindow* WaitForChart(FormWindow* design) {
    ChartWindow* chart = nullptr;
    return QTest::qWaitFor([&] { return (chart = OpenChart(design)) && chart->Ready(); }, 10000) ? chart : nullptr;
}

QStringList AxisTitles(const QChartView* view) {
    QStringList titles;
    for (const QAbstractAxis* axis : view->chart()->axes()) titles << axis->titleText();
    return titles;
}

// The text of an SVG: its text elements one after another (a title may be
// written a word to an element).
QString SvgText(const QByteArray& svg) {
    QString text;
    static const QRegularExpression element(QStringLiteral("<text[^>]*>([^<]*)</text>"));
    for (const QRegularExpressionMatch& m : element.globalMatch(QString::fromUtf8(svg))) text += m.captured(1);
    return text;
}

}  // namespace

class ChartTest : public RoadTest {
    Q_OBJECT

private slots:
    void chartBesideTheResult_data() {
        QTest::addColumn<QString>("apparatus");
        QTest::addColumn<QString>("xTitle");
        QTest::addColumn<int>("curves");
        QTest::newRow("heater") << "heater" << "Общее число труб n, шт." << 5;
        QTest::newRow("cooler") << "cooler" << "Общее число труб n, шт." << 5;
        QTest::newRow("evaporator") << "evaporator" << "Высота труб H, м" << 1;
    }
    void chartBesideTheResult() {
        QFETCH(QString, apparatus);
        QFETCH(QString, xTitle);
        QFETCH(int, curves);
        Road& r = *road;
        FormWindow* design = ToResult(r, apparatus);
        QVERIFY(design && design->isVisible());
        QPushButton* button = ChartButton(design);
        QVERIFY(button && button->isVisible());
        // Whole inside the window, below every other button, over no control.
        QVERIFY(design->rect().contains(button->geometry()));
        for (const QWidget* c : design->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (c == button || !c->isVisible()) continue;
            QVERIFY2(!c->geometry().intersects(button->geometry()), qPrintable(c->objectName()));
        }

        QVERIFY(Road::FocusIn(design));
        Road::Press(Qt::Key_F3);
        ChartWindow* chart = WaitForChart(design);
        QVERIFY(chart && chart->isVisible());
        QVERIFY(chart->windowTitle().startsWith(QStringLiteral("ГРАФИК: ")));
        QCOMPARE(int(chart->Curves().curves.size()), curves);
        QVERIFY(AxisTitles(chart->SurfaceView).contains(xTitle));
        QVERIFY(AxisTitles(chart->SurfaceView).contains(QStringLiteral("Поверхность теплообмена F, м²")));
        QVERIFY(AxisTitles(chart->SurfaceView).contains(QStringLiteral("Коэффициент теплопередачи K, Вт/(м²·К)")));
        // The student's point is the result the design window shows.
        QVERIFY(chart->Own->text().contains(QStringLiteral("F = ") + FormatFixed(r.state.SurfaceF, 1, 2).trimmed()));
        // The pointer over the first curve, near its fourth point: that point's values.
        QLineSeries* first = nullptr;
        for (QAbstractSeries* series : chart->SurfaceView->chart()->series())
            if (series->property("heatxCurve") == QVariant(0) && !first) first = qobject_cast<QLineSeries*>(series);
        QVERIFY(first);
        const SweepCurve& curve = chart->Curves().curves[0];
        const double step = double(curve.points[4].x - curve.points[3].x);
        emit first->hovered(QPointF(double(curve.points[3].x) + step / 4, 1), true);
        QCOMPARE(chart->Hover->text(), PointText(chart->Curves(), curve.z, curve.points[3]));
        QVERIFY2(chart->Hover->text().contains(QStringLiteral("K = ")), qPrintable(chart->Hover->text()));
        // A second press brings up the same window.
        Road::Click(button);
        QCOMPARE(OpenChart(design), chart);

        Road::Click(chart->CloseButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(OpenChart(design), nullptr);
        // Open again, then the result goes (a new construction is asked for): so does its chart.
        QVERIFY(Road::FocusIn(design));
        Road::Press(Qt::Key_F3);
        QVERIFY(WaitForChart(design));
        // (the evaporator asks for the new height at once and shows its result again)
        const bool evaporator = apparatus == QLatin1String("evaporator");
        if (evaporator) r.platform.Answer({QStringLiteral("5")});
        Road::Click(design->findChild<QPushButton*>(QStringLiteral("Command2")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(OpenChart(design), nullptr);
        QCOMPARE(button->isVisible(), evaporator);
        if (!evaporator) return;
        // The chart of a result still shown goes with its window, to another exchanger.
        Road::Click(button);
        QVERIFY(WaitForChart(design));
        QPointer<FormWindow> kept(design);
        Road::Click(design->findChild<QPushButton*>(QStringLiteral("Command4")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(kept);
        QCOMPARE(OpenChart(kept), nullptr);
        QVERIFY(r.form4()->isVisible());
    }

    // Without a result there is no chart: the heater's Reynolds warning.
    void noChartWithoutAResult() {
        Road& r = *road;
        r.ToResults(true, kGoodSheet, Replaced(kConstruction, 3, QStringLiteral("3000")));
        QVERIFY(r.form9()->Label6->text().contains(QStringLiteral("< 2300")));
        QVERIFY(!ChartButton(r.form9())->isVisible());
        QVERIFY(Road::FocusIn(r.form9()));
        Road::Press(Qt::Key_F3);
        QCoreApplication::processEvents();
        QCOMPARE(OpenChart(r.form9()), nullptr);
    }

    // The pictures beside the report: PNG and SVG under free names, told.
    void savedPictures() {
        QTemporaryDir folder;
        qputenv("HEATX_REPORT_DIR", folder.path().toUtf8());
        Road& r = *road;
        r.ToResults();
        Road::Click(ChartButton(r.form9()));
        ChartWindow* chart = WaitForChart(r.form9());
        QVERIFY(chart);
        const QStringList first = chart->SavePictures();
        const QStringList second = chart->SavePictures();
        qunsetenv("HEATX_REPORT_DIR");
        QCOMPARE(first.size(), 2);
        QCOMPARE(second.size(), 2);
        QVERIFY(first[0] != second[0]);
        QVERIFY(chart->Saved->text().startsWith(QStringLiteral("РИСУНОК СОХРАНЁН: ")));
        QFile png(first[0]), svg(first[1]);
        QVERIFY(png.open(QIODevice::ReadOnly) && svg.open(QIODevice::ReadOnly));
        QVERIFY(png.read(4) == QByteArray("\x89PNG"));
        QVERIFY(SvgText(svg.readAll()).contains(QStringLiteral("Общее число труб n, шт.")));
    }
};

}  // namespace heatx

QTEST_MAIN(heatx::ChartTest)
#include "chart_test.moc"
