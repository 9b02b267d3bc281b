// SPDX-License-Identifier: GPL-3.0-or-later
// The cooler road on screen, driven through the scripted platform: what the
// student sees at each step, what is asked, beeped and printed.
#include "road.h"

#include "cooler/cooler_window.h"
#include "platform/twips.h"

#include <QLabel>

using namespace heatx;

namespace {

// The results of a separate double-precision computation of the same
// correlations: alpha_1, alpha_2, K in W/(m2 K), F in m2, Re_1, Re_2.
struct Expected {
    const char* alphaTube;
    const char* alphaShell;
    const char* k;
    const char* f;
    const char* reTube;
    const char* reShell;
};
// Re_1 = 16977: turbulent in the tubes.
const Expected kTurbulent = {"3664,71", "535,61", "378,80", "34,22", "16976,53", "3125,00"};
// 1 kg/s in one pass: Re_1 = 606, laminar; the film correction makes two passes.
const Expected kLaminar = {"299,14", "535,61", "175,13", "74,02", "606,30", "3125,00"};
// kTurbulent with a heat load of 700 kW: twice the surface.
const Expected kDoubleLoad = {"3664,71", "535,61", "378,80", "68,44", "16976,53", "3125,00"};

const QString kMargin(12, QLatin1Char(' '));
const QString kRefused = QStringLiteral("ОШИБКА В ИСХОДНОЙ ИНФОРМАЦИИ");

Form6* Sheet(const Road& r) { return r.Win<Form6>("Form6"); }
ErrorDialog* Dialog(const Road& r) { return r.Win<ErrorDialog>("Form14"); }
Form13* Design(const Road& r) { return r.Win<Form13>("Form13"); }

// A value as the windows show it: right-aligned, two decimals, padded.
QString Padded(const QString& number, int field, int padded) {
    return number.rightJustified(field, QLatin1Char(' ')).leftJustified(padded, QLatin1Char(' '));
}
QString ResultLabel(const Expected& e) {
    return Padded(e.alphaTube, 9, 20) + Padded(e.alphaShell, 9, 16) + Padded(e.k, 9, 16) + Padded(e.f, 9, 15);
}
// The Reynolds numbers with one decimal.
QString ReynoldsLabel(const QString& re1, const QString& re2) { return Padded(re1, 9, 20) + Padded(re2, 12, 20); }
// The data row of the report: each value centred in its cell.
QString Cell(const QString& s, int w) {
    const int left = (w - int(s.size())) / 2;
    return QString(left, ' ') + s + QString(w - int(s.size()) - left, ' ') + '|';
}
QString DataRow(const Expected& e) {
    return kMargin + " |" + Cell(e.alphaTube, 13) + Cell(e.alphaShell, 13) + Cell(e.k, 13) + Cell(e.f, 13) +
           Cell(e.reTube, 12) + Cell(e.reShell, 12);
}

int Count(const QStringList& lines, const QString& part) {
    int n = 0;
    for (const QString& line : lines) n += line.contains(part) ? 1 : 0;
    return n;
}

// The cooler sheet from the menu, every line answered.
void ToSheet(Road& r, const QStringList& sheet = kCoolerSheet) {
    if (!r.form4()) r.ToMenu();
    r.platform.Answer(sheet);
    Road::Click(r.form4()->Command3);
}
// Sheet kept as it is, the construction typed: the design window.
void ToResults(Road& r, const QStringList& sheet = kCoolerSheet, const QStringList& construction = kCoolerConstruction) {
    ToSheet(r, sheet);
    r.platform.Answer(construction);
    Road::Click(Sheet(r)->Command1);
}

}  // namespace

