#include "TemporaryFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Each try takes a fresh random part; this many taken names in a row mean something else is wrong.
constexpr int CreateTries = 16;

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

bool TemporaryFile::isTemporaryName(std::string_view fileName)
{
    return TemporaryName::hostOf(fileName).has_value();
}

void TemporaryFile::removeStale(const std::string &folder)
{
    DIR *dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    const time_t now = time(nullptr);
    const std::string host = TemporaryName::hostName();
    while (const dirent *entry = readdir(dir)) {
        const std::optional<std::string> owner = TemporaryName::hostOf(entry->d_name);
        if (!owner)
            continue;
        const int restSeconds = *owner == host ? StaleSeconds : OtherHostStaleSeconds;
        const std::string path = folder + entry->d_name;
        // Not blocking on a named pipe that only looks like ours.
        const UniqueFd file(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info;
        if (!file.valid() || fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)
            || now - info.st_mtime < restSeconds)
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
    , m_nameMax(nameMax)
    , m_path(TemporaryName::pathFor(m_destination, TemporaryName::hostName(), getpid(), TemporaryName::randomPart(),
                                    nameMax))
{
}

TemporaryFile::~TemporaryFile()
{
    discard();
}

std::string TemporaryFile::folder() const
{
    const std::size_t slash = m_destination.rfind('/');
    return slash == std::string::npos ? std::string() : m_destination.substr(0, slash + 1);
}

bool TemporaryFile::create(const struct stat *replaced)
{
    const mode_t mode = replaced ? (replaced->st_mode & 0777) : 0666;
    UniqueFd file;
    for (int tries = 0; tries < CreateTries; ++tries) {
        if (tries > 0)
            m_path = TemporaryName::pathFor(m_destination, TemporaryName::hostName(), getpid(),
                                            TemporaryName::randomPart(), m_nameMax);
        const int fd = open(m_path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            const int error = errno;
            file = UniqueFd(fd);
            errno = error;
            break;
        }
    }
    if (!file.valid())
        return false;
    // The folder is held as it is now, so that the file is found and removed even if it moves.
    const std::string folderPath = folder();
    m_folder = UniqueFd(open(folderPath.empty() ? "." : folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    m_name = m_path.substr(folderPath.size());
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

bool TemporaryFile::folderMoved() const
{
    const std::string folderPath = folder();
    struct stat held {};
    struct stat named {};
    if (!m_folder.valid() || fstat(m_folder.get(), &held) != 0)
        return false;
    return stat(folderPath.empty() ? "." : folderPath.c_str(), &named) != 0 || named.st_dev != held.st_dev
        || named.st_ino != held.st_ino;
}

bool TemporaryFile::commit()
{
    if (!m_file.valid())
        return false;
    if (folderMoved()) {
        errno = ENOENT;
        return false;
    }
    if (rename(m_path.c_str(), m_destination.c_str()) != 0)
        return false;
    m_file.reset();
    return true;
}

void TemporaryFile::discard()
{
    if (m_file.valid()) {
        if (m_folder.valid())
            unlinkat(m_folder.get(), m_name.c_str(), 0);
        else
            unlink(m_path.c_str());
    }
    m_file.reset();
}
