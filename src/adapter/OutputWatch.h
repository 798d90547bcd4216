#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// ffmpeg's error output on its way to the program: the hidden temporary file is named as the
// user's destination and every file as the user named it, and each line is read for what it tells about the run (OutputRules).
class OutputWatch {
public:
    // A name ffmpeg was given, and how the user named that file.
    struct Name {
        std::string given;
        std::string shown;
    };

    // names: what to name as the user did (the hidden temporary file, "./" before a relative
    // name); destination: the destination as the user gave it.
    OutputWatch(std::vector<Name> names, std::string destination);

    // A piece of the output; returns what can be passed on now: everything up to the last line
    // end (a progress line ends with a carriage return), rewritten.
    std::string take(std::string_view piece);
    // The unfinished rest, rewritten (when ffmpeg has been quiet for a while, and at the end).
    std::string flush();

    // The reason of the first write failure ffmpeg reported.
    const std::optional<std::string> &writeFailure() const { return m_writeFailure; }
    // The line that says why a failed run failed, where the output tells: a write failure with
    // the destination's name, or a source without the sound or picture the output needs. Empty
    // when ffmpeg's own last error says it best.
    std::string tellingLine() const;

    // What the output listing promised: a moving picture, sound.
    bool outputVideo() const { return m_outputVideo; }
    bool outputAudio() const { return m_outputAudio; }
    // The input #0 streams the mapping sends to the output.
    const std::vector<int> &mappedInputs() const { return m_mapped; }
    // The last time ffmpeg reported having written, in seconds.
    std::optional<double> writtenTime() const { return m_writtenTime; }

private:
    void read(std::string_view line);
    std::string rewrite(std::string text) const;

    std::vector<Name> m_names;
    std::string m_destination;
    std::string m_pending;
    std::string m_line;  // the current line as far as it has been read
    std::optional<std::string> m_writeFailure;
    bool m_noStreams = false;
    enum class Listing { None, Input, Mapping, Output } m_listing = Listing::None;
    bool m_outputVideo = false;
    bool m_outputAudio = false;
    std::vector<int> m_mapped;
    std::optional<double> m_writtenTime;
    bool m_inputVideo = false;
    bool m_inputAudio = false;
};
