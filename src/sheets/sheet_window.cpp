// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheets/sheet_window.h"

#include "sheets/sheet_layout.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "window_base/picture_button.h"
#include "window_base/program.h"
#include "window_base/window_texts.h"
#include "state/input_line.h"
#include "text/text_format.h"

#include <QEvent>
#include <QFontMetrics>


namespace heatx {

using sheet_layout::kLineStep;

SheetWindow::SheetWindow(Program& program, SheetSetup setup)
    : FormWindow(program, setup.formName), setup_(std::move(setup)) {
    const QFont courier = ProgramFont(QStringLiteral("Courier"), 9.75);
    setFont(courier);
    SetBackColor(Rgb(255, 255, 0));
    SetForeColor(Rgb(0, 0, 255));

    Label1 = new QLabel(texts::kSheetHeading, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setFont(ProgramFont(QStringLiteral("Courier"), 9.75, true));
    SetLabelColors(Label1, Rgb(255, 255, 0), Rgb(0, 0, 255));
    SetTwips(Label1, 2880, 480, 3375, 255);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setTextFormat(Qt::PlainText);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetLabelColors(Label2, Rgb(0, 255, 0), Rgb(255, 0, 0));

    RangeNote = new QLabel(this);
    RangeNote->setObjectName(QStringLiteral("RangeNote"));
    RangeNote->setTextFormat(Qt::PlainText);
    RangeNote->setWordWrap(true);
    RangeNote->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SetLabelColors(RangeNote, Rgb(255, 255, 0), Rgb(255, 0, 0));
    RangeNote->hide();

    Label3 = new QLabel(texts::kEditHint, this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setTextFormat(Qt::PlainText);
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3->setFont(ProgramFont(QStringLiteral("Times New Roman"), 12, true));
    SetLabelColors(Label3, Rgb(192, 255, 255), Rgb(192, 0, 192));
    SetTwips(Label3, 0, setup_.hintTop, 3495, 1215);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setUniformItemSizes(true);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    EditLinesOnKeys(List1, [this](int row) { EditLine(row); });
    // The review shows the lines in a disabled list: they stay readable.
    QPalette listColours = List1->palette();
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::Base, QPalette::WindowText})
        listColours.setColor(QPalette::Disabled, role, listColours.color(QPalette::Active, role));
    List1->setPalette(listColours);
    connect(List1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { EditLine(List1->row(item)); });

    auto button = [&](const char* name, const QString& words, const QColor& text, const QColor& back,
                      double width, double top) {
        auto* b = new PictureButton(this);
        b->setObjectName(QLatin1String(name));
        b->setAccessibleName(words);
        b->setToolTip(words);
        SetTwips(b, 0, top, width, 375);
        b->SetPicture(QPixmap::fromImage(DrawFace(words, text, back, QSize(Px(width) - 4, Px(375) - 4))),
                      QStringLiteral("built-in"));
        return b;
    };
    Command1 = button("Command1", texts::kKeepDataWords, Rgb(255, 255, 0), Rgb(255, 0, 0), 4335, 5520);
    Command2 = button("Command2", texts::kChangeDataWords, Rgb(0, 0, 255), Rgb(0, 255, 0), 4095, 6240);
    Command3 = button("Command3", texts::kEndCorrectionsWords, Rgb(0, 0, 255), Rgb(0, 255, 0), 2055, 4800);

    connect(Command1, &QPushButton::clicked, this, [this] {
        if (onKeepData) onKeepData(*this);
    });
    connect(Command2, &QPushButton::clicked, this, [this] { EnterEditMode(); });
    connect(Command3, &QPushButton::clicked, this, [this] {
        if (onEndCorrections) onEndCorrections(*this);
    });
}

CalcState& SheetWindow::State() { return program().state(); }

void SheetWindow::Load() {
    Label2->hide();
    SetWindowTwips(100, 100, -1, 8000);
    // The hint and the end-of-corrections button are centred on the
    // window's design width; the keep and edit buttons on its inner width
    // once it is 10000 wide. Widening the window later moves none of them.
    SetLeftTwips(Command3, setup_.hintCentre - Twips(Command3).width / 2);
    SetLeftTwips(Label3, setup_.hintCentre - Twips(Label3).width / 2);
    SetWindowTwips(-1, -1, 10000, -1);
    SetLeftTwips(Command1, (ScaleWidthTwips() - Twips(Command1).width) / 2);
    SetLeftTwips(Command2, (ScaleWidthTwips() - Twips(Command2).width) / 2);
    SetTwips(List1, 500, 1200, 9000, 3000);
}

QString SheetWindow::ComposedLine(int i) {
    return ComposeLine(setup_.caption(State(), i), setup_.composeWidth, setup_.valueText(State(), i));
}

void SheetWindow::AppendLine(int i) {
    auto* item = new QListWidgetItem(ComposedLine(i));
    item->setSizeHint(QSize(0, Px(kLineStep)));
    List1->addItem(item);
}

void SheetWindow::RefillList() {
    List1->clear();
    CalcState& s = State();
    for (int i = 0; i < setup_.promptedLines; ++i) {
        s.InputValues[i] = ReadNumber(setup_.valueText(s, i));
        AppendLine(i);
    }
}

void SheetWindow::PrintLines() {
    for (int i = 0; i < setup_.promptedLines; ++i)
        PrintAt(sheet_layout::kSurfaceLeft, sheet_layout::SurfaceY(i), ComposedLine(i));
}

void SheetWindow::ShowBadLine(double left, double top, double width) {
    Label2->setText(ComposedLine(State().BadLineIndex));
    SetTwips(Label2, left, top, width, 200);
    Label2->show();
    Label2->raise();
    ShowRangeNote();
}

void SheetWindow::ShowRangeNote() {
    const QString range = setup_.allowedRange ? setup_.allowedRange(State().BadLineIndex) : QString();
    if (range.isEmpty()) {
        RangeNote->hide();
        return;
    }
    const QFontMetrics metrics(RangeNote->font());
    const QRect line = Label2->geometry();
    const QString beside = QStringLiteral("\u2190 ДОПУСТИМО ") + range;
    const int x = line.left() + Label2->fontMetrics().horizontalAdvance(Label2->text()) + metrics.horizontalAdvance(QLatin1Char(' '));
    const int besideWidth = metrics.horizontalAdvance(beside) + 4;
    if (x + besideWidth <= width()) {
        RangeNote->setText(beside);
        RangeNote->setGeometry(x, line.top(), besideWidth, std::max(line.height(), metrics.height()));
    } else {
        // Under the printed lines the note names its line; a long one takes
        // a second row.
        RangeNote->setText(RangeLine(setup_.caption(State(), State().BadLineIndex), range));
        const int left = Px(sheet_layout::kSurfaceLeft);
        const int room = std::max(1, width() - 2 * left);
        const int rows = metrics.horizontalAdvance(RangeNote->text()) + 4 > room ? 2 : 1;
        RangeNote->setGeometry(left, Px(sheet_layout::SurfaceY(setup_.promptedLines) + 60), room,
                               rows * metrics.lineSpacing() + 2);
    }
    RangeNote->show();
    RangeNote->raise();
}

bool SheetWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2 && event->type() == QEvent::HideToParent) RangeNote->hide();
    return FormWindow::eventFilter(watched, event);
}

