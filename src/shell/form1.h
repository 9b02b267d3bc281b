// SPDX-License-Identifier: GPL-3.0-or-later
// The start window: a drawn background, the program title, the author's
// credit and three buttons (description, input, end).
#pragma once

#include "window_base/form_window.h"

#include <QImage>

class QLabel;
class QPushButton;

namespace heatx {

class Form1 : public FormWindow {
public:
    explicit Form1(Program& program);
    void Load() override;

    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Command1;  // description
    QPushButton* Command2;  // surname entry, then the library menu
    QPushButton* Command3;  // end of the program

    const QImage& Background() const { return background_; }

protected:
    void PaintBackground(QPainter& painter) override;
    // The client area changes once the window manager has framed the
    // window: the background is drawn again for it.
    void resizeEvent(QResizeEvent* event) override;

private:
    void DrawBackground();
    void Describe();
    void EnterSurname();

    QImage background_;  // retained: drawn once at load, repainted from here
};

}  // namespace heatx
