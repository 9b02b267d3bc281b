// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/teacher_output.h"

#include <unistd.h>

namespace heatx::batch {

TeacherTable::Opened TeacherTable::Open(const QString& path, bool force, const QStringList& inputs, QString* error) {
    if (path.isEmpty()) {
        sink_ = std::make_unique<FdSink>(STDOUT_FILENO, QStringLiteral("стандартный вывод"));
        table_ = std::make_unique<CsvWriter>(*sink_);
        return Opened::Ok;
    }
    const QStringList checked = inputs.isEmpty() ? QStringList{QString()} : inputs;
    for (const QString& input : checked) {
        const QString refusal = CheckOutputTarget({path, force, input});
        if (!refusal.isEmpty()) {
            *error = refusal;
            return Opened::Refused;
        }
    }
    const OutputTarget target{path, force, checked.first()};
    if (IsXlsxPath(path)) {
        table_ = XlsxWriter::Open(target, error);
        spreadsheet_ = true;
    } else {
        sink_ = OpenOutput(target, error);
        if (sink_) table_ = std::make_unique<CsvWriter>(*sink_);
    }
    return table_ ? Opened::Ok : Opened::Failed;
}

bool TeacherTable::Finish(QString* error) {
    if (table_->Finish()) return true;
    *error = table_->ErrorText();
    return false;
}

std::optional<int> OpenTeacherTable(TeacherTable& table, const QString& path, bool force, const QStringList& inputs,
                                    const CommandVoice& voice) {
    QString error;
    switch (table.Open(path, force, inputs, &error)) {
    case TeacherTable::Opened::Ok: return std::nullopt;
    case TeacherTable::Opened::Refused: return voice.Usage(error);
    case TeacherTable::Opened::Failed: break;
    }
    voice.Tell(error);
    return kExitOutputFailed;
}

void TextCell(TableWriter& table, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    table.Text(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace heatx::batch
