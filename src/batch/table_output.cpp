#include "batch/table_output.h"

#include <QFileInfo>
#include <cstdio>

namespace heatx::batch {

bool SameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString q = text;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

bool TableOutput::Open(const QString& path, const QStringList& inputs, QString* error) {
    path_ = path;
    if (path.isEmpty()) return true;
    for (const QString& input : inputs)
        if (SameFile(path, input)) {
            *error = QStringLiteral("%1 — входной файл; результат в него не пишется").arg(path);
            refusedInput_ = true;
            return false;
        }
    file_ = std::make_unique<QSaveFile>(path);
    if (!file_->open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("не удаётся создать %1: %2").arg(path, file_->errorString());
        return false;
    }
    return true;
}

bool TableOutput::Write(const std::string& text, QString* error) {
    if (!file_) {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
            *error = QStringLiteral("не удаётся записать стандартный вывод");
            return false;
        }
        return true;
    }
    if (file_->write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        *error = QStringLiteral("не удаётся записать %1: %2").arg(path_, file_->errorString());
        file_->cancelWriting();
        return false;
    }
    return true;
}

bool TableOutput::Finish(QString* error) {
    if (!file_) {
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
            *error = QStringLiteral("не удаётся записать стандартный вывод");
            return false;
        }
        return true;
    }
    if (!file_->commit()) {
        *error = QStringLiteral("не удаётся записать %1: %2").arg(path_, file_->errorString());
        return false;
    }
    return true;
}

}  // namespace heatx::batch
