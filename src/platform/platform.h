// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the windows need from outside the program: the modal input and
// yes/no boxes, the keyboard layout switch, the beep, the report printer, the clock and regional formats,
// the folder of the pictures and the screen size.
//
// QtPlatform is the real one; tests answer the boxes from queues and record
// the printed lines, so a whole road of the program runs without a person.
#pragma once

#include "report/printer.h"

#include <QDateTime>
#include <QLocale>
#include <QSize>
#include <QString>

namespace heatx {

// Answer codes of the yes/no message box (YesNoBox).
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

// The input languages the program switches between around the surname entry.
enum class KeyboardLayout { Russian, EnglishUS };

// An input box answer that came from cancelling the box. A caller that asks
// for a line anew keeps the line's old value then; at the first entry of a
// line a cancel counts as the empty answer.
inline bool Cancelled(const QString& answer) { return answer.isNull(); }

class Platform {
public:
    virtual ~Platform() = default;

    // Modal input box: prompt, title, an empty entry field, its top-left
    // corner x, y twips from the screen's corner. The typed text; the empty
    // text when the box is cancelled (Cancel, Escape or its close box), and
    // then a null one, so that a caller can tell a cancel from an empty
    // answer confirmed with OK (see Cancelled).
    virtual QString InputBox(const QString& prompt, const QString& title, int xTwips, int yTwips) = 0;

    // Modal message box with the buttons "Да" and "Нет" and no icon:
    // kAnswerYes (6) or kAnswerNo (7).
    virtual int YesNoBox(const QString& title, const QString& text) = 0;

    // Makes layout the input language of the keyboard, where the window
    // system has such layouts; does nothing where it has not.
    virtual void ActivateKeyboardLayout(KeyboardLayout layout) = 0;

    virtual void Beep() = 0;

    // The printer the reports go to, and the apparatus word it names its
    // saved files with ("подогреватель", "холодильник", "испаритель").
    virtual Printer& ReportPrinter() = 0;
    virtual void SetReportApparatus(const QString& word) = 0;
    // The student's line of the report, which names the print job.
    virtual void SetReportStudent(const QString& /*line*/) {}

    // Current moment and the regional settings of the date line.
    virtual QDateTime Now() = 0;
    virtual QLocale Locale() = 0;

    // Folder of the picture files (button faces and the error icon).
    virtual QString ProgramFolder() = 0;

    // Screen width and height in twips.
    virtual QSize ScreenSizeTwips() = 0;
};

}  // namespace heatx
