// SPDX-License-Identifier: GPL-3.0-or-later
// A platform for window tests: input boxes and yes/no boxes are answered
// from queues, beeps are counted and printed lines recorded. A box that finds
// its queue empty is noted in `exhausted` (the test fails on it) and answered
// with the empty text or "Нет", which always leads the program to an end, so
// a test that runs out of answers fails and never waits for a person.
#pragma once

#include "platform/platform.h"
#include "state/calc_state.h"

#include <QList>
#include <QStringList>

namespace heatx {

struct AskedBox {
    QString prompt;
    QString title;
    int x = 0;
    int y = 0;
};

class ScriptedPlatform : public Platform {
public:
    QString InputBox(const QString& prompt, const QString& title, int xTwips, int yTwips) override {
        inputBoxes.append({prompt, title, xTwips, yTwips});
        if (inputAnswers.isEmpty()) {
            exhausted.append(QStringLiteral("input box \"%1\": %2").arg(title, prompt.trimmed()));
            return QString();
        }
        return inputAnswers.takeFirst();
    }
    int YesNoBox(const QString& title, const QString& text) override {
        yesNoBoxes.append({text, title, 0, 0});
        if (yesNoAnswers.isEmpty()) {
            exhausted.append(QStringLiteral("yes/no box \"%1\": %2").arg(title, text));
            return kAnswerNo;
        }
        return yesNoAnswers.takeFirst();
    }
    void Beep() override { ++beeps; }
    Printer& ReportPrinter() override { return printer; }
    void SetReportApparatus(const QString& word) override { apparatus = word; }
    QDateTime Now() override { return now; }
    QLocale Locale() override { return QLocale(QLocale::Russian, QLocale::Russia); }
    QString ProgramFolder() override { return folder; }
    QSize ScreenSizeTwips() override { return QSize(19200, 15360); }

    void Answer(const QStringList& answers) { inputAnswers += answers; }

    QStringList inputAnswers;
    QList<int> yesNoAnswers;
    QList<AskedBox> inputBoxes;
    QList<AskedBox> yesNoBoxes;  // prompt holds the text
    QStringList exhausted;
    int beeps = 0;
    RecordingPrinter printer;
    QString apparatus;
    QString folder;
    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 33));
};

}  // namespace heatx
