// SPDX-License-Identifier: GPL-3.0-or-later
// Where check and variants write their tables: standard output, or -o FILE
// as semicolon text or, for FILE.xlsx, a spreadsheet; a file appears whole,
// never replaces one of the command's inputs, and replaces another existing
// file only with --force.
#pragma once

#include "batch/command_line.h"
#include "batch/table_output.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace heatx::batch {

class TeacherTable {
public:
    enum class Opened { Ok, Refused, Failed };
    // An empty path is standard output. Refused (a usage error) for an input
    // or an existing file without force; Failed when it cannot be created.
    Opened Open(const QString& path, bool force, const QStringList& inputs, QString* error);
    bool IsSpreadsheet() const { return spreadsheet_; }
    TableWriter& Table() { return *table_; }
    // Everything written (a file on disk under its name); else the reason.
    bool Finish(QString* error);

private:
    std::unique_ptr<ByteSink> sink_;
    std::unique_ptr<TableWriter> table_;
    bool spreadsheet_ = false;
};

// Opens the table of a command; on failure tells why and gives the exit
// status (a refusal is a usage error).
std::optional<int> OpenTeacherTable(TeacherTable& table, const QString& path, bool force, const QStringList& inputs,
                                    const CommandVoice& voice);

// A text cell from a QString.
void TextCell(TableWriter& table, const QString& text);

}  // namespace heatx::batch
