// SPDX-License-Identifier: GPL-3.0-or-later
// A program driven through the scripted platform, with the steps of the
// roads that the window tests share.
#pragma once

#include "heater/heater_window.h"
#include "platform/fonts.h"
#include "platform/qt_platform.h"
#include "scripted_platform.h"
#include "sheets/error_dialog.h"
#include "sheets/sheet_layout.h"
#include "window_base/picture_button.h"
#include "sheets/sheet_window.h"
#include "shell/all_windows.h"
#include "shell/form1.h"
#include "shell/form2.h"
#include "shell/form4.h"
#include "window_base/program.h"
#include "text/text_format.h"

#include "platform/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWindow>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace heatx {

// Steam of 3 bar condensing on the tubes, water heated from 20 to 80 C.
inline const QStringList kGoodSheet = {"0,686", "932", "2171000", "0,000212", "0,5", "0,642",
                                       "0,000549", "4180", "0,0005", "60", "5"};
// d = 25 mm, two passes, 3 m tubes, 100 tubes.
inline const QStringList kConstruction = {"0,025", "2", "3", "100"};
// The cooler's road: water in the tubes, 14 kg/s; a light oil around them,
// 5 kg/s; 30 K mean difference, 350 kW. d = 25 mm, two passes, mixed-flow
// factor 0.9, 100 tubes, 0.02 m2 across.
inline const QStringList kCoolerSheet = {"0,6",   "998",  "0,001", "4180", "0,0003", "14",    "0,13",
                                         "0,002", "2000", "5",     "30",   "0,0005", "350000"};
inline const QStringList kCoolerConstruction = {"0,025", "2", "0,9", "100", "0,02"};
// The evaporator's road: water boiling at atmospheric pressure in the
// tubes, steam of 4 bar condensing outside, 43 K between them, 1 MW.
inline const QStringList kEvapSheet = {"0,684", "923",   "2141000", "0,000191", "0,683", "958",    "4220",     "0,000282",
                                       "0,0589", "0,598", "0,598",   "2256000",  "43",    "0,0005", "1000000"};

// The lines with line i typed otherwise.
inline QStringList Replaced(QStringList lines, int i, const QString& value) {
    lines[i] = value;
    return lines;
}

struct Road {
    Road() {
        platform.folder = QStringLiteral(HEATX_PICTURE_DIR);
        program = std::make_unique<Program>(state, platform, [this] { ++quits; });
        RegisterAllWindows(*program);
    }
    ~Road() {
        program.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    template <class T>
    T* Win(const char* name) const {
        return dynamic_cast<T*>(program->Loaded(QString::fromLatin1(name)));
    }
    Form1* form1() const { return Win<Form1>("Form1"); }
    Form2* form2() const { return Win<Form2>("Form2"); }
    SheetWindow* form3() const { return Win<SheetWindow>("Form3"); }
    Form4* form4() const { return Win<Form4>("Form4"); }
    ErrorDialog* form5() const { return Win<ErrorDialog>("Form5"); }
    Form9* form9() const { return Win<Form9>("Form9"); }
    QStringList loaded() const { return program->forms().LoadOrder(); }

    static void Click(QAbstractButton* button) {
        QVERIFY2(button->isVisible(), qPrintable(button->objectName() + " is not on the screen"));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    static void ClickLine(QListWidget* list, int row) {
        QVERIFY2(list->isVisible() && row < list->count(), "the list line is not on the screen");
        list->scrollToItem(list->item(row));
        const QRect line = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(line.left() + 10, line.center().y()));
    }
    static QStringList Lines(const QListWidget* list) {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i) lines.append(list->item(i)->text());
        return lines;
    }

