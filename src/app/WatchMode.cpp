#include "app/WatchMode.h"

#include "app/HumanReport.h"
#include "app/JsonReport.h"
#include "app/StopSignals.h"
#include "workflow/ConversionQueue.h"
#include "workflow/DestinationName.h"
#include "workflow/FileNameBytes.h"
#include "workflow/FolderMaker.h"
#include "workflow/Presets.h"
#include "workflow/RetryableFailure.h"
#include "workflow/WatchFolder.h"
#include "workflow/WatchState.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace WatchMode {

namespace {

// How often a conversion that may mend is tried again in one run.
constexpr int Tries = 3;

void say(const QString &text)
{
    std::fprintf(stderr, "vidomar: %s\n", FileNameBytes::encode(text).constData());
    std::fflush(stderr);
}

// One line a file, when it ends: for a person reading a log.
class WatchLog : public BatchReport {
public:
    explicit WatchLog(const CommandLinePlan &plan)
        : m_plan(plan)
    {
    }
    void started(qsizetype) override {}
    void progressed(qsizetype, int, qint64, std::optional<qint64>) override {}
    void done(qsizetype item, qint64 elapsedMs, qint64, const QString &warning) override
    {
        const ConversionItem &i = m_plan.items.at(item);
        say(QStringLiteral("converted %1 to %2 in %3 s%4")
                .arg(i.source, i.destination)
                .arg(double(elapsedMs) / 1000.0, 0, 'f', 1)
                .arg(warning.isEmpty() ? QString() : QLatin1String("; ") + warning));
    }
    void failed(qsizetype item, const QString &reason) override { say(m_plan.items.at(item).source + QLatin1String(": ") + reason); }
    void skipped(qsizetype item) override
    {
        say(QStringLiteral("skipped %1: %2 exists").arg(m_plan.items.at(item).source, m_plan.items.at(item).destination));
    }
    void cancelled(qsizetype item) override { say(m_plan.items.at(item).source + QLatin1String(": conversion cancelled")); }
    void planned(qsizetype item, const QString &, const QString &note) override
    {
        say(m_plan.items.at(item).source + QLatin1String(": ") + note);
    }
    void note(const QString &text) override { say(text); }

private:
    const CommandLinePlan &m_plan;
};

} // namespace

