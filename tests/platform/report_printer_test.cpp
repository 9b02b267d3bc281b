// SPDX-License-Identifier: GPL-3.0-or-later
// The printer of the windows program on a machine without a printer: the
// report is saved as a PDF and a text copy, every printed block reaches the
// disk at once, and the student is told the truth about where it went.
//
// Some cases need whole processes (two programs saving at once, a crash, a
// kill): this test program is then started again as a saver with --saver.
#include "heater/heater_input.h"
#include "heater/heater_model.h"
#include "heater/heater_report.h"
#include "platform/paged_text_printer.h"
#include "platform/qt_report_printer.h"
#include "platform/safe_output.h"
#include "platform/session_end.h"
#include "../print_server.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <functional>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace heatx;

namespace {

struct Message {
    QString title;
    QString text;
    QString details;
};

const QDateTime kMoment(QDate(2026, 12, 7), QTime(14, 5, 33));
const QString kHeaterStem = QStringLiteral("Отчёт_подогреватель_2026-12-07_14-05-33");

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WholePdf(const QByteArray& bytes) { return bytes.startsWith("%PDF-") && bytes.trimmed().endsWith("%%EOF"); }

// A block of five numbered lines, as one print of the student.
QStringList Block(const QString& who, int n) {
    QStringList lines;
    for (int j = 0; j < 5; ++j) lines.append(QStringLiteral("%1 блок %2 строка %3").arg(who).arg(n).arg(j));
    return lines;
}

// A chart's picture as the chart window gives it.
QByteArray Png() {
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::cyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

qsizetype Pages(const QByteArray& pdf) { return pdf.count("/Type /Page\n") + pdf.count("/Type /Page "); }

// The end of a document, and the print server's answer about it.
void End(QtReportPrinter& printer) {
    printer.EndDocument();
    EXPECT_TRUE(printer.Settle(30000));
}

void PrintBlock(QtReportPrinter& printer, const QStringList& block) {
    for (const QString& line : block) printer.PrintLine(line);
    printer.EndBlock();
}

QString Text(const QStringList& lines) { return lines.join(QLatin1Char('\n')) + QLatin1Char('\n'); }

// Limits the size of any file this process writes, as a disk that fills up
// does (write(2) refuses bytes past the limit with EFBIG), until destroyed.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

class ReportPrinterTest : public ::testing::Test {
protected:
    static constexpr const char* kVariables[] = {"HEATX_REPORT_DIR", "HOME", "TMPDIR", "CUPS_SERVER", "LPDEST",
                                                 "XDG_STATE_HOME"};

    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        for (const char* name : kVariables) saved_.append(qgetenv(name));
        Folder(QStringLiteral("reports"));
        qputenv("HEATX_REPORT_DIR", dir_.filePath(QStringLiteral("reports")).toUtf8());
        qputenv("HOME", Folder(QStringLiteral("home")).toUtf8());
        qputenv("TMPDIR", Folder(QStringLiteral("tmp")).toUtf8());
        qputenv("XDG_STATE_HOME", Folder(QStringLiteral("state")).toUtf8());
    }
    void TearDown() override {
        for (int i = 0; i < saved_.size(); ++i) {
            if (saved_[i].isEmpty()) qunsetenv(kVariables[i]);
            else qputenv(kVariables[i], saved_[i]);
        }
    }

    QString Folder(const QString& name) {
        QDir(dir_.path()).mkpath(name);
        return dir_.filePath(name);
    }
    // A path below a plain file: no one, not even root, can create it.
    QString Unwritable(const QString& name) {
        QFile blocker(dir_.filePath(name));
        EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
        return dir_.filePath(name + QStringLiteral("/reports"));
    }
    QtReportPrinter MakePrinter() {
        return QtReportPrinter(
            [this](const QString& t, const QString& x, const QString& d) { messages_.append({t, x, d}); },
            [] { return kMoment; });
    }
    QString Reports(const QString& name = QString()) const {
        return dir_.filePath(QStringLiteral("reports")) + (name.isEmpty() ? QString() : QLatin1Char('/') + name);
    }
    static QStringList Files(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir dir_;
    QList<QByteArray> saved_;
    QList<Message> messages_;
};

// Runs this test program as a saver (see SaverMain) in folder; with a
// display, on that X server.
QProcess* StartSaver(const QString& folder, const QString& who, const QString& task, QObject* parent = nullptr,
                     const QString& display = QString()) {
    auto* saver = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HEATX_REPORT_DIR"), folder);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), display.isEmpty() ? QStringLiteral("offscreen") : QStringLiteral("xcb"));
    if (!display.isEmpty()) env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    saver->setProcessEnvironment(env);
    saver->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    saver->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--saver"), task, who});
    return saver;
}

}  // namespace

TEST_F(ReportPrinterTest, SavesPdfAndIdenticalTextCopyAndSaysWhere) {
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("подогреватель"));
    printer.SetFontName(QStringLiteral("Courier New Cyr"));
    printer.SetFontSize(9);
    const QStringList lines = {QStringLiteral("            Отчёт"), QString(), QStringLiteral("            |  2,50  |")};
    for (const QString& l : lines) printer.PrintLine(l);
    End(printer);

    EXPECT_EQ(Files(Reports()), QStringList({kHeaterStem + ".pdf", kHeaterStem + ".txt"}));
    EXPECT_TRUE(WholePdf(Read(Reports(kHeaterStem + ".pdf"))));
    EXPECT_EQ(QString::fromUtf8(Read(Reports(kHeaterStem + ".txt"))), Text(lines));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0].title, QStringLiteral("ОТЧЁТ СОХРАНЁН"));
    EXPECT_TRUE(messages_[0].text.contains(kHeaterStem + ".pdf"));
    EXPECT_TRUE(messages_[0].text.contains(kHeaterStem + ".txt"));
    EXPECT_TRUE(printer.LastDestination().endsWith(QStringLiteral(".pdf")));
}

