// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/module_loader.h"

#include <QFileInfo>
#include <dlfcn.h>

namespace heatx::batch {

namespace {

// Beside the program, then in the module folder.
QStringList Candidates(const QString& fileName) {
    const QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    return {folder + QLatin1Char('/') + fileName,
            QFileInfo(folder + QStringLiteral("/../" HEATX_MODULE_DIR "/") + fileName).absoluteFilePath()};
}

}  // namespace

QString HelperProgram(const QString& fileName) {
    const QStringList candidates = Candidates(fileName);
    return QFileInfo(candidates.first()).isExecutable() ? candidates.first() : candidates.last();
}

void* ModuleSymbol(const QString& fileName, const char* symbol, const QString& what, QString* error) {
    QString reasons;
    for (const QString& candidate : Candidates(fileName)) {
        void* module = dlopen(QFileInfo(candidate).absoluteFilePath().toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            reasons += QStringLiteral("; ") + QString::fromLocal8Bit(dlerror());
            continue;
        }
        if (void* found = dlsym(module, symbol)) return found;
        reasons += QStringLiteral("; ") + candidate + QStringLiteral(": нет ") + QLatin1String(symbol);
    }
    *error = QStringLiteral("не удаётся загрузить модуль ") + what + reasons;
    return nullptr;
}

}  // namespace heatx::batch
