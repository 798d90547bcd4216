#include "workflow/QueueRunner.h"

#include "workflow/PathText.h"

#include <QFileInfo>

QueueRunner::QueueRunner(QueueList &list, QObject *parent)
    : QObject(parent), m_list(list)
{
}

QueueRunner::~QueueRunner() = default;

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
    m_slots = ConversionQueue::slotsFor(m_atOnce);
    m_queue = std::make_unique<ConversionQueue>();
    m_queue->setSlotCount(m_slots);
    m_queue->setShowsMessages(m_showsMessages);
    if (!m_programFolder.isEmpty())
        m_queue->setProgramFolder(m_programFolder);
    ConversionQueue *queue = m_queue.get();
    connect(queue, &ConversionQueue::progressed, this, [this](qsizetype queued, int percent, qint64, std::optional<qint64> leftMs) {
        const quint64 id = m_ids.at(queued);
        m_left.insert(id, leftMs);
        m_list.setPercent(m_list.indexOf(id), percent);
        emit progressed();
    });
    connect(queue, &ConversionQueue::done, this, [this](qsizetype queued, qint64, qint64, const QString &warning) {
        ended(queued, {QueueItem::State::Done, QString(), warning, false});
    });
    connect(queue, &ConversionQueue::failed, this, [this](qsizetype queued, const QString &reason, bool refused) {
        ended(queued, {QueueItem::State::Failed, reason, QString(), refused});
    });
    connect(queue, &ConversionQueue::cancelled, this,
            [this](qsizetype queued) { ended(queued, {QueueItem::State::Cancelled, QString(), QString(), false}); });
    connect(queue, &ConversionQueue::message, this, [this](qsizetype, const QString &text) { emit message(text); });
    connect(queue, &ConversionQueue::finished, this, &QueueRunner::queueFinished);
    m_ids.clear();
    m_left.clear();
    m_inFlight = 0;
    m_running = true;
    m_stopping = false;
    m_ended = 0;
    m_summary = Summary();
    m_lastEnding = Ending();
    feed();
    emit progressed();
    queue->startNow();
    return true;
}

// Hands the next waiting items to the queue while it has slots free.
void QueueRunner::feed()
{
    while (m_running && !m_stopping && !m_queue->paused() && m_inFlight < m_slots) {
        const qsizetype index = m_list.nextWaiting();
        if (index < 0)
            break;
        const QueueItem item = m_list.at(index);
        m_list.setState(index, QueueItem::State::Converting);
        m_ids.append(item.id);
        ++m_inFlight;
        m_queue->add(item.source, item.preset, item.destination, item.options, item.target);
    }
}

void QueueRunner::ended(qsizetype queued, const Ending &ending)
{
    const QueueItem::State state = ending.state;
    const QString &reason = ending.reason;
    m_lastEnding = ending;
    const qsizetype index = m_list.indexOf(m_ids.at(queued));
    --m_inFlight;
    ++m_ended;
    const QString name = index < 0 ? QString() : QFileInfo(m_list.at(index).source).fileName();
    m_list.setState(index, state, reason);
    switch (state) {
    case QueueItem::State::Done:
        ++m_summary.done;
        break;
    case QueueItem::State::Failed:
        ++m_summary.failed;
        m_summary.failures << PathText::shown(name) + QStringLiteral(" — ") + reason;
        break;
    default:
        ++m_summary.cancelled;
        break;
    }
    feed();
    emit progressed();
}

void QueueRunner::queueFinished()
{
    // Handed over as slots come free, the queue may run dry while items still wait: a pause
    // keeps them for the resumption.
    if (!m_stopping && m_list.nextWaiting() >= 0) {
        feed();
        return;
    }
    // Handed over but never started before the stop: they wait again.
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        if (m_list.at(i).state == QueueItem::State::Converting)
            m_list.setState(i, QueueItem::State::Waiting);
    }
    m_running = false;
    m_stopping = false;
    emit finished();
}

void QueueRunner::stop()
{
    if (!m_running || m_stopping)
        return;
    m_stopping = true;
    m_queue->cancelAll();
}

bool QueueRunner::pause()
{
    if (!m_running || m_stopping || !m_queue->pause())
        return false;
    emit progressed();
    return true;
}

bool QueueRunner::resume()
{
    if (!m_running || !m_queue->resume())
        return false;
    feed();
    emit progressed();
    return true;
}

ConversionRun *QueueRunner::runOf(qsizetype index) const
{
    const qsizetype queued = index < 0 || index >= m_list.size() ? -1 : m_ids.lastIndexOf(m_list.at(index).id);
    return queued < 0 || !m_queue ? nullptr : m_queue->runOf(queued);
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

std::optional<qint64> QueueRunner::currentTimeLeftMs() const
{
    const qsizetype index = current();
    return index < 0 ? std::nullopt : m_left.value(m_list.at(index).id);
}

QString QueueRunner::summaryText(const Summary &summary)
{
    QString text = QStringLiteral("%1 converted").arg(summary.done);
    if (summary.failed > 0)
        text += QStringLiteral(", %1 failed: ").arg(summary.failed)
            + PathText::firstOf(summary.failures, SummaryFailures, QStringLiteral("; "));
    return text;
}
