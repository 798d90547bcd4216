#include "engine/SameFile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int MaxLinks = 40;

QByteArray key(char kind, const struct stat &info, const QByteArray &name = {})
{
    return kind + QByteArray::number(qulonglong(info.st_dev)) + ':' + QByteArray::number(qulonglong(info.st_ino))
        + (name.isEmpty() ? QByteArray() : '/' + name);
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// "a/./b/" and "a//b" are "a/b": spellings that cannot name another file. ".." is left, since
// after a link it leads elsewhere than the text says.
QByteArray tidy(const QByteArray &path)
{
    QByteArrayList kept;
    for (const QByteArray &part : path.split('/')) {
        if (!part.isEmpty() && part != ".")
            kept << part;
    }
    const QByteArray joined = kept.join('/');
    return path.startsWith('/') ? '/' + joined : joined.isEmpty() ? QByteArray(".") : joined;
}

} // namespace

QByteArray fileIdentity(const QByteArray &path)
{
    struct stat info {};
    if (::stat(path.constData(), &info) == 0)
        return key('i', info);
    // Not there: follow the links by hand to the name that would be written.
    QByteArray named = tidy(path);
    for (int links = 0; links < MaxLinks && ::lstat(named.constData(), &info) == 0 && S_ISLNK(info.st_mode); ++links) {
        QByteArray target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(named.constData(), target.data(), size_t(target.size()));
        if (n <= 0)
            break;
        target.truncate(n);
        named = target.startsWith('/') ? target : folderOf(named) + '/' + target;
    }
    if (::stat(folderOf(named).constData(), &info) == 0)
        return key('n', info, nameOf(named));
    return 'p' + QFile::encodeName(QDir::cleanPath(QDir::current().absoluteFilePath(QFile::decodeName(named))));
}

bool isSameFile(const QByteArray &a, const QByteArray &b)
{
    return fileIdentity(a) == fileIdentity(b);
}

bool isSameFile(const QString &a, const QString &b)
{
    return isSameFile(QFile::encodeName(a), QFile::encodeName(b));
}
