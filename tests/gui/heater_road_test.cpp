// SPDX-License-Identifier: GPL-3.0-or-later
// The heater road on screen, driven through the scripted platform: what the
// student sees at each step, what is asked, beeped and printed.
#include "road.h"

#include <QLabel>
#include <QTemporaryDir>

using namespace heatx;

namespace {

const QString kRed = QStringLiteral("ne_izm_r.bmp");
const QString kGreen = QStringLiteral("ne_izm_g.bmp");

// The composed sheet line: caption padded to 62, value text.
QString SheetLine(const CalcState& s, int i) { return ComposeLine(s.HeaterCaptions[i], 62, s.HeaterValueTexts[i]); }

int Count(const QStringList& lines, const QString& part) {
    int n = 0;
    for (const QString& line : lines) n += line.contains(part) ? 1 : 0;
    return n;
}

}  // namespace

class HeaterRoadTest : public RoadTest {
    Q_OBJECT

private slots:
    void wholeRoadHorizontal() {
        Road& r = *road;
        r.ToMenu();
        QCOMPARE(r.state.StudentLine, QStringLiteral("Студент С.с. Гр. Х-10 "));
        QCOMPARE(r.loaded(), QStringList{"Form4"});

        r.ToSheet();
        SheetWindow* sheet = r.form3();
        QVERIFY(sheet && sheet->isVisible());
        QCOMPARE(r.loaded(), QStringList{"Form3"});
        QCOMPARE(sheet->windowTitle(), QStringLiteral("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"));
        // One box per sheet line, each a little lower than the one before.
        QCOMPARE(r.platform.inputBoxes.size(), 12);
        for (int i = 0; i < 11; ++i) {
            const AskedBox& box = r.platform.inputBoxes[1 + i];
            QCOMPARE(box.prompt, r.state.HeaterCaptions[i]);
            QCOMPARE(box.title, QStringLiteral("ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"));
            QCOMPARE(box.x, 4000);
            QCOMPARE(box.y, sheet_layout::FirstEntryPromptY(i));
        }
        // In twips: line 0 is asked for at 1680, line 10 at 3630.
        QCOMPARE(r.platform.inputBoxes[1].y, 1680);
        QCOMPARE(r.platform.inputBoxes[11].y, 3630);
        // The typed comma became a point; the list shows the composed lines.
        QCOMPARE(r.state.HeaterValueTexts[0], QStringLiteral("0.686"));
        QCOMPARE(r.state.InputValues[0], 0.686f);
        QCOMPARE(Road::Lines(sheet->List1).size(), 11);
        QCOMPARE(sheet->List1->item(8)->text(),
                 QStringLiteral(" СУММА ТЕРМИЧ.СОПРОТИВЛ.СТЕНКИ ТРУБ И ЗАГРЯЗНЕНИЙ, М^2*К/ВТ   0.0005"));
        // Review, green: the list stays, disabled; keep and edit buttons shown.
        QVERIFY(sheet->List1->isVisible());
        QVERIFY(!sheet->List1->isEnabled());
        QVERIFY(sheet->Command1->isVisible() && sheet->Command2->isVisible() && sheet->Label1->isVisible());
        QVERIFY(!sheet->Command3->isVisible() && !sheet->Label2->isVisible() && !sheet->Label3->isVisible());
        QCOMPARE(sheet->Command1->PictureName(), kGreen);
        QCOMPARE(FaceColour(sheet->Command1), QColor(0, 255, 0));
        QVERIFY(sheet->Surface().isEmpty());

        Road::Click(sheet->Command1);
        Form9* design = r.form9();
        QCOMPARE(r.loaded(), QStringList{"Form9"});
        QVERIFY(design->isVisible());
        QCOMPARE(design->windowTitle(), QStringLiteral("Form9"));
        QVERIFY(design->Label8->isVisible() && design->Command6->isVisible() && design->Command7->isVisible());
        for (QWidget* w : {(QWidget*)design->Command1, (QWidget*)design->Command5, (QWidget*)design->Label1,
                           (QWidget*)design->L[0], (QWidget*)design->List1})
            QVERIFY(!w->isVisible());
        QCOMPARE(r.state.OrientationPending, kSet);

        r.platform.Answer(kConstruction);
        Road::Click(design->Command6);
        QCOMPARE(r.state.OrientationPending, kClear);
        const QList<AskedBox> constructive = r.platform.inputBoxes.mid(12);
        QCOMPARE(constructive.size(), 4);
        const int ys[4] = {1250, 1500, 1700, 1950};
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(constructive[k].title, QStringLiteral("ВВОД КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА"));
            QCOMPARE(constructive[k].x, 800);
            QCOMPARE(constructive[k].y, ys[k]);
        }
        QCOMPARE(constructive[2].prompt, QStringLiteral(" ДЛИНА ТРУБ, М                              "));
        QCOMPARE(design->L[0]->text(), QStringLiteral(" ТИП ТЕПЛООБМЕННИКА   ГОРИЗОНТАЛЬНЫЙ"));
        QCOMPARE(design->L[1]->text(), QStringLiteral(" НАРУЖНЫЙ ДИАМЕТР ТРУБ, М                   0.025"));
        QCOMPARE(design->L[3]->text(), QStringLiteral(" ДЛИНА ТРУБ, М                              3"));
        QCOMPARE(design->L[4]->text(), QStringLiteral(" ОБЩЕЕ ЧИСЛО ТРУБ, ШТ.                      100"));
        // alpha_t = 2086.51, alpha_s = 13091.50, K = 947.28 W/(m2 K), F = 19.10 m2, Re = 11043.80.
        QCOMPARE(design->Label2->text(), QStringLiteral("  2086,51           ") + QStringLiteral(" 13091,50        ") +
                                             QStringLiteral("   947,28      ") + QStringLiteral("    19,10      "));
        QCOMPARE(design->Label6->text(), QStringLiteral("ЧИСЛО RE В ТР.\n   11043,80"));
        QCOMPARE(design->Label6->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        QCOMPARE(design->Label1->text().split('\n').size(), 5);
        for (QWidget* w : {(QWidget*)design->Command1, (QWidget*)design->Command2, (QWidget*)design->Command3,
                           (QWidget*)design->Command4, (QWidget*)design->Command5, (QWidget*)design->Label1,
                           (QWidget*)design->Label2, (QWidget*)design->Label6})
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        QVERIFY(!design->Command6->isVisible() && !design->Command7->isVisible() && !design->Label8->isVisible());
        QCOMPARE(r.platform.beeps, 0);

        Road::Click(design->Command1);
        QVERIFY(!design->Command1->isVisible());
        QCOMPARE(r.platform.apparatus, QStringLiteral("подогреватель"));
        const QStringList printed = r.platform.printer.lines;
        QCOMPARE(r.platform.printer.fontName, QStringLiteral("Courier New Cyr"));
        QCOMPARE(printed[0], QString(12, ' ') + QStringLiteral(" 07 декабря 2026г.        14:05:33") +
                                 QStringLiteral("            Расчет подогревателя или дефлегматора"));
        QCOMPARE(printed[1], QString(12, ' ') + QStringLiteral("Студент С.с. Гр. Х-10 "));
        QCOMPARE(printed[3], QString(12, ' ') + ComposeLine(r.state.HeaterCaptions[0], 65, "0.686"));
        QVERIFY(printed.contains(QString(12, ' ') +
                                 QStringLiteral(" |    2086,51    |   13091,50    |      947,28      |      19,10      |   11043,80    |")));
        QVERIFY(r.platform.printer.documents.isEmpty());

        Road::Click(design->Command5);
        QVERIFY(r.program->Ended());
        QCOMPARE(r.quits, 1);
        QVERIFY(r.loaded().isEmpty());
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QCOMPARE(r.platform.printer.documents[0], printed);
    }

