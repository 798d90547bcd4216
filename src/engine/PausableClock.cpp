#include "engine/PausableClock.h"

#include <algorithm>

qint64 PausableClock::now()
{
    static const QElapsedTimer origin = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return origin.elapsed();
}

void PausableClock::start(qint64 nowMs)
{
    m_started = true;
    m_startedAt = nowMs;
    m_pausedTotal = 0;
    m_pausedAt = -1;
}

void PausableClock::pause(qint64 nowMs)
{
    if (m_started && !isPaused())
        m_pausedAt = nowMs;
}

void PausableClock::resume(qint64 nowMs)
{
    if (!isPaused())
        return;
    m_pausedTotal += std::max<qint64>(0, nowMs - m_pausedAt);
    m_pausedAt = -1;
}

qint64 PausableClock::elapsed(qint64 nowMs) const
{
    if (!m_started)
        return 0;
    const qint64 until = isPaused() ? m_pausedAt : nowMs;
    return std::max<qint64>(0, until - m_startedAt - m_pausedTotal);
}
