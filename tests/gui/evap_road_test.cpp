// SPDX-License-Identifier: GPL-3.0-or-later
// The evaporator road on screen, driven through the scripted platform and
// reached through the menu's evaporator button: what the student sees at
// each step, what is asked, beeped and printed.
#include "road.h"

#include "evaporator/evap_window.h"
#include "platform/twips.h"

#include <QLabel>

using namespace heatx;

namespace {

// The results of kEvapSheet by tube height, from a separate solution of the
// same balance (chords from x = 1, tangents from the critical flux) that
// keeps its values in 4-byte floats as the program does: alpha in the tubes,
// alpha outside, K in W/(m2 K), F in m2. (In double precision throughout the
// first value at 10 m would read 8097,36.)
struct Expected {
    const char* height;
    const char* alphaTube;
    const char* alphaShell;
    const char* k;
    const char* f;
};
const Expected kH1 = {"1", "8882,78", "9603,01", "1394,73", "16,67"};
const Expected kH4 = {"4", "8444,58", "6221,95", "1281,95", "18,14"};
const Expected kH10 = {"10", "8097,37", "4692,56", "1195,31", "19,46"};

const QString kMargin(12, QLatin1Char(' '));
const QString kHeightRefused = QStringLiteral("Высота труб от 1 до 10 метров.");
const QString kModelMessage =
    QStringLiteral("Ошибка в исходной информации(см.массив физсвойств.)    Продолжаете работу ?");

SheetWindow* Sheet(const Road& r) { return r.Win<SheetWindow>("Form10"); }
ErrorDialog* Dialog(const Road& r) { return r.Win<ErrorDialog>("Form8"); }
Form11* Design(const Road& r) { return r.Win<Form11>("Form11"); }

// The evaporator's sheet from the menu, every line answered. The button is
// hidden in the menu, so the test presses it as the program would.
void ToEvapSheet(Road& r, const QStringList& sheet = kEvapSheet) {
    if (!r.form4()) r.ToMenu();
    r.platform.Answer(sheet);
    r.form4()->Command1->click();
}

// On through the keep button to the design window and one tube height.
void ToResults(Road& r, const QString& height = QStringLiteral("4"), const QStringList& sheet = kEvapSheet) {
    ToEvapSheet(r, sheet);
    r.platform.Answer({height});
    Road::Click(Sheet(r)->Command1);
}

QString SheetLine(const CalcState& s, int i) { return ComposeLine(s.EvapCaptions[i], 62, s.EvapValueTexts[i]); }

// The value row of the result block, by the two sets of column widths.
QString FirstRunRow(const Expected& e) {
    return QString(e.alphaTube).rightJustified(10) + QString(8, ' ') + QString(e.alphaShell).rightJustified(11) +
           QString(8, ' ') + QString(e.k).rightJustified(9) + QString(8, ' ') + QString(e.f).rightJustified(7) +
           QString(10, ' ');
}
QString HeightChangeRow(const Expected& e) {
    return QString(e.alphaTube).rightJustified(10) + QString(10, ' ') + QString(e.alphaShell).rightJustified(9) +
           QString(9, ' ') + QString(e.k).rightJustified(9) + QString(8, ' ') + QString(e.f).rightJustified(7) +
           QString(10, ' ');
}

// The printed table row: each text centred in its cell.
QString Cell(const QString& text, int width) {
    const int left = (width - int(text.size())) / 2;
    return QString(left, ' ') + text + QString(width - left - int(text.size()), ' ') + '|';
}
QString TableRow(const Expected& e) {
    return kMargin + '|' + Cell(e.height, 8) + Cell(e.alphaTube, 13) + Cell(e.alphaShell, 13) + Cell(e.k, 13) +
           Cell(e.f, 13);
}
const QStringList kTableHeader = {
    QStringLiteral("            __________________________________________________________________"),
    QStringLiteral("            | ВЫСОТА | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | КОЭФФИЦИЕНТ | ПОВЕРХНОСТЬ |"),
    QStringLiteral("            |  ТРУБ  | ТЕПЛООТДАЧИ | ТЕПЛООТДАЧИ |ТЕПЛОПЕРЕДАЧИ| ТЕПЛООБМЕНА |"),
    QStringLiteral("            |   М    | В ТР. ПР-ВЕ | В МТР.ПР-ВЕ |             |     М^2     |"),
    QStringLiteral("            |________|_____________|_____________|_____________|_____________|"),
};
const QStringList kClosing = {kMargin + QString(66, '_'), QString(), QString(), QString()};

int Count(const QStringList& lines, const QString& part) {
    int n = 0;
    for (const QString& line : lines) n += line.contains(part) ? 1 : 0;
    return n;
}

}  // namespace

class EvapRoadTest : public RoadTest {
    Q_OBJECT

private slots:
    void initTestCase() {
        RoadTest::initTestCase();
        qunsetenv("HEATX_EVAPORATOR");
    }