    void wholeRoadVertical() {
        Road& r = *road;
        r.ToResults(false);
        Form9* design = r.form9();
        // The tube height is asked for and shown under its own caption.
        QCOMPARE(r.platform.inputBoxes[14].prompt, QStringLiteral(" ВЫСОТА ТРУБ, М                             "));
        QCOMPARE(design->L[0]->text(), QStringLiteral(" ТИП ТЕПЛООБМЕННИКА   ВЕРТИКАЛЬНЫЙ"));
        QCOMPARE(design->L[3]->text(), QStringLiteral(" ВЫСОТА ТРУБ, М                             3"));
        // Film condensation on vertical tubes: alpha_s = 7095.31, F = 20.27 m2.
        QVERIFY(design->Label2->text().startsWith(QStringLiteral("  2086,51") + QString(11, ' ') +
                                                  QStringLiteral("  7095,31")));
        QVERIFY(design->Label2->text().contains(QStringLiteral("    20,27")));

        // The construction list: the type line toggles and rebuilds all five lines.
        Road::Click(design->Command2);
        QVERIFY(design->List1->isVisible() && design->Command8->isVisible());
        QVERIFY(!design->L[0]->isVisible() && !design->Command5->isVisible() && !design->Label2->isVisible());
        QCOMPARE(Road::Lines(design->List1),
                 (QStringList{" ТИП ТЕПЛООБМЕННИКА                     ВЕРТИКАЛЬНЫЙ",
                              " НАРУЖНЫЙ ДИАМЕТР ТРУБ, М                         0.025",
                              " ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ, ШТ.        2",
                              " ВЫСОТА ТРУБ, М                                   3",
                              " ОБЩЕЕ ЧИСЛО ТРУБ, ШТ.                            100"}));
        Road::ClickLine(design->List1, 0);
        QCOMPARE(r.state.HeaterHorizontal, kSet);
        QVERIFY(design->List1->item(3)->text().startsWith(QStringLiteral(" ДЛИНА ТРУБ, М")));
        Road::ClickLine(design->List1, 0);
        QCOMPARE(r.state.HeaterHorizontal, kClear);
        QVERIFY(design->List1->item(0)->text().endsWith(QStringLiteral("ВЕРТИКАЛЬНЫЙ")));
        QVERIFY(design->List1->item(3)->text().startsWith(QStringLiteral(" ВЫСОТА ТРУБ, М")));

        // A changed height keeps its caption; the run recomputes.
        r.platform.Answer({"4"});
        Road::ClickLine(design->List1, 3);
        const AskedBox& box = r.platform.inputBoxes.last();
        QCOMPARE(box.prompt, QStringLiteral(" ВЫСОТА ТРУБ, М                             "));
        QCOMPARE(box.title, QStringLiteral(" ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА"));
        QCOMPARE(box.x, 2800);
        QCOMPARE(box.y, 2150);
        QCOMPARE(design->List1->item(3)->text(), QStringLiteral(" ВЫСОТА ТРУБ, М                                   4"));
        QVERIFY(design->Command8->isVisible());
        Road::Click(design->Command8);
        QVERIFY(!design->List1->isVisible() && !design->Command8->isVisible());
        QCOMPARE(design->L[3]->text(), QStringLiteral(" ВЫСОТА ТРУБ, М                             4"));
        QVERIFY(design->Label2->isVisible() && design->Command1->isVisible());
        // The vertical shell coefficient does not depend on the height; the
        // surface is that of the first run.
        QVERIFY(design->Label2->text().contains(QStringLiteral("    20,27")));

        Road::Click(design->Command1);
        QVERIFY(r.platform.printer.lines.contains(
            QString(12, ' ') + QStringLiteral(" ТИП ТЕПЛООБМЕННИКА-ВЕРТИКАЛЬНЫЙ                     НАРУЖНЫЙ ДИАМЕТР ТРУБ  0,025 М")));
        QCOMPARE(Count(r.platform.printer.lines, QStringLiteral("ВЫСОТА ТРУБ")), 1);
    }