TEST_F(ReportPrinterTest, AnEmptyDocumentMakesNoFileAndAnExistingNameIsNeverOverwritten) {
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("холодильник"));
    End(printer);  // nothing printed
    EXPECT_TRUE(Files(Reports()).isEmpty());
    EXPECT_TRUE(messages_.isEmpty());

    // A PDF of someone else holds the first name: its base is not free even
    // though no .txt has it.
    const QString stem = QStringLiteral("Отчёт_холодильник_2026-12-07_14-05-33");
    QFile foreign(Reports(stem + ".pdf"));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly) && foreign.write("чужой") == 10);
    foreign.close();

    printer.PrintLine(QStringLiteral("первый"));
    End(printer);
    End(printer);  // ended twice: still one pair of files
    printer.PrintLine(QStringLiteral("второй"));
    End(printer);  // the same second: a new name
    EXPECT_EQ(Files(Reports()), QStringList({stem + ".pdf", stem + "_2.pdf", stem + "_2.txt", stem + "_3.pdf",
                                             stem + "_3.txt"}));
    EXPECT_EQ(Read(Reports(stem + ".pdf")), QByteArray("чужой"));
    EXPECT_EQ(Read(Reports(stem + "_2.txt")), QByteArray("первый\n"));
    EXPECT_EQ(Read(Reports(stem + "_3.txt")), QByteArray("второй\n"));
}

// Each print is on disk before the document ends; the PDF comes at the end
// and holds every page.
TEST_F(ReportPrinterTest, EveryBlockIsInTheTextCopyAsSoonAsItIsPrinted) {
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("подогреватель"));
    const QString txt = Reports(kHeaterStem + ".txt");
    printer.PrintLine(QStringLiteral("строка до конца блока"));
    EXPECT_EQ(printer.CopyPath(), QString());  // no copy before the first block ends
    PrintBlock(printer, Block("а", 1));
    EXPECT_EQ(printer.CopyPath(), QDir::toNativeSeparators(txt));
    EXPECT_EQ(QString::fromUtf8(Read(txt)), QStringLiteral("строка до конца блока\n") + Text(Block("а", 1)));
    printer.EndBlock();  // nothing new: nothing written twice
    for (int n = 2; n <= 40; ++n) PrintBlock(printer, Block("а", n));
    QStringList all = {QStringLiteral("строка до конца блока")};
    for (int n = 1; n <= 40; ++n) all += Block("а", n);
    EXPECT_EQ(QString::fromUtf8(Read(txt)), Text(all));
    EXPECT_EQ(Files(Reports()), QStringList{kHeaterStem + ".txt"});  // no PDF before the end
    // Noted for the next start while open; once the student is told, not.
    const QString notes = dir_.filePath(QStringLiteral("state/heatx"));
    EXPECT_EQ(Files(notes).size(), 1);
    End(printer);
    EXPECT_TRUE(Files(notes).isEmpty());
    const QByteArray pdf = Read(Reports(kHeaterStem + ".pdf"));
    EXPECT_TRUE(WholePdf(pdf));
    // 200 lines at 9 pt: three A4 pages.
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 3);
    EXPECT_EQ(QString::fromUtf8(Read(txt)), Text(all));
    EXPECT_EQ(messages_.size(), 1);
    EXPECT_EQ(printer.CopyPath(), QString());  // the document has ended
}

// The disk fills up part-way (a file size limit refuses bytes the way a
// full disk does): no "saved" for what is not on disk, the text copy keeps
// whole blocks only, and the report is completed once there is room.
TEST_F(ReportPrinterTest, AWriteRefusedPartWayIsNeverCalledSavedAndIsCompletedLater) {
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("подогреватель"));
    printer.SetFontSize(9);
    const QString txt = Reports(kHeaterStem + ".txt");
    QStringList all = Block("а", 1);
    qint64 firstBlockBytes = 0;
    {
        const qint64 limit = Text(Block("а", 1)).toUtf8().size() + 40;  // room for one block and a bit
        FileSizeLimit full{rlim_t(limit)};
        PrintBlock(printer, Block("а", 1));
        firstBlockBytes = QFileInfo(txt).size();
        PrintBlock(printer, Block("а", 2));  // refused part-way
        all += Block("а", 2);
        EXPECT_EQ(QFileInfo(txt).size(), firstBlockBytes) << "a part of a block stayed in the text copy";
        End(printer);
    }
    EXPECT_EQ(QString::fromUtf8(Read(txt)), Text(Block("а", 1)));
    EXPECT_FALSE(QFileInfo::exists(Reports(kHeaterStem + ".pdf")));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0].title, QStringLiteral("ОШИБКА !"));
    EXPECT_FALSE(messages_[0].text.contains(QStringLiteral("не потеряны")));
    EXPECT_TRUE(messages_[0].text.contains(QStringLiteral("файл слишком велик")));
    EXPECT_EQ(printer.KeptDocuments(), 1);

    // Room again: the next end of a document saves the kept one, under its
    // own name, before the new one.
    printer.SetApparatus(QStringLiteral("холодильник"));
    printer.PrintLine(QStringLiteral("холодильник"));
    printer.EndBlock();
    End(printer);
    EXPECT_EQ(QString::fromUtf8(Read(txt)), Text(all));
    EXPECT_TRUE(WholePdf(Read(Reports(kHeaterStem + ".pdf"))));
    EXPECT_EQ(Read(Reports("Отчёт_холодильник_2026-12-07_14-05-33.txt")), QByteArray("холодильник\n"));
    ASSERT_EQ(messages_.size(), 3);
    EXPECT_EQ(messages_[1].title, QStringLiteral("ОТЧЁТ СОХРАНЁН"));
    EXPECT_TRUE(messages_[1].text.contains(kHeaterStem + ".pdf"));
    EXPECT_EQ(messages_[2].title, QStringLiteral("ОТЧЁТ СОХРАНЁН"));
    EXPECT_EQ(printer.KeptDocuments(), 0);
}

