// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch: answer keys and checks without windows.
#include "batch/batch.h"
#include "batch/commands.h"
#include "platform/paged_text_printer.h"
#include "report/report_frame.h"
#include "text/text_format.h"

#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <cstdio>
#include <cstring>
#include <memory>

namespace heatx::batch {

namespace {

const char kHelp[] =
    "heatx-batch — расчёт теплообменников без окон: ответы к вариантам группы и проверка чисел.\n"
    "\n"
    "Вызов:\n"
    "  heatx-batch ТИП [ФАЙЛ]\n"
    "  heatx-batch --report [--student ТЕКСТ] [--date \"ГГГГ-ММ-ДД ЧЧ:ММ:СС\"] [--pdf ФАЙЛ.pdf] ТИП [ФАЙЛ]\n"
    "  heatx-batch --help\n"
    "\n"
    "ТИП: heater (подогреватель или дефлегматор), cooler (холодильник), evaporator (испаритель).\n"
    "ФАЙЛ: текст UTF-8, один вариант в строке, поля через точку с запятой; без ФАЙЛА читается\n"
    "стандартный ввод. Пустые строки и строки, начинающиеся с #, пропускаются. Поле можно взять\n"
    "в двойные кавычки (две кавычки подряд внутри — одна кавычка).\n"
    "Каждое поле — текст так, как студент ввёл бы его в окно ввода: 0,683 и 0.683 — одно и то же.\n"
    "\n"
    "Порядок полей:\n"
    "  heater      строки листа 0–10, тип аппарата (Г или H — горизонтальный, В или V —\n"
    "              вертикальный, любой регистр), строки 12, 13, 14, 15 (диаметр, ходы, длина или\n"
    "              высота труб, число труб) — 16 полей;\n"
    "  cooler      строки листа 0–12, затем конструктивные строки 13–17 — 18 полей;\n"
    "  evaporator  строки листа 0–14, затем высота труб как строка 15 — 16 полей.\n"
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
    "\n"
    "--report печатает вместо таблицы отчёт по каждому варианту со статусом ok — такой, какой\n"
    "студент получил бы, нажав кнопку печати один раз. Отчёты разделены строкой с символом\n"
    "перевода страницы. --student задаёт строку студента, --date — дату и время отчёта\n"
    "(по умолчанию — сейчас), --pdf ФАЙЛ пишет отчёты в PDF вместо текста. Десятичный знак и\n"
    "формат даты берутся из LC_ALL, LC_NUMERIC или LANG (LANG=ru_RU.UTF-8 печатает 2,50).\n"
    "\n"
    "Код выхода: 0 — файл прочитан; 2 — ошибка вызова (неизвестный тип, файл не читается).\n"
    "\n"
    "Пример:\n"
    "  heatx-batch heater examples/heater.csv\n"
    "  LANG=ru_RU.UTF-8 heatx-batch --report --student \"иванов и.и. гр. х-10\" cooler examples/cooler.csv\n";

int UsageError(const QString& message) {
    std::fprintf(stderr, "heatx-batch: %s\nСправка: heatx-batch --help\n", message.toUtf8().constData());
    return 2;
}

// Writes each report as text: every line ends with a line feed, and a line
// holding only a form feed separates two reports.
class TextReportPrinter : public Printer {
public:
    explicit TextReportPrinter(std::string& out) : out_(out) {}
    void SetFontName(const QString&) override {}
    void SetFontSize(double) override {}
    void PrintLine(const QString& line) override {
        if (pendingSeparator_) {
            out_ += "\f\n";
            pendingSeparator_ = false;
        }
        out_ += line.toStdString();
        out_ += '\n';
    }
    void EndDocument() override { pendingSeparator_ = true; }

private:
    std::string& out_;
    bool pendingSeparator_ = false;
};

bool WriteAll(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
}

}  // namespace

int Main(int argc, char** argv) {
    bool report = false;
    QString student = QStringLiteral(" ");
    QString dateText;
    QString pdfPath;
    QStringList positional;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const auto value = [&](QString& into) {
            if (i + 1 >= argc) return false;
            into = QString::fromLocal8Bit(argv[++i]);
            return true;
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (arg == QLatin1String("--report")) {
            report = true;
        } else if (arg == QLatin1String("--student")) {
            QString text;
            if (!value(text)) return UsageError(QStringLiteral("после --student нужен текст"));
            student = ProperCase(text) + QLatin1Char(' ');
        } else if (arg == QLatin1String("--date")) {
            if (!value(dateText)) return UsageError(QStringLiteral("после --date нужны дата и время"));
        } else if (arg == QLatin1String("--pdf")) {
            if (!value(pdfPath)) return UsageError(QStringLiteral("после --pdf нужно имя файла"));
        } else if (arg.startsWith(QLatin1String("--"))) {
            return UsageError(QStringLiteral("неизвестный ключ %1").arg(arg));
        } else {
            positional.append(arg);
        }
    }
    if (positional.isEmpty() || positional.size() > 2)
        return UsageError(QStringLiteral("нужен тип аппарата: heater, cooler или evaporator"));
    const auto type = ParseApparatus(positional[0]);
    if (!type)
        return UsageError(QStringLiteral("неизвестный тип «%1»; допустимы heater, cooler, evaporator")
                              .arg(positional[0]));
    if (!report && (!pdfPath.isEmpty() || !dateText.isEmpty()))
        return UsageError(QStringLiteral("--date и --pdf действуют только вместе с --report"));

    QDateTime moment = QDateTime::currentDateTime();
    if (!dateText.isEmpty()) {
        moment = QDateTime::fromString(dateText, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!moment.isValid())
            return UsageError(QStringLiteral("дата «%1» не в виде ГГГГ-ММ-ДД ЧЧ:ММ:СС").arg(dateText));
    }

    QFile file;
    if (positional.size() == 2) {
        file.setFileName(positional[1]);
        if (!file.open(QIODevice::ReadOnly))
            return UsageError(QStringLiteral("не удаётся прочитать файл %1: %2").arg(positional[1], file.errorString()));
    } else if (!file.open(stdin, QIODevice::ReadOnly)) {
        return UsageError(QStringLiteral("не удаётся прочитать стандартный ввод"));
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return UsageError(QStringLiteral("ошибка чтения: %1").arg(file.errorString()));
    const QString text = QString::fromUtf8(bytes);

    const QLocale locale = EnvironmentLocale();
    SetDecimalMark(locale.decimalPoint().isEmpty() ? QLatin1Char('.') : locale.decimalPoint()[0]);
    const QString dateLine = DateLine(moment, locale);

    std::unique_ptr<QGuiApplication> gui;
    std::unique_ptr<QPdfWriter> pdf;
    std::unique_ptr<PagedTextPrinter> pdfPrinter;
    if (!pdfPath.isEmpty()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int guiArgc = 1;
        static char name[] = "heatx-batch";
        static char* guiArgv[] = {name, nullptr};
        gui = std::make_unique<QGuiApplication>(guiArgc, guiArgv);
        pdf = std::make_unique<QPdfWriter>(pdfPath);
        pdfPrinter = std::make_unique<PagedTextPrinter>(pdf.get());
        if (!pdfPrinter->IsOpen())
            return UsageError(QStringLiteral("не удаётся записать %1").arg(pdfPath));
    }

    std::string out;
    if (!report) {
        out = ResultsTable(*type, text);
    } else {
        TextReportPrinter textPrinter(out);
        Printer& printer = pdfPrinter ? static_cast<Printer&>(*pdfPrinter) : textPrinter;
        ForEachRow(*type, text, [&](RowResult& row) {
            if (row.status == Status::Ok) PrintRowReport(*type, row, student, dateLine, printer);
        });
    }
    if (pdfPrinter) {
        if (!pdfPrinter->Finish())
            return UsageError(QStringLiteral("не удаётся записать %1").arg(pdfPath));
        return 0;
    }
    if (!WriteAll(out)) return 1;
    return 0;
}

}  // namespace heatx::batch

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "check") == 0) return heatx::batch::RunCheckCommand(argc - 1, argv + 1);
    if (argc > 1 && std::strcmp(argv[1], "variants") == 0) return heatx::batch::RunVariantsCommand(argc - 1, argv + 1);
    return heatx::batch::Main(argc, argv);
}
