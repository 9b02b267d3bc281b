// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/variant_match.h"

#include "batch/input_reader.h"
#include "platform/safe_output.h"
#include "state/calc_state.h"
#include "text/text_format.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace heatx::batch {

namespace {
constexpr std::size_t kMaxListRows = 100000;
}  // namespace

bool ReadList(const QString& path, bool withId, bool detectHeader, const std::function<void(const QString&)>& note,
              std::vector<VariantRow>* rows, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("не удаётся прочитать %1: %2").arg(path, SystemErrorText(errno));
        return false;
    }
    FdSource source(fd);
    ReaderOptions options;
    options.idColumn = withId;
    options.detectHeader = detectHeader;
    InputReader reader(source, options, 18, [&path, &note](const QString& text) { note(path + QStringLiteral(": ") + text); });
    Record record;
    bool ok = true;
    while (reader.Next(record)) {
        if (rows->size() >= kMaxListRows) {
            *error = QStringLiteral("%1: больше %2 строк — это не список группы").arg(path).arg(kMaxListRows);
            ok = false;
            break;
        }
        if (record.problem != Record::Problem::None) continue;
        VariantRow row;
        row.id = withId ? QString::fromUtf8(record.id.data(), static_cast<qsizetype>(record.id.size())).trimmed()
                        : QStringLiteral("строка %1").arg(record.line);
        for (const std::string_view f : record.fields)
            row.fields.append(QString::fromUtf8(f.data(), static_cast<qsizetype>(f.size())));
        while (!row.fields.isEmpty() && row.fields.last().trimmed().isEmpty()) row.fields.removeLast();
        rows->push_back(std::move(row));
    }
    if (ok && !reader.Error().isEmpty()) {
        *error = QStringLiteral("%1: %2").arg(path, reader.Error());
        ok = false;
    }
    ::close(fd);
    return ok;
}

QString Surname(const QString& student) {
    QString s = student.simplified().section(QLatin1Char(' '), 0, 0).toLower();
    s.replace(QChar(u'ё'), QChar(u'е'));
    return s;
}

QStringList MatchVariants(const ReportHead& head, const std::vector<VariantRow>& rows) {
    QStringList ids;
    const int n = SheetLineCount(head.type);
    if (head.texts.size() < n) return ids;
    std::vector<float> values;
    for (int i = 0; i < n; ++i) values.push_back(ReadNumber(NormalizeDecimal(head.texts[i])));
    for (const VariantRow& row : rows) {
        if (row.fields.size() < FieldCount(head.type)) continue;  // a comment column after the fields may follow
        bool same = true;
        for (int i = 0; i < n && same; ++i) same = ReadNumber(NormalizeDecimal(row.fields[i].trimmed())) == values[i];
        if (same && !ids.contains(row.id)) ids.append(row.id);
    }
    return ids;
}

void VariantNotes::Note(const QString& note) {
    if (!notes_.contains(note)) notes_.append(note);
}

void VariantNotes::Head(const ReportHead& head) {
    const QStringList ids = MatchVariants(head, variants_);
    if (ids.isEmpty()) Note(QStringLiteral("исходные данные не совпадают ни с одним вариантом"));
    if (!head.label.isEmpty() && !ids.isEmpty() && !ids.contains(head.label))
        Note(QStringLiteral("в отчёте вариант %1, а исходные данные — варианта %2").arg(head.label, ids.join(QLatin1Char(','))));
    for (const QString& id : ids) {
        if (!matched_.contains(id)) matched_.append(id);
        const auto owner = roster_.find(id);
        if (owner != roster_.end() && Surname(owner->second) != Surname(head.student))
            Note(QStringLiteral("вариант %1 выдан другому студенту: %2").arg(id, owner->second));
    }
}

}  // namespace heatx::batch
