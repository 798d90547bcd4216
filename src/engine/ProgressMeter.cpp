#include "engine/ProgressMeter.h"

#include <QList>

#include <cmath>

namespace {

constexpr qsizetype MaxPartial = 4096;
constexpr double MaxLeftMs = 1e10; // about 115 days
constexpr double MinShareForTimeLeft = 0.05;
constexpr double MinSecondsForTimeLeft = 30;

} // namespace

void ProgressMeter::reset(int ratio)
{
    *this = ProgressMeter();
    m_ratio = ratio;
}

void ProgressMeter::expectSpan(double seconds)
{
    if (!(seconds > 0) || !std::isfinite(seconds))
        return;
    m_duration = seconds;
    m_basis = Basis::Measured;
}

double ProgressMeter::estimateShare(qsizetype length, qint64 fileSize, int ratio)
{
    if (fileSize <= 0 || ratio <= 0)
        return 0;
    const double expected = double(fileSize) * double(ratio) / 8200.0;
    return double(length) / expected * 100.0;
}

int ProgressMeter::estimate() const
{
    return int(std::min<double>(std::floor(m_estimate), Cap));
}

std::optional<double> ProgressMeter::parseClock(QStringView text)
{
    if (text.startsWith(QLatin1Char('-')))
        return std::nullopt;
    const auto parts = text.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return std::nullopt;
    bool okH = false;
    bool okM = false;
    bool okS = false;
    const int hours = parts[0].toInt(&okH);
    const int minutes = parts[1].toInt(&okM);
    const double seconds = parts[2].toDouble(&okS);
    // "nan" and "inf" read as numbers, but no clock shows them.
    if (!okH || !okM || !okS || hours < 0 || minutes < 0 || !std::isfinite(seconds) || seconds < 0)
        return std::nullopt;
    return hours * 3600.0 + minutes * 60.0 + seconds;
}

void ProgressMeter::scanLine(QStringView line)
{
    // The clock value runs up to the next blank or comma.
    auto valueAfter = [line](QLatin1String key) -> std::optional<std::optional<double>> {
        const qsizetype at = line.lastIndexOf(key);
        if (at < 0)
            return std::nullopt;
        QStringView rest = line.mid(at + key.size()).trimmed();
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != QLatin1Char(' ') && rest[end] != QLatin1Char(','))
            ++end;
        return parseClock(rest.left(end));
    };
    if (m_basis != Basis::Measured) {
        if (const auto d = valueAfter(QLatin1String("Duration:"))) {
            if (*d && **d > 0) {
                m_duration = *d;
                m_basis = Basis::Measured;
            } else {
                // An input of unknown length: its time cannot be measured against anything.
                m_basis = Basis::Estimate;
            }
        }
    }
    if (const auto t = valueAfter(QLatin1String("time=")); t && *t)
        m_time = *t;
}

int ProgressMeter::current() const
{
    switch (m_basis) {
    case Basis::Waiting:
        return 0;
    case Basis::Estimate:
        return estimate();
    case Basis::Measured:
        break;
    }
    if (!m_time)
        return 0;
    const double share = std::floor(*m_time / *m_duration * 100.0);
    return share < 0 ? 0 : int(std::min<double>(share, Cap));
}

int ProgressMeter::feed(const QString &chunk, qint64 fileSize)
{
    m_estimate = std::min<double>(Cap, m_estimate + estimateShare(chunk.size(), fileSize, m_ratio));

    m_partial += chunk;
    qsizetype start = 0;
    for (qsizetype i = 0; i < m_partial.size(); ++i) {
        const QChar c = m_partial.at(i);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            scanLine(QStringView(m_partial).mid(start, i - start));
            start = i + 1;
        }
    }
    m_partial.remove(0, start);
    // A line never ends in runaway text: keep only its tail.
    if (m_partial.size() > MaxPartial)
        m_partial = m_partial.right(MaxPartial);

    if (m_basis == Basis::Waiting) {
        m_textWaiting += chunk.size();
        if (m_textWaiting >= EstimateAfter)
            m_basis = Basis::Estimate;
    }
    m_shown = std::max(m_shown, current());
    return m_shown;
}

std::optional<qint64> ProgressMeter::timeLeftMs(qint64 elapsedMs) const
{
    if (m_basis != Basis::Measured || !m_time || *m_time <= 0 || elapsedMs < 0)
        return std::nullopt;
    const double share = std::min(*m_time / *m_duration, 1.0);
    // The first reports come as the encoder starts up, before its pace shows: a figure from them
    // says minutes for a run of seconds. A long source's half minute is pace enough.
    if (share < MinShareForTimeLeft && *m_time < MinSecondsForTimeLeft)
        return std::nullopt;
    const double left = std::ceil(double(elapsedMs) * (1.0 - share) / share);
    // A first report of a few microseconds of a long input says nothing yet.
    if (!(left <= MaxLeftMs))
        return std::nullopt;
    return qint64(left);
}
