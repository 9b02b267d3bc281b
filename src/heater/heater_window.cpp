// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/heater_window.h"

#include "heater/heater_road.h"
#include "heater/heater_sweep.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "sheets/sheet_layout.h"
#include "window_base/chart_window.h"
#include "window_base/picture_button.h"
#include "window_base/program.h"
#include "window_base/window_texts.h"
#include "text/text_format.h"

namespace heatx {

namespace {

// The sheet passed its check: on to the design window, which waits for the
// choice of horizontal or vertical.
void OpenDesignWindow(Program& p, SheetWindow& sheet, bool hideResults) {
    p.Unload(&sheet);
    p.CloseOtherWindows();
    Form9* design = HeaterDesign(p);
    design->Steps->NewSheet();
    if (hideResults) {
        for (QWidget* w : std::initializer_list<QWidget*>{design->Command1, design->Command2, design->Command3,
                                                          design->Command4, design->Command5, design->Label1})
            w->hide();
    }
    design->List1->hide();
    p.state().OrientationPending = kSet;
    design->show();
    BringToFront(design);
}

// The failed check: the bad line marked and the input error dialog shown.
void ShowInputError(Program& p, SheetWindow& sheet, double dialogLeft) {
    ErrorDialog* dialog = HeaterErrorDialog(p);
    dialog->SetWindowTwips(dialogLeft, 5000, 5895, 1500);
    dialog->ShowOverSheet();
    (void)sheet;
}

// The construction of a run as a row of the constructions table.
TriedConstruction HeaterTried(const CalcState& s, bool computed) {
    const auto number = [](float v) { return FormatFixed(v, 0, 2).trimmed(); };
    QStringList cells{s.HeaterHorizontal != kClear ? QStringLiteral("ГОРИЗ.") : QStringLiteral("ВЕРТ.")};
    for (int line = 12; line <= 15; ++line) cells << s.HeaterValueTexts[line];
    cells << number(s.ReTube);
    if (computed) cells << number(s.AlphaTube) << number(s.AlphaShell) << number(s.HeatTransferK) << number(s.SurfaceF);
    else cells << QStringLiteral("model");
    return {cells, computed};
}

void KeepData(SheetWindow& sheet, Program& p) {
    CalcState& s = p.state();
    sheet.setWindowTitle(texts::kSheetCheckTitle);
    if (CheckHeaterSheet(s).Ok()) {
        OpenDesignWindow(p, sheet, false);
        return;
    }
    p.platform().Beep();
    sheet.Command1->hide();
    sheet.Command2->hide();
    sheet.ShowBadLine(sheet_layout::kSurfaceLeft, sheet_layout::MarkerY(s.BadLineIndex), 9000);
    ShowInputError(p, sheet, -1);
}

void EndCorrections(SheetWindow& sheet, Program& p) {
    CalcState& s = p.state();
    sheet.setWindowTitle(texts::kSheetCheckTitle);
    if (CheckHeaterSheet(s).Ok()) {
        OpenDesignWindow(p, sheet, true);
        return;
    }
    p.platform().Beep();
    for (QWidget* w : std::initializer_list<QWidget*>{sheet.Command1, sheet.Command2, sheet.Command3, sheet.List1})
        w->hide();
    sheet.ClearSurface();
    sheet.PrintLines();
    const TwipsRect list = Twips(sheet.List1);
    sheet.ShowBadLine(list.left, list.top + sheet_layout::kLineStep * s.BadLineIndex, list.width);
    ShowInputError(p, sheet, list.left + 1600);
}

}  // namespace

SheetSetup HeaterSheetSetup() {
    return SheetSetup{
        QStringLiteral("Form3"),
        kHeaterSheetLines,
        62,
        2000,
        9285.0 / 2,
        4000,
        [](const CalcState& s, int i) { return s.HeaterCaptions[i]; },
        HeaterValueText,
        CheckHeaterSheet,
        [](int line) { return HeaterAllowedRange(line); },
    };
}

ErrorDialogSetup HeaterErrorDialogSetup() { return ErrorDialogSetup{QStringLiteral("Form5"), 5685, 1320, true}; }

void ConnectHeaterSheet(SheetWindow& sheet) {
    sheet.onKeepData = [](SheetWindow& w) { KeepData(w, w.program()); };
    sheet.onEndCorrections = [](SheetWindow& w) { EndCorrections(w, w.program()); };
}

void PrepareHeaterSheet(Program& p) {
    CalcState& s = p.state();
    BeginHeaterRoad(s);
    p.LeaveMenu();
    SheetWindow* sheet = HeaterSheet(p);
    sheet->SetWindowTwips(100, 100, 12000, 8000);
    SetTwips(sheet->List1, 500, 1200, 9000, 2300);
    sheet->RunFirstEntry();
}

// ---------------------------------------------------------------------------
// Design window

Form9::Form9(Program& program) : FormWindow(program, QStringLiteral("Form9")) {
    setWindowTitle(QStringLiteral("Form9"));
    // The described window, 480 twips taller for the row of «ХОД РАСЧЁТА».
    SetWindowTwips(100, 100, 8640, 8280);
    const QFont courier = ProgramFont(QStringLiteral("Courier"), 9.75);
    const QColor darkBlue = Rgb(0, 0, 192);
    const QColor yellow = Rgb(255, 255, 0);

    auto label = [&](const QString& name, double left, double top, double width, double height, const QColor& text) {
        return MakeTextLabel(this, name, left, top, width, height, courier, yellow, text);
    };
    Label8 = label("Label8", 2000, 800, 3300, 255, darkBlue);
    Label1 = label("Label1", 200, 2500, 8100, 1140, darkBlue);
    Label2 = label("Label2", 200, 3640, 8100, 255, darkBlue);
    Label6 = label("Label6", 200, 4000, 8100, 435, darkBlue);
    for (int i = 0; i < 5; ++i) {
        L[i] = label("L", 100, 600 + 240 * i, 7215, 255, Rgb(128, 0, 0));
        L[i]->setObjectName(QStringLiteral("L%1").arg(i));
    }

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFont(courier);
    QPalette green = List1->palette();
    green.setColor(QPalette::Base, Rgb(0, 255, 0));
    List1->setPalette(green);
    SetTwips(List1, (ScaleWidthTwips() - 7000) / 2, 1000, 7000, 1200);
    connect(List1, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ConstructionLineClicked(List1->row(item)); });
    EditLinesOnKeys(List1, [this](int row) { ConstructionLineClicked(row); });

