#include "RunProgram.h"

#include <QProcess>
#include <QtGlobal>

ProgramRun runProgram(const QString &program, const QStringList &arguments, const RunSetup &setup)
{
    QProcess process;
    process.setProcessEnvironment(setup.environment);
    process.setWorkingDirectory(setup.folder);
    process.setProcessChannelMode(setup.errorsApart ? QProcess::SeparateChannels : QProcess::MergedChannels);
    if (!setup.inputOpen)
        process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    ProgramRun run;
    const bool finished = process.waitForStarted() && process.waitForFinished(setup.limitMs);
    if (!finished && process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
    if (finished && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    if (setup.errorsApart)
        run.errors = process.readAllStandardError();
    return run;
}

QString builtProgram(const QString &name)
{
    return qEnvironmentVariable("VIDOMAR_BIN_DIR") + QLatin1Char('/') + name;
}

QProcessEnvironment userEnvironment(const QString &configFolder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("VIDOMAR_FFMPEG"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    return environment;
}
