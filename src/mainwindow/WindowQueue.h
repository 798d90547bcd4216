#pragma once

#include "workflow/QueueList.h"
#include "workflow/QueueRunner.h"
#include "workflow/RecoveryFile.h"

#include <QObject>

// The window's side of converting several files: the queue list that the recovery file keeps,
// its runner, the setting of how many run at once, the questions before a run (destinations that
// exist) and at start (a queue a previous run left unfinished), and the texts the window shows.
class WindowQueue : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(WindowQueue)

public:
    explicit WindowQueue(QObject *parent = nullptr);

    QueueList &list() { return m_list; }
    QueueRunner &runner() { return m_runner; }

    // Replaces what waits with these sources (kept: what runs and what has run), or adds them to a
    // run that is going. Each item gets the preset, the options and a destination of its own
    // derived from its source.
    void addSources(const QStringList &sources, const QString &preset, bool replaceWaiting);
    // The items that have not started follow the chosen preset, while nothing runs.
    void setPreset(const QString &preset);
    // What goes into each file beyond its preset: every item added from now on (the file in the
    // fields too) gets these, and the items that have not started follow them while nothing runs.
    void setOptions(const ConversionOptions &options);
    const ConversionOptions &options() const { return m_options; }
    // The size or quality the conversions aim at: the items that have not started follow it,
    // while nothing runs, as do the files added later; an item whose preset takes no target
    // converts without one.
    void setTarget(const Target &target);
    // The waiting files' results go into this folder (each its own name there).
    void setOutputFolder(const QString &folder);
    // Every item that waits, has run or runs.
    bool isEmpty() const { return m_list.size() == 0; }
    // Several files (or what remains of them): the queue the panel shows.
    bool holdsQueue() const { return !isEmpty() && !m_single; }

    // Asks about destinations that exist, then runs; false when nothing started.
    bool convert();
    // The file in the window's fields, run as a queue of one: its messages show as they come and
    // it is not kept for recovery. False when it did not start; its end has then been signalled.
    bool convertOne(const QString &preset, const QString &source, const QString &destination);
    // From convertOne until endSingle, which empties the list once its end has been shown.
    bool isSingle() const { return m_single; }
    void endSingle();
    // The window closes as the user asked: nothing is offered as unfinished at the next start.
    void closeNormally();

    // Once, at start: a damaged saved queue is reported (it was set aside when read); an
    // unfinished one is offered ("N conversions were not finished. Continue them?") and its
    // unfinished items join the queue and run on Yes.
    void offerRecovery();

    // "How many at once": 0 for one per processor; kept in the settings.
    int atOnce() const { return m_runner.atOnce(); }
    void setAtOnce(int atOnce);

    // "3 files: a.avi, b.mkv, …" for the items that wait or run; the destinations likewise.
    QString sourceSummary() const;
    QString destinationSummary() const;
    // "File 2 of 5 · Converting… 1:23 left", or "Paused".
    QString caption() const;

    static QString summaryOf(const QStringList &paths);
    static QString derivedDestination(const QString &source, const QString &preset);

signals:
    void changed();
    void finished();
    // The unfinished files taken back all had these options: the window shows them, so that a
    // change made there does not silently replace them.
    void optionsRecovered(const ConversionOptions &options);

private:
    void offerFailedAgain();
    Target targetFor(const QString &preset) const;
    bool askAboutExistingDestinations();

    QueueList m_list;
    QueueRunner m_runner;
    RecoveryFile m_file;
    // Read before this run writes anything, offered once the window shows.
    RecoveryFile::Loaded m_left;
    bool m_offered = false;
    bool m_single = false;
    ConversionOptions m_options;
    Target m_target;
};
