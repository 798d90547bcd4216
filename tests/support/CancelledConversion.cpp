#include "CancelledConversion.h"

#include "FileContent.h"
#include "ProcessTree.h"
#include "engine/AVC.h"
#include "engine/ProgressMeter.h"
#include "workflow/Presets.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

namespace CancelledConversion {

Outcome run(const Request &request)
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
    outcome.encoderProcesses = ProcessTree::below(ProcessTree::self());
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
        if (!ProcessTree::isGone(pid))
            outcome.survivors << pid;
    }
    if (request.wholeSystem) {
        for (const char *name : {"avformat.dll", "ffmpeg"})
            outcome.namedLeft << ProcessTree::processesNamed(name);
    }
    for (const QString &entry : folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry != destinationName)
            outcome.strayFiles << entry;
    }
    outcome.destinationIntact = contentOf(request.destination) == earlier;
    return outcome;
}

} // namespace CancelledConversion
