#include "workflow/ConversionQueue.h"

#include "workflow/FileNameBytes.h"

#include <QThread>

#include <sys/stat.h>

namespace {

// By the name's bytes, which QFileInfo would not keep; 0 when it cannot be measured.
qint64 sizeOf(const QString &path)
{
    struct stat info {};
    return ::stat(FileNameBytes::encode(path).constData(), &info) == 0 ? qint64(info.st_size) : 0;
}

} // namespace

ConversionQueue::ConversionQueue(QObject *parent)
    : QObject(parent)
{
}

ConversionQueue::~ConversionQueue() = default;

qsizetype ConversionQueue::add(const QString &source, const QString &preset, const QString &destination,
                               const ConversionOptions &options, const Target &target)
{
    m_items.append({source, preset, destination, options, target});
    if (m_started && !m_stopped) {
        m_finished = false;
        QMetaObject::invokeMethod(this, &ConversionQueue::fill, Qt::QueuedConnection);
    }
    return m_items.size() - 1;
}

int ConversionQueue::slotsFor(int wanted)
{
    return wanted > 0 ? wanted : std::max(1, QThread::idealThreadCount());
}

void ConversionQueue::startNow()
{
    m_started = true;
    fill();
}

ConversionRun *ConversionQueue::runOf(qsizetype item) const
{
    for (const auto &slot : m_slots) {
        if (slot->item == item)
            return &slot->run;
    }
    return nullptr;
}

void ConversionQueue::start()
{
    m_started = true;
    QMetaObject::invokeMethod(this, &ConversionQueue::fill, Qt::QueuedConnection);
}

qsizetype ConversionQueue::runningCount() const
{
    return std::count_if(m_slots.begin(), m_slots.end(), [](const auto &slot) { return slot->busy(); });
}

void ConversionQueue::finishWhenIdle()
{
    if (m_finished || runningCount() > 0)
        return;
    if (!m_stopped && m_next < m_items.size())
        return;
    m_finished = true;
    emit finished();
}

ConversionQueue::Slot *ConversionQueue::freeSlot()
{
    for (const auto &slot : m_slots) {
        if (!slot->busy())
            return slot.get();
    }
    if (int(m_slots.size()) >= m_slotCount)
        return nullptr;
    auto slot = std::make_unique<Slot>();
    Slot *s = slot.get();
    connect(&s->run, &ConversionRun::progressed, this, [this, s](int percent) {
        emit progressed(s->item, percent, s->run.elapsedMs(), s->run.timeLeftMs());
    });
    connect(&s->run, &ConversionRun::ended, this, [this, s](ConversionRun::Outcome outcome) { slotEnded(*s, outcome); });
    // The queue names the item with each message, so the runs only keep them.
    s->run.conversion().setShowsMessages(m_showsMessages);
    connect(&s->run.conversion(), &Conversion::message, this, [this, s](const QString &text) { emit message(s->item, text); });
    s->run.job().setProgramFolder(m_programFolder);
    m_slots.push_back(std::move(slot));
    return s;
}

// Starts items on the free slots, in the queue's order.
void ConversionQueue::fill()
{
    while (!m_stopped && !m_paused && m_next < m_items.size()) {
        Slot *slot = freeSlot();
        if (!slot)
            break;
        const qsizetype index = m_next++;
        // A copy: the handlers of the signals below may add items.
        const Item item = m_items.at(index);
        // Looked at only now, so that a queue run again after an interruption skips what the first
        // run finished.
        struct stat info {};
        if (m_skipExisting && ::lstat(FileNameBytes::encode(item.destination).constData(), &info) == 0) {
            emit skipped(index);
            continue;
        }
        slot->item = index;
        emit started(index);
        if (m_stopped) {
            // Cancelled from the handler of its own start.
            emit cancelled(index);
            break;
        }
        if (item.target.kind != Target::Kind::None) {
            plan(*slot, index);
            continue;
        }
        if (!slot->run.start(item.preset, item.source, item.destination, item.options)) {
            ++m_failures;
            emit failed(index, slot->run.reason(), true);
        }
    }
    finishWhenIdle();
}

// The line of an item with a target comes from samples of its source; the conversion starts once
// it is chosen. A target that cannot be met fails the item with the reason.
void ConversionQueue::plan(Slot &slot, qsizetype index)
{
    Slot *s = &slot;
    s->planner = std::make_unique<TargetPlanner>();
    TargetPlanner *planner = s->planner.get();
    planner->setProgramFolder(m_programFolder);
    const auto release = [this, s] {
        // Not inside the planner's own signal.
        if (s->planner)
            s->planner.release()->deleteLater();
        QMetaObject::invokeMethod(this, &ConversionQueue::fill, Qt::QueuedConnection);
    };
    connect(planner, &TargetPlanner::planned, this, [this, s, index, release](const TargetPlanner::Plan &plan) {
        emit planned(index, plan.setting, plan.note);
        const Item item = m_items.at(index);
        if (m_stopped) {
            emit cancelled(index);
        } else if (!s->run.start(item.preset, item.source, item.destination, item.options, plan.arguments)) {
            ++m_failures;
            emit failed(index, s->run.reason(), true);
        } else if (m_paused) {
            // Paused while its samples ran: it waits for the resumption like the others.
            s->run.pause();
        }
        release();
    });
    connect(planner, &TargetPlanner::failed, this, [this, index, release](const QString &reason) {
        ++m_failures;
        emit failed(index, reason, true);
        release();
    });
    connect(planner, &TargetPlanner::cancelled, this, [this, index, release] {
        emit cancelled(index);
        release();
    });
    const Item &item = m_items.at(index);
    planner->plan(TargetPlanner::request(item.preset, item.source, item.target, item.options));
}

void ConversionQueue::slotEnded(const Slot &slot, ConversionRun::Outcome outcome)
{
    const qsizetype index = slot.item;
    switch (outcome) {
    case ConversionRun::Outcome::Done:
        emit done(index, slot.run.elapsedMs(), sizeOf(m_items.at(index).destination), slot.run.conversion().warning());
        break;
    case ConversionRun::Outcome::Failed:
        ++m_failures;
        emit failed(index, slot.run.reason(), slot.run.refused());
        break;
    case ConversionRun::Outcome::Cancelled:
        emit cancelled(index);
        break;
    }
    // The next item starts from the event loop, not inside the ended job's own event; with none
    // left, the queue's end is told with its last item's.
    if (m_stopped || m_paused || m_next >= m_items.size())
        finishWhenIdle();
    else
        QMetaObject::invokeMethod(this, &ConversionQueue::fill, Qt::QueuedConnection);
}

void ConversionQueue::cancelAll()
{
    if (m_stopped || m_finished)
        return;
    m_stopped = true;
    for (const auto &slot : m_slots) {
        slot->run.cancel();
        if (slot->planner)
            slot->planner->cancel();
    }
    QMetaObject::invokeMethod(this, &ConversionQueue::finishWhenIdle, Qt::QueuedConnection);
}

bool ConversionQueue::pause()
{
    if (m_paused || m_stopped || m_finished)
        return false;
    m_paused = true;
    for (const auto &slot : m_slots)
        slot->run.pause();
    return true;
}

bool ConversionQueue::resume()
{
    if (!m_paused)
        return false;
    m_paused = false;
    for (const auto &slot : m_slots)
        slot->run.resume();
    QMetaObject::invokeMethod(this, &ConversionQueue::fill, Qt::QueuedConnection);
    return true;
}
