#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// A program run to its end: its exit code (-1 when it did not start, crashed or outlived the
// limit) and its merged output.
struct Run {
    int exitCode = -1;
    QByteArray output;
};

inline Run run(const QString &program, const QStringList &args,
               const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(), int limitMs = 300000)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, args);
    if (!process.waitForStarted() || !process.waitForFinished(limitMs))
        return {-1, process.readAll()};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAll()};
}
