// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/table_command.h"

#include "batch/result_table.h"
#include "batch/row_runner.h"
#include "batch/trace_table.h"
#include "platform/cups_job.h"
#include "report/report_frame.h"
#include "text/text_format.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>

namespace heatx::batch {

namespace {

const char kHelp[] =
    "heatx-batch — расчёт теплообменников без окон: ответы к вариантам группы и проверка чисел.\n"
    "\n"
    "Вызов:\n"
    "  heatx-batch [КЛЮЧИ] ТИП [ФАЙЛ]\n"
    "  heatx-batch --report [--student ТЕКСТ] [--date \"ГГГГ-ММ-ДД ЧЧ:ММ:СС\"] [--pdf ФАЙЛ.pdf]\n"
    "              [--print [ПРИНТЕР]] ТИП [ФАЙЛ]\n"
    "  heatx-batch trace [КЛЮЧИ] ТИП [ФАЙЛ]          ход расчёта каждого варианта таблицей\n"
    "  heatx-batch check [КЛЮЧИ] ОТЧЁТ|ПАПКА...     проверка сохранённых отчётов студентов\n"
    "  heatx-batch variants ТИП --from ФАЙЛ [КЛЮЧИ]  индивидуальные варианты из базовых строк\n"
    "  heatx-batch chart ТИП ФАЙЛ --row K -o РИСУНОК  график F, K и Re одного варианта\n"
    "  heatx-batch --help  (и check --help, variants --help, chart --help)\n"
    "\n"
    "ТИП: heater (подогреватель или дефлегматор), cooler (холодильник), evaporator (испаритель).\n"
    "ФАЙЛ: один вариант в строке, поля через точку с запятой — так сохраняют CSV русские электронные\n"
    "таблицы; без ФАЙЛА (или с -) читается стандартный ввод. Пустые строки и строки, начинающиеся\n"
    "с #, пропускаются. Поле можно взять в двойные кавычки (две кавычки подряд внутри — одна кавычка).\n"
    "Каждое поле — текст так, как студент ввёл бы его в окно ввода: 0,683 и 0.683 — одно и то же;\n"
    "пробел между цифрами (2 171 000, также неразрывный) разделяет тысячи.\n"
    "\n"
    "Порядок полей:\n"
    "  heater      строки листа 0–10, тип аппарата (Г или H — горизонтальный, В или V —\n"
    "              вертикальный, любой регистр), строки 12, 13, 14, 15 (диаметр, ходы, длина или\n"
    "              высота труб, число труб) — 16 полей;\n"
    "  cooler      строки листа 0–12, затем конструктивные строки 13–17 — 18 полей;\n"
    "  evaporator  строки листа 0–14, затем высота труб как строка 15 — 16 полей.\n"
    "\n"
    "Файл из электронной таблицы:\n"
    "  .xlsx и .ods читаются прямо: первый лист, значения ячеек (у формул — сохранённые).\n"
    "  Кодировка CSV: UTF-8 (с меткой порядка байтов или без), UTF-16 с меткой; текст не в UTF-8\n"
    "  читается как Windows-1251 (об этом говорится). --encoding ИМЯ задаёт кодировку явно.\n"
    "  Концы строк: LF, CR LF или один CR.\n"
    "  --separator ЗНАК  разделитель полей: ; (по умолчанию), , или \\t (табуляция). Без ключа\n"
    "                    первая строка без точек с запятой, но с табуляциями или запятыми задаёт их.\n"
    "  Строки до первого варианта, в которых ни одно поле не читается как число (название,\n"
    "  заголовок, строка единиц), пропускаются; --no-header читает их как варианты. Строки пустых\n"
    "  ячеек пропускаются; столбцы правее последнего поля (комментарии) не читаются (говорится).\n"
    "  --id              первое поле — имя варианта: первый столбец вывода, строка «ВАРИАНТ» в отчёте.\n"
    "  Строка длиннее 1 МБ не читается: её вариант получает статус fields.\n"
    "\n"
    "Каждый вариант считается заново: проверка листа, (подогреватель) тип аппарата как строка 11,\n"
    "конструктивные строки по порядку, затем расчёт. Первая ошибка определяет bad_line.\n"
    "\n"
    "Вывод (точка с запятой, строка заголовка, затем строка на вариант):\n"
    "  heater      status;bad_line;ReTube;AlphaTube;AlphaShell;HeatTransferK;SurfaceF\n"
    "  cooler      status;bad_line;ReTube;ReShell;AlphaTube;AlphaShell;HeatTransferK;SurfaceF\n"
    "  evaporator  status;bad_line;AlphaTube;AlphaShell;HeatTransferK;SurfaceF\n"
    "status: ok — расчёт выполнен; input — строка bad_line вне допустимых пределов; model —\n"
    "расчёт невозможен (подогреватель: число Re в трубах не больше 2300, ReTube всё же дан;\n"
    "испаритель: итерации не сошлись); fields — неверное число полей. Числа — 9 значащих цифр,\n"
    "десятичная точка. Плохой вариант не останавливает остальные.\n"
    "  --decimal-comma   числа с десятичной запятой (их читает русская электронная таблица);\n"
    "  --numbers ЗНАК    point, comma или locale (знак из LC_ALL, LC_NUMERIC или LANG);\n"
    "  -o ФАЙЛ           таблица в файл (появляется целиком; входной файл не перезаписывается);\n"
    "                    ФАЙЛ.xlsx — таблица Excel: числа — числовые ячейки, строка заголовка;\n"    "                    ФАЙЛ.csv с десятичной запятой — с меткой UTF-8 для русской таблицы,\n"
    "                    с --encoding windows-1251 — в Windows-1251;\n"
    "  --force           записать поверх существующего файла (-o, --pdf).\n"
    "\n"
    "--report печатает вместо таблицы отчёт по каждому варианту со статусом ok — такой, какой\n"
    "студент получил бы, нажав кнопку печати один раз; вариант с другим статусом получает короткую\n"
    "страницу: его номер (или имя с --id), статус и плохую строку, так что страница N — вариант N.\n"
    "Отчёты разделены строкой с символом перевода страницы; в конце стандартный поток ошибок\n"
    "подводит итог. --student задаёт строку студента, --date — дату и время отчёта (по умолчанию —\n"
    "сейчас), --pdf ФАЙЛ пишет отчёты в PDF вместо текста (существующий файл — только с --force).\n"
    "--print [ПРИНТЕР] отправляет те же страницы PDF на принтер по умолчанию или на названный\n"
    "(--print=ИМЯ, если имя совпадает с типом аппарата); текст тогда не выводится, а с --pdf\n"
    "тот же PDF ещё и записывается в файл. Задание несколько секунд отслеживается: сообщение\n"
    "говорит, напечатан ли отчёт, ждёт ли он в очереди (и почему) или принтер его не принял;\n"
    "код выхода 0 с --print — отчёт напечатан или стоит в очереди.\n"
    "--trace (вместе с --report) печатает под результатами каждого варианта ход расчёта: каждый\n"
    "шаг модели — формулу, подставленные значения с единицами, полученное число и выбор формы\n"
    "(режим течения, ε, итерации) с причиной; это промежуточные числа, до которых должен дойти\n"
    "ручной расчёт. heatx-batch check принимает отчёты с такими блоками.\n"
    "heatx-batch trace ТИП [ФАЙЛ] пишет те же шаги таблицей: строка на вариант (status, bad_line,\n"
    "затем столбец на шаг: значение, сохранённое моделью, или выбранная форма); ключи ввода,\n"
    "--decimal-comma, --numbers и -o ФАЙЛ[.xlsx] — как для таблицы результатов.\n"
    "Десятичный знак и формат даты отчётов берутся из LC_ALL, LC_NUMERIC или LANG\n"
    "(LANG=ru_RU.UTF-8 печатает 2,50).\n"
    "\n"
    "Код выхода: 0 — готово; 1 — вывод не удалось записать (стандартный вывод, -o, --pdf: причина —\n"
    "в сообщении) или, с --print, отчёт не напечатан и не стоит в очереди (принтер не принял его,\n"
    "не найден, сервер печати не ответил); 2 — ошибка вызова или входного файла (неизвестный тип или ключ, файл не\n"
    "читается или не текст, вывод поверх входного или существующего файла без --force).\n"
    "\n"
    "Пример:\n"
    "  heatx-batch heater examples/heater.csv\n"
    "  heatx-batch --id --decimal-comma -o ответы.xlsx heater группа-х10.csv\n"
    "  LANG=ru_RU.UTF-8 heatx-batch --report --student \"иванов и.и. гр. х-10\" cooler examples/cooler.csv\n";

bool HasControlCharacter(const QString& text) {
    for (QChar c : text)
        if (c.category() == QChar::Other_Control || c.unicode() == 0x2028 || c.unicode() == 0x2029) return true;
    return false;
}

// What the options give before the checks that need all of them.
struct Given {
    QStringList positional;
    QString dateText;
    QString numbers;
    bool outputGiven = false;
};

std::vector<Option> TableOptions(CliOptions& o, Given& g) {
    const auto refuseControl = [](const QString& value, const char* option) {
        return HasControlCharacter(value)
                   ? QStringLiteral("в %1 перевод строки или другой управляющий символ").arg(QLatin1String(option))
                   : QString();
    };
    return {
        Flag({QStringLiteral("--report")}, [&o] { o.report = true; }),
        Flag({QStringLiteral("--trace")}, [&o] { o.trace = true; }),
        Valued({QStringLiteral("--student")}, QStringLiteral("после --student нужен текст"), [&o, refuseControl](const QString& v) {
            o.studentLine = ProperCase(v) + QLatin1Char(' ');
            return refuseControl(v, "--student");
        }, true),
        Valued({QStringLiteral("--date")}, QStringLiteral("после --date нужны дата и время"), [&g, refuseControl](const QString& v) {
            g.dateText = v;
            return refuseControl(v, "--date");
        }, true),
        Valued({QStringLiteral("--pdf")}, QStringLiteral("после --pdf нужно имя файла"), [&o](const QString& v) {
            o.pdfPath = v;
            return QString();
        }),
        Valued({QStringLiteral("-o"), QStringLiteral("--output")}, QStringLiteral("после -o нужно имя файла"), [&o, &g](const QString& v) {
            o.outputPath = v;
            g.outputGiven = true;
            return QString();
        }),
        Flag({QStringLiteral("--print")}, [&o] { o.print = true; }),
        Flag({QStringLiteral("--force")}, [&o] { o.force = true; }),
        Flag({QStringLiteral("--decimal-comma")}, [&g] { g.numbers = QStringLiteral("comma"); }),
        Valued({QStringLiteral("--numbers")}, QStringLiteral("после --numbers нужно point, comma или locale"), [&g](const QString& v) {
            g.numbers = v;
            if (v == QLatin1String("point") || v == QLatin1String("comma") || v == QLatin1String("locale")) return QString();
            return QStringLiteral("--numbers %1: допустимы point, comma, locale").arg(v);
        }, true),
        Valued({QStringLiteral("--encoding")}, QStringLiteral("после --encoding нужно имя кодировки"), [&o](const QString& v) {
            o.input.encoding = v.toLatin1();
            if (IsKnownEncoding(o.input.encoding)) return QString();
            return QStringLiteral("кодировка «%1» не известна (например: UTF-8, WINDOWS-1251, UTF-16LE)").arg(v);
        }, true),
        Valued({QStringLiteral("--separator")}, QStringLiteral("после --separator нужен знак: ; , или \\t"), [&o](const QString& v) {
            if (v == QLatin1String(";")) o.input.separator = ';';
            else if (v == QLatin1String(",")) o.input.separator = ',';
            else if (v == QLatin1String("\\t") || v == QLatin1String("\t") || v == QLatin1String("tab")) o.input.separator = '\t';
            else return QStringLiteral("--separator «%1»: допустимы ; , и \\t").arg(v);
            return QString();
        }, true),
        Flag({QStringLiteral("--no-header")}, [&o] { o.input.detectHeader = false; }),
        Flag({QStringLiteral("--id")}, [&o] { o.input.idColumn = true; }),
    };
}

// The checks that need every option; the error text, or empty.
QString CheckTogether(Given& g, CliOptions& o) {
    // "heatx-batch trace TYPE [FILE]": the traces as a table.
    if (!g.positional.isEmpty() && g.positional[0] == QLatin1String("trace")) {
        o.traceTable = true;
        g.positional.removeFirst();
        if (o.report || o.trace) return QStringLiteral("heatx-batch trace пишет таблицу; отчёт с ходом расчёта — --report --trace");
    }
    if (g.positional.isEmpty() || g.positional.size() > 2)
        return QStringLiteral("нужен тип аппарата: heater, cooler или evaporator");
    const auto type = ParseApparatus(g.positional[0]);
    if (!type) return QStringLiteral("неизвестный тип «%1»; допустимы heater, cooler, evaporator").arg(g.positional[0]);
    o.type = *type;
    if (g.positional.size() == 2 && g.positional[1] != QLatin1String("-")) o.inputPath = g.positional[1];
    if (o.trace && !o.report) return QStringLiteral("--trace действует только вместе с --report (таблица хода расчёта — heatx-batch trace)");
    if (!o.report && (!o.pdfPath.isEmpty() || !g.dateText.isEmpty()))
        return QStringLiteral("--date и --pdf действуют только вместе с --report");
    if (o.report && !g.numbers.isEmpty())
        return QStringLiteral("--decimal-comma и --numbers — для таблицы; десятичный знак отчёта берётся из LANG");
    if (g.outputGiven && !o.pdfPath.isEmpty()) return QStringLiteral("--pdf и -o вместе не действуют");
    if (o.report && IsXlsxPath(o.outputPath)) return QStringLiteral("отчёт пишется текстом или в PDF (--pdf), не в .xlsx");
    if (o.print && !o.report) return QStringLiteral("--print действует только вместе с --report");
    if (o.print && g.outputGiven)
        return QStringLiteral("--print и -o вместе не действуют: копию напечатанного записывает --pdf ФАЙЛ");

    o.locale = EnvironmentLocale();
    if (g.numbers == QLatin1String("comma")) o.decimalMark = ',';
    else if (g.numbers == QLatin1String("locale")) o.decimalMark = o.locale.decimalPoint() == QLatin1String(",") ? ',' : '.';
    o.moment = QDateTime::currentDateTime();
    if (!g.dateText.isEmpty()) {
        o.moment = QDateTime::fromString(g.dateText, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!o.moment.isValid()) return QStringLiteral("дата «%1» не в виде ГГГГ-ММ-ДД ЧЧ:ММ:СС").arg(g.dateText);
    }
    return {};
}

// "--print QUEUE" and "--print=QUEUE": the word after --print names a printer
// unless it is an option or the apparatus type. The queue goes to
// options.printQueue and its words leave the arguments; the error text, or
// empty.
QString TakePrintQueue(QStringList& args, CliOptions& o) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i].startsWith(QLatin1String("--print="))) {
            o.printQueue = args[i].mid(8);
            args[i] = QStringLiteral("--print");
            if (o.printQueue.isEmpty()) return QStringLiteral("после --print= нужно имя принтера");
        } else if (args[i] == QLatin1String("--print") && i + 1 < args.size() &&
                   !args[i + 1].startsWith(QLatin1Char('-')) && !ParseApparatus(args[i + 1])) {
            o.printQueue = args.takeAt(i + 1);
        }
    }
    if (HasControlCharacter(o.printQueue))
        return QStringLiteral("в имени принтера перевод строки или другой управляющий символ");
    return {};
}

