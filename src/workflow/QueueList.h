#pragma once

#include "workflow/QueueItem.h"

#include <QObject>
#include <QStringList>

// The window's queue as a list: items in their order and their states, with the rules for
// changing them. It runs nothing itself. Every change of an item, the order or a state is
// signalled by changed(), which is what the recovery file keeps; progress only by progressed().
// A view follows each change by the signals around it (what is added, removed, moved, changed).
class QueueList : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(QueueList)

public:
    using State = QueueItem::State;

    explicit QueueList(QObject *parent = nullptr);

    const QueueItems &items() const { return m_items; }
    qsizetype size() const { return m_items.size(); }
    const QueueItem &at(qsizetype index) const { return m_items.at(index); }

    // Appends the item as waiting. Its destination is made one of its own: never a destination
    // or a source of another item (uniqueDestination). Returns its index.
    qsizetype add(QueueItem item);
    void replaceAll(const QueueItems &items);
    // A converting item stays where it is: false.
    bool remove(qsizetype index);
    bool move(qsizetype index, int by);
    // Removes done, failed, skipped and cancelled items; returns how many went.
    qsizetype clearFinished();

    // False, and nothing changes, for a change the rules do not allow (see allowed).
    bool setState(qsizetype index, State state, const QString &reason = QString());
    // A failed item waits again: only when the user asks, since a run never retries one itself.
    bool retry(qsizetype index);
    void setPercent(qsizetype index, int percent);

    // The item with this id, or -1.
    qsizetype indexOf(quint64 id) const;
    // The first waiting item, or -1.
    qsizetype nextWaiting() const;
    qsizetype count(State state) const;
    // Waiting, converting or cancelled: what a closed, killed or crashed run left to do.
    qsizetype unfinishedCount() const;
    // After a restart: converting and cancelled items wait again, from the beginning; finished
    // items are dropped, so that none is converted twice.
    void prepareToContinue();

    // Waiting -> converting, skipped, cancelled or failed (it could not start); converting ->
    // done, failed, cancelled, or waiting (to start again); cancelled -> waiting. Done, failed
    // and skipped are final.
    static bool allowed(State from, State to);

signals:
    void changed();
    void progressed(qsizetype index);

    // Around each kind of change, for a view that follows the rows.
    void aboutToInsert(qsizetype index);
    void inserted();
    void aboutToRemove(qsizetype index);
    void removed();
    void aboutToMove(qsizetype from, qsizetype to);
    void moved();
    void aboutToReset();
    void reset();
    void stateChanged(qsizetype index);

private:
    QStringList pathsTaken(qsizetype except) const;
    // Replaces the items in one step a view takes as a reset.
    template<typename Change>
    void resetWith(Change change);

    QueueItems m_items;
    quint64 m_nextId = 1;
};
