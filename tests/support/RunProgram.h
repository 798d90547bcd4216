#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// How to run a program: its environment, its working folder, whether its error output is kept
// apart from its output, whether its input is a pipe left open (as a parent's that never writes)
// instead of an empty file, and how long it may take before it is killed.
struct RunSetup {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString folder;
    bool errorsApart = false;
    bool inputOpen = false;
    int limitMs = 300000;
};

// A program run to its end: its exit code (-1 when it did not start, crashed or outlived the
// limit), its output (with the error output, unless kept apart) and its error output.
struct ProgramRun {
    int exitCode = -1;
    QByteArray output;
    QByteArray errors;
};

// A program that outlives the limit is killed.
ProgramRun runProgram(const QString &program, const QStringList &arguments, const RunSetup &setup = {});

// A program built beside the tests: "vidomar", the adapter "avformat.dll", a tool.
QString builtProgram(const QString &name);

// The environment the program meets on a user's machine: the real ffmpeg, and the user's
// settings and presets under configFolder (none unless a test writes them), not the developer's.
QProcessEnvironment userEnvironment(const QString &configFolder);
