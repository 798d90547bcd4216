#include "TemporaryName.h"

#include <algorithm>
#include <array>
#include <climits>
#include <sys/random.h>
#include <unistd.h>

namespace {

constexpr std::string_view Marker = ".avformat-";
constexpr std::size_t PidDigits = 10;
constexpr std::size_t HostMax = 64;
constexpr std::string_view RandomLetters = "abcdefghijklmnopqrstuvwxyz0123456789";

bool isHostCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool isRandomCharacter(char c)
{
    return RandomLetters.find(c) != std::string_view::npos;
}

bool isProcessId(std::string_view digits)
{
    return !digits.empty() && digits.size() <= PidDigits && digits.front() != '0'
        && std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; });
}

}

namespace TemporaryName {

std::string hostName()
{
    char buffer[HOST_NAME_MAX + 1] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0')
        return "localhost";
    std::string host(buffer);
    // A dot would be taken for the start of the extension.
    std::ranges::replace_if(host, [](char c) { return !isHostCharacter(c); }, '_');
    host.resize(std::min(host.size(), HostMax));
    return host;
}

std::string randomPart()
{
    std::array<unsigned char, RandomSize> bytes{};
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t n = getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (n <= 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    std::string random;
    for (const unsigned char byte : bytes)
        random += RandomLetters[byte % RandomLetters.size()];
    return random;
}

std::string pathFor(std::string_view destination, std::string_view host, pid_t pid, std::string_view random,
                    std::size_t nameMax)
{
    const std::size_t slash = destination.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view name = destination.substr(nameStart);
    const std::size_t dot = name.rfind('.');
    const std::string_view stem = name.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    const std::string suffix = std::string(Marker) + std::string(host) + "-" + std::to_string(pid) + "-"
        + std::string(random) + std::string(extension);
    const std::size_t fixed = 1 + Marker.size() + host.size() + 1 + PidDigits + 1 + random.size() + extension.size();
    std::size_t keep = fixed < nameMax ? std::min(stem.size(), nameMax - fixed) : 0;
    while (keep > 0 && keep < stem.size() && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80)
        --keep;
    return std::string(destination.substr(0, nameStart)) + "." + std::string(stem.substr(0, keep)) + suffix;
}

std::optional<std::string> hostOf(std::string_view fileName)
{
    if (!fileName.starts_with('.'))
        return std::nullopt;
    // The extension may hold the marker too ("x.avformat-y"): the marker is the one followed by
    // a host, a process id, the random part and at most the extension.
    for (std::size_t marker = fileName.rfind(Marker); marker != std::string_view::npos && marker > 0;
         marker = fileName.rfind(Marker, marker - 1)) {
        const std::string_view rest = fileName.substr(marker + Marker.size());
        const std::size_t dot = rest.find('.');
        if (dot != std::string_view::npos && rest.find('.', dot + 1) != std::string_view::npos)
            continue;
        const std::string_view fields = rest.substr(0, dot);
        const std::size_t randomDash = fields.rfind('-');
        if (randomDash == std::string_view::npos)
            continue;
        const std::string_view random = fields.substr(randomDash + 1);
        const std::string_view hostAndPid = fields.substr(0, randomDash);
        const std::size_t pidDash = hostAndPid.rfind('-');
        if (random.size() != RandomSize || !std::ranges::all_of(random, isRandomCharacter)
            || pidDash == std::string_view::npos || pidDash == 0)
            continue;
        const std::string_view host = hostAndPid.substr(0, pidDash);
        if (isProcessId(hostAndPid.substr(pidDash + 1)) && host.size() <= HostMax
            && std::ranges::all_of(host, isHostCharacter))
            return std::string(host);
    }
    return std::nullopt;
}

}
