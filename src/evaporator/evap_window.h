// SPDX-License-Identifier: GPL-3.0-or-later
// The evaporator on screen: its input sheet (Form10), its input error dialog
// (Form8) and its design window (Form11), in which the student types the
// tube height, reads the coefficients and the surface, tries other heights,
// prints one table row per height, goes back to the sheet, or leaves.
#pragma once

#include "sheets/error_dialog.h"
#include "sheets/sheet_window.h"
#include "window_base/form_window.h"
#include "window_base/print_note.h"
#include "window_base/trace_window.h"
#include <memory>

#include <QLabel>
#include <QPushButton>
#include <cstdint>

namespace heatx {

class Program;

SheetSetup EvapSheetSetup();
ErrorDialogSetup EvapErrorDialogSetup();
// Wires the evaporator's sheet buttons to EvapDesignRun.
void ConnectEvapSheet(SheetWindow& sheet);

// The menu's "ИСПАРИТЕЛЬ": captions, print flags, the sheet opened and
// every sheet line asked for, then the checked sheet.
void PrepareEvapSheet(Program& program);

// From the sheet's run buttons: the sheet checked once more; a wrong sheet
// gets its error view and the error dialog, a right one goes on to the
// design window, the tube height and the model.
void EvapDesignRun(Program& program, SheetWindow& sheet);

// The teacher's demonstration switch: HEATX_EVAPORATOR=1 in the environment
// of the program shows the menu's evaporator button.
bool EvaporatorSwitchOn();

class Form11;
// The evaporator's windows, each made on its first reference.
SheetWindow* EvapSheet(Program& program);        // Form10
ErrorDialog* EvapErrorDialog(Program& program);  // Form8
Form11* EvapDesign(Program& program);            // Form11
// Tells the program how to make them and what the menu's hidden evaporator
// button opens.
void RegisterEvaporator(Program& program);

class Form11 : public FormWindow {
public:
    explicit Form11(Program& program);
    void Load() override;

    QLabel* Label1;         // tube height line
    QLabel* Label2;         // result block
    QPushButton* Command1;  // print the row of this height
    QPushButton* Command2;  // another tube height
    QPushButton* Command3;  // change the physical properties
    QPushButton* Command4;  // another exchanger
    QPushButton* Command5;  // end
    std::unique_ptr<TraceHook> Steps;  // «ХОД РАСЧЁТА» (F2) and the heights tried
    PrintNote* Note;        // where the printed row went

    // The design run behind a sheet that passed its check: the window
    // opened, the tube height asked for, the model run, the results or the
    // failure shown.
    void Run();

private:
    // The column widths of the value row: after the first run of a sheet,
    // and after a change of the tube height.
    struct RowWidths {
        uint8_t width[4];
        uint8_t column[4];
    };
    static const RowWidths kFirstRun;
    static const RowWidths kHeightChange;

    // Asks until the tube height lies between 1 and 10 m. False when the
    // student answered "Нет" to the error box (the program has ended). When
    // cancelled is given, a cancelled box keeps the old height and sets it.
    bool AskHeight(bool* cancelled = nullptr);
    void SetHeightLine();
    void SetResults(const RowWidths& widths);
    void ShowControls(bool show);
    // The model failed: no numbers; "Да" offers everything but printing.
    void ModelFailure();
    // The student ends the program from a message box.
    void EndFromMessage();

    void Print();
    void ChangeHeight();
    void ChangeProperties();
    void OtherExchanger();
    void EndProgram();
};

}  // namespace heatx
