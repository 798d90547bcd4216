#pragma once

#include <span>
#include <string_view>

// What a line of ffmpeg's output tells the adapter.
enum class LineMeaning {
    WriteFailure,  // the output was not written completely; the reason follows the last ": "
    NoStreams,     // nothing of the input could go into the output
    InputHeader,   // "Input #0, avi, from ...": the input's streams follow
    OutputHeader,  // "Output #0 ...": the output's streams follow
    MappingHeader, // "Stream mapping:": which input stream goes to which output stream follows
    Stream,        // one stream of the listing above it
};

struct LineRule {
    std::string_view start;  // the line's beginning, leading blanks ignored
    LineMeaning meaning;
};

// A run counts as written only when ffmpeg exited with 0 and printed no WriteFailure line:
// ffmpeg 5.1 reports a full disk at the trailer ("Error writing trailer of out.mp4: No space left
// on device", "Error closing file ...") and still exits with 0.
namespace OutputRules {
std::span<const LineRule> rules();
// The rule the line falls under, or nothing.
const LineRule *match(std::string_view line);
}
