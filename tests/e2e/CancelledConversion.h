#pragma once

#include "engine/AVC.h"
#include "engine/ProgressMeter.h"
#include "workflow/Presets.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <sys/types.h>

// One conversion through the job with the real adapter and ffmpeg, cancelled with CancelConvert
// once the encoder has written part of its output, and what the cancellation left behind. Shared
// by the end-to-end test and the cancellation benchmark.
namespace CancelledConversion {

struct Request {
    QString programFolder;   // holds "avformat.dll"
    QString preset;
    QString source;          // long enough that the encoder is still at work when cancelled
    QString destination;     // alone in its folder, holding earlier content
    int cancelAtPercent = 10; // the measured progress at which to cancel
    // Also look for processes named "avformat.dll" or ffmpeg anywhere, not only for those this
    // conversion started: only meaningful where nothing else converts (a process namespace of
    // our own).
    bool wholeSystem = false;
};

struct Outcome {
    bool midRun = false;            // cancelled while the encoder was at work
    bool cancelReported = false;    // the job ended with Cancelled, not Complete or Failed
    int percentAtCancel = 0;
    qint64 msToCancel = 0;          // from ConvertMedia to the cancel
    qint64 msInCancelConvert = 0;   // CancelConvert's own time
    qint64 msToEnd = 0;             // from the cancel to the job's end event
    QList<pid_t> encoderProcesses;  // the adapter and its ffmpeg, as seen while converting
    QList<pid_t> survivors;         // of those, any still there after the end event
    QList<pid_t> namedLeft;         // wholeSystem: any process named "avformat.dll" or ffmpeg left
    QStringList strayFiles;         // anything beside the destination afterwards
    bool destinationIntact = false;
    QString error;                  // what went wrong before the cancel, if anything
    QString endMessage;             // a message of the job about the cancelled run (there should be none)

    bool clean() const
    {
        return error.isEmpty() && midRun && cancelReported && endMessage.isEmpty() && survivors.isEmpty()
            && namedLeft.isEmpty() && strayFiles.isEmpty() && destinationIntact;
    }
};

inline QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QList<pid_t> childrenOf(pid_t parent)
{
    QList<pid_t> children;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(parent);
    for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QByteArray &pid : contentOf(tasks + u'/' + task + QStringLiteral("/children")).split(' ')) {
            if (pid.trimmed().toInt() > 0)
                children << pid_t(pid.trimmed().toInt());
        }
    }
    return children;
}

// Gone, or a zombie nobody has collected yet.
inline bool isGone(pid_t pid)
{
    const QByteArray stat = contentOf(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype paren = stat.lastIndexOf(')');
    return stat.isEmpty() || (paren > 0 && stat.mid(paren + 2, 1) == "Z");
}

// Every process of the machine (of this process namespace) whose short name is this one.
inline QList<pid_t> processesNamed(const QByteArray &name)
{
    QList<pid_t> found;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const pid_t pid = pid_t(entry.toInt());
        if (pid > 0 && contentOf(QStringLiteral("/proc/%1/comm").arg(pid)).trimmed() == name && !isGone(pid))
            found << pid;
    }
    return found;
}

// This process's descendants, depth first.
inline QList<pid_t> descendants()
{
    QList<pid_t> found;
    QList<pid_t> open{pid_t(QCoreApplication::applicationPid())};
    while (!open.isEmpty()) {
        for (pid_t child : childrenOf(open.takeLast())) {
            found << child;
            open << child;
        }
    }
    return found;
}

inline Outcome run(const Request &request)
{
    Outcome outcome;
    const QDir folder = QFileInfo(request.destination).absoluteDir();
    const QString destinationName = QFileInfo(request.destination).fileName();
    const QByteArray earlier = contentOf(request.destination);

    QTimer timer1;
    AVC job(&timer1);
    job.setProgramFolder(request.programFolder);
    ProgressMeter meter;
    int percent = 0;
    bool ended = false;
    bool cancelled = false;
    QEventLoop loop;
    QObject::connect(&job, &AVC::DataOutput, &job, [&](const QString &text, qint64 fileSize) {
        percent = meter.feed(text, fileSize);
        if (!cancelled && percent >= request.cancelAtPercent && meter.time())
            loop.quit();
    });
    QObject::connect(&job, &AVC::ErrorEvent, &job, [&](const QString &message) {
        (cancelled ? outcome.endMessage : outcome.error) = message;
    });
    QObject::connect(&job, &AVC::Complete, &job, [&] {
        ended = true;
        loop.quit();
    });
    QObject::connect(&job, &AVC::Failed, &job, [&] {
        ended = true;
        loop.quit();
    });
    QObject::connect(&job, &AVC::Cancelled, &job, [&] {
        ended = true;
        outcome.cancelReported = true;
        loop.quit();
    });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);

    QElapsedTimer clock;
    clock.start();
    int ratio = 0;
    ConvertAVI(job, request.preset, request.source, request.destination, &ratio);
    meter.reset(ratio);
    limit.start(60000);
    if (!ended && job.encoderRunning())
        loop.exec();
    outcome.percentAtCancel = percent;
    outcome.msToCancel = clock.elapsed();
    outcome.encoderProcesses = descendants();
    outcome.midRun = !ended && job.encoderRunning() && percent >= request.cancelAtPercent
        && outcome.encoderProcesses.size() >= 2;
    if (!outcome.midRun && outcome.error.isEmpty())
        outcome.error = ended ? QStringLiteral("the conversion ended before the cancel (at %1%)").arg(percent)
                              : QStringLiteral("the encoder did not get under way");

    QElapsedTimer cancelClock;
    cancelClock.start();
    cancelled = true;
    job.CancelConvert();
    outcome.msInCancelConvert = cancelClock.elapsed();
    if (!ended) {
        limit.start(30000);
        loop.exec();
    }
    outcome.msToEnd = cancelClock.elapsed();
    if (!ended && outcome.error.isEmpty())
        outcome.error = QStringLiteral("the job never reported the end");

    for (pid_t pid : outcome.encoderProcesses) {
        if (!isGone(pid))
            outcome.survivors << pid;
    }
    if (request.wholeSystem) {
        for (const char *name : {"avformat.dll", "ffmpeg"})
            outcome.namedLeft << processesNamed(name);
    }
    for (const QString &entry : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry != destinationName)
            outcome.strayFiles << entry;
    }
    outcome.destinationIntact = contentOf(request.destination) == earlier;
    return outcome;
}

// Makes a clip of the given length (and frame size) from ffmpeg's generated sources; returns what
// went wrong, if anything.
inline QString makeClip(const QString &path, int seconds, const QString &size = QStringLiteral("640x480"))
{
    const QString duration = QString::number(seconds);
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-v", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                  "testsrc2=size=" + size + ":rate=25:duration=" + duration, "-f", "lavfi", "-i",
                  "sine=frequency=440:sample_rate=44100:duration=" + duration, "-ac", "2", "-c:v", "mpeg4",
                  "-q:v", "4", "-c:a", "pcm_s16le", path});
    if (!ffmpeg.waitForFinished(300000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0)
        return QStringLiteral("ffmpeg could not make the clip: ") + QString::fromLocal8Bit(ffmpeg.readAll());
    return QString();
}

} // namespace CancelledConversion
