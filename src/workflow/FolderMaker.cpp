#include "workflow/FolderMaker.h"

#include "workflow/FileNameBytes.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

std::optional<QString> makeFolders(const QString &folder)
{
    const QByteArray path = FileNameBytes::encode(folder);
    for (qsizetype end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path.at(end) != '/')
            continue;
        const QByteArray part = path.left(end);
        struct stat info {};
        if (::stat(part.constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                return QString::fromLocal8Bit(std::strerror(ENOTDIR));
            continue;
        }
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return QString::fromLocal8Bit(std::strerror(errno));
    }
    return std::nullopt;
}
