// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/safe_output.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace heatx {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Entries of a folder other than . and .., hidden ones included: a failed or
// abandoned write must leave no temporary file behind.
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(AtomicFile, AppearsOnlyWhenCommittedAndReplacesInOneStep) {
    QTemporaryDir dir;
    const QString path = dir.filePath("отчёт.txt");
    ASSERT_TRUE(WriteWholeFile(path, "старое\n", AtomicFile::Mode::Replace));

    AtomicFile file;
    ASSERT_TRUE(file.Open(path, AtomicFile::Mode::Replace));
    // More than the internal buffer, so part of it reaches the temporary file
    // before the commit.
    const QByteArray big(200000, 'x');
    ASSERT_TRUE(file.Write(big));
    ASSERT_TRUE(file.Write("конец\n"));
    EXPECT_EQ(ReadAll(path), QByteArray("старое\n"));  // the old file is untouched meanwhile
    EXPECT_EQ(Entries(dir.path()).size(), 2);           // old file and the temporary
    ASSERT_TRUE(file.Commit()) << file.ErrorText().toStdString();
    EXPECT_EQ(ReadAll(path), big + QByteArray("конец\n"));
    EXPECT_EQ(Entries(dir.path()), QStringList{"отчёт.txt"});
}

TEST(AtomicFile, ExclusiveNeverOverwritesAndAbandonedLeavesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("key.pdf");
    ASSERT_TRUE(WriteWholeFile(path, "first", AtomicFile::Mode::Exclusive));
    QString error;
    EXPECT_FALSE(WriteWholeFile(path, "second", AtomicFile::Mode::Exclusive, &error));
    EXPECT_EQ(ReadAll(path), QByteArray("first"));
    EXPECT_TRUE(error.contains("уже есть")) << error.toStdString();
    {
        AtomicFile abandoned;
        ASSERT_TRUE(abandoned.Open(dir.filePath("never.pdf"), AtomicFile::Mode::Replace));
        ASSERT_TRUE(abandoned.Write("half"));
    }
    EXPECT_EQ(Entries(dir.path()), QStringList{"key.pdf"});
}

TEST(AtomicFile, UnwritableFolderFailsAtOpenWithReason) {
    QTemporaryDir dir;
    // A path through a plain file cannot be created, even by root.
    ASSERT_TRUE(WriteWholeFile(dir.filePath("plain"), "x", AtomicFile::Mode::Replace));
    AtomicFile file;
    EXPECT_FALSE(file.Open(dir.filePath("plain/report.txt"), AtomicFile::Mode::Replace));
    EXPECT_EQ(file.Error(), ENOTDIR);
    EXPECT_FALSE(file.Write("x"));
    EXPECT_FALSE(file.Commit());
    EXPECT_TRUE(file.ErrorText().contains("plain/report.txt"));
}

// A file system that fills up part-way: the file size limit makes write(2)
// refuse bytes past 100 000 (EFBIG) the way a full disk does (ENOSPC). Run in
// a child so the limit does not touch the other tests.
TEST(AtomicFile, RefusedBytesFailTheCommitAndLeaveNoFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("full.txt");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100000, 100000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        AtomicFile file;
        if (!file.Open(path, AtomicFile::Mode::Replace)) ::_exit(10);
        for (int i = 0; i < 100 && file.Write(QByteArray(4096, 'y')); ++i) {
        }
        if (file.Commit()) ::_exit(11);          // reported as saved: the fault
        if (file.Error() != EFBIG) ::_exit(12);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

TEST(AppendFile, ClaimsOnlyAFreeNameAndRemovesItsOwnFile) {
    QTemporaryDir dir;
    const QString taken = dir.filePath("taken.txt");
    ASSERT_TRUE(WriteWholeFile(taken, "чужое", AtomicFile::Mode::Replace));
    ASSERT_EQ(::symlink("nowhere", QFile::encodeName(dir.filePath("link.txt")).constData()), 0);
    AppendFile file;
    EXPECT_FALSE(file.Create(taken));
    EXPECT_EQ(file.Error(), EEXIST);
    EXPECT_EQ(ReadAll(taken), QByteArray("чужое"));
    EXPECT_FALSE(file.Create(dir.filePath("link.txt")));  // a dangling link is a taken name too
    EXPECT_EQ(file.Error(), EEXIST);

    ASSERT_TRUE(file.Create(dir.filePath("own.txt")));
    ASSERT_TRUE(file.Append("первый\n"));
    ASSERT_TRUE(file.Append("второй\n"));
    EXPECT_EQ(ReadAll(dir.filePath("own.txt")), QByteArray("первый\nвторой\n"));
    EXPECT_EQ(file.Size(), QByteArray("первый\nвторой\n").size());
    file.Remove();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("own.txt")));
    EXPECT_TRUE(QFileInfo::exists(taken));
}

