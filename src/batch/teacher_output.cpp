#include "batch/teacher_output.h"

#include <cerrno>
#include <unistd.h>

namespace heatx::batch {

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString q = text;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

bool TeacherOutput::Open(const QString& path, const QStringList& inputs, QString* error) {
    if (path.isEmpty()) return true;
    for (const QString& input : inputs)
        if (IsSameFile(path, input)) {
            *error = QStringLiteral("«%1» — входной файл; результат в него не пишется").arg(path);
            refusedInput_ = true;
            return false;
        }
    file_ = std::make_unique<AtomicFile>();
    if (!file_->Open(path, AtomicFile::Mode::Replace)) {
        *error = file_->ErrorText();
        return false;
    }
    return true;
}

bool TeacherOutput::Write(const std::string& text, QString* error) {
    if (file_) {
        if (file_->Write(text.data(), text.size())) return true;
        *error = file_->ErrorText();
        return false;
    }
    if (WriteAllToFd(STDOUT_FILENO, text.data(), text.size())) return true;
    *error = QStringLiteral("не удаётся записать стандартный вывод: %1").arg(SystemErrorText(errno));
    return false;
}

bool TeacherOutput::Finish(QString* error) {
    if (!file_) return true;  // standard output is written unbuffered
    if (file_->Commit()) return true;
    *error = file_->ErrorText();
    return false;
}

}  // namespace heatx::batch
