#include "mainwindow/DestinationFolder.h"

#include "workflow/FolderMaker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

QString prepareDestinationFolder(const QString &destination)
{
    const QString folder = QFileInfo(destination).absolutePath();
    const auto cannotWrite = [&](const QString &reason) {
        return QStringLiteral("Cannot write to %1: %2").arg(QDir::toNativeSeparators(folder), reason);
    };
    if (const std::optional<QString> reason = makeFolders(folder))
        return cannotWrite(*reason);
    // Writing a file in a folder needs both its write and its search permission.
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return cannotWrite(QString::fromLocal8Bit(std::strerror(errno)));
    return QString();
}
