// SPDX-License-Identifier: GPL-3.0-or-later
// The end of a session as it really happens under a program: the logout's
// SIGTERM, a closed terminal's SIGHUP, Ctrl+C in it (SIGINT), the window
// system going away. Each runs the given end (once) in the window thread, so
// that the report is saved as the end button saves it: a signal handler only
// writes a byte to a pipe that the event loop watches. A kill that cannot be
// caught (SIGKILL) is covered by the next start
// (QtReportPrinter::FinishLeftReports).
#pragma once

#include <functional>
#include <memory>

namespace heatx {

class SessionEnd {
public:
    // end(signal) gets SIGTERM, SIGHUP or SIGINT, or 0 when the toolkit is
    // about to end the program because its display is gone (it says so, then
    // calls exit(), or reports a fatal error). It returns true when the program may go at
    // once: after a signal its default action is then taken, so the program
    // ends as killed by it, as the session expects.
    explicit SessionEnd(std::function<bool(int signal)> end);
    // Disarms: a normal end of main needs no more.
    ~SessionEnd();
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

    struct Private;

private:
    std::unique_ptr<Private> d_;
};

}  // namespace heatx
