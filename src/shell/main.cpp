// SPDX-License-Identifier: GPL-3.0-or-later
// heatx: the design calculation of shell-and-tube heat exchangers, on screen.
#include "evaporator/evap_window.h"
#include "platform/fonts.h"
#include "platform/qt_platform.h"
#include "platform/session_end.h"
#include "shell/all_windows.h"
#include "shell/form1.h"
#include "window_base/program.h"
#include "state/calc_state.h"
#include "text/text_format.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

const char kNoDisplay[] =
    "heatx: нет графического экрана, окна программы открыть негде.\n"
    "Запустите программу в графическом сеансе (должна быть задана переменная DISPLAY\n"
    "или WAYLAND_DISPLAY) или укажите платформу Qt, например QT_QPA_PLATFORM=offscreen.\n";

const char kHelp[] =
    "heatx — учебная программа конструктивного расчёта газожидкостных кожухотрубных\n"
    "теплообменников: подогреватель или дефлегматор, холодильник, испаритель. Работает в окнах;\n"
    "её ведут мышью или с клавиатуры (Tab — к следующей кнопке, Enter или пробел — нажать).\n"
    "\n"
    "Вызов:\n"
    "  heatx             открыть окна программы\n"
    "  heatx --help      эта справка\n"
    "  heatx --version   версия программы\n"
    "\n"
    "Переменные окружения:\n"
    "  HEATX_EVAPORATOR=1  показать в библиотеке программ кнопку «ИСПАРИТЕЛЬ»\n"
    "                      (демонстрация для преподавателя; студентам она не видна)\n"
    "  HEATX_REPORT_DIR    папка, куда сохраняются отчёты в PDF и текстом (с принтером\n"
    "                      по умолчанию отчёт ещё и печатается); без неё — папка «Документы»\n"
    "                      пользователя\n"
    "\n"
    "Ответы к вариантам группы без окон даёт heatx-batch (heatx-batch --help).\n";

// Prints text to the standard output; false when it could not be written
// whole (a closed pipe, a full disk).
bool PrintOut(const char* text) { return std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0; }

// --help and --version are answered before the window system is reached, so
// they work without a display. Every other argument is left to Qt (-display,
// -platform ...). -1 when the program is to start its windows.
int AnswerCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--help" || arg == "-h") return PrintOut(kHelp) ? 0 : 1;
        if (arg == "--version") return PrintOut("heatx " HEATX_VERSION "\n") ? 0 : 1;
    }
    return -1;
}

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// While the application object starts, a fatal message means that the window
// system could not be reached: say so in Russian and leave with a status
// instead of aborting.
void StartupMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stderr);
        std::fprintf(stderr, "(%s)\n", qPrintable(message));
        std::fflush(stderr);
        std::_Exit(1);
    }
    if (type != QtDebugMsg && type != QtInfoMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

// The start-up benchmark: with HEATX_QUIT_AFTER_FIRST_PAINT set, the program
// leaves as soon as the start window has been painted once, so that a timer
// of whole processes measures the time from start to the first painted window.
class QuitAfterFirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!done_ && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && dynamic_cast<heatx::Form1*>(widget->window()) != nullptr) {
                done_ = true;
                // After this paint has reached the screen.
                QTimer::singleShot(0, qApp, [] { std::_Exit(0); });
            }
        }
        return false;
    }

private:
    bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (const int answered = AnswerCommandLine(argc, argv); answered >= 0) return answered;
    if (!HasDisplay()) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    const QtMessageHandler previous = qInstallMessageHandler(StartupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    QApplication::setApplicationName(QStringLiteral("heatx"));
    // Ties the windows to the menu entry heatx.desktop (its icon on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("heatx"));
    // The program ends by its own rules (see Program::ClosedByUser).
    QApplication::setQuitOnLastWindowClosed(false);

    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    heatx::MapProgramFonts();
    const QString mark = QLocale::system().decimalPoint();
    heatx::SetDecimalMark(mark.isEmpty() ? QLatin1Char('.') : mark.at(0));
    QApplication::setFont(heatx::ProgramFont(QStringLiteral("MS Sans Serif"), 8.25));

    heatx::QtPlatform platform(QApplication::applicationDirPath());
    heatx::CalcState state;
    heatx::Program program(state, platform, [] { QCoreApplication::exit(0); });
    heatx::RegisterAllWindows(program);
    program.ShowEvaporator(heatx::EvaporatorSwitchOn());
    if (qEnvironmentVariableIsSet("HEATX_QUIT_AFTER_FIRST_PAINT"))
        app.installEventFilter(new QuitAfterFirstPaint(&app));
    // Logout (SIGTERM), a closed terminal (SIGHUP) or a display gone: the
    // report is saved as by the end button, with no window to speak in.
    const heatx::SessionEnd sessionEnd([&](int) {
        platform.Reports().SetQuiet(true);
        if (program.Ended()) {
            // The end button's end is under way in a message: it finishes.
            QCoreApplication::exit(0);
            return false;
        }
        program.EndReports();
        return true;
    });
    program.Start();
    // Reports an earlier run left unfinished (it was killed) are finished now.
    QTimer::singleShot(0, [] { heatx::QtReportPrinter::FinishLeftReports(&heatx::QtPlatform::Inform); });
    return QApplication::exec();
}
