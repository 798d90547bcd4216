#include "mainwindow/DestinationFolder.h"

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
    // A missing folder is made when the run starts, not before a question that may stop it: here
    // the nearest folder that is there must take the new ones.
    QString there = folder;
    while (!QFileInfo::exists(there)) {
        const QString up = QFileInfo(there).absolutePath();
        if (up == there)
            break;
        there = up;
    }
    const QFileInfo found(there);
    if (found.exists() && !found.isDir())
        return cannotWrite(QString::fromLocal8Bit(std::strerror(ENOTDIR)));
    // Writing a file in a folder needs both its write and its search permission.
    if (::access(QFile::encodeName(there).constData(), W_OK | X_OK) != 0)
        return cannotWrite(QString::fromLocal8Bit(std::strerror(errno)));
    return QString();
}
