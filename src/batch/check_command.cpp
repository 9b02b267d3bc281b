// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch check: one line per saved report, with its verdict.
#include "batch/command_line.h"
#include "batch/commands.h"
#include "batch/module_loader.h"
#include "batch/pdf_child.h"
#include "batch/pdf_text.h"
#include "batch/progress_line.h"
#include "batch/report_check.h"
#include "batch/stop_signals.h"
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
    "heatx-batch --report (текст или --pdf). Из ПАПКИ берутся все файлы .txt и .pdf по алфавиту;\n"
    "строку получает каждый, и файл, который не читается (нет доступа, не обычный файл, ссылка в\n"
    "никуда, петля ссылок), — «не отчёт» с причиной.\n"
    "Каждый блок (строка таблицы испарителя) считается заново по строкам исходных данных\n"
    "заголовка и конструкции блока тем же расчётом, что в программе; каждое напечатанное число\n"
    "должно совпасть с расчётом с точностью до единицы последнего напечатанного знака. Значение\n"
    "вне допустимых пределов, невозможный расчёт, заголовок без блока, неполный блок или строка,\n"
    "которую программа не печатает, — расхождения. Десятичный знак — любой, дата — в любом\n"
    "формате и любыми цифрами, которые пишет программа. Экран не нужен.\n"
    "\n"
    "Текст PDF читает отдельная программа в границах на файл: %1 МБ памяти, %2 с работы\n"
    "процессора, %3 с всего и %4 МБ текста. PDF за этими границами — «не отчёт» (PDF слишком велик\n"
    "или сложен для отчёта), и проверка идёт дальше; большой ключ ответов проверяется по тексту .txt.\n"
    "Строка файла выводится, как только он проверен; на терминале стандартный поток ошибок\n"
    "показывает, какой файл проверяется. Ctrl+C (SIGINT) или SIGTERM прерывают проверку: строки\n"
    "проверенных файлов остаются (с -o таблица записывается с ними целиком, и об этом говорится).\n"
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
    "2 — ошибка вызова. Прерванная проверка завершается тем же сигналом (код 130 после Ctrl+C).\n";

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