    auto button = [&](const char* name, const QString& caption, const QColor& face, double left, double top,
                      double width) { return MakeButton(this, name, caption, face, left, top, width, 375); };
    Command6 = button("Command6", texts::kHorizontal, Rgb(0, 255, 255), 1000, 1200, 2055);
    Command7 = button("Command7", texts::kVertical, Rgb(0, 255, 255), 4000, 1200, 2055);
    Command8 = button("Command8", texts::kGoCalculateButton, Rgb(0, 255, 0), 0, 0, 2175);
    Command1 = button("Command1", texts::kPrintButton, Rgb(0, 255, 0), 1920, 4440, 5175);
    Command2 = button("Command2", texts::kChangeConstructionButton, Rgb(0, 255, 255), 1920, 4920, 5175);
    Command3 = button("Command3", texts::kChangePropertiesButton, Rgb(0, 255, 255), 1920, 5400, 5175);
    Command4 = button("Command4", texts::kOtherExchangerButton, Rgb(255, 192, 128), 1920, 5880, 5175);
    Command5 = button("Command5", texts::kEndProgramButton, Rgb(255, 128, 0), 1920, 6720, 5175);

    Note = new PrintNote(this, Command1, Label2);
    Steps = std::make_unique<TraceHook>(this, program, 200, 7200,
                                        QStringList{"ТИП", "d, М", "z", "L(H), М", "n", "RE", "α В ТРУБАХ",
                                                    "α СНАРУЖИ", "K", "F, М²"});
    Steps->resultPrinted = [this] { return Command1->isHidden(); };
    Steps->printResult = [this] { Print(); };

    connect(Command6, &QPushButton::clicked, this, [this] { ChooseType(kSet); });
    connect(Command7, &QPushButton::clicked, this, [this] { ChooseType(kClear); });
    connect(Command1, &QPushButton::clicked, this, [this] { Print(); });
    connect(Command2, &QPushButton::clicked, this, [this] { ShowConstructionList(); });
    connect(Command8, &QPushButton::clicked, this, [this] { Calculate(); });
    connect(Command3, &QPushButton::clicked, this, [this] { ChangeProperties(); });
    connect(Command4, &QPushButton::clicked, this, [this] { OtherExchanger(); });
    connect(Command5, &QPushButton::clicked, this, [this] { EndProgram(); });
}

void Form9::Load() {
    SetWindowTwips(100, 100, -1, -1);
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Command5, Command8,
                                                      Label1, Label2, Label6, List1})
        w->hide();
    for (QLabel* l : L) l->hide();
    Label8->setText(texts::kChooseType);
    Label8->show();
    Command6->show();
    Command7->show();
    Label1->setText(QStringList{texts::kResultsLine1, QString(), texts::kResultsLine3, texts::kResultsLine4,
                                texts::kResultsLine5}
                        .join(QLatin1Char('\n')));
    // The chart of the design space, beside the results heading.
    AddChartButton(this, Label1, SweepHeater);
}

QString Form9::TypeWord() const {
    return program().state().HeaterHorizontal != kClear ? texts::kHorizontal : texts::kVertical;
}

