#include "TemporaryFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view Marker = ".avformat-";
constexpr std::size_t NameMax = 255;
constexpr std::size_t PidDigits = 10;

struct Parts {
    std::string folder;  // with its trailing slash, or empty
    std::string prefix;  // the temporary name up to the process id
    std::string extension;
};

// The stem is shortened (at a character boundary) so that the whole name fits a file name.
Parts parts(std::string_view destination)
{
    const std::size_t slash = destination.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view name = destination.substr(nameStart);
    const std::size_t dot = name.rfind('.');
    const std::string_view stem = name.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    const std::size_t fixed = 1 + Marker.size() + PidDigits + extension.size();
    std::size_t keep = fixed < NameMax ? std::min(stem.size(), NameMax - fixed) : 0;
    while (keep > 0 && keep < stem.size() && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80)
        --keep;
    std::string prefix(1, '.');
    prefix.append(stem.substr(0, keep)).append(Marker);
    return {std::string(destination.substr(0, nameStart)), prefix, std::string(extension)};
}

}

bool TemporaryFile::appliesTo(std::string_view destination)
{
    return !destination.empty() && destination != "-" && !destination.starts_with("pipe:")
        && destination.find("://") == std::string_view::npos && destination.back() != '/';
}

std::string TemporaryFile::pathFor(std::string_view destination, pid_t pid)
{
    const Parts p = parts(destination);
    return p.folder + p.prefix + std::to_string(pid) + p.extension;
}

std::optional<pid_t> TemporaryFile::ownerOf(std::string_view fileName, std::string_view destination)
{
    const Parts p = parts(destination);
    if (fileName.size() <= p.prefix.size() + p.extension.size() || !fileName.starts_with(p.prefix)
        || !fileName.ends_with(p.extension))
        return std::nullopt;
    const std::string_view digits = fileName.substr(p.prefix.size(), fileName.size() - p.prefix.size() - p.extension.size());
    if (digits.size() > PidDigits || digits.front() == '0')
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

TemporaryFile::TemporaryFile(std::string destination)
    : m_destination(std::move(destination))
    , m_path(pathFor(m_destination, getpid()))
{
}

void TemporaryFile::removeStale() const
{
    const std::string folder = parts(m_destination).folder;
    DIR *dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    while (const dirent *entry = readdir(dir)) {
        const auto pid = ownerOf(entry->d_name, m_destination);
        // Our own id cannot be a live run: we have not created our file yet.
        if (!pid || (*pid != getpid() && (kill(*pid, 0) == 0 || errno != ESRCH)))
            continue;
        const std::string path = folder + entry->d_name;
        struct stat info;
        if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            unlink(path.c_str());
    }
    closedir(dir);
}

bool TemporaryFile::create()
{
    const int fd = open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    close(fd);
    m_exists = true;
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
