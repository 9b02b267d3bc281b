// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/stop_signals.h"

#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace heatx::batch {

namespace {

volatile std::sig_atomic_t stopSignal = 0;

void Note(int signal) {
    if (stopSignal == 0) stopSignal = signal;
}

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

}  // namespace

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a wait returns EINTR
    for (const int s : kSignals) {
        // A signal ignored by whoever started the program (nohup, a
        // background job) stays ignored.
        struct sigaction old {};
        if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(s, &action, nullptr);
    }
}

int StopSignal() { return stopSignal; }

const char* StopSignalName(int signal) {
    switch (signal) {
    case SIGINT: return "SIGINT (Ctrl+C)";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP (терминал закрыт)";
    default: return "?";
    }
}

void EndByStopSignal() {
    const int s = stopSignal != 0 ? stopSignal : SIGTERM;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(s, &action, nullptr);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, s);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    ::raise(s);
    std::_Exit(128 + s);  // only if the signal was somehow ignored
}

}  // namespace heatx::batch
