// SPDX-License-Identifier: GPL-3.0-or-later
#include "cooler/cooler_window.h"

#include "cooler/cooler_road.h"
#include "cooler/cooler_sweep.h"
#include "window_base/chart_window.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "sheets/sheet_layout.h"
#include "window_base/picture_button.h"
#include "window_base/program.h"
#include "window_base/window_texts.h"
#include "text/text_format.h"

#include <QFontMetrics>

namespace heatx {

namespace {

// The construction of a run as a row of the constructions table.
TriedConstruction CoolerTried(const CalcState& s, bool computed) {
    const auto number = [](float v) { return FormatFixed(v, 0, 2).trimmed(); };
    QStringList cells;
    for (int line = kCoolerFirstConstructive; line <= kCoolerLastConstructive; ++line) cells << s.CoolerValueTexts[line];
    if (computed)
        cells << number(s.ReTube) << number(s.ReShell) << number(s.AlphaTube) << number(s.AlphaShell)
              << number(s.HeatTransferK) << number(s.SurfaceF);
    else cells << QStringLiteral("model");
    return {cells, computed};
}

const QString kDesignTitle = QStringLiteral("РАСЧЁТ ХОЛОДИЛЬНИКОВ");
const QString kConstructiveInputTitle = QStringLiteral("ВВОД КОНСТРУКТИВНЫХ ОСОБЕННОСТЕЙ АППАРАТА");
const QString kReynoldsHeading = QStringLiteral("ЧИСЛО RE В ТР.    ЧИСЛО RE В МТР.ПР-ВЕ");
const QString kModelFailed = QStringLiteral("РАСЧЁТ НЕВОЗМОЖЕН ПРИ ЭТИХ ИСХОДНЫХ ДАННЫХ !");

using sheet_layout::kLineStep;
// Composition widths: the sheet at first entry and after editing a line, the
// sheet re-opened from the design window, the construction list and the
// constructive labels of the design window.
constexpr uint8_t kSheetWidth = 72;
constexpr uint8_t kReopenedWidth = 70;
constexpr uint8_t kListWidth = 80;
constexpr uint8_t kLabelWidth = 75;

// Out of range: beep, then "go on?" with what is wrong. False when the
// answer was "Нет".
bool GoOnAfterRefusal(Program& p, uint8_t line, const QString& typed, bool change) {
    CalcState& s = p.state();
    p.platform().Beep();
    s.MessageAnswer = static_cast<float>(p.platform().YesNoBox(
        texts::kErrorTitle, texts::RefusalText(texts::kInputErrorText, CoolerRefusal(line, typed, change))));
    return s.MessageAnswer != kAnswerNo;
}

}  // namespace

SheetSetup CoolerSheetSetup() {
    return SheetSetup{
        QStringLiteral("Form6"),
        kCoolerSheetLines,
        kSheetWidth,
        4000,
        // The hint is centred on the outer width of the 10000-twip window.
        5000,
        4500,
        [](const CalcState& s, int i) { return s.CoolerCaptions[i]; },
        CoolerValueText,
        CheckCoolerSheet,
        [](int line) { return CoolerAllowedRange(line); },
    };
}

ErrorDialogSetup CoolerErrorDialogSetup() { return ErrorDialogSetup{QStringLiteral("Form14"), 5565, 1245, false}; }

void PrepareCoolerSheet(Program& p) {
    CalcState& s = p.state();
    BeginCoolerRoad(s);
    p.LeaveMenu();
    Form6* sheet = CoolerSheet(p);
    // The cooler's sheet takes the whole screen.
    const QSize screen = p.platform().ScreenSizeTwips();
    sheet->SetWindowTwips(0, 0, screen.width(), screen.height());
    SetTwips(sheet->List1, 500, 1200, 11000, 2700);
    sheet->RunFirstEntry();
}

bool ReadConstructiveLine(Program& p, uint8_t line) {
    CalcState& s = p.state();
    for (;;) {
        const QString answer = p.platform().InputBox(s.CoolerCaptions[line], kConstructiveInputTitle, 800,
                                                     static_cast<int>(700 + kLineStep * (line - 13)));
        StoreCoolerLine(s, line, answer);
        if (CoolerConstructiveInRange(line, s.InputValues[line], CoolerRanges::FirstEntry)) break;
        if (!GoOnAfterRefusal(p, line, answer, false)) {
            p.End();
            return false;
        }
    }
    QLabel* label = CoolerDesign(p)->L[line - kCoolerFirstConstructive];
    label->setText(s.CoolerCaptions[line] + s.CoolerValueTexts[line]);
    label->show();
    return true;
}

void CoolerDialogYes(ErrorDialog& dialog) {
    Program& p = dialog.program();
    CalcState& s = p.state();
    SheetWindow* sheet = dialog.Sheet();
    sheet->show();
    sheet->List1->setEnabled(true);
    sheet->ClearSurface();
    sheet->List1->show();
    sheet->Label2->hide();
    sheet->Command3->show();
    // Selecting the first bad line asks for it at once, as a click on it
    // does; the click first puts the dialog away.
    dialog.hide();
    const int bad = s.BadLineIndex;
    sheet->List1->setCurrentRow(bad);
    sheet->EditLine(bad);
    sheet->SetEndFace(s.CalcError == kClear);
    p.Unload(&dialog);
    sheet->show();
    BringToFront(sheet);
    sheet->List1->setFocus();
}

// ---------------------------------------------------------------------------
// Sheet window

Form6::Form6(Program& program) : SheetWindow(program, CoolerSheetSetup()) {
    onKeepData = [this](SheetWindow&) { KeepData(); };
    onEndCorrections = [this](SheetWindow&) { EndCorrections(); };
}

void Form6::Load() {
    SheetWindow::Load();
    // The end-of-corrections button stands at half the outer width less half
    // the width of the edit button, so a little left of the middle.
    SetLeftTwips(Command3, WidthTwips() / 2 - Twips(Command2).width / 2);
}

void Form6::FillReopenedList() {
    CalcState& s = State();
    List1->clear();
    for (int i = 0; i < kCoolerSheetLines; ++i) {
        s.InputValues[i] = ReadNumber(s.CoolerValueTexts[i]);
        auto* item = new QListWidgetItem(ComposeLine(s.CoolerCaptions[i], kReopenedWidth, s.CoolerValueTexts[i]));
        item->setSizeHint(QSize(0, Px(kLineStep)));
        List1->addItem(item);
    }
}

void Form6::ShowInputError(double dialogLeft) {
    ErrorDialog* dialog = CoolerErrorDialog(program());
    dialog->SetWindowTwips(dialogLeft, 5000, 5895, 1500);
    dialog->ShowOverSheet();
}

void Form6::KeepData() {
    Program& p = program();
    CalcState& s = p.state();
    CoolerErrorDialog(p)->setWindowTitle(texts::kSheetCheckTitle);
    if (!CheckCoolerSheet(s).Ok()) {
        p.platform().Beep();
        Command1->hide();
        Command2->hide();
        ShowBadLine(sheet_layout::kSurfaceLeft, sheet_layout::MarkerY(s.BadLineIndex), 9000);
        ShowInputError(Twips(List1).left + 1600);
        return;
    }
    ClearSurface();
    for (QWidget* w : std::initializer_list<QWidget*>{List1, Label1, Command1, Command2}) w->hide();
    // The constructive lines are asked for over the emptied sheet, and each
    // accepted one is written on it.
    for (uint8_t line = kCoolerFirstConstructive; line <= kCoolerLastConstructive; ++line) {
        if (!ReadConstructiveLine(p, line)) return;
        PrintAt(100, 200 * (line - 12), s.CoolerCaptions[line] + s.CoolerValueTexts[line]);
    }
    hide();
    p.Unload(this);
    p.CloseOtherWindows();
    CoolerDesign(p)->Steps->NewSheet();
    CoolerDesign(p)->CoolerDesignRun();
}

void Form6::EndCorrections() {
    Program& p = program();
    CalcState& s = p.state();
    setWindowTitle(texts::kSheetCheckTitle);
    if (!CheckCoolerSheet(s).Ok()) {
        p.platform().Beep();
        for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, List1}) w->hide();
        ClearSurface();
        PrintLines();
        const TwipsRect list = Twips(List1);
        ShowBadLine(sheet_layout::kSurfaceLeft, list.top + kLineStep * s.BadLineIndex, list.width);
        ShowInputError(list.left + 1600);
        return;
    }
    hide();
    p.Unload(this);
    p.CloseOtherWindows();
    Form13* design = CoolerDesign(p);
    design->Steps->NewSheet();
    design->ClearForConstruction();
    for (uint8_t line = kCoolerFirstConstructive; line <= kCoolerLastConstructive; ++line)
        if (!ReadConstructiveLine(p, line)) return;
    design->CoolerDesignRun();
}

