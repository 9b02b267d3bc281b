// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch check on a class's folder as it may come: PDF bombs, files that
// cannot be read, FIFOs and links, and a run stopped with Ctrl+C. Every file
// gets its row, every reason is true, the good reports stay right.
#include "batch/pdf_child.h"
#include "batch/pdf_text.h"
#include "batch/report_check.h"
#include "tool_run.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace heatx::batch;

namespace {

// A PDF of one page: the objects after the catalog, the page tree, the page
// (with its resources) and a font, with the cross-reference table.
QByteArray OnePagePdf(const QByteArray& resources, const QList<QByteArray>& more) {
    QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R >> " + resources +
            " >> /Contents 5 0 R >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>",
    };
    objects += more;
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype o : offsets) pdf += QByteArray::number(o).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

QByteArray Stream(const QByteArray& data, const QByteArray& dictionary = {}, bool deflate = false) {
    // qCompress gives a zlib stream after four bytes of length: FlateDecode.
    const QByteArray body = deflate ? qCompress(data, 9).mid(4) : data;
    return "<< /Length " + QByteArray::number(body.size()) + (deflate ? " /Filter /FlateDecode " : " ") + dictionary +
           " >>\nstream\n" + body + "\nendstream";
}

// 32 MB of one-letter words on one page in a small file: poppler's text of
// it needs gigabytes.
QByteArray TextBombPdf() {
    QByteArray page;
    for (int y = 10; y < 790; y += 10)
        page += "1 0 0 1 10 " + QByteArray::number(y) + " Tm (" + QByteArray("A ").repeated(35) + ") Tj ";
    return OnePagePdf({}, {Stream("BT /F1 6 Tf " + page.repeated(32 * 1024 * 1024 / page.size()) + " ET", {}, true)});
}

// Form XObjects five deep, each drawing the next ten times: 100 000 draws of
// a text in a 2 KB file.
QByteArray NestedXObjectPdf() {
    const int depth = 6;
    QList<QByteArray> objects = {Stream("/X0 Do")};
    for (int level = 0; level < depth; ++level) {
        const bool leaf = level == depth - 1;
        const QByteArray resources = leaf ? "<< /Font << /F1 4 0 R >> >>"
                                          : "<< /XObject << /X0 " + QByteArray::number(7 + level) + " 0 R >> >>";
        objects.append(Stream(leaf ? "BT /F1 12 Tf 72 700 Td (Hello world) Tj ET" : QByteArray("/X0 Do ").repeated(10),
                              "/Type /XObject /Subtype /Form /BBox [0 0 612 792] /Resources " + resources));
    }
    return OnePagePdf("/XObject << /X0 6 0 R >>", objects);
}

// The good reports of a class: a heater report as text and as PDF, written
// by heatx-batch.
void WriteGoodReports(const QString& folder, const QString& stem) {
    const ToolRun text = RunTool({QStringLiteral("--report"), QStringLiteral("heater"), Example(QStringLiteral("heater"))});
    ASSERT_EQ(text.exitCode, 0);
    WriteFile(folder + QLatin1Char('/') + stem + QStringLiteral(".txt"), text.outBytes);
    const ToolRun pdf = RunTool({QStringLiteral("--report"), QStringLiteral("--pdf"),
                                 folder + QLatin1Char('/') + stem + QStringLiteral(".pdf"), QStringLiteral("heater"),
                                 Example(QStringLiteral("heater"))});
    ASSERT_EQ(pdf.exitCode, 0);
}

QStringList Rows(const QString& out) { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

// The row of one file, or an empty text.
QString RowOf(const QString& out, const QString& path) {
    for (const QString& row : Rows(out))
        if (row.startsWith(path + QLatin1Char(';'))) return row;
    return {};
}

// Checks one bomb between good reports: the bomb is not a report for the
// reason of the limits, the others are right, and no process of the run
// (heatx-batch and its helpers) ever held much memory.
void CheckBombAmongGoodReports(const QByteArray& bomb) {
    QTemporaryDir dir;
    WriteGoodReports(dir.path(), QStringLiteral("a"));
    WriteFile(dir.filePath(QStringLiteral("b-bomb.pdf")), bomb);
    for (const char* type : {".txt", ".pdf"})
        ASSERT_TRUE(QFile::copy(dir.filePath(QStringLiteral("a") + type), dir.filePath(QStringLiteral("c") + type)));
    const ToolRun run = RunTool({QStringLiteral("check"), dir.path()});
    EXPECT_EQ(run.exitCode, 1);
    for (const char* good : {"a.txt", "a.pdf", "c.txt", "c.pdf"})
        EXPECT_TRUE(RowOf(run.out, dir.filePath(good)).endsWith(QStringLiteral(";верно"))) << good << run.out.toStdString();
    EXPECT_EQ(RowOf(run.out, dir.filePath("b-bomb.pdf")), dir.filePath("b-bomb.pdf") + QStringLiteral(";;;;;;не отчёт"));
    EXPECT_TRUE(run.err.contains(QStringLiteral("b-bomb.pdf: не отчёт — PDF слишком велик или сложен для отчёта: ")))
        << run.err.toStdString();
    rusage usage {};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 1024 * 1024) << "KB at most in one process";
}

}  // namespace