// Room for the text copy but not for the PDF: the lines are on disk and the
// message says so, and the PDF follows at the end of the program.
TEST_F(ReportPrinterTest, APdfThatDoesNotFitLeavesTheLinesOnDiskAndFollowsAtTheEnd) {
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("подогреватель"));
    {
        FileSizeLimit full(4000);  // a PDF page with its font is far larger
        PrintBlock(printer, Block("а", 1));
        End(printer);
    }
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0].title, QStringLiteral("ОШИБКА !"));
    EXPECT_TRUE(messages_[0].text.contains(QStringLiteral("не потеряны")));
    EXPECT_TRUE(messages_[0].text.contains(kHeaterStem + ".txt"));
    EXPECT_EQ(Files(Reports()), QStringList{kHeaterStem + ".txt"});  // no temporary file left either
    printer.EndSession();
    EXPECT_TRUE(WholePdf(Read(Reports(kHeaterStem + ".pdf"))));
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_EQ(messages_[1].title, QStringLiteral("ОТЧЁТ СОХРАНЁН"));
}

// Kept lines belong to their own document: a failed heater report never
// lands at the top of the next cooler report or under its name.
TEST_F(ReportPrinterTest, KeptLinesStayWithTheirOwnDocument) {
    const QString good = Reports();
    qputenv("HEATX_REPORT_DIR", Unwritable(QStringLiteral("file")).toUtf8());
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("подогреватель"));
    PrintBlock(printer, Block("подогреватель", 1));
    End(printer);
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0].title, QStringLiteral("ОШИБКА !"));
    EXPECT_TRUE(messages_[0].text.contains(QStringLiteral("HEATX_REPORT_DIR")));
    EXPECT_TRUE(messages_[0].text.contains(QStringLiteral("путь проходит через файл")));
    EXPECT_FALSE(messages_[0].text.contains(QStringLiteral("не потеряны")));
    EXPECT_TRUE(printer.LastDestination().isEmpty());

    qputenv("HEATX_REPORT_DIR", good.toUtf8());
    printer.SetApparatus(QStringLiteral("холодильник"));
    PrintBlock(printer, Block("холодильник", 1));
    End(printer);
    EXPECT_EQ(QString::fromUtf8(Read(Reports(kHeaterStem + ".txt"))), Text(Block("подогреватель", 1)));
    EXPECT_EQ(QString::fromUtf8(Read(Reports("Отчёт_холодильник_2026-12-07_14-05-33.txt"))),
              Text(Block("холодильник", 1)));
    EXPECT_EQ(Files(Reports()).size(), 4);
}

// The chosen folder never works: at the end of the program the report goes
// to the home folder, and the message names the exact files.
TEST_F(ReportPrinterTest, AtTheEndAnUnwritableFolderFallsBackToHomeThenTemporary) {
    qputenv("HEATX_REPORT_DIR", Unwritable(QStringLiteral("file")).toUtf8());
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("подогреватель"));
    PrintBlock(printer, Block("а", 1));
    printer.EndSession();  // one message, the true one
    const QString home = dir_.filePath(QStringLiteral("home"));
    EXPECT_EQ(Files(home), QStringList({kHeaterStem + ".pdf", kHeaterStem + ".txt"}));
    EXPECT_EQ(QString::fromUtf8(Read(home + "/" + kHeaterStem + ".txt")), Text(Block("а", 1)));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0].title, QStringLiteral("ОТЧЁТ СОХРАНЁН"));
    EXPECT_TRUE(messages_[0].text.contains(home + "/" + kHeaterStem + ".pdf"));
    EXPECT_TRUE(messages_[0].text.contains(dir_.filePath(QStringLiteral("file/reports"))));

    // Home cannot be written either: the system's temporary folder.
    qputenv("HOME", Unwritable(QStringLiteral("file2")).toUtf8());
    PrintBlock(printer, Block("б", 1));
    End(printer);  // kept
    printer.EndSession();
    const QString tmp = dir_.filePath(QStringLiteral("tmp"));
    EXPECT_EQ(QString::fromUtf8(Read(tmp + "/" + kHeaterStem + ".txt")), Text(Block("б", 1)));
    EXPECT_TRUE(WholePdf(Read(tmp + "/" + kHeaterStem + ".pdf")));
    EXPECT_TRUE(messages_.last().text.contains(tmp + "/" + kHeaterStem + ".pdf"));
    EXPECT_EQ(printer.KeptDocuments(), 0);
}

// No place at all: every disk is full (the file size limit refuses every
// byte). The message says plainly that the report is not saved and carries
// its text for copying; nothing claims it is safe, and no empty file is left.
TEST_F(ReportPrinterTest, WhenNoPlaceTakesTheReportItsTextIsShownForCopying) {
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("испаритель"));
    {
        FileSizeLimit full{1};
        PrintBlock(printer, Block("а", 1));
        End(printer);
        printer.EndSession();
    }
    ASSERT_EQ(messages_.size(), 2);
    EXPECT_FALSE(messages_[0].text.contains(QStringLiteral("не потеряны")));
    const Message& last = messages_[1];
    EXPECT_EQ(last.title, QStringLiteral("ОШИБКА !"));
    EXPECT_TRUE(last.text.contains(QStringLiteral("ОТЧЁТ НЕ СОХРАНЁН")));
    EXPECT_FALSE(last.text.contains(QStringLiteral("не потеряны")));
    for (const char* place : {"reports", "home", "tmp"})
        EXPECT_TRUE(last.text.contains(dir_.filePath(QString::fromLatin1(place)) + QStringLiteral(" — "))) << place;
    EXPECT_TRUE(last.text.contains(QStringLiteral("файл слишком велик")));
    EXPECT_EQ(last.details, Text(Block("а", 1)));
    for (const char* place : {"reports", "home", "tmp"})
        EXPECT_TRUE(Files(dir_.filePath(QString::fromLatin1(place))).isEmpty()) << place;
}

