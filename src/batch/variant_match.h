// SPDX-License-Identifier: GPL-3.0-or-later
// Which variant of a group a checked report belongs to: the variants whose
// sheet lines give the same 4-byte values as the report's head, and whether
// the roster gave that variant to the student of the report.
#pragma once

#include "batch/report_check.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

namespace heatx::batch {

struct VariantRow {
    QString id;
    QStringList fields;
};

// A variant file or a roster read as heatx-batch reads a variants file: any
// encoding a spreadsheet writes, semicolons, commas or tabs, thousands
// blanks; rows without an id column are named by their line in the file.
// note receives what the reader decided; false with *error when the file
// cannot be read or is too long for a list of a group.
bool ReadList(const QString& path, bool withId, bool detectHeader, const std::function<void(const QString&)>& note,
              std::vector<VariantRow>* rows, QString* error);

// Surname: the first word, lower case, ё as е.
QString Surname(const QString& student);

// The variants whose sheet lines read as the same 4-byte values as the head's.
QStringList MatchVariants(const ReportHead& head, const std::vector<VariantRow>& rows);

// What the heads of one report say about its variant: the variants matched
// and the notes that make the report wrong.
class VariantNotes {
public:
    VariantNotes(const std::vector<VariantRow>& variants, const std::map<QString, QString>& roster)
        : variants_(variants), roster_(roster) {}
    void Head(const ReportHead& head);
    const QStringList& Matched() const { return matched_; }
    const QStringList& Notes() const { return notes_; }

private:
    void Note(const QString& note);

    const std::vector<VariantRow>& variants_;
    const std::map<QString, QString>& roster_;
    QStringList matched_;
    QStringList notes_;
};

}  // namespace heatx::batch
