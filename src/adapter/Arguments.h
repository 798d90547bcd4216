#pragma once

#include <optional>
#include <string>
#include <vector>

// What the adapter reads from its arguments before ffmpeg sees them.
namespace Arguments {

// What the program said before the encoder's arguments (protocol/Protocol.h).
struct Flags {
    bool asWritten = false;
    std::optional<double> span;  // seconds
};

// Takes the program's flags off the front of the arguments.
Flags takeFlags(std::vector<std::string> &given);
// The format the output is written in, when the arguments name one: the last "-f" after the
// last input.
std::optional<std::string> outputFormat(const std::vector<std::string> &arguments, std::size_t destination);
// The job's source: the value of the first "-i".
std::optional<std::string> sourceOf(const std::vector<std::string> &arguments);
// Options that end the output before the source does: the result is as long as they say.
bool cutsTheSource(const std::vector<std::string> &arguments);

}
