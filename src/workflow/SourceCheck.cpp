#include "workflow/SourceCheck.h"

#include "workflow/FileNameBytes.h"

#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SourceCheck {

std::optional<QString> problem(const QString &source)
{
    const QByteArray path = FileNameBytes::encode(forEncoder(source));
    struct stat info {};
    if (path.isEmpty())
        return std::nullopt;
    if (::stat(path.constData(), &info) != 0) {
        // Missing is said where the run starts; a link loop or a folder that cannot be searched is not "missing".
        if (errno == ENOENT)
            return std::nullopt;
        return QStringLiteral("The source video file cannot be read: %1.").arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("The source video file is a folder.");
    // Asked rather than opened: opening a named pipe would let its writer start and then stop it.
    if (::faccessat(AT_FDCWD, path.constData(), R_OK, AT_EACCESS) != 0)
        return QStringLiteral("The source video file cannot be read: %1.").arg(QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISREG(info.st_mode) && info.st_size == 0)
        return QStringLiteral("The source video file is empty.");
    return std::nullopt;
}

QString forEncoder(const QString &source)
{
    static const QRegularExpression ownDescriptor(QStringLiteral("^/(?:dev/fd|proc/self/fd)/([0-9]+)$"));
    QString descriptor;
    if (source == QLatin1String("/dev/stdin"))
        descriptor = QStringLiteral("0");
    else if (const QRegularExpressionMatch match = ownDescriptor.match(source); match.hasMatch())
        descriptor = match.captured(1);
    if (descriptor.isEmpty())
        return source;
    return QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(descriptor);
}

} // namespace SourceCheck
