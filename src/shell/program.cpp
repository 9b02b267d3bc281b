// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/program.h"

#include "cooler/cooler_report.h"
#include "cooler/cooler_window.h"
#include "evaporator/evap_report.h"
#include "evaporator/evap_window.h"
#include "heater/heater_report.h"
#include "heater/heater_window.h"
#include "report/report_frame.h"
#include "sheets/error_dialog.h"
#include "sheets/sheet_window.h"
#include "shell/form1.h"
#include "shell/form2.h"
#include "shell/form4.h"

#include <QApplication>

namespace heatx {

Program::Program(CalcState& state, Platform& platform, std::function<void()> quit)
    : state_(state), platform_(platform), quit_(std::move(quit)) {}

Program::~Program() = default;

template <class T, class Make>
T* Program::Reference(const QString& name, Make make) {
    if (FormWindow* loaded = forms_.Find(name)) return static_cast<T*>(loaded);
    T* form = make();
    forms_.Add(form);
    form->Load();
    return form;
}

Form1* Program::form1() {
    return Reference<Form1>(QStringLiteral("Form1"), [this] { return new Form1(*this); });
}

Form2* Program::form2() {
    return Reference<Form2>(QStringLiteral("Form2"), [this] { return new Form2(*this); });
}

SheetWindow* Program::form3() {
    return Reference<SheetWindow>(QStringLiteral("Form3"), [this] {
        auto* sheet = new SheetWindow(*this, HeaterSheetSetup());
        ConnectHeaterSheet(*sheet);
        return sheet;
    });
}

Form4* Program::form4() {
    return Reference<Form4>(QStringLiteral("Form4"), [this] { return new Form4(*this); });
}

ErrorDialog* Program::form5() {
    return Reference<ErrorDialog>(QStringLiteral("Form5"), [this] {
        return new ErrorDialog(*this, HeaterErrorDialogSetup(), [this] { return form3(); });
    });
}

Form9* Program::form9() {
    return Reference<Form9>(QStringLiteral("Form9"), [this] { return new Form9(*this); });
}

SheetWindow* Program::form10() {
    return Reference<SheetWindow>(QStringLiteral("Form10"), [this] {
        auto* sheet = new SheetWindow(*this, EvapSheetSetup());
        ConnectEvapSheet(*sheet);
        return sheet;
    });
}

ErrorDialog* Program::form8() {
    return Reference<ErrorDialog>(QStringLiteral("Form8"), [this] {
        return new ErrorDialog(*this, EvapErrorDialogSetup(), [this] { return form10(); });
    });
}

Form11* Program::form11() {
    return Reference<Form11>(QStringLiteral("Form11"), [this] { return new Form11(*this); });
}

Form6* Program::form6() {
    return Reference<Form6>(QStringLiteral("Form6"), [this] { return new Form6(*this); });
}

ErrorDialog* Program::form14() {
    return Reference<ErrorDialog>(QStringLiteral("Form14"), [this] {
        auto* dialog = new ErrorDialog(*this, CoolerErrorDialogSetup(), [this] { return form6(); });
        dialog->onYes = CoolerDialogYes;
        return dialog;
    });
}

Form13* Program::form13() {
    return Reference<Form13>(QStringLiteral("Form13"), [this] { return new Form13(*this); });
}

void Program::Start() {
    // Every window, box and message of the program shows the program's icon.
    QApplication::setWindowIcon(ProgramIcon());
    Form1* start = form1();
    start->show();
    BringToFront(start);
}

void Program::End() {
    if (ended_) return;
    ended_ = true;
    EndReports();
    forms_.UnloadAll();
    if (quit_) quit_();
}

void Program::EndReports() {
    // A report that was printed to but not yet sent goes out now, an
    // evaporator table with its closing rule; with it, a report the printer
    // could not send or save before gets its last chance (one message for
    // both, and nothing stays only in memory when the program is gone).
    Printer& printer = platform_.ReportPrinter();
    if (evapTableOpen_) PrintClosingRule(printer, kEvapTableWidth);
    evapTableOpen_ = false;
    reportOpen_ = false;
    printer.EndSession();
}

void Program::ClosedByUser(FormWindow* form) {
    if (ended_ || !forms_.Find(form->Name())) return;
    if (auto* dialog = dynamic_cast<ErrorDialog*>(form)) {
        dialog->ClosedByCloseBox();
        return;
    }
    if (dynamic_cast<SheetWindow*>(form)) {
        // An open error dialog belongs to the sheet and goes with it.
        for (const QString& name : forms_.LoadOrder())
            if (auto* dialog = dynamic_cast<ErrorDialog*>(forms_.Find(name))) forms_.Unload(dialog);
    }
    forms_.Unload(form);
    // Hidden windows may still be loaded; with none left on the screen the
    // student could not go on, so the program ends.
    if (!forms_.AnyVisible()) End();
}

void Program::PrintHeaterRow() {
    platform_.SetReportApparatus(QStringLiteral("подогреватель"));
    platform_.SetReportStudent(state_.StudentLine);
    heatx::PrintHeaterRow(state_, platform_.ReportPrinter(), [this] { return DateLine(); });
    platform_.ReportPrinter().EndBlock();
    reportOpen_ = true;
}

void Program::PrintCoolerRow() {
    platform_.SetReportApparatus(QStringLiteral("холодильник"));
    platform_.SetReportStudent(state_.StudentLine);
    heatx::PrintCoolerRow(state_, platform_.ReportPrinter(), [this] { return DateLine(); });
    platform_.ReportPrinter().EndBlock();
    reportOpen_ = true;
}

void Program::EndPrintJob() {
    if (!reportOpen_) return;
    reportOpen_ = false;
    platform_.ReportPrinter().EndDocument();
}

void Program::PrintEvapRow() {
    platform_.SetReportApparatus(QStringLiteral("испаритель"));
    platform_.SetReportStudent(state_.StudentLine);
    heatx::PrintEvapRow(state_, platform_.ReportPrinter(), [this] { return DateLine(); });
    platform_.ReportPrinter().EndBlock();
    reportOpen_ = true;
    evapTableOpen_ = true;
}

void Program::CloseEvapReport() {
    if (!evapTableOpen_) return;
    evapTableOpen_ = false;
    reportOpen_ = false;
    heatx::CloseEvapReport(platform_.ReportPrinter());
}

QPixmap Program::PictureOf(Picture picture) {
    QPixmap pixmap = ReadPictureFile(platform_.ProgramFolder(), picture);
    if (pixmap.isNull()) pixmap = QPixmap::fromImage(DrawPicture(picture));
    return pixmap;
}

QString Program::DateLine() { return heatx::DateLine(platform_.Now(), platform_.Locale()); }

}  // namespace heatx
