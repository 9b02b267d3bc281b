// SPDX-License-Identifier: GPL-3.0-or-later
// The start window, the description, the library menu, the window-instance
// model and the end of the program.
#include "road.h"

#include "platform/pictures.h"
#include "platform/qt_report_printer.h"
#include "platform/twips.h"
#include "window_base/window_texts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

using namespace heatx;

class ShellTest : public RoadTest {
    Q_OBJECT

private slots:
    void startWindow() {
        Road& r = *road;
        r.program->Start();
        Form1* start = r.form1();
        QVERIFY(start->isVisible());
        QCOMPARE(start->windowTitle(), QStringLiteral("НАЧАЛО РАБОТЫ С ПРОГРАММОЙ"));
        QCOMPARE(start->Label1->text(),
                 QStringLiteral("Программа расчета\nгазожидкостных кожухотрубных\nтеплообменников"));
        QCOMPARE(start->Label2->text(), QStringLiteral("  Автор Ортелин"));
        // Four equal margins of 1189 twips; the credit under the right button.
        QCOMPARE(Twips(start->Command1).left, 1189.0);
        QCOMPARE(Twips(start->Command2).left, 1189.0 + 2415 + 1189);
        QCOMPARE(Twips(start->Command3).left, 1189.0 + 2 * (2415 + 1189));
        QCOMPARE(Twips(start->Command3).top, 6000.0);
        QCOMPARE(Twips(start->Label2).top, 6000.0 + 615 + 500);
        QCOMPARE(Twips(start->Label2).left, Twips(start->Command3).left + 500);
        QCOMPARE(Twips(start->Label1).left, 6000 - 5295 / 2.0);
        QCOMPARE(FaceColor(start->Command3), QColor(255, 128, 128));
        // The blend: RGB(150, 50, 255) at the left edge, RGB(150, 50, 0) from
        // column H + 150 to the right edge.
        const QImage back = start->grab().toImage();
        const int h = start->height();
        QCOMPARE(back.pixelColor(0, h - 2), QColor(150, 50, 255));
        QCOMPARE(back.pixelColor(h + 151, h - 2), QColor(150, 50, 0));
        QCOMPARE(back.pixelColor(start->width() - 1, h - 2), QColor(150, 50, 0));
        const int w = start->width();
        QCOMPARE(back.pixelColor(h + 149, h - 2), QColor(150, 50, 255 - ((h + 149) * 255) / w));
        // The end button is first in the tab order: it has the focus.
        start->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(start));
        QCOMPARE(QApplication::focusWidget(), start->Command3);
    }

    void descriptionAndBackRedrawsTheStartWindow() {
        Road& r = *road;
        r.program->Start();
        Form1* first = r.form1();
        Road::Click(first->Command1);
        Form2* description = r.form2();
        QVERIFY(description->isVisible() && !first->isVisible());
        QCOMPARE(description->windowTitle(), QStringLiteral("Описание программы"));
        const QStringList lines = description->Label1->text().split('\n');
        QCOMPARE(lines.size(), 18);
        QCOMPARE(lines[0], QString());
        QCOMPARE(lines[2], QStringLiteral("                    автор Ортелин"));
        QCOMPARE(lines[13], QStringLiteral("     МЕТОДИЧЕСКОЕ УКАЗАНИЕ(М131), НАВРИТ "));
        QCOMPARE(Twips(description->Label2).left, 1080.0 + 6135);
        QCOMPARE(Twips(description->Label3).top, 480.0 + 4575);
        QCOMPARE(description->BackColor(), QColor(192, 192, 0));

        // CloseOtherWindows with the start window hidden and the description
        // loaded after it: the start window goes, a new one is made.
        QCOMPARE(r.loaded(), (QStringList{"Form1", "Form2"}));
        Road::Click(description->Command1);
        QCOMPARE(r.loaded(), (QStringList{"Form2", "Form1"}));
        QVERIFY(!description->isVisible());
        QVERIFY(r.form1()->isVisible());
        QCOMPARE(r.form1()->windowTitle(), QStringLiteral("НАЧАЛО РАБОТЫ С ПРОГРАММОЙ"));
        QVERIFY(!r.form1()->Background().isNull());

        // Again: the hidden description goes and comes back made anew.
        Road::Click(r.form1()->Command1);
        QCOMPARE(r.loaded(), (QStringList{"Form1", "Form2"}));
        QVERIFY(r.form2()->isVisible());
    }

    // Once the window manager has framed a window (1 px borders, a 20 px
    // title bar), an outer size in twips stays the outer size and a client
    // area the client area; the start window's background fills its new
    // client area, and windows made later are sized for that frame at once.
    // A title too long for its window widens it, the controls staying put.
    void windowsKeepTheirSizesInTheManagersFrame() {
        struct Restore {
            QSize frame = WindowFramePx();
            ~Restore() { SetWindowFramePx(frame); }
        } restore;
        const QSize frame(2, 21);
        Road& r = *road;
        r.program->Start();
        Form1* start = r.form1();
        start->AdoptFrame(frame);
        QCOMPARE(start->size() + frame, QSize(800, 600));
        QCOMPARE(start->WidthTwips(), 12000.0);
        const QImage back = start->grab().toImage();
        QCOMPARE(back.pixelColor(start->width() - 1, start->height() - 1), QColor(150, 50, 0));
        QCOMPARE(back.pixelColor(0, start->height() - 1), QColor(150, 50, 255));

        Road::Click(start->Command1);
        QCOMPARE(r.form2()->size(), QSize(588, 464));  // 8820 x 6960 twips
        Road::Click(r.form2()->Command1);
        QCOMPARE(r.form1()->size() + frame, QSize(800, 600));
        r.platform.Answer({""});
        Road::Click(r.form1()->Command2);
        Form4* menu = r.form4();
        QCOMPARE(menu->size(), QSize(599, 355));  // 8985 x 5325 twips
        menu->AdoptFrame(QSize(8, 28));            // a manager with a wider frame
        QCOMPARE(menu->size(), QSize(599, 355));
        QCOMPARE(menu->WidthTwips(), 8985.0 + 120);
        menu->AdoptFrame(frame);

        ErrorDialog* dialog = r.program->Form<ErrorDialog>(QStringLiteral("Form14"));
        dialog->SetWindowTwips(-1, 5000, 5895, 1500);
        QCOMPARE(dialog->size() + frame, QSize(393, 100));
        const QRect yes = dialog->Command1->geometry();
        dialog->setWindowTitle(QStringLiteral("   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ"));
        QVERIFY(dialog->width() + frame.width() >= InputBoxTitleWidth(dialog->windowTitle()));
        QVERIFY(dialog->width() > 393);
        QCOMPARE(dialog->height() + frame.height(), 100);
        QCOMPARE(dialog->Command1->geometry(), yes);
    }

    void windowInstanceModel() {
        Road& r = *road;
        FormRegistry& forms = r.program->forms();
        // One loaded window: CloseOtherWindows leaves it.
        Form1* start = r.program->Form<Form1>(kStartFormName);
        r.program->CloseOtherWindows();
        QCOMPARE(r.loaded(), QStringList{"Form1"});
        // A reference to a loaded window gives the same instance; hiding keeps it.
        start->hide();
        QCOMPARE(r.program->Form<Form1>(kStartFormName), start);
        r.program->Form(QStringLiteral("Form2"));
        r.program->Form<Form4>(kMenuFormName);
        QCOMPARE(forms.Count(), 3);
        r.program->CloseOtherWindows();
        QCOMPARE(r.loaded(), QStringList{"Form4"});
        // Unloading forgets the contents: the next reference loads anew.
        Form4* menu = r.form4();
        menu->Command1->show();
        r.program->Unload(menu);
        QCOMPARE(forms.Count(), 0);
        QVERIFY(r.program->Form<Form4>(kMenuFormName)->Command1->isHidden());
    }

    void surnameEntry() {
        Road& r = *road;
        r.ToMenu(QStringLiteral("студент с.с. гр. х-10"));
        const AskedBox& box = r.platform.inputBoxes[0];
        QCOMPARE(box.prompt, QStringLiteral("  ВВЕДИТЕ ФАМИЛИЮ И НОМЕР ГРУППЫ "));
        QCOMPARE(box.title, QStringLiteral("ВВОД ФАМИЛИИ"));
        QCOMPARE(box.x, 500);
        QCOMPARE(box.y, 300);
        QCOMPARE(r.state.StudentLine, QStringLiteral("Студент С.с. Гр. Х-10 "));
        Form4* menu = r.form4();
        QVERIFY(menu->isVisible());
        QCOMPARE(r.loaded(), QStringList{"Form4"});
        QCOMPARE(menu->windowTitle(), QStringLiteral("Form4"));
        QCOMPARE(menu->Label1->text(), QStringLiteral("   БИБЛИОТЕКА ПРОГРАММ"));
        QVERIFY(!menu->Command1->isVisible());
        QCOMPARE(menu->Command2->text(), QStringLiteral("ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР"));
        QCOMPARE(menu->Command4->text(), QStringLiteral("ОКОНЧАНИЕ РАСЧЁТА"));
        // The menu's background: RGB(0, 150, 255) at the top towards RGB(0, 150, 0).
        const QImage back = menu->grab().toImage();
        QCOMPARE(back.pixelColor(2, 0), QColor(0, 150, 255 - 255 / menu->height()));
        QCOMPARE(back.pixelColor(2, menu->height() - 1), QColor(0, 150, 0));

        Road::Click(menu->Command4);
        QVERIFY(r.program->Ended());
        QCOMPARE(r.quits, 1);
    }

    void cancelledSurnameGivesOneBlank() {
        Road& r = *road;
        r.ToMenu(QString());
        QCOMPARE(r.state.StudentLine, QStringLiteral(" "));
    }

    void endButtonOfTheStartWindow() {
        Road& r = *road;
        r.program->Start();
        Road::Click(r.form1()->Command3);
        QVERIFY(r.program->Ended());
        QVERIFY(r.loaded().isEmpty());
        QCOMPARE(r.quits, 1);
    }

    void closingTheLastShownWindowEndsTheProgram() {
        Road& r = *road;
        r.program->Start();
        Road::Click(r.form1()->Command1);
        // The start window is still loaded, but hidden: closing the
        // description leaves nothing on the screen.
        QVERIFY(r.form2()->close());
        QVERIFY(r.program->Ended());
        QCOMPARE(r.quits, 1);
    }

    void closingTheDesignWindowSendsThePrintedReport() {
        Road& r = *road;
        r.ToResults();
        Road::Click(r.form9()->Command1);
        QVERIFY(r.form9()->close());
        QVERIFY(r.program->Ended());
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QCOMPARE(r.platform.printer.sessionEnds, 1);
    }

    // Every end of the program gives the printer its last call, also when
    // nothing was printed since the last report ended: a report kept from a
    // failed save must not be left in memory.
    void everyEndOfTheProgramGivesThePrinterItsLastCall() {
        Road& r = *road;
        r.ToResults();
        Road::Click(r.form9()->Command1);
        Road::Click(r.form9()->Command4);  // another exchanger: the report ends
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QCOMPARE(r.platform.printer.sessionEnds, 0);
        Road::Click(r.form4()->Command4);  // the menu's end button
        QVERIFY(r.program->Ended());
        QCOMPARE(r.platform.printer.sessionEnds, 1);
        QCOMPARE(r.platform.printer.documents.size(), 1);
    }

    // The real printer with a report folder that cannot be written: the
    // printed report is saved in the home folder when the student ends the
    // program, and the one message names the files.
    void anUnwritableReportFolderFallsBackToHomeAtTheEnd() {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(QDir(dir.path()).mkpath("home"));
        const QByteArray savedFolder = qgetenv("HEATX_REPORT_DIR"), savedHome = qgetenv("HOME");
        qputenv("HEATX_REPORT_DIR", dir.filePath("file/reports").toUtf8());
        qputenv("HOME", dir.filePath("home").toUtf8());
        QStringList messages;
        QtReportPrinter printer([&](const QString& t, const QString& x, const QString&) { messages << t << x; },
                                [] { return QDateTime(QDate(2026, 12, 7), QTime(14, 5, 33)); });
        printer.SetApparatus(QStringLiteral("подогреватель"));
        Road& r = *road;
        r.platform.reportPrinter = &printer;
        r.ToResults();
        Road::Click(r.form9()->Command1);
        Road::Click(r.form9()->Command5);  // ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ
        qputenv("HEATX_REPORT_DIR", savedFolder);
        qputenv("HOME", savedHome);
        QVERIFY(r.program->Ended());

        const QString base = dir.filePath("home/Отчёт_подогреватель_2026-12-07_14-05-33");
        QFile text(base + ".txt");
        QVERIFY(text.open(QIODevice::ReadOnly));
        const QString copy = QString::fromUtf8(text.readAll());
        QVERIFY(copy.contains(QStringLiteral("Расчет подогревателя или дефлегматора")));
        QVERIFY(copy.contains(QStringLiteral("ТИП ТЕПЛООБМЕННИКА-ГОРИЗОНТАЛЬНЫЙ")));
        QVERIFY(QFileInfo(base + ".pdf").size() > 1000);
        QCOMPARE(messages.size(), 2);
        QCOMPARE(messages[0], QStringLiteral("ОТЧЁТ СОХРАНЁН"));
        QVERIFY2(messages[1].contains(base + ".pdf") && messages[1].contains(dir.filePath("file/reports")),
                 qPrintable(messages[1]));
    }

    // A message about a folder with a name of 4000 letters (and the text of
    // a report to copy) stays on a 1024 x 768 screen, its OK button too; the
    // long text scrolls inside it.
    void longMessagesFitTheScreen() {
        const QString folder = QStringLiteral("/home/") + QString(4000, QChar(0x044F));
        for (const QString& details : {QString(), QString(QStringLiteral("            строка отчёта\n")).repeated(300)}) {
            std::unique_ptr<QDialog> box(
                MessageDialog(QStringLiteral("ОТЧЁТ СОХРАНЁН"),
                              QStringLiteral("Отчёт сохранён в файл\n%1/Отчёт.pdf").arg(folder), details, nullptr));
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box.get()));
            QVERIFY2(box->frameGeometry().width() <= 1024 && box->frameGeometry().height() <= 768,
                     qPrintable(QStringLiteral("%1 x %2").arg(box->width()).arg(box->height())));
            auto* ok = box->findChild<QPushButton*>(QStringLiteral("OkButton"));
            QVERIFY(ok != nullptr && ok->isVisible());
            QVERIFY(box->rect().contains(ok->geometry()));
            auto* message = box->findChild<QTextEdit*>(QStringLiteral("Message"));
            QVERIFY(message->toPlainText().contains(folder));
            QVERIFY(message->verticalScrollBar()->maximum() > 0);  // the rest is a scroll away
            QCOMPARE(box->findChild<QPlainTextEdit*>(QStringLiteral("Details")) != nullptr, !details.isEmpty());
        }
        // A message of a few lines is as tall as its text, with no scroll bar.
        std::unique_ptr<QDialog> box(MessageDialog(QStringLiteral("ОТЧЁТ СОХРАНЁН"),
                                                   QStringLiteral("Отчёт сохранён в файл\n/home/a/Отчёт.pdf\nи его "
                                                                  "текстовая копия — в файл\n/home/a/Отчёт.txt"),
                                                   QString(), nullptr));
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        auto* message = box->findChild<QTextEdit*>(QStringLiteral("Message"));
        QCOMPARE(message->verticalScrollBar()->maximum(), 0);
        QVERIFY2(message->height() < 6 * message->fontMetrics().lineSpacing(), qPrintable(QString::number(message->height())));
    }

    void closingTheSheetTakesItsDialogAlong() {
        Road& r = *road;
        QStringList sheet = kGoodSheet;
        sheet[0] = "5";
        r.ToSheet(sheet);
        Road::Click(r.form3()->Command1);
        QVERIFY(r.form5()->isVisible());
        QVERIFY(r.form3()->close());
        QVERIFY(r.program->Ended());
        QVERIFY(r.loaded().isEmpty());
    }

    void programFonts() {
        for (const QString& name : ProgramFontNames()) {
            const QString family = MappedFamily(name);
            QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::Cyrillic), qPrintable(family));
        }
        for (const char* courier : {"Courier", "Courier New", "Courier New Cyr"}) {
            const QFontInfo info(ProgramFont(QString::fromLatin1(courier), 9.75));
            QVERIFY2(info.fixedPitch(), courier);
        }
    }

    void picturesBesideTheProgram() {
        // The build made the five files, with the words in their colours.
        for (Picture picture : kAllPictures) {
            const QPixmap file = ReadPictureFile(QStringLiteral(HEATX_PICTURE_DIR), picture);
            QVERIFY2(!file.isNull(), LookOf(picture).fileName);
            if (picture == Picture::ErrorIcon) continue;
            const QImage face = file.toImage();
            QCOMPARE(face.pixelColor(0, 0), LookOf(picture).back);
            bool hasWords = false;
            for (int x = 0; x < face.width() && !hasWords; ++x)
                hasWords = face.pixelColor(x, face.height() / 2) != LookOf(picture).back;
            QVERIFY2(hasWords, LookOf(picture).fileName);
        }
    }

    void withoutADisplayTheProgramSaysSo() {
        QProcess heatxProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        heatxProcess.setProcessEnvironment(env);
        heatxProcess.start(QStringLiteral(HEATX_EXE), {});
        QVERIFY(heatxProcess.waitForFinished(60000));
        QCOMPARE(heatxProcess.exitStatus(), QProcess::NormalExit);
        QCOMPARE(heatxProcess.exitCode(), 1);
        QVERIFY(QString::fromUtf8(heatxProcess.readAllStandardError()).contains(QStringLiteral("нет графического экрана")));
    }

    // A report whose program was killed after a print (its printer gone
    // without an end): the next start of the program makes its PDF beside its
    // text copy; a logout's SIGTERM while that message is on the screen ends
    // the program as killed.
    void theNextStartFinishesAKilledReportAndSigtermEndsIt() {
        QTemporaryDir reports;
        qputenv("HEATX_REPORT_DIR", reports.path().toUtf8());
        {
            QtReportPrinter killed([](const QString&, const QString&, const QString&) {});
            killed.SetApparatus(QStringLiteral("подогреватель"));
            killed.SetFontName(QStringLiteral("Courier New Cyr"));
            killed.SetFontSize(9);
            killed.PrintLine(QStringLiteral("            Студент С.с. Гр. Х-10 "));
            killed.EndBlock();
        }
        qunsetenv("HEATX_REPORT_DIR");
        const QStringList texts = QDir(reports.path()).entryList({QStringLiteral("*.txt")});
        QCOMPARE(texts.size(), 1);
        const QString pdf = reports.filePath(texts[0].chopped(4) + QStringLiteral(".pdf"));
        const QDir notes(QString::fromUtf8(qgetenv("XDG_STATE_HOME")) + QStringLiteral("/heatx"));
        QCOMPARE(notes.entryList(QDir::Files).size(), 1);

        QProcess heatxProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        heatxProcess.setProcessEnvironment(env);
        heatxProcess.start(QStringLiteral(HEATX_EXE), {});
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(pdf); }, 60000));
        QVERIFY(QTest::qWaitFor([&] { return notes.entryList(QDir::Files).isEmpty(); }, 10000));
        QVERIFY(QFileInfo::exists(reports.filePath(texts[0])));
        ::kill(pid_t(heatxProcess.processId()), SIGTERM);
        QVERIFY(heatxProcess.waitForFinished(30000));
        QCOMPARE(heatxProcess.exitStatus(), QProcess::CrashExit);
        QCOMPARE(heatxProcess.exitCode(), SIGTERM);
    }
};

QTEST_MAIN(ShellTest)
#include "shell_test.moc"
