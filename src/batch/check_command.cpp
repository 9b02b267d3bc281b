// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch check: one line per saved report, with its verdict.
#include "batch/commands.h"
#include "batch/input_reader.h"
#include "batch/report_check.h"
#include "batch/teacher_output.h"
#include "state/calc_state.h"
#include "text/text_format.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>
#include <cstdio>
#include <map>
#include <set>

namespace heatx::batch {

namespace {

const char kCheckHelp[] =
    "heatx-batch check — проверка сохранённых отчётов студентов.\n"
    "\n"
    "Вызов:\n"
    "  heatx-batch check [--details] [--variants ФАЙЛ [--id]] [--roster ФАЙЛ] [-o ФАЙЛ [--force]]\n"
    "                    ОТЧЁТ|ПАПКА...\n"
    "\n"
    "ОТЧЁТ — файл, сохранённый программой (.pdf или его текстовая копия .txt), или отчёт\n"
    "heatx-batch --report (текст или --pdf). Из ПАПКИ берутся все файлы .txt и .pdf по алфавиту.\n"
    "Каждый блок (строка таблицы испарителя) считается заново по строкам исходных данных\n"
    "заголовка и конструкции блока тем же расчётом, что в программе; каждое напечатанное число\n"
    "должно совпасть с расчётом с точностью до единицы последнего напечатанного знака. Значение\n"
    "вне допустимых пределов, невозможный расчёт, заголовок без блока, неполный блок или строка,\n"
    "которую программа не печатает, — расхождения. Десятичный знак — любой, дата — в любом\n"
    "формате, который пишет программа. Экран не нужен.\n"
    "\n"
    "Вывод (точка с запятой), строка на отчёт:\n"
    "  file;student;apparatus;date;blocks;mismatches;verdict\n"
    "verdict: верно, неверно или «не отчёт» (файл не отчёт программы или не читается; причина —\n"
    "в стандартном потоке ошибок).\n"
    "--details       после строки отчёта — строка на каждое расхождение:\n"
    "                file;блок N;величина;в отчёте;по расчёту\n"
    "--variants ФАЙЛ файл вариантов группы (формат heatx-batch); к строке добавляются столбцы\n"
    "                variant;note — вариант, с которым совпали исходные данные отчёта, и замечание.\n"
    "                Отчёт, чьи данные не совпали ни с одним вариантом или совпали с вариантом\n"
    "                другого студента, — неверно.\n"
    "--id            первое поле строки файла вариантов — имя варианта (иначе — номер строки файла)\n"
    "--roster ФАЙЛ   список группы: вариант;студент (сравнивается фамилия)\n"
    "-o ФАЙЛ         таблицу — в файл (появляется целиком); ФАЙЛ.xlsx — электронная таблица.\n"
    "                Входной файл не перезаписывается, существующий — только с --force.\n"
    "\n"
    "Код выхода: 0 — все отчёты верны; 1 — есть неверные или не отчёты (или вывод не записан);\n"
    "2 — ошибка вызова.\n";

int Usage(const QString& message) {
    std::fprintf(stderr, "heatx-batch check: %s\nСправка: heatx-batch check --help\n", message.toUtf8().constData());
    return 2;
}

void Tell(const QString& message) { std::fprintf(stderr, "heatx-batch check: %s\n", message.toUtf8().constData()); }

struct VariantRow {
    QString id;
    QStringList fields;
};

// A variant file or a roster read as heatx-batch reads a variants file: any
// encoding a spreadsheet writes, semicolons, commas or tabs, thousands
// blanks; rows without an id column are named by their line in the file.
constexpr std::size_t kMaxListRows = 100000;

bool ReadList(const QString& path, bool withId, bool detectHeader, std::vector<VariantRow>* rows, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("не удаётся прочитать %1: %2").arg(path, SystemErrorText(errno));
        return false;
    }
    FdSource source(fd);
    ReaderOptions options;
    options.idColumn = withId;
    options.detectHeader = detectHeader;
    InputReader reader(source, options, 18, [&path](const QString& note) { Tell(path + QStringLiteral(": ") + note); });
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

// Surname: the first word, lower case, ё as е.
QString Surname(const QString& student) {
    QString s = student.simplified().section(QLatin1Char(' '), 0, 0).toLower();
    s.replace(QChar(u'ё'), QChar(u'е'));
    return s;
}

int SheetLineCount(Apparatus type) {
    switch (type) {
    case Apparatus::Heater: return 11;
    case Apparatus::Cooler: return 13;
    case Apparatus::Evaporator: return 15;
    }
    return 0;
}

// The variants whose sheet lines read as the same 4-byte values as the head's.
QStringList MatchVariants(const ReportHead& head, const std::vector<VariantRow>& rows) {
    QStringList ids;
    const int n = SheetLineCount(head.type);
    if (head.texts.size() < n) return ids;
    std::vector<float> values;
    for (int i = 0; i < n; ++i) values.push_back(ReadNumber(NormalizeDecimal(head.texts[i])));
    for (const VariantRow& row : rows) {
        if (row.fields.size() != FieldCount(head.type)) continue;
        bool same = true;
        for (int i = 0; i < n && same; ++i) same = ReadNumber(NormalizeDecimal(row.fields[i].trimmed())) == values[i];
        if (same && !ids.contains(row.id)) ids.append(row.id);
    }
    return ids;
}

QStringList ExpandPaths(const QStringList& args) {
    QStringList files;
    for (const QString& arg : args) {
        const QFileInfo info(arg);
        if (info.isDir()) {
            const QDir dir(arg);
            for (const QFileInfo& f : dir.entryInfoList({QStringLiteral("*.txt"), QStringLiteral("*.pdf")},
                                                        QDir::Files | QDir::Readable | QDir::Hidden, QDir::Name))
                files.append(f.filePath());
            if (files.isEmpty()) Tell(QStringLiteral("в папке %1 нет файлов .txt и .pdf").arg(arg));
        } else {
            files.append(arg);
        }
    }
    return files;
}

// The PDF text reader of the module heatx-batch-pdftext.so, from beside the
// program (build tree) or from the module folder (installed), loaded at the first
// PDF.
PdfTextReader ModulePdfReader() {
    return [](const QString& path, const std::function<void(QStringView)>& onLine, QString* reason) {
        using Read = bool (*)(const QString&, const std::function<void(QStringView)>&, QString*);
        static Read read = nullptr;
        static QString loadError;
        if (read == nullptr && loadError.isEmpty()) {
            const QString folder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
            for (const QString& candidate : {folder + QStringLiteral("/heatx-batch-pdftext.so"),
                                             folder + QStringLiteral("/../" HEATX_MODULE_DIR "/heatx-batch-pdftext.so")}) {
                void* module = dlopen(QFileInfo(candidate).absoluteFilePath().toLocal8Bit().constData(),
                                      RTLD_NOW | RTLD_LOCAL);
                if (module == nullptr) {
                    loadError += QStringLiteral("; ") + QString::fromLocal8Bit(dlerror());
                    continue;
                }
                read = reinterpret_cast<Read>(dlsym(module, "HeatxBatchPdfText"));
                if (read != nullptr) break;
                loadError += QStringLiteral("; ") + candidate + QStringLiteral(": нет HeatxBatchPdfText");
            }
            if (read == nullptr) loadError.prepend(QStringLiteral("не удаётся загрузить модуль heatx-batch-pdftext.so"));
        }
        if (read == nullptr) {
            *reason = loadError;
            return false;
        }
        return read(path, onLine, reason);
    };
}

}  // namespace

int RunCheckCommand(int argc, char** argv) {
    SetPdfTextReader(ModulePdfReader());
    bool details = false;
    bool force = false;
    bool withId = false;
    QString variantsPath;
    QString rosterPath;
    QString outPath;
    QStringList paths;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const auto value = [&](QString& into) {
            if (i + 1 >= argc) return false;
            into = QString::fromLocal8Bit(argv[++i]);
            return !into.isEmpty();
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kCheckHelp, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        } else if (arg == QLatin1String("--force")) {
            force = true;
        } else if (arg == QLatin1String("--details")) {
            details = true;
        } else if (arg == QLatin1String("--id")) {
            withId = true;
        } else if (arg == QLatin1String("--variants")) {
            if (!value(variantsPath)) return Usage(QStringLiteral("после --variants нужен файл вариантов"));
        } else if (arg == QLatin1String("--roster")) {
            if (!value(rosterPath)) return Usage(QStringLiteral("после --roster нужен файл: вариант;студент"));
        } else if (arg == QLatin1String("-o")) {
            if (!value(outPath)) return Usage(QStringLiteral("после -o нужно имя файла"));
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return Usage(QStringLiteral("неизвестный ключ %1").arg(arg));
        } else {
            paths.append(arg);
        }
    }
    if (paths.isEmpty()) return Usage(QStringLiteral("нужен хотя бы один отчёт или папка с отчётами"));
    if (!rosterPath.isEmpty() && variantsPath.isEmpty())
        return Usage(QStringLiteral("--roster действует только вместе с --variants"));
    if (withId && variantsPath.isEmpty()) return Usage(QStringLiteral("--id относится к файлу --variants"));

