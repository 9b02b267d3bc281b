// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/safe_output.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace heatx {

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

QByteArray Encoded(const QString& path) { return QFile::encodeName(path); }

// A name in the same folder for the bytes until they are complete; the dot
// keeps it out of the way in file managers. 64 random bits: in a folder
// others can write, nobody can take the name in advance.
QByteArray TempCandidate(const QString& path) {
    const QFileInfo info(path);
    const quint64 random = QRandomGenerator::system()->generate64();
    const QString name = QStringLiteral(".%1.%2.tmp").arg(info.fileName()).arg(random, 16, 16, QLatin1Char('0'));
    return Encoded(info.dir().filePath(name));
}

bool IsUnsupported(int error) {
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS ||
           error == EINVAL || error == EXDEV || error == EMLINK;
}

}  // namespace

QString SystemErrorText(int error) {
    switch (error) {
    case ENOSPC: return QStringLiteral("нет места на устройстве");
    case EDQUOT: return QStringLiteral("превышена квота на диске");
    case EACCES:
    case EPERM: return QStringLiteral("нет доступа на запись");
    case EROFS: return QStringLiteral("файловая система только для чтения");
    case ENOENT: return QStringLiteral("папка не существует");
    case ENOTDIR: return QStringLiteral("путь проходит через файл, а не папку");
    case EISDIR: return QStringLiteral("это папка, а не файл");
    case EEXIST: return QStringLiteral("файл с таким именем уже есть");
    case EIO: return QStringLiteral("ошибка ввода-вывода");
    case EFBIG: return QStringLiteral("файл слишком велик");
    case ENAMETOOLONG: return QStringLiteral("слишком длинное имя");
    case EPIPE: return QStringLiteral("получатель закрыл канал");
    case EBADF: return QStringLiteral("вывод закрыт");
    default: return QStringLiteral("системная ошибка %1").arg(error);
    }
}

