#include "workflow/EncoderWarning.h"

#include "protocol/Protocol.h"

namespace {

// Longer than any line the adapter writes; an endless line is not one of its own.
constexpr qsizetype MaxLine = 4096;

} // namespace

void EncoderWarning::reset()
{
    m_line.clear();
    m_warning.clear();
}

void EncoderWarning::feed(const QString &text)
{
    for (const QChar c : text) {
        if (c == u'\n' || c == u'\r') {
            read(m_line);
            m_line.clear();
        } else if (m_line.size() < MaxLine) {
            m_line += c;
        }
    }
}

void EncoderWarning::read(const QString &line)
{
    const QString prefix = QLatin1String(Protocol::OutputPrefix) + QLatin1String(Protocol::EndedEarly);
    if (line.startsWith(prefix))
        m_warning = line.mid(qsizetype(qstrlen(Protocol::OutputPrefix)));
}
