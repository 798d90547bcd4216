#pragma once

#include "MediaProbe.h"

#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// The check a finished run passes before its file replaces anything: it must be there, hold
// something, open as media, hold the picture and the sound the run promised and last about as
// long as what was converted. A result shorter than the source says it is, but as long as what
// the encoder wrote, is the source's own end: the run has finished, with a warning.
namespace VerifiedCommit {

struct Promise {
    bool video = false;                  // the encoder listed a moving picture for the output
    bool audio = false;                  // ... and sound
    std::optional<double> span;          // how long the converted part of the source lasts
    std::optional<double> written;       // the last time the encoder reported having written
    std::optional<double> frameSeconds;  // one frame of the converted picture
};

struct Verdict {
    std::string failure;  // why the file must not replace anything; empty when it may
    std::string warning;  // what the user should know about a result that may
};

// Two frames, and never less than a tenth of a second (a frame of sound, a muxer's rounding).
double slackOf(const Promise &promise);

Verdict judge(const Promise &promise, bool exists, off_t size, const MediaProbe &result);

// "0:00.16": minutes, seconds and hundredths.
std::string clock(double seconds);

// The muxers that write no file, named by "-f": a run through one of them has no result to check.
bool writesNoFile(std::string_view format);

}
