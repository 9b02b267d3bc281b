// SPDX-License-Identifier: GPL-3.0-or-later
// The program at the keyboard and on a desktop: the focus, the tab chains,
// Return, Enter and Space on buttons and lists, the error dialogs above their
// sheets, the flat button faces, the keyboard layout switch, the icon, the
// width of the input boxes and the command line.
#include "road.h"

#include "platform/pictures.h"
#include "platform/twips.h"
#include "platform/xkb_layout.h"
#include "window_base/window_texts.h"

#include <QFontMetrics>
#include <QLabel>
#include <QCursor>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

using namespace heatx;

namespace {

QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    return env;
}

XkbRulesNames Names(const char* layouts, const char* variants) {
    QByteArray property("evdev");
    property.append('\0').append("pc105").append('\0').append(layouts).append('\0').append(variants).append('\0');
    return ParseXkbRulesNames(property);
}

// Puts the pointer over every window the moment it appears, as when a window
// opens where the student just clicked.
class PointerOverNewWindows : public QObject {
public:
    PointerOverNewWindows() { qApp->installEventFilter(this); }
    ~PointerOverNewWindows() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow())
            QCursor::setPos(static_cast<QWidget*>(watched)->geometry().center());
        return false;
    }
};

// In the modal box that opens next: a click on its button at once (the
// second click of a double click), then another after the double-click
// interval. Tells whether the box was still open after the first.
void ClickTwiceInTheNextBox(const char* button, bool* stayedOpen) {
    QTimer::singleShot(0, [=] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr) return;
        auto find = [box, button] {
            for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
                if (b->objectName() == QLatin1String(button) || b->text() == QString::fromUtf8(button)) return b;
            return static_cast<QAbstractButton*>(nullptr);
        };
        QTest::mouseClick(find(), Qt::LeftButton);
        *stayedOpen = box->isVisible();
        QTimer::singleShot(QApplication::doubleClickInterval() + 50, box, [=] { QTest::mouseClick(find(), Qt::LeftButton); });
    });
}

}  // namespace

