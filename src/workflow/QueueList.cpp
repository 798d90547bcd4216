#include "workflow/QueueList.h"

#include "workflow/DestinationName.h"

QueueList::QueueList(QObject *parent)
    : QObject(parent)
{
}

template<typename Change>
void QueueList::resetWith(Change change)
{
    emit aboutToReset();
    change();
    emit reset();
    emit changed();
}

QStringList QueueList::pathsTaken(qsizetype except) const
{
    QStringList taken;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        taken << pathKey(m_items.at(i).source);
        if (i != except)
            taken << pathKey(m_items.at(i).destination);
    }
    return taken;
}

qsizetype QueueList::add(QueueItem item)
{
    item.state = State::Waiting;
    item.percent = 0;
    item.reason.clear();
    item.id = m_nextId++;
    item.destination = uniqueDestination(item.destination, pathsTaken(-1) << pathKey(item.source));
    emit aboutToInsert(m_items.size());
    m_items.append(item);
    emit inserted();
    emit changed();
    return m_items.size() - 1;
}

void QueueList::replaceAll(const QueueItems &items)
{
    resetWith([&] {
        m_items = items;
        for (QueueItem &item : m_items)
            item.id = m_nextId++;
    });
}

bool QueueList::remove(qsizetype index)
{
    if (index < 0 || index >= m_items.size() || m_items.at(index).state == State::Converting)
        return false;
    emit aboutToRemove(index);
    m_items.removeAt(index);
    emit removed();
    emit changed();
    return true;
}

bool QueueList::move(qsizetype index, int by)
{
    const qsizetype to = index + by;
    if (index < 0 || index >= m_items.size() || to < 0 || to >= m_items.size() || by == 0)
        return false;
    emit aboutToMove(index, to);
    m_items.move(index, to);
    emit moved();
    emit changed();
    return true;
}

qsizetype QueueList::clearFinished()
{
    const auto ended = [](const QueueItem &item) { return item.finished() || item.state == State::Cancelled; };
    const qsizetype count = std::count_if(m_items.begin(), m_items.end(), ended);
    if (count > 0)
        resetWith([&] { m_items.removeIf(ended); });
    return count;
}

bool QueueList::allowed(State from, State to)
{
    switch (from) {
    case State::Waiting:
        return to == State::Converting || to == State::Skipped || to == State::Cancelled || to == State::Failed;
    case State::Converting:
        return to == State::Done || to == State::Failed || to == State::Cancelled || to == State::Waiting;
    case State::Cancelled:
        return to == State::Waiting;
    case State::Done:
    case State::Failed:
    case State::Skipped:
        return false;
    }
    return false;
}

bool QueueList::setState(qsizetype index, State state, const QString &reason)
{
    if (index < 0 || index >= m_items.size() || !allowed(m_items.at(index).state, state))
        return false;
    QueueItem &item = m_items[index];
    item.state = state;
    item.reason = reason;
    if (state == State::Waiting || state == State::Converting)
        item.percent = 0;
    else if (state == State::Done)
        item.percent = 100;
    emit stateChanged(index);
    emit changed();
    return true;
}

bool QueueList::retry(qsizetype index)
{
    if (index < 0 || index >= m_items.size() || m_items.at(index).state != State::Failed)
        return false;
    QueueItem &item = m_items[index];
    item.state = State::Waiting;
    item.reason.clear();
    item.percent = 0;
    emit stateChanged(index);
    emit changed();
    return true;
}

void QueueList::setPercent(qsizetype index, int percent)
{
    if (index < 0 || index >= m_items.size() || m_items.at(index).state != State::Converting
        || m_items.at(index).percent == percent)
        return;
    m_items[index].percent = percent;
    emit progressed(index);
}

qsizetype QueueList::indexOf(quint64 id) const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).id == id)
            return i;
    }
    return -1;
}

qsizetype QueueList::nextWaiting() const
{
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i).state == State::Waiting)
            return i;
    }
    return -1;
}

qsizetype QueueList::count(State state) const
{
    return std::count_if(m_items.begin(), m_items.end(), [state](const QueueItem &item) { return item.state == state; });
}

qsizetype QueueList::unfinishedCount() const
{
    return count(State::Waiting) + count(State::Converting) + count(State::Cancelled);
}

void QueueList::prepareToContinue()
{
    resetWith([&] {
        m_items.removeIf([](const QueueItem &item) { return item.finished(); });
        for (QueueItem &item : m_items) {
            item.state = State::Waiting;
            item.percent = 0;
            item.reason.clear();
        }
    });
}
