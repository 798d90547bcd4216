#include "MediaProbe.h"

#include "Ffmpeg.h"
#include "FileNames.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

std::optional<double> number(std::string_view text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0)
        return std::nullopt;
    return value;
}

// "25/1" -> 0.04 s
std::optional<double> frameSecondsOf(std::string_view rate)
{
    const std::size_t slash = rate.find('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::optional<double> numerator = number(rate.substr(0, slash));
    const std::optional<double> denominator = number(rate.substr(slash + 1));
    if (!numerator || !denominator || *numerator <= 0 || *denominator <= 0)
        return std::nullopt;
    return *denominator / *numerator;
}

bool contains(const std::vector<int> &indices, int index)
{
    return std::ranges::find(indices, index) != indices.end();
}

}

MediaProbe MediaProbe::parse(std::string_view text, int exitStatus)
{
    MediaProbe probe;
    enum class Section { None, Stream, Format } section = Section::None;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line == "[STREAM]") {
            section = Section::Stream;
            probe.streams.emplace_back();
            continue;
        }
        if (line == "[FORMAT]") {
            section = Section::Format;
            probe.opened = exitStatus == 0;
            continue;
        }
        if (line.starts_with("[/")) {
            section = Section::None;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || section == Section::None)
            continue;
        const std::string_view key = line.substr(0, equals);
        const std::string_view value = line.substr(equals + 1);
        if (section == Section::Format) {
            if (key == "duration")
                probe.duration = number(value);
            continue;
        }
        Stream &stream = probe.streams.back();
        if (key == "index")
            stream.index = static_cast<int>(number(value).value_or(0));
        else if (key == "codec_type")
            stream.type = value;
        else if (key == "duration")
            stream.duration = number(value);
        else if (key == "avg_frame_rate")
            stream.frameSeconds = frameSecondsOf(value);
        else if (key == "nb_read_packets")
            stream.packets = number(value) ? static_cast<long>(*number(value)) : 0;
        else if (key == "DISPOSITION:attached_pic")
            stream.attachedPicture = value == "1";
    }
    return probe;
}

MediaProbe MediaProbe::of(const std::string &ffprobe, const std::string &file, bool countPackets)
{
    std::vector<std::string> arguments{"-v", "error"};
    if (countPackets) {
        // The first seconds are enough to show that every stream holds something.
        arguments.insert(arguments.end(), {"-count_packets", "-read_intervals", "%+5"});
    }
    arguments.insert(arguments.end(),
                     {"-show_entries",
                      "stream=index,codec_type,duration,avg_frame_rate,nb_read_packets:stream_disposition=attached_pic"
                      ":format=duration",
                      "-of", "default", FileNames::asFileName(file)});
    std::string text;
    const int status = Ffmpeg::run(ffprobe, arguments, Ffmpeg::Channel::Output, text);
    return parse(text, status);
}

bool MediaProbe::has(std::string_view type) const
{
    return std::ranges::any_of(streams, [&](const Stream &s) { return s.type == type && !s.attachedPicture; });
}

bool MediaProbe::holds(std::string_view type) const
{
    return std::ranges::any_of(streams, [&](const Stream &s) {
        // A stream that lasts nothing holds nothing a player can play.
        return s.type == type && !s.attachedPicture && s.packets != 0 && !(s.duration && *s.duration <= 0);
    });
}

std::optional<double> MediaProbe::spanOf(const std::vector<int> &indices) const
{
    std::optional<double> span;
    for (const Stream &stream : streams) {
        if (contains(indices, stream.index) && stream.duration && !stream.attachedPicture)
            span = std::max(span.value_or(0.0), *stream.duration);
    }
    return span ? span : duration;
}

std::optional<double> MediaProbe::frameOf(const std::vector<int> &indices) const
{
    std::optional<double> frame;
    for (const Stream &stream : streams) {
        if (contains(indices, stream.index) && stream.type == "video" && stream.frameSeconds)
            frame = std::max(frame.value_or(0.0), *stream.frameSeconds);
    }
    return frame;
}