QString Form9::LineCaption(int line) const {
    const CalcState& s = program().state();
    return line == 14 ? HeaterLengthCaption(s) : s.HeaterCaptions[line];
}

void Form9::ShowCommands(bool show) {
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Command5})
        w->setVisible(show);
}

void Form9::ChooseType(Flag horizontal) {
    CalcState& s = program().state();
    s.HeaterHorizontal = horizontal;
    if (s.OrientationPending == kClear) return;
    if (!ReadHeaterConstruction()) return;
    s.OrientationPending = kClear;
    show();
    Command6->hide();
    Command7->hide();
}

bool Form9::AskConstructive(int line, const QString& title, int x, int y, bool keepOnCancel) {
    Program& p = program();
    CalcState& s = p.state();
    for (;;) {
        const QString answer = p.platform().InputBox(LineCaption(line), title, x, y);
        if (keepOnCancel && Cancelled(answer)) return true;
        StoreHeaterLine(s, line, answer);
        if (HeaterConstructiveInRange(line, s.InputValues[line])) return true;
        p.platform().Beep();
        s.MessageAnswer = static_cast<float>(p.platform().YesNoBox(
            texts::kErrorTitle, texts::RefusalText(texts::kInputErrorText, HeaterRefusal(s, line, answer))));
        if (s.MessageAnswer == kAnswerNo) {
            hide();
            p.End();
            return false;
        }
    }
}

bool Form9::ReadHeaterConstruction() {
    const CalcState& s = program().state();
    Command6->hide();
    Command7->hide();
    Label8->hide();
    L[0]->setText(s.HeaterCaptions[kHeaterTypeLine] + TypeWord());
    L[0]->show();
    static constexpr int kPromptY[4] = {1250, 1500, 1700, 1950};
    for (int k = 1; k <= 4; ++k) {
        const int line = kHeaterTypeLine + k;
        if (!AskConstructive(line, texts::kConstructionInputTitle, 800, kPromptY[k - 1])) return false;
        L[k]->setText(LineCaption(line) + s.HeaterValueTexts[line]);
        L[k]->show();
    }
    HeaterDesignRun();
    return true;
}

void Form9::HeaterDesignRun() {
    Program& p = program();
    CalcState& s = p.state();
    const RoadOutcome computed = ComputeHeater(s, Steps->Fresh());
    Steps->Computed(HeaterTried(s, computed.Ok()));
    L[0]->setText(s.HeaterCaptions[kHeaterTypeLine] + TypeWord());
    for (int i = 1; i <= 4; ++i) L[i]->setText(LineCaption(kHeaterTypeLine + i) + s.HeaterValueTexts[kHeaterTypeLine + i]);
    for (QLabel* l : L) l->show();
    ShowCommands(true);
    Label2->show();
    QPalette colours = Label6->palette();
    if (!computed.Ok()) {
        p.platform().Beep();
        colours.setColor(QPalette::WindowText, Rgb(255, 0, 0));
        Label6->setPalette(colours);
        Label6->setText(texts::kReynoldsWarning + FormatFixed(s.ReTube, 9, 2) + texts::kReynoldsWarningEnd);
        Label6->show();
        Command1->hide();
        Label1->hide();
        Label2->hide();
        Command2->setFocus();
        return;
    }
    Label1->show();
    Label2->show();
    const float values[4] = {s.AlphaTube, s.AlphaShell, s.HeatTransferK, s.SurfaceF};
    const uint8_t widths[4] = {20, 17, 15, 15};
    QString row;
    for (int i = 0; i < 4; ++i) {
        const QString t = FormatFixed(values[i], 9, 2);
        row += t + PadTo(t, widths[i]);
    }
    Label2->setText(row);
    colours.setColor(QPalette::WindowText, Rgb(0, 0, 192));
    Label6->setPalette(colours);
    Label6->setText(texts::kReynoldsLine + QLatin1Char('\n') + FormatFixed(s.ReTube, 11, 2));
    Label6->show();
    show();
    // At the keyboard the next step is printing the result.
    Command1->setFocus();
}

void Form9::Print() {
    program().state().PrintStarted = kSet;
    program().PrintHeaterRow();
    Command1->hide();
    Note->Tell(program().platform().ReportPrinter().CopyPath());
    Command2->setFocus();
}

void Form9::FillConstructionList() {
    const CalcState& s = program().state();
    List1->clear();
    const QString type = texts::kTypeListCaption;
    List1->addItem(type + PadTo(type, 40) + TypeWord());
    for (int line = 12; line <= 15; ++line) {
        const QString c = LineCaption(line);
        List1->addItem(c + PadTo(c, 50) + s.HeaterValueTexts[line]);
    }
}

