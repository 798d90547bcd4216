#pragma once

#include "workflow/ConversionQueue.h"
#include "workflow/QueueList.h"

#include <QHash>
#include <QObject>

#include <memory>
#include <optional>

// Runs the waiting items of a queue list through the queue the command line uses, up to a number
// side by side, and keeps the items' states in the list. Items are handed to the queue only as
// slots come free, so that the list can still be reordered and edited while it runs. Pausing
// suspends every running encoder and starts nothing new; stopping cancels the running items and
// leaves the waiting ones waiting.
class QueueRunner : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(QueueRunner)

public:
    explicit QueueRunner(QueueList &list, QObject *parent = nullptr);
    ~QueueRunner() override;

    // 0: one per processor. Takes effect at the next start.
    void setAtOnce(int atOnce) { m_atOnce = atOnce; }
    int atOnce() const { return m_atOnce; }
    // On: each conversion shows its own messages as it has them (a conversion the user started
    // alone), and message() says when. Takes effect at the next start.
    void setShowsMessages(bool shows) { m_showsMessages = shows; }
    // Where the encoder is looked for; the program's own folder unless set.
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }

    // Starts the waiting (and cancelled) items; false when there is nothing to convert. The first
    // items start before it returns: one that cannot start has ended by then, and so may the run.
    bool start();
    void stop();
    bool pause();
    bool resume();

    bool running() const { return m_running; }
    bool paused() const { return m_running && m_queue && m_queue->paused(); }
    bool stopping() const { return m_running && m_stopping; }

    // "File 2 of 5": one more than the items of this run that have ended, and their number.
    int fileNumber() const;
    int fileCount() const { return int(m_runItems); }
    // The items of this run that have ended.
    int endedCount() const { return int(m_ended); }
    // The earliest converting item, or -1.
    qsizetype current() const;
    int currentPercent() const;
    std::optional<qint64> currentTimeLeftMs() const;

    struct Summary {
        int done = 0;
        int failed = 0;
        int cancelled = 0;
        QStringList failures; // "name — reason"
    };
    const Summary &summary() const { return m_summary; }

    // How the latest item ended.
    struct Ending {
        QueueItem::State state = QueueItem::State::Waiting;
        QString reason;
        QString warning; // what the user should know about a result that is done
        bool refused = false; // it never got going: its start was refused or its source not found
    };
    const Ending &lastEnding() const { return m_lastEnding; }
    // The run converting the item at this index of the list, or that last converted it.
    ConversionRun *runOf(qsizetype index) const;
    // "4 converted, 1 failed: name — reason"; past the first few failures "and N more", which the
    // queue's rows show, so that the box that says it fits on the screen.
    static constexpr int SummaryFailures = 5;
    static QString summaryText(const Summary &summary);

signals:
    // The current file or its progress changed.
    void progressed();
    // A conversion's message, before it is shown (setShowsMessages) and before its item ends.
    void message(const QString &text);
    void finished();

private:
    void feed();
    void ended(qsizetype queued, const Ending &ending);
    void queueFinished();

    QueueList &m_list;
    std::unique_ptr<ConversionQueue> m_queue;
    QList<quint64> m_ids; // the list's item of each of the queue's items
    QHash<quint64, std::optional<qint64>> m_left;
    int m_atOnce = 1;
    bool m_showsMessages = false;
    Ending m_lastEnding;
    QString m_programFolder;
    int m_slots = 1;
    int m_inFlight = 0; // handed to the queue and not ended
    bool m_running = false;
    bool m_stopping = false;
    qsizetype m_runItems = 0;
    qsizetype m_ended = 0;
    Summary m_summary;
};
