#include "MatroskaFit.h"

#include "protocol/Protocol.h"

#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace {

const std::string Prefix = Protocol::OutputPrefix;

// Subtitle codecs Matroska holds as they are.
constexpr std::array<std::string_view, 9> Held{
    "subrip", "ass", "ssa", "webvtt", "text", "dvd_subtitle", "dvb_subtitle", "hdmv_pgs_subtitle", "hdmv_text_subtitle",
};
// Text subtitles ffmpeg can turn into SRT.
constexpr std::array<std::string_view, 12> Text{
    "mov_text", "eia_608", "microdvd", "jacosub", "sami", "realtext", "subviewer", "subviewer1", "stl", "pjs",
    "vplayer", "mpl2",
};

bool isIn(std::string_view codec, std::span<const std::string_view> list)
{
    return std::ranges::find(list, codec) != list.end();
}

std::string named(const Ffmpeg::Stream &stream)
{
    return "stream #0:" + std::to_string(stream.index) + " (" + stream.codec + ")";
}

}

namespace MatroskaFit {

Fit fit(const std::vector<Ffmpeg::Stream> &streams)
{
    Fit result;
    int subtitle = 0;  // the index among the subtitle streams written
    for (const Ffmpeg::Stream &stream : streams) {
        if (stream.type == "Data") {
            result.notes.push_back(Prefix + "Matroska holds no data streams; leaving out " + named(stream));
        } else if (stream.type == "Subtitle") {
            if (isIn(stream.codec, Held)) {
                ++subtitle;
            } else if (isIn(stream.codec, Text)) {
                result.arguments.insert(result.arguments.end(), {"-c:s:" + std::to_string(subtitle++), "srt"});
                result.notes.push_back(Prefix + "Matroska cannot hold " + stream.codec + " subtitles; converting "
                                       + named(stream) + " to SRT");
            } else {
                result.arguments.insert(result.arguments.end(), {"-map", "-0:" + std::to_string(stream.index)});
                result.notes.push_back(Prefix + "Matroska cannot hold " + stream.codec + " subtitles; leaving out "
                                       + named(stream));
            }
        }
    }
    return result;
}

}
