// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/cups_job.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cups/cups.h>
#include <mutex>

namespace heatx {

namespace {

using Clock = std::chrono::steady_clock;
using Outcome = PrintOutcome;
using Kind = PrintOutcome::Kind;

// A connection to the print server on which every wait ends after the time
// limit: the timeout callback answers "give up" the first time it is asked.
class Server {
public:
    explicit Server(int limitMs) : limitMs_(limitMs) {
        errno = 0;
        http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, limitMs, nullptr);
        connectError_ = errno;
        if (http_ != nullptr) httpSetTimeout(http_, limitMs / 1000.0, &Server::GiveUp, this);
    }
    ~Server() {
        if (http_ != nullptr) httpClose(http_);
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    http_t* Http() const { return http_; }
    bool TimedOut() const { return timedOut_; }
    int ConnectError() const { return connectError_; }
    int LimitSeconds() const { return (limitMs_ + 999) / 1000; }

private:
    static int GiveUp(http_t*, void* self) {
        static_cast<Server*>(self)->timedOut_ = true;
        return 0;
    }

    http_t* http_ = nullptr;
    int limitMs_;
    int connectError_ = 0;
    bool timedOut_ = false;
};

QString ServerWords(const char* text) {
    const QString words = QString::fromUtf8(text == nullptr ? "" : text).trimmed();
    return words.isEmpty() ? QString() : QStringLiteral("«%1»").arg(words);
}

// The printer's state keywords in Russian; an unknown keyword stays as the
// server wrote it, so nothing is hidden.
QString StateReasonText(QString keyword) {
    for (const char* suffix : {"-report", "-warning", "-error"})
        if (keyword.endsWith(QLatin1String(suffix))) keyword.chop(int(qstrlen(suffix)));
    static const std::pair<const char*, const char*> kWords[] = {
        {"paused", "очередь приостановлена"},
        {"offline", "принтер не в сети"},
        {"connecting-to-device", "нет связи с принтером"},
        {"timed-out", "принтер не отвечает"},
        {"shutdown", "принтер выключен"},
        {"media-empty", "в принтере нет бумаги"},
        {"media-needed", "в принтере нет бумаги"},
        {"media-jam", "в принтере замялась бумага"},
        {"toner-empty", "закончился тонер"},
        {"marker-supply-empty", "закончился тонер или чернила"},
        {"door-open", "открыта дверца принтера"},
        {"cover-open", "открыта крышка принтера"},
        {"input-tray-missing", "нет лотка для бумаги"},
        {"spool-area-full", "на сервере печати нет места"},
    };
    for (const auto& [name, text] : kWords)
        if (keyword == QLatin1String(name)) return QString::fromUtf8(text);
    return keyword;
}

struct PrinterState {
    bool known = false;
    bool accepting = true;
    int state = IPP_PSTATE_IDLE;
    QStringList reasons;  // in Russian, "none" left out
    QString message;      // printer-state-message in the server's words

    // "принтер остановлен, очередь приостановлена, «Paused»"
    QString Text() const {
        QStringList parts;
        if (state == IPP_PSTATE_STOPPED) parts.append(QStringLiteral("принтер остановлен"));
        for (const QString& r : reasons)
            if (!parts.contains(r)) parts.append(r);
        if (!message.isEmpty()) parts.append(ServerWords(message.toUtf8().constData()));
        return parts.join(QStringLiteral(", "));
    }
};

// The printer's or the job's attributes; null when the server did not give them.
ipp_t* Ask(Server& server, ipp_op_t op, const char* printerUri, int jobId, std::initializer_list<const char*> names) {
    ipp_t* request = ippNewRequest(op);
    if (printerUri != nullptr)
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, printerUri);
    if (jobId > 0) ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(names.size()), nullptr,
                  names.begin());
    ipp_t* response = cupsDoRequest(server.Http(), request, "/");  // takes the request
    if (response != nullptr && cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        ippDelete(response);
        return nullptr;
    }
    return response;
}

QString StringOf(ipp_t* response, const char* name) {
    ipp_attribute_t* attr = ippFindAttribute(response, name, IPP_TAG_ZERO);
    return attr == nullptr ? QString() : QString::fromUtf8(ippGetString(attr, 0, nullptr)).trimmed();
}

QStringList KeywordsOf(ipp_t* response, const char* name) {
    QStringList words;
    ipp_attribute_t* attr = ippFindAttribute(response, name, IPP_TAG_ZERO);
    for (int i = 0; attr != nullptr && i < ippGetCount(attr); ++i) {
        const QString word = QString::fromUtf8(ippGetString(attr, i, nullptr));
        if (!word.isEmpty() && word != QLatin1String("none")) words.append(word);
    }
    return words;
}

