#include "workflow/RetryableFailure.h"

#include "workflow/FileNameBytes.h"

#include <QRegularExpression>

#include <sys/stat.h>

namespace RetryableFailure {

bool passingReason(const QString &reason)
{
    // The job's words for a killed adapter, the adapter's for a killed ffmpeg or for a stop
    // signal that reached it from elsewhere, and the system's for a full disk.
    static const QRegularExpression passing(QStringLiteral(
        "killed by signal|ended by signal|stopped by signal|No space left on device|Disk quota exceeded"));
    return passing.match(reason).hasMatch();
}

bool folderGone(const QString &destination)
{
    const qsizetype slash = destination.lastIndexOf(QLatin1Char('/'));
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : FileNameBytes::encode(destination.left(slash));
    struct stat info {};
    return ::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode);
}

} // namespace RetryableFailure
