// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/report_notes.h"

#include "platform/safe_output.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace heatx {

namespace {

// A student's line may be long (an input box takes 32767 letters).
constexpr qsizetype kMaxNote = 1 << 20;
const QString kSuffix = QStringLiteral(".note");

QByteArray Encoded(const QString& path) { return QFile::encodeName(path); }

}  // namespace

QString ReportNotesFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/heatx");
}

ReportNote::~ReportNote() {
    // The file stays: a note still open when the program goes is what the
    // next start looks for.
    if (fd_ >= 0) ::close(fd_);
}

ReportNote::ReportNote(ReportNote&& other) noexcept { *this = std::move(other); }

ReportNote& ReportNote::operator=(ReportNote&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool ReportNote::Write(const QByteArray& content) {
    const QString folder = ReportNotesFolder();
    if (MakeFolders(folder) != 0) return false;
    ::chmod(Encoded(folder).constData(), 0700);
    // A new file, locked and synced before it takes the note's name, so that
    // no other program ever sees it unlocked or half written; it replaces the
    // last note of this document in one step.
    const QString name =
        QStringLiteral("%1/%2").arg(folder).arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    const QByteArray temporary = Encoded(name + QStringLiteral(".tmp"));
    const int fd = ::open(temporary.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    const QString target = path_.isEmpty() ? name + kSuffix : path_;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !WriteAllToFd(fd, content.constData(), std::size_t(content.size())) ||
        ::fsync(fd) != 0 || ::rename(temporary.constData(), Encoded(target).constData()) != 0) {
        ::close(fd);
        ::unlink(temporary.constData());
        return false;
    }
    SyncFolderOf(target);
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
    path_ = target;
    return true;
}

void ReportNote::Remove() {
    if (fd_ < 0) return;
    ::unlink(Encoded(path_).constData());
    SyncFolderOf(path_);
    ::close(fd_);
    fd_ = -1;
    path_.clear();
}

std::vector<LeftNote> TakeLeftNotes() {
    std::vector<LeftNote> left;
    const QDir folder(ReportNotesFolder());
    const QStringList names = folder.entryList({QStringLiteral("*") + kSuffix}, QDir::Files | QDir::Hidden);
    // A note that was being written when its program went, never named.
    for (const QString& name : folder.entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden)) {
        const QByteArray path = Encoded(folder.filePath(name));
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.constData());
        ::close(fd);
    }
    for (const QString& name : names) {
        if (left.size() >= 100) break;  // a sane bound on what one start finishes
        const QString path = folder.filePath(name);
        const int fd = ::open(Encoded(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        // A running program holds its notes locked.
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        LeftNote note;
        note.note.fd_ = fd;
        note.note.path_ = path;
        QByteArray content(qMin<qsizetype>(st.st_size, kMaxNote), Qt::Uninitialized);
        const ssize_t n = ::pread(fd, content.data(), std::size_t(content.size()), 0);
        note.content = n > 0 ? content.left(n) : QByteArray();
        left.push_back(std::move(note));
    }
    return left;
}

}  // namespace heatx
