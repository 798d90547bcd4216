#pragma once

#include <string>
#include <string_view>

// The adapter's error output: ffmpeg's lines passed on, and the adapter's own, each on a line of
// its own.
class ErrorOutput {
public:
    void pass(std::string_view text);
    void say(const std::string &line);

private:
    bool m_atLineStart = true;
};