// Two programs in one computer class save into one shared folder in the same
// second, over and over: every report is kept, each PDF whole and beside its
// own text copy.
TEST_F(ReportPrinterTest, TwoProgramsSavingInTheSameSecondKeepEveryReport) {
    const QString folder = Reports();
    QFile go(dir_.filePath(QStringLiteral("go")));
    std::unique_ptr<QProcess> a(StartSaver(folder, "а", go.fileName()));
    std::unique_ptr<QProcess> b(StartSaver(folder, "б", go.fileName()));
    ASSERT_TRUE(a->waitForStarted() && b->waitForStarted());
    QThread::msleep(300);
    ASSERT_TRUE(go.open(QIODevice::WriteOnly));  // both start saving at once
    go.close();
    ASSERT_TRUE(a->waitForFinished(120000) && b->waitForFinished(120000));
    ASSERT_EQ(a->exitCode(), 0);
    ASSERT_EQ(b->exitCode(), 0);

    const QStringList files = Files(folder);
    ASSERT_EQ(files.size(), 2 * 2 * 10) << files.join(' ').toStdString();
    QSet<QString> reports;
    const bool haveText = !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
    for (const QString& name : files) {
        if (!name.endsWith(QStringLiteral(".txt"))) continue;
        const QString base = folder + "/" + name.chopped(4);
        const QString text = QString::fromUtf8(Read(base + ".txt"));
        reports.insert(text);
        const QByteArray pdf = Read(base + ".pdf");
        ASSERT_TRUE(WholePdf(pdf)) << name.toStdString();
        if (haveText) {
            // The PDF holds the same report as its text copy.
            QProcess toText;
            toText.start(QStringLiteral("pdftotext"), {base + ".pdf", QStringLiteral("-")});
            ASSERT_TRUE(toText.waitForFinished(30000));
            const QString first = text.section(QLatin1Char('\n'), 0, 0);
            EXPECT_TRUE(QString::fromUtf8(toText.readAllStandardOutput()).contains(first)) << name.toStdString();
        }
    }
    EXPECT_EQ(reports.size(), 20);  // no report lost, none written twice
}

// A crash, or a kill with a working printer, after two prints: the text copy
// holds both blocks.
TEST_F(ReportPrinterTest, ACrashOrKillAfterTwoPrintsLeavesBothBlocksOnDisk) {
    std::unique_ptr<servers::PrivateCupsd> cups;
    for (const char* task : {"crash", "kill"}) {
        const QString folder = Folder(QString::fromLatin1(task));
        if (QByteArray(task) == "kill") {
            cups = std::make_unique<servers::PrivateCupsd>();
            if (!cups->Error().isEmpty()) GTEST_SKIP() << "ПРОПУЩЕНО: " << cups->Error().toStdString();
            ASSERT_TRUE(cups->AddQueue(QStringLiteral("lab")) && cups->SetDefault(QStringLiteral("lab")));
            qputenv("CUPS_SERVER", cups->Server());
        }
        std::unique_ptr<QProcess> saver(StartSaver(folder, "а", QString::fromLatin1(task)));
        ASSERT_TRUE(saver->waitForFinished(60000));
        EXPECT_EQ(saver->exitStatus(), QProcess::CrashExit) << task;
        EXPECT_EQ(Files(folder), QStringList{kHeaterStem + ".txt"}) << task;
        EXPECT_EQ(QString::fromUtf8(Read(folder + "/" + kHeaterStem + ".txt")), Text(Block("а", 1) + Block("а", 2)))
            << task;
    }
}

// A text copy swapped for another file in the report folder before the end:
// the message never names the stranger's file as the copy, the report goes to
// the home folder, and the stranger's file is left alone.
TEST_F(ReportPrinterTest, ASwappedTextCopyIsNeverCalledTheCopy) {
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("подогреватель"));
    PrintBlock(printer, Block("а", 1));
    const QString txt = Reports(kHeaterStem + ".txt");
    EXPECT_EQ(printer.CopyPath(), txt);
    ASSERT_TRUE(WriteWholeFile(Reports("fake"), "подделка", AtomicFile::Mode::Replace));
    ASSERT_EQ(::rename(QFile::encodeName(Reports("fake")).constData(), QFile::encodeName(txt).constData()), 0);
    EXPECT_TRUE(printer.CopyPath().isEmpty());
    PrintBlock(printer, Block("а", 2));
    End(printer);
    EXPECT_EQ(Read(txt), QByteArray("подделка"));
    const QString home = dir_.filePath(QStringLiteral("home")) + "/" + kHeaterStem;
    EXPECT_EQ(QString::fromUtf8(Read(home + ".txt")), Text(Block("а", 1) + Block("а", 2)));
    EXPECT_TRUE(WholePdf(Read(home + ".pdf")));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].text.contains(home + ".pdf"));
    EXPECT_TRUE(messages_[0].text.contains(QStringLiteral("подменён")));
    EXPECT_FALSE(messages_[0].text.contains(QStringLiteral("копия — в файл\n") + txt));
}

