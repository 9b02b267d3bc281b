// SPDX-License-Identifier: GPL-3.0-or-later
// Print servers of a test's own, so that no test reaches a real printer:
//   PrivateCupsd  Debian's cupsd on a socket in a temporary folder, with queues
//                 whose device "keep" stores every job's document and name as
//                 files, stopped when the object goes;
//   SilentServer  a socket that takes connections and never answers, as a
//                 hung or overloaded print server does.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace heatx::servers {

// A folder with a short path: a socket's path may not exceed 107 bytes.
inline QString ShortTemporaryTemplate(const char* name) {
    const QString base = QDir::tempPath().size() < 60 ? QDir::tempPath() : QStringLiteral("/tmp");
    return base + QLatin1Char('/') + QLatin1String(name) + QStringLiteral("-XXXXXX");
}

class PrivateCupsd {
public:
    // Under /tmp, open to all: cupsd runs the socket backend as the user lp.
    PrivateCupsd() : dir_(QStringLiteral("/tmp/heatx-cups-XXXXXX")) {
        QFile::setPermissions(dir_.path(), QFile::Permissions(0x7755));
        Start();
    }
    ~PrivateCupsd() { Stop(); }
    PrivateCupsd(const PrivateCupsd&) = delete;
    PrivateCupsd& operator=(const PrivateCupsd&) = delete;

    // Why the server could not start; empty when it runs.
    const QString& Error() const { return error_; }
    QString Socket() const { return dir_.filePath(QStringLiteral("cups.sock")); }
    // The value of CUPS_SERVER that reaches this server.
    QByteArray Server() const { return Socket().toUtf8(); }

