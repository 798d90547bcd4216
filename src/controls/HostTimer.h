#pragma once

#include <QObject>
#include <QTimer>

// A message-loop timer with the host's contract: it ticks only while enabled with an interval
// above 0 (interval 0 means off, as a stopped timer), and an interval outside 0..65535 is
// rejected with the invalid-property-value RuntimeError, leaving the old interval.
class HostTimer : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(HostTimer)
public:
    explicit HostTimer(int interval, QObject *parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    // Enabling a running timer keeps its current countdown.
    void setEnabled(bool enabled);
    int interval() const { return m_interval; }
    // A new interval restarts the countdown of a running timer.
    void setInterval(qint64 interval);
    bool isTicking() const { return m_timer.isActive(); }

signals:
    void timeout();

private:
    void apply(bool restart);

    QTimer m_timer;
    bool m_enabled = false;
    int m_interval = 0;
};
