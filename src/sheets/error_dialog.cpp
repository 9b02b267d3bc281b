// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheets/error_dialog.h"

#include "platform/click_guard.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "window_base/picture_button.h"
#include "sheets/sheet_window.h"
#include "window_base/program.h"
#include "window_base/window_texts.h"

#include <QWindow>

namespace heatx {

ErrorDialog::ErrorDialog(Program& program, ErrorDialogSetup setup, std::function<SheetWindow*()> sheet)
    : FormWindow(program, setup.formName), setup_(std::move(setup)), sheet_(std::move(sheet)) {
    setWindowFlag(Qt::Dialog);
    setWindowTitle(setup_.formName);
    SetClientTwips(setup_.clientWidth, setup_.clientHeight);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    SetTwips(Image1, 0, 0, 495, 495);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setFont(ProgramFont(QStringLiteral("Courier"), 9.75, true));
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, Rgb(255, 0, 0));
    Label1->setPalette(red);
    SetTwips(Label1, 720, 0, 4695, 255);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setTextFormat(Qt::PlainText);
    Label2->setFont(ProgramFont(QStringLiteral("Courier"), 9.75));
    SetTwips(Label2, 600, 360, 4815, 255);

    Command1 = MakeButton(this, "Command1", texts::kYes, QColor(), 960, 720, 1095, 255);
    Command2 = MakeButton(this, "Command2", texts::kNo, QColor(), 2880, 720, 1095, 255);
    // "Нет" ends the program and every value typed so far goes with it: the
    // dialog opens with the focus on "Да", so a stray Space or Return only
    // goes back to the sheet.
    setTabOrder(Command1, Command2);
    connect(Command1, &QPushButton::clicked, this, [this] { Yes(); });
    connect(Command2, &QPushButton::clicked, this, [this] { No(); });
    // It opens where the student just clicked: the second click of a double
    // click must not answer it.
    GuardAgainstOpeningClick(this);
}

void ErrorDialog::Load() {
    Image1->setPixmap(program().PictureOf(Picture::ErrorIcon));
    Label1->setText(texts::kInputErrorLine);
    Label2->setText(texts::kChangeQuestion);
    if (setup_.placeOnLoad) {
        const double sheetWidth = Sheet()->WidthTwips();
        SetWindowTwips(std::max(0.0, (sheetWidth - WidthTwips()) / 2), 4500, -1, -1);
    }
    Command1->setFocus();
}

void ErrorDialog::ShowOverSheet() {
    SheetWindow* sheet = Sheet();
    // Both windows need their window-system windows to be tied together; the
    // tie is made before showing, when the window manager reads it.
    sheet->winId();
    winId();
    if (windowHandle() != nullptr) windowHandle()->setTransientParent(sheet->windowHandle());
    show();
    BringToFront(this);
}

void ErrorDialog::Yes() {
    if (onYes) {
        onYes(*this);
        return;
    }
    Program& p = program();
    hide();
    p.Unload(this);
    SheetWindow* sheet = Sheet();
    sheet->Label3->show();
    sheet->show();
    sheet->List1->setEnabled(true);
    sheet->ClearSurface();
    sheet->List1->show();
    sheet->Label2->hide();
    sheet->Command3->hide();
    sheet->show();
    BringToFront(sheet);
    sheet->List1->setFocus();
}

void ErrorDialog::No() {
    Program& p = program();
    p.Unload(Sheet());
    p.Unload(this);
    p.CloseOtherWindows();
    p.End();
}

void ErrorDialog::ClosedByCloseBox() { Yes(); }

}  // namespace heatx
