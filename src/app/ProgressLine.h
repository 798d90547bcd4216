#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <optional>

// Shows a conversion's percent, elapsed time and the time left on a stream: redrawn in place on
// a terminal, one line per ten percent otherwise.
class ProgressLine {
public:
    explicit ProgressLine(std::FILE *stream);

    void start();
    // leftMs: the conversion's time left, once it is known.
    void update(int percent, std::optional<qint64> leftMs);
    // Ends the line on a terminal so that the next message starts on its own.
    void finish();

    static QString text(int percent, qint64 elapsedMs, std::optional<qint64> leftMs);

private:
    std::FILE *m_stream;
    bool m_terminal = false;
    bool m_drawn = false;
    int m_lastDecile = 0;
    QElapsedTimer m_clock;
};
