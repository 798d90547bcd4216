#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Translation {
    std::vector<std::string> arguments;       // for the installed ffmpeg, in order
    std::optional<std::size_t> destination;   // index of the output file in arguments, when recognised
    std::vector<std::string> notes;           // one line per substitution, without line end
    bool asWritten = false;                   // today's syntax, passed on unchanged
};

// Turns an option list in the old FFmpeg syntax of the presets into one for the installed ffmpeg.
class Translator {
public:
    // Asked only when a row depends on it, so ffmpeg is queried only when needed.
    using EncoderProbe = std::function<bool(std::string_view encoder)>;

    explicit Translator(EncoderProbe hasEncoder);

    Translation translate(const std::vector<std::string> &oldArguments) const;
    // A line in today's syntax (the presets for today's devices, the user's): nothing changes;
    // the destination is the last argument, the job's own.
    static Translation asWritten(std::vector<std::string> arguments);

private:
    EncoderProbe m_hasEncoder;
};
