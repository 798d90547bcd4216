#include "VerifiedCommit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

// The encoder's own report may end a little after the last frame it wrote, and muxers round.
constexpr double WrittenShare = 0.05;

// ffmpeg's output devices and the null muxer.
constexpr std::array<std::string_view, 14> NoFile{
    "null", "alsa", "pulse", "sdl", "sdl2", "xv", "opengl", "fbdev", "oss", "sndio", "v4l2", "caca", "audiotoolbox",
    "decklink",
};

std::optional<double> lengthOf(const MediaProbe &probe)
{
    std::optional<double> length;
    for (const MediaProbe::Stream &stream : probe.streams) {
        if (stream.duration && !stream.attachedPicture && (stream.type == "video" || stream.type == "audio"))
            length = std::max(length.value_or(0.0), *stream.duration);
    }
    return length ? length : probe.duration;
}

}

namespace VerifiedCommit {

double slackOf(const Promise &promise)
{
    return std::max(0.1, 2 * promise.frameSeconds.value_or(0.0));
}

Verdict judge(const Promise &promise, bool exists, off_t size, const MediaProbe &result)
{
    if (!exists)
        return {"the encoder finished without writing the file", {}};
    if (size == 0)
        return {"the encoder finished and the file it wrote is empty", {}};
    if (!result.opened)
        return {"the finished file does not open as a video or sound file", {}};
    // Whatever kind its streams are (a preset may write subtitles alone), one must hold something.
    const bool holdsAnything = std::ranges::any_of(result.streams, [](const MediaProbe::Stream &stream) {
        return stream.packets != 0 && !(stream.duration && *stream.duration <= 0);
    });
    if (!holdsAnything)
        return {"the finished file holds no picture and no sound", {}};
    if (promise.video && !result.holds("video"))
        return {"the finished file holds no picture", {}};
    if (promise.audio && !result.holds("audio"))
        return {"the finished file holds no sound", {}};
    const std::optional<double> length = lengthOf(result);
    if (!length)
        return {};
    const double slack = slackOf(promise);
    if (promise.written && *length + std::max(slack, *promise.written * WrittenShare) < *promise.written)
        return {"the finished file lasts " + clock(*length) + ", not the " + clock(*promise.written)
                    + " the encoder wrote",
                {}};
    if (promise.span && *length + slack < *promise.span)
        return {{}, "the source ended early, at " + clock(*length) + " of " + clock(*promise.span)};
    return {};
}

std::string clock(double seconds)
{
    const long long hundredths = std::llround(seconds * 100.0);
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld.%02lld", hundredths / 6000, hundredths / 100 % 60, hundredths % 100);
    return text;
}

bool writesNoFile(std::string_view format)
{
    return std::ranges::find(NoFile, format) != NoFile.end();
}

}
