// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaporator/evap_window.h"

#include "evaporator/evap_road.h"
#include "evaporator/evap_sweep.h"
#include "window_base/chart_window.h"
#include "evaporator/evap_texts.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "sheets/sheet_layout.h"
#include "window_base/picture_button.h"
#include "window_base/program.h"
#include "window_base/window_texts.h"
#include "text/text_format.h"

namespace heatx {

namespace {

// The height of a run as a row of the table of heights tried.
TriedConstruction EvapTried(const CalcState& s, bool computed) {
    const auto number = [](float v) { return FormatFixed(v, 0, 2).trimmed(); };
    QStringList cells{s.EvapValueTexts[kEvapHeightLine]};
    if (computed) cells << number(s.AlphaTube) << number(s.AlphaShell) << number(s.HeatTransferK) << number(s.SurfaceF);
    else cells << QStringLiteral("model");
    return {cells, computed};
}

// Where the input box of the tube height opens, twips from the screen corner.
constexpr int kHeightBoxX = 2000;
constexpr int kHeightBoxY = 1000;

// The sheet's run buttons: the check once more, then the design window.
void RunFromSheet(SheetWindow& sheet) {
    sheet.setWindowTitle(texts::kSheetCheckTitle);
    EvapDesignRun(sheet.program(), sheet);
}

}  // namespace

SheetSetup EvapSheetSetup() {
    return SheetSetup{
        QStringLiteral("Form10"),
        kEvapSheetLines,
        62,
        4000,
        6000,
        4500,
        [](const CalcState& s, int i) { return s.EvapCaptions[i]; },
        EvapValueText,
        CheckEvapSheet,
        [](int line) { return EvapAllowedRange(line); },
    };
}

ErrorDialogSetup EvapErrorDialogSetup() { return ErrorDialogSetup{QStringLiteral("Form8"), 4680, 1155, true}; }

void ConnectEvapSheet(SheetWindow& sheet) {
    // The sheet comes back from the design window with no title of its own
    // on that road; it then reads as a sheet being changed.
    sheet.setWindowTitle(texts::kSheetChangeTitle);
    sheet.onKeepData = RunFromSheet;
    sheet.onEndCorrections = RunFromSheet;
}

bool EvaporatorSwitchOn() { return qEnvironmentVariable("HEATX_EVAPORATOR").trimmed() == QLatin1String("1"); }

void PrepareEvapSheet(Program& p) {
    CalcState& s = p.state();
    BeginEvapRoad(s);
    p.LeaveMenu();
    // The evaporator's sheet keeps the geometry of its load handler.
    EvapSheet(p)->RunFirstEntry();
}

void EvapDesignRun(Program& p, SheetWindow& sheet) {
    CalcState& s = p.state();
    if (!CheckEvapSheet(s).Ok()) {
        // The error view: every line printed where the list stood, the bad
        // one marked, and the input error dialog.
        sheet.ClearSurface();
        sheet.PrintLines();
        p.platform().Beep();
        sheet.List1->hide();
        sheet.Command1->hide();
        sheet.Command2->hide();
        sheet.ShowBadLine(sheet_layout::kSurfaceLeft, sheet_layout::MarkerY(s.BadLineIndex), 9000);
        EvapErrorDialog(p)->ShowOverSheet();
        return;
    }
    p.Unload(&sheet);
    p.CloseOtherWindows();
    EvapDesign(p)->Steps->NewSheet();
    EvapDesign(p)->Run();
}

// ---------------------------------------------------------------------------
// Design window

const Form11::RowWidths Form11::kFirstRun = {{10, 11, 9, 7}, {18, 19, 17, 17}};
const Form11::RowWidths Form11::kHeightChange = {{10, 9, 9, 7}, {20, 18, 17, 17}};

Form11::Form11(Program& program) : FormWindow(program, QStringLiteral("Form11")) {
    SetBackColor(Rgb(255, 255, 0));
    const QFont courier = ProgramFont(QStringLiteral("Courier"), 9.75);
    const QColor yellow = Rgb(255, 255, 0);
    auto label = [&](const QString& name, double left, double top, double width, double height, const QColor& text) {
        return MakeTextLabel(this, name, left, top, width, height, courier, yellow, text);
    };
    Label1 = label("Label1", 0, 120, 4455, 375, Rgb(128, 0, 0));
    Label2 = label("Label2", 240, 1440, 8295, 1455, Rgb(0, 0, 192));

    auto button = [&](const char* name, const QString& caption, const QColor& face, double top) {
        return MakeButton(this, name, caption, face, 2520, top, 5175, 375);
    };
    Command1 = button("Command1", texts::kPrintButton, Rgb(0, 255, 0), 4200);
    Command2 = button("Command2", texts::kChangeHeightButton, Rgb(0, 255, 255), 4680);
    Command3 = button("Command3", texts::kChangePropertiesButton, Rgb(0, 255, 255), 5160);
    Command4 = button("Command4", texts::kOtherExchangerButton, Rgb(255, 192, 128), 5640);
    Command5 = button("Command5", texts::kEndProgramButton, Rgb(255, 128, 128), 6240);
    Note = new PrintNote(this, Command1, Label2);
    Steps = std::make_unique<TraceHook>(this, program, 200, 6720,
                                        QStringList{"H, М", "α В ТРУБАХ", "α СНАРУЖИ", "K", "F, М²"});
    Steps->resultPrinted = [this] { return Command1->isHidden(); };
    Steps->printResult = [this] { Print(); };

    connect(Command1, &QPushButton::clicked, this, [this] { Print(); });
    connect(Command2, &QPushButton::clicked, this, [this] { ChangeHeight(); });
    connect(Command3, &QPushButton::clicked, this, [this] { ChangeProperties(); });
    connect(Command4, &QPushButton::clicked, this, [this] { OtherExchanger(); });
    connect(Command5, &QPushButton::clicked, this, [this] { EndProgram(); });
}

void Form11::Load() {
    setWindowTitle(texts::kEvapDesignTitle);
    SetWindowTwips(100, 100, 12000, 8000);
    // The chart of the design space (F and K against the tube height), beside a result.
    AddChartButton(this, Label2, SweepEvap);
}

void Form11::ShowControls(bool show) {
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Command5, Label1, Label2})
        w->setVisible(show);
    if (!show) Steps->Hide();
}

