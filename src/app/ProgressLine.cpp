#include "app/ProgressLine.h"

#include "mainwindow/ClockText.h"

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

QString ProgressLine::text(int percent, qint64 elapsedMs, std::optional<qint64> leftMs)
{
    return QStringLiteral("%1% elapsed %2, %3")
        .arg(percent, 3)
        .arg(clockText(elapsedMs))
        .arg(leftMs ? QStringLiteral("about %1 left").arg(clockText(*leftMs)) : QStringLiteral("time left unknown"));
}

void ProgressLine::update(int percent, std::optional<qint64> leftMs)
{
    const QString line = text(percent, m_clock.elapsed(), leftMs);
    if (m_terminal) {
        std::fprintf(m_stream, "\r%s\033[K", qPrintable(line));
        m_drawn = true;
    } else if (percent / 10 > m_lastDecile) {
        m_lastDecile = percent / 10;
        std::fprintf(m_stream, "%s\n", qPrintable(line));
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
