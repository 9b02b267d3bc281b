// SPDX-License-Identifier: GPL-3.0-or-later
// The input error dialog of a sheet: the input is wrong; "Да" goes back to
// editing the sheet, "Нет" ends the program. Built anew at every showing.
#pragma once

#include "window_base/form_window.h"

#include <QLabel>
#include <QPushButton>
#include <functional>

namespace heatx {

class SheetWindow;

struct ErrorDialogSetup {
    QString formName;     // "Form5"
    double clientWidth;   // twips
    double clientHeight;  // twips
    bool placeOnLoad;     // top 4500, centred on the sheet's width
};

class ErrorDialog : public FormWindow {
public:
    ErrorDialog(Program& program, ErrorDialogSetup setup, std::function<SheetWindow*()> sheet);
    void Load() override;

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Command1;  // "Да"
    QPushButton* Command2;  // "Нет"

    // "Да": back to editing on the sheet. The default restores the sheet's
    // edit mode with the hint shown and the end-of-corrections button hidden.
    std::function<void(ErrorDialog&)> onYes;

    // Shown above its sheet and kept there while it stays non-modal: it is a
    // transient window of the sheet, so a click on the sheet (the natural
    // click on the marked line) does not bury it behind a full-screen sheet.
    void ShowOverSheet();

    void Yes();
    void No();
    // Closing the dialog by its close box answers "Да": the student's data
    // stay, and the sheet goes back to editing instead of being left with no
    // control to go on.
    void ClosedByCloseBox();
    FormRole Role() const override { return FormRole::SheetDialog; }
    void CloseBoxPressed() override { ClosedByCloseBox(); }

    SheetWindow* Sheet() { return sheet_(); }

private:
    ErrorDialogSetup setup_;
    std::function<SheetWindow*()> sheet_;
};

}  // namespace heatx
