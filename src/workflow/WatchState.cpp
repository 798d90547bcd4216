#include "workflow/WatchState.h"

#include "workflow/FileNameBytes.h"
#include "workflow/FolderMaker.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

QString WatchState::pathKey(const QString &path)
{
    return FileNameBytes::escaped(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

QString WatchState::fileFor(const QString &folder, const QString &outputFolder)
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty() || !base.startsWith(QLatin1Char('/')))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    const QByteArray pair = (pathKey(folder) + QLatin1Char('\n') + pathKey(outputFolder)).toUtf8();
    const QByteArray hash = QCryptographicHash::hash(pair, QCryptographicHash::Sha256).toHex().left(16);
    return base + QStringLiteral("/Zorvik/watch-") + QString::fromLatin1(hash) + QStringLiteral(".jsonl");
}

WatchState::WatchState(const QString &file)
    : m_file(file)
{
}

QString WatchState::key(const FolderFile &file)
{
    return FileNameBytes::escaped(file.relative) + QLatin1Char('\n') + QString::number(file.size) + QLatin1Char('\n')
        + QString::number(file.modifiedNs);
}

std::optional<QString> WatchState::load()
{
    if (const std::optional<QString> reason = makeFolders(m_file.left(m_file.lastIndexOf(QLatin1Char('/')))))
        return reason;
    const int fd = ::open(FileNameBytes::encode(m_file).constData(), O_RDONLY | O_CLOEXEC | O_CREAT, 0600);
    if (fd < 0)
        return systemReason();
    QByteArray content;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, got);
    ::close(fd);
    for (const QByteArray &line : content.split('\n')) {
        const QJsonObject entry = QJsonDocument::fromJson(line).object();
        if (entry.isEmpty())
            continue;
        m_taken.insert(entry.value(QLatin1String("file")).toString() + QLatin1Char('\n')
                       + entry.value(QLatin1String("size")).toString() + QLatin1Char('\n')
                       + entry.value(QLatin1String("modified")).toString());
        if (const QString destination = entry.value(QLatin1String("destination")).toString(); !destination.isEmpty())
            m_results.insert(destination);
    }
    return std::nullopt;
}

bool WatchState::contains(const FolderFile &file) const
{
    return m_taken.contains(key(file));
}

bool WatchState::isResult(const QString &path) const
{
    return m_results.contains(pathKey(path));
}

std::optional<QString> WatchState::record(const FolderFile &file, const QString &outcome, const QString &destination)
{
    m_taken.insert(key(file));
    QJsonObject entry{{"file", FileNameBytes::escaped(file.relative)},
                      {"size", QString::number(file.size)},
                      {"modified", QString::number(file.modifiedNs)},
                      {"outcome", outcome}};
    if (!destination.isEmpty()) {
        entry.insert(QLatin1String("destination"), pathKey(destination));
        m_results.insert(pathKey(destination));
    }
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n';
    const int fd = ::open(FileNameBytes::encode(m_file).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return systemReason();
    const bool written = ::write(fd, line.constData(), size_t(line.size())) == line.size() && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return written ? std::nullopt : std::optional(systemReason());
}
