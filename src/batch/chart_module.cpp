// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing half of heatx-batch chart, a module loaded only for that
// command: Qt Charts and the windows toolkit it needs (offscreen, no display)
// are not loaded by the answer table.
#include "platform/sweep_chart.h"
#include "text/text_format.h"

#include <QApplication>
#include <cstdio>
#include <memory>

namespace {

// Start-up notes of the offscreen toolkit mean nothing to a teacher; only
// real errors pass.
void QuietStartup(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "heatx-batch: %s\n", qPrintable(message));
}

}  // namespace

// format: 0 SVG, 1 PNG, 2 PDF; mark: the decimal mark of the axes.
extern "C" __attribute__((visibility("default"))) bool HeatxBatchDrawChart(const heatx::Sweep* sweep, int format,
                                                                          const QString* title, QChar mark,
                                                                          QByteArray* out) {
    heatx::SetDecimalMark(mark);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QApplication> app;
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "heatx-batch";
        static char* argv[] = {name, nullptr};
        const QtMessageHandler previous = qInstallMessageHandler(QuietStartup);
        app = std::make_unique<QApplication>(argc, argv);
        qInstallMessageHandler(previous);
    }
    switch (format) {
    case 0: *out = heatx::SweepSvg(*sweep, *title); break;
    case 1: *out = heatx::SweepPng(*sweep); break;
    case 2: *out = heatx::SweepPdf(*sweep, *title); break;
    default: return false;
    }
    return !out->isEmpty();
}
