#include "app/CommandLineMode.h"

#include "app/BatchReport.h"
#include "app/CommandLinePlan.h"
#include "app/EstimateMode.h"
#include "app/HumanReport.h"
#include "app/JsonReport.h"
#include "app/PresetListing.h"
#include "app/StopSignals.h"
#include "workflow/FileNameBytes.h"
#include "workflow/ConversionQueue.h"
#include "workflow/Presets.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace CommandLineMode {

namespace {

constexpr int ExitFailed = 1;

// Makes the folder and the parents it lacks, by the name's bytes; the system's reason when it
// cannot.
std::optional<QString> makeFolder(const QString &folder)
{
    const QByteArray path = FileNameBytes::encode(folder);
    for (qsizetype end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path.at(end) != '/')
            continue;
        const QByteArray part = path.left(end);
        struct stat info {};
        if (::stat(part.constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                return QString::fromLocal8Bit(std::strerror(ENOTDIR));
            continue;
        }
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return QString::fromLocal8Bit(std::strerror(errno));
    }
    return std::nullopt;
}

// How many conversions run at once: the plan's number, or one per processor for 0.
int slotCount(int jobs)
{
    return jobs > 0 ? jobs : std::max(1, QThread::idealThreadCount());
}

// Converts the plan's items with its preset and tells the report about every event. The exit
// status: 0 when every conversion succeeded or was skipped, 1 when one failed, 128 + the signal
// when a stop signal cancelled the rest.
int convert(const CommandLinePlan &plan)
{
    if (!plan.outputFolder.isEmpty()) {
        if (const std::optional<QString> reason = makeFolder(plan.outputFolder)) {
            const QByteArray line = "vidomar: cannot create the folder " + FileNameBytes::encode(plan.outputFolder)
                + ": " + reason->toLocal8Bit() + '\n';
            std::fputs(line.constData(), stderr);
            return ExitFailed;
        }
    }
    std::unique_ptr<BatchReport> report;
    if (plan.json)
        report = std::make_unique<JsonReport>(plan, stdout, stderr);
    else
        report = std::make_unique<HumanReport>(plan, stderr, stdout, ::isatty(STDERR_FILENO) == 1);
    BatchReport &r = *report;

    ConversionQueue queue;
    queue.setSlotCount(slotCount(plan.jobs));
    queue.setSkipExisting(plan.noOverwrite);
    for (const ConversionItem &item : plan.items)
        queue.add(item.source, plan.preset, item.destination, plan.target);
    QObject::connect(&queue, &ConversionQueue::started, [&r](qsizetype item) { r.started(item); });
    QObject::connect(&queue, &ConversionQueue::progressed, [&r](qsizetype item, int percent, qint64 elapsedMs,
                                                                 std::optional<qint64> leftMs) {
        r.progressed(item, percent, elapsedMs, leftMs);
    });
    QObject::connect(&queue, &ConversionQueue::done, [&r](qsizetype item, qint64 elapsedMs, qint64 bytes, const QString &warning) {
        r.done(item, elapsedMs, bytes, warning);
    });
    QObject::connect(&queue, &ConversionQueue::planned, [&r](qsizetype item, const QString &setting, const QString &note) {
        r.planned(item, setting, note);
    });
    QObject::connect(&queue, &ConversionQueue::failed, [&r](qsizetype item, const QString &reason) { r.failed(item, reason); });
    QObject::connect(&queue, &ConversionQueue::cancelled, [&r](qsizetype item) { r.cancelled(item); });
    QObject::connect(&queue, &ConversionQueue::skipped, [&r](qsizetype item) { r.skipped(item); });

    int stopSignal = 0;
    int exitCode = 0;
    QObject::connect(&queue, &ConversionQueue::finished, [&] {
        exitCode = stopSignal != 0 ? 128 + stopSignal : queue.failures() > 0 ? ExitFailed : 0;
        QCoreApplication::exit(exitCode);
    });
    // A stop signal starts nothing more and cancels every running conversion; the program ends
    // once they have all ended.
    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, [&](int received) {
        if (stopSignal != 0 || queue.isFinished())
            return;
        stopSignal = received;
        const qsizetype running = queue.runningCount();
        if (running > 0)
            r.note(running == 1 ? QStringLiteral("cancelling the conversion")
                                : QStringLiteral("cancelling %1 conversions").arg(running));
        queue.resume();
        queue.cancelAll();
    });
    // Ctrl-Z: the encoders, in process groups of their own, pause before the program stops; fg
    // resumes them.
    QObject::connect(&stopSignals, &StopSignals::suspendRequested, [&] {
        if (queue.pause())
            r.paused();
        StopSignals::stopSelf();
    });
    QObject::connect(&stopSignals, &StopSignals::continued, [&] {
        if (queue.resume())
            r.resumed();
    });

    queue.start();
    QCoreApplication::exec();
    return exitCode;
}

// What is wrong with the user's preset file, once the list has been read.
void reportPresetProblems()
{
    if (const QStringList problems = Presets::problems(); !problems.isEmpty()) {
        std::fprintf(stderr, "vidomar: %s\n", qPrintable(problems.join(QLatin1Char('\n'))));
        std::fflush(stderr);
    }
}

} // namespace

bool wanted(const QStringList &arguments)
{
    // Long options belong to the command-line mode (an unknown one gets the usage), and so do its
    // own short ones; other single-dash arguments are left to the window's toolkit.
    static const QStringList shortOptions{"-h", "-n", "-o", "-d", "-j"};
    static const QRegularExpression jobs(QStringLiteral("^-j[0-9]+$"));
    return std::any_of(arguments.begin() + std::min<qsizetype>(1, arguments.size()), arguments.end(), [](const QString &arg) {
        return arg.startsWith(QLatin1String("--")) || shortOptions.contains(arg) || jobs.match(arg).hasMatch();
    });
}

int run(const QStringList &arguments)
{
    const ParsedCommandLine parsed = parseCommandLine(arguments, FileProbe::system());
    // Said before anything else, as soon as the parser has read the list.
    const bool presetsRead = Presets::loaded();
    if (presetsRead)
        reportPresetProblems();
    if (const UsageError *error = std::get_if<UsageError>(&parsed)) {
        std::fprintf(stderr, "vidomar: %s\n%s", FileNameBytes::encode(error->message).constData(),
                     error->showUsage ? qPrintable(commandLineUsage()) : "");
        return ExitUsage;
    }
    const CommandLinePlan &plan = std::get<CommandLinePlan>(parsed);
    switch (plan.action) {
    case CommandLinePlan::Action::Help:
        std::fputs(qPrintable(commandLineUsage()), stdout);
        return 0;
    case CommandLinePlan::Action::Version:
        std::printf("Zorvik Vidomar %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    case CommandLinePlan::Action::ListPresets:
        if (!presetsRead)
            reportPresetProblems();
        listPresets(stdout, plan.verbose, plan.json);
        return 0;
    case CommandLinePlan::Action::Convert:
        break;
    }
    return plan.estimate ? estimate(plan) : convert(plan);
}

} // namespace CommandLineMode
