// Where a command writes its table: standard output, or a file given by -o
// that appears whole (a temporary file in the same folder, flushed to disk,
// then renamed) and never replaces one of the command's input files.
#pragma once

#include "platform/safe_output.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <string>

namespace heatx::batch {

class TeacherOutput {
public:
    // An empty path is standard output. False with a Russian reason when the
    // file is one of the inputs (RefusedInput() then tells so) or cannot be
    // created.
    bool Open(const QString& path, const QStringList& inputs, QString* error);
    bool RefusedInput() const { return refusedInput_; }
    // Every byte is checked.
    bool Write(const std::string& text, QString* error);
    // Standard output written out, or the file on disk under its name.
    bool Finish(QString* error);

private:
    std::unique_ptr<AtomicFile> file_;
    bool refusedInput_ = false;
};

// A field of a semicolon table, quoted when it holds a semicolon, a quote or
// a line break.
QString CsvField(const QString& text);

}  // namespace heatx::batch
