#include "TemporaryFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::string_view Marker = ".avformat-";
constexpr std::size_t NameMax = 255;
constexpr std::size_t PidDigits = 10;
constexpr std::size_t HostMax = 64;

bool isHostCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

struct Parts {
    std::string folder;  // with its trailing slash, or empty
    std::string stem;    // shortened so that the whole name fits
    std::string extension;
};

// The stem is shortened (at a character boundary) so that the whole name fits a file name.
Parts parts(std::string_view destination, std::size_t hostSize)
{
    const std::size_t slash = destination.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view name = destination.substr(nameStart);
    const std::size_t dot = name.rfind('.');
    const std::string_view stem = name.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    const std::size_t fixed = 1 + Marker.size() + hostSize + 1 + PidDigits + extension.size();
    std::size_t keep = fixed < NameMax ? std::min(stem.size(), NameMax - fixed) : 0;
    while (keep > 0 && keep < stem.size() && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80)
        --keep;
    return {std::string(destination.substr(0, nameStart)), std::string(stem.substr(0, keep)), std::string(extension)};
}

std::optional<pid_t> processId(std::string_view digits)
{
    if (digits.empty() || digits.size() > PidDigits || digits.front() == '0')
        return std::nullopt;
    long long pid = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        pid = pid * 10 + (c - '0');
    }
    if (pid > INT32_MAX)
        return std::nullopt;
    return static_cast<pid_t>(pid);
}

bool isGone(pid_t pid)
{
    return kill(pid, 0) != 0 && errno == ESRCH;
}

}

bool TemporaryFile::appliesTo(std::string_view destination)
{
    return !destination.empty() && destination.back() != '/';
}

std::string TemporaryFile::hostName()
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

std::string TemporaryFile::pathFor(std::string_view destination, std::string_view host, pid_t pid)
{
    const Parts p = parts(destination, host.size());
    return p.folder + "." + p.stem + std::string(Marker) + std::string(host) + "-" + std::to_string(pid) + p.extension;
}

std::optional<TemporaryFile::Owner> TemporaryFile::ownerOf(std::string_view fileName)
{
    if (!fileName.starts_with('.'))
        return std::nullopt;
    // The extension may hold the marker too ("x.avformat-y"): the marker is the one followed by
    // a host, a process id and at most the extension.
    for (std::size_t marker = fileName.rfind(Marker); marker != std::string_view::npos && marker > 0;
         marker = fileName.rfind(Marker, marker - 1)) {
        const std::string_view rest = fileName.substr(marker + Marker.size());
        const std::size_t dot = rest.find('.');
        if (dot != std::string_view::npos && rest.find('.', dot + 1) != std::string_view::npos)
            continue;
        const std::string_view hostAndPid = rest.substr(0, dot);
        const std::size_t dash = hostAndPid.rfind('-');
        if (dash == std::string_view::npos || dash == 0)
            continue;
        const std::string_view host = hostAndPid.substr(0, dash);
        const auto pid = processId(hostAndPid.substr(dash + 1));
        if (pid && std::ranges::all_of(host, isHostCharacter))
            return Owner{std::string(host), *pid};
    }
    return std::nullopt;
}

void TemporaryFile::removeStale(const std::string &folder, std::string_view host)
{
    DIR *dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    while (const dirent *entry = readdir(dir)) {
        const auto owner = ownerOf(entry->d_name);
        // Another machine's process ids say nothing here; our own id is this run.
        if (!owner || owner->host != host || owner->pid == getpid() || !isGone(owner->pid))
            continue;
        const std::string path = folder + entry->d_name;
        struct stat info;
        if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            unlink(path.c_str());
    }
    closedir(dir);
}

TemporaryFile::TemporaryFile(std::string destination)
    : m_destination(std::move(destination))
    , m_path(pathFor(m_destination, hostName(), getpid()))
{
}

std::string TemporaryFile::folder() const
{
    return parts(m_destination, 0).folder;
}

bool TemporaryFile::create(const struct stat *replaced)
{
    const mode_t mode = replaced ? (replaced->st_mode & 0777) : 0666;
    const int fd = open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return false;
    m_exists = true;
    if (replaced) {
        // Owner and group as far as this user may give them; the bits after that, since a
        // change of owner may clear some, and exactly, whatever the umask took away.
        if (fchown(fd, replaced->st_uid, replaced->st_gid) != 0
            && fchown(fd, static_cast<uid_t>(-1), replaced->st_gid) != 0) {
            // Neither may be given: the result is this user's, like any file they write.
        }
        fchmod(fd, mode);
    }
    close(fd);
    return true;
}

bool TemporaryFile::commit()
{
    if (rename(m_path.c_str(), m_destination.c_str()) != 0)
        return false;
    m_exists = false;
    return true;
}

void TemporaryFile::discard()
{
    if (m_exists)
        unlink(m_path.c_str());
    m_exists = false;
}