// The end of a session as it really happens, after two prints: a logout's
// SIGTERM, a closed terminal's SIGHUP, Ctrl+C or the X server going away
// saves the whole report (the message has no screen then); a SIGKILL leaves
// the text copy. The next start makes the missing PDF and says in one
// message where every report is; a note whose text copy is gone, or stands
// swapped for another file, is dropped with a word, the other file untouched.
TEST_F(ReportPrinterTest, TheEndOfASessionSavesTheReportAndTheNextStartSaysWhere) {
    constexpr int kXServerGone = 0;
    // Without Xvfb the X server's end is not tried.
    const bool haveX = !QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty();
    const auto serve = [&](const QString& folder, int signal) {
        const QString ready = folder + QStringLiteral(".ready");
        qputenv("HEATX_READY", ready.toUtf8());
        QProcess xvfb;
        QString display;
        if (signal == kXServerGone) {
            xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                                QStringLiteral("0"), QStringLiteral("640x480x24"),
                                                QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            EXPECT_TRUE(xvfb.waitForReadyRead(30000));
            display = QLatin1Char(':') + QString::fromLatin1(xvfb.readLine().trimmed());
        }
        std::unique_ptr<QProcess> saver(StartSaver(folder, "а", QStringLiteral("serve"), nullptr, display));
        for (int i = 0; i < 3000 && !QFileInfo::exists(ready); ++i) QThread::msleep(10);
        EXPECT_TRUE(QFileInfo::exists(ready));
        if (signal == kXServerGone) {
            xvfb.terminate();
            EXPECT_TRUE(xvfb.waitForFinished(30000));
        } else {
            ::kill(pid_t(saver->processId()), signal);
        }
        EXPECT_TRUE(saver->waitForFinished(30000));
        if (signal == kXServerGone)  // the toolkit's own exit
            EXPECT_EQ(saver->exitCode(), 1);
        else  // it ends as killed, as the session expects
            EXPECT_EQ(saver->exitStatus(), QProcess::CrashExit);
        qunsetenv("HEATX_READY");
    };
    const QString whole = Text(Block("а", 1) + Block("а", 2));
    const QString notes = dir_.filePath(QStringLiteral("state/heatx"));
    QStringList pdfs;
    QList<int> ends = {SIGTERM, SIGHUP, SIGINT};
    if (haveX) ends.append(kXServerGone);
    for (int signal : ends) {
        SCOPED_TRACE(signal);
        const QString folder = Folder(QStringLiteral("signal%1").arg(signal));
        serve(folder, signal);
        EXPECT_EQ(QString::fromUtf8(Read(folder + "/" + kHeaterStem + ".txt")), whole);
        EXPECT_TRUE(WholePdf(Read(folder + "/" + kHeaterStem + ".pdf")));
        pdfs.append(folder + "/" + kHeaterStem + ".pdf");
    }
    const QString killed = Folder(QStringLiteral("killed"));
    const QString gone = Folder(QStringLiteral("gone"));
    const QString swapped = Folder(QStringLiteral("swapped"));
    for (const QString& folder : {killed, gone, swapped}) serve(folder, SIGKILL);
    EXPECT_EQ(Files(killed), QStringList{kHeaterStem + ".txt"});
    ASSERT_TRUE(QFile::remove(gone + "/" + kHeaterStem + ".txt"));
    const QString stranger = swapped + "/" + kHeaterStem + ".txt";
    // Made while the copy still exists and renamed over it, as a swap is
    // done: a file made after a removal may get the freed inode number.
    ASSERT_TRUE(WriteWholeFile(swapped + "/fake", "чужой", AtomicFile::Mode::Exclusive));
    ASSERT_EQ(::rename(QFile::encodeName(swapped + "/fake").constData(), QFile::encodeName(stranger).constData()), 0);
    EXPECT_EQ(QDir(notes).entryList(QDir::Files).size(), ends.size() + 3);

    QtReportPrinter::FinishLeftReports(
        [this](const QString& t, const QString& x, const QString& d) { messages_.append({t, x, d}); });
    EXPECT_TRUE(WholePdf(Read(killed + "/" + kHeaterStem + ".pdf")));
    EXPECT_EQ(QString::fromUtf8(Read(killed + "/" + kHeaterStem + ".txt")), whole);
    EXPECT_EQ(Read(stranger), QByteArray("чужой"));
    EXPECT_EQ(Files(swapped), QStringList{kHeaterStem + ".txt"});
    ASSERT_EQ(messages_.size(), 1);
    const QString& said = messages_[0].text;
    EXPECT_EQ(messages_[0].title, QStringLiteral("ОШИБКА !"));
    for (const QString& pdf : pdfs + QStringList{killed + "/" + kHeaterStem + ".pdf"})
        EXPECT_TRUE(said.contains(QStringLiteral("Отчёт сохранён в файл\n") + pdf)) << pdf.toStdString();
    EXPECT_TRUE(said.contains(gone + "/" + kHeaterStem + ".txt\nбольше нет"));
    EXPECT_TRUE(said.contains(stranger + QStringLiteral("\nтеперь другой файл")));
    EXPECT_TRUE(QDir(notes).entryList(QDir::Files).isEmpty());
    QtReportPrinter::FinishLeftReports([this](const QString&, const QString&, const QString&) { messages_.append(Message{}); });
    EXPECT_EQ(messages_.size(), 1);  // nothing left for a second start
}

// A kill after a block, its chart and another block: the PDF the next start
// makes has the chart's page, as the end of the document would have made it.
TEST_F(ReportPrinterTest, AChartAddedBeforeAKillHasItsPageInThePdfOfTheNextStart) {
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("подогреватель"));
    printer.SetFontSize(9);
    PrintBlock(printer, Block("а", 1));
    QString error;
    ASSERT_FALSE(printer.PrintPicture(Png(), "<svg/>", &error).isEmpty()) << error.toStdString();
    PrintBlock(printer, Block("а", 2));
    End(printer);
    const QByteArray whole = Read(Reports(kHeaterStem + ".pdf"));
    ASSERT_GT(Pages(whole), 1);  // the chart on a page of its own

    const QString folder = Folder(QStringLiteral("chart"));
    std::unique_ptr<QProcess> saver(StartSaver(folder, "а", QStringLiteral("chart")));
    ASSERT_TRUE(saver->waitForFinished(60000));
    EXPECT_EQ(saver->exitStatus(), QProcess::CrashExit);
    ASSERT_EQ(Files(folder).size(), 3);  // the text copy, the PNG and the SVG
    QtReportPrinter::FinishLeftReports([](const QString&, const QString&, const QString&) {});
    const QByteArray left = Read(folder + "/" + kHeaterStem + ".pdf");
    EXPECT_TRUE(WholePdf(left));
    EXPECT_EQ(Pages(left), Pages(whole));
}

