// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch: answer keys and checks without windows.
#include "batch/commands.h"
#include "batch/module_loader.h"
#include "batch/table_command.h"

#include <cstring>
#include <memory>

namespace {

// The PDF pages of --pdf, from the module heatx-batch-pdf.so.
std::unique_ptr<heatx::batch::PdfPages> LoadPdf(QString* error) {
    using Make = heatx::batch::PdfPages* (*)();
    const auto make = reinterpret_cast<Make>(heatx::batch::ModuleSymbol(
        QStringLiteral("heatx-batch-pdf.so"), "HeatxBatchMakePdf", QStringLiteral("PDF heatx-batch-pdf.so"), error));
    return make != nullptr ? std::unique_ptr<heatx::batch::PdfPages>(make()) : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "check") == 0) return heatx::batch::RunCheckCommand(argc - 1, argv + 1);
    if (argc > 1 && std::strcmp(argv[1], "variants") == 0) return heatx::batch::RunVariantsCommand(argc - 1, argv + 1);
    if (argc > 1 && std::strcmp(argv[1], "chart") == 0) return heatx::batch::RunChartCommand(argc - 1, argv + 1);
    return heatx::batch::Main(argc, argv, LoadPdf);
}