PrinterState ReadPrinterState(Server& server, const char* uri) {
    PrinterState s;
    ipp_t* response = Ask(server, IPP_OP_GET_PRINTER_ATTRIBUTES, uri, 0,
                          {"printer-is-accepting-jobs", "printer-state", "printer-state-reasons",
                           "printer-state-message"});
    if (response == nullptr) return s;
    s.known = true;
    if (ipp_attribute_t* a = ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
        s.accepting = ippGetBoolean(a, 0) != 0;
    if (ipp_attribute_t* a = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM)) s.state = ippGetInteger(a, 0);
    for (const QString& word : KeywordsOf(response, "printer-state-reasons")) {
        const QString text = StateReasonText(word);
        if (!s.reasons.contains(text)) s.reasons.append(text);
    }
    s.message = StringOf(response, "printer-state-message");
    ippDelete(response);
    return s;
}

struct JobState {
    bool known = false;
    int state = IPP_JSTATE_PENDING;
    QStringList reasons;  // job-state-reasons keywords
    QString message;      // job-printer-state-message
};

JobState ReadJobState(Server& server, const char* uri, int jobId) {
    JobState j;
    ipp_t* response = Ask(server, IPP_OP_GET_JOB_ATTRIBUTES, uri, jobId,
                          {"job-state", "job-state-reasons", "job-printer-state-message"});
    if (response == nullptr) return j;
    j.known = true;
    if (ipp_attribute_t* a = ippFindAttribute(response, "job-state", IPP_TAG_ENUM)) j.state = ippGetInteger(a, 0);
    j.reasons = KeywordsOf(response, "job-state-reasons");
    j.message = StringOf(response, "job-printer-state-message");
    ippDelete(response);
    return j;
}

// The server's refusal: its status in Russian and its own words.
QString RefusalText(ipp_status_t status) {
    QString text;
    switch (status) {
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS: text = QStringLiteral("очередь не принимает задания"); break;
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED: text = QStringLiteral("печать этому пользователю запрещена"); break;
    case IPP_STATUS_ERROR_NOT_FOUND: text = QStringLiteral("сервер печати не знает этой очереди"); break;
    case IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED:
        text = QStringLiteral("принтер не умеет печатать PDF");
        break;
    case IPP_STATUS_ERROR_REQUEST_ENTITY: text = QStringLiteral("документ слишком велик для сервера печати"); break;
    case IPP_STATUS_ERROR_TOO_MANY_JOBS: text = QStringLiteral("в очереди слишком много заданий"); break;
    case IPP_STATUS_ERROR_BUSY:
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE: text = QStringLiteral("сервер печати занят или недоступен"); break;
    default: text = QStringLiteral("сервер печати отказал"); break;
    }
    const QString words = ServerWords(cupsLastErrorString());
    return words.isEmpty() ? text : text + QStringLiteral(": ") + words;
}

Outcome Make(Kind kind, const QString& queue, const QString& reason, int jobId = 0) {
    Outcome o;
    o.kind = kind;
    o.queue = queue;
    o.reason = reason;
    o.jobId = jobId;
    return o;
}

QString NoAnswerText(const Server& server) {
    return QStringLiteral("сервер печати не ответил за %1 с").arg(server.LimitSeconds());
}

