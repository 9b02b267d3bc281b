// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/batch.h"

#include "cooler/cooler_input.h"
#include "cooler/cooler_model.h"
#include "cooler/cooler_report.h"
#include "evaporator/evap_input.h"
#include "evaporator/evap_model.h"
#include "evaporator/evap_report.h"
#include "heater/heater_input.h"
#include "heater/heater_model.h"
#include "heater/heater_report.h"
#include "platform/cups_job.h"

#include "report/report_frame.h"
#include "text/text_format.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace heatx::batch {

std::optional<Apparatus> ParseApparatus(const QString& word) {
    if (word == QLatin1String("heater")) return Apparatus::Heater;
    if (word == QLatin1String("cooler")) return Apparatus::Cooler;
    if (word == QLatin1String("evaporator")) return Apparatus::Evaporator;
    return std::nullopt;
}

int FieldCount(Apparatus type) {
    switch (type) {
    case Apparatus::Heater: return 16;
    case Apparatus::Cooler: return 18;
    case Apparatus::Evaporator: return 16;
    }
    return 0;
}

std::optional<QStringList> SplitRow(QStringView line) {
    QStringList fields;
    fields.reserve(20);
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (true) {
        QString field;
        if (i < n && line[i] == QLatin1Char('"')) {
            ++i;
            bool closed = false;
            while (i < n) {
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < n && line[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                field += line[i++];
            }
            if (!closed) return std::nullopt;
            if (i < n && line[i] != QLatin1Char(';')) return std::nullopt;
        } else {
            const qsizetype start = i;
            while (i < n && line[i] != QLatin1Char(';')) ++i;
            field = line.mid(start, i - start).toString();
        }
        fields.append(field);
        if (i >= n) break;
        ++i;  // the semicolon
    }
    return fields;
}

std::optional<bool> ParseHeaterHorizontal(const QString& field) {
    if (field.size() != 1) return std::nullopt;
    switch (field[0].unicode()) {
    case u'Г': case u'г': case u'H': case u'h': return true;
    case u'В': case u'в': case u'V': case u'v': return false;
    default: return std::nullopt;
    }
}

std::optional<bool> ParseHeaterHorizontal(std::string_view f) {
    if (f.size() == 1) {
        switch (f[0]) {
        case 'H': case 'h': return true;
        case 'V': case 'v': return false;
        default: return std::nullopt;
        }
    }
    // Г г В в in UTF-8
    if (f == "\xD0\x93" || f == "\xD0\xB3") return true;
    if (f == "\xD0\x92" || f == "\xD0\xB2") return false;
    return std::nullopt;
}

namespace {

void Reject(RowResult& row, int line) {
    row.status = Status::Input;
    row.badLine = line;
}

using Fields = std::span<const std::string_view>;

void RunHeater(Fields f, RowResult& row) {
    CalcState& s = row.state;
    for (int i = 0; i < kHeaterSheetLines; ++i) s.InputValues[i] = ReadTypedNumber(f[i]);
    for (int i = 12; i <= 15; ++i) s.InputValues[i] = ReadTypedNumber(f[i]);

    s.BadLineIndex = CheckHeaterInput(s);
    if (s.CalcError != kClear) return Reject(row, s.BadLineIndex);
    const auto horizontal = ParseHeaterHorizontal(f[kHeaterTypeLine]);
    if (!horizontal) return Reject(row, kHeaterTypeLine);
    s.HeaterHorizontal = *horizontal ? kSet : kClear;
    for (int i = 12; i <= 15; ++i)
        if (!HeaterConstructiveInRange(i, s.InputValues[i])) return Reject(row, i);

    HeaterModel(s);
    row.status = s.CalcError != kClear ? Status::Model : Status::Ok;
}

void RunCooler(Fields f, RowResult& row) {
    CalcState& s = row.state;
    for (int i = 0; i < 18; ++i) s.InputValues[i] = ReadTypedNumber(f[i]);

    s.BadLineIndex = CheckCoolerInput(s);
    if (s.CalcError != kClear) return Reject(row, s.BadLineIndex);
    for (int i = kCoolerFirstConstructive; i <= kCoolerLastConstructive; ++i)
        if (!CoolerFirstEntryInRange(i, s.InputValues[i])) return Reject(row, i);

    CoolerModel(s);
    row.status = s.CalcError != kClear ? Status::Model : Status::Ok;
}

void RunEvaporator(Fields f, RowResult& row) {
    CalcState& s = row.state;
    for (int i = 0; i < 16; ++i) s.InputValues[i] = ReadTypedNumber(f[i]);

    s.BadLineIndex = CheckEvapInput(s);
    if (s.CalcError != kClear) return Reject(row, s.BadLineIndex);
    if (!EvapHeightInRange(s.InputValues[kEvapHeightLine])) return Reject(row, kEvapHeightLine);

    EvapModel(s);
    row.status = s.CalcError != kClear ? Status::Model : Status::Ok;
}

// The value text an input box stores for a typed answer.
QString ValueText(std::string_view typed) {
    return NormalizeDecimal(QString::fromUtf8(typed.data(), qsizetype(typed.size())));
}

}  // namespace

RowResult RowOf(Apparatus type, const Record& record) {
    if (record.problem != Record::Problem::None) {
        RowResult row;
        row.problem = record.problem;
        return row;
    }
    return RunRow(type, record.fields);
}

// The captions are filled only when a report is printed: the results table
// does not need them.
RowResult RunRow(Apparatus type, std::span<const std::string_view> fields) {
    RowResult row;
    row.givenFields = int(fields.size());
    if (row.givenFields != FieldCount(type)) return row;
    switch (type) {
    case Apparatus::Heater: RunHeater(fields, row); break;
    case Apparatus::Cooler: RunCooler(fields, row); break;
    case Apparatus::Evaporator: RunEvaporator(fields, row); break;
    }
    return row;
}

RowResult RunRow(Apparatus type, QStringList fields) {
    std::vector<QByteArray> bytes;
    bytes.reserve(std::size_t(fields.size()));
    for (const QString& f : fields) bytes.push_back(f.toUtf8());
    std::vector<std::string_view> views;
    for (const QByteArray& b : bytes) views.emplace_back(b.constData(), std::size_t(b.size()));
    RowResult row = RunRow(type, views);
    if (row.givenFields == FieldCount(type)) StoreValueTexts(type, views, row.state);
    return row;
}

void StoreValueTexts(Apparatus type, std::span<const std::string_view> f, CalcState& s) {
    if (int(f.size()) != FieldCount(type)) return;
    switch (type) {
    case Apparatus::Heater:
        for (int i = 0; i < kHeaterSheetLines; ++i) s.HeaterValueTexts[i] = ValueText(f[i]);
        for (int i = 12; i <= 15; ++i) s.HeaterValueTexts[i] = ValueText(f[i]);
        break;
    case Apparatus::Cooler:
        for (int i = 0; i < 18; ++i) s.CoolerValueTexts[i] = ValueText(f[i]);
        break;
    case Apparatus::Evaporator:
        for (int i = 0; i < 16; ++i) s.EvapValueTexts[i] = ValueText(f[i]);
        break;
    }
}

std::string FormatNumber(float value) {
    char buf[32];
    return std::string(buf, WriteNineDigits(buf, value));
}

std::string ResultHeader(Apparatus type) {
    switch (type) {
    case Apparatus::Heater: return "status;bad_line;ReTube;AlphaTube;AlphaShell;HeatTransferK;SurfaceF";
    case Apparatus::Cooler:
        return "status;bad_line;ReTube;ReShell;AlphaTube;AlphaShell;HeatTransferK;SurfaceF";
    case Apparatus::Evaporator: return "status;bad_line;AlphaTube;AlphaShell;HeatTransferK;SurfaceF";
    }
    return {};
}

std::string ResultLine(Apparatus type, const RowResult& row) {
    StringSink sink;
    CsvWriter table(sink);
    WriteResultRow(table, type, row, nullptr);
    table.Finish();
    sink.bytes.pop_back();  // the line feed
    return sink.bytes;
}

void WriteResultHeader(TableWriter& table, Apparatus type, bool withId) {
    if (withId) table.Text("id");
    const std::string header = ResultHeader(type);
    std::string_view rest(header);
    while (true) {
        const std::size_t semicolon = rest.find(';');
        table.Text(rest.substr(0, semicolon));
        if (semicolon == std::string_view::npos) break;
        rest.remove_prefix(semicolon + 1);
    }
    table.EndRow();
}

bool WriteResultRow(TableWriter& table, Apparatus type, const RowResult& row, const std::string_view* id) {
    if (id != nullptr) table.Text(*id);
    switch (row.status) {
    case Status::Ok: table.Text("ok"); table.Empty(); break;
    case Status::Input: table.Text("input"); table.Integer(row.badLine); break;
    case Status::Model: table.Text("model"); table.Empty(); break;
    case Status::Fields: table.Text("fields"); table.Empty(); break;
    }
    const CalcState& s = row.state;
    const bool ok = row.status == Status::Ok;
    const auto cell = [&table](bool given, float v) {
        if (given) table.Number(v);
        else table.Empty();
    };
    switch (type) {
    case Apparatus::Heater:
        // A heater stopped on the Reynolds test still tells its Reynolds number.
        cell(ok || row.status == Status::Model, s.ReTube);
        break;
    case Apparatus::Cooler:
        cell(ok, s.ReTube);
        cell(ok, s.ReShell);
        break;
    case Apparatus::Evaporator: break;
    }
    cell(ok, s.AlphaTube);
    cell(ok, s.AlphaShell);
    cell(ok, s.HeatTransferK);
    cell(ok, s.SurfaceF);
    return table.EndRow();
}

void PrintRowReport(Apparatus type, RowResult& row, const QString& studentLine,
                    const QString& dateLine, Printer& printer) {
    CalcState& s = row.state;
    s.StudentLine = studentLine;
    s.ResetPrintFlags();
    s.PrintStarted = kSet;
    const DateLineSource date = [&dateLine] { return dateLine; };
    switch (type) {
    case Apparatus::Heater:
        FillHeaterCaptions(s);
        PrintHeaterRow(s, printer, date);
        printer.EndDocument();
        break;
    case Apparatus::Cooler:
        FillCoolerCaptions(s);
        PrintCoolerRow(s, printer, date);
        printer.EndDocument();
        break;
    case Apparatus::Evaporator:
        FillEvapCaptions(s);
        PrintEvapRow(s, printer, date);
        CloseEvapReport(printer);
        break;
    }
}

void ForEachRow(Apparatus type, QStringView text, const std::function<void(RowResult&)>& onRow) {
    const QByteArray bytes = text.toUtf8();
    MemorySource source(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    InputReader reader(source, ReaderOptions{}, FieldCount(type));
    Record record;
    while (reader.Next(record)) {
        RowResult row = RowOf(type, record);
        if (row.status == Status::Ok) StoreValueTexts(type, record.fields, row.state);
        onRow(row);
    }
}

std::string ResultsTable(Apparatus type, QStringView text) {
    std::string out = ResultHeader(type);
    out += '\n';
    ForEachRow(type, text, [&](RowResult& row) {
        out += ResultLine(type, row);
        out += '\n';
    });
    return out;
}

QLocale EnvironmentLocale() {
    for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        QString locale = QString::fromLocal8Bit(value);
        const qsizetype dot = locale.indexOf(QLatin1Char('.'));
        if (dot >= 0) locale.truncate(dot);
        const qsizetype at = locale.indexOf(QLatin1Char('@'));
        if (at >= 0) locale.truncate(at);
        if (locale == QLatin1String("C") || locale == QLatin1String("POSIX")) return QLocale::c();
        return QLocale(locale);
    }
    return QLocale::c();
}

// ---------------------------------------------------------------------------
// Report pages

namespace {

QString Trimmed(const char16_t* caption) { return QString::fromUtf16(caption).trimmed(); }

QString LineCaption(Apparatus type, int line) {
    switch (type) {
    case Apparatus::Heater: return line >= 0 && line < 17 ? Trimmed(kHeaterLines[line].caption) : QString();
    case Apparatus::Cooler: return line >= 0 && line < 18 ? Trimmed(kCoolerLines[line].caption) : QString();
    case Apparatus::Evaporator:
        if (line == kEvapHeightLine) return QStringLiteral("ВЫСОТА ТРУБ, М");
        return line >= 0 && line < kEvapSheetLines ? Trimmed(kEvapLines[line].caption) : QString();
    }
    return {};
}

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

const char* StatusWord(Status status) {
    switch (status) {
    case Status::Ok: return "ok";
    case Status::Input: return "input";
    case Status::Model: return "model";
    case Status::Fields: return "fields";
    }
    return "";
}

}  // namespace

QString VariantIdLine(std::string_view id) { return Margined(QStringLiteral(" ВАРИАНТ: ") + FromUtf8(id)); }

void PrintProblemPage(Apparatus type, const RowResult& row, const Record& record, bool withId, Printer& printer) {
    SetReportFont(printer);
    const QString where = QStringLiteral("СТРОКА %1 ФАЙЛА").arg(record.line);
    printer.PrintLine(withId ? Margined(QStringLiteral(" ВАРИАНТ: %1 (%2)").arg(FromUtf8(record.id), where))
                             : Margined(QStringLiteral(" ВАРИАНТ %1 (%2)").arg(record.variant).arg(where)));
    printer.PrintLine(QString());
    printer.PrintLine(Margined(QStringLiteral(" РАСЧЁТ НЕ ВЫПОЛНЕН, СТАТУС %1").arg(QLatin1String(StatusWord(row.status)))));
    QString reason;
    switch (row.status) {
    case Status::Ok: break;
    case Status::Input: {
        const QString typed = row.badLine >= 0 && std::size_t(row.badLine) < record.fields.size()
                                  ? FromUtf8(record.fields[std::size_t(row.badLine)])
                                  : QString();
        reason = QStringLiteral(" СТРОКА %1 (%2) ВНЕ ДОПУСТИМЫХ ПРЕДЕЛОВ: «%3»")
                     .arg(row.badLine)
                     .arg(LineCaption(type, row.badLine), typed);
        break;
    }
    case Status::Model:
        if (type == Apparatus::Heater && !(row.state.ReTube > 2300))
            reason = QStringLiteral(" РАСЧЁТ НЕВОЗМОЖЕН: ЧИСЛО RE В ТРУБАХ %1 НЕ БОЛЬШЕ 2300")
                         .arg(FormatFixed(row.state.ReTube, 0, 2).trimmed());
        else
            reason = QStringLiteral(" РАСЧЁТ НЕВОЗМОЖЕН ПРИ ЭТИХ ДАННЫХ");
        break;
    case Status::Fields:
        switch (row.problem) {
        case Record::Problem::Overlong: reason = QStringLiteral(" СТРОКА ФАЙЛА ДЛИННЕЕ 1 МБ, НЕ ПРОЧИТАНА"); break;
        case Record::Problem::OpenQuote:
            reason = QStringLiteral(" КАВЫЧКА НЕ ЗАКРЫТА ИЛИ ПОСЛЕ ЗАКРЫВАЮЩЕЙ КАВЫЧКИ ЕЩЁ ТЕКСТ");
            break;
        case Record::Problem::None:
            reason = QStringLiteral(" ПОЛЕЙ %1 ВМЕСТО %2").arg(row.givenFields).arg(FieldCount(type));
            break;
        }
        break;
    }
    printer.PrintLine(Margined(reason));
    printer.EndDocument();
}

void TextReportPrinter::PrintLine(const QString& line) {
    if (pendingSeparator_) {
        sink_.Write("\f\n", 2);
        pendingSeparator_ = false;
    }
    const QByteArray bytes = line.toUtf8();
    sink_.Write(bytes.constData(), std::size_t(bytes.size()));
    sink_.Write("\n", 1);
}

// ---------------------------------------------------------------------------
// The command line

namespace {

const char kHelp[] =
    "heatx-batch — расчёт теплообменников без окон: ответы к вариантам группы и проверка чисел.\n"
    "\n"
    "Вызов:\n"
    "  heatx-batch [КЛЮЧИ] ТИП [ФАЙЛ]\n"
    "  heatx-batch --report [--student ТЕКСТ] [--date \"ГГГГ-ММ-ДД ЧЧ:ММ:СС\"] [--pdf ФАЙЛ.pdf]\n"
    "              [--print [ПРИНТЕР]] ТИП [ФАЙЛ]\n"
    "  heatx-batch check [КЛЮЧИ] ОТЧЁТ|ПАПКА...     проверка сохранённых отчётов студентов\n"
    "  heatx-batch variants ТИП --from ФАЙЛ [КЛЮЧИ]  индивидуальные варианты из базовых строк\n"
    "  heatx-batch --help  (и heatx-batch check --help, heatx-batch variants --help)\n"
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
    "  Кодировка: UTF-8 (с меткой порядка байтов или без), UTF-16 с меткой; текст не в UTF-8\n"
    "  читается как Windows-1251 (об этом говорится). --encoding ИМЯ задаёт кодировку явно.\n"
    "  Концы строк: LF, CR LF или один CR.\n"
    "  --separator ЗНАК  разделитель полей: ; (по умолчанию), , или \\t (табуляция). Без ключа\n"
    "                    первая строка без точек с запятой, но с табуляциями или запятыми задаёт их.\n"
    "  Первая строка, в которой ни одно поле не читается как число, — заголовок: она пропускается;\n"
    "  --no-header читает её как вариант. Пустые поля в конце строки не считаются.\n"
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
    "                    ФАЙЛ.xlsx — таблица Excel: числа — числовые ячейки, строка заголовка;\n"
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

}  // namespace

const char* HelpText() { return kHelp; }

Parsed ParseArguments(const QStringList& args, CliOptions& o, QString* error) {
    const auto fail = [error](const QString& text) {
        *error = text;
        return Parsed::Error;
    };
    QStringList positional;
    QString dateText;
    QString numbers;
    bool outputGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const auto value = [&](QString& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        QString text;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return Parsed::Help;
        } else if (arg == QLatin1String("--report")) {
            o.report = true;
        } else if (arg == QLatin1String("--student")) {
            if (!value(text)) return fail(QStringLiteral("после --student нужен текст"));
            if (HasControlCharacter(text))
                return fail(QStringLiteral("в --student перевод строки или другой управляющий символ"));
            o.studentLine = ProperCase(text) + QLatin1Char(' ');
        } else if (arg == QLatin1String("--date")) {
            if (!value(dateText)) return fail(QStringLiteral("после --date нужны дата и время"));
            if (HasControlCharacter(dateText))
                return fail(QStringLiteral("в --date перевод строки или другой управляющий символ"));
        } else if (arg == QLatin1String("--pdf")) {
            if (!value(o.pdfPath) || o.pdfPath.isEmpty()) return fail(QStringLiteral("после --pdf нужно имя файла"));
        } else if (arg == QLatin1String("--print") || arg.startsWith(QLatin1String("--print="))) {
            o.print = true;
            if (arg.size() > 7) {
                o.printQueue = arg.mid(8);
                if (o.printQueue.isEmpty()) return fail(QStringLiteral("после --print= нужно имя принтера"));
            } else if (i + 1 < args.size() && !args[i + 1].startsWith(QLatin1Char('-')) && !ParseApparatus(args[i + 1])) {
                o.printQueue = args[++i];  // the next word names a printer unless it is the type
            }
            if (HasControlCharacter(o.printQueue))
                return fail(QStringLiteral("в имени принтера перевод строки или другой управляющий символ"));
        } else if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (!value(o.outputPath) || o.outputPath.isEmpty()) return fail(QStringLiteral("после -o нужно имя файла"));
            outputGiven = true;
        } else if (arg == QLatin1String("--force")) {
            o.force = true;
        } else if (arg == QLatin1String("--decimal-comma")) {
            numbers = QStringLiteral("comma");
        } else if (arg == QLatin1String("--numbers")) {
            if (!value(numbers)) return fail(QStringLiteral("после --numbers нужно point, comma или locale"));
            if (numbers != QLatin1String("point") && numbers != QLatin1String("comma") &&
                numbers != QLatin1String("locale"))
                return fail(QStringLiteral("--numbers %1: допустимы point, comma, locale").arg(numbers));
        } else if (arg == QLatin1String("--encoding")) {
            if (!value(text)) return fail(QStringLiteral("после --encoding нужно имя кодировки"));
            o.input.encoding = text.toLatin1();
            if (!IsKnownEncoding(o.input.encoding))
                return fail(QStringLiteral("кодировка «%1» не известна (например: UTF-8, WINDOWS-1251, UTF-16LE)").arg(text));
        } else if (arg == QLatin1String("--separator")) {
            if (!value(text)) return fail(QStringLiteral("после --separator нужен знак: ; , или \\t"));
            if (text == QLatin1String(";")) o.input.separator = ';';
            else if (text == QLatin1String(",")) o.input.separator = ',';
            else if (text == QLatin1String("\\t") || text == QLatin1String("\t") || text == QLatin1String("tab"))
                o.input.separator = '\t';
            else return fail(QStringLiteral("--separator «%1»: допустимы ; , и \\t").arg(text));
        } else if (arg == QLatin1String("--no-header")) {
            o.input.detectHeader = false;
        } else if (arg == QLatin1String("--id")) {
            o.input.idColumn = true;
        } else if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            return fail(QStringLiteral("неизвестный ключ %1").arg(arg));
        } else {
            positional.append(arg);
        }
    }
    if (positional.isEmpty() || positional.size() > 2)
        return fail(QStringLiteral("нужен тип аппарата: heater, cooler или evaporator"));
    const auto type = ParseApparatus(positional[0]);
    if (!type)
        return fail(QStringLiteral("неизвестный тип «%1»; допустимы heater, cooler, evaporator").arg(positional[0]));
    o.type = *type;
    if (positional.size() == 2 && positional[1] != QLatin1String("-")) o.inputPath = positional[1];
    if (!o.report && (!o.pdfPath.isEmpty() || !dateText.isEmpty()))
        return fail(QStringLiteral("--date и --pdf действуют только вместе с --report"));
    if (o.report && !numbers.isEmpty())
        return fail(QStringLiteral("--decimal-comma и --numbers — для таблицы; десятичный знак отчёта берётся из LANG"));
    if (outputGiven && !o.pdfPath.isEmpty()) return fail(QStringLiteral("--pdf и -o вместе не действуют"));
    if (o.print && !o.report) return fail(QStringLiteral("--print действует только вместе с --report"));
    if (o.print && outputGiven)
        return fail(QStringLiteral("--print и -o вместе не действуют: копию напечатанного записывает --pdf ФАЙЛ"));
    if (o.report && IsXlsxPath(o.outputPath))
        return fail(QStringLiteral("отчёт пишется текстом или в PDF (--pdf), не в .xlsx"));

    o.locale = EnvironmentLocale();
    if (numbers == QLatin1String("comma")) {
        o.decimalMark = ',';
    } else if (numbers == QLatin1String("locale")) {
        const QString mark = o.locale.decimalPoint();
        o.decimalMark = mark == QLatin1String(",") ? ',' : '.';
    }
    o.moment = QDateTime::currentDateTime();
    if (!dateText.isEmpty()) {
        o.moment = QDateTime::fromString(dateText, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!o.moment.isValid())
            return fail(QStringLiteral("дата «%1» не в виде ГГГГ-ММ-ДД ЧЧ:ММ:СС").arg(dateText));
    }
    return Parsed::Run;
}

