#include "FileNames.h"

#include "TranslationTable.h"

#include <algorithm>
#include <utility>

namespace FileNames {

std::string asFileName(const std::string &name)
{
    if (name.empty() || name.starts_with('/') || name.starts_with("./") || name.starts_with("../"))
        return name;
    return "./" + name;
}

std::vector<Renamed> makeFileNames(std::vector<std::string> &arguments, std::optional<std::size_t> destination,
                                   bool onlyTheJobsOwn)
{
    std::vector<Renamed> renamed;
    const auto rename = [&](std::string &name) {
        std::string given = asFileName(name);
        if (given != name)
            renamed.push_back({given, name});
        name = std::move(given);
    };
    if (onlyTheJobsOwn) {
        // The job's input, after any input options the adapter put before it.
        const auto input = std::ranges::find(arguments, "-i");
        const std::size_t value = static_cast<std::size_t>(input - arguments.begin()) + 1;
        if (input != arguments.end() && value + 1 < arguments.size() && (!destination || *destination != value))
            rename(arguments[value]);
        if (destination)
            rename(arguments[*destination]);
        return renamed;
    }
    // An input after -f is that format's to read (a device, a filter graph), not a file.
    bool formatNamed = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (destination && i == *destination)
            continue;
        const std::string &token = arguments[i];
        if (!TranslationTable::takesValue(token) || i + 1 >= arguments.size())
            continue;
        if (token == "-f") {
            formatNamed = true;
        } else if (token == "-i") {
            if (!formatNamed)
                rename(arguments[i + 1]);
            formatNamed = false;
        }
        ++i;
    }
    if (destination)
        rename(arguments[*destination]);
    return renamed;
}

}
