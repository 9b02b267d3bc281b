// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/session_end.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QString>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace heatx {

namespace {

// The write end of the pipe a signal handler may safely write to.
volatile sig_atomic_t signalPipe = -1;

void OnSignal(int signal) {
    const int saved = errno;
    const char byte = char(signal);
    if (signalPipe >= 0 && ::write(signalPipe, &byte, 1) < 0) {
        // Nothing to be done inside a signal handler; the pipe is non-blocking.
    }
    errno = saved;
}

SessionEnd::Private* armed = nullptr;
QtMessageHandler previousHandler = nullptr;

// The signals of an ending session: logout, a closed terminal, Ctrl+C.
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// Only the window thread may run the end: the windows, the printer and its
// documents live there.
bool OnWindowThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace

struct SessionEnd::Private {
    std::function<bool(int)> end;
    int pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    bool ran = false;

    void Run(int signal) {
        if (ran) return;
        ran = true;
        if (end(signal) && signal != 0) {
            std::signal(signal, SIG_DFL);
            std::raise(signal);
        }
    }
};

namespace {

// The X11 plugin says that its connection broke, then calls exit(); a
// Wayland compositor gone is a fatal message, then abort(). Either way the
// report is saved here, while everything is still alive, before that. (Not
// in an atexit() hook: by then the toolkit has destroyed what painting a PDF
// needs. Whatever ends the program unannounced leaves the text copy and its
// note, and the next start makes the PDF.)
bool DisplayLost(QtMsgType type, const QString& message) {
    return type == QtFatalMsg || (type == QtWarningMsg && message.startsWith(QLatin1String("The X11 connection broke")));
}

void OnMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (previousHandler != nullptr) previousHandler(type, context, message);
    else std::fprintf(stderr, "%s\n", qPrintable(message));
    if (armed != nullptr && DisplayLost(type, message) && OnWindowThread()) armed->Run(0);
}

}  // namespace

SessionEnd::SessionEnd(std::function<bool(int)> end) : d_(std::make_unique<Private>()) {
    d_->end = std::move(end);
    if (::pipe2(d_->pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        signalPipe = d_->pipe[1];
        d_->notifier = std::make_unique<QSocketNotifier>(d_->pipe[0], QSocketNotifier::Read);
        QObject::connect(d_->notifier.get(), &QSocketNotifier::activated, [this] {
            char byte = 0;
            while (::read(d_->pipe[0], &byte, 1) == 1) d_->Run(int(byte));
        });
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : kSignals) ::sigaction(signal, &action, nullptr);
    }
    armed = d_.get();
    previousHandler = qInstallMessageHandler(OnMessage);
}

SessionEnd::~SessionEnd() {
    armed = nullptr;
    qInstallMessageHandler(previousHandler);
    for (const int signal : kSignals) std::signal(signal, SIG_DFL);
    signalPipe = -1;
    d_->notifier.reset();
    for (int fd : d_->pipe)
        if (fd >= 0) ::close(fd);
}

}  // namespace heatx
