// SPDX-License-Identifier: GPL-3.0-or-later
// The cooler on screen: its input sheet (Form6), which after the thirteen
// physical and load lines also asks for the five constructive lines, its
// input error dialog (Form14) and its design window (Form13), in which the
// student reads the results, changes the construction, prints, or leaves.
#pragma once

#include "sheets/error_dialog.h"
#include "sheets/sheet_window.h"
#include "window_base/form_window.h"
#include "window_base/print_note.h"
#include "window_base/trace_window.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <array>
#include <memory>

namespace heatx {

class Program;

SheetSetup CoolerSheetSetup();
ErrorDialogSetup CoolerErrorDialogSetup();

// The menu's "ХОЛОДИЛЬНИК": captions, print flags, the full-screen sheet
// opened and lines 0-12 asked for, then the checked sheet.
void PrepareCoolerSheet(Program& program);

// Asks for constructive line 13-17 until it lies in its first-entry range;
// each refusal beeps and asks whether to go on. An accepted line is shown at
// once on the design window (caption and value, no padding). False when the
// student answered "Нет" and the program has ended.
bool ReadConstructiveLine(Program& program, uint8_t line);

// "Да" of Form14: the sheet opens for editing with the first bad line
// selected, and that line is asked for at once.
void CoolerDialogYes(ErrorDialog& dialog);

class Form6;
class Form13;
// The cooler's windows, each made on its first reference.
Form6* CoolerSheet(Program& program);              // Form6
ErrorDialog* CoolerErrorDialog(Program& program);  // Form14
Form13* CoolerDesign(Program& program);            // Form13
// Tells the program how to make them and what the menu's cooler button opens.
void RegisterCooler(Program& program);

class Form6 : public SheetWindow {
public:
    explicit Form6(Program& program);
    void Load() override;

    // The list refilled from the current value texts, each value re-read,
    // composed with the width of the re-opened sheet.
    void FillReopenedList();

private:
    void KeepData();        // Command1
    void EndCorrections();  // Command3
    void ShowInputError(double dialogLeft);
};

class Form13 : public FormWindow {
public:
    explicit Form13(Program& program);
    void Load() override;

    QLabel* Label1;  // results heading
    QLabel* Label4;  // alpha_1, alpha_2, K, F
    QLabel* Label5;  // heading of the Reynolds numbers
    QLabel* Label6;  // Re_1, Re_2
    std::array<QLabel*, 5> L;  // constructive lines 13-17
    QListWidget* List1;        // constructive lines while they are changed
    QPushButton* Command1;     // print
    QPushButton* Command2;     // change the construction
    QPushButton* Command3;     // change the physical properties
    QPushButton* Command4;     // another exchanger
    QPushButton* Command5;     // end
    QPushButton* Command6;     // calculate again
    PrintNote* Note;           // where the printed block went
    std::unique_ptr<TraceHook> Steps;  // «ХОД РАСЧЁТА» (F2) and the constructions tried

    // The window emptied for the constructive lines that follow the sheet.
    void ClearForConstruction();
    // Shows the construction, runs the model and shows the results.
    void CoolerDesignRun();

private:
    void Print();
    void ShowConstructionList();
    void ConstructionLineClicked(int k);
    void Calculate();
    void ChangeProperties();
    void OtherExchanger();
    void EndProgram();
    // A line of the construction list: caption, blanks to 80, value text.
    QListWidgetItem* ListItem(int line) const;
};

}  // namespace heatx