void SheetWindow::SetKeepFace(bool passed) {
    const Picture picture = passed ? Picture::KeepGreen : Picture::KeepRed;
    Command1->SetPicture(program().PictureOf(picture), QString::fromLatin1(heatx::LookOf(picture).fileName));
}

void SheetWindow::SetEndFace(bool passed) {
    const Picture picture = passed ? Picture::EndGreen : Picture::EndRed;
    Command3->SetPicture(program().PictureOf(picture), QString::fromLatin1(heatx::LookOf(picture).fileName));
}

void SheetWindow::EnterEditMode() {
    List1->setEnabled(true);
    List1->show();
    Command1->hide();
    Command2->hide();
    Label3->show();
    List1->setFocus();
}

void SheetWindow::EditLine(int i) {
    if (i < 0 || i >= setup_.promptedLines || i >= List1->count() || !List1->isEnabled()) return;
    const bool hintShown = !Label3->isHidden();
    const bool endShown = !Command3->isHidden();
    Label3->hide();
    Command3->hide();
    CalcState& s = State();
    const QString answer = program().platform().InputBox(setup_.caption(s, i), texts::kInputBoxTitle,
                                                         setup_.editInputX, sheet_layout::EditPromptY(i));
    // A cancelled box leaves the line, and the sheet, as they were.
    if (Cancelled(answer)) {
        Label3->setVisible(hintShown);
        Command3->setVisible(endShown);
        return;
    }
    QString& text = setup_.valueText(s, i);
    StoreTypedLine(text, s.InputValues[i], answer);
    delete List1->takeItem(i);
    auto* item = new QListWidgetItem(ComposedLine(i));
    item->setSizeHint(QSize(0, Px(kLineStep)));
    List1->insertItem(i, item);
    List1->setCurrentRow(i);
    SetEndFace(setup_.check(s).Ok());
    Command3->show();
    List1->setFocusPolicy(Qt::ClickFocus);
}

void SheetWindow::RunFirstEntry() {
    CalcState& s = State();
    setWindowTitle(texts::kSheetEntryTitle);
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Command2, Command3, Label1, Label2, Label3})
        w->hide();
    List1->clear();
    show();
    BringToFront(this);
    List1->setEnabled(true);
    for (int i = 0; i < setup_.promptedLines; ++i) {
        const QString answer = program().platform().InputBox(setup_.caption(s, i), texts::kInputBoxTitle, 4000,
                                                             sheet_layout::FirstEntryPromptY(i));
        StoreTypedLine(setup_.valueText(s, i), s.InputValues[i], answer);
        AppendLine(i);
    }
    List1->setEnabled(false);
    Command1->show();
    Command2->show();
    Label1->show();
    const bool passed = setup_.check(s).Ok();
    SetFaceColor(Command2, Rgb(0, 255, 0));
    if (!passed) {
        SetKeepFace(false);
        Command1->setFocusPolicy(Qt::StrongFocus);
        Command1->setFocus();
        List1->hide();
        PrintLines();
    } else {
        SetKeepFace(true);
        Command2->setFocusPolicy(Qt::StrongFocus);
        Command2->setFocus();
    }
    show();
    BringToFront(this);
}

}  // namespace heatx