    void failingSheetDialogAndCorrections() {
        Road& r = *road;
        QStringList sheetAnswers = kGoodSheet;
        sheetAnswers[0] = "0,04";  // a 4-byte 0.04 lies below the 8-byte bound
        sheetAnswers[3] = "abc";   // not a number: reads as 0
        r.ToSheet(sheetAnswers);
        SheetWindow* sheet = r.form3();
        // Review, red: the lines are printed on the window instead of the list.
        QCOMPARE(r.state.CalcError, kSet);
        QCOMPARE(int(r.state.BadLineIndex), 0);
        QCOMPARE(sheet->Command1->PictureName(), kRed);
        QCOMPARE(FaceColour(sheet->Command1), QColor(255, 0, 0));
        QVERIFY(!sheet->List1->isVisible());
        QCOMPARE(sheet->Surface().size(), 11);
        for (int i = 0; i < 11; ++i) {
            QCOMPARE(sheet->Surface()[i].x, 530.0);
            QCOMPARE(sheet->Surface()[i].y, sheet_layout::SurfaceY(i));
            QCOMPARE(sheet->Surface()[i].text, sheet->List1->item(i)->text());
        }
        // In twips: line 0 stands at 1210, line 10 at 3160.
        QCOMPARE(sheet->Surface()[0].y, 1210.0);
        QCOMPARE(sheet->Surface()[10].y, 3160.0);

        Road::Click(sheet->Command1);
        QCOMPARE(r.platform.beeps, 1);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ"));
        QVERIFY(!sheet->Command1->isVisible() && !sheet->Command2->isVisible());
        QVERIFY(sheet->Label2->isVisible());
        QCOMPARE(sheet->Label2->text(), SheetLine(r.state, 0));
        QCOMPARE(sheet->Label2->geometry(), QRect(35, 80, 600, 13));
        ErrorDialog* dialog = r.form5();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Form5"));
        QCOMPARE(dialog->Label1->text(), QStringLiteral("Ошибка в исходной информации."));
        QCOMPARE(dialog->Label2->text(), QStringLiteral("  Изменяете исходную информацию?"));
        QCOMPARE(dialog->Command1->text(), QStringLiteral("Да"));
        QCOMPARE(dialog->Command2->text(), QStringLiteral("Нет"));
        QVERIFY(!dialog->Image1->pixmap().isNull());
        // Placed on load at the middle of the sheet, then lowered and sized.
        QCOMPARE(dialog->LeftTwips(), (12000 - (5685 + kFrameWidthTwips)) / 2);
        QCOMPARE(dialog->TopTwips(), 5000.0);
        QCOMPARE(dialog->WidthTwips(), 5895.0);
        QCOMPARE(dialog->HeightTwips(), 1500.0);

        Road::Click(dialog->Command1);
        QVERIFY(!r.form5());
        QVERIFY(sheet->Label3->isVisible() && sheet->List1->isVisible() && sheet->List1->isEnabled());
        QVERIFY(!sheet->Label2->isVisible() && !sheet->Command3->isVisible());
        QVERIFY(sheet->Surface().isEmpty());

        // Correcting line 0 leaves line 3 bad: the end button is red.
        r.platform.Answer({"0,686"});
        Road::ClickLine(sheet->List1, 0);
        QCOMPARE(r.platform.inputBoxes.last().x, 2000);
        QCOMPARE(r.platform.inputBoxes.last().y, 1875);
        QCOMPARE(sheet->List1->item(0)->text(), SheetLine(r.state, 0));
        QCOMPARE(sheet->List1->count(), 11);
        QVERIFY(!sheet->Label3->isVisible());
        QVERIFY(sheet->Command3->isVisible());
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_r.bmp"));
        QCOMPARE(int(r.state.BadLineIndex), 3);

        // End of corrections with line 3 still bad: error view and a new dialog.
        Road::Click(sheet->Command3);
        QCOMPARE(r.platform.beeps, 2);
        QVERIFY(!sheet->List1->isVisible() && !sheet->Command3->isVisible());
        QCOMPARE(sheet->Surface().size(), 11);
        QCOMPARE(sheet->Label2->text(), SheetLine(r.state, 3));
        QCOMPARE(sheet->Label2->y(), static_cast<int>(sheet_layout::MarkerY(3) / 15));
        dialog = r.form5();
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->LeftTwips(), 2100.0);

