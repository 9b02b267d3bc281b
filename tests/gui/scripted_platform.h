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
#include <functional>

namespace heatx {

// A switch of the keyboard layout, with the number of input boxes asked
// before it.
struct LayoutSwitch {
    KeyboardLayout layout;
    qsizetype boxesBefore;
};

struct AskedBox {
    QString prompt;
    QString title;
    int x = 0;
    int y = 0;
};

// Records the printed lines; onEnd, when set, runs as a document ends (the
// moment the real printer tells the student where the report went).
class WatchedPrinter : public RecordingPrinter {
public:
    void EndDocument() override {
        if (onEnd) onEnd();
        RecordingPrinter::EndDocument();
    }
    QString CopyPath() const override { return copyPath; }
    std::function<void()> onEnd;
    QString copyPath;  // what the printer tells as its text copy
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
    void ActivateKeyboardLayout(KeyboardLayout layout) override {
        layoutSwitches.append({layout, inputBoxes.size()});
    }
    void Beep() override { ++beeps; }
    Printer& ReportPrinter() override { return reportPrinter ? *reportPrinter : printer; }
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
    QList<LayoutSwitch> layoutSwitches;
    QStringList exhausted;
    int beeps = 0;
    WatchedPrinter printer;
    Printer* reportPrinter = nullptr;  // another printer instead of `printer`, when set
    QString apparatus;
    QString folder;
    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 33));
};

}  // namespace heatx
