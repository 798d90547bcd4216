#include "engine/CommandLine.h"

#include <algorithm>

namespace CommandLine {

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

} // namespace

QString quote(const QString &argument)
{
    QString out;
    out.reserve(argument.size() + 2);
    out += QLatin1Char('"');
    int backslashes = 0;
    for (QChar c : argument) {
        if (c == QLatin1Char('\\')) {
            ++backslashes;
            continue;
        }
        if (c == QLatin1Char('"')) {
            // Backslashes before a quote are doubled, and the quote itself escaped.
            out += QString(backslashes * 2 + 1, QLatin1Char('\\'));
            out += QLatin1Char('"');
        } else {
            out += QString(backslashes, QLatin1Char('\\'));
            out += c;
        }
        backslashes = 0;
    }
    // Backslashes before the closing quote are doubled so that it still closes.
    out += QString(backslashes * 2, QLatin1Char('\\'));
    out += QLatin1Char('"');
    return out;
}

QString quoteIfNeeded(const QString &argument)
{
    const bool needs = argument.isEmpty()
        || std::any_of(argument.begin(), argument.end(), [](QChar c) {
               return isBlank(c) || c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('"');
           });
    return needs ? quote(argument) : argument;
}

QString joinCommandLine(const QStringList &arguments)
{
    QStringList quoted;
    quoted.reserve(arguments.size());
    for (const QString &argument : arguments)
        quoted << quoteIfNeeded(argument);
    return quoted.join(QLatin1Char(' '));
}

QStringList splitCommandLine(const QString &commandLine)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool inQuotes = false;
    const qsizetype n = commandLine.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = commandLine.at(i);
        if (c == QLatin1Char('\\')) {
            qsizetype run = 0;
            while (i + run < n && commandLine.at(i + run) == QLatin1Char('\\'))
                ++run;
            inArgument = true;
            if (i + run < n && commandLine.at(i + run) == QLatin1Char('"')) {
                current += QString(run / 2, QLatin1Char('\\'));
                if (run % 2 == 1) {
                    current += QLatin1Char('"');
                    i += run; // the escaped quote is consumed
                } else {
                    i += run - 1; // the quote is handled by the next turn
                }
            } else {
                current += QString(run, QLatin1Char('\\'));
                i += run - 1;
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
            inArgument = true;
        } else if (isBlank(c) && !inQuotes) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;
    return arguments;
}

} // namespace CommandLine
