// SPDX-License-Identifier: GPL-3.0-or-later
// The printer of the windows program on a machine without a printer: the
// report is saved as a PDF and a text copy, and the student is told where.
#include "platform/paged_text_printer.h"
#include "platform/qt_report_printer.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace heatx;

namespace {

struct Message {
    QString title;
    QString text;
};

class ReportPrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a default printer is installed";
        ASSERT_TRUE(dir_.isValid());
        qputenv("HEATX_REPORT_DIR", dir_.path().toUtf8());
    }
    void TearDown() override { qunsetenv("HEATX_REPORT_DIR"); }

    QtReportPrinter MakePrinter() {
        return QtReportPrinter([this](const QString& t, const QString& x) { messages_.append({t, x}); },
                               [] { return QDateTime(QDate(2026, 12, 7), QTime(14, 5, 33)); });
    }
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir dir_;
    QList<Message> messages_;
};

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST_F(ReportPrinterTest, SavesPdfAndIdenticalTextCopyAndSaysWhere) {
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("подогреватель"));
    printer.SetFontName(QStringLiteral("Courier New Cyr"));
    printer.SetFontSize(9);
    const QStringList lines = {QStringLiteral("            Отчёт"), QString(), QStringLiteral("            |  2,50  |")};
    for (const QString& l : lines) printer.PrintLine(l);
    printer.EndDocument();

    EXPECT_EQ(Files(), QStringList({"Отчёт_подогреватель_2026-12-07_14-05-33.pdf",
                                    "Отчёт_подогреватель_2026-12-07_14-05-33.txt"}));
    EXPECT_TRUE(Read(dir_.filePath(QStringLiteral("Отчёт_подогреватель_2026-12-07_14-05-33.pdf"))).startsWith("%PDF"));
    EXPECT_EQ(QString::fromUtf8(Read(dir_.filePath(QStringLiteral("Отчёт_подогреватель_2026-12-07_14-05-33.txt")))),
              lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].text.contains(QStringLiteral("Отчёт_подогреватель_2026-12-07_14-05-33.pdf")));
    EXPECT_TRUE(printer.LastDestination().endsWith(QStringLiteral(".pdf")));
}

TEST_F(ReportPrinterTest, AnEmptyDocumentMakesNoFileAndAnExistingNameIsNeverOverwritten) {
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("холодильник"));
    printer.EndDocument();  // nothing printed
    EXPECT_TRUE(Files().isEmpty());
    EXPECT_TRUE(messages_.isEmpty());

    printer.PrintLine(QStringLiteral("первый"));
    printer.EndDocument();
    printer.EndDocument();  // ended twice: still one pair of files
    EXPECT_EQ(Files().size(), 2);
    printer.PrintLine(QStringLiteral("второй"));
    printer.EndDocument();  // the same second: a new name
    EXPECT_EQ(Files(), QStringList({"Отчёт_холодильник_2026-12-07_14-05-33.pdf",
                                    "Отчёт_холодильник_2026-12-07_14-05-33.txt",
                                    "Отчёт_холодильник_2026-12-07_14-05-33_2.pdf",
                                    "Отчёт_холодильник_2026-12-07_14-05-33_2.txt"}));
    EXPECT_EQ(Read(dir_.filePath(QStringLiteral("Отчёт_холодильник_2026-12-07_14-05-33.txt"))), QByteArray("первый\n"));
    EXPECT_EQ(Read(dir_.filePath(QStringLiteral("Отчёт_холодильник_2026-12-07_14-05-33_2.txt"))), QByteArray("второй\n"));
}

TEST_F(ReportPrinterTest, AFolderThatCannotBeWrittenIsReportedAndNothingIsLost) {
    // A folder below a plain file can never be created, even by root.
    QFile blocker(dir_.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("HEATX_REPORT_DIR", dir_.filePath(QStringLiteral("file/reports")).toUtf8());
    QtReportPrinter printer = MakePrinter();
    printer.SetApparatus(QStringLiteral("испаритель"));
    printer.PrintLine(QStringLiteral("строка"));
    printer.EndDocument();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_EQ(messages_[0].title, QStringLiteral("ОШИБКА !"));
    EXPECT_TRUE(messages_[0].text.contains(QStringLiteral("HEATX_REPORT_DIR")));
    EXPECT_TRUE(printer.LastDestination().isEmpty());

    // The folder becomes writable: the kept lines come out with the next document.
    qputenv("HEATX_REPORT_DIR", dir_.filePath(QStringLiteral("reports")).toUtf8());
    printer.PrintLine(QStringLiteral("ещё"));
    printer.EndDocument();
    EXPECT_EQ(Read(dir_.filePath(QStringLiteral("reports/Отчёт_испаритель_2026-12-07_14-05-33.txt"))),
              QByteArray("строка\nещё\n"));
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

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