// A saver killed at any moment while saving: under a final name there is
// either nothing or a whole file (a PDF with its end, a text copy of whole
// blocks); only hidden temporary files may be left.
TEST_F(ReportPrinterTest, ASaverKilledMidWriteLeavesNoPartialFileUnderAFinalName) {
    for (int round = 0; round < 4; ++round) {
        const QString folder = Folder(QStringLiteral("kill%1").arg(round));
        std::unique_ptr<QProcess> saver(StartSaver(folder, "а", QStringLiteral("forever")));
        ASSERT_TRUE(saver->waitForStarted());
        // Kill at a different moment each round, once some reports are out.
        for (int i = 0; i < 600 && Files(folder).size() < 4 + round; ++i) QThread::msleep(10);
        QThread::msleep(7 * round);
        saver->kill();
        ASSERT_TRUE(saver->waitForFinished(30000));
        int pdfs = 0;
        for (const QString& name : Files(folder)) {
            const QString path = folder + "/" + name;
            if (name.startsWith('.')) continue;  // a temporary, never a final name
            if (name.endsWith(QStringLiteral(".pdf"))) {
                ++pdfs;
                EXPECT_TRUE(WholePdf(Read(path))) << path.toStdString();
                continue;
            }
            const QStringList lines = QString::fromUtf8(Read(path)).split('\n', Qt::SkipEmptyParts);
            EXPECT_EQ(lines.size() % 5, 0) << path.toStdString();
            for (int j = 0; j < lines.size(); ++j)
                EXPECT_EQ(lines[j], Block("а", j / 5 + 1)[j % 5]) << path.toStdString();
        }
        EXPECT_GE(pdfs, 1);
    }
}

// A print server of the test's own with a working default queue and the
// troubles of a computer class: a queue that refuses jobs, a paused one, and
// one whose printer is switched off.
class PrintingTest : public ReportPrinterTest {
protected:
    void SetUp() override {
        ReportPrinterTest::SetUp();
        cups_ = std::make_unique<servers::PrivateCupsd>();
        if (!cups_->Error().isEmpty()) GTEST_SKIP() << "ПРОПУЩЕНО: " << cups_->Error().toStdString();
        for (const char* queue : {"lab", "refusing", "paused"}) ASSERT_TRUE(cups_->AddQueue(QString::fromLatin1(queue)));
        ASSERT_TRUE(cups_->AddQueue(QStringLiteral("unreachable"), QStringLiteral("socket://127.0.0.1:9")));
        ASSERT_TRUE(cups_->SetDefault(QStringLiteral("lab")));
        ASSERT_TRUE(cups_->Run(QStringLiteral("cupsreject"), {QStringLiteral("refusing")}));
        ASSERT_TRUE(cups_->Run(QStringLiteral("cupsdisable"), {QStringLiteral("paused")}));
        qputenv("CUPS_SERVER", cups_->Server());
    }
    void TearDown() override {
        cups_.reset();
        ReportPrinterTest::TearDown();
    }
    // A heater report of one student: two blocks, then the end of the document.
    QStringList PrintReport(QtReportPrinter& printer, const QString& student) {
        printer.SetApparatus(QStringLiteral("подогреватель"));
        printer.SetStudent(student);
        printer.SetFontName(QStringLiteral("Courier New Cyr"));
        printer.SetFontSize(9);
        const QStringList lines = Block(student, 1) + Block(student, 2);
        PrintBlock(printer, Block(student, 1));
        PrintBlock(printer, Block(student, 2));
        End(printer);
        return lines;
    }

    std::unique_ptr<servers::PrivateCupsd> cups_;
};

