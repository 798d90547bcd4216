#include "workflow/QueueRunner.h"

#include <QFileInfo>
#include <QThread>

QueueRunner::QueueRunner(QueueList &list, QObject *parent)
    : QObject(parent), m_list(list)
{
}

QueueRunner::~QueueRunner() = default;

int QueueRunner::slotCount(int atOnce)
{
    return atOnce > 0 ? atOnce : std::max(1, QThread::idealThreadCount());
}

bool QueueRunner::start()
{
    if (m_running)
        return false;
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        if (m_list.at(i).state == QueueItem::State::Cancelled)
            m_list.setState(i, QueueItem::State::Waiting);
    }
    m_runItems = m_list.count(QueueItem::State::Waiting);
    if (m_runItems == 0)
        return false;
    m_slots.clear();
    for (int i = slotCount(m_atOnce); i > 0; --i) {
        auto slot = std::make_unique<ConversionSlot>();
        ConversionSlot *s = slot.get();
        if (!m_programFolder.isEmpty())
            s->setProgramFolder(m_programFolder);
        connect(s, &ConversionSlot::progressed, this, [this, s](int percent) {
            m_list.setPercent(m_list.indexOf(quint64(s->item())), percent);
            emit progressed();
        });
        connect(s, &ConversionSlot::ended, this, [this, s](ConversionSlot::Outcome outcome) { slotEnded(*s, outcome); });
        m_slots.push_back(std::move(slot));
    }
    m_running = true;
    m_paused = false;
    m_stopping = false;
    m_ended = 0;
    m_summary = Summary();
    fill();
    return true;
}

void QueueRunner::fill()
{
    for (const auto &slot : m_slots) {
        while (m_running && !slot->busy() && !m_paused && !m_stopping) {
            const qsizetype index = m_list.nextWaiting();
            if (index < 0)
                break;
            const QueueItem item = m_list.at(index);
            m_list.setState(index, QueueItem::State::Converting);
            if (!slot->start(qsizetype(item.id), item.preset, item.source, item.destination)) {
                m_list.setState(index, QueueItem::State::Failed, slot->reason());
                ++m_ended;
                ++m_summary.failed;
                m_summary.failures << QFileInfo(item.source).fileName() + QStringLiteral(" — ") + slot->reason();
            }
        }
    }
    emit progressed();
    finishWhenIdle();
}

void QueueRunner::slotEnded(ConversionSlot &slot, ConversionSlot::Outcome outcome)
{
    const qsizetype index = m_list.indexOf(quint64(slot.item()));
    const QString name = index < 0 ? QString() : QFileInfo(m_list.at(index).source).fileName();
    switch (outcome) {
    case ConversionSlot::Outcome::Done:
        m_list.setState(index, QueueItem::State::Done);
        ++m_summary.done;
        break;
    case ConversionSlot::Outcome::Failed:
        m_list.setState(index, QueueItem::State::Failed, slot.reason());
        ++m_summary.failed;
        m_summary.failures << name + QStringLiteral(" — ") + slot.reason();
        break;
    case ConversionSlot::Outcome::Cancelled:
        m_list.setState(index, QueueItem::State::Cancelled);
        ++m_summary.cancelled;
        break;
    }
    ++m_ended;
    // The next item starts from the event loop, not inside the ended job's own event.
    QMetaObject::invokeMethod(this, &QueueRunner::fill, Qt::QueuedConnection);
}

void QueueRunner::finishWhenIdle()
{
    if (!m_running)
        return;
    const bool busy = std::any_of(m_slots.begin(), m_slots.end(), [](const auto &slot) { return slot->busy(); });
    if (busy || (!m_stopping && m_list.nextWaiting() >= 0))
        return;
    m_running = false;
    m_paused = false;
    m_stopping = false;
    emit finished();
}

void QueueRunner::stop()
{
    if (!m_running || m_stopping)
        return;
    m_stopping = true;
    m_paused = false;
    for (const auto &slot : m_slots)
        slot->cancel();
    QMetaObject::invokeMethod(this, &QueueRunner::finishWhenIdle, Qt::QueuedConnection);
}

bool QueueRunner::pause()
{
    if (!m_running || m_paused || m_stopping)
        return false;
    m_paused = true;
    for (const auto &slot : m_slots)
        slot->pause();
    emit progressed();
    return true;
}

bool QueueRunner::resume()
{
    if (!m_paused)
        return false;
    m_paused = false;
    for (const auto &slot : m_slots)
        slot->resume();
    emit progressed();
    QMetaObject::invokeMethod(this, &QueueRunner::fill, Qt::QueuedConnection);
    return true;
}

qsizetype QueueRunner::current() const
{
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        if (m_list.at(i).state == QueueItem::State::Converting)
            return i;
    }
    return -1;
}

int QueueRunner::fileNumber() const
{
    return int(std::min<qsizetype>(m_ended + 1, std::max<qsizetype>(m_runItems, 1)));
}

int QueueRunner::currentPercent() const
{
    const qsizetype index = current();
    return index < 0 ? 0 : m_list.at(index).percent;
}

const ConversionSlot *QueueRunner::slotOf(qsizetype item) const
{
    for (const auto &slot : m_slots) {
        if (slot->busy() && item >= 0 && slot->item() == qsizetype(m_list.at(item).id))
            return slot.get();
    }
    return nullptr;
}

std::optional<qint64> QueueRunner::currentTimeLeftMs() const
{
    const ConversionSlot *slot = slotOf(current());
    return slot ? slot->timeLeftMs() : std::nullopt;
}

QString QueueRunner::summaryText(const Summary &summary)
{
    QString text = QStringLiteral("%1 converted").arg(summary.done);
    if (summary.failed > 0)
        text += QStringLiteral(", %1 failed: ").arg(summary.failed) + summary.failures.join(QStringLiteral("; "));
    return text;
}