// Watches an accepted job until it completes, fails, or the watch is over.
Outcome Watch(Server& server, const QString& queue, const char* uri, int jobId, int watchMs) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(watchMs);
    const QString queued = QStringLiteral("задание %1").arg(jobId);
    for (;;) {
        const JobState job = ReadJobState(server, uri, jobId);
        if (!job.known)
            return Make(Kind::Waiting, queue, QStringLiteral("%1 принято, но сервер печати не сказал, что с ним стало")
                                                  .arg(queued), jobId);
        const QString said = ServerWords(job.message.toUtf8().constData());
        switch (job.state) {
        case IPP_JSTATE_COMPLETED: return Make(Kind::Printed, queue, QString(), jobId);
        case IPP_JSTATE_CANCELED:
            return Make(Kind::Refused, queue, QStringLiteral("%1 отменено на сервере печати").arg(queued), jobId);
        case IPP_JSTATE_ABORTED:
            return Make(Kind::Refused, queue,
                        QStringLiteral("%1 прервано сервером печати%2").arg(queued, said.isEmpty() ? QString() : ": " + said),
                        jobId);
        default: break;
        }
        const PrinterState printer = ReadPrinterState(server, uri);
        // A stopped queue prints nothing until the administrator starts it.
        const bool stopped = printer.state == IPP_PSTATE_STOPPED || job.state == IPP_JSTATE_STOPPED;
        if (stopped || Clock::now() >= end) {
            QStringList why;
            if (job.state == IPP_JSTATE_HELD)
                why.append(job.reasons.contains(QLatin1String("job-hold-until-specified"))
                               ? QStringLiteral("задание задержано до разрешения администратора")
                               : QStringLiteral("сервер печати не смог передать его принтеру и попробует снова"));
            const QString state = printer.Text();
            if (!state.isEmpty()) why.append(state);
            if (!said.isEmpty() && !state.contains(said)) why.append(said);
            if (why.isEmpty())
                why.append(job.state == IPP_JSTATE_PROCESSING ? QStringLiteral("принтер ещё печатает")
                                                              : QStringLiteral("задание ждёт своей очереди"));
            return Make(Kind::Waiting, queue, why.join(QStringLiteral(", ")), jobId);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

// A job name the server takes: at most 255 bytes of UTF-8, cut between characters.
QByteArray JobName(const QString& name) {
    QString text = name.simplified();
    if (text.isEmpty()) text = QStringLiteral("Отчёт");
    QByteArray bytes = text.toUtf8();
    while (bytes.size() > 255) {
        text.chop(text.size() > 1 && text.at(text.size() - 1).isLowSurrogate() ? 2 : 1);
        bytes = text.toUtf8();
    }
    return bytes;
}

// The "Default" line of an lpoptions file: the printer its user chose.
QString LpoptionsDefault(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    QString found;
    for (int lines = 0; lines < 10000 && !file.atEnd(); ++lines) {
        const QByteArray line = file.readLine(64 * 1024).trimmed();
        if (line.startsWith("Default ") || line.startsWith("Default\t"))
            found = QString::fromUtf8(line.mid(8).trimmed().split(' ').value(0));
    }
    return found.section(QLatin1Char('/'), 0, 0);  // without the instance
}

// The user's default printer as the lp command finds it: LPDEST, PRINTER,
// the user's and the system's lpoptions, then the server's default. Empty
// when there is none (or the server did not say).
QString DefaultPrinter(Server& server) {
    for (const char* variable : {"LPDEST", "PRINTER"}) {
        const QString name = qEnvironmentVariable(variable).section(QLatin1Char('/'), 0, 0);
        if (!name.isEmpty() && name != QLatin1String("lp")) return name;
    }
    const QString user = LpoptionsDefault(QDir::homePath() + QStringLiteral("/.cups/lpoptions"));
    if (!user.isEmpty()) return user;
    const QString system = LpoptionsDefault(QStringLiteral("/etc/cups/lpoptions"));
    if (!system.isEmpty()) return system;
    ipp_t* response = Ask(server, IPP_OP_CUPS_GET_DEFAULT, nullptr, 0, {"printer-name"});
    const QString name = response == nullptr ? QString() : StringOf(response, "printer-name");
    ippDelete(response);
    return name;
}

QByteArray PrinterUri(const QString& queue, const char* kind) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/%s/%s", kind,
                     queue.toUtf8().constData());
    return QByteArray(uri);
}

}  // namespace

