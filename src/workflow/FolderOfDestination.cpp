#include "workflow/FolderOfDestination.h"

#include "workflow/FileNameBytes.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace FolderOfDestination {

std::optional<QString> make(const QString &destination)
{
    // By the name's bytes; a name without a folder is in the current one.
    const QByteArray path = FileNameBytes::encode(destination);
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return std::nullopt;
    const QByteArray folder = path.left(slash);
    struct stat info {};
    if (::stat(folder.constData(), &info) == 0)
        return std::nullopt;
    for (qsizetype end = 1; end <= folder.size(); ++end) {
        if (end < folder.size() && folder.at(end) != '/')
            continue;
        const QByteArray step = folder.left(end);
        if (::mkdir(step.constData(), 0777) != 0 && errno != EEXIST) {
            return QStringLiteral("Cannot create the folder %1: %2.")
                .arg(FileNameBytes::shown(FileNameBytes::decode(folder)), QString::fromLocal8Bit(std::strerror(errno)));
        }
    }
    return std::nullopt;
}

} // namespace FolderOfDestination
