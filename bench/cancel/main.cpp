// Conversions cancelled mid-run with CancelConvert, with the real adapter and ffmpeg: each must
// leave no adapter or ffmpeg running, no partial output, and the earlier destination as it was.
//
// Usage: bench_cancel BIN_DIR [RUNS] [CLIP_SECONDS] [PRESET] [--whole-system]
//   BIN_DIR holds avformat.dll; defaults 50 runs on a 120 s clip with "Sony PSP (PSP AVC)". The
//   job polls every SizeRatio x 300 ms (2.1 s here) and ffmpeg may convert ten times faster than
//   real time, so the clip is long enough to be still converting at the later polls.
//   --whole-system: also no process named "avformat.dll" or ffmpeg anywhere afterwards (run it
//   in a process namespace of its own, as bench/cancel/run does, so that only its own count).
// Prints one line per run and a summary; exit status 1 unless every run was clean.

#include "CancelledConversion.h"
#include "Clip.h"
#include "workflow/Presets.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

qint64 median(QList<qint64> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

QString pids(const QList<pid_t> &list)
{
    QStringList texts;
    for (pid_t pid : list)
        texts << QString::number(pid);
    return texts.isEmpty() ? QStringLiteral("-") : texts.join(u',');
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    const bool wholeSystem = arguments.removeAll(QStringLiteral("--whole-system")) > 0;
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: bench_cancel BIN_DIR [RUNS] [CLIP_SECONDS] [PRESET] [--whole-system]\n");
        return 2;
    }
    const QString bin = arguments.at(1);
    const int runs = arguments.size() > 2 ? arguments.at(2).toInt() : 50;
    const int clipSeconds = arguments.size() > 3 ? arguments.at(3).toInt() : 120;
    const QString preset = arguments.size() > 4 ? arguments.at(4) : QStringLiteral("Sony PSP (PSP AVC)");
    // The adapter runs the system's ffmpeg, whatever a test may have set.
    qunsetenv("VIDOMAR_FFMPEG");

    QTemporaryDir work;
    const QString clip = work.filePath(QStringLiteral("clip.avi"));
    if (const QString problem = makeClip(clip, {.seconds = clipSeconds}); !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 2;
    }
    QDir(work.path()).mkdir(QStringLiteral("out"));
    const QString destination = work.filePath(QStringLiteral("out/converted") + FormatExtension(preset));

    std::printf("cancelling %d conversions of a %d s clip with \"%s\"%s\n", runs, clipSeconds, qPrintable(preset),
                wholeSystem ? ", checking every process" : "");
    std::printf("%4s %6s %6s %9s %9s %8s %-13s %-9s %-9s %5s %6s  %s\n", "run", "at %", "seen %", "start ms",
                "cancel ms", "end ms", "encoders", "survivors", "named", "stray", "intact", "result");
    int clean = 0;
    int finishedFirst = 0;
    int survivors = 0;
    int namedLeft = 0;
    int stray = 0;
    int damaged = 0;
    QList<qint64> cancelTimes;
    QList<qint64> endTimes;
    for (int run = 1; run <= runs; ++run) {
        // The earlier destination: different content every run.
        QFile earlier(destination);
        if (!earlier.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 2;
        QByteArray content(65536, Qt::Uninitialized);
        for (char &byte : content)
            byte = char(QRandomGenerator::global()->bounded(256));
        earlier.write(content);
        earlier.close();

        CancelledConversion::Request request;
        request.programFolder = bin;
        request.preset = preset;
        request.source = clip;
        request.destination = destination;
        // Spread the cancels over the encoder's work up to where the job's polls still come
        // before its end.
        request.cancelAtPercent = 2 + (run * 7) % 37;
        request.wholeSystem = wholeSystem;
        const CancelledConversion::Outcome outcome = CancelledConversion::run(request);

        clean += outcome.clean() ? 1 : 0;
        // A conversion that ended before its cancel point rightly replaced the destination.
        finishedFirst += outcome.midRun ? 0 : 1;
        survivors += int(outcome.survivors.size());
        namedLeft += int(outcome.namedLeft.size());
        stray += int(outcome.strayFiles.size());
        damaged += outcome.midRun && !outcome.destinationIntact ? 1 : 0;
        cancelTimes << outcome.msInCancelConvert;
        endTimes << outcome.msToEnd;
        QString result = outcome.clean() ? QStringLiteral("clean") : QStringLiteral("NOT CLEAN");
        if (!outcome.error.isEmpty())
            result += QStringLiteral(": ") + outcome.error;
        if (!outcome.strayFiles.isEmpty())
            result += QStringLiteral(" stray: ") + outcome.strayFiles.join(u' ');
        std::printf("%4d %6d %6d %9lld %9lld %8lld %-13s %-9s %-9s %5lld %6s  %s\n", run, request.cancelAtPercent,
                    outcome.percentAtCancel, outcome.msToCancel, outcome.msInCancelConvert, outcome.msToEnd,
                    qPrintable(pids(outcome.encoderProcesses)), qPrintable(pids(outcome.survivors)),
                    qPrintable(pids(outcome.namedLeft)), qint64(outcome.strayFiles.size()),
                    outcome.destinationIntact ? "yes" : "NO", qPrintable(result));
        std::fflush(stdout);
    }
    std::printf("cancelled mid-run: %d of %d runs (%d not under way at the cancel point), %d clean; processes "
                "left: %d (by name: %d); stray files: %d; damaged destinations: %d\n",
                runs - finishedFirst, runs, finishedFirst, clean, survivors, namedLeft, stray, damaged);
    std::printf("CancelConvert: median %lld ms, max %lld ms; cancel to the job's end: median %lld ms, max %lld ms\n",
                median(cancelTimes), *std::max_element(cancelTimes.begin(), cancelTimes.end()), median(endTimes),
                *std::max_element(endTimes.begin(), endTimes.end()));
    return clean == runs ? 0 : 1;
}