PrintOutcome SubmitReport(const PrintRequest& r) {
    Server server(r.timeLimitMs);
    if (server.Http() == nullptr) {
        if (server.ConnectError() == ETIMEDOUT) return Make(Kind::NoAnswer, QString(), NoAnswerText(server));
        return Make(Kind::NoPrinter, QString(), QStringLiteral("сервер печати не запущен"));
    }
    // Every question goes over this one connection with its time limit: the
    // destination calls of libcups open connections of their own without one
    // when a printer is not found.
    const QString queue = r.queue.isEmpty() ? DefaultPrinter(server) : r.queue;
    if (server.TimedOut()) return Make(Kind::NoAnswer, r.queue, NoAnswerText(server));
    if (queue.isEmpty()) return Make(Kind::NoPrinter, QString(), QStringLiteral("принтер по умолчанию не выбран"));

    QByteArray uri = PrinterUri(queue, "printers");
    PrinterState before = ReadPrinterState(server, uri.constData());
    if (!before.known && !server.TimedOut() && cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
        uri = PrinterUri(queue, "classes");  // a class of printers
        before = ReadPrinterState(server, uri.constData());
    }
    if (server.TimedOut()) return Make(Kind::NoAnswer, queue, NoAnswerText(server));
    if (!before.known) {
        if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)
            return Make(Kind::NoPrinter, queue,
                        (r.queue.isEmpty() ? QStringLiteral("принтера по умолчанию «%1» нет на сервере печати")
                                           : QStringLiteral("принтера «%1» нет на сервере печати"))
                            .arg(queue));
        return Make(Kind::Refused, queue, RefusalText(cupsLastError()));
    }
    if (!before.accepting) {
        const QString state = before.Text();
        return Make(Kind::Refused, queue,
                    QStringLiteral("очередь не принимает задания") + (state.isEmpty() ? QString() : ": " + state));
    }

    // One Print-Job request carries the document; the answer is the job's
    // number or the refusal.
    const QByteArray name = JobName(r.jobName);
    ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, name.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, CUPS_FORMAT_PDF);
    // The length is that of the whole body: the request, then the document.
    http_status_t sending = cupsSendRequest(server.Http(), request, "/", ippLength(request) + size_t(r.pdf.size()));
    constexpr qsizetype kChunk = 1 << 16;
    for (qsizetype at = 0; sending == HTTP_STATUS_CONTINUE && at < r.pdf.size(); at += kChunk)
        sending = cupsWriteRequestData(server.Http(), r.pdf.constData() + at, size_t(qMin(kChunk, r.pdf.size() - at)));
    ipp_t* response = sending == HTTP_STATUS_CONTINUE ? cupsGetResponse(server.Http(), "/") : nullptr;
    ippDelete(request);
    const ipp_status_t status = response != nullptr ? cupsLastError() : IPP_STATUS_ERROR_INTERNAL;
    int jobId = 0;
    if (response != nullptr)
        if (ipp_attribute_t* a = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER)) jobId = ippGetInteger(a, 0);
    ippDelete(response);
    if (server.TimedOut()) return Make(Kind::NoAnswer, queue, NoAnswerText(server), jobId);
    if (status > IPP_STATUS_OK_CONFLICTING || jobId <= 0) return Make(Kind::Refused, queue, RefusalText(status));
    if (r.watchMs <= 0)
        return Make(Kind::Waiting, queue, QStringLiteral("задание %1 принято в очередь").arg(jobId), jobId);
    return Watch(server, queue, uri.constData(), jobId, r.watchMs);
}

namespace {

// A sentence ends with one full stop, also after the server's own words.
QString Sentence(const QString& text) {
    return text.endsWith(QLatin1Char('.')) || text.endsWith(QStringLiteral(".»")) ? text : text + QLatin1Char('.');
}

}  // namespace

QString PrintOutcomeText(const PrintOutcome& o) {
    switch (o.kind) {
    case Kind::Printed: return QStringLiteral("Отчёт напечатан на принтере «%1».").arg(o.queue);
    case Kind::Waiting:
        return Sentence(QStringLiteral("Отчёт стоит в очереди принтера «%1» и ещё не напечатан: %2").arg(o.queue, o.reason));
    case Kind::Refused: return Sentence(QStringLiteral("Отчёт не напечатан на принтере «%1»: %2").arg(o.queue, o.reason));
    case Kind::NoAnswer:
        return Sentence(o.queue.isEmpty() ? QStringLiteral("Отчёт не напечатан: %1").arg(o.reason)
                                          : QStringLiteral("Отчёт не напечатан на принтере «%1»: %2").arg(o.queue, o.reason));
    case Kind::NoPrinter: break;
    }
    return o.reason.isEmpty() ? QStringLiteral("Принтер не найден.") : Sentence(QStringLiteral("Принтер не найден: %1").arg(o.reason));
}

struct PrintSubmission::State {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    bool done = false;
    PrintOutcome outcome;
};

PrintSubmission::PrintSubmission(PrintRequest request) : state_(std::make_shared<State>()) {
    state_->outcome.kind = PrintOutcome::Kind::NoAnswer;
    thread_ = std::thread([state = state_, request = std::move(request)] {
        PrintOutcome outcome = SubmitReport(request);
        {
            const std::lock_guard<std::mutex> lock(state->mutex);
            state->outcome = std::move(outcome);
            state->done = true;
        }
        state->changed.notify_all();
    });
}

PrintSubmission::~PrintSubmission() {
    if (!thread_.joinable()) return;
    if (Done()) thread_.join();
    else thread_.detach();  // it holds its own state and ends within its time limits
}

bool PrintSubmission::Done() const {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->done;
}

bool PrintSubmission::WaitFor(int ms) const {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, std::chrono::milliseconds(qMax(0, ms)), [this] { return state_->done; });
}

PrintOutcome PrintSubmission::Outcome() const {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->outcome;
}

}  // namespace heatx