void Form11::Run() {
    ShowControls(false);
    show();
    BringToFront(this);
    if (!AskHeight()) return;
    SetHeightLine();
    ShowControls(true);
    CalcState& s = program().state();
    const bool computed = ComputeEvap(s, [this] { program().platform().Beep(); }, Steps->Fresh()).Ok();
    Steps->Computed(EvapTried(s, computed));
    if (!computed) {
        ModelFailure();
        return;
    }
    SetResults(kFirstRun);
    Command1->setFocus();
}

bool Form11::AskHeight(bool* cancelled) {
    Program& p = program();
    CalcState& s = p.state();
    for (;;) {
        const QString answer = p.platform().InputBox(texts::kHeightPrompt, texts::kHeightInputTitle, kHeightBoxX,
                                                     kHeightBoxY);
        if (cancelled != nullptr && Cancelled(answer)) {
            *cancelled = true;
            return true;
        }
        StoreEvapLine(s, kEvapHeightLine, answer);
        if (CheckEvapHeight(s).Ok()) return true;
        p.platform().Beep();
        s.MessageAnswer = static_cast<float>(
            p.platform().YesNoBox(texts::kErrorTitle, texts::RefusalText(texts::kHeightRefused, EvapHeightRefusal(answer))));
        if (s.MessageAnswer == kAnswerNo) {
            EndFromMessage();
            return false;
        }
    }
}

void Form11::EndFromMessage() {
    Program& p = program();
    if (FormWindow* sheet = p.Loaded(QStringLiteral("Form10"))) p.Unload(sheet);
    p.CloseOtherWindows();
    p.End();
}

void Form11::SetHeightLine() {
    Label1->setText(texts::kHeightLineStart + program().state().EvapValueTexts[kEvapHeightLine] +
                    texts::kHeightLineEnd);
}

void Form11::SetResults(const RowWidths& widths) {
    const CalcState& s = program().state();
    const float values[4] = {s.AlphaTube, s.AlphaShell, s.HeatTransferK, s.SurfaceF};
    QString row;
    for (int i = 0; i < 4; ++i) {
        const QString t = FormatFixed(values[i], widths.width[i], 2);
        row += t + PadTo(t, widths.column[i]);
    }
    Label2->setText(QStringList{texts::kResultsLine1, QString(), texts::kResultsLine3, texts::kResultsLine4,
                                texts::kResultsLine5, row}
                        .join(QLatin1Char('\n')));
}