bool WriteAllToFd(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {  // a device that takes nothing and says nothing
            errno = ENOSPC;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

bool IsSameFile(const QString& a, const QString& b) {
    struct stat sa {}, sb {};
    if (::stat(Encoded(a).constData(), &sa) != 0 || ::stat(Encoded(b).constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool SyncFolderOf(const QString& path) {
    const QByteArray folder = Encoded(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    // Some file systems cannot sync a folder (EINVAL); the rename stands anyway.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Fail(int error) {
    if (error_ == 0) error_ = error ? error : EIO;
    return false;
}

bool AtomicFile::Open(const QString& path, Mode mode) {
    Discard();
    path_ = path;
    mode_ = mode;
    error_ = 0;
    buffer_.clear();
    temporaryFailed_ = false;
    // A taken temporary name is only tried again under another: it says
    // nothing about the final name.
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const QByteArray candidate = TempCandidate(path);
        fd_ = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd_ >= 0) {
            tempPath_ = candidate;
            buffer_.reserve(qsizetype(kBufferSize));
            return true;
        }
        if (errno != EEXIST) return Fail(errno);
    }
    temporaryFailed_ = true;
    return Fail(EEXIST);
}

bool AtomicFile::FlushBuffer() {
    if (buffer_.isEmpty()) return true;
    if (!WriteAllToFd(fd_, buffer_.constData(), std::size_t(buffer_.size()))) return Fail(errno);
    buffer_.clear();
    return true;
}

bool AtomicFile::Write(const char* data, std::size_t size) {
    if (error_) return false;
    if (fd_ < 0) return Fail(EBADF);
    if (std::size_t(buffer_.size()) + size > kBufferSize) {
        if (!FlushBuffer()) return false;
        if (size >= kBufferSize) return WriteAllToFd(fd_, data, size) || Fail(errno);
    }
    buffer_.append(data, qsizetype(size));
    return true;
}

bool AtomicFile::Commit() {
    if (error_) {
        Discard();
        return false;
    }
    if (fd_ < 0) return Fail(EBADF);
    bool ok = FlushBuffer();
    if (ok && ::fsync(fd_) != 0) ok = Fail(errno);
    if (::close(fd_) != 0 && ok) ok = Fail(errno);
    fd_ = -1;
    if (ok) {
        const QByteArray target = Encoded(path_);
        if (mode_ == Mode::Replace) {
            if (::rename(tempPath_.constData(), target.constData()) != 0) ok = Fail(errno);
        } else if (::link(tempPath_.constData(), target.constData()) != 0) {
            // link(2) never replaces; where the file system has no hard links
            // (FAT sticks, some shares) claim the name first, then rename over
            // the empty claim.
            const int linkError = errno;
            if (!IsUnsupported(linkError)) {
                ok = Fail(linkError);
            } else {
                const int claim = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                if (claim < 0) {
                    ok = Fail(errno);
                } else {
                    ::close(claim);
                    if (::rename(tempPath_.constData(), target.constData()) != 0) {
                        ok = Fail(errno);
                        ::unlink(target.constData());
                    }
                }
            }
        }
    }
    if (!tempPath_.isEmpty()) ::unlink(tempPath_.constData());  // no-op after rename
    tempPath_.clear();
    if (ok && !SyncFolderOf(path_)) ok = Fail(errno);
    return ok;
}

void AtomicFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.isEmpty()) ::unlink(tempPath_.constData());
    tempPath_.clear();
    buffer_.clear();
}

QString AtomicFile::ErrorText() const {
    if (temporaryFailed_)
        return QStringLiteral("не удаётся создать временный файл в папке «%1»: все пробованные имена заняты")
            .arg(QFileInfo(path_).absolutePath());
    return QStringLiteral("не удаётся записать файл «%1»: %2").arg(path_, SystemErrorText(error_));
}

AppendFile::~AppendFile() { Close(); }

AppendFile::AppendFile(AppendFile&& other) noexcept { *this = std::move(other); }

AppendFile& AppendFile::operator=(AppendFile&& other) noexcept {
    if (this != &other) {
        Close();
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
        size_ = std::exchange(other.size_, 0);
        error_ = std::exchange(other.error_, 0);
    }
    return *this;
}

bool AppendFile::Fail(int error) {
    error_ = error ? error : EIO;
    return false;
}

int MakeFolders(const QString& folder) {
    const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    struct stat st {};
    if (::stat(Encoded(absolute).constData(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT) return errno;
    const QString parent = QFileInfo(absolute).path();
    if (parent != absolute) {
        if (const int error = MakeFolders(parent)) return error;
    }
    if (::mkdir(Encoded(absolute).constData(), 0777) != 0 && errno != EEXIST) return errno;
    return 0;
}

bool AppendFile::Create(const QString& path) {
    Close();
    path_ = path;
    size_ = 0;
    error_ = 0;
    // A folder that cannot be made says why (no access is not "missing").
    if (const int error = MakeFolders(QFileInfo(path).path())) return Fail(error);
    const QByteArray name = Encoded(path);
    fd_ = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0666);
    if (fd_ < 0) return Fail(errno);
    // The new name itself must survive a power cut, not only the bytes.
    if (!SyncFolderOf(path)) {
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        ::unlink(name.constData());
        return Fail(error);
    }
    return true;
}

bool AppendFile::Append(const QByteArray& bytes) {
    if (fd_ < 0) return Fail(EBADF);
    if (WriteAllToFd(fd_, bytes.constData(), std::size_t(bytes.size())) && ::fsync(fd_) == 0) {
        size_ += bytes.size();
        error_ = 0;
        return true;
    }
    const int error = errno;
    // Cut the part that got in: the file keeps whole pieces only. Cutting
    // frees blocks, so it works on a full disk too.
    if (::ftruncate(fd_, off_t(size_)) == 0) ::fsync(fd_);
    return Fail(error);
}

bool AppendFile::OpenExisting(const QString& path) {
    Close();
    path_ = path;
    error_ = 0;
    // Non-blocking: a pipe under that name must not hang the program.
    fd_ = ::open(Encoded(path).constData(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd_ < 0) return Fail(errno);
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        Close();
        return Fail(error);
    }
    ::fcntl(fd_, F_SETFL, O_APPEND);
    size_ = st.st_size;
    return true;
}

bool AppendFile::ReadBack(qint64 max, QByteArray* bytes) const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0 || st.st_size > max) return false;
    bytes->resize(qsizetype(st.st_size));
    qint64 done = 0;
    while (done < st.st_size) {
        const ssize_t n = ::pread(fd_, bytes->data() + done, std::size_t(st.st_size - done), off_t(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    bytes->truncate(qsizetype(done));
    return true;
}

AppendFile::Identity AppendFile::Id() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return {};
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

bool AppendFile::StillAtPath() const {
    struct stat open {}, named {};
    if (fd_ < 0 || ::fstat(fd_, &open) != 0 || ::lstat(Encoded(path_).constData(), &named) != 0) return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

void AppendFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void AppendFile::Remove() {
    if (fd_ < 0) return;
    // Only our own file: one put under its name by someone else stays.
    const bool ours = StillAtPath();
    Close();
    if (!ours) return;
    ::unlink(Encoded(path_).constData());
    SyncFolderOf(path_);
}

QString AppendFile::ErrorText() const {
    return QStringLiteral("не удаётся записать файл «%1»: %2").arg(path_, SystemErrorText(error_));
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, AtomicFile::Mode mode, QString* error) {
    AtomicFile file;
    const bool ok = file.Open(path, mode) && file.Write(bytes) && file.Commit();
    if (!ok && error) *error = file.ErrorText();
    return ok;
}

}  // namespace heatx
