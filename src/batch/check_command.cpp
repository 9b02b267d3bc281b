// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch check: one line per saved report, with its verdict.
#include "batch/command_line.h"
#include "batch/commands.h"
#include "batch/module_loader.h"
#include "batch/report_check.h"
#include "batch/teacher_output.h"
#include "batch/variant_match.h"

#include <QDir>
#include <QFileInfo>
#include <map>

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

const CommandVoice kVoice(QStringLiteral("heatx-batch check"), QStringLiteral("heatx-batch check --help"));

struct CheckOptions {
    bool details = false;
    bool force = false;
    bool withId = false;
    QString variantsPath;
    QString rosterPath;
    QString outPath;
    QStringList paths;
};

Parsed ParseCheckArguments(const QStringList& args, CheckOptions& o, QString* error) {
    const auto into = [](QString& target) {
        return [&target](const QString& v) {
            target = v;
            return QString();
        };
    };
    const std::vector<Option> options = {
        Flag({QStringLiteral("--force")}, [&o] { o.force = true; }),
        Flag({QStringLiteral("--details")}, [&o] { o.details = true; }),
        Flag({QStringLiteral("--id")}, [&o] { o.withId = true; }),
        Valued({QStringLiteral("--variants")}, QStringLiteral("после --variants нужен файл вариантов"), into(o.variantsPath)),
        Valued({QStringLiteral("--roster")}, QStringLiteral("после --roster нужен файл: вариант;студент"), into(o.rosterPath)),
        Valued({QStringLiteral("-o")}, QStringLiteral("после -o нужно имя файла"), into(o.outPath)),
    };
    const Parsed parsed = ParseCommandLine(args, options, [&o](const QString& path) {
        o.paths.append(path);
        return QString();
    }, error);
    if (parsed != Parsed::Run) return parsed;
    if (o.paths.isEmpty()) *error = QStringLiteral("нужен хотя бы один отчёт или папка с отчётами");
    else if (!o.rosterPath.isEmpty() && o.variantsPath.isEmpty())
        *error = QStringLiteral("--roster действует только вместе с --variants");
    else if (o.withId && o.variantsPath.isEmpty()) *error = QStringLiteral("--id относится к файлу --variants");
    return error->isEmpty() ? Parsed::Run : Parsed::Error;
}

// The variants file and the roster; false with *error.
bool ReadLists(const CheckOptions& o, std::vector<VariantRow>& variants, std::map<QString, QString>& roster,
               QString* error) {
    const auto note = [](const QString& text) { kVoice.Tell(text); };
    if (!o.variantsPath.isEmpty()) {
        if (!ReadList(o.variantsPath, o.withId, true, note, &variants, error)) return false;
        if (variants.empty()) {
            *error = QStringLiteral("в %1 нет ни одного варианта").arg(o.variantsPath);
            return false;
        }
    }
    if (!o.rosterPath.isEmpty()) {
        // Every field of a roster is a name: no header is guessed.
        std::vector<VariantRow> rows;
        if (!ReadList(o.rosterPath, true, false, note, &rows, error)) return false;
        for (const VariantRow& row : rows)
            if (!row.fields.isEmpty()) roster[row.id] = row.fields.first().trimmed();
    }
    return true;
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
            if (files.isEmpty()) kVoice.Tell(QStringLiteral("в папке %1 нет файлов .txt и .pdf").arg(arg));
        } else {
            files.append(arg);
        }
    }
    return files;
}

// The PDF text reader of the module heatx-batch-pdftext.so, loaded at the
// first PDF.
PdfTextReader ModulePdfReader() {
    return [](const QString& path, const std::function<void(QStringView)>& onLine, QString* reason) {
        using Read = bool (*)(const QString&, const std::function<void(QStringView)>&, QString*);
        static QString loadError;
        static const Read read = reinterpret_cast<Read>(ModuleSymbol(
            QStringLiteral("heatx-batch-pdftext.so"), "HeatxBatchPdfText", QStringLiteral("heatx-batch-pdftext.so"),
            &loadError));
        if (read == nullptr) {
            *reason = loadError;
            return false;
        }
        return read(path, onLine, reason);
    };
}

