#include "app/ProgressLine.h"

#include <unistd.h>

ProgressLine::ProgressLine(std::FILE *stream)
    : m_stream(stream), m_terminal(::isatty(::fileno(stream)) == 1)
{
}

void ProgressLine::start()
{
    m_clock.start();
    m_drawn = false;
    m_lastDecile = 0;
}

QString ProgressLine::formatDuration(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

qint64 ProgressLine::remainingMs(int percent, qint64 elapsedMs)
{
    if (percent <= 0)
        return -1;
    return elapsedMs * (100 - percent) / percent;
}

void ProgressLine::update(int percent)
{
    const qint64 elapsed = m_clock.elapsed();
    const qint64 left = remainingMs(percent, elapsed);
    const QString text = QStringLiteral("%1% elapsed %2, %3")
                             .arg(percent, 3)
                             .arg(formatDuration(elapsed))
                             .arg(left < 0 ? QStringLiteral("time left unknown")
                                           : QStringLiteral("about %1 left").arg(formatDuration(left)));
    if (m_terminal) {
        std::fprintf(m_stream, "\r%s\033[K", qPrintable(text));
        m_drawn = true;
    } else if (percent / 10 > m_lastDecile) {
        m_lastDecile = percent / 10;
        std::fprintf(m_stream, "%s\n", qPrintable(text));
    }
    std::fflush(m_stream);
}

void ProgressLine::finish()
{
    if (m_terminal && m_drawn)
        std::fputc('\n', m_stream);
    m_drawn = false;
    std::fflush(m_stream);
}