    std::vector<VariantRow> variants;
    std::map<QString, QString> roster;
    QString error;
    if (!variantsPath.isEmpty()) {
        if (!ReadList(variantsPath, withId, true, &variants, &error)) return Usage(error);
        if (variants.empty()) return Usage(QStringLiteral("в %1 нет ни одного варианта").arg(variantsPath));
    }
    if (!rosterPath.isEmpty()) {
        // Every field of a roster is a name: no header is guessed.
        std::vector<VariantRow> rows;
        if (!ReadList(rosterPath, true, false, &rows, &error)) return Usage(error);
        for (const VariantRow& row : rows)
            if (!row.fields.isEmpty()) roster[row.id] = row.fields.first().trimmed();
    }

    const QStringList files = ExpandPaths(paths);
    QStringList inputs = files;
    if (!variantsPath.isEmpty()) inputs.append(variantsPath);
    if (!rosterPath.isEmpty()) inputs.append(rosterPath);
    TeacherTable out;
    switch (out.Open(outPath, force, inputs, &error)) {
    case TeacherTable::Opened::Ok: break;
    case TeacherTable::Opened::Refused: return Usage(error);
    case TeacherTable::Opened::Failed: Tell(error); return 1;
    }
    TableWriter& table = out.Table();

    const bool withVariants = !variants.empty();
    for (const char* name : {"file", "student", "apparatus", "date", "blocks", "mismatches", "verdict"}) table.Text(name);
    if (withVariants) {
        table.Text("variant");
        table.Text("note");
    }
    if (!table.EndRow()) {
        Tell(table.ErrorText());
        return 1;
    }

