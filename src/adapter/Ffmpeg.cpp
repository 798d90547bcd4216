#include "Ffmpeg.h"

#include "ChildProcess.h"
#include "UniqueFd.h"

#include <algorithm>
#include <charconv>

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

std::optional<std::string> Ffmpeg::findProbe(std::string_view override, const std::string &ffmpeg,
                                             const char *searchPath)
{
    if (!override.empty())
        return find(override, searchPath);
    const std::size_t slash = ffmpeg.rfind('/');
    if (slash != std::string::npos) {
        const std::string beside = ffmpeg.substr(0, slash + 1) + "ffprobe";
        if (isExecutableFile(beside))
            return beside;
    }
    return find("ffprobe", searchPath);
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
    std::string listing;
    return run(program, {"-hide_banner", "-nostdin", "-encoders"}, Channel::Output, listing) == 0
        && listsEncoder(listing, encoder);
}

std::vector<Ffmpeg::Stream> Ffmpeg::listedStreams(std::string_view listing)
{
    // "  Stream #0:2[0x3](eng): Subtitle: mov_text (tx3g / 0x67337874), 0 kb/s (default)"
    constexpr std::string_view Start = "Stream #0:";
    std::vector<Stream> streams;
    bool inInput = false;
    while (!listing.empty()) {
        const std::size_t end = listing.find('\n');
        std::string_view line = listing.substr(0, end);
        listing.remove_prefix(end == std::string_view::npos ? listing.size() : end + 1);
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        if (line.starts_with("Input #"))
            inInput = line.starts_with("Input #0,");
        else if (line.starts_with("Output #"))
            inInput = false;
        if (!inInput || !line.starts_with(Start))
            continue;
        line.remove_prefix(Start.size());
        int index = 0;
        const auto [afterIndex, error] = std::from_chars(line.data(), line.data() + line.size(), index);
        const std::size_t typeStart = line.find(": ");
        if (error != std::errc() || afterIndex == line.data() || typeStart == std::string_view::npos)
            continue;
        line.remove_prefix(typeStart + 2);
        const std::size_t typeEnd = line.find(": ");
        if (typeEnd == std::string_view::npos)
            continue;
        Stream stream{index, std::string(line.substr(0, typeEnd)), {}};
        line.remove_prefix(typeEnd + 2);
        std::string_view codec = line.substr(0, line.find_first_of(" ,"));
        // "Data: none (tmcd / 0x64636D74)": the tag says what it is.
        if (codec == "none" && line.substr(codec.size()).starts_with(" (")) {
            const std::string_view tag = line.substr(codec.size() + 2);
            codec = tag.substr(0, tag.find_first_of(" )"));
        }
        stream.codec = std::string(codec);
        streams.push_back(std::move(stream));
    }
    return streams;
}

std::vector<Ffmpeg::Stream> Ffmpeg::streamsOf(const std::string &program, const std::string &source)
{
    // Without an output ffmpeg lists the input and exits with an error; the listing is all that counts.
    std::string listing;
    run(program, {"-hide_banner", "-nostdin", "-i", source}, Channel::Error, listing);
    return listedStreams(listing);
}

int Ffmpeg::run(const std::string &program, const std::vector<std::string> &arguments, Channel channel,
                std::string &text)
{
    auto pipe = UniqueFd::pipe();
    if (!pipe)
        return -1;
    const UniqueFd nullOutput(open("/dev/null", O_WRONLY | O_CLOEXEC));
    ChildProcess query;
    const bool read = channel == Channel::Output;
    const bool started = query.start(program, arguments, read ? pipe->write.get() : nullOutput.get(),
                                     read ? nullOutput.get() : pipe->write.get());
    pipe->write.reset();
    if (!started)
        return -1;
    // Stop signals stay blocked; they are looked for between reads so that a hanging query
    // cannot hold the adapter.
    for (;;) {
        pollfd readable{pipe->read.get(), POLLIN, 0};
        const int ready = poll(&readable, 1, 100);
        if (ChildProcess::pendingStopSignal() != 0) {
            query.kill();
            return -1;
        }
        if (ready <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(pipe->read.get(), buffer, sizeof buffer);
        if (n > 0)
            text.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    return query.wait();
}
