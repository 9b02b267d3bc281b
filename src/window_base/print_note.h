// SPDX-License-Identifier: GPL-3.0-or-later
// The line of a design window that tells the student, after a print, that the
// block is now in the report and where the report is. It stands where the
// print button stood (the button hides after a print) across the window, so
// no control moves; it goes when the print button or the results come back.
#pragma once

#include <QLabel>

namespace heatx {

class PrintNote : public QLabel {
public:
    // printButton: the button the note takes the place of; results: a
    // control shown exactly while the results are (the note goes with it).
    PrintNote(QWidget* window, QWidget* printButton, QWidget* results);

    // The block was printed; copyPath is the report's text copy, or empty
    // when there is none yet (a printer, or a folder that could not be
    // written: the report goes out or is saved at its end, with a message).
    void Tell(const QString& copyPath);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* printButton_;
    QWidget* results_;
};

}  // namespace heatx