// Counts of the verdicts.
struct Verdicts {
    int good = 0;
    int bad = 0;
    int notReports = 0;
};

// The differences of a report, one row each, and the count of those not kept.
bool WriteDifferences(const QString& path, const ReportSummary& s, TableWriter& table) {
    bool written = true;
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
    return written;
}

// The rows of one report: its verdict, then (--details) its differences.
// False once the table cannot be written.
bool CheckOne(const QString& path, const CheckOptions& o, const std::vector<VariantRow>& variants,
              const std::map<QString, QString>& roster, TableWriter& table, Verdicts& verdicts) {
    const bool withVariants = !variants.empty();
    VariantNotes notes(variants, roster);
    const ReportSummary s = CheckReportFile(path, [&](const ReportHead& head) {
        if (withVariants) notes.Head(head);
    });
    QString verdict;
    if (!s.isReport) {
        verdict = QStringLiteral("не отчёт");
        ++verdicts.notReports;
        kVoice.Tell(QStringLiteral("%1: не отчёт — %2").arg(path, s.reason));
    } else if (s.mismatches == 0 && s.blocks > 0 && notes.Notes().isEmpty()) {
        verdict = QStringLiteral("верно");
        ++verdicts.good;
    } else {
        verdict = QStringLiteral("неверно");
        ++verdicts.bad;
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
        TextCell(table, notes.Matched().join(QLatin1Char(',')));
        TextCell(table, notes.Notes().join(QStringLiteral("; ")));
    }
    bool written = table.EndRow();
    if (o.details) written = WriteDifferences(path, s, table) && written;
    return written;
}

}  // namespace

int RunCheckCommand(int argc, char** argv) {
    SetPdfTextReader(ModulePdfReader());
    CheckOptions o;
    QString error;
    if (const auto ended = kVoice.EndBeforeRun(ParseCheckArguments(Arguments(argc, argv, 1), o, &error), kCheckHelp,
                                               error))
        return *ended;
    std::vector<VariantRow> variants;
    std::map<QString, QString> roster;
    if (!ReadLists(o, variants, roster, &error)) return kVoice.Usage(error);

    const QStringList files = ExpandPaths(o.paths);
    QStringList inputs = files;
    if (!o.variantsPath.isEmpty()) inputs.append(o.variantsPath);
    if (!o.rosterPath.isEmpty()) inputs.append(o.rosterPath);
    TeacherTable out;
    if (const auto failed = OpenTeacherTable(out, o.outPath, o.force, inputs, kVoice)) return *failed;
    TableWriter& table = out.Table();
    for (const char* name : {"file", "student", "apparatus", "date", "blocks", "mismatches", "verdict"}) table.Text(name);
    if (!variants.empty()) {
        table.Text("variant");
        table.Text("note");
    }
    if (!table.EndRow()) {
        kVoice.Tell(table.ErrorText());
        return kExitOutputFailed;
    }
    Verdicts verdicts;
    for (const QString& path : files) {
        if (!CheckOne(path, o, variants, roster, table, verdicts)) {
            kVoice.Tell(table.ErrorText());
            return kExitOutputFailed;
        }
    }
    if (!out.Finish(&error)) {
        kVoice.Tell(error);
        return kExitOutputFailed;
    }
    kVoice.Tell(QStringLiteral("отчётов: %1; верно: %2; неверно: %3; не отчёт: %4")
                    .arg(files.size()).arg(verdicts.good).arg(verdicts.bad).arg(verdicts.notReports));
    return (files.isEmpty() || verdicts.bad > 0 || verdicts.notReports > 0) ? kExitOutputFailed : kExitDone;
}

}  // namespace heatx::batch
