// SPDX-License-Identifier: GPL-3.0-or-later
// A heater road printed through the program's own printer to a print server
// that takes the connection and never answers: the window goes on at once,
// and the message that comes later says the report was not printed and where
// it is kept.
#include "platform/qt_report_printer.h"
#include "../print_server.h"
#include "road.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

using namespace heatx;

class PrintRoadTest : public RoadTest {
    Q_OBJECT

private slots:
    void aSilentPrintServerNeverFreezesTheWindow() {
        servers::SilentServer silent;
        QVERIFY(silent.Listening());
        QTemporaryDir dir;
        qputenv("HEATX_REPORT_DIR", dir.path().toUtf8());
        const QByteArray server = qgetenv("CUPS_SERVER");
        qputenv("CUPS_SERVER", silent.Server());
        QStringList messages;
        QtReportPrinter printer([&](const QString& title, const QString& text, const QString&) {
            messages.append(title + QLatin1Char('\n') + text);
        });
        printer.SetApparatus(QStringLiteral("подогреватель"));
        Road& r = *road;
        r.platform.reportPrinter = &printer;
        r.ToResults();

        // The window's event loop keeps running while the server is asked.
        int ticks = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] { ++ticks; });
        tick.start(100);
        for (QAbstractButton* button : {static_cast<QAbstractButton*>(r.form9()->Command1),
                                        static_cast<QAbstractButton*>(r.form9()->Command4)}) {
            QElapsedTimer clock;
            clock.start();
            Road::Click(button);
            QVERIFY2(clock.elapsed() < 1000, qPrintable(button->objectName() + QStringLiteral(" took %1 ms").arg(clock.elapsed())));
        }
        QVERIFY(r.form4() != nullptr && r.form4()->isVisible());  // the student is back in the menu
        QVERIFY(QTest::qWaitFor([&] { return !messages.isEmpty(); }, 30000));
        QVERIFY2(ticks >= 20, qPrintable(QStringLiteral("%1 ticks").arg(ticks)));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(QStringLiteral("ОТЧЁТ НЕ НАПЕЧАТАН\nОтчёт не напечатан: сервер печати не ответил")),
                 qPrintable(messages[0]));
        const QString pdf = printer.LastDestination();
        QVERIFY(messages[0].contains(pdf));
        QVERIFY(QFileInfo(pdf).size() > 0);
        QVERIFY(QFileInfo::exists(pdf.chopped(4) + QStringLiteral(".txt")));
        qputenv("CUPS_SERVER", server);
        qunsetenv("HEATX_REPORT_DIR");
    }
};

QTEST_MAIN(PrintRoadTest)
#include "print_road_test.moc"
