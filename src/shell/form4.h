// SPDX-License-Identifier: GPL-3.0-or-later
// The program library menu: one button per apparatus type and the end.
#pragma once

#include "window_base/form_window.h"

class QLabel;
class QPushButton;

namespace heatx {

class Form4 : public FormWindow {
public:
    explicit Form4(Program& program);
    void Load() override;

    QLabel* Label1;
    QPushButton* Command1;  // evaporator (hidden on every load)
    QPushButton* Command2;  // heater or dephlegmator
    QPushButton* Command3;  // cooler
    QPushButton* Command4;  // end

protected:
    // Drawn anew at every repaint: a vertical blend.
    void PaintBackground(QPainter& painter) override;
};

}  // namespace heatx
