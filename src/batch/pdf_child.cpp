// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/pdf_child.h"

#include "batch/byte_lines.h"
#include "batch/pdf_text.h"
#include "batch/stop_signals.h"
#include "platform/safe_output.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace heatx::batch {

namespace {

using Clock = std::chrono::steady_clock;

// A line of a report is never longer than this.
constexpr qsizetype kMaxLineBytes = 64 * 1024;
// The reasons the helper gives on standard error are short.
constexpr qsizetype kMaxReasonBytes = 4096;

QString TooComplex(const QString& detail) {
    return QStringLiteral("PDF слишком велик или сложен для отчёта: ") + detail;
}

// The helper's process and the reading ends of its pipes; killed and reaped
// when abandoned.
struct Child {
    pid_t pid = -1;
    int out = -1;
    int err = -1;
    int status = 0;

    ~Child() {
        for (const int fd : {out, err})
            if (fd >= 0) ::close(fd);
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            Reap(0);
        }
    }
    // True once the process has ended (status set).
    bool Reap(int flags) {
        for (;;) {
            const pid_t r = ::waitpid(pid, &status, flags);
            if (r == pid) {
                pid = -1;
                return true;
            }
            if (r < 0 && errno == EINTR && flags == 0) continue;
            return false;
        }
    }
};

void CloseBoth(int fds[2]) {
    ::close(fds[0]);
    ::close(fds[1]);
}

// Starts the helper with the PDF on its standard input; false with *reason.
bool Start(const QString& helper, int pdf, Child& child, QString* reason) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        *reason = QStringLiteral("PDF здесь не читается: %1").arg(SystemErrorText(errno));
        return false;
    }
    if (::pipe2(err, O_CLOEXEC) != 0) {
        *reason = QStringLiteral("PDF здесь не читается: %1").arg(SystemErrorText(errno));
        CloseBoth(out);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pdf, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    // The helper takes the signals as any program does; Ctrl+C ends it too.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    ::lseek(pdf, 0, SEEK_SET);  // the helper reads from the start, whoever read before
    const QByteArray path = QFile::encodeName(helper);
    char* argv[] = {const_cast<char*>(path.constData()), nullptr};
    const int failed = posix_spawn(&child.pid, path.constData(), &actions, &attr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(out[1]);
    ::close(err[1]);
    if (failed != 0) {
        child.pid = -1;
        ::close(out[0]);
        ::close(err[0]);
        *reason = QStringLiteral("PDF здесь не читается: не запускается программа чтения PDF «%1» (%2)")
                      .arg(helper, failed == ENOENT ? QStringLiteral("её нет") : SystemErrorText(failed));
        return false;
    }
    child.out = out[0];
    child.err = err[0];
    return true;
}

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// One read from a pipe that poll found ready; the pipe is closed at its end.
// Returns the bytes read (0 at the end or when nothing was there).
ssize_t ReadReady(int& fd, char* buffer, std::size_t size) {
    const ssize_t got = ::read(fd, buffer, size);
    if (got > 0) return got;
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return 0;
    ::close(fd);
    fd = -1;
    return 0;
}

// The helper's output until both pipes end; false with *reason at a bound,
// at a stop signal or at a line no report has.
bool Pump(Child& child, Clock::time_point deadline, ByteLines& lines, QByteArray& errText, QString* reason) {
    long long total = 0;
    char buffer[64 * 1024];
    while (child.out >= 0 || child.err >= 0) {
        if (StopSignal() != 0) {
            *reason = QStringLiteral("проверка прервана");
            return false;
        }
        const int left = MillisecondsLeft(deadline);
        if (left == 0) {
            *reason = TooComplex(QStringLiteral("текст не прочитан за %1 с").arg(kPdfWallSeconds));
            return false;
        }
        pollfd fds[2] = {{child.out, POLLIN, 0}, {child.err, POLLIN, 0}};
        if (::poll(fds, 2, left) <= 0) continue;  // a signal or the time: looked at above
        if (fds[1].revents != 0) {
            const ssize_t got = ReadReady(child.err, buffer, sizeof buffer);
            errText.append(buffer, std::min<qsizetype>(got, kMaxReasonBytes - errText.size()));
        }
        if (fds[0].revents == 0) continue;
        const ssize_t got = ReadReady(child.out, buffer, sizeof buffer);
        total += got;
        if (total > kPdfTextBytes) {
            *reason = TooComplex(QStringLiteral("текста больше %1 МБ").arg(kPdfTextBytes / (1024 * 1024)));
            return false;
        }
        if (!lines.Feed(buffer, got)) {
            *reason = QStringLiteral("строка длиннее %1 КБ — программа таких не пишет").arg(kMaxLineBytes / 1024);
            return false;
        }
    }
    return lines.Finish();
}

// Waits for the helper to end once its output is read; false at the
// deadline or a stop signal.
bool AwaitEnd(Child& child, Clock::time_point deadline, QString* reason) {
    while (!child.Reap(WNOHANG)) {
        if (StopSignal() != 0) {
            *reason = QStringLiteral("проверка прервана");
            return false;
        }
        if (MillisecondsLeft(deadline) == 0) {
            *reason = TooComplex(QStringLiteral("текст не прочитан за %1 с").arg(kPdfWallSeconds));
            return false;
        }
        const timespec pause{0, 5 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
    return true;
}

// What the helper's end says: true when it gave the whole text.
bool Outcome(int status, const QByteArray& errText, QString* reason) {
    if (WIFEXITED(status)) {
        if (WEXITSTATUS(status) == 0) return true;
        *reason = WEXITSTATUS(status) == 1 && !errText.isEmpty()
                      ? QString::fromUtf8(errText)
                      : QStringLiteral("PDF не читается: программа чтения PDF завершилась с кодом %1")
                            .arg(WEXITSTATUS(status));
        return false;
    }
    const int signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    const QString memory = QStringLiteral("не хватило %1 МБ памяти").arg(kPdfMemoryBytes / (1024 * 1024));
    if (signal == SIGXCPU || signal == SIGKILL)
        *reason = TooComplex(QStringLiteral("больше %1 с работы процессора").arg(kPdfCpuSeconds));
    else if (signal == SIGABRT && (errText.contains("Out of memory") || errText.contains("bad_alloc")))
        *reason = TooComplex(memory);
    else
        *reason = QStringLiteral("PDF не читается: программа чтения PDF завершилась аварийно (сигнал %1)").arg(signal);
    return false;
}

}  // namespace

PdfTextReader ConfinedPdfReader(QString helperPath) {
    return [helper = std::move(helperPath)](int fd, const std::function<void(QStringView)>& onLine, QString* reason) {
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(kPdfWallSeconds);
        Child child;
        if (!Start(helper, fd, child, reason)) return false;
        ByteLines lines(kMaxLineBytes, [&onLine](QByteArray& line) {
            onLine(QString::fromUtf8(line));
            return true;
        });
        QByteArray errText;
        if (!Pump(child, deadline, lines, errText, reason) || !AwaitEnd(child, deadline, reason)) return false;
        return Outcome(child.status, errText, reason);
    };
}

}  // namespace heatx::batch
