#include "controls/button/SoundFiles.h"

#include "common/RuntimeError.h"
#include "controls/button/ButtonResources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QFileInfo>
#include <QPointer>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <utility>

#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int ResourceNotFound = 326;
constexpr int PathFileAccessError = 75;

RuntimeError fileAccessError() { return {PathFileAccessError, QStringLiteral("Path/File access error")}; }

// A RIFF wave file whose format chunk and data chunk are complete. The sound player never
// finishes loading a malformed or truncated file, and a player that is still loading blocks
// the thread that gives it a new source, so such files are refused up front.
bool isCompleteWave(const QString &fileName)
{
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    const QByteArray head = file.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return false;
    bool format = false;
    for (qint64 pos = 12; pos + 8 <= size;) {
        file.seek(pos);
        const QByteArray chunk = file.read(8);
        const qint64 length = qFromLittleEndian<quint32>(chunk.constData() + 4);
        if (pos + 8 + length > size)
            return false;
        if (chunk.startsWith("fmt ")) {
            const QByteArray fmt = file.read(16);
            if (length < 16 || fmt.size() < 16)
                return false;
            const quint16 tag = qFromLittleEndian<quint16>(fmt.constData());
            const quint16 channels = qFromLittleEndian<quint16>(fmt.constData() + 2);
            const quint32 rate = qFromLittleEndian<quint32>(fmt.constData() + 4);
            const quint16 bits = qFromLittleEndian<quint16>(fmt.constData() + 14);
            format = (tag == 1 || tag == 3 || tag == 0xFFFE) && channels > 0 && rate > 0 && bits > 0;
            if (!format)
                return false;
        } else if (chunk.startsWith("data")) {
            return format && length > 0;
        }
        pos += 8 + length + (length & 1);
    }
    return false;
}

// Plays one sound at a time. A request that arrives while the previous file is still loading
// waits until that load ends, so that the player is never handed a new source mid-load.
class SoundPlayer : public QObject {
public:
    explicit SoundPlayer(QObject *parent) : QObject(parent)
    {
        connect(&m_effect, &QSoundEffect::statusChanged, this, [this] {
            if (m_effect.status() != QSoundEffect::Loading && m_pending.isValid())
                QTimer::singleShot(0, this, [this] { start(std::exchange(m_pending, QUrl())); });
        });
    }

    void play(const QString &fileName)
    {
        m_effect.stop();
        m_pending = QUrl();
        if (!isCompleteWave(fileName))
            return;
        const QUrl url = QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath());
        if (m_effect.status() == QSoundEffect::Loading)
            m_pending = url;
        else
            start(url);
    }

private:
    void start(const QUrl &url)
    {
        if (!url.isValid())
            return;
        if (m_effect.status() == QSoundEffect::Loading) {
            m_pending = url;
            return;
        }
        m_effect.setSource(url);
        m_effect.play();
    }

    QSoundEffect m_effect;
    QUrl m_pending;
};

// A folder of this user that nobody else may enter or write.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
        && (info.st_mode & 077) == 0;
}

// The folders made with mkdtemp, by the temporary folder they lie in; removed at the end.
struct MadeFolders {
    QHash<QString, QString> byTempFolder;
    ~MadeFolders()
    {
        for (const QString &folder : std::as_const(byTempFolder))
            QDir(folder).removeRecursively();
    }
};

} // namespace

QString privateSoundFolder(const QString &tempFolder)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty()) {
        const QString folder = runtime + QLatin1String("/vidomar");
        const QByteArray path = QFile::encodeName(folder);
        ::mkdir(path.constData(), 0700);
        if (isPrivateFolder(path))
            return folder;
    }
    static MadeFolders made;
    const auto known = made.byTempFolder.constFind(tempFolder);
    if (known != made.byTempFolder.constEnd())
        return *known;
    QByteArray pattern = QFile::encodeName(tempFolder + QLatin1String("/vidomar-XXXXXX"));
    if (!::mkdtemp(pattern.data()))
        return {};
    const QString folder = QFile::decodeName(pattern);
    made.byTempFolder.insert(tempFolder, folder);
    return folder;
}

void SaveResourceToFile(int16_t resourceId, const QString &fileName)
{
    QFile resource(ButtonResources::soundResource(resourceId));
    if (!resource.open(QIODevice::ReadOnly))
        throw RuntimeError(ResourceNotFound,
                           QStringLiteral("Resource with identifier '%1' not found").arg(resourceId));
    const QByteArray bytes = resource.readAll();

    // Opened for writing without truncation, so that the bytes overwrite the file from its start.
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
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
    static QPointer<SoundPlayer> player;
    if (!player)
        player = new SoundPlayer(app);
    player->play(fileName);
}
