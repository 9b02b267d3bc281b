// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/form1.h"

#include "platform/fonts.h"
#include "platform/twips.h"
#include "window_base/program.h"
#include "window_base/window_texts.h"
#include "text/text_format.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <cmath>

namespace heatx {

Form1::Form1(Program& program) : FormWindow(program, QStringLiteral("Form1")) {
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(ProgramFont(QStringLiteral("MS Sans Serif"), 12, true, true));
    SetLabelColors(Label1, Rgb(192, 64, 0), Rgb(128, 255, 128));
    SetTwips(Label1, 0, 2040, 5295, 975);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setTextFormat(Qt::PlainText);
    Label2->setFont(ProgramFont(QStringLiteral("Monotype Corsiva"), 14.25, false, true));
    SetLabelColors(Label2, Rgb(255, 0, 0), Rgb(255, 255, 192));
    SetTwips(Label2, 0, 0, 2895, 375);

    auto button = [&](const char* name, const QString& caption, const QColor& face) {
        return MakeButton(this, name, caption, face, 0, 0, 2415, 615);
    };
    Command1 = button("Command1", texts::kDescriptionButton, Rgb(255, 255, 0));
    Command2 = button("Command2", texts::kInputButton, Rgb(0, 255, 0));
    Command3 = button("Command3", texts::kEndProgramButton, Rgb(255, 128, 128));
    // Tab order: end, input, description, and round again; the end button
    // has the focus (given in the load handler). The window itself takes no
    // focus, so Tab never stops on it.
    setTabOrder(Command3, Command2);
    setTabOrder(Command2, Command1);

    connect(Command1, &QPushButton::clicked, this, [this] { Describe(); });
    connect(Command2, &QPushButton::clicked, this, [this] { EnterSurname(); });
    connect(Command3, &QPushButton::clicked, this, [this] { this->program().End(); });
}

void Form1::Load() {
    SetWindowTwips(500, 500, 12000, 9000);
    DrawBackground();
    setWindowTitle(texts::kStartTitle);

    Label1->setText(texts::kTitleLine1 + QLatin1Char('\n') + texts::kTitleLine2 + QLatin1Char('\n') +
                    texts::kTitleLine3);
    Label2->setText(texts::kAuthorCredit);
    SetLeftTwips(Label1, WidthTwips() / 2 - Twips(Label1).width / 2);
    for (QPushButton* b : {Command1, Command2, Command3}) SetTopTwips(b, 6000);
    // Four equal margins across the window (rounded half to even).
    const double gap = std::nearbyint(WidthTwips() / 4 - (Twips(Command1).width + Twips(Command2).width +
                                                          Twips(Command3).width) / 4);
    SetLeftTwips(Command1, gap);
    SetLeftTwips(Command2, Twips(Command1).left + Twips(Command1).width + gap);
    SetLeftTwips(Command3, Twips(Command2).left + Twips(Command2).width + gap);
    // The credit sits under the right-hand button.
    SetTopTwips(Label2, Twips(Command1).top + Twips(Command1).height + 500);
    SetLeftTwips(Label2, Twips(Command3).left + 500);
    Command3->setFocus();
}

void Form1::DrawBackground() {
    // A blend across the client area from RGB(150, 50, 255) at the left edge
    // towards RGB(150, 50, 0), as filled boxes i = 0..W from column i to
    // column H + 150 are laid one over the other: column x < H + 150 keeps
    // the colour of box x, every column from H + 150 on that of the last box.
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    background_ = QImage(w, h, QImage::Format_RGB32);
    auto blue = [w](int i) { return 255 - (i * 255) / w; };
    QPainter p(&background_);
    for (int x = 0; x < w; ++x) {
        const int box = x < h + 150 ? x : w;
        p.fillRect(QRect(x, 0, 1, h), Rgb(150, 50, blue(box)));
    }
    update();
}

void Form1::resizeEvent(QResizeEvent* event) {
    FormWindow::resizeEvent(event);
    if (!background_.isNull() && background_.size() != size()) DrawBackground();
}

void Form1::PaintBackground(QPainter& painter) {
    painter.fillRect(rect(), BackColor());
    painter.drawImage(0, 0, background_);
}

void Form1::Describe() {
    Program& p = program();
    hide();
    p.CloseOtherWindows();
    p.Form(QStringLiteral("Form2"))->show();
    BringToFront(p.Form(QStringLiteral("Form2")));
}

void Form1::EnterSurname() {
    Program& p = program();
    // The surname is typed in Russian; the numbers and the decimal marks of
    // everything after it on the English (United States) keyboard.
    p.platform().ActivateKeyboardLayout(KeyboardLayout::Russian);
    const QString answer = p.platform().InputBox(texts::kSurnamePrompt, texts::kSurnameTitle, 500, 300);
    p.state().StudentLine = ProperCase(answer) + QLatin1Char(' ');
    p.platform().ActivateKeyboardLayout(KeyboardLayout::EnglishUS);
    hide();
    p.Unload(this);
    p.CloseOtherWindows();
    p.Menu()->show();
    BringToFront(p.Menu());
}

}  // namespace heatx