        Road::Click(dialog->Command1);
        r.platform.Answer({"0,000212"});
        Road::ClickLine(sheet->List1, 3);
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_g.bmp"));
        QCOMPARE(FaceColour(sheet->Command3), QColor(0, 255, 0));
        // Editing the last line keeps it last.
        r.platform.Answer({"6"});
        Road::ClickLine(sheet->List1, 10);
        QCOMPARE(sheet->List1->item(10)->text(), SheetLine(r.state, 10));
        QVERIFY(sheet->List1->item(10)->text().endsWith(QStringLiteral("6")));

        Road::Click(sheet->Command3);
        QCOMPARE(r.loaded(), QStringList{"Form9"});
        QVERIFY(r.form9()->Command6->isVisible());
        QCOMPARE(r.platform.beeps, 2);
    }

    void keyboardEditsALine() {
        Road& r = *road;
        r.ToSheet();
        SheetWindow* sheet = r.form3();
        Road::Click(sheet->Command2);
        QVERIFY(sheet->List1->isEnabled() && sheet->Label3->isVisible());
        // Return on a line asks for it, as a click does.
        sheet->List1->setCurrentRow(4);
        r.platform.Answer({"0,7"});
        QTest::keyClick(sheet->List1, Qt::Key_Return);
        QCOMPARE(r.platform.inputBoxes.last().prompt, r.state.HeaterCaptions[4]);
        QCOMPARE(r.state.HeaterValueTexts[4], QStringLiteral("0.7"));
        QCOMPARE(sheet->List1->item(4)->text(), SheetLine(r.state, 4));
        QCOMPARE(sheet->List1->currentRow(), 4);
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_g.bmp"));
    }

    void dialogNoEndsTheProgram() {
        Road& r = *road;
        QStringList sheetAnswers = kGoodSheet;
        sheetAnswers[9] = "";  // cancelled: "0" fails the temperature difference
        r.ToSheet(sheetAnswers);
        QCOMPARE(r.state.HeaterValueTexts[9], QStringLiteral("0"));
        Road::Click(r.form3()->Command1);
        QCOMPARE(r.form3()->Label2->text(), SheetLine(r.state, 9));
        Road::Click(r.form5()->Command2);
        QVERIFY(r.program->Ended());
        QVERIFY(r.loaded().isEmpty());
        QVERIFY(r.platform.printer.documents.isEmpty());
        // "Нет" ends the program: the printer's last call, for a report it kept.
        QCOMPARE(r.platform.printer.sessionEnds, 1);
    }

    void closingTheDialogGoesBackToEditing() {
        Road& r = *road;
        QStringList sheetAnswers = kGoodSheet;
        sheetAnswers[1] = "100";
        r.ToSheet(sheetAnswers);
        Road::Click(r.form3()->Command1);
        QVERIFY(r.form5()->close());
        QVERIFY(!r.program->Ended());
        QVERIFY(!r.form5());
        QVERIFY(r.form3()->List1->isVisible() && r.form3()->List1->isEnabled());
        QVERIFY(r.form3()->Label3->isVisible());
    }

    void refusedConstructiveValueYesThenNo() {
        Road& r = *road;
        r.ToDesign();
        r.platform.Answer({"0,025", "2", "10,05", "10,2"});
        r.platform.yesNoAnswers = {kAnswerYes, kAnswerNo};
        Road::Click(r.form9()->Command6);
        // 10.05 and 10.2 are both above 10.01: two beeps, two boxes.
        QCOMPARE(r.platform.beeps, 2);
        QCOMPARE(r.platform.yesNoBoxes.size(), 2);
        QCOMPARE(r.platform.yesNoBoxes[0].title, QStringLiteral("ОШИБКА !"));
        // The box says which line, what was typed and what is allowed.
        QCOMPARE(r.platform.yesNoBoxes[0].prompt,
                 QStringLiteral("ОШИБКА В ИСХОДНОЙ ИНФОРМАЦИИ\nДЛИНА ТРУБ: ВВЕДЕНО «10,05»; ДОПУСТИМО ОТ 0,99 ДО "
                                "10,01 М\n    Продолжаете работу ?"));
        // The length was asked for twice at the same place; the tubes never.
        const QList<AskedBox> asked = r.platform.inputBoxes.mid(12);
        QCOMPARE(asked.size(), 4);
        QCOMPARE(asked[2].y, 1700);
        QCOMPARE(asked[3].y, 1700);
        QCOMPARE(r.state.MessageAnswer, float(kAnswerNo));
        QVERIFY(r.program->Ended());
        QVERIFY(r.loaded().isEmpty());
    }

    void refusedValueInTheConstructionList() {
        Road& r = *road;
        r.ToResults();
        Form9* design = r.form9();
        Road::Click(design->Command2);
        r.platform.Answer({"0,019", "0,0189"});  // 0.019 is the lower bound itself
        Road::ClickLine(design->List1, 1);
        QCOMPARE(r.platform.beeps, 0);
        QCOMPARE(design->List1->item(1)->text(), QStringLiteral(" НАРУЖНЫЙ ДИАМЕТР ТРУБ, М                         0.019"));
        r.platform.yesNoAnswers = {kAnswerYes};
        r.platform.Answer({"5000"});
        Road::ClickLine(design->List1, 4);  // 0.0189 is still queued: refused, then 5000
        QCOMPARE(r.platform.beeps, 1);
        QCOMPARE(r.platform.inputBoxes.last().title, QStringLiteral("ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА"));
        QCOMPARE(r.platform.inputBoxes.last().y, 2350);
        QVERIFY(design->List1->item(4)->text().endsWith(QStringLiteral(" 5000")));
        QVERIFY(!r.program->Ended());
    }

    void reynoldsWarning() {
        Road& r = *road;
        QStringList sheetAnswers = kGoodSheet;
        sheetAnswers[10] = "1";  // 1 kg/s of water: Re = 2208.76
        r.ToResults(true, sheetAnswers);
        Form9* design = r.form9();
        QCOMPARE(r.platform.beeps, 1);
        QCOMPARE(design->Label6->text(), QStringLiteral("ЧИСЛО RE В ТРУБАХ  2208,76 < 2300 !"));
        QCOMPARE(design->Label6->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(design->Label6->isVisible());
        QVERIFY(!design->Command1->isVisible() && !design->Label1->isVisible() && !design->Label2->isVisible());
        QVERIFY(design->Command2->isVisible() && design->Command3->isVisible() && design->Command4->isVisible() &&
                design->Command5->isVisible());

        // Four passes double the velocity: the run succeeds and printing is offered.
        Road::Click(design->Command2);
        r.platform.Answer({"4"});
        Road::ClickLine(design->List1, 2);
        Road::Click(design->Command8);
        QCOMPARE(r.platform.beeps, 1);
        QVERIFY(design->Command1->isVisible() && design->Label1->isVisible() && design->Label2->isVisible());
        QCOMPARE(design->Label6->text(), QStringLiteral("ЧИСЛО RE В ТР.\n    4417,52"));
        QCOMPARE(design->Label6->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    }

    void printTwiceOneHead() {
        Road& r = *road;
        r.ToResults();
        Form9* design = r.form9();
        Road::Click(design->Command1);
        const int afterFirst = r.platform.printer.lines.size();
        QCOMPARE(afterFirst, 15 + 11);  // head of 15 lines, block of 11
        // Each print is one block, ended at once for a printer that keeps a
        // copy on disk.
        QCOMPARE(r.platform.printer.blockEnds, QList<qsizetype>{afterFirst});
        // Another construction, another block under the same head.
        Road::Click(design->Command2);
        r.platform.Answer({"120"});
        Road::ClickLine(design->List1, 4);
        Road::Click(design->Command8);
        QVERIFY(design->Command1->isVisible());
        Road::Click(design->Command1);
        const QStringList& lines = r.platform.printer.lines;
        QCOMPARE(lines.size(), afterFirst + 11);
        QCOMPARE(r.platform.printer.blockEnds, (QList<qsizetype>{afterFirst, afterFirst + 11}));
        QCOMPARE(Count(lines, QStringLiteral("Расчет подогревателя")), 1);
        QCOMPARE(Count(lines, QStringLiteral("ТИП ТЕПЛООБМЕННИКА-ГОРИЗОНТАЛЬНЫЙ")), 2);
        QVERIFY(lines.contains(QString(12, ' ') + QStringLiteral(" ОБЩЕЕ ЧИСЛО ТРУБ ") + QString(19, ' ') +
                               QStringLiteral("120 ШТ.")));
        QVERIFY(r.platform.printer.documents.isEmpty());
        // Leaving for the menu sends the one document.
        Road::Click(design->Command4);
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QCOMPARE(r.platform.printer.documents[0].size(), afterFirst + 11);
    }

    void backToTheSheetAndPrintAgain() {
        Road& r = *road;
        r.ToResults();
        Road::Click(r.form9()->Command1);
        Road::Click(r.form9()->Command3);
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QCOMPARE(r.state.PrintHeadPending, kSet);
        // A fresh design window waits hidden; the sheet is open for editing.
        QCOMPARE(r.loaded(), (QStringList{"Form9", "Form3"}));
        QVERIFY(!r.form9()->isVisible());
        QVERIFY(r.form9()->Label8->isVisibleTo(r.form9()) && !r.form9()->L[0]->isVisibleTo(r.form9()));
        SheetWindow* sheet = r.form3();
        QCOMPARE(sheet->windowTitle(), QStringLiteral("   ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ"));
        QVERIFY(!sheet->Command1->isVisible() && !sheet->Command2->isVisible() && !sheet->Command3->isVisible());
        QVERIFY(!sheet->Label1->isVisible() && sheet->Label3->isVisible());
        QVERIFY(sheet->List1->isVisible() && sheet->List1->isEnabled());
        QCOMPARE(sheet->List1->count(), 11);
        QCOMPARE(sheet->Command1->PictureName(), kGreen);

        r.platform.Answer({"6"});
        Road::ClickLine(sheet->List1, 10);
        Road::Click(sheet->Command3);
        Form9* design = r.form9();
        QVERIFY(design->isVisible() && design->Command6->isVisible());
        QVERIFY(!design->Command1->isVisible() && !design->L[0]->isVisible());
        // The type buttons ask for all four constructive values again.
        r.platform.Answer(kConstruction);
        Road::Click(design->Command6);
        QCOMPARE(r.platform.inputBoxes.size(), 1 + 11 + 4 + 1 + 4);
        Road::Click(design->Command1);
        const QStringList& lines = r.platform.printer.lines;
        QVERIFY(lines[0].contains(QStringLiteral("Расчет подогревателя")));
        QCOMPARE(lines[13], QString(12, ' ') + ComposeLine(r.state.HeaterCaptions[10], 65, "6"));
        Road::Click(design->Command5);
        QCOMPARE(r.platform.printer.documents.size(), 2);
    }

    void backToTheMenu() {
        Road& r = *road;
        r.ToResults();
        Road::Click(r.form9()->Command4);
        Form4* menu = r.form4();
        QVERIFY(menu && menu->isVisible());
        QVERIFY(!menu->Command1->isVisible());
        QVERIFY(menu->Command2->isVisible() && menu->Command3->isVisible() && menu->Command4->isVisible());
        QCOMPARE(r.loaded(), (QStringList{"Form9", "Form4"}));
        QCOMPARE(r.state.PrintHeadPending, kClear);
        // Nothing was printed: the printer was not touched.
        QVERIFY(r.platform.printer.documents.isEmpty() && r.platform.printer.lines.isEmpty());

        // A new pass through the sheet: the design window in the type choice again.
        r.ToDesign();
        Form9* design = r.form9();
        QVERIFY(design->Command6->isVisible() && design->Label8->isVisible());
        for (QLabel* l : design->L) QVERIFY(!l->isVisible());
        QCOMPARE(r.state.PrintHeadPending, kSet);
        QCOMPARE(r.state.OrientationPending, kSet);
    }

    void missingPicturesAreDrawnByTheProgram() {
        QTemporaryDir empty;
        Road& r = *road;
        r.platform.folder = empty.path();
        QStringList sheetAnswers = kGoodSheet;
        sheetAnswers[2] = "1";
        r.ToSheet(sheetAnswers);
        SheetWindow* sheet = r.form3();
        QCOMPARE(sheet->Command1->PictureName(), kRed);
        QCOMPARE(FaceColour(sheet->Command1), QColor(255, 0, 0));
        // A file that is not a picture is treated as missing.
        QFile junk(empty.filePath("end_g.bmp"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a bitmap");
        junk.close();
        Road::Click(sheet->Command2);
        r.platform.Answer({"2171000"});
        Road::ClickLine(sheet->List1, 2);
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_g.bmp"));
        QCOMPARE(FaceColour(sheet->Command3), QColor(0, 255, 0));
        Road::Click(sheet->Command3);
        QVERIFY(r.form9());
    }

    // At every step of the road no hidden or disabled control has the focus
    // or answers a key: the start window, the menu with its hidden
    // evaporator button, the red sheet and its dialog, editing, the design
    // window in each of its states.
    void hiddenControlsNeverAnswerAKey() {
        Road& r = *road;
        r.program->Start();
        r.platform.Answer(QStringList{"студент"} + Replaced(kGoodSheet, 3, "5") + QStringList{kGoodSheet[3]} +
                          kConstruction);
        r.StepsKeepHiddenControlsQuiet({
            [&] { Road::Click(r.form1()->Command2); },
            [&] { Road::Click(r.form4()->Command2); },
            [&] { Road::Click(r.form3()->Command1); },
            [&] { Road::Click(r.form5()->Command1); },
            [&] { Road::ClickLine(r.form3()->List1, 3); },
            [&] { Road::Click(r.form3()->Command3); },
            [&] { Road::Click(r.form9()->Command6); },
            [&] { Road::Click(r.form9()->Command1); },
            [&] { Road::Click(r.form9()->Command2); },
            [&] { Road::Click(r.form9()->Command8); },
        });
    }

    // The marked line of the red sheet says what it allows: the heater's
    // sheet has no room beside it, so under the printed lines, naming the
    // line. The note goes with the mark.
    void theMarkedLineSaysWhatIsAllowed() {
        Road& r = *road;
        r.ToSheet(Replaced(kGoodSheet, 0, "0,04"));
        SheetWindow* sheet = r.form3();
        Road::Click(sheet->Command1);
        QCOMPARE(sheet->RangeNote->text(),
                 QStringLiteral("ТЕПЛОПРОВОДНОСТЬ КОНДЕНСАТА: ДОПУСТИМО БОЛЬШЕ 0,04 И НЕ БОЛЬШЕ 1 ВТ/(М*К)"));
        QCOMPARE(Road::RangeNoteFault(sheet), QString());
        Road::Click(r.form5()->Command1);
        QVERIFY(!sheet->RangeNote->isVisible());
        // From the end of corrections the next bad line is marked with its own.
        r.platform.Answer({"0,686", "600"});
        Road::ClickLine(sheet->List1, 0);
        Road::ClickLine(sheet->List1, 10);
        Road::Click(sheet->Command3);
        QCOMPARE(sheet->RangeNote->text(), QStringLiteral("РАСХОД ЖИДКОСТИ: ДОПУСТИМО БОЛЬШЕ 0 И НЕ БОЛЬШЕ 500 КГ/С"));
        QCOMPARE(Road::RangeNoteFault(sheet), QString());
    }

    // After a print a line in place of the print button says that the block
    // is in the report and names its file, or says what comes when there is
    // none yet; it goes when the results do. No control moves.
    void aPrintSaysWhereTheBlockWent() {
        Road& r = *road;
        r.ToResults();
        Form9* design = r.form9();
        r.PrintNamesTheCopy(design, design->Note, design->Command1);
        Road::Click(design->Command2);
        QVERIFY(!design->Note->isVisible());
        Road::Click(design->Command8);
        QVERIFY(!design->Note->isVisible() && design->Command1->isVisible());
        r.platform.printer.copyPath.clear();
        Road::Click(design->Command1);
        QCOMPARE(design->Note->text(), QStringLiteral("БЛОК ДОБАВЛЕН В ОТЧЁТ. КУДА ВЫЙДЕТ ОТЧЁТ, ПРОГРАММА СООБЩИТ В КОНЦЕ."));
        QCOMPARE(Road::PrintNoteFault(design, design->Note, design->Command1), QString());
    }

    // Cancel, Escape or the close box of the box that asks for a line again
    // keeps the line's value: on the sheet and in the construction list.
    void cancellingAChangeKeepsTheValue() {
        Road& r = *road;
        r.ToSheet();
        SheetWindow* sheet = r.form3();
        Road::Click(sheet->Command2);
        r.platform.Answer({QString()});
        Road::ClickLine(sheet->List1, 2);
        QCOMPARE(r.state.HeaterValueTexts[2], QStringLiteral("2171000"));
        QCOMPARE(r.state.InputValues[2], 2171000.0f);
        QCOMPARE(sheet->List1->item(2)->text(), SheetLine(r.state, 2));
        // Nothing was changed: the hint stays and no end button appears.
        QVERIFY(sheet->Label3->isVisible() && !sheet->Command3->isVisible());
        // An empty answer confirmed with OK is still an answer: "0".
        r.platform.Answer({""});
        Road::ClickLine(sheet->List1, 2);
        QCOMPARE(r.state.HeaterValueTexts[2], QStringLiteral("0"));
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_r.bmp"));
        r.platform.Answer({kGoodSheet[2]});
        Road::ClickLine(sheet->List1, 2);
        Road::Click(sheet->Command3);
        r.platform.Answer(kConstruction);
        Road::Click(r.form9()->Command6);
        Form9* design = r.form9();
        Road::Click(design->Command2);
        const QStringList before = Road::Lines(design->List1);
        for (int k = 1; k <= 4; ++k) {
            r.platform.Answer({QString()});
            Road::ClickLine(design->List1, k);
        }
        QCOMPARE(Road::Lines(design->List1), before);
        QCOMPARE(r.state.HeaterValueTexts[12], QStringLiteral("0.025"));
        QCOMPARE(r.platform.yesNoBoxes.size(), 0);
        QVERIFY(design->Command8->isVisible());
    }

    void hostileTexts_data() {
        HostileRows();
    }
    void hostileTexts() {
        QFETCH(QString, typed);
        Road& r = *road;
        r.ToMenu(typed);
        QCOMPARE(r.state.StudentLine.size(), typed.size() + 1);
        // Every sheet line typed so: the sheet fails on its first line.
        r.ToSheet(QStringList(11, typed));
        SheetWindow* sheet = r.form3();
        QCOMPARE(r.state.CalcError, kSet);
        QCOMPARE(int(r.state.BadLineIndex), 0);
        QCOMPARE(sheet->Command1->PictureName(), kRed);
        QVERIFY(sheet->Surface()[0].text.endsWith(NormalizeDecimal(typed)));
        // Corrected line by line from the error dialog.
        Road::Click(sheet->Command1);
        Road::Click(r.form5()->Command1);
        for (int i = 0; i < 11; ++i) {
            r.platform.Answer({kGoodSheet[i]});
            Road::ClickLine(sheet->List1, i);
        }
        Road::Click(sheet->Command3);
        // A constructive line typed so is refused, then a good value taken.
        for (int line = 0; line < 4; ++line) r.platform.Answer({typed, kConstruction[line]});
        r.platform.yesNoAnswers = {kAnswerYes, kAnswerYes, kAnswerYes, kAnswerYes};
        Road::Click(r.form9()->Command6);
        QCOMPARE(r.platform.yesNoBoxes.size(), 4);
        QVERIFY(r.form9()->Label2->text().startsWith(QStringLiteral("  2086,51")));
        // The same in the construction list of the design window.
        Form9* design = r.form9();
        Road::Click(design->Command2);
        r.platform.yesNoAnswers = {kAnswerYes, kAnswerYes, kAnswerYes, kAnswerYes};
        for (int k = 1; k <= 4; ++k) {
            r.platform.Answer({typed, kConstruction[k - 1]});
            Road::ClickLine(design->List1, k);
        }
        QCOMPARE(r.platform.yesNoBoxes.size(), 8);
        for (const AskedBox& box : r.platform.yesNoBoxes) QCOMPARE(box.title, QStringLiteral("ОШИБКА !"));
        Road::Click(design->Command8);
        QVERIFY(design->Label2->text().startsWith(QStringLiteral("  2086,51")));
        QVERIFY(!r.program->Ended());
        QVERIFY(r.platform.exhausted.isEmpty());
    }
};

QTEST_MAIN(HeaterRoadTest)
#include "heater_road_test.moc"
