#include "workflow/QueueList.h"

#include "engine/SameFile.h"
#include "workflow/FileNameBytes.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Which file the path reaches, links followed: two names of one file are one.
QString normalised(const QString &path)
{
    return QString::fromLatin1(fileIdentity(FileNameBytes::encode(path)));
}

} // namespace

QueueList::QueueList(QObject *parent)
    : QObject(parent)
{
}

QStringList QueueList::pathsTaken(qsizetype except) const
{
    QStringList taken;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        taken << normalised(m_items.at(i).source);
        if (i != except)
            taken << normalised(m_items.at(i).destination);
    }
    return taken;
}

QString QueueList::uniqueDestination(const QString &wanted, const QStringList &taken)
{
    if (!taken.contains(normalised(wanted)))
        return wanted;
    const QFileInfo info(wanted);
    const QString name = info.fileName();
    // A leading dot starts a hidden name, not an extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString stem = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    const QString folder = wanted.left(wanted.size() - name.size());
    for (int n = 2;; ++n) {
        const QString candidate = folder + stem + QStringLiteral(" (%1)").arg(n) + extension;
        if (!taken.contains(normalised(candidate)))
            return candidate;
    }
}

qsizetype QueueList::add(QueueItem item)
{
    item.state = State::Waiting;
    item.percent = 0;
    item.reason.clear();
    item.id = m_nextId++;
    item.destination = uniqueDestination(item.destination, pathsTaken(-1) << normalised(item.source));
    m_items.append(item);
    emit changed();
    return m_items.size() - 1;
}

void QueueList::replaceAll(const QueueItems &items)
{
    m_items = items;
    for (QueueItem &item : m_items)
        item.id = m_nextId++;
    emit changed();
}

bool QueueList::remove(qsizetype index)
{
    if (index < 0 || index >= m_items.size() || m_items.at(index).state == State::Converting)
        return false;
    m_items.removeAt(index);
    emit changed();
    return true;
}

bool QueueList::move(qsizetype index, int by)
{
    const qsizetype to = index + by;
    if (index < 0 || index >= m_items.size() || to < 0 || to >= m_items.size() || by == 0)
        return false;
    m_items.move(index, to);
    emit changed();
    return true;
}

qsizetype QueueList::clearFinished()
{
    const qsizetype removed = m_items.removeIf([](const QueueItem &item) {
        return item.finished() || item.state == State::Cancelled;
    });
    if (removed > 0)
        emit changed();
    return removed;
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
    m_items.removeIf([](const QueueItem &item) { return item.finished(); });
    for (QueueItem &item : m_items) {
        item.state = State::Waiting;
        item.percent = 0;
        item.reason.clear();
    }
    emit changed();
}
