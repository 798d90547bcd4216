#include "app/CommandLineMode.h"

#include "app/BatchReport.h"
#include "app/CommandLinePlan.h"
#include "app/EstimateMode.h"
#include "app/HumanReport.h"
#include "app/JsonReport.h"
#include "app/OptionFlags.h"
#include "app/PresetListing.h"
#include "app/StopSignals.h"
#include "app/WatchMode.h"
#include "workflow/FileNameBytes.h"
#include "workflow/ConversionQueue.h"
#include "workflow/FolderMaker.h"
#include "workflow/Presets.h"
#include "workflow/RetryableFailure.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace CommandLineMode {

namespace {

constexpr int ExitFailed = 1;
// EX_TEMPFAIL: every failure was one that running the same command again may mend.
constexpr int ExitRetry = 75;

// What the folders held besides their media: files still being written always, the rest with -v.
void reportPassedOver(const CommandLinePlan &plan, BatchReport &report)
{
    for (const QString &path : plan.passedOver.growing)
        report.note(path + QLatin1String(": still being written; skipped"));
    if (!plan.verbose)
        return;
    for (const QString &path : plan.passedOver.notMedia)
        report.note(path + QLatin1String(": not media; left out"));
    for (const QString &path : plan.passedOver.linksOut)
        report.note(path + QLatin1String(": a link out of the folder; not followed"));
}

// Converts the plan's items with its preset and tells the report about every event. The exit
// status: 0 when every conversion succeeded or was skipped, 1 when one failed for good, 75 when
// every failure may mend on a retry, 128 + the signal when a stop signal cancelled the rest.
int convert(const CommandLinePlan &plan)
{
    if (!plan.outputFolder.isEmpty()) {
        if (const std::optional<QString> reason = makeFolders(plan.outputFolder)) {
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
    queue.setSlotCount(ConversionQueue::slotsFor(plan.jobs));
    queue.setSkipExisting(plan.noOverwrite);
    for (const ConversionItem &item : plan.items) {
        // A mirrored tree's folders; one that cannot be made fails its conversion with the reason.
        if (!plan.outputFolder.isEmpty())
            makeFolders(item.destination.left(item.destination.lastIndexOf(QLatin1Char('/'))));
        queue.add(item.source, plan.preset, item.destination, plan.options, plan.target);
    }
    QObject::connect(&queue, &ConversionQueue::started, [&r](qsizetype item) { r.started(item); });
    QObject::connect(&queue, &ConversionQueue::progressed, [&r](qsizetype item, int percent, qint64 elapsedMs,
                                                                 std::optional<qint64> leftMs) {
        r.progressed(item, percent, elapsedMs, leftMs);
    });
    QObject::connect(&queue, &ConversionQueue::done, [&r](qsizetype item, qint64 elapsedMs, qint64 bytes, const QString &warning) {
        r.done(item, elapsedMs, bytes, warning);
    });
    int lasting = 0;
    int passing = plan.passedOver.growing.size();
    // A destination folder missing from the start is the command's fault, not a passing one.
    QSet<qsizetype> folderMissing;
    for (qsizetype i = 0; i < plan.items.size(); ++i) {
        if (RetryableFailure::folderGone(plan.items.at(i).destination))
            folderMissing.insert(i);
    }
    QObject::connect(&queue, &ConversionQueue::failed, [&](qsizetype item, const QString &reason) {
        const bool mends = RetryableFailure::passingReason(reason)
            || (!folderMissing.contains(item) && RetryableFailure::folderGone(plan.items.at(item).destination));
        ++(mends ? passing : lasting);
        r.failed(item, reason);
    });
    reportPassedOver(plan, r);
    QObject::connect(&queue, &ConversionQueue::planned, [&r](qsizetype item, const QString &setting, const QString &note) {
        r.planned(item, setting, note);
    });
    QObject::connect(&queue, &ConversionQueue::cancelled, [&r](qsizetype item) { r.cancelled(item); });
    QObject::connect(&queue, &ConversionQueue::skipped, [&r](qsizetype item) { r.skipped(item); });

    int stopSignal = 0;
    int exitCode = 0;
    QObject::connect(&queue, &ConversionQueue::finished, [&] {
        if (const qsizetype left = plan.passedOver.notMedia.size(); left > 0)
            r.note(left == 1 ? QStringLiteral("1 file is not media and was left out")
                             : QStringLiteral("%1 files are not media and were left out").arg(left));
        exitCode = stopSignal != 0 ? 128 + stopSignal : lasting > 0 ? ExitFailed : passing > 0 ? ExitRetry : 0;
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
    pauseWithTheProgram(stopSignals, queue, r);

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
    static const QStringList shortOptions{"-h", "-n", "-o", "-d", "-j", "-r", "-v"};
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
    case CommandLinePlan::Action::Probe:
        return OptionFlags::probe(plan.probeSource, plan.json, stdout, stderr);
    case CommandLinePlan::Action::Convert:
        break;
    case CommandLinePlan::Action::Watch:
        return WatchMode::run(plan);
    }
    return plan.estimate ? estimate(plan) : convert(plan);
}

} // namespace CommandLineMode
