// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/form2.h"

#include "platform/fonts.h"
#include "platform/twips.h"
#include "window_base/program.h"
#include "window_base/window_texts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace heatx {

Form2::Form2(Program& program) : FormWindow(program, QStringLiteral("Form2")) {
    setWindowTitle(texts::kDescriptionTitle);
    SetBackColor(Rgb(192, 192, 0));
    SetClientTwips(8820, 6960);
    // Placed in the middle of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        SetWindowTwips(std::max(0.0, (TwipsFromPx(s.width()) - WidthTwips()) / 2),
                       std::max(0.0, (TwipsFromPx(s.height()) - HeightTwips()) / 2), -1, -1);
    }

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setFont(ProgramFont(QStringLiteral("Courier New"), 9));
    SetLabelColors(Label1, Rgb(0, 255, 255), Rgb(0, 0, 192));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    SetLabelColors(Label2, Rgb(255, 128, 0), Rgb(0, 0, 0));
    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    SetLabelColors(Label3, Rgb(255, 128, 0), Rgb(0, 0, 0));

    Command1 = MakeButton(this, "Command1", texts::kContinueButton, Rgb(0, 255, 0), 1920, 5640, 4095, 375);
    Command1->setFocus();
    connect(Command1, &QPushButton::clicked, this, [this] { Continue(); });
}

void Form2::Load() {
    SetTwips(Label1, 1080, 480, 6135, 4575);
    const TwipsRect l1 = Twips(Label1);
    SetTwips(Label2, l1.left + l1.width, l1.top + 50, 100, l1.height);
    SetTwips(Label3, l1.left + 50, l1.top + l1.height, l1.width + 60, 100);
    Label1->setText(texts::kDescriptionLines.join(QLatin1Char('\n')));
}

void Form2::Continue() {
    Program& p = program();
    hide();
    // The hidden start window was loaded before this one: it goes, and the
    // start window shown next is a new one, its background drawn anew.
    p.CloseOtherWindows();
    p.Form(kStartFormName)->show();
    BringToFront(p.Form(kStartFormName));
}

}  // namespace heatx
