// SPDX-License-Identifier: GPL-3.0-or-later
// The input sheet window of an apparatus type: the list of input lines, the
// first-entry pass, the review with its red or green face, editing of single
// lines and the error view. One design for the three types; each type gives
// its lines, its composition width, its check and what its buttons lead to.
#pragma once

#include "window_base/form_window.h"
#include "state/calc_state.h"
#include "state/road_outcome.h"

#include <QLabel>
#include <QListWidget>
#include <array>
#include <functional>

namespace heatx {

class PictureButton;

struct SheetSetup {
    QString formName;      // "Form3"
    int promptedLines;     // lines 0 .. promptedLines - 1 are on the sheet
    uint8_t composeWidth;  // a line is caption, blanks to this width, value text
    int editInputX;        // x of the input box when a line is edited, twips
    double hintCentre;     // Label3 and Command3 are centred on this x, twips
    double hintTop;        // top of the hint Label3, twips
    std::function<QString(const CalcState&, int)> caption;
    std::function<QString&(CalcState&, int)> valueText;
    std::function<RoadOutcome(CalcState&)> check;  // the sheet check of the road
    std::function<QString(int)> allowedRange;  // what line i lets pass, as the student reads it
};

class SheetWindow : public FormWindow {
public:
    SheetWindow(Program& program, SheetSetup setup);
    void Load() override;
    FormRole Role() const override { return FormRole::Sheet; }

    QLabel* Label1;  // heading
    QLabel* Label2;  // highlight of the bad line
    QLabel* Label3;  // editing hint
    QLabel* RangeNote;  // what the marked line allows, beside it (or under the lines)
    QListWidget* List1;
    PictureButton* Command1;  // keep the data and go on
    PictureButton* Command2;  // edit
    PictureButton* Command3;  // end of corrections

    // What the type's buttons do (set by the type's windows).
    std::function<void(SheetWindow&)> onKeepData;        // Command1
    std::function<void(SheetWindow&)> onEndCorrections;  // Command3

    const SheetSetup& Setup() const { return setup_; }
    CalcState& State();

    // Line i as shown: caption, blanks to the composition width, value text.
    QString ComposedLine(int i);
    void AppendLine(int i);
    // The list refilled from the current value texts, each value re-read.
    void RefillList();
    // The lines printed on the window's surface where the list stands.
    void PrintLines();
    // Label2 over the bad line: the composed line BadLineIndex, red on green.
    void ShowBadLine(double left, double top, double width);
    // The faces of Command1 and Command3 by the check's result.
    void SetKeepFace(bool passed);
    void SetEndFace(bool passed);

    // Command2: the list opens for editing.
    void EnterEditMode();
    // A click on list line i: the line is asked for again.
    void EditLine(int i);

    // The first-entry pass and the review of the preparation: title, the
    // buttons and labels hidden, every line asked for, then the check's
    // result shown. The caller has set the window's geometry.
    void RunFirstEntry();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The allowed range of the marked line, beside it when it fits in the
    // window, else under the printed lines; it goes when the mark goes.
    void ShowRangeNote();

    SheetSetup setup_;
};

}  // namespace heatx
