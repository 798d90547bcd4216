#pragma once

#include <QStringList>

// The program's command-line mode, for scripts, batches, tests and benchmarks.
namespace CommandLineMode {

// Bad usage: nothing was converted.
constexpr int ExitUsage = 2;

// True when the arguments ask for the command-line mode rather than the window.
bool wanted(const QStringList &arguments);

// Runs it on the current QCoreApplication and returns the exit status.
int run(const QStringList &arguments);

} // namespace CommandLineMode