QStringList PdfTextLines(const QByteArray& pdf) {
    QProcess toText;
    toText.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-"), QStringLiteral("-")});
    toText.write(pdf);
    toText.closeWriteChannel();
    if (!toText.waitForFinished(30000)) return {};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(toText.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (!line.simplified().isEmpty()) lines.append(line.simplified());
    return lines;
}

// One job per document; what is printed is the PDF kept on disk, its text
// is that of the text copy, and the job says whose report it is.
TEST_F(PrintingTest, AWorkingQueuePrintsEachDocumentOnceAndKeepsTheSamePages) {
    QtReportPrinter printer = MakePrinter();
    const QStringList students = {QStringLiteral("Иванов И.И. гр. Х-10 "), QStringLiteral("Петров П.П. гр. Х-11 ")};
    QList<QStringList> reports;
    for (const QString& student : students) reports.append(PrintReport(printer, student));

    const QList<int> jobs = cups_->KeptJobs();
    ASSERT_EQ(jobs.size(), 2);
    const QStringList bases = {Reports(kHeaterStem), Reports(kHeaterStem + "_2")};
    ASSERT_EQ(messages_.size(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(students[i].toStdString());
        const QByteArray kept = Read(bases[i] + ".pdf");
        EXPECT_TRUE(WholePdf(kept));
        EXPECT_EQ(cups_->JobDocument(jobs[i]), kept);
        EXPECT_EQ(QString::fromUtf8(Read(bases[i] + ".txt")), Text(reports[i]));
        QStringList simplified;
        for (const QString& line : reports[i]) simplified.append(line.simplified());
        simplified.append(QStringLiteral("стр. 1 из 1"));  // the foot of the PDF's only page
        EXPECT_EQ(PdfTextLines(kept), simplified);
        EXPECT_TRUE(cups_->JobName(jobs[i]).contains(students[i].trimmed())) << cups_->JobName(jobs[i]).toStdString();
        EXPECT_TRUE(cups_->JobName(jobs[i]).startsWith(QStringLiteral("2026-12-07_14-05-33")));
        EXPECT_EQ(messages_[i].title, QStringLiteral("ПЕЧАТЬ ОТЧЁТА"));
        EXPECT_TRUE(messages_[i].text.startsWith(QStringLiteral("Отчёт напечатан на принтере «lab».")));
        EXPECT_TRUE(messages_[i].text.contains(bases[i] + ".pdf"));
        EXPECT_TRUE(messages_[i].text.contains(bases[i] + ".txt"));
    }
    EXPECT_NE(cups_->JobName(jobs[0]), cups_->JobName(jobs[1]));
}

// Whatever goes wrong with the printer, the report is on disk and the one
// message says what really happened; nothing claims a print that did not
// happen.
TEST_F(PrintingTest, EveryTroubleEndsWithTheReportOnDiskAndATrueMessage) {
    servers::SilentServer silent;
    ASSERT_TRUE(silent.Listening());
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* title;
        QString says;
    };
    const Case cases[] = {
        {"rejecting queue", [] { qputenv("LPDEST", "refusing"); }, "ОТЧЁТ НЕ НАПЕЧАТАН",
         QStringLiteral("Отчёт не напечатан на принтере «refusing»: очередь не принимает задания")},
        {"paused queue", [] { qputenv("LPDEST", "paused"); }, "ПЕЧАТЬ ОТЧЁТА",
         QStringLiteral("Отчёт стоит в очереди принтера «paused» и ещё не напечатан: принтер остановлен, "
                        "очередь приостановлена")},
        {"printer switched off", [] { qputenv("LPDEST", "unreachable"); }, "ПЕЧАТЬ ОТЧЁТА",
         QStringLiteral("Отчёт стоит в очереди принтера «unreachable» и ещё не напечатан: ")},
        {"default queue deleted", [] { qputenv("LPDEST", "gone"); }, "ОТЧЁТ НЕ НАПЕЧАТАН",
         QStringLiteral("Принтер не найден: принтера по умолчанию «gone» нет на сервере печати.")},
        {"server stopped", [this] { cups_->Stop(); }, "ОТЧЁТ СОХРАНЁН",
         QStringLiteral("Принтер не найден, поэтому отчёт сохранён в файл")},
        {"server never answers", [&] { qputenv("CUPS_SERVER", silent.Server()); }, "ОТЧЁТ НЕ НАПЕЧАТАН",
         QStringLiteral("Отчёт не напечатан: сервер печати не ответил за 3 с.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = Folder(QString::fromLatin1(c.name));
        qputenv("HEATX_REPORT_DIR", folder.toUtf8());
        messages_.clear();
        QtReportPrinter printer = MakePrinter();
        printer.SetApparatus(QStringLiteral("подогреватель"));
        printer.SetStudent(QStringLiteral("Иванов И.И. "));
        PrintBlock(printer, Block("а", 1));
        c.arrange();  // the trouble comes between the prints and the end of the document
        PrintBlock(printer, Block("а", 2));
        End(printer);
        EXPECT_EQ(QString::fromUtf8(Read(folder + "/" + kHeaterStem + ".txt")), Text(Block("а", 1) + Block("а", 2)));
        EXPECT_TRUE(WholePdf(Read(folder + "/" + kHeaterStem + ".pdf")));
        ASSERT_EQ(messages_.size(), 1);
        EXPECT_EQ(messages_[0].title, QString::fromUtf8(c.title));
        EXPECT_TRUE(messages_[0].text.startsWith(c.says)) << messages_[0].text.toStdString();
        EXPECT_FALSE(messages_[0].text.contains(QStringLiteral("Отчёт напечатан")));
        EXPECT_TRUE(messages_[0].text.contains(folder + "/" + kHeaterStem + ".pdf"));
        qunsetenv("LPDEST");
    }
    EXPECT_TRUE(cups_->KeptJobs().isEmpty());  // none of them reached paper
}

TEST(PagedTextPrinter, StartsANewPageWhenOneIsFullAndAfterEachReport) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("pages.pdf"));
    {
        QPdfWriter pdf(path);
        PagedTextPrinter pages(&pdf);
        pages.SetFontName(QStringLiteral("Courier New Cyr"));
        pages.SetFontSize(9);
        // A4 at 9 pt holds some 75 lines: 200 lines take three pages.
        for (int i = 0; i < 200; ++i) pages.PrintLine(QStringLiteral("строка %1").arg(i));
        pages.EndDocument();
        pages.PrintLine(QStringLiteral("следующий отчёт"));
        EXPECT_TRUE(pages.Finish());
        EXPECT_EQ(pages.LineCount(), 201);
    }
    const QByteArray bytes = Read(path);
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page "), 4);
}

// A heater report of twelve blocks whose head holds a typed value of 300
// characters, as the program paints it: every page holds whole blocks and its
// number at the foot, and the long value goes on over rows, whole.
TEST(PaintReportPdf, KeepsBlocksWholeNumbersThePagesAndWrapsALongLine) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) GTEST_SKIP() << "no pdftotext";
    CalcState s;
    FillHeaterCaptions(s);
    s.StudentLine = QStringLiteral("Петров П.п. ");
    const QStringList sheet = {"0.686", "932", "2171000", "0.000212", "0.5", "0.642",
                               "0.000549", "4180", "0.0005", "60", "5"};
    for (int i = 0; i < 11; ++i) StoreTypedLine(s.HeaterValueTexts[i], s.InputValues[i], sheet[i]);
    const QString longValue = QStringLiteral("2171000.") + QString(292, QLatin1Char('7'));
    StoreTypedLine(s.HeaterValueTexts[2], s.InputValues[2], longValue);
    const QStringList construction = {"0.025", "2", "3", "100"};
    for (int i = 0; i < 4; ++i) StoreTypedLine(s.HeaterValueTexts[12 + i], s.InputValues[12 + i], construction[i]);
    s.ResetPrintFlags();
    s.HeaterHorizontal = kSet;
    RecordingPrinter lines;
    for (int block = 0; block < 12; ++block) {
        HeaterModel(s);
        PrintHeaterRow(s, lines, [] { return QStringLiteral(" 07 декабря 2026г.        14:05:33"); });
        lines.EndBlock();
    }
    const QByteArray pdf = PaintReportPdf(QStringLiteral("Отчёт"), QStringLiteral("Courier New Cyr"), 9, lines.lines,
                                          lines.blockEnds);
    ASSERT_TRUE(WholePdf(pdf));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("отчёт.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size());
    file.close();
    QProcess toText;
    toText.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    ASSERT_TRUE(toText.waitForFinished(60000));
    QStringList pages = QString::fromUtf8(toText.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (pages.last().trimmed().isEmpty()) pages.removeLast();
    ASSERT_GE(pages.size(), 2);

    const auto count = [](const QStringList& rows, const QString& part) {
        return std::count_if(rows.begin(), rows.end(), [&](const QString& r) { return r.contains(part); });
    };
    qsizetype blocks = 0;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        QStringList rows = pages[p].split(QLatin1Char('\n'));
        while (!rows.isEmpty() && rows.last().trimmed().isEmpty()) rows.removeLast();
        ASSERT_FALSE(rows.isEmpty());
        EXPECT_EQ(rows.last().trimmed(), QStringLiteral("стр. %1 из %2").arg(p + 1).arg(pages.size()));
        // Each block whole on its page: its first line, its table head, its
        // values and both its rules.
        const qsizetype starts = count(rows, QStringLiteral("ТИП ТЕПЛООБМЕННИКА-"));
        EXPECT_EQ(count(rows, QStringLiteral("ОБЩЕЕ ЧИСЛО ТРУБ")), starts) << "page " << p + 1;
        EXPECT_EQ(count(rows, QStringLiteral("ТЕПЛОПЕРЕДАЧИ")), starts) << "page " << p + 1;
        EXPECT_EQ(count(rows, QString(86, QLatin1Char('_'))), 2 * starts) << "page " << p + 1;
        blocks += starts;
    }
    EXPECT_EQ(blocks, 12);
    // The value on its caption's row and the rows after it, up to the next line.
    const QStringList first = pages[0].split(QLatin1Char('\n'));
    const qsizetype at = std::find_if(first.begin(), first.end(),
                                      [](const QString& r) { return r.contains(QStringLiteral("УДЕЛЬНАЯ ТЕПЛОТА")); }) -
                         first.begin();
    ASSERT_LT(at, first.size());
    QString joined = first[at];
    for (qsizetype i = at + 1; i < first.size() && !first[i].contains(QStringLiteral("ВЯЗКОСТЬ")); ++i) joined += first[i];
    joined.remove(QLatin1Char(' '));
    EXPECT_TRUE(joined.endsWith(longValue)) << joined.toStdString();
}