// ---------------------------------------------------------------------------
// Design window

Form13::Form13(Program& program) : FormWindow(program, QStringLiteral("Form13")) {
    setWindowTitle(kDesignTitle);
    const QFont courier = ProgramFont(QStringLiteral("Courier"), 9.75);
    const QColor darkBlue = Rgb(0, 0, 192);
    const QColor yellow = Rgb(255, 255, 0);

    auto label = [&](const QString& name, double left, double top, double width, double height, const QColor& text) {
        return MakeTextLabel(this, name, left, top, width, height, courier, yellow, text);
    };
    for (int k = 0; k < 5; ++k)
        L[k] = label(QStringLiteral("L%1").arg(k), 600, 120 + 240 * k, 10095, 255, Rgb(128, 0, 0));
    // The heading has five lines; in a font with a taller line than the
    // program's own it grows so that none is cut off.
    const double headingHeight = std::max(1000, 5 * TwipsFromPx(QFontMetrics(courier).lineSpacing()));
    Label1 = label(QStringLiteral("Label1"), 1200, 2500, 9000, headingHeight, darkBlue);
    Label4 = label(QStringLiteral("Label4"), 1200, 0, 9000, 255, darkBlue);
    Label5 = label(QStringLiteral("Label5"), 1200, 0, 9000, 500, darkBlue);
    Label6 = label(QStringLiteral("Label6"), 1200, 0, 9000, 255, darkBlue);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFont(courier);
    QPalette green = List1->palette();
    green.setColor(QPalette::Base, Rgb(0, 255, 0));
    List1->setPalette(green);
    EditLinesOnKeys(List1, [this](int row) { ConstructionLineClicked(row); });
    connect(List1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ConstructionLineClicked(List1->row(item)); });

    auto button = [&](const char* name, const QString& caption, const QColor& face, double top, double width) {
        return MakeButton(this, name, caption, face, 2760, top, width, 375);
    };
    Command1 = button("Command1", texts::kPrintButton, Rgb(0, 255, 0), 4680, 5175);
    Command2 = button("Command2", texts::kChangeConstructionButton, Rgb(0, 255, 255), 5160, 5175);
    Command3 = button("Command3", texts::kChangePropertiesButton, Rgb(0, 255, 255), 5640, 5175);
    Command4 = button("Command4", texts::kOtherExchangerButton, Rgb(255, 192, 128), 6120, 5175);
    Command5 = button("Command5", texts::kEndProgramButton, Rgb(255, 128, 0), 6720, 5175);
    Command6 = button("Command6", texts::kGoCalculateButton, Rgb(0, 255, 0), 0, 2175);
    Note = new PrintNote(this, Command1, Label4);
    Steps = std::make_unique<TraceHook>(this, program, 200, 7150,
                                        QStringList{"d, М", "z", "ε", "n", "S, М²", "RE1", "RE2", "α В ТРУБАХ",
                                                    "α СНАРУЖИ", "K", "F, М²"});
    Steps->resultPrinted = [this] { return Command1->isHidden(); };
    Steps->printResult = [this] { Print(); };

    connect(Command1, &QPushButton::clicked, this, [this] { Print(); });
    connect(Command2, &QPushButton::clicked, this, [this] { ShowConstructionList(); });
    connect(Command3, &QPushButton::clicked, this, [this] { ChangeProperties(); });
    connect(Command4, &QPushButton::clicked, this, [this] { OtherExchanger(); });
    connect(Command5, &QPushButton::clicked, this, [this] { EndProgram(); });
    connect(Command6, &QPushButton::clicked, this, [this] { Calculate(); });
}

