#pragma once

#include <QString>
#include <QStringList>

// The encoder's command line is one string, built and split by the classic Windows rules
// (blank-separated; double quotes group; backslashes are literal unless they precede a quote).
// Splitting is the exact inverse of quoting: splitCommandLine(joinCommandLine(args)) == args for
// any strings. No shell ever sees the line.
namespace CommandLine {

// Always quoted: "text", with quotes and the backslashes before them escaped. An ordinary path
// (no quote, no trailing backslash) comes out as itself between two quotes.
QString quote(const QString &argument);

// Quoted only when it must be: empty, or holding a blank, tab, newline or quote.
QString quoteIfNeeded(const QString &argument);

// Arguments joined by single spaces, each quoted only when it must be.
QString joinCommandLine(const QStringList &arguments);

// The argument list of a command line; the first element is the program.
QStringList splitCommandLine(const QString &commandLine);

} // namespace CommandLine
