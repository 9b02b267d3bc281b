// SPDX-License-Identifier: GPL-3.0-or-later
// The running program: the calculation state, the platform, the windows and
// the end of the program. Windows refer to one another only through it, by
// name; a window is created the first time it is referred to, by the factory
// registered under its name, and its load handler runs then. The program
// knows no window of its own: the shell registers the start window and the
// menu, each apparatus its sheet, error dialog, design window and menu entry.
#pragma once

#include "platform/pictures.h"
#include "platform/platform.h"
#include "state/calc_state.h"
#include "state/trace.h"
#include "window_base/form_registry.h"

#include <QHash>
#include <QPixmap>
#include <functional>

namespace heatx {

class FormWindow;
class Program;

// Makes a window, not yet loaded.
using FormFactory = std::function<FormWindow*(Program&)>;

// The windows that every other one may reach: the start window and the
// library menu, to which each apparatus returns.
inline const QString kStartFormName = QStringLiteral("Form1");
inline const QString kMenuFormName = QStringLiteral("Form4");

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

    // How the window of that name is made on its first reference.
    void RegisterForm(const QString& name, FormFactory make);
    // The window of that name: the loaded instance, or a new one, made by its
    // factory and loaded. Null for a name no one registered.
    FormWindow* Form(const QString& name);
    template <class T>
    T* Form(const QString& name) {
        return static_cast<T*>(Form(name));
    }
    FormWindow* Menu() { return Form(kMenuFormName); }
    // The menu put away for an apparatus's sheet: hidden, unloaded, every
    // other window closed.
    void LeaveMenu();

    // What a button of the library menu (named as the menu names it,
    // "Command2") opens; the apparatus behind it registers it.
    void RegisterMenuEntry(const QString& button, std::function<void(Program&)> open);
    // The button's entry, when one is registered.
    void OpenMenuEntry(const QString& button);

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
    // The steps of the run whose block was printed last, as a block of
    // their own after it (an open evaporator table is closed first; the next
    // row starts its header again).
    void PrintTrace(const Trace& trace);

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
    CalcState& state_;
    Platform& platform_;
    std::function<void()> quit_;
    FormRegistry forms_;
    QHash<QString, FormFactory> factories_;
    QHash<QString, std::function<void(Program&)>> menuEntries_;
    bool ended_ = false;
    bool reportOpen_ = false;
    bool evapTableOpen_ = false;
    bool evaporatorShown_ = false;
};

}  // namespace heatx