    // Runs a CUPS command (lpadmin, cupsreject, cupsdisable, lpstat ...) on
    // this server; its output in *output.
    bool Run(const QString& tool, const QStringList& args, QString* output = nullptr) const {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("CUPS_SERVER"), Socket());
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(Tool(tool), args);
        const bool ok = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (output) *output = QString::fromUtf8(p.readAll());
        return ok;
    }
    // A queue; device "keep" keeps each job as files (see JobDocument).
    bool AddQueue(const QString& name, const QString& device = QStringLiteral("keep")) const {
        const QString uri = device == QLatin1String("keep") ? QStringLiteral("keep:") + dir_.filePath(QStringLiteral("jobs"))
                                                           : device;
        return Run(QStringLiteral("lpadmin"), {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                                               uri, QStringLiteral("-m"), QStringLiteral("raw")});
    }
    bool SetDefault(const QString& name) const { return Run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name}); }

    // The numbers of the jobs the keep device received, in order.
    QList<int> KeptJobs() const {
        QList<int> ids;
        for (const QString& name : QDir(dir_.filePath(QStringLiteral("jobs"))).entryList({QStringLiteral("job-*.pdf")}))
            ids.append(name.mid(4).chopped(4).toInt());
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    QByteArray JobDocument(int id) const { return Read(QStringLiteral("jobs/job-%1.pdf").arg(id)); }
    QString JobName(int id) const {
        return QString::fromUtf8(Read(QStringLiteral("jobs/job-%1.name").arg(id))).trimmed();
    }

    // The server's error log, for a test that fails.
    QString Log() const { return QString::fromUtf8(Read(QStringLiteral("log/error_log"))); }

    void Stop() {
        if (!cupsd_.isOpen() && cupsd_.state() == QProcess::NotRunning) return;
        cupsd_.terminate();
        if (!cupsd_.waitForFinished(10000)) {
            cupsd_.kill();
            cupsd_.waitForFinished(5000);
        }
    }

private:
    static QString Tool(const QString& name) {
        for (const char* folder : {"/usr/sbin", "/usr/bin", "/sbin", "/bin"}) {
            const QString path = QLatin1String(folder) + QLatin1Char('/') + name;
            if (QFileInfo(path).isExecutable()) return path;
        }
        return name;
    }
    QByteArray Read(const QString& name) const {
        QFile f(dir_.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool Write(const QString& name, const QByteArray& bytes, QFile::Permissions permissions = {}) const {
        QFile f(dir_.filePath(name));
        bool ok = f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
        f.close();
        if (ok && permissions) ok = f.setPermissions(permissions);
        return ok;
    }

    void Start() {
        const QString cupsd = Tool(QStringLiteral("cupsd"));
        if (!dir_.isValid()) {
            error_ = QStringLiteral("нет временной папки");
            return;
        }
        if (!QFileInfo(cupsd).isExecutable() || !QFileInfo(Tool(QStringLiteral("lpadmin"))).isExecutable()) {
            error_ = QStringLiteral("нет cupsd или lpadmin (пакеты cups-daemon, cups-client)");
            return;
        }
        const QDir root(dir_.path());
        for (const char* folder : {"spool/tmp", "cache", "state", "log", "bin/backend", "jobs"}) root.mkpath(QLatin1String(folder));
        QFile::setPermissions(dir_.filePath(QStringLiteral("jobs")), QFile::Permissions(0x7777));
        // The program folders of Debian's CUPS, with a backend of our own.
        for (const char* folder : {"cgi-bin", "daemon", "driver", "filter", "monitor", "notifier"})
            QFile::link(QStringLiteral("/usr/lib/cups/") + QLatin1String(folder), dir_.filePath(QStringLiteral("bin/")) + QLatin1String(folder));
        QFile::link(QStringLiteral("/usr/lib/cups/backend/socket"), dir_.filePath(QStringLiteral("bin/backend/socket")));
        // keep:FOLDER — each job's document as job-N.pdf and its name as
        // job-N.name. Owner-only, so that cupsd runs it as the user it runs as.
        Write(QStringLiteral("bin/backend/keep"),
              "#!/bin/sh\n"
              "if [ $# -eq 0 ]; then echo 'direct keep \"Unknown\" \"keeps jobs as files\"'; exit 0; fi\n"
              "folder=${DEVICE_URI#keep:}\n"
              "printf '%s\\n' \"$3\" > \"$folder/job-$1.name\" || exit 1\n"
              "if [ -n \"$6\" ]; then cat \"$6\"; else cat; fi > \"$folder/job-$1.tmp\" || exit 1\n"
              "mv \"$folder/job-$1.tmp\" \"$folder/job-$1.pdf\"\n",
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray here = dir_.path().toUtf8();
        Write(QStringLiteral("cupsd.conf"),
              "Listen " + here + "/cups.sock\nLogLevel info\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
              "JobRetryInterval 1\n"
              "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
              "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n");
        QByteArray files = "ServerRoot " + here + "\nRequestRoot " + here + "/spool\nTempDir " + here +
                           "/spool/tmp\nCacheDir " + here + "/cache\nStateDir " + here + "/state\nServerBin " + here +
                           "/bin\nDataDir /usr/share/cups\nDocumentRoot /usr/share/cups/doc-root\nErrorLog " + here +
                           "/log/error_log\nAccessLog " + here + "/log/access_log\nPageLog " + here + "/log/page_log\nPrintcap " +
                           here + "/printcap\n";
        if (::geteuid() == 0) {
            files += "User lp\nGroup lp\nSystemGroup root\n";
        } else if (const group* g = ::getgrgid(::getegid())) {
            files += "SystemGroup " + QByteArray(g->gr_name) + "\n";
        }
        Write(QStringLiteral("cups-files.conf"), files);

        cupsd_.setProcessChannelMode(QProcess::MergedChannels);
        // The server goes with the test even when the test is killed.
        cupsd_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        cupsd_.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), dir_.filePath(QStringLiteral("cupsd.conf")),
                             QStringLiteral("-s"), dir_.filePath(QStringLiteral("cups-files.conf"))});
        if (!cupsd_.waitForStarted(10000)) {
            error_ = QStringLiteral("cupsd не запускается: ") + cupsd_.errorString();
            return;
        }
        for (int i = 0; i < 200; ++i) {
            if (cupsd_.state() != QProcess::Running) break;
            if (QFileInfo::exists(Socket()) && Run(QStringLiteral("lpstat"), {QStringLiteral("-r")})) return;
            QThread::msleep(50);
        }
        error_ = QStringLiteral("cupsd не запустился: ") + QString::fromUtf8(cupsd_.readAll()).trimmed() + QLatin1Char(' ') +
                 QString::fromUtf8(Read(QStringLiteral("log/error_log"))).right(400);
        Stop();
    }

    QTemporaryDir dir_;
    QProcess cupsd_;
    QString error_;
};

// Takes connections (the kernel completes them) and never reads or answers.
class SilentServer {
public:
    SilentServer() : dir_(ShortTemporaryTemplate("heatx-silent")) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = Socket().toUtf8();
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        listening_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                     ::listen(fd_, 16) == 0;
    }
    ~SilentServer() {
        if (fd_ >= 0) ::close(fd_);
    }
    SilentServer(const SilentServer&) = delete;
    SilentServer& operator=(const SilentServer&) = delete;

    bool Listening() const { return listening_; }
    QString Socket() const { return dir_.filePath(QStringLiteral("silent.sock")); }
    QByteArray Server() const { return Socket().toUtf8(); }

private:
    QTemporaryDir dir_;
    int fd_ = -1;
    bool listening_ = false;
};

}  // namespace heatx::servers
