// heatx: the design calculation of shell-and-tube heat exchangers, on screen.
#include "evaporator/evap_window.h"
#include "platform/fonts.h"
#include "platform/qt_platform.h"
#include "shell/program.h"
#include "state/calc_state.h"
#include "text/text_format.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>

namespace {

const char kNoDisplay[] =
    "heatx: нет графического экрана, окна программы открыть негде.\n"
    "Запустите программу в графическом сеансе (должна быть задана переменная DISPLAY\n"
    "или WAYLAND_DISPLAY) или укажите платформу Qt, например QT_QPA_PLATFORM=offscreen.\n";

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

}  // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    const QtMessageHandler previous = qInstallMessageHandler(StartupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    QApplication::setApplicationName(QStringLiteral("heatx"));
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
    program.ShowEvaporator(heatx::EvaporatorSwitchOn());
    program.Start();
    return QApplication::exec();
}