using Message = std::function<void(const QString&)>;

// The answer key's PDF to the printer; the status says whether it is with the
// printer (printed or in its queue).
int PrintPdf(const CliOptions& o, const QString& inputName, const QByteArray& pdf, const Message& message) {
    PrintRequest request;
    request.queue = o.printQueue;
    const QString student = o.studentLine.simplified();
    request.jobName = QStringLiteral("%1 %2 %3(heatx-batch)")
                          .arg(o.moment.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")),
                               o.inputPath.isEmpty() ? inputName : QFileInfo(o.inputPath).fileName(),
                               student.isEmpty() ? QString() : student + QLatin1Char(' '));
    request.pdf = pdf;
    const PrintOutcome outcome = SubmitReport(request);
    QString text = PrintOutcomeText(outcome);
    if (outcome.jobId > 0) text += QStringLiteral(" Задание %1.").arg(outcome.jobId);
    if (!o.pdfPath.isEmpty()) text += QStringLiteral(" PDF записан в «%1».").arg(o.pdfPath);
    else if (!outcome.Accepted()) text += QStringLiteral(" Сохранить отчёт можно ключом --pdf ФАЙЛ.");
    message(text);
    return outcome.Accepted() ? kExitDone : kExitOutputFailed;
}

// One call of the tool on its input: the table, or the reports as text or PDF.
class TableCall {
public:
    TableCall(const CliOptions& o, ByteSource& input, ByteSink& standardOutput, const Message& message)
        : o_(o),
          standardOutput_(standardOutput),
          message_(message),
          target_{o.pdfPath.isEmpty() ? o.outputPath : o.pdfPath, o.force, o.inputPath},
          reader_(input, o.input, FieldCount(o.type), message) {}

