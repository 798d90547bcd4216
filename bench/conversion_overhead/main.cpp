// One conversion through "vidomar --preset" against the same encoder command run directly,
// alternating, with a fake encoder that writes 2 MB of text in about 2 s. Prints the median ratio
// (target <= 1.05) and the largest gap of the job's event loop during a run (target < 20 ms).
#include "RunProgram.h"
#include "engine/AVC.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Runs = 5;

QProcessEnvironment fakeEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FAKE_TEXT"), QString(999, QLatin1Char('x')) + QLatin1Char('\n'));
    env.insert(QStringLiteral("FAKE_REPEAT"), QStringLiteral("2000"));
    env.insert(QStringLiteral("FAKE_DELAY_MS"), QStringLiteral("1"));
    return env;
}

qint64 timeRun(const QString &program, const QStringList &arguments, const QString &folder)
{
    QElapsedTimer clock;
    clock.start();
    const ProgramRun run = runProgram(program, arguments, {.environment = fakeEnvironment(), .folder = folder, .limitMs = -1});
    const qint64 nanoseconds = clock.nsecsElapsed();
    if (run.exitCode != 0)
        std::fprintf(stderr, "warning: %s exited with %d\n", qPrintable(program), run.exitCode);
    return nanoseconds;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Runs the job in this process with a 1 ms probe timer and returns the largest gap in ms.
qint64 largestLoopGap(const QString &folder, const QString &source)
{
    const QProcessEnvironment env = fakeEnvironment();
    for (const QString &key : env.keys())
        qputenv(key.toLocal8Bit().constData(), env.value(key).toLocal8Bit());
    QTimer timer1;
    AVC job(&timer1);
    job.setProgramFolder(folder);
    job.setSizeRatio(1);
    job.setSourceFile(source);
    job.setDestFile(folder + QLatin1String("/gap.wav"));
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 gap = 0;
    QTimer probe;
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        gap = std::max(gap, clock.elapsed() - last);
        last = clock.elapsed();
    });
    bool done = false;
    QObject::connect(&job, &AVC::Complete, [&] { done = true; });
    QObject::connect(&job, &AVC::Failed, [&] { done = true; });
    clock.start();
    probe.start();
    job.ConvertMedia(true);
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return gap;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString bin = QCoreApplication::applicationDirPath();
    QTemporaryDir dir;
    const QString folder = dir.path();
    if (!QFile::copy(bin + QLatin1String("/vidomar"), folder + QLatin1String("/vidomar"))
        || !QFile::copy(bin + QLatin1String("/fake_encoder"), folder + QLatin1String("/avformat.dll"))) {
        std::fprintf(stderr, "needs vidomar and fake_encoder in %s\n", qPrintable(bin));
        return 1;
    }
    const QString source = folder + QLatin1String("/in.avi");
    QFile sourceFile(source);
    if (!sourceFile.open(QIODevice::WriteOnly))
        return 1;
    sourceFile.write(QByteArray(20 * 1000 * 1000, 'v'));
    sourceFile.close();

    const QStringList viaProgram{QStringLiteral("--preset"), QStringLiteral("WAVE Sound (WAV)"), source};
    const QStringList direct{QStringLiteral("-i"), source, QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("wav"),
                             QStringLiteral("-acodec"), QStringLiteral("pcm_s16le"), QStringLiteral("-ab"), QStringLiteral("128"),
                             QStringLiteral("-ar"), QStringLiteral("41000"), QStringLiteral("-ac"), QStringLiteral("2"),
                             folder + QLatin1String("/in.wav")};
    QList<double> program;
    QList<double> encoder;
    for (int i = 0; i < Runs; ++i) {
        program << timeRun(folder + QLatin1String("/vidomar"), viaProgram, folder) / 1e6;
        encoder << timeRun(folder + QLatin1String("/avformat.dll"), direct, folder) / 1e6;
    }
    const double ratio = median(program) / median(encoder);
    std::printf("vidomar --preset: median %.1f ms; encoder alone: median %.1f ms; ratio %.3f (target <= 1.05)\n",
                median(program), median(encoder), ratio);
    const qint64 gap = largestLoopGap(folder, source);
    std::printf("largest event-loop gap during a run: %lld ms (target < 20 ms)\n", static_cast<long long>(gap));
    return 0;
}