TEST(CheckBombs, TextBombPdfIsNotAReport) { CheckBombAmongGoodReports(TextBombPdf()); }

TEST(CheckBombs, NestedXObjectPdfIsNotAReport) { CheckBombAmongGoodReports(NestedXObjectPdf()); }

TEST(ConfinedPdfReader, WhatTheHelperDoesDecidesTheReason) {
    // Stand-ins for the helper program, one behaviour each.
    struct Case {
        const char* script;
        bool read;
        const char* reason;  // the beginning of it
        QStringList lines;
    };
    const Case cases[] = {
        {"exec cat", true, "", {"%PDF-1.4 one", "two"}},
        {"echo 'PDF защищён паролем' >&2; exit 1", false, "PDF защищён паролем", {}},
        {"exec yes 'строка отчёта'", false, "PDF слишком велик или сложен для отчёта: текста больше 16 МБ", {}},
        {"head -c 100000 /dev/zero | tr '\\0' x", false, "строка длиннее 64 КБ", {}},
        {"kill -XCPU $$", false, "PDF слишком велик или сложен для отчёта: больше 10 с работы процессора", {}},
        {"echo 'Out of memory' >&2; kill -ABRT $$", false, "PDF слишком велик или сложен для отчёта: не хватило 512 МБ", {}},
        {"kill -SEGV $$", false, "PDF не читается: программа чтения PDF завершилась аварийно (сигнал 11)", {}},
        {"exit 7", false, "PDF не читается: программа чтения PDF завершилась с кодом 7", {}},
    };
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("отчёт.pdf"));
    WriteFile(pdf, "%PDF-1.4 one\ntwo\n");
    const int fd = ::open(QFile::encodeName(pdf).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    const QString helper = dir.filePath(QStringLiteral("helper"));
    for (const Case& c : cases) {
        WriteFile(helper, QByteArray("#!/bin/sh\n") + c.script + '\n');
        ASSERT_EQ(::chmod(QFile::encodeName(helper).constData(), 0755), 0);
        QStringList lines;
        QString reason;
        const bool read = ConfinedPdfReader(helper)(fd, [&](QStringView l) { lines.append(l.toString()); }, &reason);
        EXPECT_EQ(read, c.read) << c.script;
        if (c.read) EXPECT_EQ(lines, c.lines) << c.script;
        else EXPECT_TRUE(reason.startsWith(QString::fromUtf8(c.reason))) << c.script << ": " << reason.toStdString();
    }
    QString reason;
    EXPECT_FALSE(ConfinedPdfReader(dir.filePath(QStringLiteral("нет")))(fd, [](QStringView) {}, &reason));
    EXPECT_TRUE(reason.startsWith(QStringLiteral("PDF здесь не читается: не запускается программа чтения PDF")))
        << reason.toStdString();
    ::close(fd);
}