    int Run(const PdfPagesFactory& makePdf) {
        if (const auto refused = OpenOutputs()) return *refused;
        if (o_.traceTable) return Table(TraceTableWriter(o_.type, o_.input.idColumn, message_));
        return o_.report ? Reports(makePdf) : Table(ResultTableWriter(o_.type, o_.input.idColumn));
    }

private:
    // Outputs are checked and opened before anything is read; the exit
    // status when one cannot be.
    std::optional<int> OpenOutputs() {
        if (!target_.path.isEmpty()) {
            const QString refusal = CheckOutputTarget(target_);
            if (!refusal.isEmpty()) return Fail(refusal, kExitUsage);
        }
        if (o_.outputPath.isEmpty()) return std::nullopt;
        QString error;
        if (IsXlsxPath(o_.outputPath)) {
            table_ = XlsxWriter::Open(target_, &error);
            if (!table_) return Fail(error, kExitOutputFailed);
        } else {
            file_ = OpenOutput(target_, &error);
            if (!file_) return Fail(error, kExitOutputFailed);
            sink_ = file_.get();
            // A spreadsheet opening a CSV guesses its encoding: Windows-1251
            // when asked for, else UTF-8 marked as such for a Russian one.
            if (!o_.report && IsCsvPath(o_.outputPath)) {
                QByteArray name = o_.input.encoding.toUpper();
                name.replace('-', QByteArray()).replace('_', QByteArray());
                if (name == "WINDOWS1251" || name == "CP1251") {
                    recode_ = std::make_unique<Windows1251Sink>(*file_);
                    sink_ = recode_.get();
                } else if (o_.decimalMark == ',' && !file_->Write("\xEF\xBB\xBF", 3)) {
                    return Fail(file_->ErrorText(), kExitOutputFailed);
                }
            }
        }
        return std::nullopt;
    }

