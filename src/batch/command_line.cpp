// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/command_line.h"

#include "platform/safe_output.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace heatx::batch {

Option Flag(QStringList names, std::function<void()> set) {
    Option o;
    o.names = std::move(names);
    o.set = std::move(set);
    return o;
}

Option Valued(QStringList names, QString missing, std::function<QString(const QString&)> apply, bool emptyAllowed) {
    Option o;
    o.names = std::move(names);
    o.apply = std::move(apply);
    o.missing = std::move(missing);
    o.emptyAllowed = emptyAllowed;
    return o;
}

Parsed ParseCommandLine(const QStringList& args, const std::vector<Option>& options,
                        const std::function<QString(const QString&)>& positional, QString* error) {
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) return Parsed::Help;
        QString refusal;
        if (!arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            refusal = positional(arg);
        } else {
            const auto option = std::find_if(options.begin(), options.end(),
                                             [&arg](const Option& o) { return o.names.contains(arg); });
            if (option == options.end()) {
                refusal = QStringLiteral("неизвестный ключ %1").arg(arg);
            } else if (option->set) {
                option->set();
            } else if (i + 1 >= args.size() || (args[i + 1].isEmpty() && !option->emptyAllowed)) {
                refusal = option->missing;
            } else {
                refusal = option->apply(args[++i]);
            }
        }
        if (!refusal.isEmpty()) {
            *error = refusal;
            return Parsed::Error;
        }
    }
    return Parsed::Run;
}

QStringList Arguments(int argc, char** argv, int first) {
    QStringList args;
    for (int i = first; i < argc; ++i) args.append(QString::fromLocal8Bit(argv[i]));
    return args;
}

void CommandVoice::Tell(const QString& text) const {
    const QByteArray line = name_.toUtf8() + ": " + text.toUtf8() + '\n';
    WriteAllToFd(STDERR_FILENO, line.constData(), std::size_t(line.size()));
}

int CommandVoice::Usage(const QString& text) const {
    Tell(text + QStringLiteral("\nСправка: ") + helpCall_);
    return kExitUsage;
}

int CommandVoice::Help(const char* text) const {
    if (WriteAllToFd(STDOUT_FILENO, text, std::strlen(text))) return kExitDone;
    Tell(QStringLiteral("не удаётся записать стандартный вывод: %1").arg(SystemErrorText(errno)));
    return kExitOutputFailed;
}

std::optional<int> CommandVoice::EndBeforeRun(Parsed parsed, const char* help, const QString& error) const {
    switch (parsed) {
    case Parsed::Help: return Help(help);
    case Parsed::Error: return Usage(error);
    case Parsed::Run: break;
    }
    return std::nullopt;
}

QLocale EnvironmentLocale() {
    for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        QString locale = QString::fromLocal8Bit(value);
        const qsizetype dot = locale.indexOf(QLatin1Char('.'));
        if (dot >= 0) locale.truncate(dot);
        const qsizetype at = locale.indexOf(QLatin1Char('@'));
        if (at >= 0) locale.truncate(at);
        if (locale == QLatin1String("C") || locale == QLatin1String("POSIX")) return QLocale::c();
        return QLocale(locale);
    }
    return QLocale::c();
}

QChar DecimalMarkOf(const QLocale& locale) {
    const QString mark = locale.decimalPoint();
    return mark.isEmpty() ? QLatin1Char('.') : mark[0];
}

}  // namespace heatx::batch