    void buttonHiddenUnlessTheTeacherAsks() {
        Road& r = *road;
        QVERIFY(!EvaporatorSwitchOn());
        r.ToMenu();
        QVERIFY(!r.form4()->Command1->isVisible());
        QVERIFY(r.form4()->Command2->isVisible());

        for (const char* value : {"0", "", "yes", "11"}) {
            qputenv("HEATX_EVAPORATOR", value);
            QVERIFY2(!EvaporatorSwitchOn(), value);
        }
        qputenv("HEATX_EVAPORATOR", "1");
        const bool on = EvaporatorSwitchOn();
        qunsetenv("HEATX_EVAPORATOR");
        QVERIFY(on);

        // A program started with the switch: the button stands in the menu
        // and a real click on it opens the evaporator's sheet.
        Road shown;
        shown.program->ShowEvaporator(on);
        shown.ToMenu();
        Form4* menu = shown.form4();
        QVERIFY(menu->Command1->isVisible());
        QCOMPARE(menu->Command1->text(), QStringLiteral("ИСПАРИТЕЛЬ"));
        QCOMPARE(Twips(menu->Command1).top, 1320.0);
        QCOMPARE(FaceColor(menu->Command1), QColor(255, 255, 0));
        shown.platform.Answer(kEvapSheet);
        Road::Click(menu->Command1);
        QVERIFY(Sheet(shown) && Sheet(shown)->isVisible());
        QCOMPARE(shown.loaded(), QStringList{"Form10"});
        QVERIFY(shown.platform.exhausted.isEmpty());
    }

    void threeHeightsPrintedThenTheMenu() {
        Road& r = *road;
        ToEvapSheet(r);
        SheetWindow* sheet = Sheet(r);
        QVERIFY(sheet && sheet->isVisible());
        QCOMPARE(r.loaded(), QStringList{"Form10"});
        QCOMPARE(r.state.PrintHeadPending, kSet);
        QCOMPARE(r.state.PrintTableHeaderPending, kSet);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("   ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"));
        // One box per sheet line, each a little lower than the one before.
        QCOMPARE(r.platform.inputBoxes.size(), 1 + 15);
        for (int i = 0; i < 15; ++i) {
            const AskedBox& box = r.platform.inputBoxes[1 + i];
            QCOMPARE(box.prompt, r.state.EvapCaptions[i]);
            QCOMPARE(box.title, QStringLiteral("ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"));
            QCOMPARE(box.x, 4000);
            QCOMPARE(box.y, sheet_layout::FirstEntryPromptY(i));
        }
        QCOMPARE(r.state.EvapCaptions[9], QStringLiteral(" ПЛОТНОСТЬ ПАРОВ ЖИДКОСТИ ПРИ ТЕМПЕРАТУРЕ КИПЕНИЯ, КГ/(М^3)"));
        QCOMPARE(r.state.EvapValueTexts[3], QStringLiteral("0.000191"));
        QCOMPARE(r.state.InputValues[3], 0.000191f);
        // The sheet's own geometry: nothing of the menu's preparation moves it.
        QCOMPARE(sheet->LeftTwips(), 100.0);
        QCOMPARE(sheet->WidthTwips(), 10000.0);
        QCOMPARE(sheet->HeightTwips(), 8000.0);
        QCOMPARE(Twips(sheet->List1).height, 3000.0);
        QCOMPARE(Twips(sheet->Label3).left, 6000 - 3495 / 2.0);
        QCOMPARE(Twips(sheet->Label3).top, 4500.0);
        QCOMPARE(Twips(sheet->Command3).left, 6000 - 2055 / 2.0);
        // Review, green: the fifteen composed lines in the disabled list.
        QCOMPARE(sheet->List1->count(), 15);
        QCOMPARE(sheet->List1->item(9)->text(),
                 QStringLiteral(" ПЛОТНОСТЬ ПАРОВ ЖИДКОСТИ ПРИ ТЕМПЕРАТУРЕ КИПЕНИЯ, КГ/(М^3)   0.598"));
        QVERIFY(sheet->List1->isVisible() && !sheet->List1->isEnabled());
        QVERIFY(sheet->Command1->isVisible() && sheet->Command2->isVisible() && sheet->Label1->isVisible());
        QCOMPARE(sheet->Command1->PictureName(), QStringLiteral("ne_izm_g.bmp"));