void Form13::Load() {
    setWindowTitle(kDesignTitle);
    SetWindowTwips(100, 100, 12000, 8000);
    Label1->setText(QStringList{texts::kResultsLine1, QString(), texts::kResultsLine3, texts::kResultsLine4,
                                texts::kResultsLine5}
                        .join(QLatin1Char('\n')));
    SetTwips(List1, (ScaleWidthTwips() - 11000) / 2, 1000, 11000, 1200);
    const TwipsRect heading = Twips(Label1);
    SetTopTwips(Label4, heading.top + heading.height + 50);
    SetTopTwips(Label5, Twips(Label4).top + Twips(Label4).height + 100);
    SetTopTwips(Label6, Twips(Label5).top + Twips(Label5).height - 250);
    Label5->setText(kReynoldsHeading);
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, Label4, Label5, Label6}) w->show();
    // The chart of the design space, beside the Reynolds numbers of a result.
    AddChartButton(this, Label6, SweepCooler);
}

QListWidgetItem* Form13::ListItem(int line) const {
    const CalcState& s = program().state();
    auto* item = new QListWidgetItem(ComposeLine(s.CoolerCaptions[line], kListWidth, s.CoolerValueTexts[line]));
    // Five lines of 15 pixels fill the list without a scroll bar.
    item->setSizeHint(QSize(0, Px(225)));
    return item;
}

