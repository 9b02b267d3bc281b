// SPDX-License-Identifier: GPL-3.0-or-later
// Output that can fail goes through here: every write is checked, files appear
// whole (a temporary file in the same folder, flushed to disk, then given its
// final name), and a failure carries a Russian reason that can be shown as it
// is. Qt Core and POSIX only, so the windows program and heatx-batch share it.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cerrno>

namespace heatx {

// The reason behind an errno value, in Russian ("нет места на устройстве").
QString SystemErrorText(int error);

// Writes every byte to a file descriptor, retrying short writes and EINTR.
// False with errno set when the descriptor refuses bytes.
bool WriteAllToFd(int fd, const char* data, std::size_t size);

// True when both paths name one existing file (same device and inode), so an
// output can refuse to overwrite its own input.
bool IsSameFile(const QString& a, const QString& b);

// Makes a folder and the folders above it that are missing; 0, or the errno
// of the step that failed (EACCES for a folder without access, not ENOENT).
int MakeFolders(const QString& folder);

// Flushes a folder's entries to disk after a file in it was created or
// renamed. False with errno set when it fails.
bool SyncFolderOf(const QString& path);

// A file that takes its final name only when it is complete. Bytes are
// buffered and written to a temporary file beside the final path; Commit()
// flushes them, syncs them to disk and renames. Until then nothing exists
// under the final name (Replace keeps the old file there), and a failed or
// abandoned file leaves no temporary behind. The first error sticks: later
// writes do nothing and Commit() fails with it.
class AtomicFile {
public:
    enum class Mode {
        Replace,    // an existing file is replaced in one step
        Exclusive,  // an existing file is never replaced: Commit() fails with EEXIST
    };

    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file, under a random name claimed exclusively.
    // False (with ErrorText()) when the folder cannot be written.
    bool Open(const QString& path, Mode mode);
    bool Write(const char* data, std::size_t size);
    bool Write(const QByteArray& bytes) { return Write(bytes.constData(), std::size_t(bytes.size())); }
    // Everything written so far is on disk under the final name.
    bool Commit();
    // Abandons the file: the temporary goes, the final name is untouched.
    void Discard();

    bool IsOpen() const { return fd_ >= 0; }
    bool Failed() const { return error_ != 0; }
    int Error() const { return error_; }
    // Exclusive mode found another file under the final name (not merely a
    // temporary name taken: those are tried again under others).
    bool FinalNameTaken() const { return error_ == EEXIST && !temporaryFailed_; }
    const QString& Path() const { return path_; }
    // The temporary file's name, for a library that writes a file by name:
    // it writes there, and Commit() syncs and renames what it wrote.
    const QByteArray& TempPath() const { return tempPath_; }
    // "не удаётся записать файл «…»: нет места на устройстве"
    QString ErrorText() const;

private:
    bool Fail(int error);
    bool FlushBuffer();

    QString path_;
    QByteArray tempPath_;
    Mode mode_ = Mode::Replace;
    int fd_ = -1;
    int error_ = 0;
    bool temporaryFailed_ = false;  // no temporary name could be claimed
    QByteArray buffer_;
};

// A file that grows by whole pieces and keeps every piece on disk: the name
// is claimed with an exclusive create (never an existing file), each Append()
// writes all its bytes and syncs them to disk, and an append that fails is
// cut off again, so the file holds whole pieces only. Unlike AtomicFile an
// error does not stick: a later Append() may succeed once there is room.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(AppendFile&& other) noexcept;
    AppendFile& operator=(AppendFile&& other) noexcept;
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Creates the file under path (and the folders it needs); false with
    // Error() == EEXIST when that name is taken (by a file, a folder or a
    // link), so two programs never claim one name.
    bool Create(const QString& path);
    // Opens a text copy left by an earlier run, to read it back and go on
    // with it; never through a symbolic link, never anything but a plain file.
    bool OpenExisting(const QString& path);
    // The whole content of the open file, read through it (not by its name);
    // false when it cannot be read or is larger than max bytes.
    bool ReadBack(qint64 max, QByteArray* bytes) const;
    // The device and inode of the open file: what it is, whatever its name.
    struct Identity {
        quint64 device = 0;
        quint64 inode = 0;
        bool operator==(const Identity&) const = default;
    };
    Identity Id() const;
    // The open file is still the one the path names (same device and inode):
    // in a folder others can write, it may have been swapped.
    bool StillAtPath() const;
    // Appends bytes and syncs them; on failure the file is as before.
    bool Append(const QByteArray& bytes);
    // Closes the file; it stays on disk.
    void Close();
    // Closes and deletes the file (its content went elsewhere); a file that
    // now stands under its name in its place is left alone.
    void Remove();

    bool IsOpen() const { return fd_ >= 0; }
    qint64 Size() const { return size_; }
    int Error() const { return error_; }
    const QString& Path() const { return path_; }
    // "не удаётся записать файл «…»: нет места на устройстве"
    QString ErrorText() const;

private:
    bool Fail(int error);

    QString path_;
    int fd_ = -1;
    qint64 size_ = 0;
    int error_ = 0;
};

// Writes bytes as a whole file in one call. On failure returns false and,
// when error is given, sets it to AtomicFile::ErrorText().
bool WriteWholeFile(const QString& path, const QByteArray& bytes, AtomicFile::Mode mode,
                    QString* error = nullptr);

}  // namespace heatx