        r.platform.Answer({kH4.height});
        Road::Click(sheet->Command1);
        Form11* design = Design(r);
        QVERIFY(design && design->isVisible());
        QCOMPARE(r.loaded(), QStringList{"Form11"});
        QCOMPARE(design->windowTitle(), QStringLiteral("РАСЧЁТ ИСПАРИТЕЛЕЙ"));
        QCOMPARE(Road::PaleFaces(design), QStringList());
        QCOMPARE(design->LeftTwips(), 100.0);
        QCOMPARE(design->TopTwips(), 100.0);
        QCOMPARE(design->WidthTwips(), 12000.0);
        QCOMPARE(design->HeightTwips(), 8000.0);
        QCOMPARE(design->BackColor(), QColor(255, 255, 0));
        const AskedBox& heightBox = r.platform.inputBoxes.last();
        QCOMPARE(heightBox.prompt, QStringLiteral("  ВВЕДИТЕ ВЫСОТУ ТРУБ, М "));
        QCOMPARE(heightBox.title, QStringLiteral("ВВОД ВЫСОТЫ ТРУБ"));
        QCOMPARE(heightBox.x, 2000);
        QCOMPARE(heightBox.y, 1000);
        QCOMPARE(design->Label1->text(), QStringLiteral("  ВЫСОТА ТРУБ 4 М"));
        const QStringList block = design->Label2->text().split('\n');
        QCOMPARE(block.size(), 6);
        QCOMPARE(block[0], QStringLiteral("                РЕЗУЛЬТАТЫ УТОЧНЁННОГО РАСЧЁТА"));
        QCOMPARE(block[1], QString());
        QCOMPARE(block[4], QStringLiteral("В ТР. ПР-ВЕ        В МТР.ПР-ВЕ                           М^2"));
        QCOMPARE(block[5], FirstRunRow(kH4));
        for (QWidget* w : {(QWidget*)design->Command1, (QWidget*)design->Command2, (QWidget*)design->Command3,
                           (QWidget*)design->Command4, (QWidget*)design->Command5, (QWidget*)design->Label1,
                           (QWidget*)design->Label2})
            QVERIFY2(w->isVisible(), qPrintable(w->objectName()));
        QCOMPARE(design->Command1->text(), QStringLiteral("ПЕЧАТЬ РЕУЛЬТАТА ( F расч. < F норм. )"));
        QCOMPARE(Twips(design->Command5).top, 6240.0);
        QCOMPARE(FaceColor(design->Command4), QColor(255, 192, 128));
        QCOMPARE(r.platform.beeps, 0);

        // First print: head, table header, row.
        Road::Click(design->Command1);
        QVERIFY(!design->Command1->isVisible());
        QCOMPARE(r.state.PrintStarted, kSet);
        QCOMPARE(r.platform.apparatus, QStringLiteral("испаритель"));
        QCOMPARE(r.platform.printer.fontName, QStringLiteral("Courier New Cyr"));
        QCOMPARE(r.platform.printer.fontSize, 9.0);
        const QStringList& lines = r.platform.printer.lines;
        QCOMPARE(lines.size(), 19 + 5 + 1);
        QCOMPARE(lines[0], kMargin + QStringLiteral(" 07 декабря 2026г.        14:05:33") +
                               QStringLiteral("                Расчет испарителя"));
        QCOMPARE(lines[1], kMargin + QStringLiteral("Студент С.с. Гр. Х-10 "));
        QCOMPARE(lines[2], QString());
        for (int i = 0; i < 15; ++i)
            QCOMPARE(lines[3 + i], kMargin + ComposeLine(r.state.EvapCaptions[i], 65, r.state.EvapValueTexts[i]));
        QCOMPARE(lines[18], QString());
        QCOMPARE(lines.mid(19, 5), kTableHeader);
        QCOMPARE(lines[24], TableRow(kH4));

        // Two more heights, each printed once under the same header.
        r.platform.Answer({kH10.height});
        Road::Click(design->Command2);
        QCOMPARE(design->Label1->text(), QStringLiteral("  ВЫСОТА ТРУБ 10 М"));
        QCOMPARE(design->Label2->text().split('\n')[5], HeightChangeRow(kH10));
        QVERIFY(design->Command1->isVisible());
        Road::Click(design->Command1);
        r.platform.Answer({kH1.height});
        Road::Click(design->Command2);
        QCOMPARE(design->Label2->text().split('\n')[5], HeightChangeRow(kH1));
        Road::Click(design->Command1);
        QCOMPARE(lines.size(), 19 + 5 + 3);
        QCOMPARE(lines[25], TableRow(kH10));
        QCOMPARE(lines[26], TableRow(kH1));
        QCOMPARE(Count(lines, QStringLiteral("Расчет испарителя")), 1);
        QCOMPARE(Count(lines, QStringLiteral("| ВЫСОТА |")), 1);
        QVERIFY(r.platform.printer.documents.isEmpty());
        QCOMPARE(r.platform.beeps, 0);

        // To the menu: the closing rule under the table, then the document
        // ends, with the menu already on the screen for the message about it.
        QWidget* messageOver = nullptr;
        r.platform.printer.onEnd = [&] { messageOver = MessageParent(); };
        Road::Click(design->Command4);
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QCOMPARE(messageOver, static_cast<QWidget*>(r.form4()));
        const QStringList document = r.platform.printer.documents[0];
        QCOMPARE(document.size(), 27 + 4);
        QCOMPARE(document.mid(27), kClosing);
        QCOMPARE(r.state.PrintHeadPending, kClear);
        QCOMPARE(r.state.PrintTableHeaderPending, kSet);
        Form4* menu = r.form4();
        QVERIFY(menu && menu->isVisible());
        QVERIFY(!menu->Command1->isVisible());
        QCOMPARE(r.loaded(), (QStringList{"Form11", "Form4"}));
        QVERIFY(!Design(r)->isVisible());

