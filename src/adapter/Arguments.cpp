#include "Arguments.h"

#include "protocol/Protocol.h"

#include <algorithm>
#include <cstdlib>

namespace Arguments {

Flags takeFlags(std::vector<std::string> &given)
{
    Flags flags;
    for (;;) {
        if (!given.empty() && given.front() == Protocol::AsWritten) {
            flags.asWritten = true;
            given.erase(given.begin());
        } else if (given.size() >= 2 && given.front() == Protocol::Span) {
            char *end = nullptr;
            const double seconds = std::strtod(given[1].c_str(), &end);
            if (end && *end == '\0' && seconds >= 0)
                flags.span = seconds;
            given.erase(given.begin(), given.begin() + 2);
        } else {
            return flags;
        }
    }
}

std::optional<std::string> outputFormat(const std::vector<std::string> &arguments, std::size_t destination)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < destination; ++i) {
        if (arguments[i] == "-i")
            start = i + 2;
    }
    std::optional<std::string> format;
    for (std::size_t i = start; i + 1 < destination; ++i) {
        if (arguments[i] == "-f")
            format = arguments[i + 1];
    }
    return format;
}

std::optional<std::string> sourceOf(const std::vector<std::string> &arguments)
{
    const auto input = std::ranges::find(arguments, "-i");
    if (input == arguments.end() || input + 1 == arguments.end())
        return std::nullopt;
    return *(input + 1);
}

bool cutsTheSource(const std::vector<std::string> &arguments)
{
    return std::ranges::any_of(arguments, [](const std::string &a) {
        return a == "-t" || a == "-to" || a == "-ss" || a == "-sseof" || a == "-fs" || a == "-shortest"
            || a.starts_with("-frames") || a == "-vframes" || a == "-aframes";
    });
}

}
