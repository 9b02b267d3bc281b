// SPDX-License-Identifier: GPL-3.0-or-later
// The platform of the real program: Qt dialogs, the system beep, the report
// printer (a real printer or PDF and text files), the system clock and the
// regional settings.
#pragma once

#include "platform/platform.h"
#include "platform/qt_report_printer.h"

#include <QDialog>

class QLineEdit;
class QLabel;

namespace heatx {

// The input box: the prompt at the top left, "OK" and "Отмена" at the right,
// the entry field along the bottom.
class InputBoxDialog : public QDialog {
public:
    InputBoxDialog(const QString& prompt, const QString& title, QWidget* parent = nullptr);
    QString Text() const;
    QLineEdit* Entry() const { return entry_; }

private:
    QLabel* prompt_;
    QLineEdit* entry_;
};

// The window the program's boxes and messages stand over, centred on it and
// kept above it: the active window, else a window on the screen (the one the
// student goes to, before the window system has made it active). Null only
// when no window of the program is on the screen.
QWidget* MessageParent();

// The least width of an input box that shows title whole in a window
// manager's title bar, pixels.
int InputBoxTitleWidth(const QString& title);

// Moves a dialog's top-left corner to x, y twips, kept on the screen.
void PlaceOnScreen(QWidget* dialog, int xTwips, int yTwips);

// The program's information message: an icon, the text (selectable, wrapped
// anywhere, scrolled when long) and, when given, details to copy, with "OK";
// it fits a 1024 x 768 screen whatever the text.
QDialog* MessageDialog(const QString& title, const QString& text, const QString& details, QWidget* parent);

class QtPlatform : public Platform {
public:
    // executableFolder: where the program's pictures are looked for.
    explicit QtPlatform(const QString& executableFolder);

    QString InputBox(const QString& prompt, const QString& title, int xTwips, int yTwips) override;
    int YesNoBox(const QString& title, const QString& text) override;
    // On X11 the XKB group of the layout is locked; elsewhere, or with no
    // such layout on the keyboard, nothing changes.
    void ActivateKeyboardLayout(KeyboardLayout layout) override;
    void Beep() override;
    Printer& ReportPrinter() override { return printer_; }
    void SetReportApparatus(const QString& word) override { printer_.SetApparatus(word); }
    void SetReportStudent(const QString& line) override { printer_.SetStudent(line); }
    QtReportPrinter& Reports() { return printer_; }
    QDateTime Now() override { return QDateTime::currentDateTime(); }
    QLocale Locale() override { return QLocale::system(); }
    QString ProgramFolder() override { return pictureFolder_; }
    QSize ScreenSizeTwips() override;

    // Shows one information message (used by the report printer). Its text
    // can be selected; details, when given, are shown below it in an area
    // whose text can be selected and copied.
    static void Inform(const QString& title, const QString& text, const QString& details = QString());

private:
    QString pictureFolder_;
    QtReportPrinter printer_;
};

}  // namespace heatx
