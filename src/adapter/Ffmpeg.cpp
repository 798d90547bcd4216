#include "Ffmpeg.h"

#include "ChildProcess.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isExecutableFile(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

}

std::optional<std::string> Ffmpeg::find(std::string_view override, const char *searchPath)
{
    const std::string name = override.empty() ? std::string("ffmpeg") : std::string(override);
    if (name.find('/') != std::string::npos)
        return isExecutableFile(name) ? std::optional(name) : std::nullopt;
    std::string_view folders = searchPath ? searchPath : "/usr/local/bin:/usr/bin:/bin";
    for (;;) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        const std::string candidate = (folder.empty() ? std::string(".") : std::string(folder)) + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
        if (colon == std::string_view::npos)
            return std::nullopt;
        folders.remove_prefix(colon + 1);
    }
}

bool Ffmpeg::listsEncoder(std::string_view listing, std::string_view encoder)
{
    // Lines read " A..... name   description"; the name is the second field.
    while (!listing.empty()) {
        const std::size_t end = listing.find('\n');
        std::string_view line = listing.substr(0, end);
        listing.remove_prefix(end == std::string_view::npos ? listing.size() : end + 1);
        const std::size_t flags = line.find_first_not_of(' ');
        const std::size_t gap = line.find(' ', flags);
        const std::size_t nameStart = line.find_first_not_of(' ', gap);
        if (flags == std::string_view::npos || nameStart == std::string_view::npos)
            continue;
        const std::string_view name = line.substr(nameStart, line.find(' ', nameStart) - nameStart);
        if (name == encoder)
            return true;
    }
    return false;
}

bool Ffmpeg::hasEncoder(const std::string &program, std::string_view encoder)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    const int nullOutput = open("/dev/null", O_WRONLY | O_CLOEXEC);
    ChildProcess query;
    const bool started = query.start(program, {"-hide_banner", "-nostdin", "-encoders"}, fds[1], nullOutput);
    close(fds[1]);
    if (nullOutput >= 0)
        close(nullOutput);
    std::string listing;
    bool stopped = false;
    // Stop signals stay blocked; they are looked for between reads so that a hanging query
    // cannot hold the adapter.
    while (started) {
        pollfd readable{fds[0], POLLIN, 0};
        const int ready = poll(&readable, 1, 100);
        if (ChildProcess::pendingStopSignal() != 0) {
            query.kill();
            stopped = true;
            break;
        }
        if (ready <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0)
            listing.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    close(fds[0]);
    return started && !stopped && query.wait() == 0 && listsEncoder(listing, encoder);
}
