#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Finding the installed ffmpeg and reading what it offers.
class Ffmpeg {
public:
    // override (VIDOMAR_FFMPEG) when not empty, else "ffmpeg"; a name without a slash is looked up
    // in searchPath (PATH) like the shell does. Nothing when no executable file is there.
    static std::optional<std::string> find(std::string_view override, const char *searchPath);
    // Whether the text of "ffmpeg -encoders" lists the encoder by exactly this name.
    static bool listsEncoder(std::string_view listing, std::string_view encoder);
    // Runs "ffmpeg -encoders" and looks for the encoder.
    static bool hasEncoder(const std::string &program, std::string_view encoder);

    // One stream of a source as ffmpeg lists it.
    struct Stream {
        int index = 0;
        std::string type;   // "Video", "Audio", "Subtitle", "Data", "Attachment"
        std::string codec;  // for a stream without a codec ffmpeg knows ("none"), its tag
    };
    // The streams of input #0 in the text of "ffmpeg -i SOURCE".
    static std::vector<Stream> listedStreams(std::string_view listing);
    // Runs "ffmpeg -i SOURCE" and reads its streams; empty when it cannot tell.
    static std::vector<Stream> streamsOf(const std::string &program, const std::string &source);

    // ffprobe: override (VIDOMAR_FFPROBE) when not empty, else the one beside ffmpeg, else the
    // one on searchPath.
    static std::optional<std::string> findProbe(std::string_view override, const std::string &ffmpeg,
                                                const char *searchPath);

    enum class Channel { Output, Error };
    // Runs the program and collects what it writes on one channel; the exit status, or -1 when
    // it could not run or a stop signal came.
    static int run(const std::string &program, const std::vector<std::string> &arguments, Channel channel,
                   std::string &text);
};