class CoolerRoadTest : public RoadTest {
    Q_OBJECT

private slots:
    void turbulentRoad() {
        Road& r = *road;
        ToSheet(r);
        Form6* sheet = Sheet(r);
        QVERIFY(sheet && sheet->isVisible());
        QCOMPARE(r.loaded(), QStringList{"Form6"});
        QCOMPARE(sheet->windowTitle(), QStringLiteral("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"));
        // The whole screen; the list as wide as the long cooler lines need.
        QCOMPARE(sheet->LeftTwips(), 0.0);
        QCOMPARE(sheet->TopTwips(), 0.0);
        QCOMPARE(sheet->WidthTwips(), 19200.0);
        QCOMPARE(sheet->HeightTwips(), 15360.0);
        const TwipsRect list = Twips(sheet->List1);
        QCOMPARE(list.left, 500.0);
        QCOMPARE(list.top, 1200.0);
        QCOMPARE(list.width, 11000.0);
        QCOMPARE(list.height, 2700.0);
        // The buttons stay where the 10000-twip window of the load put them.
        QCOMPARE(Twips(sheet->Command1).left, (10000 - kFrameWidthTwips - 4335) / 2);
        QCOMPARE(Twips(sheet->Command3).left, 5000 - 4095 / 2.0);
        QCOMPARE(Twips(sheet->Label3).left, 5000 - 3495 / 2.0);

        // Thirteen boxes, each a little lower; the constructive lines wait.
        QCOMPARE(r.platform.inputBoxes.size(), 1 + 13);
        for (int i = 0; i < 13; ++i) {
            const AskedBox& box = r.platform.inputBoxes[1 + i];
            QCOMPARE(box.prompt, r.state.CoolerCaptions[i]);
            QCOMPARE(box.title, QStringLiteral("ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"));
            QCOMPARE(box.x, 4000);
            QCOMPARE(box.y, sheet_layout::FirstEntryPromptY(i));
        }
        QCOMPARE(r.state.CoolerCaptions[17],
                 QStringLiteral(" ПЛОЩАДЬ НАИБОЛЕЕ УЗКОГО СЕЧЕНИЯ ПОТОКА В МТР. ПР-ВЕ, М^2 "));
        // Values start in column 73 whatever the caption's length.
        QCOMPARE(sheet->List1->count(), 13);
        QCOMPARE(sheet->List1->item(12)->text(), QStringLiteral(" ТЕПЛОВАЯ НАГРУЗКА, ВТ  ") + QString(48, ' ') +
                                                     QStringLiteral("350000"));
        QCOMPARE(sheet->List1->item(6)->text(),
                 QStringLiteral(" ТЕПЛОПРОВОДНОСТЬ ТЕПЛОНОСИТЕЛЯ В МЕЖТРУБНОМ ПРОСТРАНСТВЕ, Вт/(M*К)     0.13"));
        // Green review.
        QCOMPARE(r.state.CalcError, kClear);
        QVERIFY(sheet->List1->isVisible() && !sheet->List1->isEnabled());
        QVERIFY(sheet->Command1->isVisible() && sheet->Command2->isVisible() && sheet->Label1->isVisible());
        QVERIFY(!sheet->Command3->isVisible() && !sheet->Label2->isVisible() && !sheet->Label3->isVisible());
        QCOMPARE(sheet->Command1->PictureName(), QStringLiteral("ne_izm_g.bmp"));
        QCOMPARE(FaceColor(sheet->Command2), QColor(0, 255, 0));

        // Keep the data: the five constructive lines over the emptied sheet.
        r.platform.Answer(kCoolerConstruction);
        Road::Click(sheet->Command1);
        const QList<AskedBox> constructive = r.platform.inputBoxes.mid(14);
        QCOMPARE(constructive.size(), 5);
        const int ys[5] = {700, 895, 1090, 1285, 1480};  // twips, lines 13 to 17
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(constructive[k].prompt, r.state.CoolerCaptions[13 + k]);
            QCOMPARE(constructive[k].title, QStringLiteral("ВВОД КОНСТРУКТИВНЫХ ОСОБЕННОСТЕЙ АППАРАТА"));
            QCOMPARE(constructive[k].x, 800);
            QCOMPARE(constructive[k].y, ys[k]);
        }
        QCOMPARE(r.state.CoolerValueTexts[15], QStringLiteral("0.9"));
        QCOMPARE(r.platform.beeps, 0);