    // The widget with the keyboard focus once window is the active window.
    static QWidget* FocusIn(QWidget* window) {
        BringToFront(window);
        // Not qWaitForWindowActive: it counts a transient window as active
        // while its parent is.
        if (!QTest::qWaitFor([window] { return QApplication::activeWindow() == window; })) return nullptr;
        return QApplication::focusWidget();
    }
    // A key pressed and let go on the widget with the focus, as a student
    // at the keyboard does.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(focus != nullptr, "nothing has the keyboard focus");
        QTest::keyClick(focus, key, modifiers);
    }
    // The object names of the widgets the focus visits on steps presses of
    // Tab (or Shift+Tab), starting in window.
    static QStringList TabWalk(QWidget* window, int steps, bool back = false) {
        QStringList names;
        if (FocusIn(window) == nullptr) return {QStringLiteral("window not active")};
        for (int i = 0; i < steps; ++i) {
            QTest::keyClick(QApplication::focusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab,
                            back ? Qt::ShiftModifier : Qt::NoModifier);
            names.append(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
        }
        return names;
    }
    // Tab pressed until target has the focus, at most once round any window.
    static bool TabTo(QWidget* target) {
        for (int i = 0; i < 20 && QApplication::focusWidget() != target; ++i) {
            if (QApplication::focusWidget() == nullptr) return false;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        return QApplication::focusWidget() == target;
    }
    // The shown buttons of window whose face, as grabbed, is not flat in
    // exactly their face colour (beside the caption, inside the bevel).
    static QStringList PaleFaces(QWidget* window) {
        QStringList pale;
        for (FlatButton* b : window->findChildren<FlatButton*>()) {
            if (!b->isVisible() || dynamic_cast<PictureButton*>(b) != nullptr) continue;
            const QImage face = b->grab().toImage();
            for (const QPoint at : {QPoint(FlatButton::kEdge + 1, face.height() / 2),
                                    QPoint(face.width() - FlatButton::kEdge - 2, face.height() / 2)})
                if (face.pixelColor(at) != FaceColor(b)) {
                    pale.append(b->objectName());
                    break;
                }
        }
        return pale;
    }
    // An error dialog stays above its sheet: a dialog window tied to the
    // sheet as its transient window, and not modal.
    static bool AboveItsSheet(ErrorDialog* dialog, QWidget* sheet) {
        return dialog->isVisible() && dialog->isWindow() && dialog->windowType() == Qt::Dialog &&
               dialog->windowHandle() != nullptr && dialog->windowHandle()->transientParent() == sheet->windowHandle() &&
               sheet->windowHandle() != nullptr && !dialog->isModal();
    }

    // Controls of the loaded windows that hold their window's focus while
    // hidden or disabled, as "Form3.Command2".
    QStringList UnusableFocus() const {
        QStringList found;
        for (const QString& name : loaded()) {
            const FormWindow* w = program->Loaded(name);
            const QWidget* focus = w ? w->focusWidget() : nullptr;
            if (focus && (!focus->isVisibleTo(w) || !focus->isEnabled())) found.append(name + '.' + focus->objectName());
        }
        return found;
    }
    // What a key could change: the loaded windows and their shown controls,
    // the boxes asked and the lines printed.
    QString Snapshot() const {
        QStringList parts;
        for (const QString& name : loaded()) {
            const FormWindow* w = program->Loaded(name);
            parts.append(name + (w->isVisible() ? "+" : "-"));
            for (const QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (c->isVisibleTo(w)) parts.append(c->objectName());
        }
        parts << QString::number(platform.inputBoxes.size()) << QString::number(platform.yesNoBoxes.size())
              << QString::number(platform.printer.lines.size());
        return parts.join(' ');
    }
    // The faults of hidden and disabled controls at this step of a road:
    // those that hold the focus, and those that answer Return, keypad Enter,
    // Space or Escape sent straight to them.
    QStringList HiddenControlFaults() {
        QStringList faults = UnusableFocus();
        for (const QString& name : loaded()) {
            FormWindow* w = program->Loaded(name);
            for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (c->isVisibleTo(w) && c->isEnabled()) continue;
                const QString before = Snapshot();
                for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
                    QTest::keyClick(c, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
                    if (program->Ended() || !program->Loaded(name)) break;
                }
                if (program->Ended() || Snapshot() != before) return faults << name + '.' + c->objectName() + " answered";
            }
        }
        return faults;
    }

    // The steps of a road in turn: before the first and after each, no hidden
    // or disabled control holds the focus or answers a key. A step that
    // fails ends the road there.
    void StepsKeepHiddenControlsQuiet(const QList<std::function<void()>>& steps) {
        QCOMPARE(HiddenControlFaults().join(";"), QString());
        for (qsizetype i = 0; i < steps.size(); ++i) {
            steps[i]();
            if (QTest::currentTestFailed()) return;
            const QString faults = HiddenControlFaults().join(";");
            QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("after step %1: %2").arg(i + 1).arg(faults)));
        }
        QVERIFY(!program->Ended());
    }

    // A print while the report has its text copy at kCopy: the note in place
    // of the print button names the copy, and no control moves.
    void PrintNamesTheCopy(const QWidget* design, const QLabel* note, QAbstractButton* print) {
        const QList<QRect> before = Geometries(design);
        platform.printer.copyPath = kCopy;
        Click(print);
        QCOMPARE(note->text(), QStringLiteral("БЛОК ДОБАВЛЕН В ОТЧЁТ: ") + kCopy);
        QCOMPARE(PrintNoteFault(design, note, print), QString());
        QCOMPARE(Geometries(design), before);
    }

    // The text of a box that refuses a typed value: its described first
    // words, one line that says what is wrong, the question on its own line.
    static bool IsRefusal(const QString& text, const QString& head) {
        const QStringList lines = text.split('\n');
        return lines.size() == 3 && lines[0] == head && lines[1].contains(QStringLiteral("; ДОПУСТИМО ")) &&
               lines[2] == QStringLiteral("    Продолжаете работу ?");
    }

    // The note of what the marked line of a sheet allows: shown whole inside
    // the window, beside the marked line (after its text, on its row) or
    // under the printed lines, and never over another printed line.
    static QString RangeNoteFault(const SheetWindow* sheet) {
        const QLabel* note = sheet->RangeNote;
        if (!note->isVisible()) return QStringLiteral("no note");
        const QRect at = note->geometry();
        if (!sheet->rect().contains(at)) return QStringLiteral("note outside the window");
        if (note->heightForWidth(at.width()) > at.height()) return QStringLiteral("note cut");
        const QRect line = sheet->Label2->geometry();
        const int textEnd = line.left() + sheet->Label2->fontMetrics().horizontalAdvance(sheet->Label2->text());
        const bool beside = at.top() == line.top() && at.left() >= textEnd;
        const int listingEnd = Px(sheet_layout::SurfaceY(sheet->Setup().promptedLines));
        if (!beside && at.top() < listingEnd) return QStringLiteral("note over the lines");
        return {};
    }

    // Where the controls of a window stand, the print note aside: no print
    // may move one of them.
    static QList<QRect> Geometries(const QWidget* window) {
        QList<QRect> at;
        for (const QWidget* c : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->objectName() != QStringLiteral("PrintNote")) at.append(c->geometry());
        return at;
    }
    // The note after a print: shown whole inside the window on the row of
    // the print button, which it replaces, over no other shown control.
    static QString PrintNoteFault(const QWidget* window, const QLabel* note, const QWidget* printButton) {
        if (!note->isVisible() || printButton->isVisible()) return QStringLiteral("no note in place of the button");
        const QRect at = note->geometry();
        if (!window->rect().contains(at)) return QStringLiteral("note outside the window");
        if (at.top() != printButton->geometry().top()) return QStringLiteral("note off the button's row");
        if (note->fontMetrics().horizontalAdvance(note->text()) > at.width()) return QStringLiteral("note cut");
        for (const QWidget* c : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c != note && c->isVisible() && c->geometry().intersects(at)) return "note over " + c->objectName();
        return {};
    }
    static inline const QString kCopy = QStringLiteral("/home/student/Документы/Отчёт_2026-12-07_14-05-33.txt");

    // Start window, surname entry, library menu.
    void ToMenu(const QString& surname = QStringLiteral("студент с.с. гр. х-10")) {
        program->Start();
        platform.Answer({surname});
        Click(form1()->Command2);
    }
    // The heater sheet from the menu, every line answered.
    void ToSheet(const QStringList& sheet = kGoodSheet) {
        if (!form4()) ToMenu();
        platform.Answer(sheet);
        Click(form4()->Command2);
    }
    // On to the design window, which waits for the type.
    void ToDesign(const QStringList& sheet = kGoodSheet) {
        ToSheet(sheet);
        Click(form3()->Command1);
    }
    // Type chosen and the construction typed: results or the warning.
    void ToResults(bool horizontal = true, const QStringList& sheet = kGoodSheet,
                   const QStringList& construction = kConstruction) {
        ToDesign(sheet);
        platform.Answer(construction);
        Click(horizontal ? form9()->Command6 : form9()->Command7);
    }
    // From the heater's results: 120 tubes instead, computed and printed
    // under the same head, then back to the menu, which ends the report.
    void PrintWith120TubesAndEnd() {
        Form9* design = form9();
        Click(design->Command2);
        platform.Answer({"120"});
        ClickLine(design->List1, 4);
        Click(design->Command8);
        Click(design->Command1);
        Click(design->Command4);
    }

    CalcState state;
    ScriptedPlatform platform;
    std::unique_ptr<Program> program;
    int quits = 0;
};

