// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch variants: individual variants of a group from base rows.
#include "batch/command_line.h"
#include "batch/commands.h"
#include "batch/input_reader.h"
#include "batch/teacher_output.h"
#include "batch/variants.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace heatx::batch {

namespace {

const char kVariantsHelp[] =
    "heatx-batch variants — индивидуальные варианты группы из базовых строк.\n"
    "\n"
    "Вызов:\n"
    "  heatx-batch variants ТИП --from ФАЙЛ [--count N] [--spread P] [--spread-line K=P]...\n"
    "                       [--seed S] [--id] [--decimal-comma] [-o ФАЙЛ [--force]]\n"
    "\n"
    "ТИП: heater, cooler или evaporator. ФАЙЛ — одна или несколько базовых строк в формате\n"
    "heatx-batch (с конструкцией), которым преподаватель доверяет; --id — первое поле строки\n"
    "основы её имя. Варианты берут базовые строки по очереди.\n"
    "Каждая строка листа исходных данных меняется случайно не больше чем на ±P % (по умолчанию 10)\n"
    "и округляется до знаков, с которыми записано её значение в основе (0,686 — три знака после\n"
    "запятой). Разброс отдельной строки: --spread-line K=P (K — номер строки, как в формате\n"
    "heatx-batch; так можно варьировать и конструкцию) или «±P %» в поле строки заголовка файла\n"
    "основы. Тип подогревателя не меняется.\n"
    "Каждый вариант проходит проверку листа и конструкции и даёт результат (ok); никакие два\n"
    "варианта не совпадают по напечатанным ответам. --count N — число вариантов (по умолчанию 30),\n"
    "--seed S — начальное число (по умолчанию 1): одно и то же S даёт одни и те же варианты на\n"
    "любой машине.\n"
    "\n"
    "Вывод: строка комментария, затем строка на вариант — имя (В01, В02, …) и поля формата\n"
    "heatx-batch через точку с запятой, UTF-8; числа — с тем десятичным знаком, что в основе\n"
    "(--decimal-comma — все с запятой); -o ФАЙЛ пишет в файл (появляется целиком; существующий —\n"
    "только с --force), -o ФАЙЛ.xlsx — в электронную таблицу (строка заголовка, поля — текстом,\n"
    "с цифрами, как они записаны).\n"
    "Ответы: heatx-batch --id ТИП варианты.csv; ключ: heatx-batch --id --report --pdf ключ.pdf ...\n"
    "\n"
    "Код выхода: 0 — варианты готовы; 1 — вывод не записан; 2 — ошибка вызова или основа не даёт\n"
    "столько вариантов.\n";

const CommandVoice kVoice(QStringLiteral("heatx-batch variants"), QStringLiteral("heatx-batch variants --help"));

struct VariantsCall {
    VariantOptions options;
    QString typeWord;
    QString fromPath;
    QString outPath;
    bool force = false;
};

std::vector<Option> VariantsOptions(VariantsCall& c) {
    VariantOptions& o = c.options;
    return {
        Valued({QStringLiteral("--from")}, QStringLiteral("после --from нужен файл базовых строк"), [&c](const QString& v) {
            c.fromPath = v;
            return QString();
        }),
        Valued({QStringLiteral("--count")}, QStringLiteral("--count: число вариантов от 1 до 999"), [&o](const QString& v) {
            bool ok = false;
            const int n = v.toInt(&ok);
            if (!ok || n < 1 || n > 999) return QStringLiteral("--count: число вариантов от 1 до 999");
            o.count = n;
            return QString();
        }),
        Valued({QStringLiteral("--spread")}, QStringLiteral("--spread: процент от 0 до 100 (например 10 или 7,5)"), [&o](const QString& v) {
            const auto p = ParsePercent(v);
            if (!p) return QStringLiteral("--spread: процент от 0 до 100 (например 10 или 7,5)");
            o.spread = *p;
            return QString();
        }),
        Valued({QStringLiteral("--spread-line")}, QStringLiteral("--spread-line: нужно K=P, например 4=5"), [&o](const QString& v) {
            const qsizetype eq = v.indexOf(QLatin1Char('='));
            bool ok = false;
            const int line = eq > 0 ? v.left(eq).toInt(&ok) : -1;
            const auto p = eq > 0 ? ParsePercent(v.mid(eq + 1)) : std::nullopt;
            if (!ok || !p) return QStringLiteral("--spread-line: нужно K=P, например 4=5");
            o.lineSpread[line] = *p;
            return QString();
        }),
        Valued({QStringLiteral("--seed")}, QStringLiteral("--seed: целое число не меньше 0"), [&o](const QString& v) {
            bool ok = false;
            const qulonglong seed = v.toULongLong(&ok);
            if (!ok) return QStringLiteral("--seed: целое число не меньше 0");
            o.seed = seed;
            return QString();
        }),
        Flag({QStringLiteral("--force")}, [&c] { c.force = true; }),
        Flag({QStringLiteral("--decimal-comma")}, [&o] { o.decimalComma = true; }),
        Flag({QStringLiteral("--id")}, [&o] { o.baseHasId = true; }),
        Valued({QStringLiteral("-o")}, QStringLiteral("после -o нужно имя файла"), [&c](const QString& v) {
            c.outPath = v;
            return QString();
        }),
    };
}

Parsed ParseVariantsArguments(const QStringList& args, VariantsCall& c, QString* error) {
    const Parsed parsed = ParseCommandLine(args, VariantsOptions(c), [&c](const QString& word) {
        // A lone - is no file here: the type is a word, the base a named file.
        if (word == QLatin1String("-")) return QStringLiteral("неизвестный ключ %1").arg(word);
        if (!c.typeWord.isEmpty()) return QStringLiteral("лишний аргумент «%1»").arg(word);
        c.typeWord = word;
        return QString();
    }, error);
    if (parsed != Parsed::Run) return parsed;
    const auto type = ParseApparatus(c.typeWord);
    if (!type) *error = QStringLiteral("нужен тип аппарата: heater, cooler или evaporator");
    else if (c.fromPath.isEmpty()) *error = QStringLiteral("нужен файл базовых строк: --from ФАЙЛ");
    else c.options.type = *type;
    return error->isEmpty() ? Parsed::Run : Parsed::Error;
}

// The base rows of the file; false with *error.
bool ReadBase(const VariantsCall& c, std::vector<BaseRow>& rows, QString* error) {
    const int fd = ::open(QFile::encodeName(c.fromPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("не удаётся прочитать %1: %2").arg(c.fromPath, SystemErrorText(errno));
        return false;
    }
    FdSource source(fd);
    ReaderOptions readerOptions;
    readerOptions.idColumn = c.options.baseHasId;
    QString problem;
    const bool read = ReadBaseRows(source, readerOptions, c.options.type, [&c](const QString& note) {
        kVoice.Tell(c.fromPath + QStringLiteral(": ") + note);
    }, rows, &problem);
    ::close(fd);
    if (!read) *error = QStringLiteral("%1: %2").arg(c.fromPath, problem);
    return read;
}

}  // namespace

int RunVariantsCommand(int argc, char** argv) {
    VariantsCall c;
    QString error;
    if (const auto ended = kVoice.EndBeforeRun(ParseVariantsArguments(Arguments(argc, argv, 1), c, &error),
                                               kVariantsHelp, error))
        return *ended;
    std::vector<BaseRow> rows;
    if (!ReadBase(c, rows, &error)) return kVoice.Usage(error);

    const VariantSet set = MakeVariants(c.options, rows);
    if (!set.error.isEmpty()) {
        kVoice.Tell(set.error);
        return kExitUsage;
    }
    TeacherTable out;
    if (const auto failed = OpenTeacherTable(out, c.outPath, c.force, {c.fromPath}, kVoice)) return *failed;
    if (!WriteVariants(c.options, set, out.IsSpreadsheet(), out.Table()) || !out.Finish(&error)) {
        kVoice.Tell(error.isEmpty() ? out.Table().ErrorText() : error);
        return kExitOutputFailed;
    }
    return kExitDone;
}

}  // namespace heatx::batch