void Form11::ModelFailure() {
    Program& p = program();
    ShowControls(false);
    Label1->show();
    p.platform().Beep();
    p.state().MessageAnswer = static_cast<float>(
        p.platform().YesNoBox(texts::kErrorTitle, texts::kEvapModelFailure + texts::kGoOnQuestion));
    if (p.state().MessageAnswer == kAnswerNo) {
        EndFromMessage();
        return;
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Command2, Command3, Command4, Command5}) w->show();
    Command3->setFocusPolicy(Qt::StrongFocus);
    Command3->setFocus();
}

void Form11::Print() {
    program().state().PrintStarted = kSet;
    Command1->hide();
    program().PrintEvapRow();
    Note->Tell(program().platform().ReportPrinter().CopyPath());
    Command2->setFocus();
}

void Form11::ChangeHeight() {
    // A cancelled box brings back the window as it was, the old height kept.
    QList<QWidget*> shownBefore;
    for (QWidget* w :
         std::initializer_list<QWidget*>{Command1, Command2, Command3, Command4, Command5, Label1, Label2, Note,
                                         Steps->Button})
        if (!w->isHidden()) shownBefore.append(w);
    ShowControls(false);
    bool cancelled = false;
    if (!AskHeight(&cancelled)) return;
    if (cancelled) {
        for (QWidget* w : shownBefore) w->show();
        Command2->setFocus();
        return;
    }
    // The height line names the height the model is run for, also when the
    // run fails.
    SetHeightLine();
    CalcState& s = program().state();
    const bool computed = ComputeEvap(s, [this] { program().platform().Beep(); }, Steps->Fresh()).Ok();
    Steps->Computed(EvapTried(s, computed));
    if (!computed) {
        ModelFailure();
        return;
    }
    ShowControls(true);
    SetResults(kHeightChange);
    Command1->setFocus();
}

void Form11::ChangeProperties() {
    Program& p = program();
    CalcState& s = p.state();
    hide();
    p.Unload(this);
    p.CloseOtherWindows();
    // The sheet in edit mode, its lines from the current value texts.
    SheetWindow* sheet = EvapSheet(p);
    for (QWidget* w : std::initializer_list<QWidget*>{sheet->Command1, sheet->Command2, sheet->Command3})
        w->hide();
    sheet->List1->setEnabled(true);
    sheet->RefillList();
    sheet->List1->show();
    sheet->Label3->show();
    sheet->show();
    BringToFront(sheet);
    sheet->List1->setFocus();
    // The next printed row starts a new head and a new table.
    s.PrintHeadPending = kSet;
    s.PrintTableHeaderPending = kSet;
}

void Form11::OtherExchanger() {
    Program& p = program();
    CalcState& s = p.state();
    hide();
    p.CloseOtherWindows();
    s.PrintHeadPending = kClear;
    s.PrintTableHeaderPending = kSet;
    // The menu is on the screen before the report is closed: the message
    // about the saved report stands over it, not on an empty desktop.
    FormWindow* menu = p.Menu();
    menu->show();
    BringToFront(menu);
    if (s.PrintStarted != kClear) p.CloseEvapReport();
}

void Form11::EndProgram() {
    // The end of the program closes the printed table and ends the report.
    program().End();
}

// ---------------------------------------------------------------------------
// The evaporator's windows and its menu entry

SheetWindow* EvapSheet(Program& p) { return p.Form<SheetWindow>(QStringLiteral("Form10")); }
ErrorDialog* EvapErrorDialog(Program& p) { return p.Form<ErrorDialog>(QStringLiteral("Form8")); }
Form11* EvapDesign(Program& p) { return p.Form<Form11>(QStringLiteral("Form11")); }

void RegisterEvaporator(Program& program) {
    program.RegisterForm(QStringLiteral("Form10"), [](Program& p) {
        auto* sheet = new SheetWindow(p, EvapSheetSetup());
        ConnectEvapSheet(*sheet);
        return sheet;
    });
    program.RegisterForm(QStringLiteral("Form8"), [](Program& p) {
        return new ErrorDialog(p, EvapErrorDialogSetup(), [&p] { return EvapSheet(p); });
    });
    program.RegisterForm(QStringLiteral("Form11"), [](Program& p) { return new Form11(p); });
    program.RegisterMenuEntry(QStringLiteral("Command1"), PrepareEvapSheet);
}

}  // namespace heatx
