// SPDX-License-Identifier: GPL-3.0-or-later
// The program description, with a shadowed text panel and the way back to
// the start window.
#pragma once

#include "window_base/form_window.h"

class QLabel;
class QPushButton;

namespace heatx {

class Form2 : public FormWindow {
public:
    explicit Form2(Program& program);
    void Load() override;

    QLabel* Label1;  // the description
    QLabel* Label2;  // shadow at the right
    QLabel* Label3;  // shadow below
    QPushButton* Command1;

private:
    void Continue();
};

}  // namespace heatx