int run(const CommandLinePlan &given)
{
    CommandLinePlan plan = given; // its items grow as files settle
    const QString in = given.watchFolder;
    const QString out = given.outputFolder;
    WatchState state(WatchState::fileFor(in, out));
    if (const std::optional<QString> reason = state.load()) {
        say(QStringLiteral("cannot use the state file %1: %2").arg(state.file(), *reason));
        return 1;
    }
    if (const std::optional<QString> reason = makeFolders(out)) {
        say(QStringLiteral("cannot create the folder %1: %2").arg(out, *reason));
        return 1;
    }
    std::unique_ptr<BatchReport> report;
    if (plan.json)
        report = std::make_unique<JsonReport>(plan, stdout, stderr);
    else
        report = std::make_unique<WatchLog>(plan);
    BatchReport &r = *report;

    const int slotTotal = ConversionQueue::slotsFor(plan.jobs);
    ConversionQueue queue;
    queue.setSlotCount(slotTotal);
    queue.setSkipExisting(plan.noOverwrite);
    QList<FolderFile> files;   // by item
    QList<FolderFile> waiting; // settled, not yet queued
    QHash<QString, int> tries;
    int active = 0;
    bool stopping = false;

    WatchFolder watch(in);
    watch.setSettleMs(plan.settleMs);
    watch.setExcluded({out});
    // By place, not by identity: anything below the output folder.
    const QString outKey = WatchState::pathKey(out) + QLatin1Char('/');
    watch.setPassedOver([&](const FolderFile &file) {
        return state.contains(file) || state.isResult(file.path) || WatchState::pathKey(file.path).startsWith(outKey);
    });

    const QString extension = FormatExtension(plan.preset);
    // Queued only while a slot is free, so that a stop that lets the conversions at hand finish
    // starts nothing more.
    const auto feed = [&] {
        while (!stopping && active < slotTotal && !waiting.isEmpty()) {
            const FolderFile file = waiting.takeFirst();
            const QString destination = FolderScan::mirrored(file.path, file.relative, out, extension);
            makeFolders(destination.left(destination.lastIndexOf(QLatin1Char('/'))));
            plan.items.append({file.path, destination});
            files.append(file);
            ++active;
            queue.add(file.path, plan.preset, destination, plan.options, plan.target);
        }
    };
    const auto ended = [&] {
        --active;
        if (stopping && active == 0)
            QCoreApplication::exit(0);
        else
            feed();
    };
    const auto remember = [&](qsizetype item, const QString &outcome, bool withDestination) {
        if (const std::optional<QString> reason =
                state.record(files.at(item), outcome, withDestination ? plan.items.at(item).destination : QString()))
            r.note(QStringLiteral("cannot write the state file %1: %2").arg(state.file(), *reason));
    };

    QObject::connect(&watch, &WatchFolder::ready, [&](const FolderFile &file) {
        waiting.append(file);
        feed();
    });
    QObject::connect(&watch, &WatchFolder::notMedia, [&](const FolderFile &file) {
        if (plan.verbose)
            r.note(file.path + QLatin1String(": not media; left out"));
        if (const std::optional<QString> reason = state.record(file, QStringLiteral("not media"), QString()))
            r.note(QStringLiteral("cannot write the state file %1: %2").arg(state.file(), *reason));
    });
    QObject::connect(&watch, &WatchFolder::folderMissing, [&] { r.note(in + QLatin1String(" is missing; waiting for it")); });
    QObject::connect(&watch, &WatchFolder::folderBack, [&] { r.note(in + QLatin1String(" is back")); });
    QObject::connect(&watch, &WatchFolder::scanned, [&] { r.note(QStringLiteral("watching %1").arg(in)); });

    QObject::connect(&queue, &ConversionQueue::started, [&r](qsizetype item) { r.started(item); });
    QObject::connect(&queue, &ConversionQueue::progressed, [&r](qsizetype item, int percent, qint64 elapsedMs,
                                                                 std::optional<qint64> leftMs) {
        r.progressed(item, percent, elapsedMs, leftMs);
    });
    QObject::connect(&queue, &ConversionQueue::planned, [&r](qsizetype item, const QString &setting, const QString &note) {
        r.planned(item, setting, note);
    });
    QObject::connect(&queue, &ConversionQueue::done, [&](qsizetype item, qint64 elapsedMs, qint64 bytes, const QString &warning) {
        remember(item, QStringLiteral("done"), true);
        r.done(item, elapsedMs, bytes, warning);
        ended();
    });
    QObject::connect(&queue, &ConversionQueue::failed, [&](qsizetype item, const QString &reason) {
        const FolderFile &file = files.at(item);
        r.failed(item, reason);
        const bool mends = RetryableFailure::passingReason(reason) || RetryableFailure::folderGone(plan.items.at(item).destination);
        if (mends && ++tries[file.path] < Tries)
            watch.forget(file.path);
        else
            remember(item, QStringLiteral("failed"), false);
        ended();
    });
    QObject::connect(&queue, &ConversionQueue::skipped, [&](qsizetype item) {
        remember(item, QStringLiteral("skipped"), true);
        r.skipped(item);
        ended();
    });
    // Once stopping, the queue's end is the program's: an item added just before the stop never
    // starts.
    QObject::connect(&queue, &ConversionQueue::finished, [&] {
        if (stopping)
            QCoreApplication::exit(0);
    });
    // Only a stop cancels; the file is taken again by the next run.
    QObject::connect(&queue, &ConversionQueue::cancelled, [&](qsizetype item) {
        r.cancelled(item);
        ended();
    });

    StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::received, [&](int) {
        if (stopping)
            return;
        stopping = true;
        watch.stop();
        if (active == 0) {
            QCoreApplication::exit(0);
            return;
        }
        if (plan.finishOnStop) {
            r.note(active == 1 ? QStringLiteral("finishing the conversion at hand") : QStringLiteral("finishing %1 conversions").arg(active));
            return;
        }
        r.note(active == 1 ? QStringLiteral("cancelling the conversion") : QStringLiteral("cancelling %1 conversions").arg(active));
        queue.resume();
        queue.cancelAll();
    });
    pauseWithTheProgram(stopSignals, queue, r);

    queue.start();
    watch.start();
    return QCoreApplication::exec();
}

} // namespace WatchMode
