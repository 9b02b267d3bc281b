// SPDX-License-Identifier: GPL-3.0-or-later
// A finished report sent to the print server (CUPS) as a PDF, and what really
// became of it. Every call to the server has a time limit, so a server that
// accepts a connection and never answers costs a few seconds, not the
// program; the job is submitted through libcups, which gives a job id or the
// server's refusal with its reason; the job is then watched for a few seconds
// to tell a printed report from one that waits in a stopped queue.
//
// Qt Core and libcups only: the windows program and heatx-batch share it.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <thread>

namespace heatx {

// How long one call to the print server may wait for it, milliseconds.
inline constexpr int kPrintServerTimeLimitMs = 3000;
// How long a submitted job is watched for its completion, milliseconds.
inline constexpr int kPrintWatchMs = 5000;

struct PrintRequest {
    QString queue;       // the printer; empty: the user's default printer
    QString jobName;     // what the queue shows, whose report it is
    QByteArray pdf;      // the whole document
    int timeLimitMs = kPrintServerTimeLimitMs;
    int watchMs = kPrintWatchMs;  // 0: submit and do not wait
};

struct PrintOutcome {
    enum class Kind {
        NoPrinter,  // no print server running, or no such printer: nothing sent
        NoAnswer,   // the server did not answer within the time limit
        Refused,    // the queue or the server refused the job, or it was cancelled
        Waiting,    // accepted and queued, not printed within the watch
        Printed,    // the server completed the job
    };
    Kind kind = Kind::NoPrinter;
    QString queue;   // the printer's name, when one was found
    QString reason;  // in Russian, with the server's own words where it gave them
    int jobId = 0;

    // The report is with the printer (printed or in its queue).
    bool Accepted() const { return kind == Kind::Waiting || kind == Kind::Printed; }
};

// The outcome in one Russian sentence: "Отчёт напечатан на принтере «lab».",
// "Отчёт стоит в очереди принтера «lab» и ещё не напечатан: …", "Отчёт не
// напечатан …", "Принтер не найден."
QString PrintOutcomeText(const PrintOutcome& outcome);

// The whole submission on the calling thread; returns within a few time
// limits plus the watch.
PrintOutcome SubmitReport(const PrintRequest& request);

// The same on a thread of its own, so that a window never waits for the
// server. The object may go at any time: an unfinished thread is left to end
// by itself within its time limits.
class PrintSubmission {
public:
    explicit PrintSubmission(PrintRequest request);
    ~PrintSubmission();
    PrintSubmission(const PrintSubmission&) = delete;
    PrintSubmission& operator=(const PrintSubmission&) = delete;

    bool Done() const;
    // Waits at most ms milliseconds; true when the outcome is there.
    bool WaitFor(int ms) const;
    // Valid once Done(); before that, NoAnswer.
    PrintOutcome Outcome() const;

    struct State;

private:
    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace heatx
