// SPDX-License-Identifier: GPL-3.0-or-later
// «ХОД РАСЧЁТА» of a design window: a button (and the key F2), shown while a
// result is, that opens a window with the steps of the run that gave it, one
// a line in a fixed-pitch font, and the table of the constructions computed
// since the design window opened for its sheet, newest last, the current one
// marked. The steps can be added to the report after their block of results.
#pragma once

#include "state/trace.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QWidget>
#include <functional>

namespace heatx {

class FormWindow;
class Program;

// The window itself: a window of its own above its design window.
class TraceWindow : public QWidget {
public:
    explicit TraceWindow(QWidget* design);

    QPlainTextEdit* Text;     // the steps
    QTableWidget* Table;      // the constructions tried
    QPushButton* PrintButton; // «ДОБАВИТЬ В ОТЧЁТ»
    QPushButton* CloseButton;
    QLabel* Note;             // what became of the print
};

// One computed construction: its cells as the table shows them, and whether
// the model gave results.
struct TriedConstruction {
    QStringList cells;
    bool computed = true;
};

class TraceHook {
public:
    // The button at left, top (twips) in design; header: the columns of the
    // constructions table after the marker column.
    TraceHook(FormWindow* design, Program& program, double left, double top, QStringList header);
    // The design window outlives its hook by its own destruction, which
    // hides it: the watch of that hiding goes with the hook.
    ~TraceHook() { delete hideWatch_.data(); }
    TraceHook(const TraceHook&) = delete;
    TraceHook& operator=(const TraceHook&) = delete;

    // The trace of the next run, emptied.
    Trace* Fresh();
    // After a run: the construction goes into the table; the button shows
    // when the run gave a result.
    void Computed(const TriedConstruction& row);
    // The results are off the window (a change of the construction begins):
    // the button and the window go.
    void Hide();
    // The design window comes from its sheet, which may have changed: the
    // table starts again.
    void NewSheet();
    // Opens the window with the trace of the shown result.
    void Open();

    // Adds the trace to the report: the block of results first, when the
    // student has not printed it yet.
    std::function<bool()> resultPrinted;
    std::function<void()> printResult;

    QPushButton* Button;
    TraceWindow* Window() const { return window_; }
    const Trace& LastTrace() const { return trace_; }

private:
    void Fill();
    void PrintIntoReport();

    FormWindow* design_;
    Program& program_;
    QStringList header_;
    Trace trace_;
    std::vector<TriedConstruction> tried_;
    bool printed_ = false;  // this trace is in the report
    TraceWindow* window_ = nullptr;
    QPointer<QObject> hideWatch_;  // hides the steps window with the design window
};

}  // namespace heatx