TEST(CheckFiles, EveryFileOfAFolderGetsARowWithItsTrueReason) {
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString folder = dir.filePath(QStringLiteral("группа"));
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteFile(folder + QStringLiteral("/верный.txt"), Golden(QStringLiteral("heater_ru.txt")).toUtf8());
    const auto at = [&folder](const char* name) { return folder + QLatin1Char('/') + QString::fromUtf8(name); };
    WriteFile(at("закрытый.txt"), Golden(QStringLiteral("heater_ru.txt")).toUtf8());
    WriteFile(at("закрытый.pdf"), "%PDF-1.4\n");
    for (const char* closed : {"закрытый.txt", "закрытый.pdf"}) ::chmod(QFile::encodeName(at(closed)).constData(), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("канал.txt")).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("нет-такого.pdf"), at("ссылка.pdf")));
    ASSERT_TRUE(QFile::link(QStringLiteral("петля.txt"), at("петля.txt")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), at("нули.txt")));
    const QString fifoByName = dir.filePath(QStringLiteral("канал2.pdf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifoByName).constData(), 0644), 0);
    const QString closedFolder = dir.filePath(QStringLiteral("закрытая"));
    ASSERT_TRUE(QDir().mkpath(closedFolder));
    ASSERT_EQ(::chmod(QFile::encodeName(closedFolder).constData(), 0), 0);

    // Root reads every file: the check runs as nobody then, as a teacher would.
    QProcess process;
    if (::geteuid() == 0) {
        process.setChildProcessModifier([] {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(99);
        });
    }
    process.start(QStringLiteral(HEATX_BATCH), {QStringLiteral("check"), folder, fifoByName, QStringLiteral("/dev/zero"), closedFolder});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 1) << err.toStdString();
    EXPECT_EQ(Rows(out).size(), 1 + 10) << out.toStdString();
    EXPECT_TRUE(RowOf(out, at("верный.txt")).endsWith(QStringLiteral(";1;0;верно"))) << out.toStdString();
    const struct {
        QString path;
        const char* reason;
    } refused[] = {
        {at("закрытый.txt"), "нет доступа: у этого пользователя нет права читать файл"},
        {at("закрытый.pdf"), "нет доступа: у этого пользователя нет права читать файл"},
        {at("канал.txt"), "не обычный файл, а именованный канал (FIFO)"},
        {at("ссылка.pdf"), "ссылка ведёт на «нет-такого.pdf», а такого файла нет"},
        {at("петля.txt"), "петля ссылок: ссылка в конце концов ведёт сама на себя"},
        {at("нули.txt"), "не обычный файл, а устройство"},
        {fifoByName, "не обычный файл, а именованный канал (FIFO)"},
        {QStringLiteral("/dev/zero"), "не обычный файл, а устройство"},
        {closedFolder, "папка не читается: нет доступа"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(RowOf(out, r.path), r.path + QStringLiteral(";;;;;;не отчёт")) << r.path.toStdString();
        EXPECT_TRUE(err.contains(r.path + QStringLiteral(": не отчёт — ") + QString::fromUtf8(r.reason) + QLatin1Char('\n')))
            << r.reason << "\n" << err.toStdString();
    }
    EXPECT_TRUE(err.contains(QStringLiteral("отчётов: 10; верно: 1; неверно: 0; не отчёт: 9"))) << err.toStdString();
    ::chmod(QFile::encodeName(closedFolder).constData(), 0755);  // so that the folder can be removed
}

namespace {

// Starts a check of folder, waits until its output (standard output or
// error) shows text, then sends SIGINT.
void InterruptWhenShown(QProcess& process, const QStringList& args, bool onError, const QString& text) {
    process.start(QStringLiteral(HEATX_BATCH), args);
    ASSERT_TRUE(process.waitForStarted());
    QByteArray seen;
    QElapsedTimer timer;
    timer.start();
    while (!QString::fromUtf8(seen).contains(text) && timer.elapsed() < 60000 && process.state() == QProcess::Running) {
        process.waitForReadyRead(100);
        seen += onError ? process.readAllStandardError() : process.readAllStandardOutput();
    }
    ASSERT_TRUE(QString::fromUtf8(seen).contains(text)) << seen.toStdString();
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    ASSERT_TRUE(process.waitForFinished(60000));
}

}  // namespace

TEST(CheckFiles, CtrlCKeepsTheRowsOfTheFilesDone) {
    // Two files, then a PDF that keeps the helper busy for seconds, then one
    // more: Ctrl+C during the PDF.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("группа"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString good = folder + QStringLiteral("/1-верный.txt");
    WriteFile(good, Golden(QStringLiteral("cooler_ru.txt")).toUtf8());
    const QString fifo = folder + QStringLiteral("/2-канал.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    WriteFile(folder + QStringLiteral("/3-бомба.pdf"), NestedXObjectPdf());
    WriteFile(folder + QStringLiteral("/4-верный.txt"), Golden(QStringLiteral("cooler_ru.txt")).toUtf8());
    const QString note = QStringLiteral("проверка прервана сигналом SIGINT (Ctrl+C): проверено файлов 2 из 4");

    // On standard output each row is there as soon as its file is done.
    QProcess toOutput;
    InterruptWhenShown(toOutput, {QStringLiteral("check"), folder}, false, fifo + QStringLiteral(";;;;;;не отчёт\n"));
    EXPECT_EQ(toOutput.exitStatus(), QProcess::CrashExit);
    const QString out = QString::fromUtf8(toOutput.readAllStandardOutput());
    EXPECT_FALSE(out.contains(QStringLiteral("бомба"))) << out.toStdString();
    EXPECT_TRUE(QString::fromUtf8(toOutput.readAllStandardError()).contains(note));

    // With -o the table of the files done is written whole, nothing else.
    const QString table = dir.filePath(QStringLiteral("итог.csv"));
    QProcess toFile;
    InterruptWhenShown(toFile, {QStringLiteral("check"), QStringLiteral("-o"), table, folder}, true,
                       QStringLiteral("2-канал.txt: не отчёт"));
    EXPECT_EQ(toFile.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(QString::fromUtf8(toFile.readAllStandardError()).contains(note + QStringLiteral("; таблица «") + table +
                                                                         QStringLiteral("» записана с их строками")));
    const QStringList rows = Rows(QString::fromUtf8(ReadFile(table)));
    ASSERT_EQ(rows.size(), 3) << rows.join('\n').toStdString();
    EXPECT_TRUE(rows[1].startsWith(good + QStringLiteral(";")) && rows[1].endsWith(QStringLiteral(";верно")));
    EXPECT_EQ(rows[2], fifo + QStringLiteral(";;;;;;не отчёт"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("итог.csv")});
}
