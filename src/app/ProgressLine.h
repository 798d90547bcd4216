#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// Shows a conversion's percent, elapsed time and an estimate of the time left on a stream:
// redrawn in place on a terminal, one line per ten percent otherwise.
class ProgressLine {
public:
    explicit ProgressLine(std::FILE *stream);

    void start();
    void update(int percent);
    // Ends the line on a terminal so that the next message starts on its own.
    void finish();

    static QString formatDuration(qint64 ms);
    // The time left when percent of the work took elapsedMs; negative while unknown.
    static qint64 remainingMs(int percent, qint64 elapsedMs);

private:
    std::FILE *m_stream;
    bool m_terminal = false;
    bool m_drawn = false;
    int m_lastDecile = 0;
    QElapsedTimer m_clock;
};