namespace {

// The answer key's PDF to the printer; the status says whether it is with the
// printer (printed or in its queue).
int PrintPdf(const CliOptions& o, const QString& inputName, const QByteArray& pdf,
             const std::function<void(const QString&)>& message) {
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

}  // namespace

int Execute(const CliOptions& o, ByteSource& input, ByteSink& standardOutput,
            const std::function<void(const QString&)>& message, const PdfPagesFactory& makePdf) {
    const QString inputName =
        o.inputPath.isEmpty() ? QStringLiteral("стандартный ввод") : QStringLiteral("файл «%1»").arg(o.inputPath);

    // Outputs are checked before anything is read.
    const OutputTarget fileTarget{o.pdfPath.isEmpty() ? o.outputPath : o.pdfPath, o.force, o.inputPath};
    if (!fileTarget.path.isEmpty()) {
        const QString refusal = CheckOutputTarget(fileTarget);
        if (!refusal.isEmpty()) {
            message(refusal);
            return kExitUsage;
        }
    }
    std::unique_ptr<ByteSink> fileSink;
    std::unique_ptr<TableWriter> table;
    ByteSink* sink = &standardOutput;
    QString openError;
    if (!o.outputPath.isEmpty()) {
        if (IsXlsxPath(o.outputPath)) {
            table = XlsxWriter::Open(fileTarget, &openError);
            if (!table) {
                message(openError);
                return kExitOutputFailed;
            }
        } else {
            fileSink = OpenOutput(fileTarget, &openError);
            if (!fileSink) {
                message(openError);
                return kExitOutputFailed;
            }
            sink = fileSink.get();
        }
    }

    InputReader reader(input, o.input, FieldCount(o.type), message);
    const auto inputFailed = [&] {
        message(QStringLiteral("%1: %2").arg(inputName, reader.Error()));
        // What a file got so far goes with its temporary; standard output
        // keeps the rows already written, and the status says it is cut.
        if (o.outputPath.isEmpty() && o.pdfPath.isEmpty()) {
            if (table) table->Finish();
            else standardOutput.Finish();
        }
        return kExitUsage;
    };
    Record record;

    if (!o.report) {
        if (!table) table = std::make_unique<CsvWriter>(*sink, o.decimalMark);
        WriteResultHeader(*table, o.type, o.input.idColumn);
        bool writing = true;
        while (writing && reader.Next(record)) {
            const RowResult row = RowOf(o.type, record);
            writing = WriteResultRow(*table, o.type, row, o.input.idColumn ? &record.id : nullptr);
        }
        if (!reader.Error().isEmpty()) return inputFailed();
        if (!table->Finish()) {
            message(table->ErrorText());
            return kExitOutputFailed;
        }
        return kExitDone;
    }

    SetDecimalMark(o.locale.decimalPoint().isEmpty() ? QLatin1Char('.') : o.locale.decimalPoint()[0]);
    const QString dateLine = DateLine(o.moment, o.locale);
    TextReportPrinter textPrinter(*sink);
    std::unique_ptr<PdfPages> pdf;
    Printer* printer = &textPrinter;
    if (!o.pdfPath.isEmpty() || o.print) {
        QString pdfError = QStringLiteral("PDF здесь не строится");
        if (makePdf) pdf = makePdf(&pdfError);
        if (!pdf) {
            message(pdfError);
            return kExitOutputFailed;
        }
        printer = &pdf->Pages();
    }
    std::int64_t counts[4] = {0, 0, 0, 0};
    while (reader.Next(record)) {
        RowResult row = RowOf(o.type, record);
        ++counts[int(row.status)];
        if (row.status == Status::Ok) {
            StoreValueTexts(o.type, record.fields, row.state);
            if (o.input.idColumn) {
                SetReportFont(*printer);
                printer->PrintLine(VariantIdLine(record.id));
            }
            PrintRowReport(o.type, row, o.studentLine, dateLine, *printer);
        } else {
            PrintProblemPage(o.type, row, record, o.input.idColumn, *printer);
        }
        if (!pdf && !sink->Write("", 0)) break;  // the output refuses bytes: no use going on
    }
    const ReadCounts& read = reader.Counts();
    message(QStringLiteral("прочитано вариантов: %1 (ok: %2, input: %3, model: %4, fields: %5); "
                           "пропущено строк: заголовок — %6, комментарии — %7, пустые — %8")
                .arg(read.variants)
                .arg(counts[int(Status::Ok)])
                .arg(counts[int(Status::Input)])
                .arg(counts[int(Status::Model)])
                .arg(counts[int(Status::Fields)])
                .arg(read.headerLines)
                .arg(read.commentLines)
                .arg(read.blankLines));
    if (!reader.Error().isEmpty()) return inputFailed();

    if (pdf) {
        QByteArray bytes;
        if (!pdf->Finish(bytes)) {
            message(QStringLiteral("не удаётся построить PDF «%1»").arg(o.pdfPath));
            return kExitOutputFailed;
        }
        if (read.variants == 0) {
            message(o.pdfPath.isEmpty()
                        ? QStringLiteral("%1: нет ни одного варианта — печатать нечего").arg(inputName)
                        : QStringLiteral("%1: нет ни одного варианта — PDF «%2» не записан").arg(inputName, o.pdfPath));
            return kExitUsage;
        }
        if (o.pdfPath.isEmpty()) return PrintPdf(o, inputName, bytes, message);
        std::unique_ptr<ByteSink> out = OpenOutput(fileTarget, &openError);
        if (!out) {
            message(openError);
            return kExitOutputFailed;
        }
        if (!out->Write(bytes.constData(), std::size_t(bytes.size())) || !out->Finish()) {
            message(out->ErrorText());
            return kExitOutputFailed;
        }
        return o.print ? PrintPdf(o, inputName, bytes, message) : kExitDone;
    }
    if (!sink->Finish()) {
        message(sink->ErrorText());
        return kExitOutputFailed;
    }
    return kExitDone;
}

int Main(int argc, char** argv, const PdfPagesFactory& makePdf) {
    const auto message = [](const QString& text) {
        const QByteArray line = "heatx-batch: " + text.toUtf8() + '\n';
        WriteAllToFd(STDERR_FILENO, line.constData(), std::size_t(line.size()));
    };
    QStringList args;
    for (int i = 1; i < argc; ++i) args.append(QString::fromLocal8Bit(argv[i]));
    CliOptions options;
    QString error;
    switch (ParseArguments(args, options, &error)) {
    case Parsed::Help:
        if (!WriteAllToFd(STDOUT_FILENO, kHelp, sizeof kHelp - 1)) {
            message(QStringLiteral("не удаётся записать стандартный вывод: %1").arg(SystemErrorText(errno)));
            return kExitOutputFailed;
        }
        return kExitDone;
    case Parsed::Error:
        message(error + QStringLiteral("\nСправка: heatx-batch --help"));
        return kExitUsage;
    case Parsed::Run: break;
    }

    int fd = STDIN_FILENO;
    if (!options.inputPath.isEmpty()) {
        fd = ::open(QFile::encodeName(options.inputPath).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            message(QStringLiteral("не удаётся прочитать файл «%1»: %2")
                        .arg(options.inputPath, SystemErrorText(errno)));
            return kExitUsage;
        }
    }
    FdSource source(fd);
    FdSink standardOutput(STDOUT_FILENO, QStringLiteral("стандартный вывод"));
    const int status = Execute(options, source, standardOutput, message, makePdf);
    if (fd != STDIN_FILENO) ::close(fd);
    return status;
}

}  // namespace heatx::batch
