// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch: answer keys and checks without windows.
#include "batch/table_command.h"
#include "batch/commands.h"

#include <QFileInfo>
#include <dlfcn.h>
#include <cstring>
#include <memory>

namespace {

// Loads the PDF module (heatx-batch-pdf.so) from beside the program (build
// tree) or from the module folder (installed).
std::unique_ptr<heatx::batch::PdfPages> LoadPdf(QString* error) {
    const QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    QString reasons;
    for (const QString& candidate : {folder + QStringLiteral("/heatx-batch-pdf.so"),
                                     folder + QStringLiteral("/../" HEATX_MODULE_DIR "/heatx-batch-pdf.so")}) {
        void* module = dlopen(QFileInfo(candidate).absoluteFilePath().toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            reasons += QStringLiteral("; ") + QString::fromLocal8Bit(dlerror());
            continue;
        }
        using Make = heatx::batch::PdfPages* (*)();
        const auto make = reinterpret_cast<Make>(dlsym(module, "HeatxBatchMakePdf"));
        if (make != nullptr) return std::unique_ptr<heatx::batch::PdfPages>(make());
        reasons += QStringLiteral("; ") + candidate + QStringLiteral(": нет HeatxBatchMakePdf");
    }
    *error = QStringLiteral("не удаётся загрузить модуль PDF heatx-batch-pdf.so") + reasons;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "check") == 0) return heatx::batch::RunCheckCommand(argc - 1, argv + 1);
    if (argc > 1 && std::strcmp(argv[1], "variants") == 0) return heatx::batch::RunVariantsCommand(argc - 1, argv + 1);
    return heatx::batch::Main(argc, argv, LoadPdf);
}
