#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// Wall time of a run without the spans it was paused, so that the elapsed time and the time left
// do not count a pause. Every call has a form that takes the monotonic time in milliseconds, for
// tables; the plain forms read the monotonic clock.
class PausableClock {
public:
    void start() { start(now()); }
    void pause() { pause(now()); }
    void resume() { resume(now()); }
    qint64 elapsed() const { return elapsed(now()); }

    void start(qint64 nowMs);
    void pause(qint64 nowMs);
    void resume(qint64 nowMs);
    qint64 elapsed(qint64 nowMs) const;

    bool isValid() const { return m_started; }
    bool isPaused() const { return m_pausedAt >= 0; }

private:
    static qint64 now();

    bool m_started = false;
    qint64 m_startedAt = 0;
    qint64 m_pausedTotal = 0;
    qint64 m_pausedAt = -1;
};
