// SPDX-License-Identifier: GPL-3.0-or-later
// The PDF half of heatx-batch, a module loaded only when --pdf asks for it:
// the windows toolkit it needs takes longer to load than a whole table of
// 10 000 variants takes to compute, so the table does not pay for it.
#include "batch/report_pages.h"
#include "platform/paged_text_printer.h"
#include "platform/pdf_text_map.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>
#include <cstdio>
#include <memory>

namespace {

// Start-up notes of the offscreen toolkit (a missing XDG_RUNTIME_DIR when run
// as root, say) mean nothing to a teacher making an answer key and would read
// as a failure; only real errors pass.
void QuietStartup(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "heatx-batch: %s\n", qPrintable(message));
}

// The PDF is painted into memory and written out only when it is complete,
// so that a full disk or a killed run never leaves a cut file behind.
class MemoryPdf : public heatx::batch::PdfPages {
public:
    MemoryPdf() {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (QGuiApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "heatx-batch";
            static char* argv[] = {name, nullptr};
            const QtMessageHandler previous = qInstallMessageHandler(QuietStartup);
            app_ = std::make_unique<QGuiApplication>(argc, argv);
            qInstallMessageHandler(previous);
        }
        buffer_.open(QIODevice::WriteOnly);
        writer_ = std::make_unique<QPdfWriter>(&buffer_);
        printer_ = std::make_unique<heatx::PagedTextPrinter>(writer_.get());
    }
    heatx::Printer& Pages() override { return *printer_; }
    bool Finish(QByteArray& pdf) override {
        const bool drawn = printer_->LineCount() > 0;
        const bool ok = printer_->Finish() && printer_->IsOpen();
        printer_.reset();
        writer_.reset();
        buffer_.close();
        pdf = drawn ? heatx::PlainTextMaps(buffer_.data()) : QByteArray();
        return ok;
    }

private:
    std::unique_ptr<QGuiApplication> app_;
    QBuffer buffer_;
    std::unique_ptr<QPdfWriter> writer_;
    std::unique_ptr<heatx::PagedTextPrinter> printer_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) heatx::batch::PdfPages* HeatxBatchMakePdf() {
    return new MemoryPdf;
}
