// SPDX-License-Identifier: GPL-3.0-or-later
// A window that opens under the mouse pointer (an error dialog after a click
// on the sheet, an input box after a click on a list line) would take the
// second click of a double click as an answer the student never saw. Such a
// window ignores mouse buttons on itself for the system's double-click
// interval after it appears.
#pragma once

class QWidget;

namespace heatx {

// Guards window at every showing from then on (the guard lives as long as
// the window does).
void GuardAgainstOpeningClick(QWidget* window);

}  // namespace heatx