// The shared frame of the window tests: the program's fonts and the Russian
// decimal comma once, a fresh road for every test function, and at its end a
// check that the road answered every box it was asked (a box nobody scripted
// means the program asked something the test did not expect).
class RoadTest : public QObject {
    Q_OBJECT

protected slots:
    void initTestCase() {
        MapProgramFonts();
        SetDecimalMark(QLatin1Char(','));
        // The report printer's notes for the next start stay with this test
        // program, never in the user's own state or another test's.
        QVERIFY(state_.isValid());
        qputenv("XDG_STATE_HOME", state_.path().toUtf8());
    }
    void init() { road = std::make_unique<Road>(); }
    void cleanup() {
        QVERIFY2(road->platform.exhausted.isEmpty(), qPrintable(road->platform.exhausted.join("; ")));
        road.reset();
    }

protected:
    std::unique_ptr<Road> road;
    QTemporaryDir state_;
};

// Texts that no input box may trip over. None of them reads as a number that
// any line accepts: each must be refused as the line's check says.
inline void HostileRows() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << QStringLiteral("");
    QTest::newRow("letters") << QStringLiteral("абв xyz");
    QTest::newRow("10000 characters") << QString(10000, QLatin1Char('9'));
    QTest::newRow("control characters") << QStringLiteral("\u0001\u0007\u001b[2J\u0000\t\r\n");
    QTest::newRow("right-to-left marks") << QStringLiteral("\u200f\u202e12,5\u202c");
    QTest::newRow("1e39") << QStringLiteral("1e39");
    QTest::newRow("-1e39") << QStringLiteral("-1e39");
    QTest::newRow("1e-50") << QStringLiteral("1e-50");
    QTest::newRow("-0") << QStringLiteral("-0");
    QTest::newRow("nan") << QStringLiteral("nan");
    QTest::newRow("inf") << QStringLiteral("inf");
    QTest::newRow("0x10") << QStringLiteral("0x10");
    QTest::newRow("lone comma") << QStringLiteral(",");
}

// The colour in the middle of the left edge of a face picture.
inline QColor FaceColour(const PictureButton* button) {
    const QImage face = button->Picture().toImage();
    return face.pixelColor(1, face.height() / 2);
}

}  // namespace heatx
