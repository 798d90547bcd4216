#include "app/BatchConverter.h"

#include "app/BatchReport.h"

#include <QFileInfo>
#include <QThread>

BatchConverter::BatchConverter(const CommandLinePlan &plan, BatchReport &report, QObject *parent)
    : QObject(parent), m_plan(plan), m_report(report)
{
    for (int i = slotCount(plan.jobs, plan.items.size()); i > 0; --i) {
        auto slot = std::make_unique<ConversionSlot>();
        ConversionSlot *s = slot.get();
        connect(s, &ConversionSlot::progressed, this, [this, s](int percent) {
            m_report.progressed(s->item(), percent, s->elapsedMs(), s->timeLeftMs());
        });
        connect(s, &ConversionSlot::ended, this, [this, s](ConversionSlot::Outcome outcome) { slotEnded(*s, outcome); });
        m_slots.push_back(std::move(slot));
    }
}

BatchConverter::~BatchConverter() = default;

int BatchConverter::slotCount(int jobs, qsizetype items)
{
    const int wanted = jobs > 0 ? jobs : std::max(1, QThread::idealThreadCount());
    return int(std::clamp<qsizetype>(items, 1, wanted));
}

void BatchConverter::start()
{
    QMetaObject::invokeMethod(this, &BatchConverter::fill, Qt::QueuedConnection);
}

bool BatchConverter::anyBusy() const
{
    return std::any_of(m_slots.begin(), m_slots.end(), [](const auto &slot) { return slot->busy(); });
}

void BatchConverter::finishWhenIdle()
{
    if (m_finished || anyBusy())
        return;
    if (m_signal == 0 && m_next < m_plan.items.size())
        return;
    m_finished = true;
    emit finished(m_signal != 0 ? 128 + m_signal : m_failures > 0 ? ExitFailed : 0);
}

// Starts items on the free slots, in the plan's order.
void BatchConverter::fill()
{
    for (const auto &slot : m_slots) {
        while (!slot->busy() && !m_paused && m_signal == 0 && m_next < m_plan.items.size()) {
            const qsizetype index = m_next++;
            const ConversionItem &item = m_plan.items.at(index);
            // Looked at only now, so that a batch run again after an interruption skips what the
            // first run finished.
            if (m_plan.noOverwrite && FileProbe::system().exists(item.destination)) {
                m_report.skipped(index);
                continue;
            }
            m_report.started(index);
            if (!slot->start(index, m_plan.preset, item.source, item.destination)) {
                ++m_failures;
                m_report.failed(index, slot->reason());
            }
        }
    }
    finishWhenIdle();
}

void BatchConverter::slotEnded(const ConversionSlot &slot, ConversionSlot::Outcome outcome)
{
    const qsizetype index = slot.item();
    switch (outcome) {
    case ConversionSlot::Outcome::Done:
        m_report.done(index, slot.elapsedMs(), QFileInfo(m_plan.items.at(index).destination).size());
        break;
    case ConversionSlot::Outcome::Failed:
        ++m_failures;
        m_report.failed(index, slot.reason());
        break;
    case ConversionSlot::Outcome::Cancelled:
        m_report.cancelled(index);
        break;
    }
    // The next item starts from the event loop, not inside the ended job's own event.
    QMetaObject::invokeMethod(this, &BatchConverter::fill, Qt::QueuedConnection);
}

void BatchConverter::pause()
{
    if (m_paused || m_finished)
        return;
    m_paused = true;
    for (const auto &slot : m_slots)
        slot->pause();
    m_report.paused();
}

void BatchConverter::resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    for (const auto &slot : m_slots)
        slot->resume();
    m_report.resumed();
    QMetaObject::invokeMethod(this, &BatchConverter::fill, Qt::QueuedConnection);
}

void BatchConverter::interrupt(int signal)
{
    resume();
    if (m_signal != 0 || m_finished)
        return;
    m_signal = signal;
    const auto running = std::count_if(m_slots.begin(), m_slots.end(), [](const auto &slot) { return slot->busy(); });
    if (running > 0)
        m_report.note(running == 1 ? QStringLiteral("cancelling the conversion")
                                   : QStringLiteral("cancelling %1 conversions").arg(running));
    for (const auto &slot : m_slots)
        slot->cancel();
    QMetaObject::invokeMethod(this, &BatchConverter::finishWhenIdle, Qt::QueuedConnection);
}
