#pragma once

#include <optional>
#include <string>
#include <string_view>

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
};