    int Fail(const QString& text, int status) {
        message_(text);
        return status;
    }

    int InputFailed() {
        const QString inputName = o_.inputPath.isEmpty() ? QStringLiteral("стандартный ввод")
                                                         : QStringLiteral("файл «%1»").arg(o_.inputPath);
        message_(QStringLiteral("%1: %2").arg(inputName, reader_.Error()));
        // What a file got so far goes with its temporary; standard output
        // keeps the rows already written, and the status says it is cut.
        if (o_.outputPath.isEmpty() && o_.pdfPath.isEmpty()) {
            if (table_) table_->Finish();
            else standardOutput_.Finish();
        }
        return kExitUsage;
    }

    int Table(const RowTable& rows) {
        if (!table_) table_ = std::make_unique<CsvWriter>(*sink_, o_.decimalMark);
        rows.header(*table_);
        Record record;
        bool writing = true;
        while (writing && reader_.Next(record)) {
            Trace trace;
            const RowResult row = RowOf(o_.type, record, rows.traced ? &trace : nullptr);
            writing = rows.row(*table_, row, trace, record);
        }
        if (!reader_.Error().isEmpty()) return InputFailed();
        if (!table_->Finish()) return Fail(table_->ErrorText(), kExitOutputFailed);
        return kExitDone;
    }