// The files to check: each argument, a folder by its .txt and .pdf files
// of any kind (a file that cannot be read gets its row too). A folder that
// cannot be listed stands for itself and gets a row that says so.
QStringList ExpandPaths(const QStringList& args) {
    QStringList files;
    for (const QString& arg : args) {
        const QFileInfo info(arg);
        if (!info.isDir()) {
            files.append(arg);
            continue;
        }
        const QDir dir(arg);
        if (!dir.isReadable()) {
            files.append(arg);
            continue;
        }
        const QFileInfoList entries = dir.entryInfoList({QStringLiteral("*.txt"), QStringLiteral("*.pdf")},
                                                        QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
        for (const QFileInfo& f : entries) files.append(f.filePath());
        if (entries.isEmpty()) kVoice.Tell(QStringLiteral("в папке %1 нет файлов .txt и .pdf").arg(arg));
    }
    return files;
}

QString HelpText() {
    return QString::fromUtf8(kCheckHelp)
        .arg(kPdfMemoryBytes / (1024 * 1024))
        .arg(kPdfCpuSeconds)
        .arg(kPdfWallSeconds)
        .arg(kPdfTextBytes / (1024 * 1024));
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

// One file checked: its summary and what the variants say of it.
struct Checked {
    QString path;
    ReportSummary summary;
    QStringList matched;
    QStringList notes;
};

Checked CheckOne(const QString& path, const std::vector<VariantRow>& variants,
                 const std::map<QString, QString>& roster) {
    VariantNotes notes(variants, roster);
    Checked c{path, CheckReportFile(path, [&](const ReportHead& head) {
                  if (!variants.empty()) notes.Head(head);
              }), {}, {}};
    c.matched = notes.Matched();
    c.notes = notes.Notes();
    return c;
}

// The rows of one report: its verdict, then (--details) its differences.
// False once the table cannot be written.
bool WriteChecked(const Checked& c, bool details, bool withVariants, TableWriter& table, Verdicts& verdicts) {
    const ReportSummary& s = c.summary;
    QString verdict;
    if (!s.isReport) {
        verdict = QStringLiteral("не отчёт");
        ++verdicts.notReports;
        kVoice.Tell(QStringLiteral("%1: не отчёт — %2").arg(c.path, s.reason));
    } else if (s.mismatches == 0 && s.blocks > 0 && c.notes.isEmpty()) {
        verdict = QStringLiteral("верно");
        ++verdicts.good;
    } else {
        verdict = QStringLiteral("неверно");
        ++verdicts.bad;
    }
    for (const QString& cell : {c.path, s.student, s.apparatus.join(QLatin1Char(',')), s.date}) TextCell(table, cell);
    if (s.isReport) {
        table.Integer(s.blocks);
        table.Integer(s.mismatches);
    } else {
        table.Empty();
        table.Empty();
    }
    TextCell(table, verdict);
    if (withVariants) {
        TextCell(table, c.matched.join(QLatin1Char(',')));
        TextCell(table, c.notes.join(QStringLiteral("; ")));
    }
    bool written = table.EndRow();
    if (details) written = WriteDifferences(c.path, s, table) && written;
    return written;
}

bool WriteHeader(TableWriter& table, bool withVariants) {
    for (const char* name : {"file", "student", "apparatus", "date", "blocks", "mismatches", "verdict"}) table.Text(name);
    if (withVariants) {
        table.Text("variant");
        table.Text("note");
    }
    return table.EndRow() && table.Flush();
}

// Each file in turn, its rows out as soon as it is done; stops at the first
// stop signal (the file in hand gets no row). False when the table cannot be
// written; *done counts the files with rows.
bool CheckAll(const QStringList& files, const CheckOptions& o, const std::vector<VariantRow>& variants,
              const std::map<QString, QString>& roster, TableWriter& table, Verdicts& verdicts, int* done) {
    ProgressLine progress;
    for (const QString& path : files) {
        if (StopSignal() != 0) break;
        progress.Show(QStringLiteral("файл %1 из %2: %3").arg(*done + 1).arg(files.size()).arg(path));
        const Checked checked = CheckOne(path, variants, roster);
        progress.Clear();
        if (StopSignal() != 0) break;
        if (!WriteChecked(checked, o.details, !variants.empty(), table, verdicts) || !table.Flush()) return false;
        ++*done;
    }
    return true;
}

// The end of a run cut short by a signal: the table so far made whole, what
// it holds said, and the program ended by the signal.
[[noreturn]] void EndInterrupted(TeacherTable& out, const CheckOptions& o, int done, int total) {
    QString error;
    const bool written = out.Finish(&error);
    QString note = QStringLiteral("проверка прервана сигналом %1: проверено файлов %2 из %3")
                       .arg(QString::fromUtf8(StopSignalName(StopSignal())))
                       .arg(done)
                       .arg(total);
    if (!written) note += QStringLiteral("; ") + error;
    else if (!o.outPath.isEmpty()) note += QStringLiteral("; таблица «%1» записана с их строками").arg(o.outPath);
    kVoice.Tell(note);
    EndByStopSignal();
}

}  // namespace

int RunCheckCommand(int argc, char** argv) {
    CheckOptions o;
    QString error;
    const QByteArray help = HelpText().toUtf8();
    if (const auto ended = kVoice.EndBeforeRun(ParseCheckArguments(Arguments(argc, argv, 1), o, &error),
                                               help.constData(), error))
        return *ended;
    CatchStopSignals();
    SetPdfTextReader(ConfinedPdfReader(HelperProgram(QStringLiteral("heatx-batch-pdftext"))));
    std::vector<VariantRow> variants;
    std::map<QString, QString> roster;
    if (!ReadLists(o, variants, roster, &error)) return kVoice.Usage(error);

    const QStringList files = ExpandPaths(o.paths);
    QStringList inputs = files;
    if (!o.variantsPath.isEmpty()) inputs.append(o.variantsPath);
    if (!o.rosterPath.isEmpty()) inputs.append(o.rosterPath);
    TeacherTable out;
    if (const auto failed = OpenTeacherTable(out, o.outPath, o.force, inputs, kVoice)) return *failed;
    Verdicts verdicts;
    int done = 0;
    if (!WriteHeader(out.Table(), !variants.empty()) ||
        !CheckAll(files, o, variants, roster, out.Table(), verdicts, &done)) {
        kVoice.Tell(out.Table().ErrorText());
        return kExitOutputFailed;
    }
    if (StopSignal() != 0) EndInterrupted(out, o, done, static_cast<int>(files.size()));
    if (!out.Finish(&error)) {
        kVoice.Tell(error);
        return kExitOutputFailed;
    }
    kVoice.Tell(QStringLiteral("отчётов: %1; верно: %2; неверно: %3; не отчёт: %4")
                    .arg(files.size()).arg(verdicts.good).arg(verdicts.bad).arg(verdicts.notReports));
    return (files.isEmpty() || verdicts.bad > 0 || verdicts.notReports > 0) ? kExitOutputFailed : kExitDone;
}

}  // namespace heatx::batch