void Form13::ClearForConstruction() {
    ClearSurface();
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Command5, Command6,
                                                      List1, Label1, Label4, Label5, Label6})
        w->hide();
    for (QLabel* l : L) l->hide();
    Steps->Hide();
    show();
    BringToFront(this);
}

void Form13::CoolerDesignRun() {
    Program& p = program();
    CalcState& s = p.state();
    List1->hide();
    Command6->hide();
    for (int k = 0; k < 5; ++k) {
        const int line = kCoolerFirstConstructive + k;
        L[k]->setText(ComposeLine(s.CoolerCaptions[line], kLabelWidth, s.CoolerValueTexts[line]));
        L[k]->show();
    }
    const RoadOutcome computed = ComputeCooler(s, Steps->Fresh());
    Steps->Computed(CoolerTried(s, computed.Ok()));

    auto piece = [](float value, uint8_t width, uint8_t decimals, uint8_t padded) {
        const QString t = FormatFixed(value, width, decimals);
        return t + PadTo(t, padded);
    };
    QPalette colours = Label4->palette();
    if (!computed.Ok()) {
        // A result that is not a number (a driving force below the smallest
        // float, say) is neither shown nor printed.
        p.platform().Beep();
        colours.setColor(QPalette::WindowText, Rgb(255, 0, 0));
        Label4->setText(kModelFailed);
        Label6->setText(QString());
    } else {
        colours.setColor(QPalette::WindowText, Rgb(0, 0, 192));
        Label4->setText(piece(s.AlphaTube, 9, 2, 20) + piece(s.AlphaShell, 9, 2, 16) +
                        piece(s.HeatTransferK, 9, 2, 16) + piece(s.SurfaceF, 9, 2, 15));
        Label6->setText(piece(s.ReTube, 9, 1, 20) + piece(s.ReShell, 12, 1, 20));
    }
    Label4->setPalette(colours);
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Command5, Label1,
                                                      Label4, Label5, Label6})
        w->show();
    if (!computed.Ok()) {
        Command1->hide();
        Label5->hide();
        Label6->hide();
    }
    show();
    BringToFront(this);
    (Command1->isVisible() ? Command1 : Command2)->setFocus();
}

void Form13::Print() {
    program().state().PrintStarted = kSet;
    program().PrintCoolerRow();
    Command1->hide();
    Note->Tell(program().platform().ReportPrinter().CopyPath());
    Command2->setFocus();
}

void Form13::ShowConstructionList() {
    const TwipsRect list = Twips(List1);
    SetTwips(Command6, (ScaleWidthTwips() - Twips(Command6).width) / 2, list.top + list.height + 200,
             Twips(Command6).width, 375);
    Command6->show();
    for (QLabel* l : L) l->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Command5, Label1,
                                                      Label4, Label5, Label6})
        w->hide();
    Steps->Hide();
    List1->setEnabled(true);
    List1->show();
    List1->clear();
    SetTopTwips(List1, 1000);
    for (int line = kCoolerFirstConstructive; line <= kCoolerLastConstructive; ++line)
        List1->addItem(ListItem(line));
    List1->setCurrentRow(0);
    List1->setFocus();
}

