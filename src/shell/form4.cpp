// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/form4.h"

#include "platform/fonts.h"
#include "platform/twips.h"
#include "window_base/program.h"
#include "window_base/window_texts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace heatx {

Form4::Form4(Program& program) : FormWindow(program, QStringLiteral("Form4")) {
    setWindowTitle(QStringLiteral("Form4"));
    SetClientTwips(8985, 5325);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize s = screen->size();
        SetWindowTwips(std::max(0.0, (TwipsFromPx(s.width()) - WidthTwips()) / 2),
                       std::max(0.0, (TwipsFromPx(s.height()) - HeightTwips()) / 2), -1, -1);
    }

    Label1 = new QLabel(texts::kMenuHeading, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setFont(ProgramFont(QStringLiteral("Microsoft Sans Serif"), 12, true, true));
    SetLabelColors(Label1, Rgb(0, 192, 192), Rgb(255, 255, 0));
    SetTwips(Label1, 2400, 480, 3735, 375);

    auto button = [&](const char* name, const QString& caption, const QColor& face, double top) {
        return MakeButton(this, name, caption, face, 2520, top, 3495, 495);
    };
    Command1 = button("Command1", texts::kEvaporatorButton, Rgb(255, 255, 0), 1320);
    Command2 = button("Command2", texts::kHeaterButton, Rgb(255, 255, 0), 2040);
    Command3 = button("Command3", texts::kCoolerButton, Rgb(255, 255, 0), 2760);
    Command4 = button("Command4", texts::kEndCalculationButton, Rgb(255, 128, 128), 3600);
    setTabOrder(Command4, Command3);
    setTabOrder(Command3, Command2);
    // Tab order: end, cooler, heater, evaporator (when shown), and round
    // again; the end button has the focus (given in the load handler).
    setTabOrder(Command2, Command1);

    // Each apparatus registers what its button opens.
    for (QPushButton* b : {Command1, Command2, Command3})
        connect(b, &QPushButton::clicked, this, [this, b] { this->program().OpenMenuEntry(b->objectName()); });
    connect(Command4, &QPushButton::clicked, this, [this] { this->program().End(); });
}

void Form4::Load() {
    // The evaporator stays behind a hidden button, shown only for a
    // teacher's demonstration.
    Command1->hide();
    if (program().EvaporatorShown()) Command1->show();
    Command4->setFocus();
}

void Form4::PaintBackground(QPainter& painter) {
    // Strips three pixels high, one per pixel row, each over the one before:
    // from RGB(0, 150, 255) at the top to RGB(0, 150, 0) at the bottom.
    const int h = std::max(1, height());
    const int w = width();
    for (int i = 0; i <= h; ++i)
        painter.fillRect(QRect(QPoint(-1, i - 1), QPoint(w, i + 1)), Rgb(0, 150, 255 - (i * 255) / h));
}

}  // namespace heatx
