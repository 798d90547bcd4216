#include "Destination.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int MaxLinks = 40;

std::optional<std::string> linkText(const std::string &path)
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0)
            return std::nullopt;
        if (static_cast<std::size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

}

std::optional<Destination> Destination::resolve(const std::string &named)
{
    Destination result;
    result.target = named;
    for (int links = 0; links <= MaxLinks; ++links) {
        if (lstat(result.target.c_str(), &result.info) != 0) {
            // Not there (or not reachable): a new file at this name, or a link's missing target.
            result.exists = false;
            return result;
        }
        if (!S_ISLNK(result.info.st_mode)) {
            result.exists = true;
            return result;
        }
        const auto text = linkText(result.target);
        if (!text)
            return std::nullopt;
        if (text->starts_with('/')) {
            result.target = *text;
        } else {
            const std::size_t slash = result.target.rfind('/');
            result.target = (slash == std::string::npos ? std::string() : result.target.substr(0, slash + 1)) + *text;
        }
    }
    errno = ELOOP;
    return std::nullopt;
}

bool Destination::writable() const
{
    return faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}