// Inputs on which the report PDF fuzzer stopped (tests/fuzz/regressions):
// each is painted as one whole PDF. The first byte gives the font size as in
// the fuzzer, the rest the lines.
TEST(PaintReportPdf, FuzzerFindingsGiveWholePdfs) {
    const QDir dir(QStringLiteral(HEATX_FUZZ_REGRESSIONS));
    const QStringList inputs = dir.entryList({QStringLiteral("report_pdf_*")}, QDir::Files);
    ASSERT_FALSE(inputs.isEmpty());
    for (const QString& name : inputs) {
        const QByteArray input = Read(dir.filePath(name));
        ASSERT_GE(input.size(), 2);
        const double fontSize = (int(uchar(input[0])) - 32) / 4.0;
        const QStringList lines = QString::fromUtf8(input.mid(1)).split(QLatin1Char('\n'));
        const QByteArray pdf = PaintReportPdf(QStringLiteral("Отчёт"), QStringLiteral("Courier New Cyr"), fontSize, lines);
        EXPECT_TRUE(WholePdf(pdf)) << name.toStdString();
        const qsizetype pages = Pages(pdf);
        EXPECT_TRUE(pages >= 1 && pages <= lines.size()) << name.toStdString() << " pages " << pages;
    }
}

// The saver processes of the cases above, with a fixed clock so that every
// report asks for the same name:
//   wait-file  waits for that file, then saves ten documents of two blocks;
//   crash      prints two blocks, then aborts;
//   kill       prints two blocks, then is killed (SIGKILL);
//   chart      prints a block, its chart and a block, then is killed;
//   serve      prints two blocks, then waits in its event loop for the end
//              of the session (a signal), as the program does;
//   forever    saves documents of eight blocks until it is killed.
static int SaverMain(const QString& task, const QString& who) {
    QtReportPrinter printer([](const QString&, const QString&, const QString&) {}, [] { return kMoment; });
    printer.SetApparatus(QStringLiteral("подогреватель"));
    printer.SetFontSize(9);
    if (task == QStringLiteral("crash") || task == QStringLiteral("kill")) {
        PrintBlock(printer, Block(who, 1));
        PrintBlock(printer, Block(who, 2));
        if (task == QStringLiteral("kill")) std::raise(SIGKILL);
        std::abort();
    }
    if (task == QStringLiteral("chart")) {
        PrintBlock(printer, Block(who, 1));
        QString error;
        if (printer.PrintPicture(Png(), "<svg/>", &error).isEmpty()) return 5;
        PrintBlock(printer, Block(who, 2));
        std::raise(SIGKILL);
    }
    if (task == QStringLiteral("serve")) {
        // As the program in a session: the end of the session saves the report.
        const SessionEnd end([&](int) {
            printer.SetQuiet(true);
            printer.EndSession();
            return true;
        });
        PrintBlock(printer, Block(who, 1));
        PrintBlock(printer, Block(who, 2));
        QFile ready(QString::fromLocal8Bit(qgetenv("HEATX_READY")));
        if (!ready.open(QIODevice::WriteOnly)) return 4;
        ready.close();
        return QCoreApplication::exec();
    }
    if (task == QStringLiteral("forever")) {
        for (;;) {
            for (int n = 1; n <= 8; ++n) PrintBlock(printer, Block(who, n));
            End(printer);
        }
    }
    while (!QFileInfo::exists(task)) QThread::msleep(1);
    for (int k = 0; k < 10; ++k) {
        PrintBlock(printer, Block(QStringLiteral("%1 документ %2").arg(who).arg(k), 1));
        PrintBlock(printer, Block(QStringLiteral("%1 документ %2").arg(who).arg(k), 2));
        End(printer);
        if (printer.LastDestination().isEmpty()) return 3;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM") != "xcb") qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--saver")
        return SaverMain(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
