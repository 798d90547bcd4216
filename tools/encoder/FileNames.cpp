#include "FileNames.h"

#include "TranslationTable.h"

namespace FileNames {

std::string asFileName(const std::string &name)
{
    if (name.empty() || name.starts_with('/') || name.starts_with("./") || name.starts_with("../"))
        return name;
    return "./" + name;
}

void makeFileNames(std::vector<std::string> &arguments, std::optional<std::size_t> destination)
{
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
                arguments[i + 1] = asFileName(arguments[i + 1]);
            formatNamed = false;
        }
        ++i;
    }
    if (destination)
        arguments[*destination] = asFileName(arguments[*destination]);
}

}
