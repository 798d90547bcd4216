#include "TemporaryFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::string_view Marker = ".avformat-";
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
Parts parts(std::string_view destination, std::size_t hostSize, std::size_t nameMax)
{
    const std::size_t slash = destination.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view name = destination.substr(nameStart);
    const std::size_t dot = name.rfind('.');
    const std::string_view stem = name.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    const std::size_t fixed = 1 + Marker.size() + hostSize + 1 + PidDigits + extension.size();
    std::size_t keep = fixed < nameMax ? std::min(stem.size(), nameMax - fixed) : 0;
    while (keep > 0 && keep < stem.size() && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80)
        --keep;
    return {std::string(destination.substr(0, nameStart)), std::string(stem.substr(0, keep)), std::string(extension)};
}

bool isProcessId(std::string_view digits)
{
    return !digits.empty() && digits.size() <= PidDigits && digits.front() != '0'
        && std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; });
}

// A lock on the whole file for as long as the descriptor is open. Open file description locks:
// closing another descriptor of the same file in this process does not release them, and they
// work on network file systems that pass POSIX locks on.
bool lockWhole(int fd, short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return fcntl(fd, F_OFD_SETLK, &lock) == 0;
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

std::string TemporaryFile::pathFor(std::string_view destination, std::string_view host, pid_t pid,
                                   std::size_t nameMax)
{
    const Parts p = parts(destination, host.size(), nameMax);
    return p.folder + "." + p.stem + std::string(Marker) + std::string(host) + "-" + std::to_string(pid) + p.extension;
}

bool TemporaryFile::isTemporaryName(std::string_view fileName)
{
    if (!fileName.starts_with('.'))
        return false;
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
        if (isProcessId(hostAndPid.substr(dash + 1)) && std::ranges::all_of(hostAndPid.substr(0, dash), isHostCharacter))
            return true;
    }
    return false;
}

void TemporaryFile::removeStale(const std::string &folder)
{
    DIR *dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    const time_t now = time(nullptr);
    while (const dirent *entry = readdir(dir)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        const std::string path = folder + entry->d_name;
        // Not blocking on a named pipe that only looks like ours.
        const UniqueFd file(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info;
        if (!file.valid() || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)
            || now - info.st_mtime < StaleSeconds)
            continue;
        // A run that holds the file, on this machine or another, keeps it; the lock taken here
        // is held until the name is gone, and the name must still be that file.
        struct stat named;
        if (lockWhole(file.get(), F_RDLCK) && lstat(path.c_str(), &named) == 0 && named.st_dev == info.st_dev
            && named.st_ino == info.st_ino)
            unlink(path.c_str());
    }
    closedir(dir);
}

TemporaryFile::TemporaryFile(std::string destination, std::size_t nameMax)
    : m_destination(std::move(destination))
    , m_path(pathFor(m_destination, hostName(), getpid(), nameMax))
{
}

TemporaryFile::~TemporaryFile()
{
    discard();
}

std::string TemporaryFile::folder() const
{
    return parts(m_destination, 0, NameMax).folder;
}

bool TemporaryFile::create(const struct stat *replaced)
{
    const mode_t mode = replaced ? (replaced->st_mode & 0777) : 0666;
    UniqueFd file(open(m_path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (!file.valid())
        return false;
    // A file system without locks leaves the file unprotected, and its sweeps remove nothing.
    lockWhole(file.get(), F_WRLCK);
    if (replaced) {
        // Owner and group as far as this user may give them; the bits after that, since a
        // change of owner may clear some, and exactly, whatever the umask took away.
        if (fchown(file.get(), replaced->st_uid, replaced->st_gid) != 0
            && fchown(file.get(), static_cast<uid_t>(-1), replaced->st_gid) != 0) {
            // Neither may be given: the result is this user's, like any file they write.
        }
        fchmod(file.get(), mode);
    }
    m_file = std::move(file);
    return true;
}

bool TemporaryFile::commit()
{
    if (!m_file.valid() || rename(m_path.c_str(), m_destination.c_str()) != 0)
        return false;
    m_file.reset();
    return true;
}

void TemporaryFile::discard()
{
    if (m_file.valid())
        unlink(m_path.c_str());
    m_file.reset();
}
