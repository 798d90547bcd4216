#include "SoundFiles.h"

#include "RuntimeError.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int ResourceNotFound = 326;
constexpr int PathFileAccessError = 75;

RuntimeError fileAccessError() { return {PathFileAccessError, QStringLiteral("Path/File access error")}; }

} // namespace

void SaveResourceToFile(int16_t resourceId, const QString &fileName)
{
    QFile resource(QStringLiteral(":/CUSTOM/%1").arg(resourceId));
    if (!resource.open(QIODevice::ReadOnly))
        throw RuntimeError(ResourceNotFound,
                           QStringLiteral("Resource with identifier '%1' not found").arg(resourceId));
    const QByteArray bytes = resource.readAll();

    // Opened for writing without truncation, so that the bytes overwrite the file from its start.
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        throw fileAccessError();
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw fileAccessError();
    }
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw fileAccessError();
}

void PlaySoundFile(const QString &fileName)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    // One player for the process, owned by the application so that it ends before it.
    static QPointer<QSoundEffect> player;
    if (!player)
        player = new QSoundEffect(app);
    player->stop();
    if (!QFileInfo(fileName).isFile())
        return;
    player->setSource(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath()));
    player->play();
}