void Form9::ShowConstructionList() {
    const TwipsRect list = Twips(List1);
    SetTwips(Command8, (ScaleWidthTwips() - Twips(Command8).width) / 2, list.top + list.height + 200,
             Twips(Command8).width, 375);
    Command8->show();
    List1->setEnabled(true);
    List1->show();
    List1->clear();
    for (QLabel* l : L) l->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Command5, Command6,
                                                      Command7, Label1, Label2, Label6, Label8})
        w->hide();
    Steps->Hide();
    FillConstructionList();
    // The first line current: Return or Space changes it at once.
    List1->setCurrentRow(0);
    List1->setFocus();
}

void Form9::ConstructionLineClicked(int k) {
    CalcState& s = program().state();
    SetTopTwips(List1, 1000);
    if (k == 0) {
        s.HeaterHorizontal = s.HeaterHorizontal == kClear ? kSet : kClear;
        FillConstructionList();
        Command8->show();
        return;
    }
    if (k < 1 || k > 4) return;
    Command8->hide();
    static constexpr int kPromptY[4] = {1750, 1950, 2150, 2350};
    const int line = kHeaterTypeLine + k;
    const QString& title = k == 3 ? texts::kConstructionChangeTitleBlank : texts::kConstructionChangeTitle;
    if (!AskConstructive(line, title, 2800, kPromptY[k - 1], true)) return;
    const QString c = LineCaption(line);
    delete List1->takeItem(k);
    List1->insertItem(k, c + PadTo(c, 50) + s.HeaterValueTexts[line]);
    List1->setCurrentRow(k);
    Command8->show();
}

void Form9::Calculate() {
    for (QWidget* w : std::initializer_list<QWidget*>{Command6, Command7, List1, Command8}) w->hide();
    HeaterDesignRun();
}

void Form9::ChangeProperties() {
    Program& p = program();
    CalcState& s = p.state();
    s.PrintHeadPending = kSet;
    if (s.PrintStarted != kClear) p.EndPrintJob();
    p.Unload(this);
    // Referring to the design window again makes a fresh, hidden one: it
    // waits in the type-choice state for the end of the corrections.
    HeaterDesign(p)->hide();
    p.CloseOtherWindows();

    SheetWindow* sheet = HeaterSheet(p);
    sheet->setWindowTitle(texts::kSheetChangeTitle);
    for (QWidget* w : std::initializer_list<QWidget*>{sheet->Command1, sheet->Command2, sheet->Command3,
                                                      sheet->Label1, sheet->Label2})
        w->hide();
    sheet->SetWindowTwips(100, 100, 12000, 8000);
    SetTwips(sheet->List1, 500, 1200, 9000, 2300);
    sheet->List1->setEnabled(true);
    sheet->RefillList();
    const bool passed = CheckHeaterSheet(s).Ok();
    SetFaceColor(sheet->Command2, Rgb(0, 255, 0));
    if (passed) {
        sheet->SetKeepFace(true);
    } else {
        sheet->SetKeepFace(false);
        sheet->List1->hide();
        sheet->PrintLines();
    }
    sheet->show();
    BringToFront(sheet);
    sheet->List1->setFocus();
}

void Form9::OtherExchanger() {
    Program& p = program();
    CalcState& s = p.state();
    s.PrintHeadPending = kClear;
    if (s.PrintStarted != kClear) p.EndPrintJob();
    ShowCommands(false);
    Steps->Hide();
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, Label2, Label6}) w->hide();
    for (QLabel* l : L) l->hide();
    Label8->show();
    Command6->show();
    Command7->show();
    hide();
    p.CloseOtherWindows();
    p.Menu()->show();
    BringToFront(p.Menu());
}

void Form9::EndProgram() {
    // The end of the program ends the printed report with it.
    program().End();
}

// ---------------------------------------------------------------------------
// The heater's windows and its menu entry

SheetWindow* HeaterSheet(Program& p) { return p.Form<SheetWindow>(QStringLiteral("Form3")); }
ErrorDialog* HeaterErrorDialog(Program& p) { return p.Form<ErrorDialog>(QStringLiteral("Form5")); }
Form9* HeaterDesign(Program& p) { return p.Form<Form9>(QStringLiteral("Form9")); }

void RegisterHeater(Program& program) {
    program.RegisterForm(QStringLiteral("Form3"), [](Program& p) {
        auto* sheet = new SheetWindow(p, HeaterSheetSetup());
        ConnectHeaterSheet(*sheet);
        return sheet;
    });
    program.RegisterForm(QStringLiteral("Form5"), [](Program& p) {
        return new ErrorDialog(p, HeaterErrorDialogSetup(), [&p] { return HeaterSheet(p); });
    });
    program.RegisterForm(QStringLiteral("Form9"), [](Program& p) { return new Form9(p); });
    program.RegisterMenuEntry(QStringLiteral("Command2"), PrepareHeaterSheet);
}

}  // namespace heatx
