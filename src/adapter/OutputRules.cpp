#include "OutputRules.h"

#include <array>

namespace {

constexpr std::array Rules{
    // A packet the muxer could not write; ffmpeg may go on to the trailer.
    LineRule{"av_interleaved_write_frame(): ", LineMeaning::WriteFailure},
    LineRule{"Error writing trailer of ", LineMeaning::WriteFailure},
    LineRule{"Error closing file ", LineMeaning::WriteFailure},
    // A sound-only preset on a silent video, or a source with neither picture nor sound.
    LineRule{"Output file #0 does not contain any stream", LineMeaning::NoStreams},
    LineRule{"Input #", LineMeaning::InputHeader},
    LineRule{"Output #", LineMeaning::OutputHeader},
    LineRule{"Stream mapping:", LineMeaning::MappingHeader},
    LineRule{"Stream #", LineMeaning::Stream},
};

}

namespace OutputRules {

std::span<const LineRule> rules()
{
    return Rules;
}

const LineRule *match(std::string_view line)
{
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return nullptr;
    line.remove_prefix(start);
    for (const LineRule &rule : Rules) {
        if (line.starts_with(rule.start))
            return &rule;
    }
    return nullptr;
}

}