// A text copy swapped for another file under its name (a folder another
// user can write): the swap is seen, and removing the copy leaves the
// stranger's file alone.
TEST(AppendFile, SeesASwappedFileAndNeverRemovesIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("копия.txt");
    AppendFile file;
    ASSERT_TRUE(file.Create(path));
    EXPECT_TRUE(file.StillAtPath());
    ASSERT_TRUE(WriteWholeFile(dir.filePath("fake"), "подделка", AtomicFile::Mode::Replace));
    ASSERT_EQ(::rename(QFile::encodeName(dir.filePath("fake")).constData(), QFile::encodeName(path).constData()), 0);
    EXPECT_FALSE(file.StillAtPath());
    file.Remove();
    EXPECT_EQ(ReadAll(path), QByteArray("подделка"));

    AppendFile again;  // the text copy of an earlier run, read back and gone on with
    ASSERT_TRUE(again.OpenExisting(path));
    ASSERT_TRUE(again.Append("\nещё"));
    QByteArray back;
    ASSERT_TRUE(again.ReadBack(1000, &back));
    EXPECT_EQ(back, QByteArray("подделка\nещё"));
    EXPECT_EQ(ReadAll(path), back);
    EXPECT_FALSE(again.ReadBack(4, &back));  // larger than asked for
    ASSERT_EQ(::symlink("копия.txt", QFile::encodeName(dir.filePath("link.txt")).constData()), 0);
    EXPECT_FALSE(again.OpenExisting(dir.filePath("link.txt")));  // never through a link
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe.txt")).constData(), 0600), 0);
    EXPECT_FALSE(again.OpenExisting(dir.filePath("pipe.txt")));  // nor a pipe, and without waiting for it
}

// Temporary names cannot be guessed: not the process id and a counter, but
// random, and different for every file.
TEST(AtomicFile, TemporaryNamesAreRandom) {
    QTemporaryDir dir;
    AtomicFile a, b;
    ASSERT_TRUE(a.Open(dir.filePath("key.pdf"), AtomicFile::Mode::Exclusive));
    ASSERT_TRUE(b.Open(dir.filePath("key.pdf"), AtomicFile::Mode::Exclusive));
    EXPECT_NE(a.TempPath(), b.TempPath());
    for (const QByteArray& name : {a.TempPath(), b.TempPath()}) {
        EXPECT_FALSE(name.contains("." + QByteArray::number(::getpid()))) << name.constData();
        EXPECT_TRUE(QFileInfo(QString::fromUtf8(name)).fileName().startsWith(".key.pdf."));
    }
    // Only the final name, once taken, counts as taken.
    EXPECT_TRUE(a.Commit());
    EXPECT_FALSE(a.FinalNameTaken());
    EXPECT_FALSE(b.Commit());
    EXPECT_TRUE(b.FinalNameTaken());
}

// A folder that cannot be made says why: no access is not "missing".
TEST(MakeFolders, GivesTheReasonOfTheStepThatFailed) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.filePath("file"), "x", AtomicFile::Mode::Replace));
    EXPECT_EQ(MakeFolders(dir.filePath("a/b/c")), 0);
    EXPECT_TRUE(QFileInfo(dir.filePath("a/b/c")).isDir());
    EXPECT_EQ(MakeFolders(dir.filePath("file/reports")), ENOTDIR);
    // A folder its owner may only read, tried by a user who is not root (a
    // child that gives root up, when the test runs as root).
    const QString closed = dir.filePath("closed");
    ASSERT_TRUE(QDir().mkdir(closed));
    ASSERT_EQ(::chmod(QFile::encodeName(closed).constData(), 0500), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(100);
        AppendFile file;
        ::_exit(file.Create(closed + "/reports/копия.txt") ? 0 : file.Error());
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::chmod(QFile::encodeName(closed).constData(), 0700);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), EACCES);
}

// An append refused part-way (the size limit stands for a full disk) is cut
// off again: the file holds whole pieces only, and the next append works
// once there is room.
TEST(AppendFile, ARefusedAppendLeavesTheFileAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath("journal.txt");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = 10000;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        AppendFile file;
        if (!file.Create(path)) ::_exit(10);
        if (!file.Append(QByteArray(6000, 'a'))) ::_exit(11);
        if (file.Append(QByteArray(6000, 'b'))) ::_exit(12);  // would pass the limit
        if (file.Error() != EFBIG || file.Size() != 6000) ::_exit(13);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        if (!file.Append(QByteArray(6000, 'c'))) ::_exit(14);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadAll(path), QByteArray(6000, 'a') + QByteArray(6000, 'c'));
}

TEST(WriteAllToFd, FullDeviceIsAnError) {
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (fd < 0) GTEST_SKIP() << "no /dev/full";
    errno = 0;
    EXPECT_FALSE(WriteAllToFd(fd, "abc", 3));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(SystemErrorText(ENOSPC), QString("нет места на устройстве"));
    ::close(fd);
}

TEST(IsSameFile, SeesThroughOtherSpellingsOfOnePath) {
    QTemporaryDir dir;
    const QString path = dir.filePath("variants.csv");
    ASSERT_TRUE(WriteWholeFile(path, "1;2\n", AtomicFile::Mode::Replace));
    EXPECT_TRUE(IsSameFile(path, dir.path() + "/./variants.csv"));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(),
                     QFile::encodeName(dir.filePath("alias.csv")).constData()), 0);
    EXPECT_TRUE(IsSameFile(path, dir.filePath("alias.csv")));
    EXPECT_FALSE(IsSameFile(path, dir.filePath("missing.csv")));
}

}  // namespace
}  // namespace heatx
