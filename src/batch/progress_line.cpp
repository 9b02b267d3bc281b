// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/progress_line.h"

#include "platform/safe_output.h"

#include <sys/ioctl.h>
#include <unistd.h>

namespace heatx::batch {

namespace {

int TerminalColumns() {
    winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

}  // namespace

ProgressLine::ProgressLine() : terminal_(::isatty(STDERR_FILENO) == 1) {}

void ProgressLine::Show(const QString& text) {
    if (!terminal_) return;
    QString shown;
    const int width = TerminalColumns() - 1;
    // One column per character, none for a control character (a line feed in
    // a file name would break the line): the line never wraps, so the
    // carriage return goes back to its start.
    for (const QChar c : text) {
        if (shown.size() >= width) break;
        shown.append(c.isPrint() ? c : QChar(u'?'));
    }
    const QByteArray line = "\r" + shown.toUtf8() + "\033[K";
    WriteAllToFd(STDERR_FILENO, line.constData(), std::size_t(line.size()));
    shown_ = true;
}

void ProgressLine::Clear() {
    if (!shown_) return;
    WriteAllToFd(STDERR_FILENO, "\r\033[K", 4);
    shown_ = false;
}

}  // namespace heatx::batch
