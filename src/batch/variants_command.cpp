// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch variants: individual variants of a group from base rows.
#include "batch/commands.h"
#include "batch/input_reader.h"
#include "batch/teacher_output.h"
#include "batch/variants.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
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

int Usage(const QString& message) {
    std::fprintf(stderr, "heatx-batch variants: %s\nСправка: heatx-batch variants --help\n",
                 message.toUtf8().constData());
    return 2;
}

int Fail(const QString& message, int status) {
    std::fprintf(stderr, "heatx-batch variants: %s\n", message.toUtf8().constData());
    return status;
}

constexpr qsizetype kMaxBaseBytes = 16LL * 1024 * 1024;

}  // namespace

int RunVariantsCommand(int argc, char** argv) {
    VariantOptions options;
    QString typeWord;
    QString fromPath;
    QString outPath;
    bool force = false;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        QString v;
        const auto value = [&]() {
            if (i + 1 >= argc) return false;
            v = QString::fromLocal8Bit(argv[++i]);
            return !v.isEmpty();
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kVariantsHelp, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        } else if (arg == QLatin1String("--from")) {
            if (!value()) return Usage(QStringLiteral("после --from нужен файл базовых строк"));
            fromPath = v;
        } else if (arg == QLatin1String("--count")) {
            bool ok = false;
            const int n = value() ? v.toInt(&ok) : 0;
            if (!ok || n < 1 || n > 999) return Usage(QStringLiteral("--count: число вариантов от 1 до 999"));
            options.count = n;
        } else if (arg == QLatin1String("--spread")) {
            const auto p = value() ? ParsePercent(v) : std::nullopt;
            if (!p) return Usage(QStringLiteral("--spread: процент от 0 до 100 (например 10 или 7,5)"));
            options.spread = *p;
        } else if (arg == QLatin1String("--spread-line")) {
            const qsizetype eq = value() ? v.indexOf(QLatin1Char('=')) : -1;
            bool ok = false;
            const int line = eq > 0 ? v.left(eq).toInt(&ok) : -1;
            const auto p = eq > 0 ? ParsePercent(v.mid(eq + 1)) : std::nullopt;
            if (!ok || !p) return Usage(QStringLiteral("--spread-line: нужно K=P, например 4=5"));
            options.lineSpread[line] = *p;
        } else if (arg == QLatin1String("--seed")) {
            bool ok = false;
            const qulonglong seed = value() ? v.toULongLong(&ok) : 0;
            if (!ok) return Usage(QStringLiteral("--seed: целое число не меньше 0"));
            options.seed = seed;
        } else if (arg == QLatin1String("--force")) {
            force = true;
        } else if (arg == QLatin1String("--decimal-comma")) {
            options.decimalComma = true;
        } else if (arg == QLatin1String("--id")) {
            options.baseHasId = true;
        } else if (arg == QLatin1String("-o")) {
            if (!value()) return Usage(QStringLiteral("после -o нужно имя файла"));
            outPath = v;
        } else if (arg.startsWith(QLatin1Char('-'))) {
            return Usage(QStringLiteral("неизвестный ключ %1").arg(arg));
        } else if (typeWord.isEmpty()) {
            typeWord = arg;
        } else {
            return Usage(QStringLiteral("лишний аргумент «%1»").arg(arg));
        }
    }
    const auto type = ParseApparatus(typeWord);
    if (!type) return Usage(QStringLiteral("нужен тип аппарата: heater, cooler или evaporator"));
    options.type = *type;
    if (fromPath.isEmpty()) return Usage(QStringLiteral("нужен файл базовых строк: --from ФАЙЛ"));

    // The base file is read as heatx-batch reads a spreadsheet export (any
    // encoding, separator and line end, thousands blanks, the id column);
    // its rows are kept on their line numbers for the messages.
    const int fd = ::open(QFile::encodeName(fromPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Usage(QStringLiteral("не удаётся прочитать %1: %2").arg(fromPath, SystemErrorText(errno)));
    FdSource source(fd);
    ReaderOptions readerOptions;
    readerOptions.idColumn = options.baseHasId;
    readerOptions.detectHeader = false;  // a header row gives the spreads: it is read below
    InputReader reader(source, readerOptions, FieldCount(options.type), [&fromPath](const QString& note) {
        std::fprintf(stderr, "heatx-batch variants: %s: %s\n", fromPath.toUtf8().constData(), note.toUtf8().constData());
    });
    QString text;
    std::int64_t lineNo = 1;
    Record record;
    QString problem;
    while (reader.Next(record)) {
        if (record.problem != Record::Problem::None || text.size() > kMaxBaseBytes) {
            problem = QStringLiteral("строка %1 файла основы не читается (незакрытая кавычка или больше 1 МБ)")
                          .arg(record.line);
            break;
        }
        for (; lineNo < record.line; ++lineNo) text += QLatin1Char('\n');
        QStringList fields;
        for (const std::string_view f : record.fields) {
            QString field = QString::fromUtf8(f.data(), static_cast<qsizetype>(f.size()));
            if (field.contains(QLatin1Char(';')) || field.contains(QLatin1Char('"')))
                field = QLatin1Char('"') + field.replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
            fields.append(field);
        }
        text += fields.join(QLatin1Char(';'));
    }
    ::close(fd);
    if (problem.isEmpty() && !reader.Error().isEmpty()) problem = reader.Error();
    if (!problem.isEmpty()) return Usage(QStringLiteral("%1: %2").arg(fromPath, problem));
    options.baseHasId = false;  // the reader has taken the names off

    const VariantSet set = MakeVariants(options, text);
    if (!set.error.isEmpty()) return Fail(set.error, 2);

    TeacherTable out;
    QString error;
    switch (out.Open(outPath, force, {fromPath}, &error)) {
    case TeacherTable::Opened::Ok: break;
    case TeacherTable::Opened::Refused: return Usage(error);
    case TeacherTable::Opened::Failed: return Fail(error, 1);
    }
    if (!WriteVariants(options, set, out.IsSpreadsheet(), out.Table()) || !out.Finish(&error))
        return Fail(error.isEmpty() ? out.Table().ErrorText() : error, 1);
    return 0;
}

}  // namespace heatx::batch