void Form13::ConstructionLineClicked(int k) {
    if (k < 0 || k > 4) return;
    Program& p = program();
    CalcState& s = p.state();
    Command6->hide();
    static constexpr int kPromptY[5] = {1680, 1870, 2070, 2270, 2460};
    const int line = kCoolerFirstConstructive + k;
    const QString& title = k == 2 ? texts::kConstructionChangeTitleBlank : texts::kConstructionChangeTitle;
    for (;;) {
        const QString answer = p.platform().InputBox(s.CoolerCaptions[line], title, 2800, kPromptY[k]);
        if (Cancelled(answer)) break;  // the line keeps its value
        StoreCoolerLine(s, line, answer);
        if (CoolerConstructiveInRange(line, s.InputValues[line], CoolerRanges::Change)) break;
        if (!GoOnAfterRefusal(p, uint8_t(line), answer, true)) {
            hide();
            p.End();
            return;
        }
    }
    delete List1->takeItem(k);
    List1->insertItem(k, ListItem(line));
    List1->setCurrentRow(k);
    Command6->show();
}

void Form13::Calculate() {
    List1->hide();
    Command6->hide();
    CoolerDesignRun();
}

void Form13::ChangeProperties() {
    Program& p = program();
    CalcState& s = p.state();
    // Blocks printed after the input lines were changed belong to other data
    // than the head printed before: they get a head of their own.
    s.PrintHeadPending = kSet;
    hide();
    p.Unload(this);
    p.CloseOtherWindows();

    Form6* sheet = CoolerSheet(p);
    sheet->setWindowTitle(texts::kSheetChangeTitle);
    for (QWidget* w : std::initializer_list<QWidget*>{sheet->Command1, sheet->Command2, sheet->Command3,
                                                      sheet->Label1, sheet->Label2})
        w->hide();
    sheet->SetWindowTwips(100, 100, 12000, 8000);
    SetTwips(sheet->List1, (sheet->ScaleWidthTwips() - 10000) / 2, 1200, 10000, 2600);
    sheet->show();
    sheet->FillReopenedList();
    sheet->Label1->show();
    sheet->List1->setEnabled(true);
    const bool passed = CheckCoolerSheet(s).Ok();
    SetFaceColor(sheet->Command2, Rgb(0, 255, 0));
    if (passed) {
        sheet->SetKeepFace(true);
        sheet->Command2->setFocusPolicy(Qt::StrongFocus);
    } else {
        sheet->SetKeepFace(false);
        sheet->Command1->setFocusPolicy(Qt::StrongFocus);
        sheet->List1->hide();
        sheet->PrintLines();
    }
    BringToFront(sheet);
    sheet->List1->setFocus();
}

void Form13::OtherExchanger() {
    Program& p = program();
    hide();
    p.CloseOtherWindows();
    FormWindow* menu = p.Menu();
    menu->show();
    BringToFront(menu);
    if (p.state().PrintStarted != kClear) p.EndPrintJob();
}

void Form13::EndProgram() {
    // The end of the program ends the printed report with it.
    program().End();
}

// ---------------------------------------------------------------------------
// The cooler's windows and its menu entry

Form6* CoolerSheet(Program& p) { return p.Form<Form6>(QStringLiteral("Form6")); }
ErrorDialog* CoolerErrorDialog(Program& p) { return p.Form<ErrorDialog>(QStringLiteral("Form14")); }
Form13* CoolerDesign(Program& p) { return p.Form<Form13>(QStringLiteral("Form13")); }

void RegisterCooler(Program& program) {
    program.RegisterForm(QStringLiteral("Form6"), [](Program& p) { return new Form6(p); });
    program.RegisterForm(QStringLiteral("Form14"), [](Program& p) {
        auto* dialog = new ErrorDialog(p, CoolerErrorDialogSetup(), [&p] { return CoolerSheet(p); });
        dialog->onYes = CoolerDialogYes;
        return dialog;
    });
    program.RegisterForm(QStringLiteral("Form13"), [](Program& p) { return new Form13(p); });
    program.RegisterMenuEntry(QStringLiteral("Command3"), PrepareCoolerSheet);
}

}  // namespace heatx