        // A second visit starts a new report of its own.
        ToResults(r, "2,5");
        QCOMPARE(Design(r)->Label1->text(), QStringLiteral("  ВЫСОТА ТРУБ 2.5 М"));
        QVERIFY(Design(r)->Command1->isVisible() && !Design(r)->Label2->text().isEmpty());
        Road::Click(Design(r)->Command1);
        QCOMPARE(r.platform.printer.lines.size(), 25);
        QVERIFY(r.platform.printer.lines[24].startsWith(kMargin + QStringLiteral("|  2.5   |")));
        Road::Click(Design(r)->Command5);
        QVERIFY(r.program->Ended());
        QCOMPARE(r.platform.printer.documents.size(), 2);
        QCOMPARE(r.platform.printer.documents[1].mid(25), kClosing);
    }

    // The evaporator's sheet is too narrow for the note beside the marked
    // line: it stands under the printed lines and names the line, on two
    // rows when one is too short.
    void theMarkedLineSaysWhatIsAllowed() {
        Road& r = *road;
        QStringList wrong = kEvapSheet;
        wrong[1] = "800,5e9";
        ToEvapSheet(r, wrong);
        Road::Click(Sheet(r)->Command1);
        QCOMPARE(Sheet(r)->RangeNote->text(), QStringLiteral("ПЛОТНОСТЬ КОНДЕНСАТА: ДОПУСТИМО ОТ 800 ДО 1100 КГ/(М^3)"));
        QCOMPARE(Road::RangeNoteFault(Sheet(r)), QString());
        Road::Click(Dialog(r)->Command1);
        r.platform.Answer({kEvapSheet[1], "0"});
        Road::ClickLine(Sheet(r)->List1, 1);
        Road::ClickLine(Sheet(r)->List1, 9);
        Road::Click(Sheet(r)->Command3);
        QCOMPARE(Sheet(r)->RangeNote->text(),
                 QStringLiteral("ПЛОТНОСТЬ ПАРОВ ЖИДКОСТИ ПРИ ТЕМПЕРАТУРЕ КИПЕНИЯ: ДОПУСТИМО БОЛЬШЕ 0,01 И НЕ БОЛЬШЕ 100 КГ/(М^3)"));
        QCOMPARE(Road::RangeNoteFault(Sheet(r)), QString());
    }

    void heightLimits() {
        Road& r = *road;
        ToEvapSheet(r);
        const int asked = r.platform.inputBoxes.size();
        // 0.99 and 10.01 lie outside, an empty answer reads 0; exactly 1 is taken.
        r.platform.Answer({"0,99", "10,01", "", "1"});
        r.platform.yesNoAnswers = {kAnswerYes, kAnswerYes, kAnswerYes};
        Road::Click(Sheet(r)->Command1);
        Form11* design = Design(r);
        QCOMPARE(r.platform.inputBoxes.size(), asked + 4);
        for (const AskedBox& box : r.platform.inputBoxes.mid(asked)) {
            QCOMPARE(box.title, QStringLiteral("ВВОД ВЫСОТЫ ТРУБ"));
            QCOMPARE(box.x, 2000);
            QCOMPARE(box.y, 1000);
        }
        QCOMPARE(r.platform.beeps, 3);
        QCOMPARE(r.platform.yesNoBoxes.size(), 3);
        const QStringList said = {QStringLiteral("ВВЕДЕНО «0,99»"), QStringLiteral("ВВЕДЕНО «10,01»"),
                                  QStringLiteral("НИЧЕГО НЕ ВВЕДЕНО")};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(r.platform.yesNoBoxes[i].title, QStringLiteral("ОШИБКА !"));
            QCOMPARE(r.platform.yesNoBoxes[i].prompt, kHeightRefused + QStringLiteral("\nВЫСОТА ТРУБ: ") + said[i] +
                                                          QStringLiteral("; ДОПУСТИМО ОТ 1 ДО 10 М\n    Продолжаете работу ?"));
        }
        QCOMPARE(r.state.MessageAnswer, float(kAnswerYes));
        QCOMPARE(design->Label1->text(), QStringLiteral("  ВЫСОТА ТРУБ 1 М"));
        QCOMPARE(design->Label2->text().split('\n')[5], FirstRunRow(kH1));

        // Exactly 10 is taken at once.
        r.platform.Answer({"10"});
        Road::Click(design->Command2);
        QCOMPARE(r.platform.beeps, 3);
        QCOMPARE(design->Label2->text().split('\n')[5], HeightChangeRow(kH10));

        // "Нет" ends the whole program from the height prompt.
        r.platform.Answer({"10,01"});
        r.platform.yesNoAnswers = {kAnswerNo};
        Road::Click(design->Command2);
        QCOMPARE(r.platform.beeps, 4);
        QVERIFY(r.program->Ended());
        QCOMPARE(r.quits, 1);
        QVERIFY(r.loaded().isEmpty());
        QVERIFY(r.platform.printer.lines.isEmpty() && r.platform.printer.documents.isEmpty());
    }

    void wrongSheetCorrectedThroughTheErrorDialog() {
        Road& r = *road;
        QStringList answers = kEvapSheet;
        answers[3] = "0,00001";  // a 4-byte 0.00001 lies below the 8-byte bound
        answers[12] = "";        // 0 K: fails the second pass
        ToEvapSheet(r, answers);
        SheetWindow* sheet = Sheet(r);
        QCOMPARE(r.state.CalcError, kSet);
        QCOMPARE(int(r.state.BadLineIndex), 3);
        QCOMPARE(r.state.EvapValueTexts[12], QStringLiteral("0"));
        // Review, red: the lines printed on the window instead of the list.
        QCOMPARE(sheet->Command1->PictureName(), QStringLiteral("ne_izm_r.bmp"));
        QVERIFY(!sheet->List1->isVisible());
        QCOMPARE(sheet->Surface().size(), 15);
        for (int i = 0; i < 15; ++i) {
            QCOMPARE(sheet->Surface()[i].x, 530.0);
            QCOMPARE(sheet->Surface()[i].y, sheet_layout::SurfaceY(i));
            QCOMPARE(sheet->Surface()[i].text, SheetLine(r.state, i));
        }

        // The run refuses the sheet: error view and the dialog.
        Road::Click(sheet->Command1);
        QCOMPARE(r.platform.beeps, 1);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("   ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ"));
        QVERIFY(!sheet->List1->isVisible() && !sheet->Command1->isVisible() && !sheet->Command2->isVisible());
        QCOMPARE(sheet->Surface().size(), 15);
        QVERIFY(sheet->Label2->isVisible());
        QCOMPARE(sheet->Label2->text(), SheetLine(r.state, 3));
        QCOMPARE(Twips(sheet->Label2).left, 530.0);
        QCOMPARE(Twips(sheet->Label2).top, sheet_layout::MarkerY(3));
        QCOMPARE(Twips(sheet->Label2).width, 9000.0);
        ErrorDialog* dialog = Dialog(r);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(r.loaded(), (QStringList{"Form10", "Form8"}));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Form8"));
        QCOMPARE(dialog->Label1->text(), QStringLiteral("Ошибка в исходной информации."));
        QCOMPARE(dialog->Label2->text(), QStringLiteral("  Изменяете исходную информацию?"));
        QVERIFY(!dialog->Image1->pixmap().isNull());
        // Placed by its load handler: top 4500, centred on the sheet's width;
        // "Да" first in the tab order.
        QCOMPARE(dialog->TopTwips(), 4500.0);
        QCOMPARE(dialog->LeftTwips(), (10000 - dialog->WidthTwips()) / 2);
        QCOMPARE(dialog->WidthTwips(), 4680 + kFrameWidthTwips);
        QCOMPARE(dialog->HeightTwips(), 1155 + kFrameHeightTwips);
        QCOMPARE(Road::FocusIn(dialog), static_cast<QWidget*>(dialog->Command1));
        QVERIFY(Road::AboveItsSheet(dialog, sheet));
        QVERIFY(r.platform.inputBoxes.size() == 16);

        Road::Click(dialog->Command1);
        QVERIFY(!Dialog(r));
        QVERIFY(sheet->Label3->isVisible() && sheet->List1->isVisible() && sheet->List1->isEnabled());
        QVERIFY(!sheet->Label2->isVisible() && !sheet->Command3->isVisible());
        QVERIFY(sheet->Surface().isEmpty());

        // Line 3 corrected; line 12 still fails, so the end button is red.
        r.platform.Answer({"0,000191"});
        Road::ClickLine(sheet->List1, 3);
        QCOMPARE(r.platform.inputBoxes.last().prompt, r.state.EvapCaptions[3]);
        QCOMPARE(r.platform.inputBoxes.last().x, 4000);
        QCOMPARE(r.platform.inputBoxes.last().y, sheet_layout::EditPromptY(3));
        QCOMPARE(sheet->List1->item(3)->text(), SheetLine(r.state, 3));
        QCOMPARE(sheet->List1->count(), 15);
        QVERIFY(!sheet->Label3->isVisible());
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_r.bmp"));
        QCOMPARE(int(r.state.BadLineIndex), 12);

        // End of corrections with line 12 still wrong: the error view again.
        Road::Click(sheet->Command3);
        QCOMPARE(r.platform.beeps, 2);
        QCOMPARE(sheet->Label2->text(), SheetLine(r.state, 12));
        QCOMPARE(Twips(sheet->Label2).top, sheet_layout::MarkerY(12));
        QCOMPARE(sheet->Surface().size(), 15);
        QVERIFY(Dialog(r) && Dialog(r)->isVisible());
        QCOMPARE(Dialog(r)->TopTwips(), 4500.0);

        Road::Click(Dialog(r)->Command1);
        r.platform.Answer({"43"});
        Road::ClickLine(sheet->List1, 12);
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_g.bmp"));
        // Editing the last line keeps it last.
        r.platform.Answer({"1000000"});
        Road::ClickLine(sheet->List1, 14);
        QCOMPARE(sheet->List1->item(14)->text(), SheetLine(r.state, 14));
        QCOMPARE(r.platform.inputBoxes.last().y, sheet_layout::EditPromptY(14));

        r.platform.Answer({"4"});
        Road::Click(sheet->Command3);
        QCOMPARE(r.loaded(), QStringList{"Form11"});
        QCOMPARE(Design(r)->Label2->text().split('\n')[5], FirstRunRow(kH4));
        QCOMPARE(r.platform.beeps, 2);
    }

    void errorDialogNoEndsTheProgram() {
        Road& r = *road;
        QStringList answers = kEvapSheet;
        answers[14] = "";  // no heat load
        ToEvapSheet(r, answers);
        Road::Click(Sheet(r)->Command1);
        QCOMPARE(Sheet(r)->Label2->text(), SheetLine(r.state, 14));
        Road::Click(Dialog(r)->Command2);
        QVERIFY(r.program->Ended());
        QVERIFY(r.loaded().isEmpty());
        QVERIFY(r.platform.printer.documents.isEmpty());
    }

    void modelFailureThenCorrected() {
        Road& r = *road;
        QStringList answers = kEvapSheet;
        answers[12] = "0,00001";  // passes the check, but even 1 W/m2 needs more
        r.platform.yesNoAnswers = {kAnswerNo};
        ToResults(r, "4", answers);
        // The model's beep and the failure path's beep, then the question;
        // "Нет" ends the program.
        QCOMPARE(r.state.CalcError, kSet);
        QCOMPARE(r.platform.beeps, 2);
        QCOMPARE(r.platform.yesNoBoxes.size(), 1);
        QCOMPARE(r.platform.yesNoBoxes[0].title, QStringLiteral("ОШИБКА !"));
        QCOMPARE(r.platform.yesNoBoxes[0].prompt, kModelMessage);
        QVERIFY(r.program->Ended());
        QVERIFY(r.loaded().isEmpty());

        // Again, answering "Да": no numbers and no print button.
        road = std::make_unique<Road>();
        Road& again = *road;
        again.platform.yesNoAnswers = {kAnswerYes};
        ToResults(again, "4", answers);
        Form11* design = Design(again);
        QVERIFY(!again.program->Ended());
        QVERIFY(design->Label1->isVisible());
        QCOMPARE(design->Label1->text(), QStringLiteral("  ВЫСОТА ТРУБ 4 М"));
        QVERIFY(!design->Label2->isVisible() && !design->Command1->isVisible());
        QVERIFY(design->Command2->isVisible() && design->Command3->isVisible() && design->Command4->isVisible() &&
                design->Command5->isVisible());
        QCOMPARE(design->Command3->focusPolicy(), Qt::StrongFocus);

        // Another height fails the same way; the height line names it.
        again.platform.Answer({"2"});
        again.platform.yesNoAnswers = {kAnswerYes};
        Road::Click(design->Command2);
        QCOMPARE(again.platform.beeps, 4);
        QCOMPARE(design->Label1->text(), QStringLiteral("  ВЫСОТА ТРУБ 2 М"));
        QVERIFY(!design->Command1->isVisible() && !design->Label2->isVisible());

        // Back to the sheet, 43 K, and the run succeeds: printing is offered.
        Road::Click(design->Command3);
        SheetWindow* sheet = Sheet(again);
        QVERIFY(sheet && sheet->isVisible());
        again.platform.Answer({"43"});
        Road::ClickLine(sheet->List1, 12);
        again.platform.Answer({"4"});
        Road::Click(sheet->Command3);
        design = Design(again);
        QCOMPARE(again.state.CalcError, kClear);
        QVERIFY(design->Command1->isVisible() && design->Label2->isVisible());
        QCOMPARE(design->Label2->text().split('\n')[5], FirstRunRow(kH4));
        QCOMPARE(again.platform.beeps, 4);
    }

    void backToTheSheetAfterAPrint() {
        Road& r = *road;
        ToResults(r);
        Road::Click(Design(r)->Command1);
        const int afterFirst = r.platform.printer.lines.size();
        QCOMPARE(afterFirst, 25);

        Road::Click(Design(r)->Command3);
        QVERIFY(!Design(r));
        QCOMPARE(r.loaded(), QStringList{"Form10"});
        // The document stays open; the next row starts a new head and table.
        QVERIFY(r.platform.printer.documents.isEmpty());
        QCOMPARE(r.state.PrintHeadPending, kSet);
        QCOMPARE(r.state.PrintTableHeaderPending, kSet);
        QCOMPARE(r.state.PrintStarted, kSet);
        SheetWindow* sheet = Sheet(r);
        QVERIFY(sheet->isVisible());
        QCOMPARE(sheet->windowTitle(), QStringLiteral("   ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ"));
        QVERIFY(sheet->List1->isVisible() && sheet->List1->isEnabled() && sheet->Label3->isVisible());
        QVERIFY(!sheet->Command1->isVisible() && !sheet->Command2->isVisible() && !sheet->Command3->isVisible());
        QCOMPARE(Road::Lines(sheet->List1).size(), 15);
        for (int i = 0; i < 15; ++i) QCOMPARE(sheet->List1->item(i)->text(), SheetLine(r.state, i));

        // Twice the heat load: twice the surface, same coefficients.
        r.platform.Answer({"2000000"});
        Road::ClickLine(sheet->List1, 14);
        r.platform.Answer({"4"});
        Road::Click(sheet->Command3);
        Road::Click(Design(r)->Command1);
        const QStringList& lines = r.platform.printer.lines;
        QCOMPARE(lines.size(), afterFirst + 25);
        // The new head follows the last row directly, with the changed line.
        QVERIFY(lines[afterFirst].contains(QStringLiteral("Расчет испарителя")));
        QCOMPARE(lines[afterFirst + 3 + 14],
                 kMargin + ComposeLine(r.state.EvapCaptions[14], 65, QStringLiteral("2000000")));
        QCOMPARE(lines.mid(afterFirst + 19, 5), kTableHeader);
        QCOMPARE(lines.last(), TableRow({"4", "8444,58", "6221,95", "1281,95", "36,28"}));

        Road::Click(Design(r)->Command5);
        QVERIFY(r.program->Ended());
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QCOMPARE(r.platform.printer.documents[0].size(), afterFirst + 25 + 4);
        QCOMPARE(r.platform.printer.documents[0].mid(afterFirst + 25), kClosing);
    }

    void leavingWithoutPrintTouchesNoPrinter() {
        Road& r = *road;
        ToResults(r);
        Road::Click(Design(r)->Command4);
        QVERIFY(r.form4()->isVisible());
        ToResults(r);
        Road::Click(Design(r)->Command5);
        QVERIFY(r.program->Ended());
        QVERIFY(r.platform.printer.lines.isEmpty() && r.platform.printer.documents.isEmpty());
    }

    void endingOtherwiseAfterAPrintClosesTheTable() {
        // "Нет" at the height prompt after a print: the table is closed and
        // the document sent, as when the student leaves by a button.
        Road& r = *road;
        ToResults(r);
        Road::Click(Design(r)->Command1);
        r.platform.Answer({"0"});
        r.platform.yesNoAnswers = {kAnswerNo};
        Road::Click(Design(r)->Command2);
        QVERIFY(r.program->Ended());
        QCOMPARE(r.platform.printer.documents.size(), 1);
        QCOMPARE(r.platform.printer.documents[0].mid(25), kClosing);

        // The design window closed by its close box after a print.
        road = std::make_unique<Road>();
        Road& closed = *road;
        ToResults(closed);
        Road::Click(Design(closed)->Command1);
        QVERIFY(Design(closed)->close());
        QVERIFY(closed.program->Ended());
        QCOMPARE(closed.platform.printer.documents.size(), 1);
        QCOMPARE(closed.platform.printer.documents[0].mid(25), kClosing);
    }

    void longHeightTextIsPrintedWhole() {
        // A height text longer than its cell: the value 2.5 is taken, and the
        // row gives the text whole rather than cutting a digit off.
        Road& r = *road;
        const QString typed = QStringLiteral("2,5") + QString(300, '0');
        ToResults(r, typed);
        QCOMPARE(r.state.InputValues[15], 2.5f);
        QVERIFY(Design(r)->Label1->text().startsWith(QStringLiteral("  ВЫСОТА ТРУБ 2.5000")));
        Road::Click(Design(r)->Command1);
        const QString row = r.platform.printer.lines.last();
        QVERIFY(row.startsWith(kMargin + QStringLiteral("|2.5") + QString(300, '0') + '|'));
        QCOMPARE(row.count('|'), 6);
    }

    // No hidden or disabled control has the focus or answers a key: the red
    // sheet and its dialog, editing, the design window after a print and in
    // the model's failure view.
    void hiddenControlsNeverAnswerAKey() {
        Road& r = *road;
        QStringList wrong = kEvapSheet;
        wrong[1] = "5";
        ToEvapSheet(r, wrong);
        r.platform.Answer({kEvapSheet[1], "4"});
        r.StepsKeepHiddenControlsQuiet({
            [&] { Road::Click(Sheet(r)->Command1); },
            [&] { QVERIFY(Dialog(r)); Road::Click(Dialog(r)->Command1); },
            [&] { Road::ClickLine(Sheet(r)->List1, 1); },
            [&] { Road::Click(Sheet(r)->Command3); },
            [&] { Road::Click(Design(r)->Command1); },
        });
    }

    // After a print a line in place of the print button names the report's
    // file; a cancelled height change keeps it, a new height removes it.
    void aPrintSaysWhereTheRowWent() {
        Road& r = *road;
        ToResults(r);
        Form11* design = Design(r);
        r.PrintNamesTheCopy(design, design->Note, design->Command1);
        r.platform.Answer({QString(), "5"});
        Road::Click(design->Command2);
        QCOMPARE(Road::PrintNoteFault(design, design->Note, design->Command1), QString());
        Road::Click(design->Command2);
        QVERIFY(!design->Note->isVisible() && design->Command1->isVisible());
    }

    // A cancelled box keeps the value of a line asked for again: a sheet
    // line and the tube height of "ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ", whose window
    // comes back as it was (printed once, the print button stays away).
    void cancellingAChangeKeepsTheValue() {
        Road& r = *road;
        ToEvapSheet(r);
        SheetWindow* sheet = Sheet(r);
        Road::Click(sheet->Command2);
        r.platform.Answer({QString()});
        Road::ClickLine(sheet->List1, 6);
        QCOMPARE(r.state.EvapValueTexts[6], QStringLiteral("4220"));
        QVERIFY(sheet->Label3->isVisible() && !sheet->Command3->isVisible());
        r.platform.Answer({"4220"});
        Road::ClickLine(sheet->List1, 6);
        r.platform.Answer({"4"});
        Road::Click(sheet->Command3);
        Form11* design = Design(r);
        Road::Click(design->Command1);
        const QString results = design->Label2->text();
        r.platform.Answer({QString()});
        Road::Click(design->Command2);
        QCOMPARE(r.state.EvapValueTexts[15], QStringLiteral("4"));
        QCOMPARE(design->Label2->text(), results);
        QVERIFY(design->Label2->isVisible() && design->Command2->isVisible() && !design->Command1->isVisible());
        QCOMPARE(r.platform.yesNoBoxes.size(), 0);
    }

    void hostileTexts_data() {
        HostileRows();
    }
    void hostileTexts() {
        QFETCH(QString, typed);
        Road& r = *road;
        // Every sheet line typed so: the sheet fails on its first line.
        ToEvapSheet(r, QStringList(15, typed));
        SheetWindow* sheet = Sheet(r);
        QCOMPARE(r.state.CalcError, kSet);
        QCOMPARE(int(r.state.BadLineIndex), 0);
        QCOMPARE(sheet->Command1->PictureName(), QStringLiteral("ne_izm_r.bmp"));
        QCOMPARE(sheet->Surface().size(), 15);
        QVERIFY(sheet->Surface()[14].text.endsWith(NormalizeDecimal(typed)));
        Road::Click(sheet->Command1);
        QCOMPARE(sheet->Label2->text(), SheetLine(r.state, 0));
        Road::Click(Dialog(r)->Command1);

        // The line-editing box: the same text is taken into the line and
        // keeps the sheet red.
        r.platform.Answer({typed});
        Road::ClickLine(sheet->List1, 7);
        QCOMPARE(r.state.EvapValueTexts[7], NormalizeDecimal(typed));
        QCOMPARE(sheet->List1->item(7)->text(), SheetLine(r.state, 7));
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_r.bmp"));
        for (int i = 0; i < 15; ++i) {
            r.platform.Answer({kEvapSheet[i]});
            Road::ClickLine(sheet->List1, i);
        }
        QCOMPARE(sheet->Command3->PictureName(), QStringLiteral("end_g.bmp"));

        // The height box: refused with the height message, then 4 is taken.
        r.platform.Answer({typed, "4"});
        r.platform.yesNoAnswers = {kAnswerYes};
        const int beeps = r.platform.beeps;
        Road::Click(sheet->Command3);
        Form11* design = Design(r);
        QCOMPARE(r.platform.beeps, beeps + 1);
        QCOMPARE(r.platform.yesNoBoxes.size(), 1);
        QVERIFY(Road::IsRefusal(r.platform.yesNoBoxes[0].prompt, kHeightRefused));
        QCOMPARE(design->Label2->text().split('\n')[5], FirstRunRow(kH4));
        // And again from the height change.
        r.platform.Answer({typed, "10"});
        r.platform.yesNoAnswers = {kAnswerYes};
        Road::Click(design->Command2);
        QCOMPARE(r.platform.yesNoBoxes.size(), 2);
        QVERIFY(Road::IsRefusal(r.platform.yesNoBoxes[1].prompt, kHeightRefused));
        QCOMPARE(design->Label2->text().split('\n')[5], HeightChangeRow(kH10));
        Road::Click(design->Command1);
        QCOMPARE(r.platform.printer.lines.last(), TableRow(kH10));
    }
};

QTEST_MAIN(EvapRoadTest)
#include "evap_road_test.moc"
