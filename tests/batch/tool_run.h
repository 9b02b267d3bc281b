// SPDX-License-Identifier: GPL-3.0-or-later
// Running the heatx-batch program as a teacher would, for the tool tests:
// its exit status, standard output and standard error, under a chosen
// locale, with the golden texts and the example files at hand.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
    QByteArray outBytes;  // standard output as written, for binary comparisons
};

// Runs heatx-batch with args, input on its standard input, LANG=lang and no
// LC_ALL/LC_NUMERIC; with stdoutFile its standard output goes to that file.
inline ToolRun RunTool(const QStringList& args, const QByteArray& input = {},
                       const QString& lang = QStringLiteral("C.UTF-8"), const QString& stdoutFile = {}) {
    QProcess process;
    if (!stdoutFile.isEmpty()) process.setStandardOutputFile(stdoutFile);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("LC_ALL"));
    env.remove(QStringLiteral("LC_NUMERIC"));
    env.insert(QStringLiteral("LANG"), lang);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(HEATX_BATCH), args);
    process.write(input);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(120000));
    const QByteArray out = process.readAllStandardOutput();
    return {process.exitCode(), QString::fromUtf8(out), QString::fromUtf8(process.readAllStandardError()), out};
}

inline QString Golden(const QString& name) {
    QFile file(QStringLiteral(HEATX_GOLDEN_DIR "/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(file.readAll());
}

inline QString Example(const QString& type) {
    return QStringLiteral(HEATX_EXAMPLES_DIR "/") + type + QStringLiteral(".csv");
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}