    int good = 0, bad = 0, notReports = 0;
    for (const QString& path : files) {
        QStringList matched;
        QStringList notes;
        const auto onHead = [&](const ReportHead& head) {
            if (!withVariants) return;
            const QStringList ids = MatchVariants(head, variants);
            if (ids.isEmpty()) {
                const QString note = QStringLiteral("исходные данные не совпадают ни с одним вариантом");
                if (!notes.contains(note)) notes.append(note);
            }
            if (!head.label.isEmpty() && !ids.isEmpty() && !ids.contains(head.label)) {
                const QString note = QStringLiteral("в отчёте вариант %1, а исходные данные — варианта %2")
                                         .arg(head.label, ids.join(QLatin1Char(',')));
                if (!notes.contains(note)) notes.append(note);
            }
            for (const QString& id : ids) {
                if (!matched.contains(id)) matched.append(id);
                const auto owner = roster.find(id);
                if (owner != roster.end() && Surname(owner->second) != Surname(head.student)) {
                    const QString note = QStringLiteral("вариант %1 выдан другому студенту: %2").arg(id, owner->second);
                    if (!notes.contains(note)) notes.append(note);
                }
            }
        };
        const ReportSummary s = CheckReportFile(path, onHead);
        QString verdict;
        if (!s.isReport) {
            verdict = QStringLiteral("не отчёт");
            ++notReports;
            Tell(QStringLiteral("%1: не отчёт — %2").arg(path, s.reason));
        } else if (s.mismatches == 0 && s.blocks > 0 && notes.isEmpty()) {
            verdict = QStringLiteral("верно");
            ++good;
        } else {
            verdict = QStringLiteral("неверно");
            ++bad;
        }
        for (const QString& cell : {path, s.student, s.apparatus.join(QLatin1Char(',')), s.date}) TextCell(table, cell);
        if (s.isReport) {
            table.Integer(s.blocks);
            table.Integer(s.mismatches);
        } else {
            table.Empty();
            table.Empty();
        }
        TextCell(table, verdict);
        if (withVariants) {
            TextCell(table, matched.join(QLatin1Char(',')));
            TextCell(table, notes.join(QStringLiteral("; ")));
        }
        bool written = table.EndRow();
        if (details) {
            for (const Difference& d : s.differences) {
                for (const QString& cell : {path, QStringLiteral("блок %1").arg(d.block), d.quantity, d.printed, d.computed})
                    TextCell(table, cell);
                written = table.EndRow() && written;
            }
            if (s.mismatches > static_cast<int>(s.differences.size())) {
                TextCell(table, path);
                table.Empty();
                TextCell(table, QStringLiteral("ещё расхождений: %1").arg(s.mismatches - static_cast<int>(s.differences.size())));
                written = table.EndRow() && written;
            }
        }
        if (!written) {
            Tell(table.ErrorText());
            return 1;
        }
    }
    if (!out.Finish(&error)) {
        Tell(error);
        return 1;
    }
    Tell(QStringLiteral("отчётов: %1; верно: %2; неверно: %3; не отчёт: %4")
             .arg(files.size()).arg(good).arg(bad).arg(notReports));
    return (files.isEmpty() || bad > 0 || notReports > 0) ? 1 : 0;
}

}  // namespace heatx::batch
