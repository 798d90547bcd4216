#include "mainwindow/DestinationFolder.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

QString prepareDestinationFolder(const QString &destination)
{
    const QString folder = QFileInfo(destination).absolutePath();
    const auto cannotWrite = [&](const QString &reason) {
        return QStringLiteral("Cannot write to %1: %2").arg(QDir::toNativeSeparators(folder), reason);
    };
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(folder).toStdString()), error);
    if (error)
        return cannotWrite(QString::fromLocal8Bit(error.message()));
    // Writing a file in a folder needs both its write and its search permission.
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return cannotWrite(QString::fromLocal8Bit(std::strerror(errno)));
    return QString();
}
