// SPDX-License-Identifier: GPL-3.0-or-later
// A program driven through the scripted platform, with the steps of the
// roads that the window tests share.
#pragma once

#include "heater/heater_window.h"
#include "platform/fonts.h"
#include "scripted_platform.h"
#include "sheets/error_dialog.h"
#include "sheets/picture_button.h"
#include "sheets/sheet_window.h"
#include "shell/form1.h"
#include "shell/form2.h"
#include "shell/form4.h"
#include "shell/program.h"
#include "text/text_format.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QTest>
#include <memory>

namespace heatx {

// Steam of 3 bar condensing on the tubes, water heated from 20 to 80 C.
inline const QStringList kGoodSheet = {"0,686", "932", "2171000", "0,000212", "0,5", "0,642",
                                       "0,000549", "4180", "0,0005", "60", "5"};
// d = 25 mm, two passes, 3 m tubes, 100 tubes.
inline const QStringList kConstruction = {"0,025", "2", "3", "100"};

struct Road {
    Road() {
        platform.folder = QStringLiteral(HEATX_PICTURE_DIR);
        program = std::make_unique<Program>(state, platform, [this] { ++quits; });
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

    CalcState state;
    ScriptedPlatform platform;
    std::unique_ptr<Program> program;
    int quits = 0;
};

// Texts that no input box may trip over. None of them reads as a number that
// any line accepts: each must be refused as the line's check says.
inline void HostileRows() {
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << QString();
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
