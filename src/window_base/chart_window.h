// SPDX-License-Identifier: GPL-3.0-or-later
// The chart of the design space beside a design window's result: a button
// «ГРАФИК» (and the key F3) shown exactly while the result is, and the window
// it opens with the two charts of platform/sweep_chart.h. The curves are
// computed on a copy of the state, away from the window's thread, so the
// windows never wait for them. From the chart window the picture is saved as
// PNG and SVG beside the report, or added to the report as a page of its own
// after the current block.
#pragma once

#include "state/calc_state.h"
#include "state/sweep.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QChartView;
class QLabel;
class QPushButton;
class QThread;

namespace heatx {

class FormWindow;

using SweepMaker = std::function<Sweep(const CalcState&)>;

class ChartWindow : public QWidget {
public:
    // Computes the sweep of state in the background; design is the window
    // it belongs to (its colour, its program's report).
    ChartWindow(FormWindow* design, const CalcState& state, SweepMaker sweep);
    ~ChartWindow() override;

    // The curves are drawn (false while they are being computed).
    bool Ready() const { return ready_; }
    const Sweep& Curves() const { return sweep_; }
    QChartView* SurfaceView;   // F and K
    QChartView* ReynoldsView;  // Re (the evaporator: its coefficients)
    QLabel* Own;               // the student's construction and its result
    QLabel* Hover;             // the point under the pointer
    QLabel* Saved;             // where the pictures went, or why not
    QPushButton* SaveButton;
    QPushButton* ReportButton;
    QPushButton* CloseButton;

    // Saves PNG and SVG beside the report; the paths, or empty (Saved says why).
    QStringList SavePictures();
    // Adds the chart to the report after the current block.
    bool AddToReport();
    // What hovering a point of curve at x shows.
    void HoverAt(int curve, double x);

private:
    void Computed();
    void Draw();
    QString PictureBase() const;

    QPointer<FormWindow> design_;
    SweepMaker make_;
    std::unique_ptr<CalcState> input_;
    Sweep sweep_;
    std::unique_ptr<QThread> worker_;
    bool ready_ = false;
};

// The button «ГРАФИК» of a design window, right below its lowest control
// (the window grows to hold it when it must), shown while results is; F3
// presses it. It opens (or brings up again) the chart of the current state.
QPushButton* AddChartButton(FormWindow* design, QWidget* results, SweepMaker sweep);
// The chart window of design, when one is open.
ChartWindow* OpenChart(FormWindow* design);

}  // namespace heatx