        Form13* design = Design(r);
        QVERIFY(design && design->isVisible());
        QCOMPARE(r.loaded(), QStringList{"Form13"});
        QCOMPARE(design->windowTitle(), QStringLiteral("РАСЧЁТ ХОЛОДИЛЬНИКОВ"));
        QCOMPARE(Road::PaleFaces(design), QStringList());
        QCOMPARE(design->LeftTwips(), 100.0);
        QCOMPARE(design->WidthTwips(), 12000.0);
        // The construction, values in column 76.
        QCOMPARE(design->L[0]->text(), QStringLiteral(" НАРУЖНЫЙ ДИАМЕТР ТРУБ, М") + QString(50, ' ') +
                                           QStringLiteral("0.025"));
        QCOMPARE(design->L[2]->text(),
                 QStringLiteral(" КОЭФФИЦИЕНТ,УЧИТЫВАЮЩИЙ СНИЖЕНИЕ СРЕДН.ДВИЖ.СИЛЫ ПРИ СМЕШ.ТОКЕ(БЕЗРАЗМ)   0.9"));
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(design->L[k]->text().size(), 75 + r.state.CoolerValueTexts[13 + k].size());
            QCOMPARE(Twips(design->L[k]).top, 120.0 + 240 * k);
        }
        QCOMPARE(design->Label1->text().split('\n'),
                 (QStringList{"                РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА", "",
                              "КОЭФФИЦИЕНТ        КОЭФФИЦИЕНТ       КОЭФФИЦИЕНТ     ПОВЕРХНОСТЬ",
                              "ТЕПЛООТДАЧИ        ТЕПЛООТДАЧИ      ТЕПЛОПЕРЕДАЧИ    ТЕПЛООБМЕНА",
                              "В ТР. ПР-ВЕ        В МТР.ПР-ВЕ                           М^2"}));
        QCOMPARE(design->Label4->text(), ResultLabel(kTurbulent));
        QCOMPARE(design->Label5->text(), QStringLiteral("ЧИСЛО RE В ТР.    ЧИСЛО RE В МТР.ПР-ВЕ"));
        QCOMPARE(design->Label6->text(), ReynoldsLabel("16976,5", "3125,0"));
        // The labels stand one under the other without covering a line.
        QVERIFY(Twips(design->Label4).top >= Twips(design->Label1).top + Twips(design->Label1).height);
        QVERIFY(Twips(design->Label6).top + Twips(design->Label6).height <= Twips(design->Command1).top);
        for (QWidget* w : {(QWidget*)design->Command1, (QWidget*)design->Command2, (QWidget*)design->Command3,
                           (QWidget*)design->Command4, (QWidget*)design->Command5, (QWidget*)design->Label1,
                           (QWidget*)design->Label4, (QWidget*)design->Label5, (QWidget*)design->Label6})
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        QVERIFY(!design->List1->isVisible() && !design->Command6->isVisible());

        Road::Click(design->Command1);
        QVERIFY(!design->Command1->isVisible());
        QCOMPARE(r.state.PrintStarted, kSet);
        QCOMPARE(r.platform.apparatus, QStringLiteral("холодильник"));
        const QStringList printed = r.platform.printer.lines;
        QCOMPARE(r.platform.printer.fontName, QStringLiteral("Courier New Cyr"));
        QCOMPARE(printed.size(), 17 + 11);  // head of 17 lines, block of 11
        QCOMPARE(printed[0], kMargin + QStringLiteral(" 07 декабря 2026г.        14:05:33") +
                                 QStringLiteral("                    Расчет холодильника"));
        QCOMPARE(printed[1], kMargin + QStringLiteral("Студент С.с. Гр. Х-10 "));
        QCOMPARE(printed[3], kMargin + ComposeLine(r.state.CoolerCaptions[0], 70, "0.6"));
        QCOMPARE(printed[17], kMargin + QStringLiteral(" НАРУЖНЫЙ ДИАМЕТР ТРУБ   0,025 М") + QString(9, ' ') +
                                  QStringLiteral("  ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ  2 ШТ."));
        QCOMPARE(printed[19], kMargin + QStringLiteral(" ЧИСЛО ТРУБ 100 ШТ.      ") +
                                  QStringLiteral(" ПЛОЩАДЬ НАИБОЛЕЕ УЗК.СЕЧЕНИЯ ПОТОКА В МТР.ПР-ВЕ  0,02000 М^2"));
        QCOMPARE(printed[25], DataRow(kTurbulent));
        QVERIFY(r.platform.printer.documents.isEmpty());

        Road::Click(design->Command5);
        QVERIFY(r.program->Ended());
        QCOMPARE(r.quits, 1);
        QVERIFY(r.loaded().isEmpty());
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QCOMPARE(r.platform.printer.documents[0], printed);
    }

    void laminarRoad() {
        Road& r = *road;
        ToResults(r, Replaced(kCoolerSheet, 5, "1"), Replaced(kCoolerConstruction, 1, "1"));
        Form13* design = Design(r);
        QCOMPARE(design->Label4->text(), ResultLabel(kLaminar));
        QCOMPARE(design->Label6->text(), ReynoldsLabel("606,3", "3125,0"));
        Road::Click(design->Command1);
        QCOMPARE(r.platform.printer.lines[25], DataRow(kLaminar));
        QVERIFY(r.platform.printer.lines[17].endsWith(QStringLiteral("  ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ  1 ШТ.")));

        // Another exchanger: the printed blocks come out as one document and
        // the menu is rebuilt, its evaporator button hidden again. The
        // message about the saved report stands over the menu.
        QWidget* messageOver = nullptr;
        r.platform.printer.onEnd = [&] { messageOver = MessageParent(); };
        Road::Click(design->Command4);
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QCOMPARE(messageOver, static_cast<QWidget*>(r.form4()));
        Form4* menu = r.form4();
        QVERIFY(menu && menu->isVisible());
        QVERIFY(!menu->Command1->isVisible());
        QCOMPARE(r.loaded(), (QStringList{"Form13", "Form4"}));
        // A second cooler prints a head of its own in a new document.
        ToResults(r);
        QCOMPARE(Design(r)->Label4->text(), ResultLabel(kTurbulent));
        Road::Click(Design(r)->Command1);
        QVERIFY(r.platform.printer.lines[0].endsWith(QStringLiteral("Расчет холодильника")));
        Road::Click(Design(r)->Command5);
        QCOMPARE(r.platform.printer.documents.size(), 2);
        QCOMPARE(r.platform.printer.documents[1].size(), 17 + 11);
    }

    void failingSheetYesAsksForTheBadLineAtOnce() {
        Road& r = *road;
        QStringList answers = kCoolerSheet;
        answers[3] = "100";  // below 500 J/(kg K)
        answers[7] = "abc";  // not a number: reads as 0
        ToSheet(r, answers);
        Form6* sheet = Sheet(r);
        // Red review: the lines are printed on the window instead of the list.
        QCOMPARE(r.state.CalcError, kSet);
        QCOMPARE(int(r.state.BadLineIndex), 3);
        QCOMPARE(sheet->Command1->PictureName(), QStringLiteral("ne_izm_r.bmp"));
        QVERIFY(!sheet->List1->isVisible());
        QCOMPARE(sheet->Surface().size(), 13);
        QCOMPARE(sheet->Surface()[12].y, sheet_layout::SurfaceY(12));
        QCOMPARE(sheet->Surface()[7].text, ComposeLine(r.state.CoolerCaptions[7], 72, "abc"));

        Road::Click(sheet->Command1);
        QCOMPARE(r.platform.beeps, 1);
        QVERIFY(!sheet->Command1->isVisible() && !sheet->Command2->isVisible());
        QCOMPARE(sheet->Label2->text(), ComposeLine(r.state.CoolerCaptions[3], 72, "100"));
        QCOMPARE(Twips(sheet->Label2).top, sheet_layout::MarkerY(3));
        QCOMPARE(Twips(sheet->Label2).width, 9000.0);
        ErrorDialog* dialog = Dialog(r);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(r.loaded(), (QStringList{"Form6", "Form14"}));
        // The keep button titles the dialog, not the sheet.
        QCOMPARE(dialog->windowTitle(), QStringLiteral("   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ"));
        QCOMPARE(sheet->windowTitle(), QStringLiteral("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"));
        QCOMPARE(dialog->Label1->text(), QStringLiteral("Ошибка в исходной информации."));
        QCOMPARE(dialog->LeftTwips(), 2100.0);
        QCOMPARE(dialog->TopTwips(), 5000.0);
        QCOMPARE(dialog->WidthTwips(), 5895.0);
        QCOMPARE(dialog->HeightTwips(), 1500.0);
        // The focus on "Да": a stray Space only goes back to the sheet. A
        // click on the marked line of the full-screen sheet leaves the dialog
        // above it.
        QCOMPARE(Road::FocusIn(dialog), static_cast<QWidget*>(dialog->Command1));
        QVERIFY(Road::AboveItsSheet(dialog, sheet));
        QTest::mouseClick(sheet->Label2, Qt::LeftButton);
        QVERIFY(Dialog(r) == dialog && Road::AboveItsSheet(dialog, sheet));

        // "Да": line 3 is asked for at once; line 7 is still bad.
        r.platform.Answer({"4180"});
        Road::Click(dialog->Command1);
        QVERIFY(!Dialog(r));
        const AskedBox& asked = r.platform.inputBoxes.last();
        QCOMPARE(asked.prompt, r.state.CoolerCaptions[3]);
        QCOMPARE(asked.x, 4000);
        QCOMPARE(asked.y, sheet_layout::EditPromptY(3));
        QCOMPARE(sheet->List1->item(3)->text(), ComposeLine(r.state.CoolerCaptions[3], 72, "4180"));
        QCOMPARE(sheet->List1->currentRow(), 3);
        QVERIFY(sheet->List1->isVisible() && sheet->List1->isEnabled());
        QVERIFY(!sheet->Label2->isVisible() && !sheet->Label3->isVisible());
        QVERIFY(sheet->Surface().isEmpty());
        QCOMPARE(int(r.state.BadLineIndex), 7);
        QVERIFY(sheet->Command3->isVisible());
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_r.bmp"));
        QCOMPARE(FaceColour(sheet->Command3), QColor(255, 0, 0));

        // End of corrections with line 7 still bad: the error view again.
        Road::Click(sheet->Command3);
        QCOMPARE(r.platform.beeps, 2);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ"));
        QVERIFY(!sheet->List1->isVisible() && !sheet->Command3->isVisible());
        QCOMPARE(sheet->Surface().size(), 13);
        QCOMPARE(sheet->Label2->text(), ComposeLine(r.state.CoolerCaptions[7], 72, "abc"));
        QCOMPARE(Twips(sheet->Label2).left, 530.0);
        QCOMPARE(Twips(sheet->Label2).top, sheet_layout::MarkerY(7));
        QCOMPARE(Twips(sheet->Label2).width, 11000.0);
        dialog = Dialog(r);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Form14"));
        QCOMPARE(dialog->LeftTwips(), 2100.0);

        // Closing the dialog by its close box answers "Да": line 7 is asked for.
        r.platform.Answer({"0,002"});
        QVERIFY(dialog->close());
        QVERIFY(!Dialog(r) && !r.program->Ended());
        QCOMPARE(r.platform.inputBoxes.last().prompt, r.state.CoolerCaptions[7]);
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_g.bmp"));
        QCOMPARE(FaceColour(sheet->Command3), QColor(0, 255, 0));

        // Editing the last line keeps it last.
        r.platform.Answer({"350000"});
        Road::ClickLine(sheet->List1, 12);
        QCOMPARE(sheet->List1->count(), 13);
        QVERIFY(sheet->List1->item(12)->text().endsWith(" 350000"));

        r.platform.Answer(kCoolerConstruction);
        Road::Click(sheet->Command3);
        QCOMPARE(r.platform.beeps, 2);
        QCOMPARE(r.loaded(), QStringList{"Form13"});
        QCOMPARE(Design(r)->Label4->text(), ResultLabel(kTurbulent));
    }

    void dialogNoEndsTheProgram() {
        Road& r = *road;
        ToSheet(r, Replaced(kCoolerSheet, 12, ""));  // cancelled: a load of 0 W
        QCOMPARE(r.state.CoolerValueTexts[12], QStringLiteral("0"));
        Road::Click(Sheet(r)->Command1);
        QCOMPARE(Sheet(r)->Label2->text(), ComposeLine(r.state.CoolerCaptions[12], 72, "0"));
        Road::Click(Dialog(r)->Command2);
        QVERIFY(r.program->Ended());
        QVERIFY(r.loaded().isEmpty());
        QVERIFY(r.platform.printer.documents.isEmpty());
    }

    void constructiveBoundsAtFirstEntryAndInTheDesignWindow() {
        Road& r = *road;
        ToSheet(r);
        // 0.019 is below the 8-byte bound at first entry; 0.0005 passes there.
        r.platform.Answer({"0,019", "0,025", "2", "0,0005", "100", "0,02"});
        r.platform.yesNoAnswers = {kAnswerYes};
        Road::Click(Sheet(r)->Command1);
        QCOMPARE(r.platform.beeps, 1);
        QCOMPARE(r.platform.yesNoBoxes.size(), 1);
        QCOMPARE(r.platform.yesNoBoxes[0].title, QStringLiteral("ОШИБКА !"));
        // The typed 0.019 is refused at its 8-byte bound, and the box says so.
        QCOMPARE(r.platform.yesNoBoxes[0].prompt,
                 kRefused + QStringLiteral("\nНАРУЖНЫЙ ДИАМЕТР ТРУБ: ВВЕДЕНО «0,019»; ДОПУСТИМО БОЛЬШЕ 0,019 И НЕ "
                                           "БОЛЬШЕ 0,06 М\n    Продолжаете работу ?"));
        QCOMPARE(r.state.MessageAnswer, float(kAnswerYes));
        const QList<AskedBox> asked = r.platform.inputBoxes.mid(14);
        QCOMPARE(asked.size(), 6);
        QCOMPARE(asked[0].y, asked[1].y);  // the same line asked for again
        QCOMPARE(r.state.CoolerValueTexts[15], QStringLiteral("0.0005"));
        Form13* design = Design(r);
        QVERIFY(design->isVisible());

        // The construction list: 80 columns before the values.
        Road::Click(design->Command2);
        QVERIFY(design->List1->isVisible() && design->List1->isEnabled() && design->Command6->isVisible());
        for (QWidget* w : {(QWidget*)design->Command1, (QWidget*)design->Command5, (QWidget*)design->Label1,
                           (QWidget*)design->Label4, (QWidget*)design->Label6, (QWidget*)design->L[0]})
            QVERIFY(!w->isVisible());
        QCOMPARE(design->List1->count(), 5);
        QCOMPARE(design->List1->item(2)->text(),
                 QStringLiteral(" КОЭФФИЦИЕНТ,УЧИТЫВАЮЩИЙ СНИЖЕНИЕ СРЕДН.ДВИЖ.СИЛЫ ПРИ СМЕШ.ТОКЕ(БЕЗРАЗМ)") +
                     QString(8, ' ') + QStringLiteral("0.0005"));
        QCOMPARE(Twips(design->Command6).top, 1000.0 + 1200 + 200);

        // In the design window 0.0005 is refused, then 0.9 taken.
        r.platform.Answer({"0,0005", "0,9"});
        r.platform.yesNoAnswers = {kAnswerYes};
        Road::ClickLine(design->List1, 2);
        QCOMPARE(r.platform.beeps, 2);
        QCOMPARE(r.platform.inputBoxes.last().title, QStringLiteral(" ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА"));
        QCOMPARE(r.platform.inputBoxes.last().x, 2800);
        QCOMPARE(r.platform.inputBoxes.last().y, 2070);
        QVERIFY(design->List1->item(2)->text().endsWith(QString(8, ' ') + "0.9"));
        QVERIFY(design->Command6->isVisible());
        // ... while 0.019 for the diameter is taken here (4-byte bounds).
        r.platform.Answer({"0,019"});
        Road::ClickLine(design->List1, 0);
        QCOMPARE(r.platform.beeps, 2);
        QCOMPARE(r.platform.inputBoxes.last().title, QStringLiteral("ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА"));
        QCOMPARE(r.platform.inputBoxes.last().y, 1680);
        r.platform.Answer({"0,025"});
        Road::ClickLine(design->List1, 0);

        Road::Click(design->Command6);
        QVERIFY(!design->List1->isVisible() && !design->Command6->isVisible());
        QCOMPARE(design->Label4->text(), ResultLabel(kTurbulent));
        QVERIFY(design->L[2]->text().endsWith(QString(3, ' ') + "0.9"));

        // "Нет" to a refused value in the design window ends the program.
        Road::Click(design->Command2);
        r.platform.Answer({"10,5"});
        r.platform.yesNoAnswers = {kAnswerNo};
        Road::ClickLine(design->List1, 1);
        QCOMPARE(r.state.MessageAnswer, float(kAnswerNo));
        QVERIFY(r.program->Ended());
        QVERIFY(r.loaded().isEmpty());
    }

    // The full-screen sheet has room for the note beside the marked line.
    void theMarkedLineSaysWhatIsAllowed() {
        Road& r = *road;
        ToSheet(r, Replaced(kCoolerSheet, 0, "0,01"));
        Road::Click(Sheet(r)->Command1);
        QCOMPARE(Sheet(r)->RangeNote->text(), QStringLiteral("← ДОПУСТИМО БОЛЬШЕ 0,01 И НЕ БОЛЬШЕ 1"));
        QCOMPARE(Road::RangeNoteFault(Sheet(r)), QString());
        QCOMPARE(Sheet(r)->RangeNote->geometry().top(), Sheet(r)->Label2->geometry().top());
    }

    void refusedAtFirstEntryNoEndsTheProgram() {
        Road& r = *road;
        ToSheet(r);
        r.platform.Answer({"0,025", "11"});
        r.platform.yesNoAnswers = {kAnswerNo};
        Road::Click(Sheet(r)->Command1);
        QCOMPARE(r.platform.beeps, 1);
        QVERIFY(r.program->Ended());
        QVERIFY(r.loaded().isEmpty());
    }

    void twoPrintsAfterAConstructionChangeOneHead() {
        Road& r = *road;
        ToResults(r);
        Form13* design = Design(r);
        Road::Click(design->Command1);
        const int afterFirst = r.platform.printer.lines.size();
        Road::Click(design->Command2);
        r.platform.Answer({"120"});
        Road::ClickLine(design->List1, 3);
        QCOMPARE(r.platform.inputBoxes.last().y, 2270);
        QCOMPARE(design->List1->item(3)->text(), QStringLiteral(" ЧИСЛО ТРУБ, ШТ.") + QString(64, ' ') + "120");
        Road::Click(design->Command6);
        QVERIFY(design->Command1->isVisible());
        Road::Click(design->Command1);
        const QStringList& lines = r.platform.printer.lines;
        QCOMPARE(lines.size(), afterFirst + 11);
        QCOMPARE(Count(lines, QStringLiteral("Расчет холодильника")), 1);
        QCOMPARE(Count(lines, QStringLiteral(" ЧИСЛО ТРУБ 100 ШТ.")), 1);
        QCOMPARE(Count(lines, QStringLiteral(" ЧИСЛО ТРУБ 120 ШТ.")), 1);
        QVERIFY(r.platform.printer.documents.isEmpty());
        Road::Click(design->Command4);
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QCOMPARE(r.platform.printer.documents[0].size(), afterFirst + 11);
    }

    void backToTheSheetAndOnAgain() {
        Road& r = *road;
        ToResults(r);
        Road::Click(Design(r)->Command1);
        Road::Click(Design(r)->Command3);
        QCOMPARE(r.loaded(), QStringList{"Form6"});
        QVERIFY(r.platform.printer.documents.isEmpty());  // one document per cooler
        Form6* sheet = Sheet(r);
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->windowTitle(), QStringLiteral("   ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ"));
        QCOMPARE(sheet->WidthTwips(), 12000.0);
        QCOMPARE(sheet->HeightTwips(), 8000.0);
        const TwipsRect list = Twips(sheet->List1);
        QCOMPARE(list.width, 10000.0);
        QCOMPARE(list.height, 2600.0);
        QCOMPARE(list.left, (12000 - kFrameWidthTwips - 10000) / 2);
        QVERIFY(sheet->List1->isVisible() && sheet->List1->isEnabled());
        QVERIFY(sheet->Label1->isVisible() && sheet->Label3->isVisible());
        QVERIFY(!sheet->Command1->isVisible() && !sheet->Command2->isVisible() && !sheet->Command3->isVisible());
        QCOMPARE(sheet->Command1->PictureName(), QStringLiteral("ne_izm_g.bmp"));
        // Lines 0-12 kept, composed 70 wide.
        QCOMPARE(sheet->List1->count(), 13);
        for (int i = 0; i < 13; ++i)
            QCOMPARE(sheet->List1->item(i)->text(), ComposeLine(r.state.CoolerCaptions[i], 70, NormalizeDecimal(kCoolerSheet[i])));

        // Twice the load; the end of corrections asks for all five
        // constructive lines again.
        r.platform.Answer({"700000"});
        Road::ClickLine(sheet->List1, 12);
        QCOMPARE(sheet->List1->item(12)->text(), ComposeLine(r.state.CoolerCaptions[12], 72, "700000"));
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_g.bmp"));
        const int before = r.platform.inputBoxes.size();
        r.platform.Answer(kCoolerConstruction);
        Road::Click(sheet->Command3);
        QCOMPARE(r.platform.inputBoxes.size(), before + 5);
        QCOMPARE(r.platform.inputBoxes.last().title, QStringLiteral("ВВОД КОНСТРУКТИВНЫХ ОСОБЕННОСТЕЙ АППАРАТА"));
        Form13* design = Design(r);
        QVERIFY(design && design->isVisible());
        QCOMPARE(r.loaded(), QStringList{"Form13"});
        QCOMPARE(design->Label4->text(), ResultLabel(kDoubleLoad));

        // The new block gets a head with the input lines it was computed from.
        Road::Click(design->Command1);
        const QStringList& lines = r.platform.printer.lines;
        QCOMPARE(Count(lines, QStringLiteral("Расчет холодильника")), 2);
        QCOMPARE(lines[17 + 11 + 15], kMargin + ComposeLine(r.state.CoolerCaptions[12], 70, "700000"));
        QCOMPARE(lines.last(), QString());
        QCOMPARE(lines[lines.size() - 3], DataRow(kDoubleLoad));
        Road::Click(design->Command5);
        QCOMPARE(r.platform.printer.documents.size(), 1);
    }

    void keyboardChangesAConstructionLine() {
        Road& r = *road;
        ToResults(r);
        Form13* design = Design(r);
        Road::Click(design->Command2);
        design->List1->setCurrentRow(4);
        r.platform.Answer({"0,04"});
        QTest::keyClick(design->List1, Qt::Key_Return);
        QCOMPARE(r.platform.inputBoxes.last().prompt, r.state.CoolerCaptions[17]);
        QCOMPARE(r.platform.inputBoxes.last().y, 2460);
        QVERIFY(design->List1->item(4)->text().endsWith(" 0.04"));
        QVERIFY(design->Command6->isVisible());
        // The space bar as well.
        design->List1->setCurrentRow(1);
        r.platform.Answer({"2"});
        QTest::keyClick(design->List1, Qt::Key_Space);
        QCOMPARE(r.platform.inputBoxes.last().prompt, r.state.CoolerCaptions[14]);
        QCOMPARE(r.state.CoolerValueTexts[14], QStringLiteral("2"));
    }

    void resultThatIsNotANumberIsNotOffered() {
        Road& r = *road;
        // A mean difference of one smallest float passes the check (> 0), but
        // the surface Q / (eps dt K) is beyond the float range.
        ToResults(r, Replaced(kCoolerSheet, 10, "1e-45"));
        Form13* design = Design(r);
        QCOMPARE(r.platform.beeps, 1);
        QCOMPARE(design->Label4->text(), QStringLiteral("РАСЧЁТ НЕВОЗМОЖЕН ПРИ ЭТИХ ИСХОДНЫХ ДАННЫХ !"));
        QCOMPARE(design->Label4->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(!design->Command1->isVisible() && !design->Label6->isVisible());
        QVERIFY(design->Command2->isVisible() && design->Command3->isVisible());
        // Back to the sheet, the difference corrected: results and printing.
        Road::Click(design->Command3);
        r.platform.Answer({"30"});
        Road::ClickLine(Sheet(r)->List1, 10);
        r.platform.Answer(kCoolerConstruction);
        Road::Click(Sheet(r)->Command3);
        QCOMPARE(Design(r)->Label4->text(), ResultLabel(kTurbulent));
        QCOMPARE(Design(r)->Label4->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        QVERIFY(Design(r)->Command1->isVisible() && Design(r)->Label6->isVisible());
    }

    // No hidden or disabled control has the focus or answers a key: the red
    // sheet and its dialog, editing, the design window and its list.
    void hiddenControlsNeverAnswerAKey() {
        Road& r = *road;
        ToSheet(r, Replaced(kCoolerSheet, 4, "1"));
        r.platform.Answer(QStringList{kCoolerSheet[4]} + kCoolerConstruction);
        r.StepsKeepHiddenControlsQuiet({
            [&] { Road::Click(Sheet(r)->Command1); },
            [&] { QVERIFY(Dialog(r)); Road::Click(Dialog(r)->Command1); },
            [&] { Road::Click(Sheet(r)->Command3); },
            [&] { Road::Click(Design(r)->Command1); },
            [&] { Road::Click(Design(r)->Command2); },
            [&] { Road::Click(Design(r)->Command6); },
        });
    }

    // After a print a line in place of the print button names the report's
    // file; it goes when the construction list opens. No control moves.
    void aPrintSaysWhereTheBlockWent() {
        Road& r = *road;
        ToResults(r);
        Form13* design = Design(r);
        r.PrintNamesTheCopy(design, design->Note, design->Command1);
        Road::Click(design->Command2);
        QVERIFY(!design->Note->isVisible());
    }

    // A cancelled box keeps the value of a line asked for again: the bad
    // line the dialog's "Да" asks for, a sheet line, a construction line.
    void cancellingAChangeKeepsTheValue() {
        Road& r = *road;
        ToSheet(r, Replaced(kCoolerSheet, 4, "1"));
        Form6* sheet = Sheet(r);
        Road::Click(sheet->Command1);
        r.platform.Answer({QString()});
        Road::Click(Dialog(r)->Command1);
        QCOMPARE(r.state.CoolerValueTexts[4], QStringLiteral("1"));
        QVERIFY(sheet->Command3->isVisible());
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_r.bmp"));
        r.platform.Answer({QString()});
        Road::ClickLine(sheet->List1, 9);
        QCOMPARE(r.state.CoolerValueTexts[9], QStringLiteral("5"));
        QVERIFY(sheet->Command3->isVisible());
        r.platform.Answer({kCoolerSheet[4]});
        Road::ClickLine(sheet->List1, 4);
        r.platform.Answer(kCoolerConstruction);
        Road::Click(sheet->Command3);
        Form13* design = Design(r);
        Road::Click(design->Command2);
        const QStringList before = Road::Lines(design->List1);
        for (int k = 0; k < 5; ++k) {
            r.platform.Answer({QString()});
            Road::ClickLine(design->List1, k);
        }
        QCOMPARE(Road::Lines(design->List1), before);
        QCOMPARE(r.platform.yesNoBoxes.size(), 0);
        QVERIFY(design->Command6->isVisible());
    }

    void hostileTexts_data() {
        HostileRows();
    }
    void hostileTexts() {
        QFETCH(QString, typed);
        Road& r = *road;
        r.ToMenu(typed);
        // Every sheet line typed so: the sheet fails on its first line.
        ToSheet(r, QStringList(13, typed));
        Form6* sheet = Sheet(r);
        QCOMPARE(r.state.CalcError, kSet);
        QCOMPARE(int(r.state.BadLineIndex), 0);
        QVERIFY(sheet->Surface()[0].text.endsWith(NormalizeDecimal(typed)));
        // "Да" asks for line 0 at once; typed so again, it stays bad.
        Road::Click(sheet->Command1);
        r.platform.Answer({typed});
        Road::Click(Dialog(r)->Command1);
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_r.bmp"));
        for (int i = 0; i < 13; ++i) {
            r.platform.Answer({kCoolerSheet[i]});
            Road::ClickLine(sheet->List1, i);
        }
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_g.bmp"));
        // Each constructive line typed so is refused, then a good value taken.
        for (int k = 0; k < 5; ++k) r.platform.Answer({typed, kCoolerConstruction[k]});
        r.platform.yesNoAnswers = QList<int>(5, kAnswerYes);
        Road::Click(sheet->Command3);
        QCOMPARE(r.platform.yesNoBoxes.size(), 5);
        Form13* design = Design(r);
        QCOMPARE(design->Label4->text(), ResultLabel(kTurbulent));
        // The same in the construction list.
        Road::Click(design->Command2);
        r.platform.yesNoAnswers = QList<int>(5, kAnswerYes);
        for (int k = 0; k < 5; ++k) {
            r.platform.Answer({typed, kCoolerConstruction[k]});
            Road::ClickLine(design->List1, k);
        }
        QCOMPARE(r.platform.yesNoBoxes.size(), 10);
        QCOMPARE(r.platform.beeps, 1 + 10);
        for (const AskedBox& box : r.platform.yesNoBoxes) QVERIFY2(Road::IsRefusal(box.prompt, kRefused), qPrintable(box.prompt));
        Road::Click(design->Command6);
        QCOMPARE(design->Label4->text(), ResultLabel(kTurbulent));
        QVERIFY(!r.program->Ended());
    }
};

QTEST_MAIN(CoolerRoadTest)
#include "cooler_road_test.moc"