class KeyboardTest : public RoadTest {
    Q_OBJECT

private slots:
    // The whole heater road with Tab, Return, keypad Enter, Space and the
    // arrow keys alone: a wrong sheet, its dialog, the correction, the type,
    // the construction, a print, a change of the construction, the end.
    void heaterRoadFromTheKeyboard() {
        Road& r = *road;
        r.program->Start();
        Form1* start = r.form1();
        QCOMPARE(Road::FocusIn(start), static_cast<QWidget*>(start->Command3));
        QVERIFY(Road::TabTo(start->Command2));
        r.platform.Answer({"иванов и.и. гр. х-10"});
        Road::Press(Qt::Key_Return);
        // The surname is typed on the Russian layout, the rest on the US one.
        QCOMPARE(r.platform.layoutSwitches.size(), 2);
        QCOMPARE(r.platform.layoutSwitches[0].layout, KeyboardLayout::Russian);
        QCOMPARE(r.platform.layoutSwitches[0].boxesBefore, 0);
        QCOMPARE(r.platform.layoutSwitches[1].layout, KeyboardLayout::EnglishUS);
        QCOMPARE(r.platform.layoutSwitches[1].boxesBefore, 1);

        Form4* menu = r.form4();
        QVERIFY(menu && menu->isVisible());
        QCOMPARE(Road::FocusIn(menu), static_cast<QWidget*>(menu->Command4));
        QVERIFY(Road::TabTo(menu->Command2));
        QStringList wrong = kGoodSheet;
        wrong[0] = "0,04";
        r.platform.Answer(wrong);
        Road::Press(Qt::Key_Enter, Qt::KeypadModifier);
        SheetWindow* sheet = r.form3();
        QVERIFY(sheet && sheet->isVisible());
        QCOMPARE(r.platform.inputBoxes.size(), 12);

        // The red keep button has the focus; Space presses it.
        QCOMPARE(Road::FocusIn(sheet), static_cast<QWidget*>(sheet->Command1));
        Road::Press(Qt::Key_Space);
        ErrorDialog* dialog = r.form5();
        QVERIFY(dialog && dialog->isVisible());
        // The program itself makes the dialog active, the focus on "Да".
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog->Command1));
        QVERIFY(Road::AboveItsSheet(dialog, sheet));
        Road::Press(Qt::Key_Return);  // "Да"
        QVERIFY(!r.form5() && !r.program->Ended());

        // The list has the focus, its first line current: Return asks for it.
        QCOMPARE(Road::FocusIn(sheet), static_cast<QWidget*>(sheet->List1));
        r.platform.Answer({"0,686"});
        Road::Press(Qt::Key_Return);
        QCOMPARE(r.platform.inputBoxes.last().prompt, r.state.HeaterCaptions[0]);
        QCOMPARE(r.state.HeaterValueTexts[0], QStringLiteral("0.686"));
        QVERIFY(Road::TabTo(sheet->Command3));
        Road::Press(Qt::Key_Return);  // КОНЕЦ ИСПРАВЛЕНИЙ

        Form9* design = r.form9();
        QVERIFY(design && design->isVisible());
        QCOMPARE(Road::FocusIn(design), static_cast<QWidget*>(design->Command6));
        r.platform.Answer(kConstruction);
        Road::Press(Qt::Key_Space);  // ГОРИЗОНТАЛЬНЫЙ
        QVERIFY(design->Command1->isVisible() && design->Label2->isVisible());
        // The results shown, printing is the next step; then the change.
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(design->Command1));
        Road::Press(Qt::Key_Return);  // ПЕЧАТЬ
        QVERIFY(!r.platform.printer.lines.isEmpty());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(design->Command2));
        Road::Press(Qt::Key_Return);  // ИЗМЕНЕНИЕ КОНСТРУКТИВНЫХ ПАРАМЕТРОВ
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(design->List1));
        for (int i = 0; i < 4; ++i) Road::Press(Qt::Key_Down);
        r.platform.Answer({"120"});
        Road::Press(Qt::Key_Space);
        QCOMPARE(r.platform.inputBoxes.last().prompt, r.state.HeaterCaptions[15]);
        QCOMPARE(r.state.HeaterValueTexts[15], QStringLiteral("120"));
        QVERIFY(Road::TabTo(design->Command8));
        Road::Press(Qt::Key_Enter, Qt::KeypadModifier);  // ПЕРЕХОД К РАСЧЕТУ
        QVERIFY(design->Label2->isVisible() && !design->List1->isVisible());

        QVERIFY(Road::TabTo(design->Command5));
        Road::Press(Qt::Key_Return);  // ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ
        QVERIFY(r.program->Ended());
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QVERIFY(r.platform.printer.documents[0].join('\n').contains(QStringLiteral("Иванов И.и. Гр. Х-10")));
    }

    void startWindowTabChain() {
        Road& r = *road;
        r.program->Start();
        Form1* start = r.form1();
        // Command3, Command2, Command1 and round again; back the other way.
        QCOMPARE(Road::TabWalk(start, 4), (QStringList{"Command2", "Command1", "Command3", "Command2"}));
        QCOMPARE(Road::TabWalk(start, 4, true), (QStringList{"Command3", "Command1", "Command2", "Command3"}));
        // Return on the description button, keypad Enter on "ПРОДОЛЖЕНИЕ".
        QVERIFY(Road::TabTo(start->Command1));
        Road::Press(Qt::Key_Return);
        Form2* description = r.form2();
        QVERIFY(description && description->isVisible() && !start->isVisible());
        QCOMPARE(Road::FocusIn(description), static_cast<QWidget*>(description->Command1));
        Road::Press(Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(r.form1() && r.form1()->isVisible() && !description->isVisible());
        QCOMPARE(Road::FocusIn(r.form1()), static_cast<QWidget*>(r.form1()->Command3));
    }

    void menuTabChain_data() {
        QTest::addColumn<bool>("evaporator");
        QTest::addColumn<QStringList>("walk");
        QTest::newRow("for students") << false << QStringList{"Command3", "Command2", "Command4", "Command3"};
        QTest::newRow("evaporator shown")
            << true << QStringList{"Command3", "Command2", "Command1", "Command4", "Command3"};
    }
    void menuTabChain() {
        QFETCH(bool, evaporator);
        QFETCH(QStringList, walk);
        Road& r = *road;
        r.program->ShowEvaporator(evaporator);
        r.ToMenu();
        Form4* menu = r.form4();
        QCOMPARE(Road::FocusIn(menu), static_cast<QWidget*>(menu->Command4));
        QCOMPARE(Road::TabWalk(menu, static_cast<int>(walk.size())), walk);
        // Space on the end button ends the program.
        QVERIFY(Road::TabTo(menu->Command4));
        Road::Press(Qt::Key_Space);
        QVERIFY(r.program->Ended());
    }

    // A stray key in the heater's error dialog goes back to the sheet; only
    // "Нет", chosen on purpose, ends the program.
    void heaterErrorDialogKeys() {
        Road& r = *road;
        QStringList wrong = kGoodSheet;
        wrong[0] = "5";
        r.ToSheet(wrong);
        SheetWindow* sheet = r.form3();
        Road::Click(sheet->Command1);
        ErrorDialog* dialog = r.form5();
        QCOMPARE(Road::FocusIn(dialog), static_cast<QWidget*>(dialog->Command1));
        QCOMPARE(Road::TabWalk(dialog, 2), (QStringList{"Command2", "Command1"}));
        // A click on the marked line of the sheet leaves the dialog above it.
        QTest::mouseClick(sheet->Label2, Qt::LeftButton);
        QVERIFY(Road::AboveItsSheet(dialog, sheet));
        Road::Press(Qt::Key_Space);
        QVERIFY(!r.form5() && !r.program->Ended());
        QVERIFY(sheet->List1->isVisible() && sheet->List1->isEnabled());

        // A line asked for again, still wrong; through the end of corrections
        // the dialog comes back: Tab, then Return on "Нет".
        QCOMPARE(Road::FocusIn(sheet), static_cast<QWidget*>(sheet->List1));
        r.platform.Answer({"5"});
        Road::Press(Qt::Key_Return);
        QCOMPARE(r.platform.inputBoxes.last().prompt, r.state.HeaterCaptions[0]);
        QVERIFY(Road::TabTo(sheet->Command3));
        Road::Press(Qt::Key_Return);
        dialog = r.form5();
        QVERIFY(dialog && Road::AboveItsSheet(dialog, sheet));
        QCOMPARE(Road::FocusIn(dialog), static_cast<QWidget*>(dialog->Command1));
        QVERIFY(Road::TabTo(dialog->Command2));
        Road::Press(Qt::Key_Return);
        QVERIFY(r.program->Ended());
    }

    // The red sheet hides its two buttons when its dialog opens: back on the
    // sheet (a click on it), Return, Space and Escape press neither of them,
    // and the dialog's "Да" then leads to editing as it should.
    void hiddenSheetButtonsIgnoreKeysWhileTheDialogIsOpen() {
        Road& r = *road;
        r.ToSheet(Replaced(kGoodSheet, 0, "5"));
        SheetWindow* sheet = r.form3();
        QCOMPARE(Road::FocusIn(sheet), static_cast<QWidget*>(sheet->Command1));
        Road::Press(Qt::Key_Space);
        ErrorDialog* dialog = r.form5();
        QVERIFY(dialog);
        QCOMPARE(r.UnusableFocus(), QStringList());
        QWidget* focus = Road::FocusIn(sheet);
        QVERIFY(focus == nullptr || (focus->isVisible() && focus->isEnabled()));
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape})
            QTest::keyClick(focus ? focus : static_cast<QWidget*>(sheet), key);
        QVERIFY(r.form5() == dialog && dialog->isVisible() && sheet->Label2->isVisible());
        QVERIFY(!sheet->Label3->isVisible() && !sheet->List1->isVisible());
        QCOMPARE(r.platform.inputBoxes.size(), 12);
        QCOMPARE(Road::FocusIn(dialog), static_cast<QWidget*>(dialog->Command1));
        Road::Press(Qt::Key_Return);
        QVERIFY(!r.form5() && sheet->Label3->isVisible() && sheet->List1->isVisible());
        r.platform.Answer({"0,686"});
        Road::ClickLine(sheet->List1, 0);
        QVERIFY(sheet->Command3->isVisible());
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_g.bmp"));
    }

    // An error dialog, an input box and a yes/no box that open under the
    // pointer ignore the second click of the double click that opened them;
    // a click after the double-click interval counts.
    void windowsOpenedUnderThePointerIgnoreTheOpeningClick() {
        PointerOverNewWindows pointer;
        Road& r = *road;
        r.ToSheet(Replaced(kGoodSheet, 0, "5"));
        Road::Click(r.form3()->Command1);
        ErrorDialog* dialog = r.form5();
        QTest::mouseClick(dialog->Command1, Qt::LeftButton);
        QVERIFY(r.form5() == dialog && dialog->isVisible());
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        Road::Click(dialog->Command1);
        QVERIFY(!r.form5() && r.form3()->List1->isVisible());

        QTemporaryDir folder;
        QtPlatform platform(folder.path());
        bool stayedOpen = false;
        ClickTwiceInTheNextBox("CancelButton", &stayedOpen);
        QVERIFY(Cancelled(platform.InputBox(QStringLiteral("  ВВЕДИТЕ"), texts::kInputBoxTitle, 800, 700)));
        QVERIFY(stayedOpen);
        stayedOpen = false;
        ClickTwiceInTheNextBox("Нет", &stayedOpen);
        QCOMPARE(platform.YesNoBox(texts::kErrorTitle, texts::kInputErrorText), kAnswerNo);
        QVERIFY(stayedOpen);
    }

    // Return, keypad Enter and Space edit a line on the heater's sheet and
    // on its construction list; held keys do not ask again and again.
    void listsEditOnReturnEnterAndSpace() {
        Road& r = *road;
        r.ToSheet();
        SheetWindow* sheet = r.form3();
        Road::Click(sheet->Command2);
        sheet->List1->setCurrentRow(2);
        r.platform.Answer({"2200000"});
        QTest::keyClick(sheet->List1, Qt::Key_Space);
        QCOMPARE(r.platform.inputBoxes.last().prompt, r.state.HeaterCaptions[2]);
        QCOMPARE(r.state.HeaterValueTexts[2], QStringLiteral("2200000"));
        r.platform.Answer({"0,3"});
        sheet->List1->setCurrentRow(4);
        QTest::keyClick(sheet->List1, Qt::Key_Enter, Qt::KeypadModifier);
        // Keypad Enter carries the keypad modifier; it edits all the same.
        QCOMPARE(r.state.HeaterValueTexts[4], QStringLiteral("0.3"));
        const qsizetype asked = r.platform.inputBoxes.size();
        QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(sheet->List1, &held);
        QCOMPARE(r.platform.inputBoxes.size(), asked);

        Road::Click(sheet->Command3);
        r.platform.Answer(kConstruction);
        Road::Click(r.form9()->Command6);
        Form9* design = r.form9();
        Road::Click(design->Command2);
        // Line 0 is the type: Return turns it round.
        QCOMPARE(design->List1->currentRow(), 0);
        QTest::keyClick(design->List1, Qt::Key_Return);
        QCOMPARE(r.state.HeaterHorizontal, kClear);
        QVERIFY(design->List1->item(0)->text().endsWith(texts::kVertical));
        design->List1->setCurrentRow(2);
        r.platform.Answer({"4"});
        QTest::keyClick(design->List1, Qt::Key_Space);
        QCOMPARE(r.platform.inputBoxes.last().prompt, r.state.HeaterCaptions[13]);
        QVERIFY(design->List1->item(2)->text().endsWith(QStringLiteral("4")));
        design->List1->setCurrentRow(3);
        r.platform.Answer({"2"});
        QTest::keyClick(design->List1, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(r.state.HeaterValueTexts[14], QStringLiteral("2"));
        QVERIFY(design->Command8->isVisible());
    }

    // Faces flat in exactly their colours, and the focused button plainly
    // framed from the moment its window opens, on every window with buttons.
    void flatFacesAndAPlainFocus() {
        Road& r = *road;
        r.program->Start();
        Form1* start = r.form1();
        QCOMPARE(Road::FocusIn(start), static_cast<QWidget*>(start->Command3));
        QCOMPARE(Road::PaleFaces(start), QStringList());
        const QImage input = start->Command2->grab().toImage();
        QCOMPARE(input.pixelColor(FlatButton::kEdge + 1, input.height() / 2), QColor(0, 255, 0));
        QCOMPARE(input.pixelColor(0, 0), QColor(Qt::white));
        const QImage end = start->Command3->grab().toImage();
        QCOMPARE(end.pixelColor(0, end.height() / 2), QColor(Qt::black));
        QCOMPARE(end.pixelColor(1, end.height() / 2), QColor(Qt::black));
        QCOMPARE(end.pixelColor(end.width() / 2, end.height() - 1), QColor(Qt::black));
        QCOMPARE(end.pixelColor(FlatButton::kEdge + 1, end.height() / 2), QColor(255, 128, 128));

        Road::Click(start->Command1);
        QCOMPARE(Road::PaleFaces(r.form2()), QStringList());
        Road::Click(r.form2()->Command1);
        r.ToResults();
        QCOMPARE(Road::PaleFaces(r.form9()), QStringList());
        const QImage print = r.form9()->Command1->grab().toImage();
        QCOMPARE(print.pixelColor(FlatButton::kEdge + 1, print.height() / 2), QColor(0, 255, 0));
        Road::Click(r.form9()->Command4);
        QCOMPARE(Road::PaleFaces(r.form4()), QStringList());

        // A picture button shows its focus as well: the black frame round the face.
        QStringList wrong = kGoodSheet;
        wrong[0] = "5";
        r.ToSheet(wrong);
        SheetWindow* sheet = r.form3();
        QCOMPARE(Road::FocusIn(sheet), static_cast<QWidget*>(sheet->Command1));
        const QImage keep = sheet->Command1->grab().toImage();
        QCOMPARE(keep.pixelColor(0, keep.height() / 2), QColor(Qt::black));
        QCOMPARE(keep.pixelColor(keep.width() / 2, 0), QColor(Qt::black));
        Road::Click(sheet->Command1);
        QCOMPARE(Road::PaleFaces(r.form5()), QStringList());
    }

    void theProgramsIcon() {
        Road& r = *road;
        r.program->Start();
        const QIcon icon = r.form1()->windowIcon();
        QVERIFY(!icon.isNull());
        for (const int size : {16, 32, 64}) {
            const QImage image = icon.pixmap(size).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            // The blue tile, the yellow shell across the middle, a clear corner.
            QCOMPARE(image.pixelColor(size / 2, size / 10), QColor(0, 150, 255));
            if (size >= 32) QCOMPARE(image.pixelColor(size * 30 / 64, size * 25 / 64), QColor(255, 255, 128));
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        }
        // The boxes and messages inherit it from the application.
        QCOMPARE(QApplication::windowIcon().pixmap(32).toImage(), icon.pixmap(32).toImage());
    }

    // The input box is as wide as its title needs, never narrower than the
    // classic box, and its corner stays where it is placed.
    void inputBoxesShowTheirWholeTitle() {
        const int classic = Px(4725) - 8;
        QFont bold = QApplication::font();
        bold.setBold(true);
        for (const QString& title : {texts::kInputBoxTitle, texts::kConstructionChangeTitle,
                                     texts::kConstructionInputTitle, texts::kSurnameTitle}) {
            InputBoxDialog box(QStringLiteral("  ВВЕДИТЕ"), title);
            QVERIFY(box.width() >= classic);
            QVERIFY2(box.width() > QFontMetrics(bold).horizontalAdvance(title) + 90, qPrintable(title));
            PlaceOnScreen(&box, 800, 700);
            QCOMPARE(box.pos(), QPoint(Px(800), Px(700)));
        }
        InputBoxDialog surname(texts::kSurnamePrompt, texts::kSurnameTitle);
        QCOMPARE(surname.width(), classic);
        InputBoxDialog change(QStringLiteral("  ВВЕДИТЕ"), texts::kConstructionChangeTitle);
        QVERIFY(change.width() > classic);
    }

    void layoutGroupsFromTheRulesNames() {
        QCOMPARE(Names("us,ru", ",").layouts, (QStringList{"us", "ru"}));
        QCOMPARE(XkbGroupOf(Names("us,ru", ","), KeyboardLayout::Russian), 1);
        QCOMPARE(XkbGroupOf(Names("us,ru", ","), KeyboardLayout::EnglishUS), 0);
        QCOMPARE(XkbGroupOf(Names("ru,us", ""), KeyboardLayout::Russian), 0);
        QCOMPARE(XkbGroupOf(Names("ru,us", ""), KeyboardLayout::EnglishUS), 1);
        // The plain US layout before a variant of it; Russian in any variant.
        QCOMPARE(XkbGroupOf(Names("us,de,us", "intl,,"), KeyboardLayout::EnglishUS), 2);
        QCOMPARE(XkbGroupOf(Names("us,de", "dvorak,"), KeyboardLayout::EnglishUS), 0);
        QCOMPARE(XkbGroupOf(Names("de,ru", ",phonetic"), KeyboardLayout::Russian), 1);
        // No Russian layout, or none at all: nothing to switch to.
        QCOMPARE(XkbGroupOf(Names("us", ""), KeyboardLayout::Russian), -1);
        QCOMPARE(XkbGroupOf(ParseXkbRulesNames(QByteArray()), KeyboardLayout::EnglishUS), -1);
        QCOMPARE(XkbGroupOf(ParseXkbRulesNames(QByteArray("evdev\0pc", 8)), KeyboardLayout::EnglishUS), -1);
        // XKB has four groups: a fifth layout cannot be locked.
        QCOMPARE(XkbGroupOf(Names("de,fr,it,es,ru", ""), KeyboardLayout::Russian), -1);

        QCOMPARE(XkbGroupOfNames({"English (US)", "Russian"}, KeyboardLayout::Russian), 1);
        QCOMPARE(XkbGroupOfNames({"English (US, intl., with dead keys)", "English (US)"}, KeyboardLayout::EnglishUS),
                 1);
        QCOMPARE(XkbGroupOfNames({"German", "Russian (phonetic)"}, KeyboardLayout::Russian), 1);
        QCOMPARE(XkbGroupOfNames({"German", "Russian (phonetic)"}, KeyboardLayout::EnglishUS), -1);
        QCOMPARE(XkbGroupOfNames({}, KeyboardLayout::Russian), -1);
        // Off X11 (here the offscreen platform) the switch does nothing.
        QVERIFY(!LockXkbLayout(KeyboardLayout::Russian));
    }

    void helpAndVersionWithoutADisplay_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("--help") << "--help"
                                << QStringList{"Вызов:", "HEATX_EVAPORATOR", "HEATX_REPORT_DIR", "heatx-batch"};
        QTest::newRow("-h") << "-h" << QStringList{"Вызов:"};
        QTest::newRow("--version") << "--version" << QStringList{"heatx 1.0.0\n"};
    }
    void helpAndVersionWithoutADisplay() {
        QFETCH(QString, option);
        QFETCH(QStringList, said);
        QProcess heatxProcess;
        heatxProcess.setProcessEnvironment(WithoutDisplay());
        heatxProcess.start(QStringLiteral(HEATX_EXE), {option});
        QVERIFY(heatxProcess.waitForFinished(60000));
        QCOMPARE(heatxProcess.exitStatus(), QProcess::NormalExit);
        QCOMPARE(heatxProcess.exitCode(), 0);
        const QString out = QString::fromUtf8(heatxProcess.readAllStandardOutput());
        for (const QString& part : said) QVERIFY2(out.contains(part), qPrintable(out));
        QCOMPARE(heatxProcess.readAllStandardError(), QByteArray());

        // Output that cannot be written is a failure, not a silent success.
        QProcess full;
        full.setProcessEnvironment(WithoutDisplay());
        full.setStandardOutputFile(QStringLiteral("/dev/full"));
        full.start(QStringLiteral(HEATX_EXE), {option});
        QVERIFY(full.waitForFinished(60000));
        QCOMPARE(full.exitCode(), 1);
    }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
