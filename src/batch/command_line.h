// SPDX-License-Identifier: GPL-3.0-or-later
// How heatx-batch and its commands read their arguments and speak to the
// teacher: one table of options per command read by one loop, messages on
// standard error under the command's name, the usage error with the call of
// its help, and the exit statuses.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace heatx::batch {

// Exit statuses of the tool.
inline constexpr int kExitDone = 0;
inline constexpr int kExitOutputFailed = 1;  // an output could not be written (check: not all well)
inline constexpr int kExitUsage = 2;         // a usage error or an input that cannot be read

// One option of a command: a flag (set), or an option with a value (apply,
// which takes the next argument and returns an error text, empty when the
// value is accepted).
struct Option {
    QStringList names;
    std::function<void()> set;
    std::function<QString(const QString& value)> apply;
    QString missing;            // the error when no value follows
    bool emptyAllowed = false;  // else an empty value is missing too
};

Option Flag(QStringList names, std::function<void()> set);
Option Valued(QStringList names, QString missing, std::function<QString(const QString&)> apply,
              bool emptyAllowed = false);

enum class Parsed { Run, Help, Error };

// Reads the arguments in order: --help or -h gives Help at once; a word that
// begins with - (other than - alone) must name one of the options; any other
// word goes to positional, which returns an error text, empty when the word
// is accepted. The first error ends the reading (*error says it).
Parsed ParseCommandLine(const QStringList& args, const std::vector<Option>& options,
                        const std::function<QString(const QString&)>& positional, QString* error);

// The arguments after the program name or the command word.
QStringList Arguments(int argc, char** argv, int first);

// The messages of one command on standard error.
class CommandVoice {
public:
    // name as the messages begin ("heatx-batch check"), helpCall as the usage
    // error ends ("heatx-batch check --help").
    CommandVoice(QString name, QString helpCall) : name_(std::move(name)), helpCall_(std::move(helpCall)) {}
    // "name: text".
    void Tell(const QString& text) const;
    // The usage error followed by the call of the help; kExitUsage.
    int Usage(const QString& text) const;
    // The help on standard output: kExitDone, or kExitOutputFailed with the
    // reason when standard output refuses it.
    int Help(const char* text) const;
    // After the arguments are read: the exit status when the command ends
    // there (Help: the help text; Error: the usage error), none when it runs.
    std::optional<int> EndBeforeRun(Parsed parsed, const char* help, const QString& error) const;

private:
    QString name_;
    QString helpCall_;
};

// Locale named by LC_ALL, LC_NUMERIC or LANG (the first that is set), for the
// decimal mark and the date formats of reports.
QLocale EnvironmentLocale();

// The decimal mark a locale prints numbers with (a point when it gives none).
QChar DecimalMarkOf(const QLocale& locale);

}  // namespace heatx::batch
