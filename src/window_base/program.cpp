// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_base/program.h"

#include "cooler/cooler_report.h"
#include "evaporator/evap_report.h"
#include "heater/heater_report.h"
#include "report/report_frame.h"
#include "report/trace_block.h"
#include "text/text_format.h"
#include "window_base/form_window.h"

#include <QApplication>

namespace heatx {

Program::Program(CalcState& state, Platform& platform, std::function<void()> quit)
    : state_(state), platform_(platform), quit_(std::move(quit)) {}

Program::~Program() = default;

void Program::RegisterForm(const QString& name, FormFactory make) { factories_.insert(name, std::move(make)); }

FormWindow* Program::Form(const QString& name) {
    if (FormWindow* loaded = forms_.Find(name)) return loaded;
    const auto factory = factories_.constFind(name);
    if (factory == factories_.constEnd()) return nullptr;
    FormWindow* form = (*factory)(*this);
    forms_.Add(form);
    form->Load();
    return form;
}

void Program::LeaveMenu() {
    FormWindow* menu = Menu();
    menu->hide();
    Unload(menu);
    CloseOtherWindows();
}

void Program::RegisterMenuEntry(const QString& button, std::function<void(Program&)> open) {
    menuEntries_.insert(button, std::move(open));
}

void Program::OpenMenuEntry(const QString& button) {
    const auto entry = menuEntries_.constFind(button);
    if (entry != menuEntries_.constEnd()) (*entry)(*this);
}

void Program::Start() {
    // Every window, box and message of the program shows the program's icon.
    QApplication::setWindowIcon(ProgramIcon());
    FormWindow* start = Form(kStartFormName);
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
    if (form->Role() == FormWindow::FormRole::SheetDialog) {
        form->CloseBoxPressed();
        return;
    }
    if (form->Role() == FormWindow::FormRole::Sheet) {
        // An open error dialog belongs to the sheet and goes with it.
        for (const QString& name : forms_.LoadOrder())
            if (FormWindow* dialog = forms_.Find(name); dialog && dialog->Role() == FormWindow::FormRole::SheetDialog)
                forms_.Unload(dialog);
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

void Program::PrintTrace(const Trace& trace) {
    Printer& printer = platform_.ReportPrinter();
    if (evapTableOpen_) {
        PrintClosingRule(printer, kEvapTableWidth);
        evapTableOpen_ = false;
        state_.PrintTableHeaderPending = kSet;
    }
    PrintTraceBlock(trace, printer, DecimalMark());
    printer.EndBlock();
    reportOpen_ = true;
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
