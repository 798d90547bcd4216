#include "OutputWatch.h"

#include "OutputRules.h"
#include "protocol/Protocol.h"

#include <algorithm>
#include <charconv>

namespace {

// Longer than any line ffmpeg writes: an endless line is passed on in pieces.
constexpr std::size_t MaxPending = 64 * 1024;

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// "time=00:01:02.50" in a progress line; nothing for "time=N/A".
std::optional<double> timeIn(std::string_view line)
{
    const std::size_t at = line.find("time=");
    if (at == std::string_view::npos)
        return std::nullopt;
    int hours = 0;
    int minutes = 0;
    double seconds = 0;
    std::string_view text = line.substr(at + 5);
    const char *end = text.data() + text.size();
    auto [p, e] = std::from_chars(text.data(), end, hours);
    if (e != std::errc() || p == end || *p != ':')
        return std::nullopt;
    auto [q, f] = std::from_chars(p + 1, end, minutes);
    if (f != std::errc() || q == end || *q != ':')
        return std::nullopt;
    auto [r, g] = std::from_chars(q + 1, end, seconds);
    if (g != std::errc() || hours < 0)
        return std::nullopt;
    return hours * 3600.0 + minutes * 60.0 + seconds;
}

// "Stream #0:1 -> #0:0 (...)": the input stream 1 of input 0.
std::optional<int> mappedInput(std::string_view line)
{
    constexpr std::string_view Start = "Stream #0:";
    const std::size_t at = line.find(Start);
    if (at == std::string_view::npos || line.find(" -> ") == std::string_view::npos)
        return std::nullopt;
    int index = 0;
    const std::string_view rest = line.substr(at + Start.size());
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), index);
    if (error != std::errc())
        return std::nullopt;
    return index;
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
    if (const std::optional<double> time = timeIn(line))
        m_writtenTime = time;
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
        m_listing = Listing::Input;
        break;
    case LineMeaning::OutputHeader:
        m_listing = Listing::Output;
        break;
    case LineMeaning::MappingHeader:
        m_listing = Listing::Mapping;
        break;
    case LineMeaning::Stream: {
        const bool video = line.find(": Video: ") != std::string_view::npos
            && line.find("(attached pic)") == std::string_view::npos;
        const bool audio = line.find(": Audio: ") != std::string_view::npos;
        if (m_listing == Listing::Input) {
            m_inputVideo = m_inputVideo || video;
            m_inputAudio = m_inputAudio || audio;
        } else if (m_listing == Listing::Output) {
            m_outputVideo = m_outputVideo || video;
            m_outputAudio = m_outputAudio || audio;
        } else if (m_listing == Listing::Mapping) {
            if (const std::optional<int> input = mappedInput(line); input && std::ranges::find(m_mapped, *input) == m_mapped.end())
                m_mapped.push_back(*input);
        }
        break;
    }
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
