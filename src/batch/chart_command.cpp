// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch chart: the chart of the design space of one variant, for a
// teacher's handout. The sweep is computed here, on the core; the picture is
// drawn by the module heatx-batch-chart.so (Qt Charts, offscreen), loaded
// only for this command.
#include "batch/command_line.h"
#include "batch/commands.h"
#include "batch/input_reader.h"
#include "batch/module_loader.h"
#include "batch/row_runner.h"
#include "cooler/cooler_sweep.h"
#include "evaporator/evap_sweep.h"
#include "heater/heater_sweep.h"
#include "platform/safe_output.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace heatx::batch {

namespace {

const char kChartHelp[] =
    "heatx-batch chart — график области конструкций одного варианта.\n"
    "\n"
    "Вызов:\n"
    "  heatx-batch chart ТИП ФАЙЛ --row K -o РИСУНОК.svg|.png|.pdf [--force] [--id]\n"
    "\n"
    "ТИП: heater, cooler или evaporator; ФАЙЛ — варианты в формате heatx-batch; K — номер\n"
    "варианта в файле (с 1, как в таблице ответов). Вариант проходит проверку листа и конструкции.\n"
    "На графике: поверхность F и коэффициент K, число Re в трубах с границами 2300 и 10 000 —\n"
    "против общего числа труб n во всём допустимом диапазоне, по кривой на число ходов z\n"
    "(1, 2, 4, 6, 8 и z варианта); где расчёт подогревателя невозможен (Re ≤ 2300), кривая\n"
    "прерывается. Для испарителя — против высоты труб H от 1 до 10 м; вместо Re —\n"
    "коэффициенты теплоотдачи. Конструкция варианта отмечена кружком.\n"
    "Рисунок появляется целиком; существующий файл заменяется только с --force.\n"
    "Экран не нужен.\n"
    "\n"
    "Код выхода: 0 — рисунок записан; 1 — рисунок не записан; 2 — ошибка вызова, файла или\n"
    "варианта.\n";

const CommandVoice kVoice(QStringLiteral("heatx-batch chart"), QStringLiteral("heatx-batch chart --help"));

struct ChartCall {
    QString typeWord, inputPath, outPath;
    qint64 row = 0;
    bool force = false;
    bool id = false;
};

// The picture format by the output's name: 0 SVG, 1 PNG, 2 PDF; -1 unknown.
int FormatOf(const QString& path) {
    const QString lower = path.toLower();
    if (lower.endsWith(QLatin1String(".svg"))) return 0;
    if (lower.endsWith(QLatin1String(".png"))) return 1;
    if (lower.endsWith(QLatin1String(".pdf"))) return 2;
    return -1;
}

Parsed ParseChartArguments(const QStringList& args, ChartCall& c, QString* error) {
    const std::vector<Option> options = {
        Valued({QStringLiteral("--row")}, QStringLiteral("после --row нужен номер варианта (с 1)"),
               [&c](const QString& v) {
                   bool ok = false;
                   c.row = v.toLongLong(&ok);
                   if (!ok || c.row < 1) return QStringLiteral("--row: номер варианта — целое число от 1");
                   return QString();
               }),
        Valued({QStringLiteral("-o")}, QStringLiteral("после -o нужно имя рисунка"), [&c](const QString& v) {
            c.outPath = v;
            return QString();
        }),
        Flag({QStringLiteral("--force")}, [&c] { c.force = true; }),
        Flag({QStringLiteral("--id")}, [&c] { c.id = true; }),
    };
    const Parsed parsed = ParseCommandLine(args, options, [&c](const QString& word) {
        if (c.typeWord.isEmpty()) c.typeWord = word;
        else if (c.inputPath.isEmpty()) c.inputPath = word;
        else return QStringLiteral("лишний аргумент «%1»").arg(word);
        return QString();
    }, error);
    if (parsed != Parsed::Run) return parsed;
    if (!ParseApparatus(c.typeWord)) *error = QStringLiteral("нужен тип аппарата: heater, cooler или evaporator");
    else if (c.inputPath.isEmpty()) *error = QStringLiteral("нужен файл вариантов");
    else if (c.row == 0) *error = QStringLiteral("нужен номер варианта: --row K");
    else if (c.outPath.isEmpty()) *error = QStringLiteral("нужно имя рисунка: -o РИСУНОК.svg, .png или .pdf");
    else if (FormatOf(c.outPath) < 0) *error = QStringLiteral("рисунок — файл .svg, .png или .pdf: %1").arg(c.outPath);
    return error->isEmpty() ? Parsed::Run : Parsed::Error;
}

// The variant row of the file; nullopt with *error.
std::optional<RowResult> ReadRow(const ChartCall& c, Apparatus type, QString* error) {
    const int fd = ::open(QFile::encodeName(c.inputPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("не удаётся прочитать файл «%1»: %2").arg(c.inputPath, SystemErrorText(errno));
        return std::nullopt;
    }
    FdSource source(fd);
    ReaderOptions options;
    options.idColumn = c.id;
    InputReader reader(source, options, FieldCount(type));
    Record record;
    std::optional<RowResult> row;
    while (reader.Next(record))
        if (record.variant == c.row) {
            row = RowOf(type, record);
            break;
        }
    ::close(fd);
    if (!row) {
        *error = !reader.Error().isEmpty()
                     ? QStringLiteral("%1: %2").arg(c.inputPath, reader.Error())
                     : QStringLiteral("в файле «%1» только %2 вариантов, варианта %3 нет")
                           .arg(c.inputPath).arg(reader.Counts().variants).arg(c.row);
    }
    return row;
}

Sweep SweepOf(Apparatus type, const CalcState& state) {
    switch (type) {
    case Apparatus::Heater: return SweepHeater(state);
    case Apparatus::Cooler: return SweepCooler(state);
    case Apparatus::Evaporator: return SweepEvap(state);
    }
    return {};
}

}  // namespace

int RunChartCommand(int argc, char** argv) {
    ChartCall c;
    QString error;
    if (const auto ended = kVoice.EndBeforeRun(ParseChartArguments(Arguments(argc, argv, 1), c, &error), kChartHelp,
                                               error))
        return *ended;
    const Apparatus type = *ParseApparatus(c.typeWord);
    const std::optional<RowResult> row = ReadRow(c, type, &error);
    if (!row) return kVoice.Usage(error);
    // A construction the model cannot compute still has its design space:
    // the curves are drawn, only the marked point is missing.
    if (row->status != Status::Ok && row->status != Status::Model) {
        kVoice.Tell(row->status == Status::Input
                        ? QStringLiteral("вариант %1: строка %2 вне допустимого диапазона").arg(c.row).arg(row->badLine)
                        : QStringLiteral("вариант %1: не то число полей").arg(c.row));
        return kExitUsage;
    }
    const Sweep sweep = SweepOf(type, row->state);
    if (sweep.curves.empty()) {
        kVoice.Tell(QStringLiteral("вариант %1: ни одна конструкция диапазона не даёт результата").arg(c.row));
        return kExitUsage;
    }

    using Draw = bool (*)(const Sweep*, int format, const QString* title, QChar mark, QByteArray* out);
    const auto draw = reinterpret_cast<Draw>(ModuleSymbol(QStringLiteral("heatx-batch-chart.so"), "HeatxBatchDrawChart",
                                                          QStringLiteral("графиков heatx-batch-chart.so"), &error));
    if (draw == nullptr) {
        kVoice.Tell(error);
        return kExitOutputFailed;
    }
    QString word = ApparatusWord(type);
    word[0] = word[0].toUpper();
    const QString title = QStringLiteral("%1, вариант %2 из «%3»").arg(word).arg(c.row).arg(c.inputPath);
    QByteArray picture;
    // Numbers on the axes with the decimal mark of LC_ALL, LC_NUMERIC or LANG.
    const QChar mark = DecimalMarkOf(EnvironmentLocale());
    if (!draw(&sweep, FormatOf(c.outPath), &title, mark, &picture) || picture.isEmpty()) {
        kVoice.Tell(QStringLiteral("рисунок не удалось нарисовать"));
        return kExitOutputFailed;
    }
    AtomicFile out;
    if (!out.Open(c.outPath, c.force ? AtomicFile::Mode::Replace : AtomicFile::Mode::Exclusive) ||
        !out.Write(picture) || !out.Commit()) {
        kVoice.Tell(out.FinalNameTaken()
                        ? QStringLiteral("файл «%1» уже есть; заменить его — с --force").arg(c.outPath)
                        : QStringLiteral("рисунок «%1» не записан: %2").arg(c.outPath, out.ErrorText()));
        return kExitOutputFailed;
    }
    return kExitDone;
}

}  // namespace heatx::batch
