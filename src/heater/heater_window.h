// SPDX-License-Identifier: GPL-3.0-or-later
// The heater or dephlegmator on screen: its input sheet (Form3), its input
// error dialog (Form5) and its design window (Form9), in which the student
// chooses horizontal or vertical, types the construction, reads the results,
// changes the construction, prints, or leaves.
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

SheetSetup HeaterSheetSetup();
ErrorDialogSetup HeaterErrorDialogSetup();
// Wires the heater's sheet buttons to the heater's road.
void ConnectHeaterSheet(SheetWindow& sheet);

// The menu's "ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР": captions, print flags, the
// sheet opened and every sheet line asked for, then the checked sheet.
void PrepareHeaterSheet(Program& program);

class Form9;
// The heater's windows, each made on its first reference.
SheetWindow* HeaterSheet(Program& program);        // Form3
ErrorDialog* HeaterErrorDialog(Program& program);  // Form5
Form9* HeaterDesign(Program& program);             // Form9
// Tells the program how to make them and what the menu's heater button opens.
void RegisterHeater(Program& program);

class Form9 : public FormWindow {
public:
    explicit Form9(Program& program);
    void Load() override;

    QLabel* Label1;  // results heading
    QLabel* Label2;  // result values
    QLabel* Label6;  // Reynolds line or warning
    QLabel* Label8;  // "ВЫБЕРИТЕ ТИП ТЕПЛООБМЕННИКА"
    std::array<QLabel*, 5> L;  // construction lines
    QListWidget* List1;        // construction list for changes
    QPushButton* Command1;     // print
    QPushButton* Command2;     // change the construction
    QPushButton* Command3;     // change the physical properties
    QPushButton* Command4;     // another exchanger
    QPushButton* Command5;     // end
    QPushButton* Command6;     // horizontal
    QPushButton* Command7;     // vertical
    QPushButton* Command8;     // calculate again
    PrintNote* Note;           // where the printed block went
    std::unique_ptr<TraceHook> Steps;  // «ХОД РАСЧЁТА» (F2) and the constructions tried

    // Asks for the four constructive values, then HeaterDesignRun. False
    // when the program was ended on the way.
    bool ReadHeaterConstruction();
    // Runs the model and shows the construction and the results, or the
    // Reynolds warning.
    void HeaterDesignRun();

private:
    void ChooseType(Flag horizontal);
    void Print();
    void ShowConstructionList();
    void FillConstructionList();
    void ConstructionLineClicked(int k);
    void Calculate();
    void ChangeProperties();
    void OtherExchanger();
    void EndProgram();
    // One constructive line asked for until it lies in its range. False when
    // the student answered "Нет" to the error box (the program has ended).
    // With keepOnCancel a cancelled box keeps the line's old value.
    bool AskConstructive(int line, const QString& title, int x, int y, bool keepOnCancel = false);
    QString TypeWord() const;
    QString LineCaption(int line) const;
    void ShowCommands(bool show);
};

}  // namespace heatx
