#include "OutputWatch.h"

#include "OutputRules.h"
#include "protocol/Protocol.h"

#include <algorithm>

namespace {

// Longer than any line ffmpeg writes: an endless line is passed on in pieces.
constexpr std::size_t MaxPending = 64 * 1024;

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

}

OutputWatch::OutputWatch(std::vector<Name> names, std::string destination)
    : m_names(std::move(names))
    , m_destination(std::move(destination))
{
    std::erase_if(m_names, [](const Name &name) { return name.given.empty() || name.given == name.shown; });
    // The longest first, so that "./.x" is replaced before its part ".x".
    std::ranges::stable_sort(m_names, [](const Name &a, const Name &b) { return a.given.size() > b.given.size(); });
}

std::string OutputWatch::take(std::string_view piece)
{
    m_pending.append(piece);
    const auto lastEnd = std::find_if(m_pending.rbegin(), m_pending.rend(), isLineEnd);
    if (lastEnd == m_pending.rend())
        return m_pending.size() > MaxPending ? flush() : std::string();
    const std::size_t complete = static_cast<std::size_t>(m_pending.rend() - lastEnd);
    std::string text = rewrite(m_pending.substr(0, complete));
    m_pending.erase(0, complete);
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isLineEnd(text[i])) {
            m_line.append(text, start, i - start);
            read(m_line);
            m_line.clear();
            start = i + 1;
        }
    }
    return text;
}

std::string OutputWatch::flush()
{
    std::string text = rewrite(std::move(m_pending));
    m_pending.clear();
    m_line += text;
    if (m_line.size() > MaxPending)
        m_line.clear();
    return text;
}

std::string OutputWatch::rewrite(std::string text) const
{
    for (const Name &name : m_names) {
        for (std::size_t at = text.find(name.given); at != std::string::npos;
             at = text.find(name.given, at + name.shown.size()))
            text.replace(at, name.given.size(), name.shown);
    }
    return text;
}

void OutputWatch::read(std::string_view line)
{
    const LineRule *rule = OutputRules::match(line);
    if (!rule)
        return;
    switch (rule->meaning) {
    case LineMeaning::WriteFailure:
        if (!m_writeFailure) {
            const std::size_t colon = line.rfind(": ");
            m_writeFailure = colon == std::string_view::npos ? std::string(line) : std::string(line.substr(colon + 2));
        }
        break;
    case LineMeaning::NoStreams:
        m_noStreams = true;
        break;
    case LineMeaning::InputHeader:
        m_inInput = true;
        break;
    case LineMeaning::OutputHeader:
        m_inInput = false;
        break;
    case LineMeaning::Stream:
        if (m_inInput) {
            m_inputVideo = m_inputVideo || line.find(": Video: ") != std::string_view::npos;
            m_inputAudio = m_inputAudio || line.find(": Audio: ") != std::string_view::npos;
        }
        break;
    }
}

std::string OutputWatch::tellingLine() const
{
    if (m_writeFailure)
        return m_destination + ": " + *m_writeFailure;
    if (m_noStreams && !m_inputAudio)
        return m_inputVideo ? Protocol::NoSoundTrack : Protocol::NoPictureNoSound;
    return {};
}
