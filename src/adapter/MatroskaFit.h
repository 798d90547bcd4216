#pragma once

#include "Ffmpeg.h"
#include "protocol/Protocol.h"

#include <string>
#include <vector>

// The copy of every stream into Matroska, completed for what Matroska cannot hold: text
// subtitles it cannot hold become SRT, other streams it cannot hold are left out, and each
// change is told in a note. Asked for by the directive in a preset's arguments.
namespace MatroskaFit {

inline constexpr const char *Directive = Protocol::FitMatroska;

struct Fit {
    std::vector<std::string> arguments;  // output options to add after the preset's own
    std::vector<std::string> notes;      // one line each, without line end
};

// streams: the source's, in order, as mapped by "-map 0" (data streams are the preset's to
// leave out with "-map -0:d"; they are only told here).
Fit fit(const std::vector<Ffmpeg::Stream> &streams);

}
