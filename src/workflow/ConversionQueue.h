#pragma once

#include "workflow/ConversionRun.h"
#include "workflow/Target.h"
#include "workflow/TargetPlanner.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// Converts its items in order, each with its own preset, up to its number of slots at once, each
// slot a run of its own (the same job and conversion the window shows), and signals every item's
// events by its index. Every item that is not skipped is started and then ends once: done, failed
// or cancelled. The runs keep their messages (the owner says which item a reason is about) unless
// the owner lets them show their own.
class ConversionQueue : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(ConversionQueue)

public:
    struct Item {
        QString source;
        QString preset;
        QString destination;
        ConversionOptions options;
        Target target;
    };

    explicit ConversionQueue(QObject *parent = nullptr);
    ~ConversionQueue() override;

    // How many conversions run at once (at least one); set before the start.
    void setSlotCount(int count) { m_slotCount = std::max(1, count); }
    int slotCount() const { return m_slotCount; }
    // An item whose destination exists (a dangling link included) when its turn comes is skipped
    // and left as it is.
    void setSkipExisting(bool skip) { m_skipExisting = skip; }
    // Where the runs look for the encoder; the program's own folder unless set.
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }
    // On: each run shows its messages as it has them (one conversion the user started alone).
    void setShowsMessages(bool shows) { m_showsMessages = shows; }
    // How many conversions run at once for a wanted number: 0 gives one per processor.
    static int slotsFor(int wanted);

    // Adds an item at the end and returns its index; one added while the queue runs starts in turn.
    // An item with a target has its line planned from samples of its source when its turn comes.
    qsizetype add(const QString &source, const QString &preset, const QString &destination,
                  const ConversionOptions &options = {}, const Target &target = {});
    qsizetype count() const { return m_items.size(); }
    const Item &item(qsizetype index) const { return m_items.at(index); }

    // Starts the items from the event loop.
    void start();
    // Starts the items before it returns, so that a refused start is reported by then.
    void startNow();
    // Starts nothing more and cancels every running conversion; finished() follows once they have
    // all ended. Conversions that finish meanwhile stay done.
    void cancelAll();
    // Suspends every running conversion and starts nothing new, and lets them go on; false when
    // that changed nothing. The paused span counts neither as elapsed nor in the time left.
    bool pause();
    bool resume();
    bool paused() const { return m_paused; }

    bool cancelling() const { return m_stopped; }
    bool isFinished() const { return m_finished; }
    qsizetype runningCount() const;
    int failures() const { return m_failures; }
    // The run that runs or last ran the item, if any.
    ConversionRun *runOf(qsizetype item) const;

signals:
    void started(qsizetype item);
    // A target's line is chosen: setting ("CRF 23.4", "1234 kb/s") and what to tell the user.
    void planned(qsizetype item, const QString &setting, const QString &note);
    // leftMs: once the encoder has reported how far it is.
    void progressed(qsizetype item, int percent, qint64 elapsedMs, std::optional<qint64> leftMs);
    // warning: what the user should know about the result (Conversion::warning), or empty.
    void done(qsizetype item, qint64 elapsedMs, qint64 bytes, const QString &warning);
    // refused: the conversion never got going (its start was refused, or its source not found).
    void failed(qsizetype item, const QString &reason, bool refused);
    // A run's message as it has it, before its item ends.
    void message(qsizetype item, const QString &text);
    void cancelled(qsizetype item);
    void skipped(qsizetype item);
    // Nothing runs and nothing is left to start, or cancelAll() stopped the rest.
    void finished();

private:
    struct Slot {
        ConversionRun run;
        qsizetype item = -1;
        std::unique_ptr<TargetPlanner> planner; // while a target's line is planned
        bool busy() const { return run.busy() || (planner && planner->busy()); }
    };

    void fill();
    Slot *freeSlot();
    void slotEnded(const Slot &slot, ConversionRun::Outcome outcome);
    void plan(Slot &slot, qsizetype index);
    void finishWhenIdle();

    QList<Item> m_items;
    std::vector<std::unique_ptr<Slot>> m_slots; // made as they are needed, up to m_slotCount
    int m_slotCount = 1;
    bool m_skipExisting = false;
    bool m_showsMessages = false;
    QString m_programFolder;
    qsizetype m_next = 0;
    int m_failures = 0;
    bool m_started = false;
    bool m_stopped = false;
    bool m_finished = false;
    bool m_paused = false;
};