    int Reports(const PdfPagesFactory& makePdf) {
        TextReportPrinter textPrinter(*sink_);
        std::unique_ptr<PdfPages> pdf;
        Printer* printer = &textPrinter;
        if (!o_.pdfPath.isEmpty() || o_.print) {
            QString pdfError = QStringLiteral("PDF здесь не строится");
            if (makePdf) pdf = makePdf(&pdfError);
            if (!pdf) return Fail(pdfError, kExitOutputFailed);
            printer = &pdf->Pages();
        }
        PrintPages(*printer, pdf != nullptr);
        if (!reader_.Error().isEmpty()) return InputFailed();
        if (pdf) return WritePdf(*pdf);
        if (!sink_->Finish()) return Fail(sink_->ErrorText(), kExitOutputFailed);
        return kExitDone;
    }

    // A report page per variant, then the summary of what was read.
    void PrintPages(Printer& printer, bool toPdf) {
        const QString dateLine = DateLine(o_.moment, o_.locale);
        const QChar mark = DecimalMarkOf(o_.locale);
        std::int64_t counts[4] = {0, 0, 0, 0};
        Record record;
        while (reader_.Next(record)) {
            Trace trace;
            RowResult row = RowOf(o_.type, record, o_.trace ? &trace : nullptr);
            ++counts[int(row.status)];
            if (row.status == Status::Ok) {
                StoreValueTexts(o_.type, record.fields, row.state);
                if (o_.input.idColumn) {
                    SetReportFont(printer);
                    printer.PrintLine(VariantIdLine(record.id));
                }
                PrintRowReport(o_.type, row, o_.studentLine, dateLine, mark, printer, o_.trace ? &trace : nullptr);
            } else {
                PrintProblemPage(o_.type, row, record, o_.input.idColumn, mark, printer);
            }
            if (!toPdf && !sink_->Write("", 0)) break;  // the output refuses bytes: no use going on
        }
        const ReadCounts& read = reader_.Counts();
        message_(QStringLiteral("прочитано вариантов: %1 (ok: %2, input: %3, model: %4, fields: %5); "
                                "пропущено строк: заголовок — %6, комментарии — %7, пустые — %8")
                     .arg(read.variants)
                     .arg(counts[int(Status::Ok)])
                     .arg(counts[int(Status::Input)])
                     .arg(counts[int(Status::Model)])
                     .arg(counts[int(Status::Fields)])
                     .arg(read.headerLines)
                     .arg(read.commentLines)
                     .arg(read.blankLines));
    }

