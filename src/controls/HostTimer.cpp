#include "controls/HostTimer.h"

#include "common/RuntimeError.h"

HostTimer::HostTimer(int interval, QObject *parent) : QObject(parent), m_interval(interval)
{
    connect(&m_timer, &QTimer::timeout, this, &HostTimer::timeout);
}

void HostTimer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    apply(false);
}

void HostTimer::setInterval(qint64 interval)
{
    if (interval < 0 || interval > 65535)
        throw RuntimeError::invalidPropertyValue();
    m_interval = static_cast<int>(interval);
    apply(true);
}

void HostTimer::apply(bool restart)
{
    if (!m_enabled || m_interval == 0) {
        m_timer.stop();
        return;
    }
    if (restart || !m_timer.isActive() || m_timer.interval() != m_interval)
        m_timer.start(m_interval);
}
