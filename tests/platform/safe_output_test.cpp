#include "platform/safe_output.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
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
