#include "workflow/ToolProcess.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>

namespace ToolProcess {

namespace {

thread_local const std::atomic<bool> *stopFlag = nullptr;

bool stopAsked()
{
    return stopFlag && stopFlag->load();
}

// The last line of what the tool said, as the most telling one.
QString lastLine(const QByteArray &errors)
{
    const QList<QByteArray> lines = errors.trimmed().split('\n');
    return lines.isEmpty() ? QString() : QString::fromLocal8Bit(lines.last().trimmed()).left(300);
}

} // namespace

QString Result::problem(const QString &tool) const
{
    if (stopped)
        return QStringLiteral("%1 was stopped").arg(tool);
    if (!started)
        return QStringLiteral("%1 could not be started; install the ffmpeg package").arg(tool);
    if (timedOut)
        return QStringLiteral("%1 took too long to read it").arg(tool);
    if (tooLarge)
        return QStringLiteral("%1 said more about it than can be read").arg(tool);
    if (exitCode != 0) {
        const QString line = lastLine(errors);
        return line.isEmpty() ? QStringLiteral("%1 failed (exit code %2)").arg(tool).arg(exitCode) : line;
    }
    return QString();
}

Result run(const QString &program, const QStringList &arguments, const Limits &limits)
{
    Result result;
    if (stopAsked()) {
        result.stopped = true;
        return result;
    }
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForStarted(limits.timeoutMs))
        return result;
    result.started = true;
    const QDeadlineTimer deadline(limits.timeoutMs);
    const auto take = [&] {
        result.output += process.readAllStandardOutput();
        result.errors += process.readAllStandardError();
        // What is said about errors may be cut; the answer may not.
        if (result.errors.size() > limits.maxOutput)
            result.errors = result.errors.right(limits.maxOutput);
        return result.output.size() <= limits.maxOutput;
    };
    while (process.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            result.timedOut = true;
            break;
        }
        if (stopAsked()) {
            result.stopped = true;
            break;
        }
        process.waitForReadyRead(int(std::min<qint64>(deadline.remainingTime(), 200)));
        if (!take()) {
            result.tooLarge = true;
            break;
        }
    }
    if (result.timedOut || result.tooLarge || result.stopped) {
        process.kill();
        process.waitForFinished(2000);
        return result;
    }
    if (!take()) {
        result.tooLarge = true;
        return result;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    return result;
}

StopWhen::StopWhen(const std::atomic<bool> *stop)
    : m_previous(stopFlag)
{
    stopFlag = stop;
}

StopWhen::~StopWhen()
{
    stopFlag = m_previous;
}

QString ffmpeg()
{
    const QString chosen = qEnvironmentVariable("VIDOMAR_FFMPEG");
    return chosen.isEmpty() ? QStringLiteral("ffmpeg") : chosen;
}

QString ffprobe()
{
    const QString chosen = qEnvironmentVariable("VIDOMAR_FFMPEG");
    if (chosen.contains(QLatin1Char('/'))) {
        const QFileInfo beside(QFileInfo(chosen).absolutePath() + QStringLiteral("/ffprobe"));
        if (beside.isFile() && beside.isExecutable())
            return beside.filePath();
    }
    return QStringLiteral("ffprobe");
}

} // namespace ToolProcess
