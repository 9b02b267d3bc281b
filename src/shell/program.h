// SPDX-License-Identifier: GPL-3.0-or-later
// The running program: the calculation state, the platform, the windows and
// the end of the program. Windows refer to one another only through it; a
// window is created the first time it is referred to (formN() below) and its
// load handler runs then.
#pragma once

#include "platform/pictures.h"
#include "platform/platform.h"
#include "shell/form_registry.h"
#include "state/calc_state.h"

#include <QPixmap>
#include <functional>

namespace heatx {

class Form1;
class Form2;
class Form4;
class Form9;
class Form11;
class Form6;
class Form13;
class SheetWindow;
class ErrorDialog;
class FormWindow;

class Program {
public:
    // quit is called once when the program ends.
    Program(CalcState& state, Platform& platform, std::function<void()> quit);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    CalcState& state() { return state_; }
    Platform& platform() { return platform_; }
    FormRegistry& forms() { return forms_; }

    // The start of the program: the start window is created and shown.
    void Start();

    // The windows; each reference creates a window that is not loaded.
    Form1* form1();
    Form2* form2();
    SheetWindow* form3();
    Form4* form4();
    ErrorDialog* form5();
    Form9* form9();
    SheetWindow* form10();
    ErrorDialog* form8();
    Form11* form11();
    Form6* form6();
    ErrorDialog* form14();
    Form13* form13();

    // A loaded window by name, without creating it (nullptr when not loaded).
    FormWindow* Loaded(const QString& name) const { return forms_.Find(name); }

    void Unload(FormWindow* form) { forms_.Unload(form); }
    void CloseOtherWindows() { forms_.CloseOtherWindows(); }

    // The explicit end: every window goes at once, no handler runs. A report
    // still open is ended first, so that nothing printed is lost.
    void End();
    bool Ended() const { return ended_; }
    // The reports' part of the end, without the windows: the end of a
    // session (logout, a lost display) that does not return to them.
    void EndReports();

    // A window closed by its close box. The program ends when no window is
    // left on the screen.
    void ClosedByUser(FormWindow* form);

    // Report printing: one block of the heater report, and the end of the
    // print job (only when something was printed since the last end).
    void PrintHeaterRow();
    void EndPrintJob();
    // One block of the cooler report.
    void PrintCoolerRow();
    // One row of the evaporator's table, and the end of that report: the
    // closing rule under the table, then the end of the print job.
    void PrintEvapRow();
    void CloseEvapReport();

    // The menu's evaporator button is shown only for a teacher's
    // demonstration (set once at start).
    void ShowEvaporator(bool shown) { evaporatorShown_ = shown; }
    bool EvaporatorShown() const { return evaporatorShown_; }

    // A picture of the program's folder, or the program's own drawing of it
    // when the file is missing or unreadable.
    QPixmap PictureOf(Picture picture);


    // The date line of a report head, from the platform's clock and regional
    // settings.
    QString DateLine();

private:
    template <class T, class Make>
    T* Reference(const QString& name, Make make);

    CalcState& state_;
    Platform& platform_;
    std::function<void()> quit_;
    FormRegistry forms_;
    bool ended_ = false;
    bool reportOpen_ = false;
    bool evapTableOpen_ = false;
    bool evaporatorShown_ = false;
};

}  // namespace heatx