    // The PDF is written only when it is whole and holds a variant.
    int WritePdf(PdfPages& pdf) {
        QByteArray bytes;
        if (!pdf.Finish(bytes)) return Fail(QStringLiteral("не удаётся построить PDF «%1»").arg(o_.pdfPath), kExitOutputFailed);
        const QString inputName = o_.inputPath.isEmpty() ? QStringLiteral("стандартный ввод")
                                                         : QStringLiteral("файл «%1»").arg(o_.inputPath);
        if (reader_.Counts().variants == 0) {
            return Fail(o_.pdfPath.isEmpty()
                            ? QStringLiteral("%1: нет ни одного варианта — печатать нечего").arg(inputName)
                            : QStringLiteral("%1: нет ни одного варианта — PDF «%2» не записан").arg(inputName, o_.pdfPath),
                        kExitUsage);
        }
        if (o_.pdfPath.isEmpty()) return PrintPdf(o_, inputName, bytes, message_);
        QString error;
        std::unique_ptr<ByteSink> out = OpenOutput(target_, &error);
        if (!out) return Fail(error, kExitOutputFailed);
        if (!out->Write(bytes.constData(), std::size_t(bytes.size())) || !out->Finish())
            return Fail(out->ErrorText(), kExitOutputFailed);
        return o_.print ? PrintPdf(o_, inputName, bytes, message_) : kExitDone;
    }

    const CliOptions& o_;
    ByteSink& standardOutput_;
    const Message& message_;
    const OutputTarget target_;
    InputReader reader_;
    std::unique_ptr<ByteSink> file_;
    std::unique_ptr<ByteSink> recode_;
    std::unique_ptr<TableWriter> table_;
    ByteSink* sink_ = &standardOutput_;
};

}  // namespace

const char* HelpText() { return kHelp; }

Parsed ParseArguments(const QStringList& arguments, CliOptions& o, QString* error) {
    Given given;
    QStringList args = arguments;
    *error = TakePrintQueue(args, o);
    if (!error->isEmpty()) return Parsed::Error;
    const Parsed parsed = ParseCommandLine(args, TableOptions(o, given), [&given](const QString& word) {
        given.positional.append(word);
        return QString();
    }, error);
    if (parsed != Parsed::Run) return parsed;
    *error = CheckTogether(given, o);
    return error->isEmpty() ? Parsed::Run : Parsed::Error;
}

int Execute(const CliOptions& o, ByteSource& input, ByteSink& standardOutput, const Message& message,
            const PdfPagesFactory& makePdf) {
    TableCall call(o, input, standardOutput, message);
    return call.Run(makePdf);
}

int Main(int argc, char** argv, const PdfPagesFactory& makePdf) {
    const CommandVoice voice(QStringLiteral("heatx-batch"), QStringLiteral("heatx-batch --help"));
    CliOptions options;
    QString error;
    if (const auto ended = voice.EndBeforeRun(ParseArguments(Arguments(argc, argv, 1), options, &error), kHelp, error))
        return *ended;
    int fd = STDIN_FILENO;
    if (!options.inputPath.isEmpty()) {
        fd = ::open(QFile::encodeName(options.inputPath).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            voice.Tell(QStringLiteral("не удаётся прочитать файл «%1»: %2").arg(options.inputPath, SystemErrorText(errno)));
            return kExitUsage;
        }
    }
    FdSource source(fd);
    FdSink standardOutput(STDOUT_FILENO, QStringLiteral("стандартный вывод"));
    const int status = Execute(options, source, standardOutput, [&voice](const QString& text) { voice.Tell(text); }, makePdf);
    if (fd != STDIN_FILENO) ::close(fd);
    return status;
}

}  // namespace heatx::batch
