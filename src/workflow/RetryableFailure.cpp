#include "workflow/RetryableFailure.h"

#include "workflow/FileNameBytes.h"

#include <QRegularExpression>

#include <sys/stat.h>

bool mayMendOnRetry(const QString &reason, const QString &destination)
{
    // The job's words for a killed adapter, the adapter's for a killed ffmpeg or for a stop
    // signal that reached it from elsewhere, and the system's for a full disk.
    static const QRegularExpression passing(QStringLiteral(
        "killed by signal|ended by signal|stopped by signal|No space left on device|Disk quota exceeded"));
    if (passing.match(reason).hasMatch())
        return true;
    const qsizetype slash = destination.lastIndexOf(QLatin1Char('/'));
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : FileNameBytes::encode(destination.left(slash));
    struct stat info {};
    return ::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode);
}
